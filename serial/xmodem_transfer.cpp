// XMODEM on the open port: the machine between the received batches, the loop's timer and the
// one sender, and what the user is told of it.
#include "serial/xmodem_transfer.h"

#include <algorithm>
#include <utility>

#include "serial/xmodem_sender.h"
#include "text/text_helpers.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

bool SameProgress(const xmodem::Progress& a, const xmodem::Progress& b) {
    return a.blocks == b.blocks && a.retries == b.retries && a.check == b.check;
}

bool OnlyRequests(std::span<const std::uint8_t> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t byte) {
        return byte == xmodem::kCrcPoll || byte == xmodem::kNak;
    });
}

}  // namespace

XmodemTransfer::XmodemTransfer(const EventEmitter& events, ReceivedBytesSlot& slot,
                               SendSequences& sends, ReceiveEngine& receptions,
                               std::atomic<bool>& prompt)
    : events_(events), slot_(slot), sends_(sends), receptions_(receptions), prompt_(prompt) {}

XmodemTransfer::~XmodemTransfer() {
    slot_.Remove(*this);
}

EngineResult XmodemTransfer::Begin(bool sending, std::vector<std::uint8_t>& requests) {
    if (Running() || sends_.Busy()) {
        return BusyResult();
    }
    if (receptions_.Receiving()) {
        const RxBuffer& rx = receptions_.Buffer();
        if (!sending || !OnlyRequests(std::span(rx.storage).first(rx.receivedCount))) {
            return {ErrorKind::kBusy,
                    std::string(msg::kSelfTestBusy),
                    std::string(msg::kInfoCaption),
                    {}};
        }
        requests = receptions_.DropReception();
    }
    if (!slot_.Install(*this)) {
        return BusyResult();
    }
    if (EngineResult claimed = sends_.StartStream(); !claimed.ok()) {
        slot_.Remove(*this);
        return claimed;
    }
    prompt_ = true;
    shown_ = {};
    events_.Emit(XmodemProgressEvent{sending, {}, total_});
    return {};
}

EngineResult XmodemTransfer::Send(std::span<const std::uint8_t> file, bool longBlocks,
                                  std::chrono::microseconds byteTime) {
    total_ = file.size();
    std::vector<std::uint8_t> requests;
    if (EngineResult begun = Begin(true, requests); !begun.ok()) {
        return begun;
    }
    auto sender = std::make_unique<xmodem::Sender>(
        file, xmodem::SenderSettings{.longBlocks = longBlocks, .byteTime = byteTime});
    sender->Start(events_.Loop().Now());
    machine_ = std::move(sender);
    receiver_ = nullptr;
    events_.Emit(LinesEvent{{std::string(msg::kXmodemSendStart) + CountToDecimal(file.size()) +
                             std::string(msg::kXmodemSendWaiting)},
                            true});
    xmodem::Bytes out;
    machine_->Receive(requests, events_.Loop().Now(), out);
    After(std::move(out));
    return {};
}

EngineResult XmodemTransfer::Receive(const xmodem::ReceiverSettings& settings) {
    total_ = 0;
    std::vector<std::uint8_t> requests;
    if (EngineResult begun = Begin(false, requests); !begun.ok()) {
        return begun;
    }
    auto receiver = std::make_unique<xmodem::Receiver>(settings);
    xmodem::Bytes out;
    receiver->Start(events_.Loop().Now(), out);
    receiver_ = receiver.get();
    machine_ = std::move(receiver);
    events_.Emit(LinesEvent{{std::string(msg::kXmodemReceiveWaiting)}, true});
    After(std::move(out));
    return {};
}

void XmodemTransfer::OnBytes(std::span<const std::uint8_t> batch) {
    if (Running()) {
        xmodem::Bytes out;
        machine_->Receive(batch, events_.Loop().Now(), out);
        After(std::move(out));
    } else {
        slot_.WaitForSilence(*this, kXmodemAfterglow);
    }
}

void XmodemTransfer::OnSilence() {
    if (Running()) {
        xmodem::Bytes out;
        machine_->Tick(events_.Loop().Now(), out);
        After(std::move(out));
    } else {
        slot_.Remove(*this);
    }
}

