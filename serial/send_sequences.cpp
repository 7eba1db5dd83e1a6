// The file and text send commands; the one sender thread that carries out every send is in
// send_sequences_impl.h, the typed keys, the BREAK and the stream of a protocol in
// send_streams.cpp.
#include "serial/send_sequences_impl.h"

namespace velotrix {

namespace {

constexpr std::size_t kSingleTextLength = 31;
constexpr std::size_t kContinuousTextLength = 254;

EngineResult Refusal(ErrorKind kind, std::string_view text, std::string_view caption) {
    return {kind, std::string(text), std::string(caption), {}};
}

}  // namespace

SendSequences::SendSequences(const EventEmitter& events, SerialPort& port, TransferOptions& options,
                             const TxImage& tx)
    : impl_(std::make_unique<Impl>(events, port, options, tx)) {}

SendSequences::~SendSequences() {
    impl_->WakeAndStop();
    // Only when the port was left open: a write held back by flow control would never return.
    if (impl_->Busy() && impl_->port.device) {
        impl_->port.device->CancelWaits();
    }
    impl_->restoreOpenMode = false;
    impl_->FinishSender(false);
}

EngineResult SendSequences::SendFile() {
    Impl& s = *impl_;
    if (s.Busy()) {
        return BusyResult();
    }
    std::shared_ptr<const TxSnapshot> image = s.CurrentSnapshot();
    if (!image->loaded) {
        // A finished sender is still joined first, as for every other command.
        s.FinishSender(true);
        return Refusal(ErrorKind::kNothingToSend, msg::kNothingToSend, msg::kErrorCaption);
    }
    if (EngineResult claimed = s.Claim(); !claimed.ok()) {
        return claimed;
    }
    if (s.options.continuousSend.load()) {
        s.Start(
            [&s](const SendContext& context) {
                s.ContinuousFileSend(context);
                return false;
            },
            {.continuous = true});
        return {};
    }
    s.Start(
        [&s, image](const SendContext& context) {
            s.PurgeInput(context);
            const bool sent =
                SendFileOnce(context, *image) == BlockResult::kWritten && context.KeepGoing();
            s.PurgeInput(context);
            return sent;
        },
        {.restoreOpenMode = true});
    return {};
}

EngineResult SendSequences::SendText(const std::string& text) {
    Impl& s = *impl_;
    if (EngineResult claimed = s.Claim(); !claimed.ok()) {
        return claimed;
    }
    const std::string lineEnd = LineEndBytes(s.options.lineEnd.load());
    if (s.options.continuousSend.load()) {
        // Taken now, so that closing the dialog right away still sends it.
        s.Start(
            [&s,
             text = LeftChars(text, kContinuousTextLength) + lineEnd](const SendContext& context) {
                s.ContinuousTextSend(context, text);
                return false;
            },
            {.textMode = true, .continuous = true});
        return {};
    }
    s.Start(
        [text = LeftChars(text, kSingleTextLength) + lineEnd](const SendContext& context) {
            // Like a file send, a text send ends only once its bytes have left the PC.
            context.StartCounting();
            if (SendWithListing(context, BytesOf(text)) == BlockResult::kWritten) {
                context.device.Drain();
                if (context.KeepGoing()) {
                    return true;
                }
            }
            context.PostAborted(text.size());
            return false;
        },
        {.textMode = true});
    return {};
}

EngineResult SendSequences::SendTextFile(std::string bytes, std::size_t lines) {
    Impl& s = *impl_;
    if (EngineResult claimed = s.Claim(); !claimed.ok()) {
        return claimed;
    }
    s.Start(
        [bytes = std::move(bytes), lines](const SendContext& context) {
            context.PostLine(std::string(msg::kTextFileSendingPrefix) + std::to_string(lines) +
                             std::string(msg::kTextFileLines) + std::to_string(bytes.size()) +
                             std::string(msg::kTextFileBytes));
            context.StartCounting();
            if (WriteBlock(context, BytesOf(bytes)) == BlockResult::kWritten) {
                context.device.Drain();
                if (context.KeepGoing()) {
                    context.PostLine(std::string(msg::kFileSent), true);
                    return true;
                }
            }
            context.PostAborted(bytes.size());
            return false;
        },
        {.textMode = true, .textFile = true, .restoreOpenMode = true});
    return {};
}

EngineResult SendSequences::SendPattern(std::vector<std::uint8_t> bytes) {
    Impl& s = *impl_;
    if (EngineResult claimed = s.Claim(); !claimed.ok()) {
        return claimed;
    }
    s.Start(
        [bytes = std::move(bytes)](const SendContext& context) {
            const OsResult<std::size_t> written = context.device.Write(bytes.data(), bytes.size());
            if (!written.ok()) {
                context.events.Post(OsErrorEvent{written.error});
                return false;
            }
            context.device.Drain();
            return context.KeepGoing() && written.value == bytes.size();
        },
        {});
    return {};
}

bool SendSequences::Busy() const {
    return impl_->Busy();
}

void SendSequences::StopAndJoin() {
    impl_->WakeAndStop();
    // The port is closing: its closer sets the controls' mode.
    impl_->restoreOpenMode = false;
    impl_->FinishSender(false);
}

void SendSequences::RefreshSnapshot(int pauseIndex) {
    const TxImage& tx = impl_->tx;
    auto image = std::make_shared<TxSnapshot>();
    image->loaded = tx.loaded;
    image->pauseIndex = pauseIndex;
    std::lock_guard lock(impl_->snapshotMutex);
    if (tx.loaded) {
        const std::size_t dataLength =
            std::min<std::size_t>(tx.dataLength, tx.image.size() - kHeaderSize);
        image->bytes.assign(tx.image.begin(), tx.image.begin() + static_cast<std::ptrdiff_t>(
                                                                     kHeaderSize + dataLength));
    } else if (impl_->snapshot) {
        // A cancelled or failed load leaves the image's bytes as they were: a running continuous
        // send goes on with them, while a new send is refused for want of a loaded file.
        image->bytes = impl_->snapshot->bytes;
    }
    impl_->snapshot = std::move(image);
}

}  // namespace velotrix
