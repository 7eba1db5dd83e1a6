// The measure both windows' listing benchmarks share: receptions of 64 KiB written in 1 KiB blocks
// as fast as the line takes them, each timed from the first write to the last listed line.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <thread>
#include <vector>

namespace velotrix::bench {

constexpr std::size_t kBlock = 1024;
constexpr int kRounds = 9;

// Every byte value in every 256-byte block; 16 bytes make one listing line.
inline std::vector<std::uint8_t> ListingBytes() {
    std::vector<std::uint8_t> bytes(65536);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 167 + (i >> 8));
    }
    return bytes;
}

// kRounds receptions, each after the last one ended (its silence adds the summary lines); prints
// each round's time and their median. write(bytes, count) is the far end, listed() the lines the
// window's list holds, pump() lets the window handle its events, waiting at most a few ms.
// Returns the exit status: 1 when a reception was not listed whole within a minute.
template <typename Write, typename Listed, typename Pump>
int MeasureRounds(const char* window, Write write, Listed listed, Pump pump) {
    using Clock = std::chrono::steady_clock;
    using namespace std::chrono_literals;
    const std::vector<std::uint8_t> sent = ListingBytes();
    const int lines = static_cast<int>(sent.size() / 16);
    std::vector<double> times;
    for (int round = 1; round <= kRounds; ++round) {
        const int before = listed();
        const auto start = Clock::now();
        std::thread farEnd([&] {
            for (std::size_t at = 0; at < sent.size(); at += kBlock) {
                write(sent.data() + at, kBlock);
            }
        });
        while (listed() < before + lines && Clock::now() - start < 60s) {
            pump();
        }
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        while (listed() <= before + lines && Clock::now() - start < 60s) {
            pump();
        }
        farEnd.join();
        if (listed() <= before + lines) {
            std::printf("%s: %d of %d lines listed\n", window, listed() - before, lines);
            return 1;
        }
        times.push_back(ms);
        std::printf("%s, reception %d: first write to last line %.1f ms\n", window, round, ms);
    }
    std::nth_element(times.begin(), times.begin() + kRounds / 2, times.end());
    std::printf("%s: median of %d receptions: %.1f ms\n", window, kRounds, times[kRounds / 2]);
    return 0;
}

}  // namespace velotrix::bench
