// The Win32 window's life: both dialogs made from their templates, the menu and status bar, the
// dialog procedure that turns control notifications into commands, and the message loop.
#include "frontends/win32/win32_view.h"

#include <commctrl.h>

#include <utility>

#include "frontends/win32/dialog_template.h"
#include "frontends/win32/reception_window.h"
#include "frontends/win32/terminal_screen_window.h"
#include "platform/win32/wide_text.h"
#include "ui-resources/ids.h"

namespace velotrix {

namespace {

using layout::ItemKind;

// Posted to a dialog: give the control with the ID in wParam the focus.
constexpr UINT kFocusMessage = WM_APP + 1;
// Status pane right edges at 96 dpi; the last pane reaches the window's right edge.
constexpr int kPaneRightEdges[] = {50, 450, 550, -1};
constexpr int kListFontPoints = 9;
constexpr int kMaxTypedDigits = 8;

bool IsOfClass(HWND window, const wchar_t* className) {
    wchar_t name[16] = {};
    return GetClassNameW(window, name, 16) > 0 && lstrcmpiW(name, className) == 0;
}

bool IsPushButton(HWND window) {
    const LONG type = GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK;
    return IsOfClass(window, WC_BUTTONW) && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

}  // namespace

int Scaled(HWND window, int pixels) {
    const HDC dc = GetDC(window);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    return MulDiv(pixels, dpi, 96);
}

HFONT CreateFixedPitchFont(HWND window, int points) {
    return CreateFontW(-Scaled(window, points * 96 / 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       FIXED_PITCH | FF_MODERN, L"Courier New");
}

TEXTMETRICW MeasureFont(HWND window, HFONT font) {
    const HDC dc = GetDC(window);
    const HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    return metrics;
}

RECT TemplateWindowRect(HWND dialog, const layout::DialogLayout& layout, bool hasMenu) {
    RECT rect{0, 0, layout.width, layout.height};
    MapDialogRect(dialog, &rect);
    AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)), hasMenu,
                       static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)));
    return rect;
}

void Centre(HWND window, int width, int height) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

Win32View::Win32View()
    : mainTemplate_(BuildDialogTemplate(layout::MainDialog(), true)),
      textTemplate_(BuildDialogTemplate(layout::TextDialog(), false)),
      terminalTemplate_(BuildDialogTemplate(layout::TerminalBar(), false)) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    main_ = CreateDialogFrom(mainTemplate_, layout::MainDialog(), nullptr);
    text_ = CreateTextDialog();
    AttachMenuAndStatusBar();
    CreateTerminal();
    if (const HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(1))) {
        SendMessageW(main_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(main_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
}

HWND Win32View::CreateDialogFrom(const std::vector<WORD>& dialogTemplate,
                                 const layout::DialogLayout& layout, HWND owner) {
    creating_ = &layout;
    const HWND dialog = CreateDialogIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()),
        owner, DialogProc, reinterpret_cast<LPARAM>(this));
    creating_ = nullptr;
    return dialog;
}

HWND Win32View::CreateTextDialog() {
    return CreateDialogFrom(textTemplate_, layout::TextDialog(), main_);
}

Win32View::~Win32View() {
    // The text dialog and the terminal are owned by the main dialog and go with it; the menu goes
    // with its window.
    reception_.reset();
    screen_.reset();
    if (main_ != nullptr) {
        KillTimer(main_, kRepaintTimer);
        DestroyWindow(main_);
    }
    if (listFont_ != nullptr) {
        DeleteObject(listFont_);
    }
}

INT_PTR CALLBACK Win32View::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        auto* view = reinterpret_cast<Win32View*>(lParam);
        view->InitializeControls(dialog, *view->creating_);
        return TRUE;
    }
    auto* view = reinterpret_cast<Win32View*>(GetWindowLongPtrW(dialog, DWLP_USER));
    return view != nullptr ? view->Handle(dialog, message, wParam, lParam) : FALSE;
}

void Win32View::InitializeControls(HWND dialog, const layout::DialogLayout& layout) {
    for (const layout::Item& item : layout.items) {
        const HWND control = item.id != layout::kNoId ? GetDlgItem(dialog, item.id) : nullptr;
        if (control == nullptr) {
            continue;
        }
        controls_[item.id] = control;
        if (item.maxLength > 0) {
            SendMessageW(control, EM_SETLIMITTEXT, static_cast<WPARAM>(item.maxLength), 0);
        }
        LimitKeys(control, item);
        if ((item.style & layout::kDigitsOnly) && item.kind == ItemKind::kEdit) {
            SetWindowLongW(control, GWL_STYLE, GetWindowLongW(control, GWL_STYLE) | ES_NUMBER);
        }
        COMBOBOXINFO combo{};
        combo.cbSize = sizeof combo;
        if ((item.style & layout::kDigitsOnly) && GetComboBoxInfo(control, &combo)) {
            // A typed rate: digits only, at most eight.
            SetWindowLongW(combo.hwndItem, GWL_STYLE,
                           GetWindowLongW(combo.hwndItem, GWL_STYLE) | ES_NUMBER);
            SendMessageW(combo.hwndItem, EM_SETLIMITTEXT, kMaxTypedDigits, 0);
        }
        if (item.kind == ItemKind::kListBox) {
            // The listing's columns line up in a fixed-pitch font.
            if (listFont_ == nullptr) {
                listFont_ = CreateFixedPitchFont(dialog, kListFontPoints);
            }
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_), FALSE);
            FitListLineHeight(control);
        }
    }
}

