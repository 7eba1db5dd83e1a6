// The terminal's text: the bytes a machine sends to its console become the lines of a screen and
// of the scrollback above it, as a VT100-like terminal shows them. The screen is as many lines
// high as the window shows and a fixed number of columns wide; lines that scroll off its top are
// kept in the scrollback, up to a fixed number, so that memory stays bounded however long the
// machine talks. Texts are code page 1252.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>

#include "text/terminal_parser.h"

namespace velotrix {

inline constexpr std::size_t kTerminalColumns = 80;
inline constexpr std::size_t kTerminalRows = 24;
// More than any screen shows: a view that asks for more gets these.
inline constexpr std::size_t kTerminalMaxRows = 500;
inline constexpr std::size_t kTerminalScrollback = 10000;
inline constexpr std::size_t kTerminalTabWidth = 8;

// A place in the text: the line by its number counted since the terminal began (a line keeps its
// number when older ones leave the scrollback), and the column.
struct TerminalPlace {
    std::uint64_t line = 0;
    std::size_t column = 0;
    friend auto operator<=>(const TerminalPlace&, const TerminalPlace&) = default;
};

// A control byte the terminal does not carry out is kept in its cell and shown as a visible
// placeholder: the letter of its caret name (^C shows C) set apart from the text. DEL and the
// five bytes code page 1252 leaves unassigned are placeholders too.
bool IsPlaceholder(std::uint8_t cell);
char PlaceholderLetter(std::uint8_t cell);

class TerminalScreen {
  public:
    explicit TerminalScreen(std::size_t columns = kTerminalColumns,
                            std::size_t scrollback = kTerminalScrollback,
                            std::size_t rows = kTerminalRows);

    // Shows received bytes. CR, LF, BS, TAB and BEL act as on a terminal; a line full to its last
    // column wraps at the next character, not before (so a full line and CR LF make no empty
    // line). The sequences known are ESC [ n A/B/C/D (cursor up, down, right, left), G (to a
    // column), H and f (to a row and column), J (erase the screen: 0 below, 1 above, 2 all) and K
    // (erase the line: 0 to its end, 1 to its start, 2 all). Erasing the whole screen moves what
    // it showed into the scrollback first, so nothing received is lost to the eye.
    void Feed(std::span<const std::uint8_t> bytes);
    // The window shows this many lines (at least one, at most kTerminalMaxRows): a higher screen
    // takes lines back from the scrollback, a lower one pushes lines into it, keeping the cursor on
    // the screen.
    void SetRows(std::size_t rows);
    // Forgets every line, the scrollback's too; the cursor goes to the top left.
    void Clear();

    std::size_t Columns() const { return columns_; }
    std::size_t Rows() const { return rows_; }
    // The lines kept, scrollback and screen: FirstLine() up to EndLine(); the screen is the last
    // Rows() of them.
    std::uint64_t FirstLine() const { return dropped_; }
    std::uint64_t EndLine() const { return dropped_ + lines_.size(); }
    std::uint64_t ScreenTop() const { return EndLine() - rows_; }
    // A line's cells (at most Columns()); empty for a line not kept. Blanks at the end may be cut.
    std::string_view Line(std::uint64_t line) const;
    TerminalPlace Cursor() const { return {dropped_ + cursor_, column_}; }

    // The bells rung since the last call.
    int TakeBells();
    // Grows with every change, so that a view can tell whether to draw again.
    std::uint64_t Changes() const { return changes_; }

    // The text from one place up to another (not included) as a person copies it: lines joined
    // by "\n", blanks at their ends and empty lines at the end dropped, a placeholder as its caret
    // name ("^C").
    std::string Text(TerminalPlace from, TerminalPlace to) const;

  private:
    void Act(const TerminalAction& action);
    void Print(std::uint8_t cell);
    void Control(std::uint8_t byte);
    void Sequence(const TerminalAction& action);
    void LineFeed();
    void EraseScreen(int how);
    void EraseLine(int how);
    void DropOldLines();
    std::size_t ScreenTopIndex() const { return lines_.size() - rows_; }

    std::size_t columns_;
    std::size_t scrollback_;
    std::size_t rows_;
    std::deque<std::string> lines_;
    std::uint64_t dropped_ = 0;
    std::size_t cursor_ = 0;  // the cursor's line, an index into lines_
    std::size_t column_ = 0;
    // The last column was written: the next character begins the next line.
    bool wrapPending_ = false;
    int bells_ = 0;
    std::uint64_t changes_ = 0;
    TerminalParser parser_;
};

}  // namespace velotrix
