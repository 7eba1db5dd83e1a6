// The terminal's text model (bytes in, lines out) and what its keys and pastes put on the line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/headless_view.h"
#include "serial/terminal_keys.h"
#include "support/rig_words.h"
#include "support/row_file.h"
#include "text/hex_dump.h"
#include "text/terminal_screen.h"
#include "ui-resources/messages.h"

namespace velotrix {
namespace {

using Lines = std::vector<std::string>;

std::span<const std::uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The cursor as "line,column" counted from the first line kept.
std::string CursorOf(const TerminalScreen& screen) {
    const TerminalPlace cursor = screen.Cursor();
    return std::to_string(cursor.line - screen.FirstLine()) + "," + std::to_string(cursor.column);
}

const std::string kLongCsi = "\x1B[" + std::string(kMaxSequenceBytes + 2, '1') + "X";
const std::string kLongOsc = "\x1B]" + std::string(kMaxStringBytes + 2, 'x');

// The screen's lines joined as the window's rows show them, and the cursor.
std::string Shown(const TerminalScreen& screen) {
    return "lines=" + test::Join(WrittenLines(screen)) + "\ncursor=" + CursorOf(screen);
}

// The rows of tests/unit/terminal_screen.rows, and sequences longer than their bound: none
// swallows more than that, what follows is shown again.
TEST(TerminalScreen, BytesBecomeTheLinesATerminalShows) {
    std::vector<std::pair<std::string, std::string>> rows = {
        {kLongCsi, "lines=111X\ncursor=0,4"}, {kLongOsc + "\rY", "lines=Yxx\ncursor=0,1"}};
    for (const test::FileRow& row :
         test::ReadRows("unit/terminal_screen.rows", test::RowText::kCp1252, {"in"})) {
        rows.emplace_back(row.fields.at("in"), row.expected);
    }
    for (const auto& [in, shown] : rows) {
        TerminalScreen whole(10, 100, 4);
        TerminalScreen split(10, 100, 4);
        whole.Feed(Bytes(in));
        for (char c : in) {
            split.Feed(Bytes(std::string_view(&c, 1)));
        }
        EXPECT_EQ(Shown(whole), shown) << in;
        EXPECT_EQ(Shown(split), shown) << in;
    }
}

TEST(TerminalScreen, BellsAreCountedAndTakenOnce) {
    TerminalScreen screen;
    screen.Feed(Bytes("\a\x1B[\a2D\a"));
    EXPECT_EQ(screen.TakeBells(), 3);
    EXPECT_EQ(screen.TakeBells(), 0);
}

// At 115200 baud a machine sends 10,000 lines in a minute: the oldest go, each line stays within
// its columns, and the lines keep their numbers.
TEST(TerminalScreen, TheScrollbackKeepsTenThousandLinesAndNoMore) {
    TerminalScreen screen;
    std::string text;
    for (int i = 0; i < 20000; ++i) {
        text += "Zeile " + std::to_string(i) + "\r\n";
    }
    text += std::string(1000, 'x');
    screen.Feed(Bytes(text));
    EXPECT_EQ(screen.EndLine() - screen.FirstLine(), kTerminalScrollback + kTerminalRows);
    EXPECT_EQ(screen.Line(screen.EndLine() - 14), "Zeile 19999");
    EXPECT_EQ(screen.Line(20000 - kTerminalScrollback), "Zeile " + std::to_string(20000 - 10000));
    EXPECT_EQ(screen.Line(0), "");
    for (std::uint64_t n = screen.FirstLine(); n < screen.EndLine(); ++n) {
        ASSERT_LE(screen.Line(n).size(), kTerminalColumns);
    }
    EXPECT_EQ(screen.Cursor(), (TerminalPlace{screen.EndLine() - 1, 1000 % 80}));
}

// The window's height is the screen's: lines go into the scrollback and come back, the cursor
// stays on the screen, and a cursor address counts from the screen's top.
TEST(TerminalScreen, TheScreenTakesTheWindowsHeight) {
    TerminalScreen screen(10, 100, 4);
    screen.Feed(Bytes("1\r\n2\r\n3"));
    screen.SetRows(2);
    EXPECT_EQ(screen.Rows(), 2u);
    EXPECT_EQ(screen.ScreenTop(), 1u);
    EXPECT_EQ(CursorOf(screen), "2,1");
    screen.Feed(Bytes("\x1B[HX"));
    EXPECT_EQ(WrittenLines(screen), (Lines{"1", "X", "3"}));
    screen.SetRows(4);
    EXPECT_EQ(screen.ScreenTop(), 0u);
    EXPECT_EQ(screen.EndLine(), 4u);
    screen.Feed(Bytes("\x1B[HY"));
    EXPECT_EQ(WrittenLines(screen), (Lines{"Y", "X", "3"}));
    screen.Feed(Bytes("\x1B[4;1HZ"));
    screen.SetRows(1);
    EXPECT_EQ(WrittenLines(screen), (Lines{"Y", "X", "3", "Z"}));
    EXPECT_EQ(screen.ScreenTop(), 3u);
    screen.SetRows(0);
    EXPECT_EQ(screen.Rows(), 1u);
}

TEST(TerminalScreen, ClearForgetsEverythingAndCopyTakesWhatAPersonSees) {
    TerminalScreen screen(10, 100, 4);
    screen.Feed(
        Bytes("ABC  \r\nD\x03"
              "E\x7F\x90\r\n\r\nGHIJ"));
    const std::uint64_t first = screen.FirstLine();
    const struct {
        TerminalPlace from, to;
        std::string text;
    } copies[] = {
        {{first, 1}, {first + 3, 2}, "BC\nD^CE^??\n\nGH"},
        {{first + 1, 2}, {first + 1, 3}, "E"},
        {{first, 0}, {first + 9, 0}, "ABC\nD^CE^??\n\nGHIJ"},
        {{first + 5, 0}, {first + 6, 0}, ""},
    };
    for (const auto& c : copies) {
        EXPECT_EQ(screen.Text(c.from, c.to), c.text) << c.text;
    }
    const std::uint64_t changes = screen.Changes();
    screen.Feed(Bytes("\x1B["));
    screen.Clear();
    screen.Feed(Bytes("5D"));
    EXPECT_GT(screen.Changes(), changes);
    EXPECT_EQ(WrittenLines(screen), (Lines{"5D"}));
    EXPECT_GT(screen.FirstLine(), first + 3);
    EXPECT_EQ(screen.Line(first), "");
}

TEST(TerminalInput, KeysTypingAndPastingPutWhatATerminalSends) {
    const struct {
        TerminalKey key;
        LineEnd lineEnd;
        std::string bytes;
    } keys[] = {
        {TerminalKey::kEnter, LineEnd::kCr, "\r"},
        {TerminalKey::kEnter, LineEnd::kCrLf, "\r\n"},
        {TerminalKey::kEnter, LineEnd::kLf, "\n"},
        {TerminalKey::kEnter, LineEnd::kNone, "\r"},
        {TerminalKey::kBackspace, LineEnd::kCrLf, "\x08"},
        {TerminalKey::kTab, LineEnd::kCr, "\t"},
        {TerminalKey::kEscape, LineEnd::kCr, "\x1B"},
        {TerminalKey::kUp, LineEnd::kCr, "\x1B[A"},
        {TerminalKey::kDown, LineEnd::kCr, "\x1B[B"},
        {TerminalKey::kRight, LineEnd::kCr, "\x1B[C"},
        {TerminalKey::kLeft, LineEnd::kCr, "\x1B[D"},
        {TerminalKey::kDelete, LineEnd::kCr, "\x7F"},
    };
    for (const auto& k : keys) {
        EXPECT_EQ(KeyBytes(k.key, k.lineEnd), k.bytes) << static_cast<int>(k.key);
    }
    EXPECT_EQ(TypedBytes("Gr\xC3\xBC\xC3\x9F\xE2\x82\xAC\x03"), "Gr\xFC\xDF\x80\x03");
    EXPECT_EQ(TypedBytes("a\xE2\x9C\x93"), std::nullopt) << "a check mark is not in 1252";
    EXPECT_EQ(TypedBytes("\xFF"), std::nullopt) << "not UTF-8";

    const struct {
        std::string clipboard;
        LineEnd lineEnd;
        std::string bytes;
    } pastes[] = {
        {"LOAD", LineEnd::kCrLf, "LOAD"},
        {"10 PRINT\n20 GOTO 10\n", LineEnd::kCr, "10 PRINT\r20 GOTO 10\r"},
        {"A\r\nB", LineEnd::kNone, "A\rB"},
        {"A\rB\r", LineEnd::kLf, "A\nB\n"},
        {"\xEF\xBB\xBF", LineEnd::kCr, ""},
        {"", LineEnd::kCr, ""},
        {"\xC3\xA4\n\n", LineEnd::kCrLf, "\xE4\r\n\r\n"},
    };
    for (const auto& p : pastes) {
        std::string bytes = "old";
        EXPECT_TRUE(PasteBytes(p.clipboard, p.lineEnd, bytes).ok()) << p.clipboard;
        EXPECT_EQ(bytes, p.bytes) << p.clipboard;
    }
    std::string bytes;
    const EngineResult refused = PasteBytes("ok\nnicht \xE2\x9C\x93\n", LineEnd::kCr, bytes);
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(refused.text.rfind(std::string(msg::kPasteLinePrefix) + "2 ", 0), 0u) << refused.text;
    EXPECT_EQ(bytes, "");
}

TEST(TerminalInput, TypedHexBytesAreWholeBytesOrNothing) {
    using Hex = std::optional<std::vector<std::uint8_t>>;
    const std::pair<std::string, Hex> rows[] = {
        {"1B 5B 41", Hex({0x1B, 0x5B, 0x41})},
        {"1b5b41", Hex({0x1B, 0x5B, 0x41})},
        {" 00  ff ", Hex({0x00, 0xFF})},
        {"1B 5", std::nullopt},
        {"", std::nullopt},
        {"  ", std::nullopt},
        {"1G", std::nullopt},
        {"0x1B", std::nullopt},
    };
    for (const auto& [text, bytes] : rows) {
        EXPECT_EQ(HexBytes(text), bytes) << text;
    }
}

}  // namespace
}  // namespace velotrix
