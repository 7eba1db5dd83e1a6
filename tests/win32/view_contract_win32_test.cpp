// The window and loop contract on the Win32 window and message loop (Wine's null display driver
// where no display is wanted).
#include "frontends/win32/windows_api.h"

#include <commctrl.h>

#include <array>
#include <thread>

#include "contract/view_contract.h"
#include "frontends/win32/clipboard.h"
#include "frontends/win32/terminal_screen_window.h"
#include "frontends/win32/win32_loop.h"
#include "frontends/win32/win32_view.h"
#include "platform/win32/wide_text.h"

namespace velotrix::contract {
namespace {

class Win32Rig : public Rig {
  public:
    // The window's first painting done, so that each case starts with nothing pending.
    Win32Rig() {
        ShowWindow(view_.MainWindow(), SW_SHOW);
        SetForegroundWindow(view_.MainWindow());
        UpdateWindow(view_.MainWindow());
        Pump();
    }

    DialogView& View() override { return view_; }
    UiLoop& Loop() override { return loop_; }

    void Click(int id) override {
        const HWND control = view_.Control(id);
        const UINT menuState =
            GetMenuState(GetMenu(view_.MainWindow()), static_cast<UINT>(id), MF_BYCOMMAND);
        if (control == nullptr && menuState != static_cast<UINT>(-1)) {
            if ((menuState & MF_GRAYED) == 0 && IsWindowEnabled(view_.MainWindow())) {
                SendMessageW(view_.MainWindow(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
            }
        } else if (Reachable(control)) {
            ::SetFocus(control);
            wchar_t name[16] = {};
            GetClassNameW(control, name, 16);
            if (lstrcmpiW(name, WC_BUTTONW) == 0) {
                SendMessageW(control, BM_CLICK, 0, 0);
            }
        }
        Pump();
    }

    void Type(int id, std::string_view text) override {
        const HWND edit = view_.Control(id);
        if (!Reachable(edit)) {
            return;
        }
        ::SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 0, -1);
        for (wchar_t c : Cp1252ToWide(text)) {
            SendMessageW(edit, WM_CHAR, c, 0);
        }
        if (text.empty()) {
            SendMessageW(edit, WM_CHAR, VK_BACK, 0);
        }
        Pump();
    }

    void Pick(int id, int index) override {
        const HWND combo = view_.Control(id);
        if (Reachable(combo) && index >= 0 && index < SendMessageW(combo, CB_GETCOUNT, 0, 0)) {
            // What the box does when a person picks an entry from its opened list.
            SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
            SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(combo));
        }
        Pump();
    }

    void Press(Key key, int focusId) override {
        if (key == Key::kCloseBox) {
            SendMessageW(Front(), WM_SYSCOMMAND, SC_CLOSE, 0);
            Pump();
            return;
        }
        if (focusId != 0) {
            ::SetFocus(view_.Control(focusId));
        }
        KeyDown(key == Key::kTab ? VK_TAB : key == Key::kEnter ? VK_RETURN : VK_ESCAPE);
        Pump();
    }

    int FocusId() override {
        HWND focus = GetFocus();
        // The edit field inside an editable combo box stands for the box.
        if (focus != nullptr && GetParent(focus) != Front()) {
            focus = GetParent(focus);
        }
        return focus != nullptr && GetParent(focus) == Front() ? GetDlgCtrlID(focus) : 0;
    }

    bool MainWindowOpen() override { return IsWindowVisible(view_.MainWindow()) != 0; }
    std::string PaneText(int pane) override {
        wchar_t text[256] = {};
        SendMessageW(view_.Control(ids::kStatusBar), SB_GETTEXTW, static_cast<WPARAM>(pane),
                     reinterpret_cast<LPARAM>(text));
        return WideToCp1252(text);
    }
    bool MenuChecked(int id) override {
        return (GetMenuState(GetMenu(view_.MainWindow()), static_cast<UINT>(id), MF_BYCOMMAND) &
                MF_CHECKED) != 0;
    }

    layout::Rect ControlRect(int id) override {
        RECT r{};
        GetWindowRect(view_.Control(id), &r);
        MapWindowPoints(nullptr, view_.MainWindow(), reinterpret_cast<POINT*>(&r), 2);
        return {r.left, r.top, r.right - r.left, r.bottom - r.top};
    }

