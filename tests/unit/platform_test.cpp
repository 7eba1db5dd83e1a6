// The POSIX platform services: the settings file, file existence and error texts, the port list.
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>

#include "platform/fake/fake_serial_device.h"
#include "platform/file_io.h"
#include "platform/files.h"
#include "platform/ini_file.h"
#include "platform/linux/port_holders.h"
#include "platform/linux/serial_errors.h"
#include "platform/linux/serial_ports.h"
#include "platform/linux/serial_termios.h"
#include "platform/manual_loop.h"
#include "serial/engine.h"
#include "serial/error_texts.h"
#include "serial/port_rows.h"
#include "support/scoped_variable.h"
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

// A file whose twin for the replacement cannot be made (the name leaves the twin no room) stays
// as it was, and the write says that it failed.
TEST(Files, AReplacementThatCannotBeMadeFailsAndKeepsTheFile) {
    const TempDir dir;
    const std::string name(250, 'a');
    dir.Write(name, "alt");
    EXPECT_FALSE(ReplaceFileContents(dir.File(name), "neu"));
    EXPECT_EQ(ReadFileBytes(dir.File(name)), "alt");
    EXPECT_TRUE(ReplaceFileContents(dir.File("b.ini"), "neu"));  // a new file is made at once
    EXPECT_EQ(ReadFileBytes(dir.File("b.ini")), "neu");
}

// Rescued bytes go to a folder of the user's own in the temp folder: made for the user alone, made
// so when it was opened to others, and refused when it is a link or another user's, which anyone
// could have put there first.
TEST(Files, ThePrivateTempFolderIsTheUsersAlone) {
    const TempDir dir;
    const ScopedVariable temp("TMPDIR", dir.path().c_str());
    const std::string own = dir.File("velotrix-" + std::to_string(geteuid()));
    const struct {
        const char* before;  // "", "open" (mode 0755), "link", "foreign" (another user's)
        int error;
    } rows[] = {{"", 0}, {"open", 0}, {"link", EACCES}, {"foreign", EACCES}};
    for (const auto& row : rows) {
        fs::remove_all(own);
        const std::string before = row.before;
        if (before == "open" || before == "foreign") {
            ASSERT_EQ(mkdir(own.c_str(), 0755), 0);
        } else if (before == "link") {
            ASSERT_EQ(symlink(dir.path().c_str(), own.c_str()), 0);
        }
        // Only root can give a folder to another user.
        if (before == "foreign" && (geteuid() != 0 || chown(own.c_str(), 4242, 4242) != 0)) {
            continue;
        }
        int error = -1;
        const std::string folder = PrivateTempDirectory(error);
        EXPECT_EQ(error, row.error) << before;
        EXPECT_EQ(folder, row.error == 0 ? own + "/" : "") << before;
        if (row.error == 0) {
            EXPECT_EQ(fs::status(own).permissions(), fs::perms::owner_all) << before;
        }
    }
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
    // What a save or a line setting meets is said in German, whatever the locale; a function the
    // device lacks by the hint that names it, once.
    const std::pair<OsError, std::string> texts[] = {
        {{ENOSPC, {}}, "Kein Platz mehr auf dem Datentr\xE4ger"},
        {{EFBIG, {}},
         "Die Datei w\xE4re zu gro\xDF f\xFCr den Datentr\xE4ger oder das Limit des Benutzers"},
        {{ENAMETOOLONG, {}}, "Der Dateiname ist zu lang"},
        {{EISDIR, {}}, "Das ist ein Ordner, keine Datei"},
        {{EROFS, {}}, "Der Datentr\xE4ger ist schreibgesch\xFCtzt"},
        {{ENOTTY, {}}, "Das Ger\xE4t kann das nicht"},
        {{ENOTTY, "DTR l\xE4sst sich an diesem Ger\xE4t nicht setzen"},
         "DTR l\xE4sst sich an diesem Ger\xE4t nicht setzen"},
        {{EACCES, "Hinweis"}, "Zugriff verweigert (keine Berechtigung)\rHinweis"},
    };
    for (const auto& [error, text] : texts) {
        EXPECT_EQ(UserErrorText(error), text) << error.code;
    }
    // The settings' folders are made for the user's eyes only.
    int error = -1;
    EXPECT_TRUE(CreateDirectories(dir.File("new/velotrix/"), error));
    // Also one named relative to the working folder, where no parent is walked: no error is left.
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    error = -1;
    EXPECT_TRUE(CreateDirectories("own", error));
    EXPECT_EQ(error, 0);
    fs::current_path(before);
    for (const char* folder : {"new", "new/velotrix", "own"}) {
        EXPECT_EQ(fs::status(dir.File(folder)).permissions(), fs::perms::owner_all) << folder;
    }
    for (const char* below : {"a[1].ini/x/", "a[1].ini/x/y/"}) {  // a file on the way fails
        EXPECT_FALSE(CreateDirectories(dir.File(below), error));
        EXPECT_EQ(error, ENOTDIR);
    }
}

