// Benchmark: the same 64 KiB file by XMODEM from velotrix-cli to lrzsz's rx and from sx to
// velotrix-cli, against sx to rx, each over a pseudo-terminal line joined to the receiver's (or
// sender's) socket by the same relay. Prints each way's median and its ratio to sx to rx.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "cli/cli_child.h"
#include "support/line_relay.h"
#include "support/rig.h"
#include "support/temp_dir.h"

namespace {

using namespace velotrix::test;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kBytes = 65504;  // the largest file velotrix-cli loads
constexpr int kRounds = 7;
// The sender is started first and given this long to open its line, as a person starts the
// sending side before the receiving one; the time counts from the receiver's start.
constexpr auto kSenderHeadStart = 300ms;

// One transfer in seconds, or a negative number when it failed.
double Timed(const std::function<bool()>& transfer) {
    const Clock::time_point start = Clock::now();
    const bool ok = transfer();
    return ok ? std::chrono::duration<double>(Clock::now() - start).count() : -1.0;
}

// The file as it arrived: filled up to whole blocks, as XMODEM leaves it.
bool SameFile(const TempDir& dir, const std::string& name, Bytes expected) {
    expected.resize((expected.size() + 127) / 128 * 128, 0x1A);
    const std::string saved = ReadFileBytes(dir.File(name)).value_or("");
    return Bytes(saved.begin(), saved.end()) == expected;
}

// Blocks of 1024 bytes, or of 128.
struct Way {
    bool longBlocks;
    Args Sx() const { return longBlocks ? Args{"-q", "-k", "file.bin"} : Args{"-q", "file.bin"}; }
    std::string As() const { return longBlocks ? "xmodem1k" : "xmodem"; }
};

double SxToRx(const TempDir& dir, const Bytes& file, const Way& way) {
    LineRelay relay;
    const int line = open(relay.PathA().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    Cli sx("sx", way.Sx(), line, dir.path());
    std::this_thread::sleep_for(kSenderHeadStart);
    const double seconds = Timed([&] {
        Cli rx("rx", {"-q", "-y", "-c", "rx.out"}, relay.PeerSocket(), dir.path());
        return rx.Wait(60s) == 0 && sx.Wait(60s) == 0;
    });
    close(line);
    return seconds > 0 && SameFile(dir, "rx.out", file) ? seconds : -1.0;
}

double VelotrixToRx(const TempDir& dir, const Bytes& file, const Way& way) {
    LineRelay relay;
    Cli velotrix({"send", "file.bin", "--as", way.As(), "--port", relay.PathA()}, dir.path());
    velotrix.WaitFor("warte", &Cli::Out);
    std::this_thread::sleep_for(kSenderHeadStart);
    const double seconds = Timed([&] {
        Cli rx("rx", {"-q", "-y", "-c", "rx.out"}, relay.PeerSocket(), dir.path());
        return rx.Wait(60s) == 0 && velotrix.Wait(60s) == 0;
    });
    return seconds > 0 && SameFile(dir, "rx.out", file) ? seconds : -1.0;
}

double SxToVelotrix(const TempDir& dir, const Bytes& file, const Way& way) {
    LineRelay relay;
    Cli sx("sx", way.Sx(), relay.PeerSocket(), dir.path());
    std::this_thread::sleep_for(kSenderHeadStart);
    const double seconds = Timed([&] {
        Cli velotrix({"receive", "--xmodem", "-q", "--force", "-o", "out", "--port", relay.PathA()},
                     dir.path());
        return velotrix.Wait(60s) == 0 && sx.Wait(60s) == 0;
    });
    return seconds > 0 && SameFile(dir, "out", file) ? seconds : -1.0;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    if (std::system("command -v sx >/dev/null && command -v rx >/dev/null") != 0) {
        std::printf("lrzsz is missing (scripts/deps --test)\n");
        return 1;
    }
    TempDir dir;
    std::mt19937 random(64);
    Bytes file(kBytes);
    std::generate(file.begin(), file.end(), [&] { return static_cast<std::uint8_t>(random()); });
    dir.Write("file.bin", file);
    for (const Way way : {Way{true}, Way{false}}) {
        std::vector<double> base, send, receive;
        // By turns, so that a busy moment of the machine falls on all three alike.
        for (int round = 0; round < kRounds; ++round) {
            base.push_back(SxToRx(dir, file, way));
            send.push_back(VelotrixToRx(dir, file, way));
            receive.push_back(SxToVelotrix(dir, file, way));
        }
        for (const auto* times : {&base, &send, &receive}) {
            if (std::count(times->begin(), times->end(), -1.0) > 0) {
                std::printf("a transfer failed\n");
                return 1;
            }
        }
        const double sxRx = Median(base);
        std::printf("%s, %zu bytes over a pseudo-terminal, median of %d:\n",
                    way.longBlocks ? "XMODEM-1K" : "XMODEM", kBytes, kRounds);
        std::printf("  sx -> rx          %.3f s\n", sxRx);
        std::printf("  velotrix -> rx    %.3f s  (%.2f x, goal at most 1.2 x)\n", Median(send),
                    Median(send) / sxRx);
        std::printf("  sx -> velotrix    %.3f s  (%.2f x, goal at most 1.2 x)\n", Median(receive),
                    Median(receive) / sxRx);
    }
    std::printf("(rx answers the end only after a second of silence, sx -> rx included)\n");
    return 0;
}
