// Rows of a reception, the bytes behind a selection, search and copy.
#include "text/hex_dump.h"

#include <algorithm>

#include "text/cp1252.h"
#include "text/text_helpers.h"

namespace velotrix {

namespace {

// The byte of a row that a column belongs to: the address counts as its first byte, the gap
// between the parts as its last.
std::size_t ColumnByte(std::size_t column) {
    if (column < kDumpHexColumn) {
        return 0;
    }
    if (column < kDumpCharColumn) {
        return std::min((column - kDumpHexColumn) / 3, kDumpBytesPerRow - 1);
    }
    return std::min(column - kDumpCharColumn, kDumpBytesPerRow - 1);
}

std::size_t ByteAtOffset(std::size_t offset, std::size_t lineStride) {
    return offset / lineStride * kDumpBytesPerRow + ColumnByte(offset % lineStride);
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

}  // namespace

std::optional<std::vector<std::uint8_t>> HexBytes(std::string_view query) {
    std::string digits;
    for (char c : query) {
        if (IsHexDigit(c)) {
            digits += c;
        } else if (c != ' ') {
            return std::nullopt;
        }
    }
    if (digits.empty() || digits.size() % 2 != 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(HexToValue(digits.substr(i, 2))));
    }
    return bytes;
}

std::size_t DumpRowCount(const HexDump& dump) {
    return (dump.bytes.size() + kDumpBytesPerRow - 1) / kDumpBytesPerRow;
}

char DumpCharacter(std::uint8_t byte) {
    // The soft hyphen (ADh) is shown by no font: it would take its column out of the row.
    return HasVisibleSign(byte) && byte != 0xAD ? static_cast<char>(byte) : '.';
}

std::string DumpLine(const HexDump& dump, std::size_t row) {
    const std::size_t first = row * kDumpBytesPerRow;
    std::string line = Hex4(static_cast<std::uint32_t>(dump.firstAddress + first)) + "  ";
    std::string characters;
    for (std::size_t i = first; i < first + kDumpBytesPerRow; ++i) {
        const bool present = i < dump.bytes.size();
        line += present ? Hex2(dump.bytes[i]) + ' ' : std::string(3, ' ');
        characters += present ? DumpCharacter(dump.bytes[i]) : ' ';
    }
    return line + ' ' + characters;
}

ByteRange DumpSelection(const HexDump& dump, std::size_t start, std::size_t end,
                        std::size_t lineStride) {
    if (end <= start || dump.bytes.empty()) {
        return {};
    }
    const std::size_t first = ByteAtOffset(start, lineStride);
    const std::size_t last = std::min(ByteAtOffset(end - 1, lineStride), dump.bytes.size() - 1);
    return first > last ? ByteRange{} : ByteRange{first, last - first + 1};
}

std::size_t DumpHexOffset(std::size_t byteIndex, std::size_t lineStride) {
    return byteIndex / kDumpBytesPerRow * lineStride + kDumpHexColumn +
           3 * (byteIndex % kDumpBytesPerRow);
}

std::optional<ByteRange> DumpFind(const HexDump& dump, std::string_view query, bool hex,
                                  std::size_t from) {
    std::vector<std::uint8_t> pattern;
    if (hex) {
        auto bytes = HexBytes(query);
        if (!bytes) {
            return std::nullopt;
        }
        pattern = std::move(*bytes);
    } else {
        pattern.assign(query.begin(), query.end());
    }
    const auto& bytes = dump.bytes;
    if (pattern.empty() || pattern.size() > bytes.size()) {
        return std::nullopt;
    }
    from = std::min(from, bytes.size());
    for (const auto begin : {bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin()}) {
        const auto found = std::search(begin, bytes.end(), pattern.begin(), pattern.end());
        if (found != bytes.end()) {
            return ByteRange{static_cast<std::size_t>(found - bytes.begin()), pattern.size()};
        }
    }
    return std::nullopt;
}

bool IsHexQuery(std::string_view query) {
    return HexBytes(query).has_value();
}

std::string BytesAsHex(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (std::uint8_t byte : bytes) {
        if (!text.empty()) {
            text += ' ';
        }
        text += Hex2(byte);
    }
    return text;
}

}  // namespace velotrix
