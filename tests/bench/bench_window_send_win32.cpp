// The Win32 window's sends, timed as window_send_rounds.h times them: the window's port is the
// first argument (default COM5), the far end, which reads everything, the second (default COM6);
// scripts/test-windows maps them onto a pseudo-terminal pair and sets the figures beside the Qt
// window's (bench_window_send_qt).
#include "frontends/win32/windows_api.h"

#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "app/controller.h"
#include "frontends/win32/win32_loop.h"
#include "frontends/win32/win32_view.h"
#include "tests/bench/window_send_rounds.h"
#include "ui-resources/ids.h"

int main(int argc, char** argv) {
    const std::string windowPort = argc > 1 ? argv[1] : "COM5";
    const std::string farPort = argc > 2 ? argv[2] : "COM6";
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
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
    velotrix::ControllerEnvironment environment;  // no settings file
    const velotrix::PortInfo port = velotrix::ResolvePort(windowPort);
    environment.devices.listPorts = [port] { return std::vector<velotrix::PortInfo>{port}; };
    velotrix::Win32Loop loop;
    velotrix::Win32View view;
    velotrix::MainController controller(view, loop, environment);
    controller.Start();
    ShowWindow(view.MainWindow(), SW_SHOW);
    controller.OnCommand(velotrix::ids::kComButton, velotrix::ids::kNotifyClicked);
    velotrix::Engine& engine = controller.GetEngine();
    int status = 1;
    if (!engine.IsOpen()) {
        std::printf("bench_window_send_win32: the window cannot open %s\n", windowPort.c_str());
    } else {
        const char* temp = std::getenv("TEMP");
        status = velotrix::bench::MeasureWindowSends(
            "Win32 window",
            {[&](const std::string& path) { controller.LoadFile(path); },
             [&] {
                 controller.OnCommand(velotrix::ids::kSendFileButton,
                                      velotrix::ids::kNotifyClicked);
             },
             [&] { return engine.Sending(); },
             [] {
                 // The window sleeps until a message comes, as it does for a person.
                 MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
                 for (MSG msg{}; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) {
                     TranslateMessage(&msg);
                     DispatchMessageW(&msg);
                 }
             },
             [&](int ms) { engine.SetCharDelay(ms); }, [&](bool on) { engine.SetBinMode(on); }},
            temp != nullptr ? temp : ".");
        controller.OnCommand(velotrix::ids::kComButton, velotrix::ids::kNotifyClicked);
    }
    reading = false;
    farEnd.join();
    return status;
}
