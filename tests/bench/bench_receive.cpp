// Benchmark of receiving, as a ratio against its yardstick measured in the same run: velotrix-cli
// receiving 64 KiB through a pseudo-terminal (listing them, saving them) against cat reading the
// same from a pseudo-terminal of its own, both fed as a line at 115200 baud feeds them (chunks of
// 1 to 16 bytes when the line would have carried them); CPU time of the two processes, in pairs.
// Exits 1 when a byte went missing or changed.
#include <termios.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_child.h"
#include "support/pty_pair.h"
#include "support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
using velotrix::bench::Child;
using velotrix::bench::ChildTimes;
using velotrix::bench::Median;
using velotrix::test::PtyPair;

constexpr int kPairs = 7;
constexpr double kBytesPerSecond = 115200.0 / 10;  // start bit, 8 data bits, stop bit

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Waits until the file holds the text (or its size reaches count), within a generous time.
bool WaitForFile(const std::string& path, const std::string& text, std::size_t count = 0) {
    for (int i = 0; i < 20000; ++i) {
        const std::string contents = Contents(path);
        if ((!text.empty() && contents.find(text) != std::string::npos) ||
            (count > 0 && contents.size() >= count)) {
            return true;
        }
        std::this_thread::sleep_for(1ms);
    }
    return false;
}

// The far end sends every byte value in every 256-byte block, in a different order per block.
std::vector<std::uint8_t> Transfer() {
    std::vector<std::uint8_t> bytes(65536);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 167 + (i >> 8));
    }
    return bytes;
}

// Writes the bytes to the far end at the line's pace; false when the line would not take them.
bool SendAtLineRate(PtyPair& pty, const std::vector<std::uint8_t>& bytes) {
    using Clock = std::chrono::steady_clock;
    std::mt19937 random(21);
    std::uniform_int_distribution<std::size_t> chunkSize(1, 16);
    const Clock::time_point start = Clock::now();
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t n = std::min(chunkSize(random), bytes.size() - at);
        std::this_thread::sleep_until(
            start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                        static_cast<double>(at + n) / kBytesPerSecond)));
        if (!pty.Write({bytes.begin() + static_cast<std::ptrdiff_t>(at),
                        bytes.begin() + static_cast<std::ptrdiff_t>(at + n)},
                       2s)) {
            return false;
        }
        at += n;
    }
    return true;
}

ChildTimes CatReceives(const std::vector<std::uint8_t>& sent, const std::string& output,
                       bool& same) {
    PtyPair pty;
    // Raw, as velotrix-cli sets its port: the master's settings are the line's.
    termios raw{};
    cfmakeraw(&raw);
    const int master = pty.Master();
    tcsetattr(master, TCSANOW, &raw);
    Child cat({"cat", pty.SlavePath()}, output);
    // The far end sends once cat has opened the line.
    for (int i = 0; i < 20000 && !cat.HasOpen(pty.SlavePath()); ++i) {
        std::this_thread::sleep_for(1ms);
    }
    same = SendAtLineRate(pty, sent) && WaitForFile(output, {}, sent.size());
    ChildTimes times = cat.Stop();
    same = same && Contents(output) == std::string(sent.begin(), sent.end());
    return times;
}

ChildTimes CliReceives(const std::vector<std::uint8_t>& sent, const std::string& dir, bool& same) {
    PtyPair pty;
    const std::string saved = dir + "/received.bin";
    std::remove(saved.c_str());
    Child cli(
        {VELOTRIX_CLI_PATH, "receive", "--port", pty.SlavePath(), "--baud", "115200", "-o", saved},
        dir + "/cli.out");
    // Its open drops what arrived before: the far end waits until it listens.
    same = WaitForFile(dir + "/cli.out", "auf Daten an") && SendAtLineRate(pty, sent);
    ChildTimes times = cli.Wait();
    same = same && times.ok() && Contents(saved) == std::string(sent.begin(), sent.end());
    return times;
}

}  // namespace

int main() {
    const velotrix::test::TempDir dir;
    const std::vector<std::uint8_t> sent = Transfer();
    bool complete = true;
    std::vector<double> ratios;
    // The machine may be shared: pairs taken one right after the other see the same load, and
    // CPU time counts only what each process itself spent.
    for (int pair = 1; pair <= kPairs; ++pair) {
        bool catSame = false;
        bool cliSame = false;
        const ChildTimes cat = CatReceives(sent, dir.File("cat.out"), catSame);
        const ChildTimes cli = CliReceives(sent, dir.path(), cliSame);
        complete = complete && catSame && cliSame;
        ratios.push_back(cli.cpu / cat.cpu);
        std::printf(
            "pair %d: CPU of cat %5.1f ms, of velotrix-cli receive (listing and saving) "
            "%5.1f ms, ratio %.2f%s\n",
            pair, cat.cpu * 1e3, cli.cpu * 1e3, ratios.back(),
            cliSame ? "" : "  (bytes lost or changed!)");
    }
    std::printf(
        "velotrix-cli receive of %zu bytes at 115200 baud: median CPU ratio against cat %.2f "
        "(goal <= 3)"
        "%s\n",
        sent.size(), Median(ratios), complete ? "" : "  (bytes lost or changed!)");
    return complete ? 0 : 1;
}
