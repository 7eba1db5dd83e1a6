// The Windows program's entry: the Win32 window and its controller.
#include "frontends/win32/windows_api.h"

#include <commctrl.h>

#include "app/controller.h"
#include "frontends/win32/win32_loop.h"
#include "frontends/win32/win32_view.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    velotrix::Win32Loop loop;
    velotrix::Win32View view;
    velotrix::MainController controller(
        view, loop, velotrix::ControllerEnvironment{velotrix::DefaultSettingsPath()});
    controller.Start();
    return view.Run(showCommand);
}