// A device tree of our own: /dev, sysfs, by-id links, lock files, the kernel's lock table,
// processes and the console list.
struct FakeSystem {
    TempDir dir;
    fs::path root{dir.path()};
    PortPlaces places{(root / "dev").string(),   (root / "sys").string(),
                      (root / "by-id").string(), {(root / "lock").string()},
                      (root / "proc").string(),  (root / "consoles").string(),
                      (root / "locks").string()};

    FakeSystem() {
        for (const char* folder : {"dev", "by-id", "lock", "proc"}) {
            fs::create_directories(root / folder);
        }
        for (const char* name :
             {"ttyUSB10", "ttyUSB9", "ttyS1", "ttyACM0", "ttyUSB0", "rfcomm2", "ttyS0", "ttyS2",
              "ttyS3", "tty0", "console", "ptmx", "ttyUSB0x"}) {
            std::ofstream(root / "dev" / name) << "";
            fs::permissions(root / "dev" / name, fs::perms(0660));
        }
        // UARTs without a chip behind them are left out: PORT_UNKNOWN, no type at all.
        for (const auto& [name, type] : {std::pair{"ttyS0", "4"}, {"ttyS1", "4"}, {"ttyS2", "0"}}) {
            fs::create_directories(root / "sys" / name);
            std::ofstream(root / "sys" / name / "type") << type << "\n";
        }
        std::ofstream(root / "consoles") << "tty0                 -WU (EC  p  )    4:1\n"
                                         << "ttyS1                -W- (E   p a)    4:65\n";
        // minicom locked ttyUSB0 by lock file, tio ttyACM0 by flock; screen holds ttyS0 open
        // without a lock. A lock file without its process is stale; this process's own lock
        // (PID 1 here) and a request waiting for a lock hold nothing.
        Process(4321, "minicom", {});
        Process(777, "tio", {"ttyACM0"});
        Process(555, "screen", {"ttyS0"});
        std::ofstream(root / "lock/LCK..ttyUSB0") << "      4321\n";
        std::ofstream(root / "lock/LCK..rfcomm2") << "      9999\n";
        std::ofstream(root / "locks")
            << "1: POSIX  ADVISORY  WRITE 1234 fe:00:5333128 0 EOF\n"
            << "2: FLOCK  ADVISORY  WRITE 777 " << LockKey("ttyACM0") << " 0 EOF\n"
            << "2: -> FLOCK  ADVISORY  WRITE 555 " << LockKey("ttyUSB10") << " 0 EOF\n"
            << "3: FLOCK  ADVISORY  WRITE 1 " << LockKey("ttyUSB9") << " 0 EOF\n";
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
        fs::create_symlink(root / "dev/ttyUSB9", root / "by-id/usb-FTDI_A50285BI-if00-port0");
    }
    // A file as the kernel's lock table names it: its file system's device in hex, its inode.
    std::string LockKey(const char* device) const {
        struct stat info {};
        stat((root / "dev" / device).c_str(), &info);
        char key[64];
        std::snprintf(key, sizeof key, "%02x:%02x:%lu", major(info.st_dev), minor(info.st_dev),
                      static_cast<unsigned long>(info.st_ino));
        return key;
    }
    void Process(int pid, const char* program, std::vector<std::string> devices) {
        const fs::path folder = root / "proc" / std::to_string(pid);
        fs::create_directories(folder / "fd");
        std::ofstream(folder / "comm") << program << "\n";
        for (std::size_t fd = 0; fd < devices.size(); ++fd) {
            fs::create_symlink(root / "dev" / devices[fd], folder / "fd" / std::to_string(fd + 3));
        }
    }
    // A user who owns none of the devices and belongs to none of their groups.
    std::vector<PortInfo> List(std::string_view extra) const {
        struct stat info {};
        stat((root / "dev/ttyUSB10").c_str(), &info);
        return ListSerialDevicesIn(places, extra, Identity{info.st_uid + 1, {info.st_gid + 1}}, 1);
    }
};

