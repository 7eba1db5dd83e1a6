// The sends that are no file or text: the keys typed in the terminal, a BREAK, and the stream of
// bytes a protocol (XMODEM) hands over piece by piece.
#include "serial/send_sequences_impl.h"

namespace velotrix {

EngineResult SendSequences::Type(std::string bytes) {
    Impl& s = *impl_;
    if (s.typing.Join(bytes)) {
        return {};
    }
    if (EngineResult claimed = s.Claim(); !claimed.ok()) {
        return claimed;
    }
    s.typing.Begin(std::move(bytes));
    s.Start([&s](const SendContext& context) { return s.typing.WriteAll(context); },
            {.textMode = true, .typing = true});
    return {};
}

EngineResult SendSequences::SendBreak(std::chrono::milliseconds duration) {
    Impl& s = *impl_;
    if (EngineResult claimed = s.Claim(); !claimed.ok()) {
        return claimed;
    }
    s.Start(
        [duration](const SendContext& context) {
            if (const OsError error = context.device.SendBreak(duration)) {
                context.events.Post(OsErrorEvent{error});
                return false;
            }
            return context.KeepGoing();
        },
        {});
    return {};
}

EngineResult SendSequences::StartStream() {
    Impl& s = *impl_;
    if (EngineResult claimed = s.Claim(); !claimed.ok()) {
        return claimed;
    }
    {
        std::lock_guard lock(s.wake.mutex);
        s.stream.clear();
        s.streamOpen = true;
    }
    s.Start(
        [&s](const SendContext& context) {
            std::vector<std::uint8_t> piece;
            while (s.NextPiece(context, piece)) {
                const OsResult<std::size_t> written =
                    context.device.Write(piece.data(), piece.size());
                if (!written.ok()) {
                    context.events.Post(OsErrorEvent{written.error});
                    return false;
                }
            }
            if (!context.KeepGoing()) {
                return false;
            }
            context.device.Drain();
            return context.KeepGoing();
        },
        {.restoreOpenMode = true});
    return {};
}

void SendSequences::StreamWrite(std::vector<std::uint8_t> bytes) {
    if (bytes.empty()) {
        return;
    }
    {
        std::lock_guard lock(impl_->wake.mutex);
        if (!impl_->streamOpen) {
            return;
        }
        impl_->stream.push_back(std::move(bytes));
    }
    impl_->wake.changed.notify_all();
}

void SendSequences::EndStream() {
    {
        std::lock_guard lock(impl_->wake.mutex);
        impl_->streamOpen = false;
    }
    impl_->wake.changed.notify_all();
}

void SendSequences::AwaitStreamEnd(std::chrono::milliseconds timeout) {
    Impl& s = *impl_;
    std::unique_lock lock(s.wake.mutex);
    s.senderFinished.wait_for(lock, timeout, [&] { return s.finished.load(); });
}

}  // namespace velotrix
