// The screen and its scrollback: where each character, control byte and sequence puts the text.
#include "text/terminal_screen.h"

#include <algorithm>
#include <utility>

#include "text/cp1252.h"

namespace velotrix {

namespace {

constexpr std::uint8_t kBel = 0x07;
constexpr std::uint8_t kBs = 0x08;
constexpr std::uint8_t kTab = 0x09;
constexpr std::uint8_t kLf = 0x0A;
constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kDel = 0x7F;

bool IsBlank(std::string_view line) {
    return line.find_first_not_of(' ') == std::string_view::npos;
}

// A parameter of a cursor movement: missing or 0 counts as 1.
std::size_t Count(const TerminalAction& action, std::size_t index) {
    return index < action.paramCount && action.params[index] > 0
               ? static_cast<std::size_t>(action.params[index])
               : 1;
}

int Mode(const TerminalAction& action) {
    return action.paramCount > 0 ? action.params[0] : 0;
}

}  // namespace

bool IsPlaceholder(std::uint8_t cell) {
    return !HasVisibleSign(cell);
}

char PlaceholderLetter(std::uint8_t cell) {
    return cell < 0x20 ? static_cast<char>('@' + cell) : '?';
}

TerminalScreen::TerminalScreen(std::size_t columns, std::size_t scrollback, std::size_t rows)
    : columns_(std::max<std::size_t>(columns, 1)),
      scrollback_(scrollback),
      rows_(std::clamp<std::size_t>(rows, 1, kTerminalMaxRows)),
      lines_(rows_) {}

std::string_view TerminalScreen::Line(std::uint64_t line) const {
    if (line < dropped_ || line >= EndLine()) {
        return {};
    }
    return lines_[static_cast<std::size_t>(line - dropped_)];
}

int TerminalScreen::TakeBells() {
    return std::exchange(bells_, 0);
}

void TerminalScreen::Feed(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) {
        return;
    }
    for (std::uint8_t byte : bytes) {
        Act(parser_.Step(byte));
    }
    ++changes_;
}

void TerminalScreen::Act(const TerminalAction& action) {
    switch (action.kind) {
        case TerminalAction::Kind::kPrint:
            Print(action.byte);
            break;
        case TerminalAction::Kind::kControl:
            Control(action.byte);
            break;
        case TerminalAction::Kind::kCsi:
            Sequence(action);
            break;
        case TerminalAction::Kind::kNone:
            break;
    }
}

void TerminalScreen::Print(std::uint8_t cell) {
    if (wrapPending_) {
        wrapPending_ = false;
        column_ = 0;
        LineFeed();
    }
    std::string& line = lines_[cursor_];
    if (line.size() <= column_) {
        line.resize(column_, ' ');
        line.push_back(static_cast<char>(cell));
    } else {
        line[column_] = static_cast<char>(cell);
    }
    if (column_ + 1 < columns_) {
        ++column_;
    } else {
        wrapPending_ = true;
    }
}

void TerminalScreen::Control(std::uint8_t byte) {
    switch (byte) {
        case kCr:
            column_ = 0;
            break;
        case kLf:
            LineFeed();
            break;
        case kBs:
            column_ -= column_ > 0 ? 1 : 0;
            break;
        case kTab:
            column_ = std::min((column_ / kTerminalTabWidth + 1) * kTerminalTabWidth, columns_ - 1);
            break;
        case kBel:
            ++bells_;
            return;
        default:
            Print(byte);
            return;
    }
    wrapPending_ = false;
}

void TerminalScreen::Sequence(const TerminalAction& action) {
    const std::size_t top = ScreenTopIndex();
    const std::size_t last = lines_.size() - 1;
    switch (action.byte) {
        case 'A':
            cursor_ = std::max(top, cursor_ - std::min(cursor_, Count(action, 0)));
            break;
        case 'B':
            cursor_ = std::min(last, cursor_ + Count(action, 0));
            break;
        case 'C':
            column_ = std::min(columns_ - 1, column_ + Count(action, 0));
            break;
        case 'D':
            column_ -= std::min(column_, Count(action, 0));
            break;
        case 'G':
            column_ = std::min(columns_, Count(action, 0)) - 1;
            break;
        case 'H':
        case 'f':
            cursor_ = top + std::min(rows_, Count(action, 0)) - 1;
            column_ = std::min(columns_, Count(action, 1)) - 1;
            break;
        case 'J':
            EraseScreen(Mode(action));
            break;
        case 'K':
            EraseLine(Mode(action));
            break;
        default:
            // Colours (m) and the rest: nothing a console of ours needs.
            return;
    }
    wrapPending_ = false;
}