TEST(SerialPorts, ListsWithoutOpeningWhatTheSystemTellsOfEachPort) {
    FakeSystem system;
    fs::permissions(system.root / "dev/ttyUSB9", fs::perms(0666));
    fs::permissions(system.root / "dev/ttyS1", fs::perms(0666));
    std::string rows;
    for (const PortInfo& port :
         system.List("/tmp/pc::/tmp/ac1:" + (system.root / "dev/ttyACM0").string())) {
        rows += PortRowText(RowFor(port)) + (port.stableLink.empty() ? "" : " @by-id") + "\n";
    }
    const std::string refused =
        ": keine Berechtigung \x96 Gruppe " + std::string(getgrgid(getegid())->gr_name) + "\n";
    EXPECT_EQ(rows, "pc\nac1\nttyACM0: belegt (tio, PID 777)\nrfcomm2" + refused + "ttyS0" +
                        refused +
                        "ttyS1: Systemkonsole\nttyUSB0: belegt (minicom, PID 4321)\n"
                        "ttyUSB9 \x96 FTDI FT232R USB UART (A50285BI) @by-id\nttyUSB10" +
                        refused);
}

// Who holds a device: the lock file's or the lock's holder, else a process that has it open (the
// walk through /proc that only an open found busy asks for).
TEST(SerialPorts, TheHolderIsTheLocksOrAProcessWithTheDeviceOpen) {
    FakeSystem system;
    const PortUse use(system.places, Identity{}, 1);
    const std::pair<const char*, std::string> rows[] = {
        {"ttyUSB0", "minicom, PID 4321"},
        {"ttyACM0", "tio, PID 777"},
        {"ttyS0", "screen, PID 555"},
        {"ttyUSB9", ""},
        {"rfcomm2", ""},
        {"ttyUSB10", ""},
    };
    for (const auto& [device, holder] : rows) {
        EXPECT_EQ(HolderText(use.Holder((system.root / "dev" / device).string())), holder)
            << device;
    }
}

// Each kind of serial device is listed by its name with a number, and nothing that only begins
// like it; a kind the list knows and this table does not fails.
TEST(SerialPorts, ListsEveryKindOfSerialDevice) {
    const std::set<std::string_view> kinds = {"ttyUSB", "ttyACM", "ttyAMA", "rfcomm", "ttyS"};
    const auto known = SerialDevicePrefixes();
    EXPECT_EQ(std::set<std::string_view>(known.begin(), known.end()), kinds);
    for (std::string_view kind : known) {
        TempDir dir;
        const fs::path root(dir.path());
        fs::create_directories(root / "dev");
        const std::string device = std::string(kind) + "7";
        for (const std::string& name : {device, std::string(kind), device + "a", "x" + device}) {
            std::ofstream(root / "dev" / name) << "";
        }
        fs::create_directories(root / "sys" / device);
        std::ofstream(root / "sys" / device / "type") << "4\n";
        const std::string none = (root / "none").string();
        const PortPlaces places{
            (root / "dev").string(), (root / "sys").string(), none, {}, none, none};
        const std::vector<PortInfo> ports = ListSerialDevicesIn(places, "", Identity{0, {}}, 1);
        ASSERT_EQ(ports.size(), 1u) << kind;
        EXPECT_EQ(ports[0].name, device);
    }
}

