// The block writer: byte-by-byte writes behind a progress bar, single writes, and the send listing.
#include "serial/block_writer.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

#include "text/text_helpers.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

constexpr std::size_t kListingGroupsPerLine = 20;
constexpr std::uint32_t kLeadCheckInterval = 16;

// Blocks are at most 65,536 bytes, so every count fits.
std::string Decimal(std::size_t count) {
    return IntToDecimal(static_cast<std::int32_t>(count));
}

void PostProgress(const SendContext& context, ProgressEvent::Kind kind, std::uint32_t value) {
    context.events.Post(ProgressEvent{kind, value});
}

void PostResultLine(const SendContext& context, std::size_t count) {
    if (!context.continuous) {
        context.PostLine(std::string(msg::kBytesSent) + Decimal(count), true);
    }
}

// The bytes of the block that have left the PC: what was written less what still waits.
std::uint32_t BytesGone(SerialDevice& device, std::uint32_t written) {
    return written -
           static_cast<std::uint32_t>(std::min<std::size_t>(device.QueuedOutput(), written));
}

// Lets the driver's queue run down to half the allowed lead; short steps keep a fast line busy.
void WaitWhileFarAhead(const SendContext& context) {
    if (context.device.QueuedOutput() <= kMaxBytesAhead) {
        return;
    }
    while (context.device.QueuedOutput() > kMaxBytesAhead / 2 && context.KeepGoing()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

BlockResult WriteByteByByte(const SendContext& context, std::span<const std::uint8_t> block) {
    const auto length = static_cast<std::uint32_t>(block.size());
    PostProgress(context, ProgressEvent::Kind::kShow, length);
    // Bytes that arrived before the block are dropped. The output queue is left alone: it may
    // still hold the end of the previous block, which must reach the line.
    context.device.Purge(true, false);

    using Clock = std::chrono::steady_clock;
    constexpr auto kInterval = std::chrono::milliseconds(kProgressIntervalMs);
    auto lastShown = Clock::now();
    std::uint32_t total = 0;
    BlockResult result = BlockResult::kWritten;
    // An empty block still makes one write of zero bytes and shows its count of 0.
    do {
        // Asked right before each write: a byte handed over after the close would start on an
        // idle line, where no purge reaches it.
        if (!context.KeepGoing()) {
            result = BlockResult::kAborted;
            break;
        }
        const std::size_t chunk = std::min<std::size_t>(1, length - total);
        const OsResult<std::size_t> written = context.device.Write(block.data() + total, chunk);
        // Only what the driver took counts: a write cut short by closing the port sent nothing.
        total += static_cast<std::uint32_t>(std::min(written.value, chunk));
        if (written.error) {
            context.events.Post(OsErrorEvent{written.error});
            result = BlockResult::kFailed;
            break;
        }
        // Asking the driver costs a call of its own: every few bytes is often enough.
        if (total % kLeadCheckInterval == 0) {
            WaitWhileFarAhead(context);
        }
        const auto now = Clock::now();
        if (now - lastShown >= kInterval) {
            lastShown = now;
            PostProgress(context, ProgressEvent::Kind::kUpdate, BytesGone(context.device, total));
        }
    } while (total < length);
    if (result == BlockResult::kWritten && !context.KeepGoing()) {
        result = BlockResult::kAborted;  // closed while the last byte was handed over
    }

    if (result == BlockResult::kWritten) {
        // The last count shown is exact: every byte of the block has left.
        context.device.Drain();
    } else {
        context.device.Purge(true, true);
    }
    PostProgress(context, ProgressEvent::Kind::kUpdate, total);
    PostProgress(context, ProgressEvent::Kind::kHide, 0);
    if (result == BlockResult::kWritten) {
        PostResultLine(context, total);
    } else if (context.continuous) {
        // A single send cut short is reported by whatever cut it (the close, the lost line).
        context.PostLine(std::string(msg::kContinuousAborted), true);
    }
    return result;
}

BlockResult WriteAtOnce(const SendContext& context, std::span<const std::uint8_t> block) {
    if (!context.KeepGoing()) {
        return BlockResult::kAborted;
    }
    const OsResult<std::size_t> written = context.device.Write(block.data(), block.size());
    if (written.error) {
        context.events.Post(OsErrorEvent{written.error});
    }
    PostResultLine(context, written.value);
    if (written.error) {
        return BlockResult::kFailed;
    }
    return written.value == block.size() ? BlockResult::kWritten : BlockResult::kAborted;
}

}  // namespace

void SendContext::PostLine(std::string line, bool scrollToEnd) const {
    events.PostLines({std::move(line)}, scrollToEnd);
}

BlockResult WriteBlock(const SendContext& context, std::span<const std::uint8_t> block) {
    // Nothing may be written once the port is closing, not even the first byte of a block.
    if (!context.KeepGoing()) {
        return BlockResult::kAborted;
    }
    if (!context.controlsHeld) {
        context.events.Post(BlocksEvent{true});
    }
    const bool byteByByte = !context.textMode && context.options.showProgress.load();
    const BlockResult result =
        byteByByte ? WriteByteByByte(context, block) : WriteAtOnce(context, block);
    if (!context.controlsHeld) {
        context.events.Post(BlocksEvent{false});
    }
    return result;
}

std::vector<std::string> SendListingLines(std::span<const std::uint8_t> block) {
    std::vector<std::string> lines;
    std::string line(msg::kSendListingPrefix);
    std::size_t groups = 0;
    for (std::uint8_t byte : block) {
        line += Hex2(byte);
        line += ' ';
        if (++groups == kListingGroupsPerLine) {
            lines.push_back(std::move(line));
            line.clear();
            groups = 0;
        }
    }
    lines.push_back(std::move(line));
    return lines;
}

BlockResult SendWithListing(const SendContext& context, std::span<const std::uint8_t> block) {
    if (!context.continuous) {
        context.events.PostLines(SendListingLines(block));
    }
    return WriteBlock(context, block);
}

}  // namespace velotrix
