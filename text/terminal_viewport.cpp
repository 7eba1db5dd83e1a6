// The view of the terminal's screen: scrolling, selecting, and which cells stand out.
#include "text/terminal_viewport.h"

#include <algorithm>

namespace velotrix {

namespace {

std::uint64_t LastTop(const TerminalScreen& screen, int rows) {
    const std::uint64_t shown = static_cast<std::uint64_t>(std::max(rows, 1));
    const std::uint64_t kept = screen.EndLine() - screen.FirstLine();
    return screen.FirstLine() + (kept > shown ? kept - shown : 0);
}

}  // namespace

void TerminalViewport::Reset() {
    toldRows_ = 0;
    following_ = true;
    anchor_.reset();
    extent_.reset();
}

void TerminalViewport::Send(const TerminalInput& input) {
    if (input.kind != TerminalInput::Kind::kRows) {
        following_ = true;
    }
    if (input_) {
        input_(input);
    }
}

void TerminalViewport::TellRows(int rows) {
    if (rows != toldRows_) {
        toldRows_ = rows;
        Send({TerminalInput::Kind::kRows, {}, {}, rows});
    }
}

std::uint64_t TerminalViewport::Top(const TerminalScreen& screen, int rows) const {
    const std::uint64_t last = LastTop(screen, rows);
    return following_ ? last : std::clamp(top_, screen.FirstLine(), last);
}

std::vector<std::string> TerminalViewport::ShownLines(const TerminalScreen& screen,
                                                      int rows) const {
    std::vector<std::string> lines;
    const std::uint64_t top = Top(screen, rows);
    for (std::uint64_t line = top;
         line < top + static_cast<std::uint64_t>(std::max(rows, 1)) && line < screen.EndLine();
         ++line) {
        lines.emplace_back(screen.Line(line));
    }
    return lines;
}

int TerminalViewport::ScrollRange(const TerminalScreen& screen, int rows) const {
    return static_cast<int>(LastTop(screen, rows) - screen.FirstLine());
}

int TerminalViewport::ScrollValue(const TerminalScreen& screen, int rows) const {
    return static_cast<int>(Top(screen, rows) - screen.FirstLine());
}

void TerminalViewport::ScrollTo(const TerminalScreen& screen, int rows, int value) {
    top_ = screen.FirstLine() + static_cast<std::uint64_t>(std::max(value, 0));
    following_ = top_ >= LastTop(screen, rows);
}

TerminalPlace TerminalViewport::PlaceAt(const TerminalScreen& screen, int rows, int x, int y,
                                        int cellWidth, int lineHeight) const {
    const int row = std::max(y, 0) / std::max(lineHeight, 1);
    const int width = std::max(cellWidth, 1);
    const auto column = static_cast<std::size_t>((std::max(x, 0) + width / 2) / width);
    return {Top(screen, rows) + static_cast<std::uint64_t>(row),
            std::min(column, screen.Columns())};
}

void TerminalViewport::Press(TerminalPlace place) {
    anchor_ = place;
    extent_ = place;
}

void TerminalViewport::Drag(TerminalPlace place) {
    if (anchor_) {
        extent_ = place;
    }
}

std::optional<std::pair<TerminalPlace, TerminalPlace>> TerminalViewport::Selection() const {
    if (!anchor_ || !extent_ || *anchor_ == *extent_) {
        return std::nullopt;
    }
    return std::minmax(*anchor_, *extent_);
}

std::size_t TerminalViewport::CellsToDraw(const TerminalScreen& screen, std::uint64_t line) const {
    std::size_t cells = screen.Line(line).size();
    if (screen.Cursor().line == line) {
        cells = std::max(cells, screen.Cursor().column + 1);
    }
    const auto selection = Selection();
    if (selection && selection->first.line <= line && line <= selection->second.line) {
        cells = screen.Columns();
    }
    return std::min(cells, screen.Columns());
}

bool TerminalViewport::Inverted(const TerminalScreen& screen, TerminalPlace place) const {
    const std::string_view cells = screen.Line(place.line);
    const bool placeholder = place.column < cells.size() &&
                             IsPlaceholder(static_cast<std::uint8_t>(cells[place.column]));
    const auto selection = Selection();
    const bool selected = selection && selection->first <= place && place < selection->second;
    return selected != (placeholder || place == screen.Cursor());
}

char TerminalViewport::Shown(const TerminalScreen& screen, TerminalPlace place) {
    const std::string_view cells = screen.Line(place.line);
    if (place.column >= cells.size()) {
        return ' ';
    }
    const auto cell = static_cast<std::uint8_t>(cells[place.column]);
    return IsPlaceholder(cell) ? PlaceholderLetter(cell) : static_cast<char>(cell);
}

}  // namespace velotrix
