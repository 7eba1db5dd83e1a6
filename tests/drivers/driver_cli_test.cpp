// velotrix-cli on the kernel's own drivers: every transfer byte-exact at the host's far end at
// each rate, the port list from sysfs without opening the console, and the adapter pulled out
// during a send, a reception and while idle.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <tuple>

#include "cli/cli_child.h"
#include "drivers/far_end.h"
#include "support/rig.h"
#include "support/temp_dir.h"

namespace velotrix::drivers {
namespace {

using test::Args;
using test::Cli;
using test::Concat;
using test::TempDir;

// Every byte value, and the line's control bytes (XON, XOFF, CR, LF, the telnet escape) often.
Bytes Pattern(std::size_t count) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i % 5 == 0 ? "\x11\x13\r\n\xFF"[i / 5 % 5] : i * 37);
    }
    if (count > kMarkerOffset) {
        bytes[kMarkerOffset] = 0;  // never taken for a z80 file
    }
    return bytes;
}

Bytes FileBytes(const std::string& path) {
    const std::string text = test::ReadFileBytes(path).value_or("");
    return Bytes(text.begin(), text.end());
}

std::string Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return std::to_string(count);
}

// One command against the far end; what went wrong, or nothing.
struct Transfer {
    const char* name;
    std::string (*run)(const GuestPort& port, const Args& line, const TempDir& dir);
};

std::string Outcome(Cli& cli, int status) {
    const std::optional<int> ended = cli.Wait(std::chrono::seconds(90));
    if (ended == status) {
        return {};
    }
    return "exit " + std::to_string(ended.value_or(-1)) + "\n" + cli.Out() + cli.Err();
}

std::string Compare(const Bytes& got, const Bytes& expected) {
    if (got == expected) {
        return {};
    }
    std::size_t at = 0;
    while (at < got.size() && at < expected.size() && got[at] == expected[at]) {
        ++at;
    }
    return std::to_string(got.size()) + " bytes instead of " + std::to_string(expected.size()) +
           ", the first difference at " + std::to_string(at);
}

std::string SendWithHeaderAndPause(const GuestPort& port, const Args& line, const TempDir& dir) {
    const Bytes file = Pattern(700);
    dir.Write("HELLO_4000.bin", file);
    Args args = {"send", "HELLO_4000.bin", "--pause", "500"};
    args.insert(args.end(), line.begin(), line.end());
    Cli cli(args, dir.path());
    const std::string failed = Outcome(cli, 0);
    const Bytes got = FarEnd::Host().Take(port.far, 732);
    const auto gap = FarEnd::Host().LongestGap(port.far);
    if (gap < std::chrono::milliseconds(450)) {
        return "the pause was " + std::to_string(gap.count()) + " ms";
    }
    return failed + Compare(got, Concat(test::Synthesized(0x4000, 700, 0x4000, "HELLO"), file));
}

std::string SendBin(const GuestPort& port, const Args& line, const TempDir& dir) {
    const Bytes file = Pattern(1500);
    dir.Write("DATA.bin", file);
    Args args = {"send", "DATA.bin", "--bin"};
    args.insert(args.end(), line.begin(), line.end());
    Cli cli(args, dir.path());
    return Outcome(cli, 0) + Compare(FarEnd::Host().Take(port.far, 1500), file);
}

std::string TextWithLineEndAndDelay(const GuestPort& port, const Args& line, const TempDir& dir) {
    Args args = {"text", "10 PRINT \"\xC3\x84\xE2\x82\xAC\"", "--eol", "crlf", "--char-delay", "3"};
    args.insert(args.end(), line.begin(), line.end());
    Cli cli(args, dir.path());
    const std::string failed = Outcome(cli, 0);
    const std::string sent = "10 PRINT \"\xC4\x80\"\r\n";
    const Bytes got = FarEnd::Host().Take(port.far, sent.size());
    if (FarEnd::Host().LongestGap(port.far) < std::chrono::milliseconds(2)) {
        return "no character delay";
    }
    return failed + Compare(got, Bytes(sent.begin(), sent.end()));
}

std::string Receive(const GuestPort& port, const Args& line, const TempDir& dir) {
    Args args = {"receive", "-o", "rx.z80"};
    args.insert(args.end(), line.begin(), line.end());
    Cli cli(args, dir.path());
    if (!cli.WaitForError(test::kWaiting)) {
        return "not waiting: " + cli.Err();
    }
    const Bytes file = Concat(test::Z80File(0x1000, 0x12FF, 0x1000, 'B', "HALLO", 0), Pattern(768));
    FarEnd::Host().Send(port.far, file);
    const std::string ended = Outcome(cli, 0);
    return ended + Compare(FileBytes(dir.File("rx.z80")), file);
}

std::string SelfTest(const GuestPort& port, const Args& line, const TempDir& dir) {
    FarEnd::Host().Echo(port.far);
    Args args = {"selftest"};
    args.insert(args.end(), line.begin(), line.end());
    Cli cli(args, dir.path());
    const std::string failed = Outcome(cli, 0);
    return failed.empty() && cli.Out().find("bestanden") == std::string::npos ? cli.Out() : failed;
}