void Win32View::AttachMenuAndStatusBar() {
    // The template has no menu; the window grows by the menu bar so the client keeps its size.
    menu_ = BuildMenu();
    SetMenu(main_, menu_);
    const RECT rect = TemplateWindowRect(main_, layout::MainDialog(), true);
    Centre(main_, rect.right - rect.left, rect.bottom - rect.top);

    status_ = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                              main_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ids::kStatusBar)),
                              GetModuleHandleW(nullptr), nullptr);
    SendMessageW(status_, WM_SETFONT, SendMessageW(main_, WM_GETFONT, 0, 0), FALSE);
    int edges[4];
    for (int pane = 0; pane < 4; ++pane) {
        edges[pane] = kPaneRightEdges[pane] < 0 ? -1 : Scaled(main_, kPaneRightEdges[pane]);
    }
    SendMessageW(status_, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges));
    SendMessageW(status_, WM_SIZE, 0, 0);
    progress_ = CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD, 0, 0, 0, 0, status_, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    SendMessageW(progress_, PBM_SETRANGE32, 0, kProgressScale);
    progressText_ = CreateWindowExW(0, WC_STATICW, nullptr, WS_CHILD | SS_RIGHT | SS_CENTERIMAGE, 0,
                                    0, 0, 0, status_, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(progressText_, WM_SETFONT, SendMessageW(status_, WM_GETFONT, 0, 0), FALSE);
    PlaceProgressParts();
}

INT_PTR Win32View::Handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(dialog, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return TRUE;
        case WM_CLOSE:
            // The close box only asks; the controller closes through CloseMainWindow().
            Notify(dialog == main_       ? ids::kCloseBox
                   : dialog == terminal_ ? ids::kTerminalCloseBox
                                         : ids::kTextClose,
                   ids::kNotifyClicked);
            return TRUE;
        case WM_SIZE:
            if (dialog == terminal_ && screen_ != nullptr) {
                LayOutTerminal();
            }
            if (dialog == main_ && status_ != nullptr) {
                SendMessageW(status_, WM_SIZE, 0, 0);
                // Moved, the status bar is not drawn anew by itself (Wine leaves it blank).
                InvalidateRect(status_, nullptr, TRUE);
                LayOutMainWindow();
            }
            return FALSE;
        case WM_GETMINMAXINFO:
            // The template's size is the least the window can be made.
            if (dialog == main_ || dialog == terminal_) {
                const RECT least = dialog == main_
                                       ? TemplateWindowRect(main_, layout::MainDialog(), true)
                                       : LeastTerminalRect();
                auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
                limits->ptMinTrackSize = {least.right - least.left, least.bottom - least.top};
            }
            return FALSE;
        case WM_TIMER:
            if (dialog == main_ && wParam == kRepaintTimer) {
                RepaintNow();
                return TRUE;
            }
            return FALSE;
        case kFlushListingMessage:
            FlushListing();
            return TRUE;
        case WM_DRAWITEM:
            return DrawListLine(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_DROPFILES:
            OnDroppedFiles(reinterpret_cast<HDROP>(wParam));
            return TRUE;
        case kFocusMessage:
            if (const HWND control = GetDlgItem(dialog, static_cast<int>(wParam))) {
                SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
            }
            return TRUE;
        default:
            return FALSE;
    }
}

void Win32View::OnCommand(HWND dialog, int id, int code, HWND control) {
    if (control == nullptr) {
        // Escape comes as IDCANCEL, Enter without a focused push button as IDOK: in the main
        // dialog Escape is its cancel command (its Enter presses the default button itself); the
        // text dialog sends with Enter and closes with Escape. The rest is the menu.
        if (dialog == text_ && (id == IDOK || id == IDCANCEL)) {
            Notify(id == IDOK ? ids::kTextSend : ids::kTextClose, ids::kNotifyClicked);
        } else if (dialog == terminal_) {
            // Enter in the hex field sends its bytes; Escape belongs to the screen.
            if (id == IDOK && GetFocus() == Control(ids::kTerminalHex)) {
                Notify(ids::kTerminalHexSend, ids::kNotifyClicked);
            }
        } else if (id == IDCANCEL) {
            Notify(ids::kCancel, ids::kNotifyClicked);
        } else if (id != IDOK) {
            Notify(id, ids::kNotifyClicked);
        }
        return;
    }
    const layout::Item* item = layout::FindItem(id);
    if (item == nullptr) {
        return;
    }
    switch (item->kind) {
        case ItemKind::kPushButton:
        case ItemKind::kRadioButton:
        case ItemKind::kCheckBox:
            if (code == BN_CLICKED) {
                Notify(id, ids::kNotifyClicked);
            }
            break;
        case ItemKind::kDropDownList:
            if (code == CBN_SELCHANGE) {
                Notify(id, ids::kNotifySelChange);
            } else if (code == CBN_EDITCHANGE) {
                // A typed value (a pause) may take effect at once, as a chosen entry does.
                Notify(id, ids::kNotifyEditChange);
            }
            break;
        case ItemKind::kEdit:
            // SetText reports its own change; typing is reported when the text changed (a key
            // refused at the typing limit changes nothing, though some edit controls notify).
            if (code == EN_CHANGE && !settingText_ && TakeTextChange(id, control)) {
                Notify(id, ids::kNotifyEditChange);
            }
            break;
        default:
            break;
    }
}

