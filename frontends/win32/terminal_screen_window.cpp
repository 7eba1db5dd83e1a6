// Drawing the terminal's lines on Windows, scrolling through them, selecting and typing.
#include "frontends/win32/terminal_screen_window.h"

#include <algorithm>
#include <array>
#include <utility>

#include "frontends/win32/clipboard.h"
#include "frontends/win32/win32_view.h"
#include "platform/win32/wide_text.h"

namespace velotrix {

namespace {

constexpr wchar_t kClassName[] = L"VelotrixTerminal";
constexpr int kFontPoints = 10;

constexpr std::array<std::pair<WPARAM, TerminalKey>, 5> kKeys{{
    {VK_UP, TerminalKey::kUp},
    {VK_DOWN, TerminalKey::kDown},
    {VK_RIGHT, TerminalKey::kRight},
    {VK_LEFT, TerminalKey::kLeft},
    {VK_DELETE, TerminalKey::kDelete},
}};

// The keys whose characters the terminal sends as keys.
constexpr std::array<std::pair<wchar_t, TerminalKey>, 4> kCharacterKeys{{
    {L'\r', TerminalKey::kEnter},
    {L'\b', TerminalKey::kBackspace},
    {L'\t', TerminalKey::kTab},
    {L'\x1B', TerminalKey::kEscape},
}};

SCROLLINFO ScrollInfo(UINT mask) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = mask;
    return info;
}

bool Down(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

}  // namespace

TerminalScreenWindow::TerminalScreenWindow(HWND parent, std::function<void()> copy)
    : copy_(std::move(copy)) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32513));  // the I-beam
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);  // fails harmlessly when the class is there already
    font_ = CreateFixedPitchFont(parent, kFontPoints);
    window_ = CreateWindowExW(WS_EX_CLIENTEDGE, kClassName, nullptr,
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL, 0, 0, 0,
                              0, parent, nullptr, GetModuleHandleW(nullptr), this);
    const TEXTMETRICW metrics = MeasureFont(window_, font_);
    cellWidth_ = std::max<int>(1, metrics.tmAveCharWidth);
    lineHeight_ = std::max<int>(1, metrics.tmHeight + metrics.tmExternalLeading);
}

TerminalScreenWindow::~TerminalScreenWindow() {
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    DeleteObject(font_);
}

LRESULT CALLBACK TerminalScreenWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TerminalScreenWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self != nullptr && self->window_ == window
               ? self->Handle(message, wParam, lParam)
               : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT TerminalScreenWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE:
            // Every key is the terminal's: Tab, Enter and Escape too.
            return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB;
        case WM_KEYDOWN:
            if (OnKeyDown(wParam)) {
                return 0;
            }
            break;
        case WM_CHAR:
            OnChar(static_cast<wchar_t>(wParam));
            return 0;
        case WM_LBUTTONDOWN:
            SetFocus(window_);
            if (screen_ != nullptr) {
                SetCapture(window_);
                viewport_.Press(PlaceAt(lParam));
                InvalidateRect(window_, nullptr, FALSE);
            }
            return 0;
        case WM_MOUSEMOVE:
            if ((wParam & MK_LBUTTON) != 0 && screen_ != nullptr) {
                viewport_.Drag(PlaceAt(lParam));
                InvalidateRect(window_, nullptr, FALSE);
            }
            return 0;
        case WM_LBUTTONUP:
            ReleaseCapture();
            return 0;
        case WM_VSCROLL: {
            SCROLLINFO info = ScrollInfo(SIF_ALL);
            GetScrollInfo(window_, SB_VERT, &info);
            const int page = std::max<int>(1, static_cast<int>(info.nPage));
            const int value = LOWORD(wParam) == SB_LINEUP       ? info.nPos - 1
                              : LOWORD(wParam) == SB_LINEDOWN   ? info.nPos + 1
                              : LOWORD(wParam) == SB_PAGEUP     ? info.nPos - page
                              : LOWORD(wParam) == SB_PAGEDOWN   ? info.nPos + page
                              : LOWORD(wParam) == SB_THUMBTRACK ? info.nTrackPos
                              : LOWORD(wParam) == SB_TOP        ? info.nMin
                              : LOWORD(wParam) == SB_BOTTOM     ? info.nMax
                                                                : info.nPos;
            Scroll(value);
            return 0;
        }
        case WM_HSCROLL: {
            SCROLLINFO info = ScrollInfo(SIF_ALL);
            GetScrollInfo(window_, SB_HORZ, &info);
            left_ = LOWORD(wParam) == SB_THUMBTRACK  ? info.nTrackPos
                    : LOWORD(wParam) == SB_LINELEFT  ? info.nPos - cellWidth_
                    : LOWORD(wParam) == SB_LINERIGHT ? info.nPos + cellWidth_
                                                     : info.nPos;
            UpdateScrollBars();
            InvalidateRect(window_, nullptr, FALSE);
            return 0;
        }
        case WM_MOUSEWHEEL:
            if (screen_ != nullptr) {
                Scroll(viewport_.ScrollValue(*screen_, Rows()) -
                       GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3);
            }
            return 0;
        case WM_SIZE:
            if (screen_ != nullptr) {
                viewport_.TellRows(Rows());
            }
            Changed();
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(window_, nullptr, FALSE);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            Paint();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

