// The slot of the received bytes: one taker at a time, and its silence.
#include "serial/byte_taker.h"

#include "ui-resources/ids.h"

namespace velotrix {

ReceivedBytesSlot::~ReceivedBytesSlot() {
    loop_.StopTimer(ids::kSilenceTimer);
}

void ReceivedBytesSlot::SetDefault(ByteTaker& taker) {
    if (holder_ == default_ && holder_ != &taker) {
        if (holder_->Busy()) {
            leaving_ = holder_;
        } else {
            loop_.StopTimer(ids::kSilenceTimer);
            holder_ = &taker;
        }
    }
    if (leaving_ == &taker) {
        leaving_ = nullptr;
    }
    default_ = &taker;
}

void ReceivedBytesSlot::Settle() {
    if (leaving_ != nullptr && holder_ == leaving_ && !leaving_->Busy()) {
        loop_.StopTimer(ids::kSilenceTimer);
        holder_ = default_;
        leaving_ = nullptr;
    }
}

bool ReceivedBytesSlot::Install(ByteTaker& taker) {
    Settle();
    if (holder_ != default_ || holder_->Busy()) {
        return false;
    }
    loop_.StopTimer(ids::kSilenceTimer);
    holder_ = &taker;
    return true;
}

void ReceivedBytesSlot::Remove(const ByteTaker& taker) {
    if (Holds(taker) && holder_ != default_) {
        loop_.StopTimer(ids::kSilenceTimer);
        holder_ = default_;
        leaving_ = nullptr;
    }
}

namespace {

// How soon bytes that waited when a silence ended are looked for again: they are handed over
// within the receive thread's gathering time, which restarts the wait.
constexpr std::chrono::milliseconds kWaitingAgain{20};

}  // namespace

void ReceivedBytesSlot::WaitForSilence(const ByteTaker& taker, std::chrono::milliseconds silence) {
    if (Holds(taker)) {
        loop_.StartTimer(ids::kSilenceTimer, silence, [this] { SilenceOver(); });
    }
}

// A process that was stopped or starved (SIGSTOP, swapping) finds its timer run out while the
// line went on: what waits in the driver is taken before the silence counts.
void ReceivedBytesSlot::SilenceOver() {
    if (inputWaiting_ && inputWaiting_()) {
        loop_.StartTimer(ids::kSilenceTimer, kWaitingAgain, [this] { SilenceOver(); });
        return;
    }
    holder_->OnSilence();
    Settle();
}

void ReceivedBytesSlot::StopSilence(const ByteTaker& taker) {
    if (Holds(taker)) {
        loop_.StopTimer(ids::kSilenceTimer);
    }
}

void ReceivedBytesSlot::TakeBytes(std::span<const std::uint8_t> batch) {
    Settle();
    if (!batch.empty()) {
        holder_->OnBytes(batch);
    }
}

void ReceivedBytesSlot::TakeLineErrors(const LineErrors& errors) {
    holder_->OnLineErrors(errors);
}

void ReceivedBytesSlot::PortClosing() {
    holder_->OnPortClosing();
}

void ReceivedBytesSlot::PortClosed(bool lost) {
    holder_->OnPortClosed(lost);
    Settle();
}

}  // namespace velotrix
