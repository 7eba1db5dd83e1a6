// Sends of a real window (the Qt one or the Win32 one) timed as a person meets them: a file sent
// byte by byte with the progress bar, and a file sent with a character delay ("Zeichenpause") of
// 10 ms. Both windows print the same figures, so that scripts/test-windows can set them side by
// side; the far end reads everything meanwhile.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace velotrix::bench {

// What the benchmark does to the window, each as a person would.
struct WindowSendHooks {
    std::function<void(const std::string&)> load;  // "Datei laden"
    std::function<void()> send;                    // "Datei senden"
    std::function<bool()> sending;                 // whether the send still runs
    std::function<void()> pump;                    // lets the window handle what waits for it
    std::function<void(int)> charDelay;            // the character delay in ms
    std::function<void(bool)> binMode;             // "BIN" (without the header)
};

inline double MedianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Seconds from the click until the send ended; negative when it did not end within a minute.
inline double TimedSend(const WindowSendHooks& hooks) {
    using Steady = std::chrono::steady_clock;
    const auto start = Steady::now();
    hooks.send();
    while (hooks.sending()) {
        if (Steady::now() - start > std::chrono::minutes(1)) {
            return -1;
        }
        hooks.pump();
    }
    return std::chrono::duration<double>(Steady::now() - start).count();
}

// Prints the figures of the face's window; 0 when every send ended.
inline int MeasureWindowSends(const char* face, const WindowSendHooks& hooks,
                              const std::string& folder) {
    constexpr std::size_t kFileBytes = 8192;
    constexpr std::size_t kPacedBytes = 64;
    constexpr int kDelayMs = 10;
    constexpr int kRounds = 3;
    const auto write = [&](const std::string& name, std::size_t count) {
        const std::string path = folder + "/" + name;
        std::ofstream out(path, std::ios::binary);
        for (std::size_t i = 0; i < count; ++i) {
            out.put(static_cast<char>(i * 7 + 1));
        }
        return path;
    };
    bool ended = true;
    std::vector<double> plain;
    hooks.binMode(true);
    hooks.load(write("plain_4000.bin", kFileBytes));
    for (int round = 0; round < kRounds; ++round) {
        plain.push_back(TimedSend(hooks));
        ended = ended && plain.back() > 0;
    }
    std::vector<double> paced;
    hooks.load(write("paced_4000.bin", kPacedBytes));
    hooks.charDelay(kDelayMs);
    for (int round = 0; round < kRounds; ++round) {
        paced.push_back(TimedSend(hooks) / kPacedBytes * 1e3);
        ended = ended && paced.back() > 0;
    }
    hooks.charDelay(0);
    std::printf(
        "%s: %zu bytes byte by byte with progress: median %.3f s (%.1f KB/s) over %d sends; "
        "character delay %d ms: median %.2f ms a byte over %zu bytes (goal: at most %d)%s\n",
        face, kFileBytes, MedianOf(plain), kFileBytes / MedianOf(plain) / 1024, kRounds, kDelayMs,
        MedianOf(paced), kPacedBytes, kDelayMs + 1, ended ? "" : "  (a send did not end)");
    return ended ? 0 : 1;
}

}  // namespace velotrix::bench
