// Drives the running velotrix.exe from outside, as a user would, for the end-to-end test under
// Wine: window_driver select port COM5 | click com|load|send|save | wait-enabled save |
// file PATH (fills the open file dialog) | dismiss (presses OK on a message box and prints it).
// Every step waits up to a minute for what it needs; exit status 1 when it does not come.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <map>
#include <string>
#include <thread>

#include "platform/win32/wide_text.h"
#include "ui-resources/ids.h"
#include "ui-resources/messages.h"

namespace {

using namespace velotrix;

const std::map<std::wstring, int> kControls = {{L"port", ids::kPortCombo},
                                               {L"com", ids::kComButton},
                                               {L"load", ids::kLoadButton},
                                               {L"send", ids::kSendFileButton},
                                               {L"save", ids::kSaveButton}};
constexpr int kFileNameCombo = 0x47C;  // cmb13 and edt1 of the common file dialogs
constexpr int kFileNameEdit = 0x480;

template <typename Found>
bool WaitFor(Found found) {
    for (int i = 0; i < 600 && !found(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return found();
}

HWND FileNameField(HWND dialog) {
    const HWND combo = GetDlgItem(dialog, kFileNameCombo);
    return combo != nullptr ? combo : GetDlgItem(dialog, kFileNameEdit);
}

// The modal dialog the window shows now: a file dialog or a message box.
HWND ShownDialog(HWND window, bool fileDialog) {
    HWND dialog = nullptr;
    WaitFor([&] {
        dialog = GetLastActivePopup(window);
        return dialog != window && IsWindowVisible(dialog) &&
               (FileNameField(dialog) != nullptr) == fileDialog;
    });
    return dialog != window ? dialog : nullptr;
}

void Command(HWND dialog, int id, int code) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, code),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

int Run(int count, wchar_t** args) {
    const std::wstring step = count > 1 ? args[1] : L"";
    const std::wstring title = Cp1252ToWide(msg::kWindowTitle);
    HWND window = nullptr;
    WaitFor([&] { return (window = FindWindowW(nullptr, title.c_str())) != nullptr; });
    const auto control = count > 2 ? kControls.find(args[2]) : kControls.end();
    const HWND item = control != kControls.end() ? GetDlgItem(window, control->second) : nullptr;
    if (step == L"select" && item != nullptr && count > 3) {
        const LRESULT index = SendMessageW(item, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(args[3]));
        SendMessageW(item, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        Command(window, control->second, CBN_SELCHANGE);
        return index == CB_ERR;
    }
    if (step == L"click" && item != nullptr) {
        Command(window, control->second, BN_CLICKED);
        return 0;
    }
    if (step == L"wait-enabled" && item != nullptr) {
        return !WaitFor([&] { return IsWindowEnabled(item) != 0; });
    }
    const HWND dialog = window != nullptr ? ShownDialog(window, step == L"file") : nullptr;
    if (step == L"file" && dialog != nullptr && count > 2) {
        SendMessageW(FileNameField(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[2]));
        Command(dialog, IDOK, BN_CLICKED);
        // Gone: the program goes on with the file before it takes the next step.
        return !WaitFor([&] { return !IsWindow(dialog); });
    }
    if (step == L"dismiss" && dialog != nullptr) {
        wchar_t caption[256] = {};
        wchar_t text[512] = {};
        GetWindowTextW(dialog, caption, 256);
        GetDlgItemTextW(dialog, 0xFFFF, text, 512);  // the message box's text
        std::printf("%s %s\n", WideToUtf8(caption).c_str(), WideToUtf8(text).c_str());
        Command(dialog, IDOK, BN_CLICKED);
        return 0;
    }
    std::fprintf(stderr, "window_driver: cannot do that (or no window)\n");
    return 1;
}

}  // namespace

int main() {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    const int status = Run(count, args);
    LocalFree(args);
    return status;
}
