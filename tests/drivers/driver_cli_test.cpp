// velotrix-cli on the kernel's own drivers: every transfer byte-exact at the host's far end at
// each rate, the port list from sysfs without opening the console, and the adapter pulled out
// during a send, a reception and while idle.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
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
using namespace std::chrono_literals;

// Every byte value (the far end's escape byte Ctrl+A among them), and XON, XOFF, CR, LF and FF
// often.
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

std::string Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return std::to_string(count);
}

std::string Compare(const Bytes& got, const Bytes& expected) {
    if (got == expected) {
        return {};
    }
    const auto at = std::mismatch(got.begin(), got.end(), expected.begin(), expected.end()).first;
    return std::to_string(got.size()) + " bytes instead of " + std::to_string(expected.size()) +
           ", the first difference at " + std::to_string(at - got.begin());
}

Bytes Text(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

Bytes FileBytes(const std::string& path) {
    return Text(test::ReadFileBytes(path).value_or(""));
}

// A command, and what the far end gets, sees and sends. The command's folder holds
// HELLO_4000.bin.
struct Transfer {
    const char* name;
    Args args;
    Bytes reachesFarEnd;
    std::chrono::milliseconds silence{0};  // the longest silence on the line, at least
    Bytes farEndSends = {};                // once the command waits; saved as rx.z80
    bool farEndEchoes = false;
    const char* printed = "";
};

const Bytes kFile = Pattern(700);

const Transfer kTransfers[] = {
    {"SendWithHeaderAndPause",
     {"send", "HELLO_4000.bin", "--pause", "500"},
     Concat(test::Synthesized(0x4000, 700, 0x4000, "HELLO"), kFile),
     450ms},
    // The far end holds CTS up.
    {"SendBinUnderCtsFlow", {"send", "HELLO_4000.bin", "--bin", "--flow", "cts"}, kFile},
    // A real port has modem lines to drop, which a pseudo-terminal refuses.
    {"TextWithLineEndAndDelayDtrAndRtsOff",
     {"text", "10 PRINT \"\xC3\x84\xE2\x82\xAC\"", "--eol", "crlf", "--char-delay", "3", "--dtr",
      "off", "--rts", "off"},
     Text("10 PRINT \"\xC4\x80\"\r\n"),
     2ms},
    {"Receive",
     {"receive", "-o", "rx.z80"},
     {},
     0ms,
     Concat(test::Z80File(0x1000, 0x12FF, 0x1000, 'B', "HALLO", 0), Pattern(768))},
    {"SelfTest", {"selftest"}, {}, 0ms, {}, true, "Schleifentest bestanden"},
};
const GuestPort* const kPorts[] = {&kAdapter, &kUart};
// The standard rates and the AC1 monitor's typed one.
const char* const kRates[] = {"2400", "9600", "115200", "8065"};

using TransferCase = std::tuple<const GuestPort*, const char*, Transfer>;

class Transfers : public ::testing::TestWithParam<TransferCase> {};

TEST_P(Transfers, ArriveByteExactAtTheFarEnd) {
    const auto& [port, rate, transfer] = GetParam();
    FarEnd& far = FarEnd::Host();
    ASSERT_TRUE(far.Reset(port->far));
    ASSERT_TRUE(!transfer.farEndEchoes || far.Echo(port->far));
    TempDir dir;
    dir.Write("HELLO_4000.bin", kFile);
    Args args = transfer.args;
    args.insert(args.end(), {"--port", port->name, "--baud", rate});
    Cli cli(args, dir.path());
    if (!transfer.farEndSends.empty()) {
        ASSERT_TRUE(cli.WaitFor(test::kWaiting)) << cli.Err();
        ASSERT_TRUE(far.Send(port->far, transfer.farEndSends));
    }
    EXPECT_EQ(cli.Wait(90s), 0) << cli.Out() << cli.Err();
    EXPECT_EQ(Compare(far.Take(port->far, transfer.reachesFarEnd.size()), transfer.reachesFarEnd),
              "");
    EXPECT_GE(far.LongestGap(port->far), transfer.silence);
    EXPECT_EQ(Compare(FileBytes(dir.File("rx.z80")), transfer.farEndSends), "");
    EXPECT_NE(cli.Out().find(transfer.printed), std::string::npos) << cli.Out();
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
    std::size_t farSends;  // bytes the far end sends 50 ms apart, so that the reception runs on
    const char* savedAs;   // the file that must hold those that came before the unplug
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
        ASSERT_TRUE(cli.WaitFor(test::kWaiting)) << cli.Err();
    }
    const Bytes sent = Pattern(row.farSends);
    ASSERT_TRUE(FarEnd::Host().Trickle(kAdapter.far, sent, 50ms));
    if (row.args[0] == "send") {
        ASSERT_EQ(FarEnd::Host().Take(kAdapter.far, 10).size(), 10u) << "the send began";
    }
    std::this_thread::sleep_for(500ms);
    ASSERT_EQ(UnplugAdapter(), "");
    const auto unplugged = std::chrono::steady_clock::now();
    // A lost line ends every command within a second; here generously.
    EXPECT_EQ(cli.Wait(std::chrono::seconds(5)), 1) << cli.Out() << cli.Err();
    std::cout << "ended " << (std::chrono::steady_clock::now() - unplugged) / 1ms
              << " ms after the unplug\n";
    EXPECT_EQ(Count(cli.Err(), "Verbindung zum Port verloren"), "1") << cli.Err();
    if (row.savedAs != nullptr) {
        const Bytes saved = FileBytes(dir.File(row.savedAs));
        EXPECT_TRUE(!saved.empty() && std::equal(saved.begin(), saved.end(), sent.begin()))
            << Compare(saved, sent);
    }
    EXPECT_EQ(PlugAdapterBack(), "");
}

const Unplugged kUnplugged[] = {
    {"DuringASend", {"send", "DATA.bin", "--bin", "--char-delay", "5"}, 0, nullptr},
    {"DuringAReception", {"receive", "-o", "rx.bin"}, 200, "rx.bin"},
    {"WhileIdle", {"receive", "-o", "rx.bin"}, 0, nullptr},
};

INSTANTIATE_TEST_SUITE_P(Cli, Unplugging, ::testing::ValuesIn(kUnplugged),
                         test::RowName<Unplugged>);

}  // namespace
}  // namespace velotrix::drivers
