// The real Win32 window on a COM port, opened as a user opens it, for the Win32 window's
// benchmarks; Pump lets the window handle its messages as it does for a person, sleeping until one
// comes or a few milliseconds have passed.
#pragma once

#include "frontends/win32/windows_api.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "app/controller.h"
#include "frontends/win32/win32_loop.h"
#include "frontends/win32/win32_view.h"
#include "ui-resources/ids.h"

namespace velotrix::bench {

struct Win32WindowOnPort {
    explicit Win32WindowOnPort(const std::string& port) {
        INITCOMMONCONTROLSEX common{sizeof common,
                                    ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&common);
        const PortInfo info = ResolvePort(port);
        environment.devices.listPorts = [info] { return std::vector<PortInfo>{info}; };
        controller = std::make_unique<MainController>(view, loop, environment);
        controller->Start();
        ShowWindow(view.MainWindow(), SW_SHOW);
        controller->OnCommand(ids::kComButton, ids::kNotifyClicked);
        // On the screen before anything comes, as when a user opens the port.
        UpdateWindow(view.MainWindow());
        Pump();
    }
    ~Win32WindowOnPort() {
        if (controller->GetEngine().IsOpen()) {
            controller->OnCommand(ids::kComButton, ids::kNotifyClicked);
        }
    }
    Win32WindowOnPort(const Win32WindowOnPort&) = delete;
    Win32WindowOnPort& operator=(const Win32WindowOnPort&) = delete;

    static void Pump() {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        for (MSG msg{}; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    ControllerEnvironment environment;  // no settings file
    Win32Loop loop;
    Win32View view;
    std::unique_ptr<MainController> controller;
};

}  // namespace velotrix::bench
