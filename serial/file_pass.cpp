// One pass of a file send over a copy of the transmit image.
#include "serial/file_pass.h"

#include "serial/line_options.h"
#include "text/text_helpers.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

// Header, pause and data as separate blocks; the pause is silence on the line, so the header
// must have left before it begins.
BlockResult SendHeaderPauseData(const SendContext& context, const TxSnapshot& image) {
    context.events.PostLines({std::string(msg::kSendingZ80), CountLine(image.bytes.size()),
                              std::string(msg::kSendingHeader)});
    BlockResult result = WriteBlock(context, image.Header());
    const std::span<const PauseEntry> pauses = PauseEntries();
    const bool hasPause =
        image.pauseIndex > 0 && image.pauseIndex < static_cast<int>(pauses.size());
    if (result == BlockResult::kWritten && hasPause) {
        const PauseEntry& pause = pauses[static_cast<std::size_t>(image.pauseIndex)];
        context.device.Drain();
        context.PostLine(std::string(pause.line));
        if (!context.Pause(pause.duration)) {
            result = BlockResult::kAborted;
        }
    }
    if (result == BlockResult::kWritten && !context.KeepGoing()) {
        result = BlockResult::kAborted;
    }
    if (result == BlockResult::kWritten) {
        context.PostLine(std::string(msg::kSendingData));
        result = WriteBlock(context, image.Data());
    }
    return result;
}

}  // namespace

// A continuous send lists only its start line; "Endlos senden" stays disabled until it ends.
void PostContinuousStart(const SendContext& context, std::string_view line) {
    context.events.Post(MessagesClearedEvent{});
    context.PostLine(std::string(line));
    context.events.Post(ContinuousEvent{true});
}

void PostContinuousEnd(const SendContext& context) {
    context.events.Post(ContinuousEvent{false});
}

std::string CountLine(std::size_t count) {
    return CountToDecimal(count) + std::string(msg::kBytesToSend);
}

// One pass over a snapshot; kWritten when every block went out whole.
BlockResult SendFileOnce(const SendContext& context, const TxSnapshot& image, std::uint32_t pass) {
    context.StartCounting();
    const bool bin = context.options.binMode.load();
    const std::size_t total = bin ? image.Data().size() : image.bytes.size();
    // A pass of a continuous send that the close comes before lists nothing but that.
    if (!context.KeepGoing()) {
        context.PostAborted(total, pass);
        return BlockResult::kAborted;
    }
    BlockResult result = BlockResult::kWritten;
    if (bin) {
        context.events.PostLines({std::string(msg::kSendingBin), CountLine(image.Data().size()),
                                  std::string(msg::kSendingWait)},
                                 true);
        result = WriteBlock(context, image.Data());
    } else if (image.pauseIndex == 0) {
        context.events.PostLines({std::string(msg::kSendingZ80), CountLine(image.bytes.size()),
                                  std::string(msg::kSendingWait)},
                                 true);
        result = WriteBlock(context, image.All());
    } else {
        result = SendHeaderPauseData(context, image);
    }
    if (!context.continuous && result == BlockResult::kWritten) {
        // "fertig" only once the bytes have left the PC.
        context.device.Drain();
        if (context.KeepGoing()) {
            context.PostLine(std::string(msg::kFileSent), true);
            return result;
        }
    }
    if (result != BlockResult::kWritten || !context.continuous) {
        context.PostAborted(total, pass);
    }
    return result;
}

}  // namespace velotrix