bool TerminalScreenWindow::OnKeyDown(WPARAM key) {
    const bool ctrl = Down(VK_CONTROL);
    const bool shift = Down(VK_SHIFT);
    if ((ctrl && shift && key == 'C') || (ctrl && key == VK_INSERT)) {
        dropChar_ = ctrl && shift;
        if (copy_) {
            copy_();
        }
        return true;
    }
    if ((ctrl && shift && key == 'V') || (shift && key == VK_INSERT)) {
        dropChar_ = ctrl && shift;
        Paste();
        return true;
    }
    if (shift && (key == VK_PRIOR || key == VK_NEXT) && screen_ != nullptr) {
        Scroll(viewport_.ScrollValue(*screen_, Rows()) + (key == VK_PRIOR ? -Rows() : Rows()));
        return true;
    }
    for (const auto& [virtualKey, terminalKey] : kKeys) {
        if (key == virtualKey) {
            viewport_.Send({TerminalInput::Kind::kKey, {}, terminalKey, 0});
            return true;
        }
    }
    return false;
}

void TerminalScreenWindow::OnChar(wchar_t c) {
    if (std::exchange(dropChar_, false)) {
        return;
    }
    for (const auto& [character, key] : kCharacterKeys) {
        if (c == character) {
            viewport_.Send({TerminalInput::Kind::kKey, {}, key, 0});
            return;
        }
    }
    // A character beyond the basic plane comes in two halves.
    if (c >= 0xD800 && c < 0xDC00) {
        highSurrogate_ = c;
        return;
    }
    std::wstring text;
    if (c >= 0xDC00 && c < 0xE000 && highSurrogate_ != 0) {
        text += highSurrogate_;
    }
    highSurrogate_ = 0;
    text += c;
    viewport_.Send({TerminalInput::Kind::kText, WideToUtf8(text), {}, 0});
}

void TerminalScreenWindow::Paste() {
    const std::wstring text = ClipboardText(window_);
    if (!text.empty()) {
        viewport_.Send({TerminalInput::Kind::kPaste, WideToUtf8(text), {}, 0});
    }
}

void TerminalScreenWindow::SetScreen(const TerminalScreen* screen) {
    screen_ = screen;
    viewport_.Reset();
    if (screen_ != nullptr) {
        viewport_.TellRows(Rows());
    }
    Changed();
}

int TerminalScreenWindow::Rows() const {
    RECT client{};
    GetClientRect(window_, &client);
    return std::max(1, static_cast<int>(client.bottom) / lineHeight_);
}

void TerminalScreenWindow::Scroll(int value) {
    if (screen_ != nullptr) {
        viewport_.ScrollTo(*screen_, Rows(),
                           std::clamp(value, 0, viewport_.ScrollRange(*screen_, Rows())));
    }
    Changed();
}

