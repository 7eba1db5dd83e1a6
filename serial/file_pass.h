// One pass of a file send (header, pause, data, or all at once) over a copy of the transmit image,
// and the lines that open and close a continuous send.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "image/z80_header.h"
#include "serial/block_writer.h"

namespace velotrix {

// What a file send puts on the line, copied on the UI thread so that a sender never reads the
// TxImage while the UI thread loads or edits it.
struct TxSnapshot {
    std::vector<std::uint8_t> bytes;  // the header and the data
    bool loaded = false;
    int pauseIndex = -1;  // -1: no entry selected

    std::span<const std::uint8_t> All() const { return bytes; }
    std::span<const std::uint8_t> Header() const { return All().first(kHeaderSize); }
    std::span<const std::uint8_t> Data() const { return All().subspan(kHeaderSize); }
};

// "N Bytes zu senden".
std::string CountLine(std::size_t count);

// A continuous send lists only its start line; "Endlos senden" stays disabled until it ends.
void PostContinuousStart(const SendContext& context, std::string_view line);
void PostContinuousEnd(const SendContext& context);

// One pass over a snapshot; kWritten when every block went out whole. A pass cut short says how
// far it got (pass: its number in a continuous send, from 1; 0 for a single send).
BlockResult SendFileOnce(const SendContext& context, const TxSnapshot& image,
                         std::uint32_t pass = 0);

}  // namespace velotrix
