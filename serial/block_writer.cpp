// The block writer: byte-by-byte writes behind a progress bar, single writes, and the send listing.
#include "serial/block_writer.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

#include "platform/wake_signal.h"
#include "text/text_helpers.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

constexpr std::size_t kListingGroupsPerLine = 20;
constexpr std::uint32_t kLeadCheckInterval = 16;

void PostProgress(const SendContext& context, ProgressEvent::Kind kind, std::uint32_t value,
                  std::uint32_t lines = 0) {
    context.events.Post(ProgressEvent{kind, value, lines});
}

// The lines whose last byte is among the first count bytes.
std::uint32_t LinesWithin(std::span<const std::uint32_t> lineEnds, std::uint32_t count) {
    return static_cast<std::uint32_t>(std::upper_bound(lineEnds.begin(), lineEnds.end(), count) -
                                      lineEnds.begin());
}

void PostResultLine(const SendContext& context, std::size_t count) {
    if (!context.continuous && !context.quiet) {
        context.PostLine(std::string(msg::kBytesSent) + CountToDecimal(count), true);
    }
}

// The bytes of the block that have left the PC: what was written less what still waits.
std::uint32_t BytesGone(SerialDevice& device, std::uint32_t written) {
    return written -
           static_cast<std::uint32_t>(std::min<std::size_t>(device.QueuedOutput(), written));
}

