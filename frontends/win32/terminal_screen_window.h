// The terminal's screen on Windows: a window of its own class in the terminal dialog that draws
// the lines of a TerminalScreen in a fixed-pitch font, scrolls through the scrollback, takes a
// selection made with the mouse and every key (the dialog manager passes it all of them).
#pragma once

#include "frontends/win32/windows_api.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "text/terminal_input.h"
#include "text/terminal_screen.h"
#include "text/terminal_viewport.h"

namespace velotrix {

class TerminalScreenWindow {
  public:
    // copy: Ctrl+Shift+C and Ctrl+Insert, as "Kopieren" does.
    TerminalScreenWindow(HWND parent, std::function<void()> copy);
    ~TerminalScreenWindow();
    TerminalScreenWindow(const TerminalScreenWindow&) = delete;
    TerminalScreenWindow& operator=(const TerminalScreenWindow&) = delete;

    HWND Window() const { return window_; }
    // Draws this screen from now on (nullptr: nothing), from its end.
    void SetScreen(const TerminalScreen* screen);
    void SetInputHandler(std::function<void(const TerminalInput& input)> handler) {
        viewport_.SetInputHandler(std::move(handler));
    }
    // The screen changed: drawn anew, its end kept in view when it was.
    void Changed();
    std::optional<std::pair<TerminalPlace, TerminalPlace>> Selection() const {
        return viewport_.Selection();
    }
    // The lines in view now; how many whole lines it shows; the left middle of a place's cell.
    std::vector<std::string> ShownLines() const;
    int Rows() const;
    POINT PointOf(TerminalPlace place) const;

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool OnKeyDown(WPARAM key);
    void OnChar(wchar_t c);
    void Paste();
    void Paint();
    void DrawLine(HDC dc, std::uint64_t line, int y) const;
    void Scroll(int value);
    void UpdateScrollBars();
    TerminalPlace PlaceAt(LPARAM point) const;

    HWND window_ = nullptr;
    HFONT font_ = nullptr;
    int cellWidth_ = 8;
    int lineHeight_ = 16;
    std::function<void()> copy_;
    const TerminalScreen* screen_ = nullptr;
    TerminalViewport viewport_;
    int left_ = 0;  // the horizontal scroll, in pixels
    // The character message of a key handled as a key (the clipboard's shortcuts) is dropped.
    bool dropChar_ = false;
    wchar_t highSurrogate_ = 0;
};

}  // namespace velotrix