void XmodemTransfer::After(xmodem::Bytes out) {
    sends_.StreamWrite(std::move(out));
    const xmodem::Progress& progress = machine_->Status();
    if (!SameProgress(progress, shown_)) {
        shown_ = progress;
        events_.Emit(XmodemProgressEvent{receiver_ == nullptr, progress, total_});
    }
    if (machine_->Running()) {
        const auto wait = machine_->Deadline() - events_.Loop().Now();
        slot_.WaitForSilence(*this, std::max(wait, std::chrono::milliseconds(0)));
    } else {
        End();
    }
}

void XmodemTransfer::End() {
    const XmodemEndedEvent ended{receiver_ == nullptr, machine_->Ending(), machine_->Status()};
    sends_.EndStream();
    prompt_ = false;
    // The terminal shows what follows at once (the other side's last answers, its prompt).
    if (ended.end == xmodem::End::kLineLost || slot_.DefaultShowsEverything()) {
        slot_.Remove(*this);
    } else {
        slot_.WaitForSilence(*this, kXmodemAfterglow);
    }
    events_.Emit(ended);
    if (receiver_ != nullptr && !receiver_->File().empty()) {
        // The file has no z80 header of its own: the fields of an earlier reception go.
        events_.Emit(RxHeaderEvent{});
        receptions_.AdoptReception(receiver_->File(), ended.end != xmodem::End::kDone);
    }
}

void XmodemTransfer::Cancel() {
    if (Running()) {
        xmodem::Bytes out;
        machine_->Cancel(out);
        After(std::move(out));
    }
}

void XmodemTransfer::OnPortClosing() {
    if (Running()) {
        Cancel();
        sends_.AwaitStreamEnd(kXmodemCancelFlush);
    }
}

// Lost or closed by the user, a transfer that still runs has lost its line.
void XmodemTransfer::OnPortClosed(bool) {
    if (Running()) {
        machine_->LineLost();
        After({});
    }
    slot_.Remove(*this);
}

void XmodemTransfer::SenderEnded() {
    if (Running()) {
        machine_->LineLost();
        After({});
    }
}

std::string XmodemProgressText(const xmodem::Progress& progress) {
    const std::string dash(msg::kXmodemDash);
    return CountToDecimal(progress.blocks) + std::string(msg::kXmodemBlocks) + dash +
           CountToDecimal(progress.bytes) + std::string(msg::kXmodemBytes) + dash +
           CountToDecimal(progress.retries) + std::string(msg::kXmodemRetries);
}

std::vector<std::string> XmodemEndLines(const XmodemEndedEvent& event) {
    std::vector<std::string> lines = {XmodemEndLine(event)};
    // A reception's blocks are whole blocks: what came is the file as far as it came.
    if (!event.sending && event.end != xmodem::End::kDone && event.progress.bytes > 0) {
        lines.push_back(std::string(msg::kXmodemIncomplete) + CountToDecimal(event.progress.bytes) +
                        std::string(msg::kXmodemBytesArrived));
    }
    return lines;
}

std::string XmodemEndLine(const XmodemEndedEvent& event) {
    const std::string failedBlock = CountToDecimal(event.progress.failedBlock);
    switch (event.end) {
        case xmodem::End::kDone:
            return std::string(event.sending ? msg::kXmodemSent : msg::kXmodemReceived) +
                   XmodemProgressText(event.progress) +
                   std::string(event.progress.check == xmodem::Check::kCrc16
                                   ? msg::kXmodemCheckCrc
                                   : msg::kXmodemCheckSum);
        case xmodem::End::kCancelledByPeer:
            return std::string(msg::kXmodemCancelledByPeer);
        case xmodem::End::kCancelledByUser:
            return std::string(msg::kXmodemCancelledByUser);
        case xmodem::End::kTooManyRetries:
            return std::string(msg::kXmodemTooManyRetries) + failedBlock +
                   std::string(msg::kXmodemCanSent);
        case xmodem::End::kNoStart:
            return std::string(msg::kXmodemNoStart);
        case xmodem::End::kTimeout:
            return std::string(msg::kXmodemTimeout);
        case xmodem::End::kLineLost:
        case xmodem::End::kRunning:
            break;
    }
    return std::string(msg::kXmodemLineLost) + CountToDecimal(event.progress.blocks + 1);
}

}  // namespace velotrix
