// The Win32 window's terminal: its dialog with the bar and the screen, the accelerators of the
// main window, the clipboard and the bell.
#include "frontends/win32/windows_api.h"

#include <cctype>
#include <vector>

#include "frontends/win32/clipboard.h"
#include "frontends/win32/terminal_screen_window.h"
#include "frontends/win32/win32_view.h"
#include "platform/win32/wide_text.h"
#include "ui-resources/ids.h"
#include "ui-resources/window_rules.h"

namespace velotrix {

namespace {

// The screen's lines when the window first opens, at 96 dpi.
constexpr int kFirstScreenHeight = 400;

}  // namespace

void Win32View::CreateTerminal() {
    terminal_ = CreateDialogFrom(terminalTemplate_, layout::TerminalBar(), main_);
    screen_ = std::make_unique<TerminalScreenWindow>(
        terminal_, [this] { Notify(ids::kTerminalCopy, ids::kNotifyClicked); });
    RECT rect = TemplateWindowRect(terminal_, layout::TerminalBar(), false);
    rect.bottom += Scaled(terminal_, kFirstScreenHeight);
    Centre(terminal_, rect.right - rect.left, rect.bottom - rect.top);
    LayOutTerminal();
}

void Win32View::LayOutTerminal() {
    RECT client{};
    GetClientRect(terminal_, &client);
    RECT bar{0, 0, layout::TerminalBar().width, layout::TerminalBar().height};
    MapDialogRect(terminal_, &bar);
    MoveWindow(screen_->Window(), 0, bar.bottom, client.right, client.bottom - bar.bottom, TRUE);
}

RECT Win32View::LeastTerminalRect() const {
    RECT least = TemplateWindowRect(terminal_, layout::TerminalBar(), false);
    least.bottom += Scaled(terminal_, layout::kTerminalLeastScreenHeight);
    return least;
}

bool Win32View::Accelerate(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || (GetKeyState(VK_CONTROL) & 0x8000) == 0 ||
        GetAncestor(msg.hwnd, GA_ROOT) != main_ || !IsWindowEnabled(main_)) {
        return false;
    }
    for (const layout::Accelerator& accelerator : layout::Accelerators()) {
        if (msg.wParam == static_cast<WPARAM>(accelerator.key)) {
            Notify(accelerator.commandId, ids::kNotifyClicked);
            return true;
        }
    }
    return false;
}

void Win32View::OpenTerminal(const TerminalScreen& screen) {
    if (!IsTerminalOpen()) {
        ShowWindow(terminal_, SW_SHOW);
        screen_->SetScreen(&screen);
    }
    SetForegroundWindow(terminal_);
    ::SetFocus(screen_->Window());
}

void Win32View::CloseTerminal() {
    ShowWindow(terminal_, SW_HIDE);
    screen_->SetScreen(nullptr);
}

bool Win32View::IsTerminalOpen() const {
    return IsWindowVisible(terminal_) != 0;
}

void Win32View::TerminalChanged() {
    screen_->Changed();
}

void Win32View::SetTerminalInputHandler(TerminalInputHandler handler) {
    screen_->SetInputHandler(std::move(handler));
}

std::optional<std::pair<TerminalPlace, TerminalPlace>> Win32View::TerminalSelection() const {
    return screen_->Selection();
}

layout::Rect Win32View::TerminalPlacement() const {
    RECT r{};
    GetWindowRect(terminal_, &r);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Win32View::PlaceTerminal(const layout::Rect& placement) {
    PlaceWindow(terminal_, placement, LeastTerminalRect());
}

void Win32View::CopyToClipboard(std::string_view text) {
    std::wstring wide = Cp1252ToWide(text);
    // The clipboard's text ends its lines with CR LF.
    for (std::size_t at = 0; (at = wide.find(L'\n', at)) != std::wstring::npos; at += 2) {
        wide.insert(at, 1, L'\r');
    }
    SetClipboardText(main_, wide);
}

void Win32View::Beep() {
    MessageBeep(MB_OK);
}

}  // namespace velotrix
