// Text and number helpers that every part of the program uses. Texts are 8-bit (code page 1252).
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace velotrix {

// Hexadecimal text to value, modulo 2^32. No character is rejected: below 'A' a character gives
// (c AND 0Fh), from 'A' on (c + 9) AND 0Fh; so ' ' gives 0, 'G' 0, '-' 13, 'a'..'f' 10..15.
std::uint32_t HexToValue(std::string_view text);
// Exactly eight upper-case hexadecimal digits, most significant first.
std::string ValueToHex(std::uint32_t value);
// The last four digits of ValueToHex: how the window shows addresses, lengths and CRCs.
std::string Hex4(std::uint32_t value);
// The last two digits of ValueToHex: how a listing shows a byte.
std::string Hex2(std::uint8_t value);
// Hex2 written to at[0] and at[1], for listings that show thousands of bytes.
void PutHex2(char* at, std::uint8_t value);
// Signed decimal text, e.g. "-2147483648", "0", "115200".
std::string IntToDecimal(std::int32_t value);
// A count as decimal text; the counts shown (bytes of transfers) stay far below 2^31.
std::string CountToDecimal(std::size_t count);
// Decimal text to signed value, modulo 2^32: an optional leading '-', then characters from '0' on
// up to the first below '0' (so ':' adds 10, 'A' adds 17 at its place).
std::int32_t DecimalToInt(std::string_view text);
// Bytes before the first zero byte.
std::int32_t TextLength(std::string_view text);
// 1-based position of pattern in text from start, 0 when absent, -2 for a start below 1 or past the
// last possible position, -1 when the pattern is not shorter than the text or is empty.
std::int32_t FindText(std::int32_t start, std::string_view text, std::string_view pattern);
// Exactly the first n bytes (zero bytes included); n is cut to the source's size.
std::string LeftChars(std::string_view source, std::size_t n);
// Exactly n bytes from the 0-based offset; cut to what the source holds.
std::string MidChars(std::string_view source, std::size_t offset, std::size_t n);
// The last n bytes; n larger than the source gives the whole source.
std::string RightChars(std::string_view source, std::size_t n);
// Appends the texts behind destination's content; no texts leave it as it is.
std::string& AppendTexts(std::string& destination, std::initializer_list<std::string_view> texts);
// Drops leading blanks and tabs and every trailing character below '!'; returns the new length.
std::int32_t TrimText(std::string& text);
// Comparisons that ignore the case of letters, the umlauts and other code page 1252 letters too.
bool EqualIgnoringCase(std::string_view a, std::string_view b);
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);
// Byte-wise order of the case-folded texts: below 0, 0 or above 0, as strcmp; a prefix sorts first.
int CompareIgnoringCase(std::string_view a, std::string_view b);

}  // namespace velotrix
