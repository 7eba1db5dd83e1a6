// The file and text send commands and the one sender thread that carries out every send.
#include "serial/send_sequences.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "serial/block_writer.h"
#include "serial/file_pass.h"
#include "serial/line_options.h"
#include "serial/typing_queue.h"
#include "text/text_helpers.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

constexpr std::size_t kSingleTextLength = 31;
constexpr std::size_t kContinuousTextLength = 254;

std::span<const std::uint8_t> BytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

EngineResult Refusal(ErrorKind kind, std::string_view text, std::string_view caption) {
    return {kind, std::string(text), std::string(caption), {}};
}

// How a sender writes and ends, fixed when it starts.
struct SendKind {
    bool textMode = false;    // one write per block, no progress (the text dialog's sends)
    bool continuous = false;  // repeats until the port closes; no result lines
    bool textFile = false;    // a text with progress
    // The controls return to the open mode when the send ends (a single file send holds them).
    bool restoreOpenMode = false;
    // The keys typed in the terminal, which more keys may join while it runs.
    bool typing = false;
};

}  // namespace

struct SendSequences::Impl {
    Impl(const EventEmitter& e, SerialPort& p, TransferOptions& o, const TxImage& t)
        : events(e), port(p), options(o), tx(t) {}

    // Returns true when everything the send set out to write has left the PC.
    using SenderBody = std::function<bool(const SendContext&)>;

    const EventEmitter& events;
    SerialPort& port;
    TransferOptions& options;
    const TxImage& tx;

    std::mutex snapshotMutex;
    std::shared_ptr<const TxSnapshot> snapshot = std::make_shared<TxSnapshot>();

    // The one sender. The thread object, generation and restoreOpenMode belong to the UI thread.
    std::thread sender;
    std::atomic<bool> finished{true};
    std::atomic<bool> completed{false};
    std::atomic<bool> stop{false};
    SendWake wake;
    std::atomic<std::uint32_t> taken{0};
    // Counts the senders that have been joined, so that the end task of an earlier one that was
    // already joined (by StopAndJoin or by the next start) does nothing.
    std::uint64_t generation = 0;
    bool restoreOpenMode = false;
    bool typingSender = false;
    TypingQueue typing;
    // Expires with this object: an end task still queued after it is gone does nothing.
    std::shared_ptr<int> lifeToken = std::make_shared<int>(0);

    // A protocol's bytes for the sender, and whether more may come; guarded by wake.mutex.
    std::deque<std::vector<std::uint8_t>> stream;
    bool streamOpen = false;
    // Told when a sender has finished, for whoever waits for its end.
    std::condition_variable senderFinished;

    // Sender thread: the next piece of the stream; false when it has ended or must end.
    bool NextPiece(const SendContext& context, std::vector<std::uint8_t>& piece) {
        std::unique_lock lock(wake.mutex);
        wake.changed.wait(lock,
                          [&] { return !stream.empty() || !streamOpen || !context.KeepGoing(); });
        if (stream.empty() || !context.KeepGoing()) {
            return false;
        }
        piece = std::move(stream.front());
        stream.pop_front();
        return true;
    }

    std::shared_ptr<const TxSnapshot> CurrentSnapshot() {
        std::lock_guard lock(snapshotMutex);
        return snapshot;
    }

    // A typing sender that takes no more keys is past its last write: it no longer counts, and
    // the next send joins it.
    bool Busy() const {
        return sender.joinable() && !finished.load() && !(typingSender && !typing.Open());
    }

    void WakeAndStop() {
        {
            std::lock_guard lock(wake.mutex);
            stop = true;
        }
        wake.changed.notify_all();
    }

    // UI thread: joins the sender, which has ended or is ending by itself, and reports what its
    // end asked for.
    void FinishSender(bool report) {
        const bool wasRunning = sender.joinable();
        if (wasRunning) {
            sender.join();
        }
        ++generation;
        const bool restoreOpen = restoreOpenMode && port.portOpen.load();
        restoreOpenMode = false;
        typingSender = false;
        if (wasRunning && report) {
            events.Emit(SendEndedEvent{restoreOpen, completed.load()});
        }
    }

    void OnSenderEnded(std::uint64_t senderGeneration) {
        if (senderGeneration == generation) {
            FinishSender(true);
        }
    }

    // UI thread: ok when a new send may start.
    EngineResult Claim() {
        if (Busy()) {
            return BusyResult();
        }
        FinishSender(true);  // a sender that has ended but whose end task has not run yet
        if (!port.portOpen.load() || port.device == nullptr) {
            return {ErrorKind::kNotOpen, {}, {}, {}};
        }
        return {};
    }

    void Start(SenderBody body, SendKind kind) {
        stop = false;
        finished = false;
        completed = false;
        restoreOpenMode = kind.restoreOpenMode;
        typingSender = kind.typing;
        SerialDevice& device = *port.device;
        sender =
            std::thread([this, &device, body = std::move(body), kind, senderGeneration = generation,
                         token = std::weak_ptr<int>(lifeToken)] {
                SendContext context{events, port,  device,        options,         stop,
                                    wake,   taken, kind.textMode, kind.continuous, kind.textFile};
                completed = body(context);
                events.Loop().Post([this, token, senderGeneration] {
                    if (!token.expired()) {
                        OnSenderEnded(senderGeneration);
                    }
                });
                {
                    std::lock_guard lock(wake.mutex);
                    finished = true;
                }
                senderFinished.notify_all();
            });
    }

    void PurgeInput(const SendContext& context) {
        if (context.KeepGoing()) {
            context.DropInput();
        }
    }

    void ContinuousFileSend(const SendContext& context) {
        PostContinuousStart(context, msg::kContinuousFile);
        PurgeInput(context);
        // Until a pass is cut short, which says so (a failed write would fail again on every
        // pass).
        for (std::uint32_t pass = 1;; ++pass) {
            const std::shared_ptr<const TxSnapshot> image = CurrentSnapshot();
            if (image->bytes.empty() ||
                SendFileOnce(context, *image, pass) != BlockResult::kWritten) {
                break;
            }
            PurgeInput(context);
        }
        PostContinuousEnd(context);
    }

    void ContinuousTextSend(const SendContext& context, const std::string& text) {
        PostContinuousStart(context, msg::kContinuousText);
        context.events.Post(BlocksEvent{true});
        SendContext held = context;
        held.controlsHeld = true;
        if (text.empty()) {
            // Writes of nothing change nothing on the line; waiting for the close is the same
            // send without keeping a processor busy.
            while (held.Pause(std::chrono::milliseconds(100))) {
            }
        } else {
            // Until a pass is cut short, which says so.
            for (std::uint32_t pass = 1;; ++pass) {
                held.StartCounting();
                if (SendWithListing(held, BytesOf(text)) != BlockResult::kWritten) {
                    held.PostAborted(text.size(), pass);
                    break;
                }
            }
        }
        context.events.Post(BlocksEvent{false});
        PostContinuousEnd(context);
    }
};

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