// Whether the user may open a device: the first class of its mode that applies decides (owner,
// then group, then others), as the kernel checks it.
TEST(SerialPorts, TheFirstPermissionClassThatAppliesDecides) {
    FakeSystem system;
    const fs::path device = system.root / "dev/ttyUSB10";
    struct stat info {};
    // Root may open anything: the device gets an owner who is not.
    ASSERT_EQ(stat(device.c_str(), &info), 0);
    ASSERT_TRUE(info.st_uid != 0 || chown(device.c_str(), 4242, 4242) == 0);
    ASSERT_EQ(stat(device.c_str(), &info), 0);
    const Identity owner{info.st_uid, {info.st_gid + 1}};
    const Identity member{info.st_uid + 1, {info.st_gid + 7, info.st_gid}};
    const Identity other{info.st_uid + 1, {info.st_gid + 1}};
    const struct {
        int mode;
        const Identity& who;
        bool allowed;
    } rows[] = {
        {0600, owner, true},  {0400, owner, false},  {0060, owner, false}, {0606, member, false},
        {0060, member, true}, {0040, member, false}, {0006, other, true},  {0660, other, false},
    };
    for (const auto& row : rows) {
        fs::permissions(device, fs::perms(row.mode));
        const std::vector<PortInfo> ports = ListSerialDevicesIn(system.places, "", row.who, 1);
        const auto port = std::find_if(ports.begin(), ports.end(),
                                       [](const PortInfo& p) { return p.name == "ttyUSB10"; });
        ASSERT_NE(port, ports.end());
        EXPECT_EQ(port->access != PortAccess::kNoPermission, row.allowed)
            << std::oct << row.mode << " " << row.who.uid;
    }
}

// Every rate with a termios constant of its own is set through it and read back as itself.
TEST(SerialPorts, EveryStandardRateHasItsConstant) {
    for (const std::uint32_t rate :
         {50u, 75u, 110u, 134u, 150u, 200u, 300u, 600u, 1200u, 1800u, 2400u, 4800u, 9600u, 19200u,
          38400u, 57600u, 115200u, 230400u}) {
        const std::optional<speed_t> constant = ConstantForRate(rate);
        ASSERT_TRUE(constant.has_value()) << rate;
        EXPECT_EQ(RateForConstant(*constant), rate);
    }
    EXPECT_FALSE(ConstantForRate(8065).has_value());  // a typed rate goes its own way
    // Each character size is read back as itself, whatever a driver or program left.
    for (const int bits : {5, 6, 7, 8}) {
        EXPECT_EQ(DataBitsOf(CharacterSize(bits).value_or(0) | CSTOPB | PARENB), bits);
    }
    EXPECT_FALSE(CharacterSize(9).has_value());
}

// Each of the driver's error counters stands for one kind of line error; counters that did not
// move, and those of the modem lines and of the bytes, name none.
TEST(SerialPorts, TheDriversCountersNameTheLineErrors) {
    using C = serial_icounter_struct;
    const struct {
        int C::*counter;
        const char* kinds;  // framing, parity, overrun, break
    } rows[] = {
        {nullptr, "----"},         {&C::frame, "F---"}, {&C::parity, "-P--"}, {&C::overrun, "--O-"},
        {&C::buf_overrun, "--O-"}, {&C::brk, "---B"},   {&C::rx, "----"},     {&C::cts, "----"},
    };
    for (const auto& row : rows) {
        C before{};
        before.frame = before.parity = before.overrun = before.buf_overrun = before.brk = 7;
        C now = before;
        if (row.counter != nullptr) {
            now.*row.counter += 1;
        }
        const LineErrors e = LineErrorsBetween(before, now);
        EXPECT_EQ(std::string(e.framing ? "F" : "-") + (e.parity ? "P" : "-") +
                      (e.overrun ? "O" : "-") + (e.brk ? "B" : "-"),
                  row.kinds);
    }
}

