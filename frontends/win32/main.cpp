// The Windows program's entry: the Win32 window and its controller.
#include "frontends/win32/windows_api.h"

#include <commctrl.h>

#include <string>
#include <string_view>
#include <utility>

#include "app/controller.h"
#include "frontends/win32/win32_loop.h"
#include "frontends/win32/win32_view.h"
#include "platform/process.h"
#include "platform/win32/wide_text.h"
#include "ui-resources/messages.h"
#include "velotrix_version.h"

namespace {

// "--help" and "--version" are answered in the console that started the program, or in a box
// when there is none, without the window.
bool AnsweredWithoutWindow(const wchar_t* option) {
    const std::wstring_view asked = option;
    std::string text;
    if (asked == L"--help" || asked == L"-h") {
        text = std::string(velotrix::msg::kWindowUsage);
    } else if (asked == L"--version") {
        text = "velotrix " VELOTRIX_VERSION_TEXT "\n";
    } else {
        return false;
    }
    const std::wstring wide = velotrix::Cp1252ToWide(text);
    DWORD written = 0;
    if (AttachConsole(ATTACH_PARENT_PROCESS) &&
        WriteConsoleW(GetStdHandle(STD_OUTPUT_HANDLE), wide.c_str(),
                      static_cast<DWORD>(wide.size()), &written, nullptr)) {
        return true;
    }
    MessageBoxW(nullptr, wide.c_str(), L"Velotrix", MB_OK);
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    velotrix::UseUserLanguage();
    int given = 0;
    if (wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &given)) {
        const bool answered = given > 1 && AnsweredWithoutWindow(arguments[1]);
        LocalFree(arguments);
        if (answered) {
            return 0;
        }
    }
    velotrix::ControllerEnvironment environment{velotrix::DefaultSettingsPath(),
                                                velotrix::DevicesListedAhead()};
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    velotrix::Win32Loop loop;
    velotrix::Win32View view;
    velotrix::MainController controller(view, loop, std::move(environment));
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
