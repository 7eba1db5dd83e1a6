// The terminal's screen in Qt: the lines of a TerminalScreen in a fixed-pitch font, with the
// scrollback above them, a selection made with the mouse, and the keys a person presses.
#pragma once

#include <QAbstractScrollArea>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "text/terminal_input.h"
#include "text/terminal_screen.h"
#include "text/terminal_viewport.h"

namespace velotrix {

class TerminalScreenView : public QAbstractScrollArea {
  public:
    explicit TerminalScreenView(QWidget* parent);

    // Draws this screen from now on (nullptr: nothing), from its end.
    void SetScreen(const TerminalScreen* screen);
    void SetInputHandler(std::function<void(const TerminalInput& input)> handler) {
        viewport_.SetInputHandler(std::move(handler));
    }
    // Ctrl+Shift+C and Ctrl+Insert, as "Kopieren" does.
    void SetCopyHandler(std::function<void()> handler) { copy_ = std::move(handler); }
    // The screen changed: drawn anew, its end kept in view when it was.
    void Changed();
    std::optional<std::pair<TerminalPlace, TerminalPlace>> Selection() const;
    // The lines in view now, as the screen holds them.
    std::vector<std::string> ShownLines() const;
    // How many whole lines the screen shows.
    int Rows() const;
    // The middle of the left edge of a place's cell in the viewport (where a press selects from).
    QPoint PointOf(TerminalPlace place) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    // Tab is a key of the terminal, not a way to the next control.
    bool focusNextPrevChild(bool next) override;

  private:
    void Paste();
    void DrawLine(QPainter& painter, std::uint64_t line, int y) const;
    TerminalPlace PlaceAt(const QPoint& point) const;
    void UpdateScrollBars();

    const TerminalScreen* screen_ = nullptr;
    std::function<void()> copy_;
    int cellWidth_ = 8;
    int lineHeight_ = 16;
    int ascent_ = 12;
    // Every character is as wide as every other: a line is drawn in one run.
    bool monospace_ = true;
    TerminalViewport viewport_;
    // The scroll bar is being set to what the viewport shows, not moved by the person.
    bool settingScroll_ = false;
};

}  // namespace velotrix
