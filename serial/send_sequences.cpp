// The file and text send commands and the one sender thread that carries out every send.
#include "serial/send_sequences.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ui-resources/ids.h"
#include "serial/block_writer.h"
#include "text/text_helpers.h"

namespace velotrix {

namespace {

constexpr std::size_t kSingleTextLength = 31;
constexpr std::size_t kContinuousTextLength = 254;

// Pause choices of combo 1025 by index; index 0 ("keine") sends header and data as one block.
struct PauseChoice {
    int milliseconds;
    const char* line;
};
constexpr std::array<PauseChoice, 5> kPauses = {{{0, ""},
                                                 {50, "Pause 50ms..."},
                                                 {100, "Pause 100ms..."},
                                                 {500, "Pause 500ms..."},
                                                 {1000, "Pause 1000ms..."}}};

constexpr char kBusyText[] =
    "Es l\xE4uft bereits eine Sendung.\rBitte warten oder mit 'COM schlie\xDF"
    "en' abbrechen.";

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

std::span<const std::uint8_t> BytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// A continuous send lists only its start line; "Endlos senden" stays disabled until it ends.
void PostContinuousStart(const SendContext& context, std::string line) {
    context.Post([line = std::move(line)](Screen& screen) {
        screen.ClearMessages();
        screen.AddMessage(line);
        screen.View().Enable(ids::kContinuousCheck, false);
    });
}

void PostContinuousEnd(const SendContext& context) {
    context.Post([](Screen& screen) { screen.View().Enable(ids::kContinuousCheck, true); });
}

std::string CountLine(std::size_t count) {
    return IntToDecimal(static_cast<std::int32_t>(count)) + " Bytes zu senden:";
}

}  // namespace

struct SendSequences::Impl {
    Impl(Screen& s, UiLoop& l, SerialPort& p, TransferOptions& o, const TxImage& t)
        : screen(s), loop(l), port(p), options(o), tx(t) {}

    using SenderBody = std::function<void(const SendContext&)>;

    Screen& screen;
    UiLoop& loop;
    SerialPort& port;
    TransferOptions& options;
    const TxImage& tx;

    std::mutex snapshotMutex;
    std::shared_ptr<const TxSnapshot> snapshot = std::make_shared<TxSnapshot>();

    // The one sender. The thread object, generation and restoreOpenMode belong to the UI thread.
    std::thread sender;
    std::atomic<bool> finished{true};
    std::atomic<bool> stop{false};
    std::mutex wakeMutex;
    std::condition_variable wake;
    // Counts the senders that have been joined, so that the end task of an earlier one that was
    // already joined (by StopAndJoin or by the next start) does nothing.
    std::uint64_t generation = 0;
    bool restoreOpenMode = false;
    // Expires with this object: an end task still queued after it is gone does nothing.
    std::shared_ptr<int> lifeToken = std::make_shared<int>(0);

    std::shared_ptr<const TxSnapshot> CurrentSnapshot() {
        std::lock_guard lock(snapshotMutex);
        return snapshot;
    }

    bool Busy() const { return sender.joinable() && !finished.load(); }

    // Waits up to the given time, or less when the port closes; true when the send may go on.
    bool PauseFor(const SendContext& context, std::chrono::milliseconds duration) {
        std::unique_lock lock(wakeMutex);
        wake.wait_for(lock, duration, [&] { return !context.KeepGoing(); });
        return context.KeepGoing();
    }

    void WakeAndStop() {
        {
            std::lock_guard lock(wakeMutex);
            stop = true;
        }
        wake.notify_all();
    }

    // UI thread: joins the sender, which has ended or is ending by itself, and applies what its
    // end asked for.
    void FinishSender() {
        if (sender.joinable()) {
            sender.join();
        }
        ++generation;
        if (restoreOpenMode && port.portOpen.load()) {
            screen.SetControlMode(ModeOpen);
        }
        restoreOpenMode = false;
    }

    void OnSenderEnded(std::uint64_t senderGeneration) {
        if (senderGeneration == generation) {
            FinishSender();
        }
    }