// The time a byte takes on the line: start bit, data bits, parity bit and stop bits; zero where
// the driver does not tell the rate.
std::chrono::nanoseconds ByteTime(const AppliedSettings& line) {
    if (line.baudRate == 0) {
        return std::chrono::nanoseconds(0);
    }
    return std::chrono::nanoseconds(1'000'000'000LL * BitsPerByte(line) / line.baudRate);
}

// How much a block lets wait in the driver's queue, and the level the sender sleeps down to.
struct Lead {
    std::size_t most;
    std::size_t least;
};
Lead LeadFor(std::chrono::nanoseconds byteTime) {
    std::size_t most = kLeadBytes;
    if (byteTime.count() > 0) {
        most = std::max<std::size_t>(most, static_cast<std::size_t>(kLeadTime / byteTime));
    }
    return {most, most / 2};
}

// Keeps the driver's queue fed without polling it: while it holds the whole lead, the sender
// sleeps for the time the bytes above the lower level take at the line's rate (a line that CTS
// holds is looked at again after as long). Returns the queue's level, below the lead unless the
// send must stop.
std::size_t WaitForRoom(const SendContext& context, const Lead& lead,
                        std::chrono::nanoseconds byteTime) {
    for (;;) {
        const std::size_t queued = context.device.QueuedOutput();
        if (queued < lead.most) {
            return queued;
        }
        const std::chrono::nanoseconds drain =
            byteTime.count() > 0 ? byteTime * static_cast<std::int64_t>(queued - lead.least)
                                 : std::chrono::milliseconds(1);
        if (!context.Pause(drain)) {
            return queued;
        }
    }
}

// The silence after the byte at index: the character delay, and the line delay after each line's
// end: where the block's lines end, or for a text after CR, CR+LF or LF, whichever the line end is.
std::chrono::milliseconds PauseAfter(const SendContext& context,
                                     std::span<const std::uint8_t> block,
                                     std::span<const std::uint32_t> lineEnds, std::size_t index) {
    int pause = context.options.charDelayMs.load();
    if (!lineEnds.empty()) {
        if (std::binary_search(lineEnds.begin(), lineEnds.end(), index + 1)) {
            pause += context.options.lineDelayMs.load();
        }
    } else if (context.textMode) {
        const std::uint8_t byte = block[index];
        const bool crBeforeLf =
            byte == '\r' && index + 1 < block.size() && block[index + 1] == '\n';
        if (byte == '\n' || (byte == '\r' && !crBeforeLf)) {
            pause += context.options.lineDelayMs.load();
        }
    }
    return std::chrono::milliseconds(pause);
}

// Whether a pause follows some byte: a character delay, or a line delay where lines end (a text's,
// or the block's own lines).
bool Paced(const SendContext& context, std::span<const std::uint32_t> lineEnds) {
    return context.options.charDelayMs.load() > 0 ||
           ((context.textMode || !lineEnds.empty()) && context.options.lineDelayMs.load() > 0);
}

BlockResult WriteByteByByte(const SendContext& context, std::span<const std::uint8_t> block,
                            std::span<const std::uint32_t> lineEnds, bool showProgress) {
    const auto length = static_cast<std::uint32_t>(block.size());
    if (showProgress) {
        PostProgress(context, ProgressEvent::Kind::kShow, length,
                     static_cast<std::uint32_t>(lineEnds.size()));
    }
    if (!context.textMode) {
        // Bytes that arrived before the block are dropped. The output queue is left alone: it
        // may still hold the end of the previous block, which must reach the line.
        context.DropInput();
    }

    using Clock = std::chrono::steady_clock;
    constexpr auto kInterval = std::chrono::milliseconds(kProgressIntervalMs);
    const std::chrono::nanoseconds byteTime = ByteTime(context.device.ReadBack());
    const Lead lead = LeadFor(byteTime);
    const bool paced = Paced(context, lineEnds);
    auto lastShown = Clock::now();
    std::uint32_t total = 0;
    BlockResult result = BlockResult::kWritten;
    // An empty block still makes one write of zero bytes and shows its count of 0.
    do {
        // Asked right before each write: a byte handed over after the close would start on an
        // idle line, where no discard reaches it.
        if (!context.KeepGoing()) {
            result = BlockResult::kAborted;
            break;
        }
        std::size_t chunk = std::min<std::size_t>(1, length - total);
        if (!paced && chunk > 0) {
            // Without pauses one write tops the queue up to the lead: how far the line has got
            // is read from the queue's level, not counted by writes.
            const std::size_t queued = WaitForRoom(context, lead, byteTime);
            chunk = std::min<std::size_t>(length - total, lead.most - std::min(queued, lead.most));
            if (chunk == 0) {
                continue;  // the send must stop
            }
        }
        const OsResult<std::size_t> written = context.device.Write(block.data() + total, chunk);
        // Only what the driver took counts: a write cut short by closing the port sent nothing.
        const auto took = static_cast<std::uint32_t>(std::min(written.value, chunk));
        total += took;
        context.taken += took;
        if (written.error) {
            context.events.Post(OsErrorEvent{written.error});
            result = BlockResult::kFailed;
            break;
        }
        if (written.value < chunk) {
            result = BlockResult::kAborted;  // the device takes no more: closing, interrupted
            break;
        }
        const std::chrono::milliseconds pause =
            paced && chunk > 0 ? PauseAfter(context, block, lineEnds, total - 1)
                               : std::chrono::milliseconds(0);
        if (pause.count() > 0) {
            // The pause is silence on the line: it begins once the byte has left.
            context.device.Drain();
            if (!context.Pause(pause)) {
                result = BlockResult::kAborted;
                break;
            }
        } else if (paced && total % kLeadCheckInterval == 0) {
            // Asking the driver costs a call of its own: every few bytes is often enough.
            WaitForRoom(context, lead, byteTime);
        }
        const auto now = Clock::now();
        if (showProgress && now - lastShown >= kInterval) {
            lastShown = now;
            const std::uint32_t gone = BytesGone(context.device, total);
            PostProgress(context, ProgressEvent::Kind::kUpdate, gone, LinesWithin(lineEnds, gone));
        }
    } while (total < length);
    if (result == BlockResult::kWritten && !context.KeepGoing()) {
        result = BlockResult::kAborted;  // closed while the last byte was handed over
    }

    if (result == BlockResult::kWritten) {
        // The last count shown is exact: every byte of the block has left.
        context.device.Drain();
    } else {
        context.port.DiscardOutput();
        context.DropInput();
    }
    if (showProgress) {
        PostProgress(context, ProgressEvent::Kind::kUpdate, total, LinesWithin(lineEnds, total));
        PostProgress(context, ProgressEvent::Kind::kHide, 0);
    }
    if (result == BlockResult::kWritten) {
        PostResultLine(context, total);
    }
    return result;
}

BlockResult WriteAtOnce(const SendContext& context, std::span<const std::uint8_t> block) {
    if (!context.KeepGoing()) {
        return BlockResult::kAborted;
    }
    const OsResult<std::size_t> written = context.device.Write(block.data(), block.size());
    context.taken += static_cast<std::uint32_t>(written.value);
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

void SendContext::PostAborted(std::size_t total, std::uint32_t pass) const {
    const std::size_t left =
        device.QueuedOutput() + port.discarded.load() + device.TakeStoppedOutput();
    const std::uint32_t sent = taken.load();
    events.Post(
        SendAbortedEvent{sent - static_cast<std::uint32_t>(std::min<std::size_t>(left, sent)),
                         static_cast<std::uint32_t>(total), pass});
}

void SendContext::StartCounting() const {
    taken = 0;
    port.discarded = 0;
    device.TakeStoppedOutput();
}

void SendContext::DropInput() const {
    if (!options.keepInput.load()) {
        device.Purge(true, false);
    }
}

bool SendContext::Pause(std::chrono::nanoseconds duration) const {
    using Steady = std::chrono::steady_clock;
    const Steady::time_point end = Steady::now() + duration;
    std::unique_lock lock(wake.mutex);
    // A pause is silence of the time asked for, not a wait that ends when the system gets round to
    // it: where waits end late, the last moments are spent watching the clock.
    wake.changed.wait_until(lock, end - TimedWaitSlack(), [&] { return !KeepGoing(); });
    while (KeepGoing() && Steady::now() < end) {
        lock.unlock();
        std::this_thread::yield();
        lock.lock();
    }
    return KeepGoing();
}

BlockResult WriteBlock(const SendContext& context, std::span<const std::uint8_t> block,
                       std::span<const std::uint32_t> lineEnds) {
    // Nothing may be written once the port is closing, not even the first byte of a block.
    if (!context.KeepGoing()) {
        return BlockResult::kAborted;
    }
    // Ctrl+C stops the block on the wire from the interrupt's own handler.
    struct InterruptArm {
        explicit InterruptArm(SerialDevice& armed) : device(armed) {
            device.StopWritesOnInterrupt(true);
        }
        ~InterruptArm() { device.StopWritesOnInterrupt(false); }
        InterruptArm(const InterruptArm&) = delete;
        InterruptArm& operator=(const InterruptArm&) = delete;
        SerialDevice& device;
    } arm(context.device);
    if (!context.controlsHeld) {
        context.events.Post(BlocksEvent{true});
    }
    const bool showProgress =
        context.options.showProgress.load() && (!context.textMode || context.textFile);
    const BlockResult result = showProgress || Paced(context, lineEnds)
                                   ? WriteByteByByte(context, block, lineEnds, showProgress)
                                   : WriteAtOnce(context, block);
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