void TerminalScreen::LineFeed() {
    if (cursor_ + 1 < lines_.size()) {
        ++cursor_;
        return;
    }
    // The screen scrolls: its top line goes into the scrollback.
    lines_.emplace_back();
    ++cursor_;
    DropOldLines();
}

void TerminalScreen::DropOldLines() {
    while (lines_.size() > rows_ + scrollback_) {
        lines_.pop_front();
        ++dropped_;
        --cursor_;
    }
}

void TerminalScreen::EraseLine(int how) {
    std::string& line = lines_[cursor_];
    if (how == 0) {
        line.resize(std::min(line.size(), column_));
    } else if (how == 1) {
        std::fill_n(line.begin(), std::min(line.size(), column_ + 1), ' ');
    } else if (how == 2) {
        line.clear();
    }
}

void TerminalScreen::EraseScreen(int how) {
    const std::size_t top = ScreenTopIndex();
    if (how == 0) {
        EraseLine(0);
        for (std::size_t i = cursor_ + 1; i < lines_.size(); ++i) {
            lines_[i].clear();
        }
    } else if (how == 1) {
        EraseLine(1);
        for (std::size_t i = top; i < cursor_; ++i) {
            lines_[i].clear();
        }
    } else if (how == 2) {
        // The lines shown so far scroll up into the scrollback; the cursor keeps its row.
        std::size_t shown = rows_;
        while (shown > 0 && IsBlank(lines_[top + shown - 1])) {
            --shown;
        }
        for (std::size_t i = top + shown; i < lines_.size(); ++i) {
            lines_[i].clear();
        }
        lines_.resize(lines_.size() + shown);
        cursor_ += shown;
        DropOldLines();
    }
}

void TerminalScreen::SetRows(std::size_t rows) {
    rows = std::clamp<std::size_t>(rows, 1, kTerminalMaxRows);
    while (rows_ < rows) {
        // Lines come back from the scrollback while it has any, else blank ones below.
        if (lines_.size() == rows_) {
            lines_.emplace_back();
        }
        ++rows_;
    }
    while (rows_ > rows) {
        // Blank lines below the cursor go first; then the top line goes into the scrollback, and
        // a line below the cursor only when the cursor would leave the screen.
        if (cursor_ + 1 < lines_.size() && IsBlank(lines_.back())) {
            lines_.pop_back();
        }
        --rows_;
        if (cursor_ < ScreenTopIndex()) {
            lines_.pop_back();
        }
    }
    DropOldLines();
    ++changes_;
}

void TerminalScreen::Clear() {
    dropped_ += lines_.size();
    lines_.assign(rows_, std::string());
    cursor_ = 0;
    column_ = 0;
    wrapPending_ = false;
    parser_.Reset();
    ++changes_;
}

std::string TerminalScreen::Text(TerminalPlace from, TerminalPlace to) const {
    std::string text;
    from = std::max(from, TerminalPlace{dropped_, 0});
    for (std::uint64_t number = from.line; number < EndLine() && number <= to.line; ++number) {
        const std::string_view line = Line(number);
        const std::size_t first = number == from.line ? from.column : 0;
        const std::size_t end = number == to.line ? to.column : line.size();
        if (number > from.line) {
            text += '\n';
        }
        std::string part;
        for (std::size_t i = first; i < std::min(end, line.size()); ++i) {
            const auto cell = static_cast<std::uint8_t>(line[i]);
            if (!IsPlaceholder(cell)) {
                part += static_cast<char>(cell);
            } else if (cell < 0x20 || cell == kDel) {
                part += '^';
                part += PlaceholderLetter(cell);
            } else {
                part += '?';
            }
        }
        text += part.substr(0, part.find_last_not_of(' ') + 1);
    }
    // Empty lines at the end are the screen's rest, not text.
    text.erase(text.find_last_not_of('\n') + 1);
    return text;
}

}  // namespace velotrix