    bool RefuseWhileBusy() {
        const bool busy = Busy();
        if (busy) {
            screen.View().MessageBox(kBusyText, "Info", MessageIcon::kInformation);
        }
        return busy;
    }

    // UI thread: true when a new send may start; otherwise the user has been told why not.
    bool Claim() {
        if (RefuseWhileBusy()) {
            return false;
        }
        FinishSender();  // a sender that has ended but whose end task has not run yet
        return true;
    }

    bool PortReady() const { return port.portOpen.load() && port.device != nullptr; }

    void Start(SenderBody body, bool textMode, bool continuous, bool restoreOpen) {
        stop = false;
        finished = false;
        restoreOpenMode = restoreOpen;
        SerialDevice& device = *port.device;
        sender = std::thread([this, &device, body = std::move(body), textMode, continuous,
                              senderGeneration = generation,
                              token = std::weak_ptr<int>(lifeToken)] {
            SendContext context{screen, loop, port, device, options, stop, textMode, continuous};
            body(context);
            loop.Post([this, token, senderGeneration] {
                if (!token.expired()) {
                    OnSenderEnded(senderGeneration);
                }
            });
            finished = true;
        });
    }

    // One pass over a snapshot; kWritten when every block went out whole.
    BlockResult SendFileOnce(const SendContext& context, const TxSnapshot& image) {
        const std::size_t dataLength = image.Data().size();
        BlockResult result = BlockResult::kWritten;
        if (context.options.binMode.load()) {
            context.PostMessages({"Senden ohne Header (BIN)...", CountLine(dataLength),
                                  "Senden l\xE4uft, bitte warten..."});
            context.PostScrollToEnd();
            result = WriteBlock(context, image.Data());
        } else if (image.pauseIndex == 0) {
            context.PostMessages({"Senden mit Header als 'z80'...", CountLine(image.bytes.size()),
                                  "Senden l\xE4uft, bitte warten..."});
            context.PostScrollToEnd();
            result = WriteBlock(context, image.All());
        } else {
            context.PostMessages({"Senden mit Header als 'z80'...", CountLine(image.bytes.size()),
                                  "Sende Header..."});
            result = WriteBlock(context, image.Header());
            const bool hasPause =
                image.pauseIndex > 0 && image.pauseIndex < static_cast<int>(kPauses.size());
            if (result == BlockResult::kWritten && hasPause) {
                const PauseChoice& pause = kPauses[static_cast<std::size_t>(image.pauseIndex)];
                context.PostMessage(pause.line);
                if (!PauseFor(context, std::chrono::milliseconds(pause.milliseconds))) {
                    result = BlockResult::kAborted;
                }
            }
            if (result == BlockResult::kWritten && !context.KeepGoing()) {
                result = BlockResult::kAborted;
            }
            if (result == BlockResult::kWritten) {
                context.PostMessage("Sende Daten...");
                result = WriteBlock(context, image.Data());
            }
        }
        if (!context.continuous && result == BlockResult::kWritten) {
            // "fertig" only once the bytes have left the PC.
            context.device.Drain();
            if (context.KeepGoing()) {
                context.PostMessage(
                    "Datei fertig \xFC"
                    "bertragen");
                context.PostScrollToEnd();
            }
        }
        return result;
    }

    void PurgeInput(const SendContext& context) {
        if (context.KeepGoing()) {
            context.device.Purge(true, false);
        }
    }

    void ContinuousFileSend(const SendContext& context) {
        PostContinuousStart(context,
                            "Sende Datei dauernd, Abbruch mit 'COM schlie\xDF"
                            "en'.");
        PurgeInput(context);
        while (context.KeepGoing()) {
            const std::shared_ptr<const TxSnapshot> image = CurrentSnapshot();
            // A failed write would fail again on every pass.
            if (image->bytes.empty() || SendFileOnce(context, *image) == BlockResult::kFailed) {
                break;
            }
            PurgeInput(context);
        }
        PostContinuousEnd(context);
    }

