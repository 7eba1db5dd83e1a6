// The POSIX platform services: the settings file, file existence and error texts, the port list.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <filesystem>
#include <fstream>

#include "platform/files.h"
#include "platform/ini_file.h"
#include "platform/linux/serial_ports.h"
#include "serial/port_rows.h"
#include "support/temp_dir.h"

namespace velotrix::test {
namespace {

namespace fs = std::filesystem;

TEST(Ini, ReadsLikeTheProfileFunctionsAndWritesOnlyItsValue) {
    const TempDir dir;
    const std::string real =
        dir.Write("real.ini",
                  "\xEF\xBB\xBF; settings\r\n[Other]\r\nA=9\r\n  [ pReFs ]  \r\n"
                  "  a =  12abc  \r\nB=abc\r\nC=-99999999999\r\nA=7\r\n\r\n[Tail]");
    const std::pair<const char*, int> reads[] = {{"A", 12}, {"b", 0}, {"C", INT_MIN}, {"D", 42}};
    for (const auto& [key, value] : reads) {
        EXPECT_EQ(IniReadInt(real, "Prefs", key, 42), value) << key;
    }
    ASSERT_EQ(chmod(real.c_str(), 0640), 0);
    const std::string link = dir.File("link.ini");
    ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
    EXPECT_TRUE(IniWriteString(link, "prefs", "A", "3"));
    EXPECT_TRUE(IniWriteString(link, "Prefs", "PAUSE", "4"));
    EXPECT_TRUE(IniWriteString(link, "New", "K", "v"));
    // Texts that would break the lines, and files that cannot be written, change nothing.
    EXPECT_FALSE(IniWriteString(link, "Prefs", "A", "1\n[Evil]"));
    EXPECT_FALSE(IniWriteString(dir.path(), "Prefs", "A", "1"));
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit old = limit;
    limit.rlim_cur = 200;  // a write that fails half-way, even for root
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limit);
    EXPECT_FALSE(IniWriteString(link, "Prefs", "A", std::string(300, '7')));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, handler);
    EXPECT_EQ(ReadFileBytes(link),
              "\xEF\xBB\xBF; settings\r\n[Other]\r\nA=9\r\n  [ pReFs ]  \r\n  a =  3\r\nB=abc\r\n"
              "C=-99999999999\r\nA=7\r\nPAUSE=4\r\n\r\n[Tail]\r\n[New]\r\nK=v\r\n");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::status(real).permissions(), fs::perms(0640));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

TEST(Files, ExistenceWithWildcardsAndErrorTexts) {
    const TempDir dir;
    dir.Write("a[1].ini", "");
    const std::pair<std::string, int> cases[] = {
        {dir.File("a[1].ini"), 1}, {dir.File("A[1].ini"), 0}, {dir.File("*.ini"), 1},
        {dir.File("a?1]*"), 1},    {dir.File("a1*"), 0},      {"", 0}};
    for (const auto& [name, exists] : cases) {
        EXPECT_EQ(FileExists(name), exists) << name;
    }
    EXPECT_EQ(OsErrorText(99999), "Unbekannter Fehler (Code 99999)");
}

TEST(SerialPorts, ListsTheExtraPathsThenTheSerialDevicesInNaturalOrder) {
    const TempDir dir;
    const fs::path root(dir.path());
    fs::create_directories(root / "dev");
    for (const char* name : {"ttyUSB10", "ttyUSB9", "ttyS1", "ttyACM0", "ttyUSB0", "rfcomm2",
                             "ttyS0", "ttyS2", "ttyS3", "tty0", "console", "ptmx", "ttyUSB0x"}) {
        std::ofstream(root / "dev" / name) << "";
    }
    // UARTs without a chip behind them are left out: PORT_UNKNOWN, no type at all.
    for (const auto& [name, type] : {std::pair{"ttyS0", "4"}, {"ttyS1", "4"}, {"ttyS2", "0"}}) {
        fs::create_directories(root / "sys" / name);
        std::ofstream(root / "sys" / name / "type") << type << "\n";
    }
    // A USB adapter: the tty's device link leads below the USB device that names it.
    const fs::path usb = root / "usb/1-1";
    fs::create_directories(usb / "1-1:1.0/ttyUSB9");
    for (const auto& [file, text] : {std::pair{"idVendor", "0403"},
                                     {"manufacturer", "FTDI"},
                                     {"product", "FT232R USB UART"},
                                     {"serial", "A50285BI"}}) {
        std::ofstream(usb / file) << text << "\n";
    }
    fs::create_directories(root / "sys/ttyUSB9");
    fs::create_directory_symlink(usb / "1-1:1.0/ttyUSB9", root / "sys/ttyUSB9/device");
    std::string names;
    std::string adapter;
    for (const PortInfo& port :
         ListSerialDevicesIn((root / "dev").string(), (root / "sys").string(),
                             "/tmp/pc::/tmp/ac1:" + (root / "dev/ttyS0").string())) {
        names += port.name + " ";
        adapter += port.description.empty() ? "" : PortRowText(RowFor(port, {}));
    }
    EXPECT_EQ(names, "pc ac1 ttyS0 rfcomm2 ttyACM0 ttyS1 ttyUSB0 ttyUSB9 ttyUSB10 ");
    EXPECT_EQ(adapter, "ttyUSB9 \x96 FTDI FT232R USB UART (A50285BI)");
}

TEST(SerialPorts, ARowSaysWhyItsPortCannotBeOpened) {
    const TempDir dir;
    const std::string path = dir.Write("ttyUSB0", "");
    const std::string group = getgrgid(getegid())->gr_name;
    const std::pair<int, std::string> cases[] = {
        {0, "ttyUSB0"},
        {EBUSY, "ttyUSB0: belegt"},
        {EACCES, "ttyUSB0: keine Berechtigung \x96 Gruppe " + group},
        {ENOENT, "ttyUSB0: " + OsErrorText(ENOENT)},
    };
    for (const auto& [code, text] : cases) {
        EXPECT_EQ(PortRowText(RowFor({"ttyUSB0", path}, OsError{code, {}})), text) << code;
    }
}

}  // namespace
}  // namespace velotrix::test
