// The Win32 window's sends, timed as window_send_rounds.h times them: the window's port is the
// first argument (default COM5), the far end, which reads everything, the second (default COM6);
// scripts/test-windows maps them onto a pseudo-terminal pair and sets the figures beside the Qt
// window's (bench_window_send_qt).
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/bench/win32_window_on_port.h"
#include "tests/bench/window_send_rounds.h"

int main(int argc, char** argv) {
    const std::string windowPort = argc > 1 ? argv[1] : "COM5";
    const std::string farPort = argc > 2 ? argv[2] : "COM6";
    auto farEndPort = velotrix::OpenSerialDevice(farPort);
    if (!farEndPort.ok() ||
        farEndPort.value->Configure({"", 4800, velotrix::Parity::kNone, 8, 1, false})) {
        std::printf("bench_window_send_win32: cannot open %s\n", farPort.c_str());
        return 1;
    }
    std::atomic<bool> reading{true};
    std::thread farEnd([&] {
        std::uint8_t buffer[4096];
        while (reading.load()) {
            if (farEndPort.value->Read(buffer, sizeof buffer).value == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        }
    });
    int status = 1;
    {
        velotrix::bench::Win32WindowOnPort window(windowPort);
        velotrix::MainController& controller = *window.controller;
        velotrix::Engine& engine = controller.GetEngine();
        const char* temp = std::getenv("TEMP");
        if (!engine.IsOpen()) {
            std::printf("bench_window_send_win32: the window cannot open %s\n", windowPort.c_str());
        } else {
            status = velotrix::bench::MeasureWindowSends(
                "Win32 window",
                {[&](const std::string& path) { controller.LoadFile(path); },
                 [&] {
                     controller.OnCommand(velotrix::ids::kSendFileButton,
                                          velotrix::ids::kNotifyClicked);
                 },
                 [&] { return engine.Sending(); }, velotrix::bench::Win32WindowOnPort::Pump,
                 [&](int ms) { engine.SetCharDelay(ms); }, [&](bool on) { engine.SetBinMode(on); },
                 [&] {
                     const std::string port = engine.OpenPath();
                     controller.OnCommand(velotrix::ids::kComButton, velotrix::ids::kNotifyClicked);
                     return port;
                 }},
                temp != nullptr ? temp : ".");
        }
    }
    reading = false;
    farEnd.join();
    return status;
}
