// The block writer: byte-by-byte writes behind a progress bar, single writes, and the send listing.
#include "serial/block_writer.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "ui-resources/ids.h"
#include "text/text_helpers.h"

namespace velotrix {

namespace {

constexpr std::size_t kListingGroupsPerLine = 20;
constexpr std::string_view kListingPrefix = "gesendet:  ";

// Blocks are at most 65,536 bytes, so every count fits.
std::string Decimal(std::size_t count) {
    return IntToDecimal(static_cast<std::int32_t>(count));
}

void PostProgress(const SendContext& context, std::uint32_t total) {
    context.Post([total](Screen& screen) {
        screen.View().SetProgress(total);
        screen.View().SetPaneText(ids::kPaneSent, Decimal(total));
    });
}

void PostOsError(const SendContext& context, const OsError& error) {
    context.Post([error](Screen& screen) { screen.ShowSystemError(error.code, error.hint); });
}

void PostResultLine(const SendContext& context, std::size_t count) {
    if (context.continuous) {
        return;
    }
    context.PostMessage("Bytes gesendet: " + Decimal(count));
    context.PostScrollToEnd();
}

BlockResult WriteByteByByte(const SendContext& context, std::span<const std::uint8_t> block) {
    const auto length = static_cast<std::uint32_t>(block.size());
    context.Post([length](Screen& screen) { screen.View().ShowProgress(length); });
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
        const std::size_t chunk = std::min<std::size_t>(1, length - total);
        const OsResult<std::size_t> written = context.device.Write(block.data() + total, chunk);
        // Only what the driver took counts: a write cut short by closing the port sent nothing.
        total += static_cast<std::uint32_t>(std::min(written.value, chunk));
        if (written.error) {
            PostOsError(context, written.error);
            result = BlockResult::kFailed;
            break;
        }
        if (!context.KeepGoing()) {
            result = BlockResult::kAborted;
            break;
        }
        const auto now = Clock::now();
        if (now - lastShown >= kInterval) {
            lastShown = now;
            PostProgress(context, total);
        }
    } while (total < length);

    // The last count shown is exact, whichever way the block ended.
    PostProgress(context, total);
    if (result != BlockResult::kWritten) {
        context.device.Purge(true, true);
    }
    context.Post([](Screen& screen) { screen.View().HideProgress(); });
    if (result == BlockResult::kWritten) {
        PostResultLine(context, total);
    } else {
        context.PostMessage("Dauersenden abgebrochen...");
        context.PostScrollToEnd();
    }
    return result;
}

BlockResult WriteAtOnce(const SendContext& context, std::span<const std::uint8_t> block) {
    const OsResult<std::size_t> written = context.device.Write(block.data(), block.size());
    if (written.error) {
        PostOsError(context, written.error);
    }
    PostResultLine(context, written.value);
    if (written.error) {
        return BlockResult::kFailed;
    }
    return written.value == block.size() ? BlockResult::kWritten : BlockResult::kAborted;
}

}  // namespace

void SendContext::Post(std::function<void(Screen&)> update) const {
    loop.Post([&target = screen, update = std::move(update)] { update(target); });
}

void SendContext::PostMessage(std::string line) const {
    Post([line = std::move(line)](Screen& target) { target.AddMessage(line); });
}

void SendContext::PostMessages(std::vector<std::string> lines) const {
    Post([lines = std::move(lines)](Screen& target) {
        for (const std::string& line : lines) {
            target.AddMessage(line);
        }
    });
}

void SendContext::PostScrollToEnd() const {
    Post([](Screen& target) { target.ScrollMessageListToEnd(); });
}

void PostBlocksStart(const SendContext& context) {
    context.Post([](Screen& screen) { screen.View().Enable(ids::kBinModeCheck, false); });
}

void PostBlocksEnd(const SendContext& context) {
    context.Post([](Screen& screen) {
        screen.View().Enable(ids::kBinModeCheck, true);
        screen.View().SetPaneText(ids::kPaneSent, " ");
    });
}

BlockResult WriteBlock(const SendContext& context, std::span<const std::uint8_t> block) {
    // Nothing may be written once the port is closing, not even the first byte of a block.
    if (!context.KeepGoing()) {
        return BlockResult::kAborted;
    }
    if (!context.controlsHeld) {
        PostBlocksStart(context);
    }
    const bool byteByByte = !context.textMode && context.options.showProgress.load();
    const BlockResult result =
        byteByByte ? WriteByteByByte(context, block) : WriteAtOnce(context, block);
    if (!context.controlsHeld) {
        PostBlocksEnd(context);
    }
    return result;
}

std::vector<std::string> SendListingLines(std::span<const std::uint8_t> block) {
    std::vector<std::string> lines;
    std::string line(kListingPrefix);
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
        context.PostMessages(SendListingLines(block));
    }
    return WriteBlock(context, block);
}

}  // namespace velotrix
