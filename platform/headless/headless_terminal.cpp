// The in-memory window's terminal: the screen it was given, and a person's keys and mouse on it.
#include "platform/headless/headless_view.h"

#include <algorithm>

#include "ui-resources/ids.h"
#include "ui-resources/window_rules.h"

namespace velotrix {

void HeadlessView::OpenTerminal(const TerminalScreen& screen) {
    if (mainClosed_) {
        return;
    }
    const bool opening = terminal_ == nullptr;
    terminal_ = &screen;
    // The in-memory screen is as high as a terminal's.
    if (opening) {
        Input({TerminalInput::Kind::kRows, {}, {}, static_cast<int>(kTerminalRows)});
    }
}

void HeadlessView::CloseTerminal() {
    terminal_ = nullptr;
    selection_.reset();
}

void HeadlessView::PlaceTerminal(const layout::Rect& placement) {
    const layout::DialogLayout& bar = layout::TerminalBar();
    terminalPlacement_ =
        Placed(placement, {0, 0, bar.width, bar.height + layout::kTerminalLeastScreenHeight});
}

namespace {

// The screen's lines from the one numbered first to its end.
std::vector<std::string> LinesFrom(const TerminalScreen& screen, std::uint64_t first) {
    std::vector<std::string> lines;
    for (std::uint64_t n = first; n < screen.EndLine(); ++n) {
        lines.emplace_back(screen.Line(n));
    }
    return lines;
}

}  // namespace

std::vector<std::string> WrittenLines(const TerminalScreen& screen) {
    std::vector<std::string> lines = LinesFrom(screen, screen.FirstLine());
    while (!lines.empty() && lines.back().empty()) {
        lines.pop_back();
    }
    return lines;
}

std::vector<std::string> HeadlessView::TerminalLines() const {
    return terminal_ != nullptr ? WrittenLines(*terminal_) : std::vector<std::string>();
}

std::vector<std::string> HeadlessView::TerminalShownLines() const {
    return terminal_ != nullptr ? LinesFrom(*terminal_, terminal_->ScreenTop())
                                : std::vector<std::string>();
}

void HeadlessView::Input(const TerminalInput& input) {
    // A copy, so that a handler that replaces itself finishes the call it is in.
    if (TerminalInputHandler handler = terminalInput_;
        handler && IsTerminalOpen() && !mainClosed_) {
        handler(input);
    }
}

void HeadlessView::TypeInTerminal(std::string_view utf8) {
    // One key a character, as typing goes: a character's UTF-8 bytes after its first are
    // 80h to BFh.
    for (std::size_t start = 0; start < utf8.size();) {
        std::size_t end = start + 1;
        while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) {
            ++end;
        }
        Input({TerminalInput::Kind::kText, std::string(utf8.substr(start, end - start)), {}, 0});
        start = end;
    }
}

void HeadlessView::PressInTerminal(TerminalKey key) {
    Input({TerminalInput::Kind::kKey, {}, key, 0});
}

void HeadlessView::PasteInTerminal(std::string_view utf8) {
    Input({TerminalInput::Kind::kPaste, std::string(utf8), {}, 0});
}

void HeadlessView::SelectInTerminal(
    std::optional<std::pair<TerminalPlace, TerminalPlace>> selection) {
    if (IsTerminalOpen()) {
        selection_ = selection ? std::optional(std::minmax(selection->first, selection->second))
                               : std::nullopt;
    }
}

void HeadlessView::CloseTerminalByUser() {
    if (IsTerminalOpen() && !mainClosed_) {
        Raise(ids::kTerminalCloseBox, ids::kNotifyClicked);
    }
}

}  // namespace velotrix
