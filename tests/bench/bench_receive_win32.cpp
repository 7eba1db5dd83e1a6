// Speed of full receptions into the real Win32 window: 64 KiB written at full speed on the far end
// of a null-modem pair of COM ports, received by the window's engine and listed in the window. The
// ports are the first two arguments (default COM5, the window's, and COM6, the far end);
// scripts/test-windows maps them onto the two ends of a pseudo-terminal pair and compares the
// median with the Qt window's (bench_receive_qt --full-speed, which sends and measures the same
// way) on the same display.
#include "frontends/win32/windows_api.h"

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/controller.h"
#include "frontends/win32/win32_loop.h"
#include "frontends/win32/win32_view.h"
#include "tests/bench/listing_rounds.h"
#include "ui-resources/ids.h"

int main(int argc, char** argv) {
    using velotrix::ids::kMessageList;
    const std::string windowPort = argc > 1 ? argv[1] : "COM5";
    const std::string farPort = argc > 2 ? argv[2] : "COM6";
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    auto sender = velotrix::OpenSerialDevice(farPort);
    if (!sender.ok() || sender.value->Configure({"", 9600, velotrix::Parity::kNone, 8, 1, false})) {
        std::printf("bench_receive_win32: cannot open %s\n", farPort.c_str());
        return 1;
    }
    velotrix::ControllerEnvironment environment;  // no settings file
    const velotrix::PortInfo port = velotrix::ResolvePort(windowPort);
    environment.devices.listPorts = [port] { return std::vector<velotrix::PortInfo>{port}; };
    velotrix::Win32Loop loop;
    velotrix::Win32View view;
    velotrix::MainController controller(view, loop, environment);
    controller.Start();
    ShowWindow(view.MainWindow(), SW_SHOW);
    controller.OnCommand(velotrix::ids::kComButton, velotrix::ids::kNotifyClicked);
    // The window is on the screen before the data come, as when a user opens the port.
    UpdateWindow(view.MainWindow());
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&msg);
    }
    if (!controller.GetEngine().IsOpen()) {
        std::printf("bench_receive_win32: the window cannot open %s\n", windowPort.c_str());
        return 1;
    }

    // The lines the list box holds, not those that wait to go into it.
    const HWND list = view.Control(kMessageList);
    const int status = velotrix::bench::MeasureRounds(
        "Win32 window",
        [&](const std::uint8_t* bytes, std::size_t count) { sender.value->Write(bytes, count); },
        [list] { return static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)); },
        [&] {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageW(&msg);
            }
        });
    controller.OnCommand(velotrix::ids::kComButton, velotrix::ids::kNotifyClicked);
    return status;
}
