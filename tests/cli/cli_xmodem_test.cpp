// XMODEM between velotrix-cli on a pseudo-terminal and lrzsz's sx and rx, programs we did not
// write, joined by a relay: both directions, both block sizes, checksum and CRC-16, and a relay
// that damages the line.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "cli/cli_child.h"
#include "support/line_program.h"
#include "support/line_relay.h"
#include "support/rig.h"
#include "support/temp_dir.h"

namespace velotrix::test {
namespace {

constexpr std::uint8_t kPad = 0x1A;

Bytes RandomFile(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Bytes file(size);
    std::generate(file.begin(), file.end(), [&] { return static_cast<std::uint8_t>(random()); });
    return file;
}

// As every XMODEM file arrives: filled up to the next 128 bytes.
Bytes Padded(Bytes file) {
    file.resize((file.size() + 127) / 128 * 128, kPad);
    return file;
}

Bytes Saved(const TempDir& dir, const std::string& name) {
    const std::string bytes = ReadFileBytes(dir.File(name)).value_or("");
    return {bytes.begin(), bytes.end()};
}

void RequireLrzsz() {
    ASSERT_TRUE(OnPath("sx") && OnPath("rx")) << "lrzsz is missing: scripts/deps --test";
}

// Velotrix sends, rx receives; what went wrong, or nothing.
std::string SendToRx(const TempDir& dir, const std::string& file, const Args& as,
                     const Args& rxOptions, LineFaults faults = {}) {
    LineRelay relay(faults);
    Args send = {"send", file, "--port", relay.PathA()};
    send.insert(send.end(), as.begin(), as.end());
    Cli velotrix(send, dir.path());
    for (int i = 0; i < 2000 && velotrix.Out().find("warte") == std::string::npos; ++i) {
        std::this_thread::sleep_for(5ms);
    }
    Args rx = {"rx", "-q", "-y"};
    rx.insert(rx.end(), rxOptions.begin(), rxOptions.end());
    rx.push_back("rx.out");
    LineProgram peer(rx, relay.PeerSocket(), dir.path());
    const std::optional<int> status = velotrix.Wait(120s);
    peer.Wait(30s);
    return status == 0 ? "" : "velotrix-cli: " + velotrix.Out() + velotrix.Err() + peer.Err();
}

// sx sends, Velotrix receives into out; what went wrong, or nothing.
std::string ReceiveFromSx(const TempDir& dir, const std::string& file, const Args& sxOptions,
                          const Args& receiveOptions, LineFaults faults = {}) {
    LineRelay relay(faults);
    Args sx = {"sx", "-q"};
    sx.insert(sx.end(), sxOptions.begin(), sxOptions.end());
    sx.push_back(file);
    LineProgram peer(sx, relay.PeerSocket(), dir.path());
    Args receive = {"receive", "--xmodem", "--port", relay.PathA(), "-o", "out", "--force"};
    receive.insert(receive.end(), receiveOptions.begin(), receiveOptions.end());
    Cli velotrix(receive, dir.path());
    const std::optional<int> status = velotrix.Wait(120s);
    peer.Wait(30s);
    return status == 0 ? "" : "velotrix-cli: " + velotrix.Out() + velotrix.Err() + peer.Err();
}

TEST(CliXmodem, SentToRx) {
    RequireLrzsz();
    TempDir dir;
    const Bytes data = RandomFile(10000, 1);
    dir.Write("prog_4000.bin", data);
    // A z80 file goes with its header, as it lies on the disk.
    const Bytes z80 = Concat(Z80File(0x4000, 0x4063, 0x4000, 'P', "PROG            ", 0), RandomFile(100, 2));
    dir.Write("prog.z80", z80);
    const struct {
        const char* name;
        Args as;
        Args rx;
        const char* file;
        Bytes expected;
    } rows[] = {
        {"blocks of 128 with the checksum", {"--as", "xmodem"}, {}, "prog_4000.bin", data},
        {"blocks of 128 with CRC-16", {"--as", "xmodem"}, {"-c"}, "prog_4000.bin", data},
        {"blocks of 1K with CRC-16", {"--as", "xmodem1k"}, {"-c"}, "prog_4000.bin", data},
        {"1K asked for, the checksum receiver gets 128",
         {"--as", "xmodem1k"}, {}, "prog_4000.bin", data},
        {"a z80 file with its header", {"--as", "xmodem"}, {"-c"}, "prog.z80", z80},
        {"with --bin the data alone", {"--as", "xmodem", "--bin"}, {"-c"}, "prog.z80",
         Bytes(z80.begin() + 32, z80.end())},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(SendToRx(dir, row.file, row.as, row.rx), "") << row.name;
        EXPECT_EQ(Saved(dir, "rx.out"), Padded(row.expected)) << row.name;
    }
}

TEST(CliXmodem, ReceivedFromSx) {
    RequireLrzsz();
    TempDir dir;
    const Bytes data = RandomFile(10000, 3);
    dir.Write("data.bin", data);
    // The relay loses the three requests for CRC-16: the checksum asked for with NAK is taken.
    const LineFaults lostPolls{.swallowFromA = 3};
    const struct {
        const char* name;
        Args sx;
        Args receive;
        LineFaults faults;
        Bytes expected;
    } rows[] = {
        {"blocks of 128 with CRC-16", {}, {}, {}, Padded(data)},
        {"blocks of 1K with CRC-16", {"-k"}, {}, {}, Padded(data)},
        {"blocks of 128 with the checksum", {}, {}, lostPolls, Padded(data)},
        {"blocks of 1K with the checksum", {"-k"}, {}, lostPolls, Padded(data)},
        {"the padding trimmed", {"-k"}, {"--trim"}, {}, data},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ReceiveFromSx(dir, "data.bin", row.sx, row.receive, row.faults), "") << row.name;
        EXPECT_EQ(Saved(dir, "out"), row.expected) << row.name;
    }
}

// Through a line that corrupts, drops and doubles bytes: a transfer ends with the file exact, or
// fails and says so; never is a damaged file taken for a good one.
TEST(CliXmodem, BadLineEndsExactOrFails) {
    RequireLrzsz();
    TempDir dir;
    const Bytes data = RandomFile(3000, 4);
    dir.Write("data.bin", data);
    int done = 0;
    for (const unsigned seed : {1u, 2u, 3u, 4u}) {
        const LineFaults faults{.seed = seed, .perMille = 1};
        const std::string label = "seed " + std::to_string(seed);
        std::remove(dir.File("out").c_str());
        std::remove(dir.File("rx.out").c_str());
        if (ReceiveFromSx(dir, "data.bin", seed % 2 == 0 ? Args{"-k"} : Args{}, {}, faults)
                .empty()) {
            EXPECT_EQ(Saved(dir, "out"), Padded(data)) << label;
            ++done;
        }
        if (SendToRx(dir, "data.bin", {"--as", seed % 2 == 0 ? "xmodem1k" : "xmodem"}, {"-c"},
                     faults)
                .empty()) {
            EXPECT_EQ(Saved(dir, "rx.out"), Padded(data)) << label;
            ++done;
        }
    }
    EXPECT_GT(done, 0);
}

}  // namespace
}  // namespace velotrix::test
