// The text and number helpers' odd rules, and the code page 1252 conversion.
#include <gtest/gtest.h>

#include <algorithm>

#include "text/cp1252.h"
#include "text/text_helpers.h"

namespace velotrix {
namespace {

TEST(Text, HelpersKeepTheirRules) {
    // Every character is a hex digit: below 'A' its low four bits, from 'A' on (c + 9) & 0Fh.
    const std::pair<std::string_view, std::uint32_t> hex[] = {
        {"ffff", 65535}, {" 12", 18}, {"4G00", 0x4000}, {"12.b", 0x12EB}, {"100000000", 0}};
    for (const auto& [text, value] : hex) {
        EXPECT_EQ(HexToValue(text), value) << text;
    }
    const std::pair<std::string_view, std::int32_t> decimal[] = {
        {"-12", -12}, {"12 34", 12}, {"1A", 27}, {"+5", 0}, {"4294967297", 1}};
    for (const auto& [text, value] : decimal) {
        EXPECT_EQ(DecimalToInt(text), value) << text;
    }
    EXPECT_EQ(std::vector({FindText(1, "DATEI.BIN", "."), FindText(7, "DATEI.BIN", "."),
                           FindText(10, "DATEI.BIN", "N"), FindText(1, "AB", "AB")}),
              std::vector({6, 0, -2, -1}));
    std::string text = " \x01Gr\xFC\xDF \t\r\n";
    EXPECT_EQ(TrimText(text), 5);
    EXPECT_EQ(text, "\x01Gr\xFC\xDF");
    EXPECT_TRUE(EqualIgnoringCase("\xC4\xD6\x8A", "\xE4\xF6\x9A") &&
                !EqualIgnoringCase("\xD7", "\xF7"));
}

TEST(Text, CodePage1252) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    const std::string utf8 = Cp1252ToUtf8(all);
    EXPECT_EQ(std::count(utf8.begin(), utf8.end(), '?'), 1);
    EXPECT_EQ(Utf8ToCp1252(utf8), all);
    // What 1252 has not got, and malformed input: a question mark for each byte that fails.
    EXPECT_EQ(Utf8ToCp1252("\xE6\x97\xA5|\xC2\x80|\xE2\x82Z|\xC0\x80|\x80Z\xFF"), "?|?|?Z|??|?Z?");
}

}  // namespace
}  // namespace velotrix
