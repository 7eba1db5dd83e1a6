// A reception as rows of 16 bytes: address, hex and code page 1252 characters side by side, and
// the search and copy that work on it. Every view lays the rows out alike, so that a character
// offset in its text names one byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velotrix {

struct HexDump {
    std::vector<std::uint8_t> bytes;
    std::uint16_t firstAddress = 0;  // the address of the first byte; counts on modulo 10000h
    std::size_t headerLength = 0;    // the z80 header at the front (marked), 0 for none
};

// A row: "AAAA  XX XX ... XX  cccccccccccccccc", every row as long as a full one.
inline constexpr std::size_t kDumpBytesPerRow = 16;
inline constexpr std::size_t kDumpHexColumn = 6;
inline constexpr std::size_t kDumpCharColumn = kDumpHexColumn + 3 * kDumpBytesPerRow + 1;
inline constexpr std::size_t kDumpLineLength = kDumpCharColumn + kDumpBytesPerRow;

struct ByteRange {
    std::size_t first = 0;
    std::size_t count = 0;
    friend bool operator==(const ByteRange&, const ByteRange&) = default;
};

std::size_t DumpRowCount(const HexDump& dump);
std::string DumpLine(const HexDump& dump, std::size_t row);
// The character that shows a byte: itself where code page 1252 has a visible sign for it, '.'
// for control codes, the five unassigned values and the soft hyphen, which no font shows.
char DumpCharacter(std::uint8_t byte);

// Offsets into the view's text, whose lines take lineStride characters each (the row and its line
// break). A selection [start, end) covers the bytes whose hex digits or characters it touches.
ByteRange DumpSelection(const HexDump& dump, std::size_t start, std::size_t end,
                        std::size_t lineStride);
// Where the hex digits of the range begin and end in that text.
std::size_t DumpHexOffset(std::size_t byteIndex, std::size_t lineStride);

// The next place of the query at or behind from, wrapping round to the start; hex: the query is
// bytes in hex digits (blanks between them allowed), else its characters. Nothing for a query
// that is empty, not hex, or not there.
std::optional<ByteRange> DumpFind(const HexDump& dump, std::string_view query, bool hex,
                                  std::size_t from);
// Whether a query reads as bytes in hex digits: pairs of them, blanks between them allowed.
bool IsHexQuery(std::string_view query);
// Bytes typed as hex digits, two to a byte ("1B 5B 41", blanks between them allowed); nothing for
// an empty text, an odd count of digits or any other character.
std::optional<std::vector<std::uint8_t>> HexBytes(std::string_view text);
// "C3 00 40": the bytes as the clipboard takes them.
std::string BytesAsHex(std::span<const std::uint8_t> bytes);

}  // namespace velotrix