// A UART of the 8250 family divides its clock's base rate by a whole number; others report the
// rate their driver keeps.
TEST(SerialPorts, TheRateOnTheLineIsWhatTheUartsDivisorMakes) {
    const struct {
        int type;
        int baudBase;
        std::uint32_t asked;
        std::uint32_t made;
    } rows[] = {
        {PORT_16550A, 115200, 8065, 8229},     {PORT_16550A, 115200, 2400, 2400},
        {PORT_16550A, 115200, 115200, 115200}, {PORT_16550A, 115200, 460800, 115200},
        {PORT_8250, 115200, 110, 110},         {PORT_16C950, 921600, 8065, 8084},
        {PORT_16550A, 0, 8065, 8065},          {PORT_UNKNOWN, 24000000, 8065, 8065},
        {PORT_16550A, 115200, 0, 0},
    };
    for (const auto& row : rows) {
        serial_struct port{};
        port.type = row.type;
        port.baud_base = row.baudBase;
        EXPECT_EQ(RateOnTheLine(port, row.asked), row.made) << row.type << " " << row.asked;
    }
}

// Listing opens nothing; the holder of a port is looked for (a walk through every process's
// files) only when an open found the port busy, never before an open that succeeds.
TEST(SerialPorts, OnlyTheProbeOpensDevicesAndOnlyABusyOpenLooksForTheHolder) {
    FakeSystem system;
    const std::string usb9 = (system.root / "dev/ttyUSB9").string();
    int opens = 0;
    int lookups = 0;
    ManualLoop loop;
    DeviceAccess access{
        [&] { return system.List(""); },
        [&](const std::string& path) -> OsResult<std::unique_ptr<SerialDevice>> {
            ++opens;
            if (path != usb9) {
                return {nullptr, OsError{EBUSY, {}}};
            }
            return {FakeSerialDevice::Share(std::make_shared<FakeSerialDevice>()), {}};
        },
        IsNamedLink,
        [&](const std::string& path) {
            ++lookups;
            return PortUse(system.places, Identity{}, 1).Holder(path);
        }};
    Engine engine(loop, access, {});
    const std::size_t count = engine.ListPorts().size();
    EXPECT_EQ(
        engine.Open(LineSettings{(system.root / "dev/ttyS1").string(), 0, {}, {}, {}, {}}).text,
        (system.root / "dev/ttyS1").string() +
            " ist die Systemkonsole und wird nicht ge\xF6"
            "ffnet");
    EXPECT_EQ(opens, 0);
    EXPECT_TRUE(engine.Open(LineSettings{usb9, 9600, {}, {}, {}, {}}).ok());
    engine.Close();
    EXPECT_EQ(lookups, 0);
    const EngineResult busy =
        engine.Open(LineSettings{(system.root / "dev/ttyS0").string(), 9600, {}, {}, {}, {}});
    EXPECT_EQ(UserErrorText(busy.os),
              "Das Ger\xE4t ist belegt (ein anderes Programm benutzt es)\rBenutzt von screen, "
              "PID 555");
    EXPECT_EQ(lookups, 1);
    // The probe tries every port but the console; the busy ones whose listing named no holder
    // (rfcomm2, ttyS0, ttyUSB10) are looked up.
    opens = 0;
    std::string rows;
    for (const PortRow& row : engine.ProbePorts()) {
        rows += PortRowText(row).substr(PortRowText(row).find(':') + 1) + ";";
    }
    EXPECT_EQ(opens, static_cast<int>(count) - 1);
    EXPECT_EQ(lookups, 4);
    EXPECT_EQ(rows,
              " belegt; belegt (tio, PID 777); belegt (screen, PID 555); Systemkonsole; belegt "
              "(minicom, PID 4321);ttyUSB9 \x96 FTDI FT232R USB UART (A50285BI); belegt;");
}

