// Sending the image as Intel HEX text: its data as records, each a line with the chosen line end,
// with the line pause behind every line, as the monitors that read HEX from the keyboard need it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "serial/block_writer.h"
#include "serial/file_pass.h"

namespace velotrix {

// The text of the records, each followed by the line end, and where each line ends (the count of
// bytes up to and with its line end).
struct HexLines {
    std::string text;
    std::vector<std::uint32_t> ends;
};
HexLines HexLinesOf(std::span<const std::uint8_t> data, std::uint16_t address,
                    std::size_t recordBytes, std::string_view lineEnd);

// The records of the data behind the image's header at its load address, recordBytes data bytes
// a record, then the end record; each with the line end chosen (CR+LF for none).
HexLines HexTextOf(const SendContext& context, const TxSnapshot& image, std::size_t recordBytes);

// One pass of those lines.
BlockResult SendHexText(const SendContext& context, const HexLines& lines);

}  // namespace velotrix
