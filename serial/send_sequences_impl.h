// The sender's state and its one thread, shared by the files that implement the send commands,
// and by nothing else.
#pragma once

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

// The bytes of a text, as the writers take them.
inline std::span<const std::uint8_t> BytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
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

}  // namespace velotrix