// A refused device names the group whose members may open it; one that lets no group in (root's,
// mode 0600) names its owner, and what helps, since no group would.
TEST(SerialPorts, ARowSaysWhyItsPortCannotBeOpened) {
    const TempDir dir;
    const std::string path = dir.Write("ttyUSB0", "");
    const std::string group = getgrgid(getegid())->gr_name;
    const std::string owner = getpwuid(geteuid())->pw_name;
    const struct {
        int code;
        mode_t mode;
        std::string text;
    } cases[] = {
        {0, 0660, "ttyUSB0"},
        {EBUSY, 0660, "ttyUSB0: belegt"},
        {EACCES, 0660, "ttyUSB0: keine Berechtigung \x96 Gruppe " + group},
        {EACCES, 0600, "ttyUSB0: keine Berechtigung \x96 nur " + owner},
        {EACCES, 0640, "ttyUSB0: keine Berechtigung \x96 nur " + owner},
        {ENOENT, 0660, "ttyUSB0: Datei oder Ordner nicht gefunden"},
        {EIO, 0660, "ttyUSB0: Ein-/Ausgabefehler am Ger\xE4t"},
        {EXDEV, 0660, "ttyUSB0: " + OsErrorText(EXDEV)},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(chmod(path.c_str(), c.mode), 0);
        EXPECT_EQ(PortRowText(RowFor({"ttyUSB0", path}, OsError{c.code, {}})), c.text) << c.code;
    }
    ASSERT_EQ(chmod(path.c_str(), 0600), 0);
    EXPECT_EQ(PermissionHint(path), "Das Ger\xE4t l\xE4sst keine Gruppe zu, nur " + owner +
                                        ". Helfen kann " + owner +
                                        " oder eine udev-Regel, die es einer Gruppe \xF6"
                                        "ffnet (GROUP=\"dialout\", MODE=\"0660\").");
    ASSERT_EQ(chmod(path.c_str(), 0660), 0);
    EXPECT_EQ(PermissionHint(path), "Der Benutzer muss Mitglied der Gruppe \"" + group +
                                        "\" sein, der das Ger\xE4t geh\xF6rt.");
    // Busy, and the system does not say who holds it.
    EXPECT_EQ(PortRowText(RowFor({"ttyUSB0", path, {}, {}, PortAccess::kBusy})), "ttyUSB0: belegt");
}

// Where the settings and the rescued bytes live, and which device a port's name means, as the
// user's environment says: each row sets XDG_CONFIG_HOME, HOME, TMPDIR and VELOTRIX_PORTS ("-":
// unset), and the working folder holds a file "local".
TEST(Files, PlacesFollowTheEnvironment) {
    const TempDir dir;
    dir.Write("local", "");
    const char* names[] = {"XDG_CONFIG_HOME", "HOME", "TMPDIR", "VELOTRIX_PORTS"};
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    const passwd* user = getpwuid(getuid());
    const std::string own = user != nullptr ? std::string(user->pw_dir) + "/.config/velotrix/" : "";
    const struct {
        const char* environment[4];
        std::string config;
        std::string temp;
        const char* port;  // the device the name "pc" means, and "nowhere", and "local"
    } rows[] = {
        {{"/x/cfg", "/h", "/t", "-"}, "/x/cfg/velotrix/", "/t/", "/dev/pc /dev/nowhere local"},
        {{"cfg", "/h/", "t", "-"}, "/h/.config/velotrix/", "/tmp/", "/dev/pc /dev/nowhere local"},
        {{"-", "", "-", "/dev/null"}, own, "/tmp/", "/dev/pc /dev/nowhere local"},
        {{"-", "-", "/t/", "/x/pc"}, own, "/t/", "/x/pc /dev/nowhere local"},
    };
    for (const auto& row : rows) {
        std::deque<ScopedVariable> environment;
        for (std::size_t i = 0; i < std::size(names); ++i) {
            const bool unset = std::string_view(row.environment[i]) == "-";
            environment.emplace_back(names[i], unset ? nullptr : row.environment[i]);
        }
        std::string ports;
        for (const char* name : {"pc", "nowhere", "local"}) {
            ports += (ports.empty() ? "" : " ") + ResolvePort(name).path;
        }
        EXPECT_EQ(UserConfigDirectory(), row.config) << row.environment[0];
        EXPECT_EQ(TempDirectory(), row.temp) << row.environment[2];
        EXPECT_EQ(ports, row.port) << row.environment[3];
    }
    fs::current_path(before);
}

}  // namespace
}  // namespace velotrix::test