void TerminalScreenWindow::UpdateScrollBars() {
    RECT client{};
    GetClientRect(window_, &client);
    SCROLLINFO vertical = ScrollInfo(SIF_ALL | SIF_DISABLENOSCROLL);
    vertical.nMax = screen_ == nullptr ? 0 : viewport_.ScrollRange(*screen_, Rows()) + Rows() - 1;
    vertical.nPage = static_cast<UINT>(Rows());
    vertical.nPos = screen_ == nullptr ? 0 : viewport_.ScrollValue(*screen_, Rows());
    SetScrollInfo(window_, SB_VERT, &vertical, TRUE);
    const int width = screen_ == nullptr ? 0 : static_cast<int>(screen_->Columns()) * cellWidth_;
    left_ = std::clamp(left_, 0, std::max(0, width - static_cast<int>(client.right)));
    SCROLLINFO horizontal = ScrollInfo(SIF_ALL);
    horizontal.nMax = std::max(0, width - 1);
    horizontal.nPage = static_cast<UINT>(client.right);
    horizontal.nPos = left_;
    SetScrollInfo(window_, SB_HORZ, &horizontal, TRUE);
}

void TerminalScreenWindow::Changed() {
    UpdateScrollBars();
    InvalidateRect(window_, nullptr, FALSE);
}

TerminalPlace TerminalScreenWindow::PlaceAt(LPARAM point) const {
    return viewport_.PlaceAt(*screen_, Rows(), static_cast<short>(LOWORD(point)) + left_,
                             static_cast<short>(HIWORD(point)), cellWidth_, lineHeight_);
}

POINT TerminalScreenWindow::PointOf(TerminalPlace place) const {
    const auto row = static_cast<int>(place.line - viewport_.Top(*screen_, Rows()));
    return {static_cast<LONG>(place.column) * cellWidth_ - left_,
            row * lineHeight_ + lineHeight_ / 2};
}

std::vector<std::string> TerminalScreenWindow::ShownLines() const {
    return screen_ != nullptr ? viewport_.ShownLines(*screen_, Rows()) : std::vector<std::string>();
}

// Drawn into a bitmap first: a screen redrawn many times a second must not flicker.
void TerminalScreenWindow::Paint() {
    PAINTSTRUCT paint{};
    const HDC target = BeginPaint(window_, &paint);
    RECT client{};
    GetClientRect(window_, &client);
    const HDC dc = CreateCompatibleDC(target);
    const HBITMAP bitmap = CreateCompatibleBitmap(target, client.right, client.bottom);
    const HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    const HGDIOBJ oldFont = SelectObject(dc, font_);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    if (screen_ != nullptr) {
        const std::uint64_t top = viewport_.Top(*screen_, Rows());
        for (int row = 0;
             row <= Rows() && top + static_cast<std::uint64_t>(row) < screen_->EndLine(); ++row) {
            DrawLine(dc, top + static_cast<std::uint64_t>(row), row * lineHeight_);
        }
    }
    BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    EndPaint(window_, &paint);
}

void TerminalScreenWindow::DrawLine(HDC dc, std::uint64_t line, int y) const {
    const std::size_t cells = viewport_.CellsToDraw(*screen_, line);
    std::string plain;
    for (std::size_t column = 0; column < cells; ++column) {
        const TerminalPlace place{line, column};
        plain +=
            viewport_.Inverted(*screen_, place) ? ' ' : TerminalViewport::Shown(*screen_, place);
    }
    // Each character in its cell, whatever the font made of its width.
    const std::wstring text = Cp1252ToWide(plain);
    const std::vector<INT> advances(text.size(), cellWidth_);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    ExtTextOutW(dc, -left_, y, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()),
                advances.data());
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    for (std::size_t column = 0; column < cells; ++column) {
        const TerminalPlace place{line, column};
        if (!viewport_.Inverted(*screen_, place)) {
            continue;
        }
        const int x = static_cast<int>(column) * cellWidth_ - left_;
        const RECT cell{x, y, x + cellWidth_, y + lineHeight_};
        FillRect(dc, &cell, GetSysColorBrush(COLOR_HIGHLIGHT));
        const char shown = TerminalViewport::Shown(*screen_, place);
        const std::wstring glyph = Cp1252ToWide(std::string_view(&shown, 1));
        ExtTextOutW(dc, x, y, 0, nullptr, glyph.c_str(), 1, nullptr);
    }
}

}  // namespace velotrix
