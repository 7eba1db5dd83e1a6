// The Win32 window's size and place, the items that grow with it, the progress text beside the
// bar, the hex fields' keys and the window "Ansicht".
#include "frontends/win32/windows_api.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "frontends/win32/clipboard.h"
#include "frontends/win32/reception_window.h"
#include "frontends/win32/win32_view.h"
#include "platform/win32/wide_text.h"
#include "ui-resources/ids.h"
#include "ui-resources/window_rules.h"

namespace velotrix {

namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM screens) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        const RECT& r = info.rcWork;
        reinterpret_cast<std::vector<layout::Rect>*>(screens)->push_back(
            {r.left, r.top, r.right - r.left, r.bottom - r.top});
    }
    return TRUE;
}

// A hex field takes hex digits only, upper-cased as typed; any other character is refused with a
// beep. Control keys (backspace, the clipboard's) pass.
LRESULT CALLBACK HexFieldProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR itemData) {
    if (message == WM_CHAR && wParam >= 0x20) {
        const auto& item = *reinterpret_cast<const layout::Item*>(itemData);
        const char key = wParam < 0x80 ? static_cast<char>(wParam) : '\x80';
        if (!layout::AcceptsKey(item, key)) {
            MessageBeep(MB_OK);
            return 0;
        }
        wParam = wParam < 0x80 ? static_cast<WPARAM>(layout::ShownKey(item, key)) : wParam;
    }
    if (message == WM_PASTE) {
        // A pasted text goes through the same rule, key by key.
        for (wchar_t c : ClipboardText(edit)) {
            SendMessageW(edit, WM_CHAR, c, 0);
        }
        return 0;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace

void Win32View::LimitKeys(HWND control, const layout::Item& item) {
    if ((item.style & layout::kHexDigits) != 0) {
        SetWindowSubclass(control, HexFieldProc, 0, reinterpret_cast<DWORD_PTR>(&item));
    }
}

void Win32View::LayOutMainWindow() {
    RECT client{};
    GetClientRect(main_, &client);
    RECT least{0, 0, layout::MainDialog().width, layout::MainDialog().height};
    MapDialogRect(main_, &least);
    for (const layout::Item& item : layout::MainDialog().items) {
        if (!layout::FollowsWindowSize(item)) {
            continue;
        }
        // Mapped as the dialog manager maps a template item: its width and height on their own.
        RECT r{item.x, item.y, item.width, item.height};
        MapDialogRect(main_, &r);
        const layout::Rect grown =
            layout::GrownRect(item, {r.left, r.top, r.right, r.bottom}, client.right - least.right,
                              client.bottom - least.bottom);
        MoveWindow(GetDlgItem(main_, item.id), grown.x, grown.y, grown.width, grown.height, TRUE);
    }
    PlaceProgressParts();
}

// The text takes what the widest progress text needs, the bar the rest of pane 3.
void Win32View::PlaceProgressParts() {
    RECT pane{};
    SendMessageW(status_, SB_GETRECT, ids::kPaneReceived, reinterpret_cast<LPARAM>(&pane));
    const int width = pane.right - pane.left;
    const int text = std::min(width * 4 / 5, MulDiv(200, LOWORD(GetDialogBaseUnits()), 8));
    SetWindowPos(progress_, HWND_TOP, pane.left, pane.top, width - text, pane.bottom - pane.top,
                 SWP_NOACTIVATE);
    SetWindowPos(progressText_, HWND_TOP, pane.right - text, pane.top, text - 4,
                 pane.bottom - pane.top, SWP_NOACTIVATE);
}

void Win32View::SetProgressText(std::string_view text) {
    SetWindowTextW(progressText_, Cp1252ToWide(text).c_str());
    ShowWindow(progressText_, text.empty() ? SW_HIDE : SW_SHOWNOACTIVATE);
}

layout::Rect Win32View::MainWindowPlacement() const {
    RECT r{};
    GetWindowRect(main_, &r);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void PlaceWindow(HWND window, const layout::Rect& placement, const RECT& least) {
    std::vector<layout::Rect> screens;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&screens));
    const layout::Placement restored = layout::PlacementToRestore(
        placement, {0, 0, least.right - least.left, least.bottom - least.top}, screens);
    const layout::Rect& r = restored.rect;
    if (restored.keepPosition) {
        SetWindowPos(window, nullptr, r.x, r.y, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        Centre(window, r.width, r.height);
    }
}

void Win32View::PlaceMainWindow(const layout::Rect& placement) {
    PlaceWindow(main_, placement, TemplateWindowRect(main_, layout::MainDialog(), true));
}

void Win32View::ShowReceptionView(const HexDump& dump) {
    if (reception_ == nullptr) {
        reception_ = std::make_unique<ReceptionWindow>(main_, listFont_);
    }
    reception_->Show(dump);
}

}  // namespace velotrix
