// The far end of a line at 115200 baud for the window benchmarks: chunks of 1 to 16 bytes, each
// written when the line would have carried it, and the clocks that measure the window's share.
#pragma once

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <thread>
#include <vector>

#include "support/pty_pair.h"

namespace velotrix::bench {

using Clock = std::chrono::steady_clock;

constexpr double kBaud = 115200;
constexpr double kBytesPerSecond = kBaud / 10;  // start bit, 8 data bits, stop bit

inline std::chrono::nanoseconds CpuTime(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

inline double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// When the far end wrote its last byte, and the processor time its own thread took (which is not
// the window's).
struct FarEndTimes {
    Clock::time_point lastByte{};
    std::chrono::nanoseconds cpu{};
};

// Writes the bytes into the pty from start on, at the line's pace; times is filled at the end.
inline std::thread PacedFarEnd(test::PtyPair& pty, const std::vector<std::uint8_t>& bytes,
                               Clock::time_point start, FarEndTimes& times) {
    return std::thread([&pty, &bytes, start, &times] {
        std::mt19937 random(21);
        std::uniform_int_distribution<std::size_t> chunkSize(1, 16);
        for (std::size_t at = 0; at < bytes.size();) {
            const std::size_t n = std::min(chunkSize(random), bytes.size() - at);
            std::this_thread::sleep_until(
                start + std::chrono::duration_cast<Clock::duration>(
                            std::chrono::duration<double>((at + n) / kBytesPerSecond)));
            pty.Write({bytes.begin() + static_cast<std::ptrdiff_t>(at),
                       bytes.begin() + static_cast<std::ptrdiff_t>(at + n)},
                      std::chrono::seconds(2));
            at += n;
        }
        times.lastByte = Clock::now();
        times.cpu = CpuTime(CLOCK_THREAD_CPUTIME_ID);
    });
}

}  // namespace velotrix::bench
