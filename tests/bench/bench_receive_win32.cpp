// Speed of full receptions into the real Win32 window: 64 KiB written at full speed on the far end
// of a null-modem pair of COM ports, received by the window's engine and listed in the window. The
// ports are the first two arguments (default COM5, the window's, and COM6, the far end);
// scripts/test-windows maps them onto the two ends of a pseudo-terminal pair and compares the
// median with the Qt window's (bench_receive_qt --full-speed, which sends and measures the same
// way) on the same display.
#include <cstdio>
#include <string>

#include "tests/bench/listing_rounds.h"
#include "tests/bench/win32_window_on_port.h"

int main(int argc, char** argv) {
    const std::string windowPort = argc > 1 ? argv[1] : "COM5";
    const std::string farPort = argc > 2 ? argv[2] : "COM6";
    auto sender = velotrix::OpenSerialDevice(farPort);
    if (!sender.ok() || sender.value->Configure({"", 9600, velotrix::Parity::kNone, 8, 1, false})) {
        std::printf("bench_receive_win32: cannot open %s\n", farPort.c_str());
        return 1;
    }
    velotrix::bench::Win32WindowOnPort window(windowPort);
    if (!window.controller->GetEngine().IsOpen()) {
        std::printf("bench_receive_win32: the window cannot open %s\n", windowPort.c_str());
        return 1;
    }
    // The lines the list box holds, not those that wait to go into it.
    const HWND list = window.view.Control(velotrix::ids::kMessageList);
    return velotrix::bench::MeasureRounds(
        "Win32 window",
        [&](const std::uint8_t* bytes, std::size_t count) { sender.value->Write(bytes, count); },
        [list] { return static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)); },
        velotrix::bench::Win32WindowOnPort::Pump);
}
