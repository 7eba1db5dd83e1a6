// What the Win32 serial device adds to one-byte sends: 4,096 writes of one byte through it, next to
// loops of WriteFile calls on the same port in the same run. The device's handle must be overlapped
// (its waits share the handle with the writes), so the overlapped loop is the baseline it is
// measured against; the loop on a plain handle is printed for information. The port is the first
// argument or VELOTRIX_TEST_COM_PORT (scripts/test-windows maps COM5 onto a pseudo-terminal).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/serial_device.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kBytes = 4096;
constexpr int kRounds = 5;

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// One round through the device; negative when a write failed.
double ThroughDevice(const std::string& port) {
    auto opened = velotrix::OpenSerialDevice(port);
    if (!opened.ok() ||
        opened.value->Configure({"", 115200, velotrix::Parity::kNone, 8, 1, false})) {
        return -1;
    }
    velotrix::SerialDevice& device = *opened.value;
    const auto start = Clock::now();
    for (int i = 0; i < kBytes; ++i) {
        const std::uint8_t byte = static_cast<std::uint8_t>(i);
        if (device.Write(&byte, 1).value != 1) {
            return -1;
        }
    }
    const double time = Milliseconds(Clock::now() - start);
    device.Drain();
    device.Purge(true, true);
    return time;
}

// One round of WriteFile calls with the same settings; overlapped ones wait for each write.
double ThroughWriteFile(const std::string& port, bool overlapped) {
    const std::wstring path = L"\\\\.\\" + std::wstring(port.begin(), port.end());
    const HANDLE handle =
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                    overlapped ? FILE_FLAG_OVERLAPPED : 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return -1;
    }
    COMMTIMEOUTS timeouts{};
    SetCommTimeouts(handle, &timeouts);
    const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const auto start = Clock::now();
    bool ok = true;
    for (int i = 0; i < kBytes && ok; ++i) {
        const std::uint8_t byte = static_cast<std::uint8_t>(i);
        DWORD written = 0;
        OVERLAPPED operation{};
        operation.hEvent = event;
        if (!overlapped) {
            ok = WriteFile(handle, &byte, 1, &written, nullptr) && written == 1;
        } else if (WriteFile(handle, &byte, 1, nullptr, &operation) ||
                   GetLastError() == ERROR_IO_PENDING) {
            ok = GetOverlappedResult(handle, &operation, &written, TRUE) && written == 1;
        } else {
            ok = false;
        }
    }
    const double time = Milliseconds(Clock::now() - start);
    FlushFileBuffers(handle);
    PurgeComm(handle, PURGE_RXCLEAR | PURGE_TXCLEAR);
    CloseHandle(event);
    CloseHandle(handle);
    return ok ? time : -1;
}

}  // namespace

int main(int argc, char** argv) {
    const char* named = argc > 1 ? argv[1] : std::getenv("VELOTRIX_TEST_COM_PORT");
    const std::string port = named != nullptr ? named : "COM5";
    // Alternating rounds, the best of each: the first round of either warms caches for all.
    double device = 1e300;
    double plain = 1e300;
    double overlapped = 1e300;
    for (int round = 0; round < kRounds; ++round) {
        const double d = ThroughDevice(port);
        const double p = ThroughWriteFile(port, false);
        const double o = ThroughWriteFile(port, true);
        if (d < 0 || p < 0 || o < 0) {
            std::printf("bench_send_win32: cannot write to %s\n", port.c_str());
            return 1;
        }
        device = std::min(device, d);
        plain = std::min(plain, p);
        overlapped = std::min(overlapped, o);
    }
    std::printf("%d one-byte sends on %s (best of %d rounds)\n", kBytes, port.c_str(), kRounds);
    const struct {
        const char* name;
        double time;
    } rows[] = {
        {"Win32 device", device}, {"plain WriteFile", plain}, {"overlapped WriteFile", overlapped}};
    for (const auto& row : rows) {
        std::printf("  %-21s %8.1f ms  %6.1f us/byte\n", row.name, row.time,
                    row.time * 1000 / kBytes);
    }
    std::printf("  ratio device / overlapped WriteFile: %5.2f  (goal: at most 1.1)\n",
                device / overlapped);
    std::printf("  ratio device / plain WriteFile:      %5.2f\n", device / plain);
    return 0;
}
