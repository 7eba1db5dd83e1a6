// What a view of the terminal's screen shows, the same in every window: the line at its top (the
// end of the text followed, or a place the person scrolled back to), the selection made with the
// mouse, and the cells drawn inverted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "text/terminal_input.h"
#include "text/terminal_screen.h"

namespace velotrix {

class TerminalViewport {
  public:
    // Back to the end of the text, nothing selected, the view's height not yet told.
    void Reset();

    // Where what a person does in the view goes. Typing, a key or a paste brings the view back to
    // the end of the text; the view's height goes out whenever it changes.
    void SetInputHandler(std::function<void(const TerminalInput& input)> handler) {
        input_ = std::move(handler);
    }
    void Send(const TerminalInput& input);
    void TellRows(int rows);

    // The first line in view, for a view rows lines high: the last rows lines while the end is
    // followed, else the line scrolled to (as far as it is still kept).
    std::uint64_t Top(const TerminalScreen& screen, int rows) const;
    // The lines in view, top to bottom.
    std::vector<std::string> ShownLines(const TerminalScreen& screen, int rows) const;
    // The scroll bar: its largest value, and the value of Top() (0: the first line kept).
    int ScrollRange(const TerminalScreen& screen, int rows) const;
    int ScrollValue(const TerminalScreen& screen, int rows) const;
    // The person scrolled; at the end, the view follows it again.
    void ScrollTo(const TerminalScreen& screen, int rows, int value);

    // The place of a point in the view (pixels from its top left, the horizontal scroll already
    // added): a selection takes the cells the mouse passed the middle of.
    TerminalPlace PlaceAt(const TerminalScreen& screen, int rows, int x, int y, int cellWidth,
                          int lineHeight) const;
    // The mouse pressed at a place, and dragged to another.
    void Press(TerminalPlace place);
    void Drag(TerminalPlace place);
    // From before to; nothing when nothing is selected.
    std::optional<std::pair<TerminalPlace, TerminalPlace>> Selection() const;

    // The cells of a line a view draws, as far as something shows in them (text, the cursor, the
    // selection).
    std::size_t CellsToDraw(const TerminalScreen& screen, std::uint64_t line) const;
    // A selected cell is drawn inverted, as are a placeholder and the cursor (inverted twice where
    // they are selected).
    bool Inverted(const TerminalScreen& screen, TerminalPlace place) const;
    // What a cell shows: the character, or a placeholder's letter; a blank beyond the line's end.
    static char Shown(const TerminalScreen& screen, TerminalPlace place);

  private:
    std::function<void(const TerminalInput& input)> input_;
    int toldRows_ = 0;
    bool following_ = true;
    std::uint64_t top_ = 0;
    std::optional<TerminalPlace> anchor_;
    std::optional<TerminalPlace> extent_;
};

}  // namespace velotrix
