// The reception in rows in an edit control, its search and its copy to the clipboard.
#include "frontends/win32/reception_window.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "frontends/win32/clipboard.h"
#include "frontends/win32/win32_view.h"
#include "platform/win32/wide_text.h"
#include "ui-resources/ids.h"
#include "ui-resources/messages.h"
#include "ui-resources/window_rules.h"

namespace velotrix {

namespace {

constexpr wchar_t kClassName[] = L"VelotrixAnsicht";
// The header mark takes the same room in both languages, so that the rows keep one stride.
static_assert(msg::kViewHeaderMark.German().size() == msg::kViewHeaderMark.English().size());
// Each row, its mark (the header's rows) or as many blanks, and "\r\n": a character offset in the
// text names one byte.
constexpr std::size_t kStride = kDumpLineLength + msg::kViewHeaderMark.German().size() + 2;
// At 96 dpi; scaled to the screen's. The width follows from the rows' font.
constexpr int kHeight = 520;
constexpr int kMargin = 8;
constexpr int kBarHeight = 24;

HWND Child(HWND parent, const wchar_t* className, DWORD style, int id, std::string_view text = {}) {
    const bool edit = lstrcmpW(className, WC_EDITW) == 0;
    const HWND child = CreateWindowExW(
        edit ? WS_EX_CLIENTEDGE : 0, className, Cp1252ToWide(text).c_str(),
        WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    return child;
}

// The outer width of a window whose rows edit shows a whole row without scrolling sideways: the
// row in the font, the edit's margins, edge and scroll bar, the window's margins and frame.
int WidthForRows(HWND window, HWND rows, HFONT font, int margin) {
    const std::wstring row(kStride - 2, L'0');
    SIZE text{};
    const HDC dc = GetDC(rows);
    const HGDIOBJ old = SelectObject(dc, font);
    GetTextExtentPoint32W(dc, row.c_str(), static_cast<int>(row.size()), &text);
    SelectObject(dc, old);
    ReleaseDC(rows, dc);
    const DWORD margins = static_cast<DWORD>(SendMessageW(rows, EM_GETMARGINS, 0, 0));
    RECT frame{0, 0,
               text.cx + LOWORD(margins) + HIWORD(margins) + GetSystemMetrics(SM_CXVSCROLL) +
                   4 * GetSystemMetrics(SM_CXEDGE) + 3 * margin,
               0};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    return frame.right - frame.left;
}

}  // namespace

ReceptionWindow::ReceptionWindow(HWND owner, HFONT font) : font_(font) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);  // fails harmlessly when the class is there already
    window_ = CreateWindowExW(
        0, kClassName, Cp1252ToWide(msg::kViewTitle).c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
        CW_USEDEFAULT, 0, Scaled(owner, kHeight), owner, nullptr, GetModuleHandleW(nullptr), this);
    // A window as wide as a row needs no scroll bar sideways; one made narrower by hand still
    // scrolls with the caret.
    rows_ = Child(
        window_, WC_EDITW,
        WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL,
        ids::kViewDump);
    SendMessageW(rows_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    RECT placed{};
    GetWindowRect(window_, &placed);
    SetWindowPos(window_, nullptr, 0, 0,
                 WidthForRows(window_, rows_, font_, Scaled(window_, kMargin)),
                 placed.bottom - placed.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    query_ = Child(window_, WC_EDITW, WS_TABSTOP | ES_AUTOHSCROLL, ids::kViewSearchText);
    hex_ = Child(window_, WC_BUTTONW, WS_TABSTOP | BS_AUTOCHECKBOX, ids::kViewSearchHex,
                 msg::kViewHex);
    search_ = Child(window_, WC_BUTTONW, WS_TABSTOP | BS_DEFPUSHBUTTON, ids::kViewSearchButton,
                    msg::kViewSearch);
    note_ = Child(window_, WC_STATICW, SS_CENTERIMAGE, 0);
    copy_ = Child(window_, WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, ids::kViewCopyButton,
                  msg::kViewCopy);
    LayOut();
}

ReceptionWindow::~ReceptionWindow() {
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

LRESULT CALLBACK ReceptionWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<ReceptionWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && self->window_ == window) {
        switch (message) {
            case WM_SIZE:
                self->LayOut();
                return 0;
            case WM_CLOSE:
                ShowWindow(window, SW_HIDE);
                return 0;
            case WM_COMMAND:
                if (LOWORD(wParam) == ids::kViewSearchButton || LOWORD(wParam) == IDOK) {
                    self->Search();
                } else if (LOWORD(wParam) == ids::kViewCopyButton) {
                    self->Copy();
                }
                return 0;
            default:
                break;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void ReceptionWindow::LayOut() {
    const auto px = [this](int pixels) { return Scaled(window_, pixels); };
    RECT client{};
    GetClientRect(window_, &client);
    const int margin = px(kMargin);
    const int height = px(kBarHeight);
    const int width = client.right - margin;
    const int bar = client.bottom - margin - height;
    MoveWindow(rows_, margin, margin, width - margin, bar - 2 * margin, TRUE);
    MoveWindow(query_, margin, bar, px(160), height, TRUE);
    MoveWindow(hex_, margin + px(168), bar, px(50), height, TRUE);
    MoveWindow(search_, margin + px(222), bar, px(80), height, TRUE);
    // The note takes the room up to "Kopieren": "Kein Hex: ..." is longer than "Nicht gefunden".
    MoveWindow(note_, margin + px(310), bar, std::max(0, width - px(98) - margin - px(310)), height,
               TRUE);
    MoveWindow(copy_, width - px(90), bar, px(90), height, TRUE);
}

void ReceptionWindow::Show(const HexDump& dump) {
    dump_ = dump;
    std::string text;
    const std::string unmarked(msg::kViewHeaderMark.size(), ' ');
    for (std::size_t row = 0; row < DumpRowCount(dump_); ++row) {
        const bool header = row * kDumpBytesPerRow < dump_.headerLength;
        text += DumpLine(dump_, row) + (header ? std::string(msg::kViewHeaderMark) : unmarked);
        text += "\r\n";
    }
    SetWindowTextW(rows_, Cp1252ToWide(text).c_str());
    SetWindowTextW(note_, L"");
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
}

ByteRange ReceptionWindow::Selection() const {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(rows_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return DumpSelection(dump_, start, end, kStride);
}

void ReceptionWindow::Search() {
    // From behind the start of the selection, so that searching again finds the next place.
    const ByteRange selected = Selection();
    std::wstring query(static_cast<std::size_t>(GetWindowTextLengthW(query_)) + 1, L'\0');
    query.resize(static_cast<std::size_t>(
        GetWindowTextW(query_, query.data(), static_cast<int>(query.size()))));
    const bool hex = SendMessageW(hex_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    const std::string text = WideToCp1252(query);
    const auto found = DumpFind(dump_, text, hex, selected.count > 0 ? selected.first + 1 : 0);
    if (!found) {
        SetWindowTextW(note_, Cp1252ToWide(layout::SearchFailedNote(text, hex)).c_str());
        MessageBeep(MB_OK);
        return;
    }
    SetWindowTextW(note_, L"");
    const std::size_t last = found->first + found->count - 1;
    SendMessageW(rows_, EM_SETSEL, DumpHexOffset(found->first, kStride),
                 static_cast<LPARAM>(DumpHexOffset(last, kStride) + 2));
    SendMessageW(rows_, EM_SCROLLCARET, 0, 0);
}

void ReceptionWindow::Copy() {
    const ByteRange selected = Selection();
    if (selected.count == 0) {
        return;
    }
    const std::span<const std::uint8_t> bytes(dump_.bytes);
    SetClipboardText(window_,
                     Cp1252ToWide(BytesAsHex(bytes.subspan(selected.first, selected.count))));
}

}  // namespace velotrix