    void ContinuousTextSend(const SendContext& context, const std::string& text) {
        PostContinuousStart(context,
                            "Sende Text dauernd, Abbruch mit 'COM schlie\xDF"
                            "en'");
        PostBlocksStart(context);
        SendContext held = context;
        held.controlsHeld = true;
        if (text.empty()) {
            // Writes of nothing change nothing on the line; waiting for the close is the same
            // send without keeping a processor busy.
            while (PauseFor(held, std::chrono::milliseconds(100))) {
            }
        } else {
            while (held.KeepGoing() &&
                   SendWithListing(held, BytesOf(text)) != BlockResult::kFailed) {
            }
        }
        PostBlocksEnd(context);
        PostContinuousEnd(context);
    }
};

SendSequences::SendSequences(Screen& screen, UiLoop& loop, SerialPort& port,
                             TransferOptions& options, const TxImage& tx)
    : impl_(std::make_unique<Impl>(screen, loop, port, options, tx)) {}

SendSequences::~SendSequences() {
    impl_->WakeAndStop();
    // Only when the port was left open: a write held back by flow control would never return.
    if (impl_->Busy() && impl_->port.device) {
        impl_->port.device->CancelWaits();
    }
    impl_->restoreOpenMode = false;
    impl_->FinishSender();
}

void SendSequences::FileSendCommand() {
    Impl& s = *impl_;
    if (!s.Claim()) {
        return;
    }
    RefreshSnapshot();
    std::shared_ptr<const TxSnapshot> image = s.CurrentSnapshot();
    if (!image->loaded) {
        s.screen.View().MessageBox("Nix da zum Senden.", "Fehler!", MessageIcon::kNone);
        return;
    }
    if (!s.PortReady()) {
        return;
    }
    s.options.textMode = false;
    s.screen.ClearMessages();
    s.screen.SetControlMode(ModeBusy);
    s.screen.View().Repaint();
    if (s.options.continuousSend.load()) {
        s.Start([&s](const SendContext& context) { s.ContinuousFileSend(context); }, false, true,
                false);
        // Load, refresh and a further "Datei senden" stay offered; the next pass takes the change.
        s.screen.SetControlMode(ModeOpen);
        return;
    }
    s.Start(
        [&s, image](const SendContext& context) {
            s.PurgeInput(context);
            s.SendFileOnce(context, *image);
            s.PurgeInput(context);
        },
        false, false, true);
}

void SendSequences::TextSendCommand() {
    Impl& s = *impl_;
    if (!s.Claim() || !s.PortReady()) {
        return;
    }
    s.options.textMode = true;
    const std::string field = s.screen.View().GetText(ids::kTextEdit);
    if (s.options.continuousSend.load()) {
        s.screen.SetControlMode(ModeBusy);
        // Taken now, so that closing the dialog right away still sends it.
        s.Start([&s, text = LeftChars(field, kContinuousTextLength)](
                    const SendContext& context) { s.ContinuousTextSend(context, text); },
                true, true, false);
        return;
    }
    s.Start(
        [text = LeftChars(field, kSingleTextLength)](const SendContext& context) {
            // Like a file send, a text send ends only once its bytes have left the PC.
            if (SendWithListing(context, BytesOf(text)) == BlockResult::kWritten) {
                context.device.Drain();
            }
        },
        true, false, false);
}

bool SendSequences::Busy() const {
    return impl_->Busy();
}

bool SendSequences::RefuseWhileBusy() {
    return impl_->RefuseWhileBusy();
}

void SendSequences::StopAndJoin() {
    impl_->WakeAndStop();
    // The port is closing: its closer sets the controls' mode.
    impl_->restoreOpenMode = false;
    impl_->FinishSender();
}

void SendSequences::RefreshSnapshot() {
    const TxImage& tx = impl_->tx;
    auto image = std::make_shared<TxSnapshot>();
    image->loaded = tx.loaded;
    image->pauseIndex = impl_->screen.View().ComboSelection(ids::kPauseCombo);
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