const Transfer kTransfers[] = {
    {"SendWithHeaderAndPause", SendWithHeaderAndPause},
    {"SendBin", SendBin},
    {"TextWithLineEndAndDelay", TextWithLineEndAndDelay},
    {"Receive", Receive},
    {"SelfTest", SelfTest},
};
const GuestPort* const kPorts[] = {&kAdapter, &kUart};
// The standard rates and the AC1 monitor's typed one.
const char* const kRates[] = {"2400", "9600", "115200", "8065"};

using TransferCase = std::tuple<const GuestPort*, const char*, Transfer>;

class Transfers : public ::testing::TestWithParam<TransferCase> {};

TEST_P(Transfers, ArriveByteExactAtTheFarEnd) {
    const auto& [port, rate, transfer] = GetParam();
    ASSERT_TRUE(FarEnd::Host().Reset(port->far));
    TempDir dir;
    EXPECT_EQ(transfer.run(*port, {"--port", port->name, "--baud", rate}, dir), "");
}

std::string TransferName(const ::testing::TestParamInfo<TransferCase>& info) {
    const auto& [port, rate, transfer] = info.param;
    return std::string(port->name) + "_" + rate + "_" + transfer.name;
}

INSTANTIATE_TEST_SUITE_P(Cli, Transfers,
                         ::testing::Combine(::testing::ValuesIn(kPorts),
                                            ::testing::ValuesIn(kRates),
                                            ::testing::ValuesIn(kTransfers)),
                         TransferName);

// The list comes from sysfs: the adapter with its product name and serial number, the UART, the
// control line as busy; no device is opened for it, the console least of all.
TEST(Ports, AreListedFromSysfsWithoutOpeningAnyDevice) {
    ASSERT_TRUE(FarEnd::Host().Reset(kUart.far)) << "the control line is open";
    TempDir dir;
    const std::string trace = dir.File("ports.trace");
    const std::string out = dir.File("ports.out");
    const std::string command =
        "strace -f -e trace=open,openat -o " + trace + " " + VELOTRIX_CLI_PATH + " ports > " + out;
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string list = test::ReadFileBytes(out).value_or("");
    std::cout << list;
    EXPECT_NE(list.find("ttyUSB0 \xE2\x80\x93 QEMU QEMU USB SERIAL (VX0001)\t/dev/ttyUSB0"),
              std::string::npos);
    EXPECT_NE(list.find("\nttyS1\t/dev/ttyS1"), std::string::npos);
    EXPECT_NE(list.find("\nttyS2: belegt (velotrix_driver"), std::string::npos);
    EXPECT_NE(list.find("ttyS0: "), std::string::npos) << "the console, shown as such";
    const std::string opens = test::ReadFileBytes(trace).value_or("");
    EXPECT_EQ(Count(opens, "\"/dev/tty"), "0") << opens;
    EXPECT_NE(opens.find("\"/proc/consoles\""), std::string::npos) << "the consoles are known";
}

// The adapter pulled out while the command runs: one message, exit 1, what arrived is kept,
// nothing hangs; then it is put back for the next row.
struct Unplugged {
    const char* name;
    Args args;
    std::size_t farSends;  // bytes the far end sends first
    const char* savedAs;   // the file that must hold them
};

class Unplugging : public ::testing::TestWithParam<Unplugged> {};

TEST_P(Unplugging, EndsTheCommandWithOneMessageAndKeepsWhatArrived) {
    const Unplugged& row = GetParam();
    ASSERT_TRUE(FarEnd::Host().Reset(kAdapter.far));
    TempDir dir;
    dir.Write("DATA.bin", Pattern(3000));
    Args args = row.args;
    args.insert(args.end(), {"--port", kAdapter.name, "--baud", "9600"});
    Cli cli(args, dir.path());
    if (row.args[0] == "receive") {
        ASSERT_TRUE(cli.WaitForError(test::kWaiting)) << cli.Err();
    }
    const Bytes sent = Pattern(row.farSends);
    ASSERT_TRUE(FarEnd::Host().Send(kAdapter.far, sent));
    if (row.args[0] == "send") {
        ASSERT_EQ(FarEnd::Host().Take(kAdapter.far, 10).size(), 10u) << "the send began";
    }
    // Within the second of silence that would end a reception.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_EQ(UnplugAdapter(), "");
    EXPECT_EQ(cli.Wait(std::chrono::seconds(10)), 1) << cli.Out() << cli.Err();
    EXPECT_EQ(Count(cli.Err(), "Verbindung zum Port verloren"), "1") << cli.Err();
    if (row.savedAs != nullptr) {
        EXPECT_EQ(Compare(FileBytes(dir.File(row.savedAs)), sent), "");
    }
    EXPECT_EQ(PlugAdapterBack(), "");
}

const Unplugged kUnplugged[] = {
    {"DuringASend", {"send", "DATA.bin", "--bin", "--char-delay", "5"}, 0, nullptr},
    {"DuringAReception", {"receive", "-o", "rx.bin"}, 500, "rx.bin"},
    {"WhileIdle", {"receive", "-o", "rx.bin"}, 0, nullptr},
};

INSTANTIATE_TEST_SUITE_P(Cli, Unplugging, ::testing::ValuesIn(kUnplugged),
                         test::RowName<Unplugged>);

}  // namespace
}  // namespace velotrix::drivers
