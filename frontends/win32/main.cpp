// The Windows program's entry: the Win32 window and its controller.
#include "frontends/win32/windows_api.h"

#include <commctrl.h>

#include "app/controller.h"
#include "frontends/win32/win32_loop.h"
#include "frontends/win32/win32_view.h"
#include "platform/win32/wide_text.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    velotrix::Win32Loop loop;
    velotrix::Win32View view;
    velotrix::MainController controller(
        view, loop, velotrix::ControllerEnvironment{velotrix::DefaultSettingsPath(), {}});
    controller.Start();
    // "velotrix FILE" (and "Open with" from Explorer) loads the file for sending. The wide command
    // line, so that a path with any characters arrives whole.
    int count = 0;
    if (wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count)) {
        if (count > 1) {
            controller.LoadFile(velotrix::WideToUtf8(arguments[1]));
        }
        LocalFree(arguments);
    }
    return view.Run(showCommand);
}