void Win32View::Notify(int id, int code) {
    // A copy, so that a handler that replaces itself finishes running.
    const CommandHandler handler = handler_;
    if (handler) {
        handler(id, code);
    }
}

void Win32View::SetCommandHandler(CommandHandler handler) {
    handler_ = std::move(handler);
}

HWND Win32View::Control(int id) const {
    if (id == ids::kStatusBar) {
        return status_;
    }
    if (id == ids::kProgressText) {
        return progressText_;
    }
    if (id == layout::kNoId) {
        return nullptr;
    }
    // Looked up once: under Wine every GetDlgItem asks the server, which a reception's thousands
    // of lines would feel.
    const auto found = controls_.find(id);
    return found != controls_.end() ? found->second : nullptr;
}

void Win32View::SetFocus(int id) {
    // After the current command: a focus change inside a notification confuses the control.
    if (const HWND control = Control(id)) {
        PostMessageW(GetParent(control), kFocusMessage, static_cast<WPARAM>(id), 0);
    }
}

void Win32View::OnDroppedFiles(HDROP drop) {
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count && dropHandler_; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        dropHandler_(WideToUtf8(path));
    }
    DragFinish(drop);
}

void Win32View::SetFileDropHandler(FileDropHandler handler) {
    dropHandler_ = std::move(handler);
    DragAcceptFiles(main_, static_cast<bool>(dropHandler_));
}

HWND Win32View::Owner() const {
    return IsTextDialogOpen() ? text_ : main_;
}

void Win32View::PlaceTextDialog() {
    const RECT rect = TemplateWindowRect(text_, layout::TextDialog(), false);
    Centre(text_, rect.right - rect.left, rect.bottom - rect.top);
}

void Win32View::OpenTextDialog() {
    if (IsTextDialogOpen()) {
        return;
    }
    // Each opening starts from the template, as a dialog created anew does: empty text, the focus
    // on the first control, the template's size, centred.
    DestroyWindow(text_);
    text_ = CreateTextDialog();
    for (const layout::Item& item : layout::TextDialog().items) {
        reportedTexts_.erase(item.id);
    }
    PlaceTextDialog();
    // Modal to the main window, while the one message loop serves both.
    EnableWindow(main_, FALSE);
    ShowWindow(text_, SW_SHOW);
}

void Win32View::CloseTextDialog() {
    if (!IsTextDialogOpen()) {
        return;
    }
    // The owner first, so that the activation goes back to it and not to another program.
    EnableWindow(main_, TRUE);
    ShowWindow(text_, SW_HIDE);
}

bool Win32View::IsTextDialogOpen() const {
    return IsWindowVisible(text_) != 0;
}

void Win32View::CloseMainWindow() {
    CloseTextDialog();
    ShowWindow(terminal_, SW_HIDE);
    if (reception_ != nullptr) {
        ShowWindow(reception_->Window(), SW_HIDE);
    }
    ShowWindow(main_, SW_HIDE);
    PostQuitMessage(0);
}

bool Win32View::PreTranslate(MSG& msg) {
    const HWND dialog = GetParent(msg.hwnd);
    if (Accelerate(msg)) {
        return true;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN &&
        (dialog == main_ || dialog == text_ || dialog == terminal_)) {
        // Enter presses the push button with the focus, however it got the focus; the dialog
        // manager would press the default button unless the focus came by Tab.
        if (IsPushButton(msg.hwnd)) {
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(msg.hwnd), BN_CLICKED),
                         reinterpret_cast<LPARAM>(msg.hwnd));
            return true;
        }
        // In an edit field of the main dialog it only ends the typing.
        if (dialog == main_ && IsOfClass(msg.hwnd, WC_EDITW)) {
            return true;
        }
    }
    if (reception_ != nullptr && GetAncestor(msg.hwnd, GA_ROOT) == reception_->Window()) {
        return IsDialogMessageW(reception_->Window(), &msg) != 0;
    }
    if (GetAncestor(msg.hwnd, GA_ROOT) == terminal_) {
        return IsDialogMessageW(terminal_, &msg) != 0;
    }
    return (IsTextDialogOpen() && IsDialogMessageW(text_, &msg)) || IsDialogMessageW(main_, &msg);
}

int Win32View::Run(int showCommand) {
    ShowWindow(main_, showCommand);
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace velotrix
