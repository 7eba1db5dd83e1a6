// XMODEM between velotrix-cli on a pseudo-terminal and lrzsz's sx and rx, programs we did not
// write, joined by a relay: both directions, both block sizes, checksum and CRC-16, and a relay
// that damages the line.
#include <gtest/gtest.h>

#include <cstdlib>

#include "cli/cli_child.h"
#include "support/line_relay.h"
#include "support/random_bytes.h"
#include "support/rig.h"
#include "support/temp_dir.h"

namespace velotrix::test {
namespace {

// As every XMODEM file arrives: filled up to the next 128 bytes.
Bytes Padded(Bytes file) {
    file.resize((file.size() + 127) / 128 * 128, 0x1A);
    return file;
}

Bytes Saved(const TempDir& dir, const std::string& name) {
    const std::string bytes = ReadFileBytes(dir.File(name)).value_or("");
    std::remove(dir.File(name).c_str());
    return {bytes.begin(), bytes.end()};
}

// One transfer between velotrix-cli and sx or rx; what went wrong, or nothing. Velotrix's side
// starts first when it sends (it waits for rx's request), sx's when Velotrix receives.
std::string Transfer(const TempDir& dir, const Args& velotrix, const Args& peer,
                     LineFaults faults = {}) {
    LineRelay relay(faults);
    Args args = velotrix;
    args.insert(args.end(), {"--port", relay.PathA()});
    const bool sending = velotrix.front() == "send";
    std::optional<Cli> first;
    if (!sending) {
        first.emplace(peer.front(), Args(peer.begin() + 1, peer.end()), relay.PeerSocket(),
                      dir.path());
    }
    Cli ours(args, dir.path());
    if (sending) {
        ours.WaitFor("warte", &Cli::Out);
        first.emplace(peer.front(), Args(peer.begin() + 1, peer.end()), relay.PeerSocket(),
                      dir.path());
    }
    const std::optional<int> status = ours.Wait(120s);
    first->Wait(30s);
    return status == 0 ? "" : ours.Out() + ours.Err() + first->Err();
}

TEST(CliXmodem, AgainstLrzsz) {
    ASSERT_EQ(std::system("command -v sx >/dev/null && command -v rx >/dev/null"), 0)
        << "lrzsz is missing: scripts/deps --test";
    TempDir dir;
    const Bytes data = RandomBytes(10000, 1);
    dir.Write("prog_4000.bin", data);
    // A z80 file goes with its header, as it lies on the disk (its name already as shown).
    const Bytes z80 =
        Concat(Z80File(0x4000, 0x4063, 0x4000, 'P', "PROG            ", 0), RandomBytes(100, 2));
    dir.Write("prog.z80", z80);
    const Bytes z80Data(z80.begin() + 32, z80.end());
    // The relay loses the three requests for CRC-16: the checksum asked for with NAK is taken.
    const LineFaults lostPolls{.swallowFromA = 3};
    const std::string rx = "rx.out";
    const std::string out = "out";
    const struct {
        const char* name;
        Args velotrix;
        Args peer;
        LineFaults faults;
        std::string saved;
        Bytes expected;
    } rows[] = {
        // clang-format off
        {"to rx: 128 with the checksum", {"send", "prog_4000.bin", "--as", "xmodem"}, {"rx", "-q", "-y", "rx.out"}, {}, rx, Padded(data)},
        {"to rx: 128 with CRC-16", {"send", "prog_4000.bin", "--as", "xmodem"}, {"rx", "-q", "-y", "-c", "rx.out"}, {}, rx, Padded(data)},
        {"to rx: 1K with CRC-16", {"send", "prog_4000.bin", "--as", "xmodem1k"}, {"rx", "-q", "-y", "-c", "rx.out"}, {}, rx, Padded(data)},
        {"to rx: 1K asked, the checksum gets 128", {"send", "prog_4000.bin", "--as", "xmodem1k"}, {"rx", "-q", "-y", "rx.out"}, {}, rx, Padded(data)},
        {"to rx: a z80 file with its header", {"send", "prog.z80", "--as", "xmodem"}, {"rx", "-q", "-y", "-c", "rx.out"}, {}, rx, Padded(z80)},
        {"to rx: with --bin the data alone", {"send", "prog.z80", "--as", "xmodem", "--bin"}, {"rx", "-q", "-y", "-c", "rx.out"}, {}, rx, Padded(z80Data)},
        {"from sx: 128 with CRC-16", {"receive", "--xmodem", "--force", "-o", "out"}, {"sx", "-q", "prog_4000.bin"}, {}, out, Padded(data)},
        {"from sx: 1K with CRC-16", {"receive", "--xmodem", "--force", "-o", "out"}, {"sx", "-q", "-k", "prog_4000.bin"}, {}, out, Padded(data)},
        {"from sx: 128 with the checksum", {"receive", "--xmodem", "--force", "-o", "out"}, {"sx", "-q", "prog_4000.bin"}, lostPolls, out, Padded(data)},
        {"from sx: 1K with the checksum", {"receive", "--xmodem", "--force", "-o", "out"}, {"sx", "-q", "-k", "prog_4000.bin"}, lostPolls, out, Padded(data)},
        {"from sx: the padding trimmed", {"receive", "--xmodem", "--force", "--trim", "-o", "out"}, {"sx", "-q", "-k", "prog_4000.bin"}, {}, out, data},
        // clang-format on
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Transfer(dir, row.velotrix, row.peer, row.faults), "") << row.name;
        EXPECT_EQ(Saved(dir, row.saved), row.expected) << row.name;
    }
    // Through a line that corrupts, drops and doubles bytes, a transfer ends with the file exact,
    // or fails and says so: a damaged file is never taken for a good one.
    const Bytes small = RandomBytes(3000, 3);
    dir.Write("small.bin", small);
    int done = 0;
    for (const unsigned seed : {1u, 2u, 3u, 4u}) {
        const LineFaults faults{.seed = seed, .perMille = 1};
        const std::string long1k = seed % 2 == 0 ? "-k" : "-q";
        if (Transfer(dir, {"receive", "--xmodem", "--force", "-o", "out"},
                     {"sx", long1k, "small.bin"}, faults)
                .empty()) {
            EXPECT_EQ(Saved(dir, out), Padded(small)) << seed;
            ++done;
        }
        if (Transfer(dir, {"send", "small.bin", "--as", seed % 2 == 0 ? "xmodem1k" : "xmodem"},
                     {"rx", "-q", "-y", "-c", "rx.out"}, faults)
                .empty()) {
            EXPECT_EQ(Saved(dir, rx), Padded(small)) << seed;
            ++done;
        }
    }
    EXPECT_GT(done, 0);
}

}  // namespace
}  // namespace velotrix::test
