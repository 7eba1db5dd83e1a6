// One pass of a file send as Intel HEX text.
#include "serial/hex_send.h"

#include "image/intel_hex.h"
#include "image/z80_header.h"
#include "text/text_helpers.h"
#include "ui-resources/messages.h"

namespace velotrix {

HexLines HexLinesOf(std::span<const std::uint8_t> data, std::uint16_t address,
                    std::size_t recordBytes, std::string_view lineEnd) {
    HexLines lines;
    for (const std::string& record : IntelHexRecords(data, address, recordBytes)) {
        lines.text += record;
        lines.text += lineEnd;
        lines.ends.push_back(static_cast<std::uint32_t>(lines.text.size()));
    }
    return lines;
}

HexLines HexTextOf(const SendContext& context, const TxSnapshot& image, std::size_t recordBytes) {
    // The load address as the header says it now, with the user's edits. Records need a line
    // end between them: CR+LF where none is chosen.
    const LineEnd chosen = context.options.lineEnd.load();
    return HexLinesOf(image.Data(), HeaderAadr(ConstHeaderBytes(image.bytes.data(), kHeaderSize)),
                      recordBytes,
                      LineEndBytes(chosen == LineEnd::kNone ? LineEnd::kCrLf : chosen));
}

BlockResult SendHexText(const SendContext& context, const HexLines& lines) {
    context.events.PostLines(
        {std::string(msg::kSendingHexPrefix) + CountToDecimal(lines.ends.size()) +
             std::string(msg::kSendingHexBytes) + CountToDecimal(lines.text.size()) +
             std::string(msg::kSendingHexSuffix),
         std::string(msg::kSendingWait)},
        true);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(lines.text.data());
    return WriteBlock(context, {bytes, lines.text.size()}, lines.ends);
}

}  // namespace velotrix
