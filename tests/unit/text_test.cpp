// The text and number helpers' odd rules, and the code page 1252 conversion.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/port_list.h"
#include "serial/log_lines.h"
#include "text/cp1252.h"
#include "text/text_helpers.h"

namespace velotrix {
namespace {

TEST(Text, HelpersKeepTheirRules) {
    // Every character is a hex digit: below 'A' its low four bits, from 'A' on (c + 9) & 0Fh.
    const std::pair<std::string_view, std::uint32_t> hex[] = {
        {"", 0},     {"1234", 4660},   {"ffff", 65535},  {"FFFF", 65535},
        {" 12", 18}, {"4G00", 0x4000}, {"12.b", 0x12EB}, {"100000000", 0}};
    for (const auto& [text, value] : hex) {
        EXPECT_EQ(HexToValue(text), value) << text;
    }
    const std::pair<std::string_view, std::int32_t> decimal[] = {
        {"4800", 4800}, {"", 0},   {"-12", -12},     {"12 34", 12},
        {"1A", 27},     {"+5", 0}, {"4294967297", 1}};
    for (const auto& [text, value] : decimal) {
        EXPECT_EQ(DecimalToInt(text), value) << text;
    }
    EXPECT_EQ(std::vector({FindText(1, "DATEI.BIN", "."), FindText(7, "DATEI.BIN", "."),
                           FindText(0, "DATEI.BIN", "."), FindText(9, "DATEI.BIN", "N"),
                           FindText(10, "DATEI.BIN", "N"), FindText(1, "A", "."),
                           FindText(1, "AB", "AB")}),
              std::vector({6, 0, -2, 9, -2, -1, -1}));
    EXPECT_EQ(std::vector({ValueToHex(0), RightChars(ValueToHex(0), 4), IntToDecimal(0),
                           IntToDecimal(-1), IntToDecimal(115200)}),
              std::vector<std::string>({"00000000", "0000", "0", "-1", "115200"}));
    const std::pair<std::string, std::string> trims[] = {
        {"  AB C \t\r\n", "AB C"}, {"\t  ", ""}, {" \x01Gr\xFC\xDF \t\r\n", "\x01Gr\xFC\xDF"}};
    for (auto [text, trimmed] : trims) {
        EXPECT_EQ(TrimText(text), static_cast<std::int32_t>(trimmed.size()));
        EXPECT_EQ(text, trimmed);
    }
    std::string out = "kept";
    EXPECT_EQ(FileNameOfPath("HELLO.BIN", out), -1);
    EXPECT_EQ(out, "kept");
    const struct {
        const char* path;
        const char* nameAndFolder;
    } paths[] = {{"/x.bin", "x.bin|/"}, {"a/b/c.z80", "c.z80|a/b/"}, {"d/", "|d/"}};
    for (const auto& p : paths) {
        std::string name;
        std::string folder;
        EXPECT_EQ(FileNameOfPath(p.path, name) + FolderOfPath(p.path, folder), 0) << p.path;
        EXPECT_EQ(name + "|" + folder, p.nameAndFolder);
    }
    EXPECT_TRUE(EqualIgnoringCase("\xC4\xD6\x8A", "\xE4\xF6\x9A") &&
                !EqualIgnoringCase("\xD7", "\xF7"));
}

// Port names sort by the value of their numbers, leading zeros or not.
TEST(Text, PortNamesSortByTheValueOfTheirNumbers) {
    const struct {
        const char* a;
        const char* b;
        bool less;
    } rows[] = {{"COM2", "COM10", true},       {"COM10", "COM2", false},
                {"COM002", "COM10", true},     {"COM10", "COM002", false},
                {"COM2", "COM2", false},       {"ttyS0", "ttyUSB1", true},
                {"ttyUSB9", "ttyUSB10", true}, {"ttyUSB", "ttyUSB0", true}};
    for (const auto& row : rows) {
        EXPECT_EQ(NaturalLess(row.a, row.b), row.less) << row.a << " " << row.b;
    }
}

// Bytes in one direction gather into one line of the line log until a silence, however the log's
// writer happens to batch them; without bytes, a silence adds nothing.
TEST(Text, LogBytesGatherIntoALineUntilASilence) {
    using std::chrono::milliseconds;
    const auto rx = [](int ms, std::uint8_t byte) {
        LogRecord record{milliseconds(ms), LogKind::kRx, 1, {}, {}};
        record.bytes[0] = byte;
        return record;
    };
    LogLines lines;
    std::string out;
    lines.Add(rx(0, 0x41), out);
    lines.EndBytesIfSilent(milliseconds(50), out);
    lines.Add(rx(60, 0x42), out);
    lines.EndBytesIfSilent(milliseconds(159), out);
    EXPECT_EQ(out, "00:00:00.000 Datum 01.01.1970\n");
    lines.EndBytesIfSilent(milliseconds(160), out);
    lines.EndBytesIfSilent(milliseconds(400), out);
    EXPECT_EQ(out, "00:00:00.000 Datum 01.01.1970\n00:00:00.000 RX 41 42\n");
}

// The bytes 80h to 9Fh as Unicode's table of code page 1252 maps them; the five it leaves out (81h,
// 8Dh, 8Fh, 90h, 9Dh) pass as the C1 controls of the same number, as Windows passes them.
constexpr const char* kHigh[32] = {
    "\u20AC", "\u0081", "\u201A", "\u0192", "\u201E", "\u2026", "\u2020", "\u2021",
    "\u02C6", "\u2030", "\u0160", "\u2039", "\u0152", "\u008D", "\u017D", "\u008F",
    "\u0090", "\u2018", "\u2019", "\u201C", "\u201D", "\u2022", "\u2013", "\u2014",
    "\u02DC", "\u2122", "\u0161", "\u203A", "\u0153", "\u009D", "\u017E", "\u0178"};

TEST(Text, CodePage1252) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        // Below 80h ASCII; from A0h on Latin-1, two bytes in UTF-8: C2h or C3h, then 80h to BFh.
        const std::string utf8 = b < 0x80   ? byte
                                 : b < 0xA0 ? kHigh[b - 0x80]
                                            : std::string{static_cast<char>(b < 0xC0 ? 0xC2 : 0xC3),
                                                          static_cast<char>(0x80 | (b & 0x3F))};
        EXPECT_EQ(Cp1252ToUtf8(byte), utf8) << b;
        EXPECT_EQ(Utf8ToCp1252(utf8), byte) << b;
    }
    // What 1252 has not got, and malformed input: a question mark for each byte that fails (an
    // overlong form, a code point above U+10FFFF); U+40000 is well-formed and has no byte.
    // A devanagari letter (E0h lead) and an emoji (F0h lead) are whole characters 1252 lacks.
    EXPECT_EQ(Utf8ToCp1252("\xE6\x97\xA5|\xC2\x80|\xE2\x82Z|\xC0\x80|\x80Z\xFF|\xF0\x80\x80\x80|"
                           "\xF4\x90\x80\x80|\xF1\x80\x80\x80|\xE0\xA4\x95|\xF0\x9F\x98\x80"),
              "?|?|?Z|??|?Z?|????|????|?|?|?");
    EXPECT_EQ(FitsCp1252("A\xF0\x9F\x98\x80"), Cp1252Fit::kNotInCodePage);
    EXPECT_EQ(FitsCp1252("A\xF0\x9F\x98"), Cp1252Fit::kMalformed);
}

// A text from outside (a path in the environment) printed as one line that drives no terminal:
// C0 controls, line breaks, DEL, C1 controls (the CSI of 8-bit terminals) and broken bytes become
// dots; every other character stays.
TEST(Text, PrintableUtf8KeepsCharactersAndMakesControlsDots) {
    const std::pair<std::string, std::string> cases[] = {
        {"/dev/ttyUSB0", "/dev/ttyUSB0"},
        {"/tmp/\x1b[2J\x07x", "/tmp/.[2J.x"},
        {"a\nb\rc\td", "a.b.c.d"},
        {"\x7F\xC2\x9B"
         "31m\xC2\x85",
         "..31m."},
        {"Gr\xC3\xBC\xC3\x9F"
         "e \xE6\x97\xA5",
         "Gr\xC3\xBC\xC3\x9F"
         "e \xE6\x97\xA5"},
        {"\xFF\xC3", ".."},
    };
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(PrintableUtf8(text), shown) << text;
    }
}

}  // namespace
}  // namespace velotrix
