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

#include "platform/serial_device.h"

namespace velotrix::bench {

// What the benchmark does to the window, each as a person would.
struct WindowSendHooks {
    std::function<void(const std::string&)> load;  // "Datei laden"
    std::function<void()> send;                    // "Datei senden"
    std::function<bool()> sending;                 // whether the send still runs
    std::function<void()> pump;                    // lets the window handle what waits for it
    std::function<void(int)> charDelay;            // the character delay in ms
    std::function<void(bool)> binMode;             // "BIN" (without the header)
    std::function<std::string()> closePort;        // "COM schließen"; the port's path
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

// The yardstick of the paced send, in the same run: the bytes written one at a time by a plain
// loop through the platform's serial device on the port the window used, each waited for until it
// has left, without a pause. Milliseconds a byte; negative when the port cannot be opened.
inline double ByteAloneMs(const std::string& port, std::size_t count) {
    auto device = OpenSerialDevice(port);
    if (!device.ok() || device.value->Configure({"", 9600, Parity::kNone, 8, 1, false})) {
        return -1;
    }
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < count; ++i) {
        const auto byte = static_cast<std::uint8_t>(i * 7 + 1);
        if (device.value->Write(&byte, 1).value != 1) {
            return -1;
        }
        device.value->Drain();
    }
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    return took.count() / static_cast<double>(count);
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
    // The byte's own cost, once the window has let go of the port: the pause is what is left.
    const std::string port = hooks.closePort();
    std::vector<double> byteAlone;
    for (int round = 0; round < kRounds; ++round) {
        byteAlone.push_back(ByteAloneMs(port, kPacedBytes));
        ended = ended && byteAlone.back() > 0;
    }
    std::printf(
        "%s: %zu bytes byte by byte with progress: median %.3f s (%.1f KB/s) over %d sends\n"
        "%s: character delay %d ms: median %.2f ms a byte over %zu bytes; a byte alone (written "
        "and drained by a plain loop on the same port) %.2f ms, so the pause lasts %.2f ms "
        "(goal: %d, within 1)%s\n",
        face, kFileBytes, MedianOf(plain), kFileBytes / MedianOf(plain) / 1024, kRounds, face,
        kDelayMs, MedianOf(paced), kPacedBytes, MedianOf(byteAlone),
        MedianOf(paced) - MedianOf(byteAlone), kDelayMs,
        ended ? "" : "  (a send did not end, or the port could not be opened again)");
    return ended ? 0 : 1;
}

}  // namespace velotrix::bench