    // Waits for messages until the time is up, and spins the last stretch: a system timer's
    // granularity (15.6 ms on Windows) would overshoot a short time.
    void Let(milliseconds time) override {
        const auto end = std::chrono::steady_clock::now() + time;
        for (;;) {
            Pump();
            const auto left =
                std::chrono::duration_cast<milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                break;
            }
            if (left > milliseconds(20)) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count() - 16),
                                          QS_ALLINPUT);
            } else {
                std::this_thread::yield();
            }
        }
    }

    void TypeInTerminal(std::string_view utf8) override {
        if (TerminalReachable()) {
            ::SetFocus(Screen());
            for (wchar_t c : Utf8ToWide(utf8)) {
                SendMessageW(Screen(), WM_CHAR, c, 0);
            }
        }
        Pump();
    }
    void PressInTerminal(TerminalKey key) override {
        constexpr std::pair<TerminalKey, WPARAM> kKeys[] = {
            {TerminalKey::kEnter, VK_RETURN}, {TerminalKey::kBackspace, VK_BACK},
            {TerminalKey::kTab, VK_TAB},      {TerminalKey::kEscape, VK_ESCAPE},
            {TerminalKey::kUp, VK_UP},        {TerminalKey::kDown, VK_DOWN},
            {TerminalKey::kRight, VK_RIGHT},  {TerminalKey::kLeft, VK_LEFT},
            {TerminalKey::kDelete, VK_DELETE}};
        for (const auto& [terminalKey, code] : kKeys) {
            if (terminalKey == key && TerminalReachable()) {
                ::SetFocus(Screen());
                KeyDown(code);
            }
        }
        Pump();
    }
    void PasteInTerminal(std::string_view utf8) override {
        if (!TerminalReachable()) {
            return;
        }
        SetClipboardText(view_.MainWindow(), Utf8ToWide(utf8));
        // Ctrl+Shift+V, with the keys held as the keyboard's state says.
        std::array<BYTE, 256> keys{};
        GetKeyboardState(keys.data());
        std::array<BYTE, 256> held = keys;
        held[VK_CONTROL] = held[VK_SHIFT] = 0x80;
        SetKeyboardState(held.data());
        ::SetFocus(Screen());
        KeyDown('V');
        SetKeyboardState(keys.data());
        Pump();
    }
    void DragInTerminal(TerminalPlace from, TerminalPlace to) override {
        if (!TerminalReachable()) {
            return;
        }
        const POINT start = view_.TerminalScreenView()->PointOf(from);
        const POINT end = view_.TerminalScreenView()->PointOf(to);
        SendMessageW(Screen(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(start.x, start.y));
        SendMessageW(Screen(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(end.x, end.y));
        SendMessageW(Screen(), WM_LBUTTONUP, 0, MAKELPARAM(end.x, end.y));
        Pump();
    }
    void CloseTerminalByUser() override {
        if (view_.IsTerminalOpen()) {
            SendMessageW(view_.TerminalWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        Pump();
    }
    std::vector<std::string> TerminalShownLines() override {
        return view_.TerminalScreenView()->ShownLines();
    }
    std::string Clipboard() override {
        std::wstring text = ClipboardText(view_.MainWindow());
        std::erase(text, L'\r');
        return WideToCp1252(text);
    }

  private:
    HWND Screen() const { return view_.TerminalScreenView()->Window(); }
    bool TerminalReachable() const { return view_.IsTerminalOpen() && Reachable(Screen()); }
    // A key pressed where the focus is, through the view as its message loop passes it.
    void KeyDown(WPARAM code) {
        MSG msg{GetFocus(), WM_KEYDOWN, code, 0, 0, {}};
        if (msg.hwnd != nullptr && !view_.PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    // The thread's messages through the view, as its message loop runs them.
    void Pump() {
        MSG msg{};
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message != WM_QUIT && !view_.PreTranslate(msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }

    HWND Front() const {
        return view_.IsTextDialogOpen() ? view_.TextDialogWindow() : view_.MainWindow();
    }

    // Shown (in a window on the screen), enabled, in a dialog that no modal dialog blocks.
    static bool Reachable(HWND control) {
        return control != nullptr && IsWindowEnabled(control) && IsWindowVisible(control) &&
               IsWindowEnabled(GetParent(control));
    }

    Win32Loop loop_;
    Win32View view_;
};

std::unique_ptr<Rig> MakeWin32Rig() {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    return std::make_unique<Win32Rig>();
}

VELOTRIX_VIEW_CONTRACT(Win32, MakeWin32Rig);

}  // namespace
}  // namespace velotrix::contract
