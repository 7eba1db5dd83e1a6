// Tests of the text and number helpers and of the code page 1252 conversion.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>

#include "text/cp1252.h"
#include "text/text_helpers.h"

namespace velotrix {
namespace {

TEST(TextHelpers, HexToValueTakesEveryCharacterAsADigit) {
    const struct {
        const char* text;
        std::uint32_t value;
    } cases[] = {{"", 0},           {"1234", 4660},   {"ffff", 65535},  {"FFFF", 65535},
                 {" 12", 18},       {"4G00", 0x4000}, {"12.b", 0x12EB}, {"-", 13},
                 {"FFFFFFFF", ~0u}, {"100000000", 0}, {"\xC1", 0xA}};
    for (const auto& c : cases) {
        EXPECT_EQ(HexToValue(c.text), c.value) << '"' << c.text << '"';
    }
    EXPECT_EQ(HexToValue(std::string_view("1\0"
                                          "2",
                                          3)),
              1u)
        << "a zero byte ends the text";
}

TEST(TextHelpers, NumbersToText) {
    EXPECT_EQ(ValueToHex(4660), "00001234");
    EXPECT_EQ(Hex4(0x12ABCD), "ABCD");
    EXPECT_EQ(IntToDecimal(INT_MIN), "-2147483648");
    EXPECT_EQ(IntToDecimal(0), "0");
}

TEST(TextHelpers, DecimalToInt) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {{"4800", 4800},   {"-12", -12}, {"12 34", 12}, {"", 0},
                 {"1A", 27},       {"+5", 0},    {"--1", 0},    {"2147483648", INT_MIN},
                 {"4294967297", 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(DecimalToInt(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(TextHelpers, FindTextPositionsAndCodes) {
    const struct {
        std::int32_t start;
        const char* text;
        const char* pattern;
        std::int32_t result;
    } cases[] = {{1, "DATEI.BIN", ".", 6}, {7, "DATEI.BIN", ".", 0},   {0, "DATEI.BIN", ".", -2},
                 {9, "DATEI.BIN", "N", 9}, {10, "DATEI.BIN", "N", -2}, {1, "A", ".", -1},
                 {1, "AB", "AB", -1},      {1, "ABC", "", -1},         {-5, "ABC", "", -2},
                 {1, "ABAC", "AC", 3},     {1, "XABDABC", "ABC", 5},   {1, "A_B_C", "_", 2},
                 {3, "A_B_C", "_", 4},     {5, "A_B_C", "_", 0},       {6, "A_B_C", "_", -2}};
    for (const auto& c : cases) {
        EXPECT_EQ(FindText(c.start, c.text, c.pattern), c.result)
            << c.pattern << " in " << c.text << " from " << c.start;
    }
}

TEST(TextHelpers, CuttingCopiesZeroBytesAndStaysInBounds) {
    const std::string fixed("HELLO\0\0\0", 8);
    EXPECT_EQ(LeftChars(fixed, 8), fixed);
    EXPECT_EQ(LeftChars("ABC", 10), "ABC");
    EXPECT_EQ(MidChars("ABCDEF", 4, 10), "EF");
    EXPECT_EQ(MidChars("ABCDEF", 100, 4), "");
    EXPECT_EQ(RightChars("AB", 5), "AB");
}

TEST(TextHelpers, TrimText) {
    const struct {
        std::string in;
        std::string out;
    } cases[] = {{"  AB C \t\r\n", "AB C"},
                 {"\t  ", ""},
                 {" \x01Z\x01\x1F", "\x01Z"},
                 {"Gr\xFC\xDF", "Gr\xFC\xDF"},  // bytes above 7Fh are characters, not control codes
                 {std::string("AB\0CD", 5), "AB"}};
    for (const auto& c : cases) {
        std::string text = c.in;
        EXPECT_EQ(TrimText(text), static_cast<std::int32_t>(c.out.size())) << c.in;
        EXPECT_EQ(text, c.out);
    }
}

TEST(TextHelpers, FileNameOfPath) {
    std::string out = "kept";
    EXPECT_EQ(FileNameOfPath("HELLO.BIN", out), -1);
    EXPECT_EQ(out, "kept");
    EXPECT_EQ(FileNameOfPath("/home/u/my_dir/HELLO.BIN", out), 0);
    EXPECT_EQ(out, "HELLO.BIN");
    EXPECT_EQ(FileNameOfPath("/tmp/", out), 0);
    EXPECT_EQ(out, "");
}

TEST(TextHelpers, CaseInsensitiveComparisonsKnowCodePage1252) {
    EXPECT_TRUE(EqualIgnoringCase("Prefs", "PREFS"));
    EXPECT_TRUE(EqualIgnoringCase("\xC4\xD6\xDC\x8A", "\xE4\xF6\xFC\x9A"));
    EXPECT_FALSE(EqualIgnoringCase("\xD7", "\xF7"));
    EXPECT_FALSE(EqualIgnoringCase("COM", "COM1"));
    EXPECT_TRUE(StartsWithIgnoringCase("keine", "KEIN"));
    EXPECT_TRUE(StartsWithIgnoringCase("x", ""));
    EXPECT_FALSE(StartsWithIgnoringCase("CO", "COM4"));
}

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    const std::string utf8 = Cp1252ToUtf8(all);
    EXPECT_EQ(std::count(utf8.begin(), utf8.end(), '?'), 1) << "only the question mark itself";
    EXPECT_EQ(Utf8ToCp1252(utf8), all);
}

TEST(Cp1252, KnownCharactersBothWays) {
    EXPECT_EQ(Cp1252ToUtf8("\x80\x9F"), "\xE2\x82\xAC\xC5\xB8");
    EXPECT_EQ(Utf8ToCp1252("Gr\xC3\xBC\xC3\x9F"
                           "e \xE2\x80\x9E"),
              "Gr\xFC\xDF"
              "e \x84");
}

TEST(Cp1252, UnmappableAndMalformedInputGivesOneQuestionMarkEach) {
    const struct {
        std::string utf8;
        std::string cp1252;
    } cases[] = {
        {"\xE6\x97\xA5", "?"},         // a character 1252 has not got
        {"\xF0\x9F\x98\x80", "?"},     // outside the basic plane
        {"\xC2\x80", "?"},             // U+0080: its byte stands for the euro sign
        {"\xC3", "?"},                 // cut off at the end
        {"\xE2\x82Z", "?Z"},           // cut off in the middle
        {"\xC0\x80", "??"},            // overlong form
        {"\xED\xA0\x80", "???"},       // surrogate
        {"\xF4\x90\x80\x80", "????"},  // beyond U+10FFFF
        {"\x80Z\xFF", "?Z?"},          // stray continuation and invalid bytes
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252);
    }
}

}  // namespace
}  // namespace velotrix
