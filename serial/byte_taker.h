// Who takes the received bytes now. One slot holds one taker at a time: the reception (listing,
// header, saving) unless another has been installed, such as the adapter self-test while it runs,
// a protocol that answers what it receives, or a terminal. The port's life hands every batch,
// every report of line errors and the port's end to the taker in the slot, and only to it, so
// that no byte is taken twice and none goes to a taker that has gone.
//
// To add a taker: implement ByteTaker; install it with ReceivedBytesSlot::Install (refused while
// another holds the slot or a reception runs); time its waits with WaitForSilence, which ends
// with the taker's removal; remove it with Remove once done, at the latest before it is
// destroyed. Everything here runs on the UI thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>

#include "platform/serial_device.h"
#include "platform/ui_loop.h"

namespace velotrix {

class ByteTaker {
  public:
    virtual ~ByteTaker() = default;

    // A batch of received bytes in the order they came from the line; never empty. Batches come
    // as the receive thread reads them: their sizes say nothing about the sender's blocks.
    virtual void OnBytes(std::span<const std::uint8_t> batch) = 0;
    // The driver counted line errors (framing, parity, overrun, break). The bytes they disturbed
    // have been thrown away, and the receive thread reads again only after a pause.
    virtual void OnLineErrors(const LineErrors& errors) { (void)errors; }
    // The silence asked for with WaitForSilence has passed without another call of it.
    virtual void OnSilence() {}
    // The user is about to close the port: what the taker must still tell the other side (a
    // protocol's cancel) goes out now.
    virtual void OnPortClosing() {}
    // The port has closed: lost when the device failed or went away, else the user closed it.
    // The taker stays in the slot until it removes itself.
    virtual void OnPortClosed(bool lost) { (void)lost; }

    // While true, the faces' sends (file, text, text file) are refused: the taker has the line to
    // itself (it sends what it needs through the engine's own calls).
    virtual bool KeepsLineToItself() const { return false; }
    // While true, no other taker may be installed: the taker is in the middle of something that
    // must not be cut (the reception from its first byte until it is finished).
    virtual bool Busy() const { return false; }
    // True for a default taker that shows every byte as it comes (the terminal): a protocol hands
    // the line back to it at once when it ends, instead of swallowing what follows.
    virtual bool ShowsEverything() const { return false; }
};

class ReceivedBytesSlot {
  public:
    // The default taker holds the slot whenever no other does; both must outlive the slot's use.
    ReceivedBytesSlot(UiLoop& loop, ByteTaker& defaultTaker)
        : loop_(loop), default_(&defaultTaker), holder_(&defaultTaker) {}
    ~ReceivedBytesSlot();
    ReceivedBytesSlot(const ReceivedBytesSlot&) = delete;
    ReceivedBytesSlot& operator=(const ReceivedBytesSlot&) = delete;

    // taker holds the slot from now on. False, and nothing changes, while another taker than the
    // default one holds it, or the one that holds it is busy.
    bool Install(ByteTaker& taker);
    // The default taker holds the slot again, if taker held it; taker's silence is no longer
    // awaited. Nothing for a taker that does not hold the slot.
    void Remove(const ByteTaker& taker);
    bool Holds(const ByteTaker& taker) const { return holder_ == &taker; }
    // No other taker than the default holds the slot: another may be installed unless the default
    // is busy.
    bool DefaultHolds() const { return holder_ == default_; }
    // Whether the faces' sends are refused now (see ByteTaker::KeepsLineToItself).
    bool KeepsLine() const { return holder_->KeepsLineToItself(); }
    // Another default taker from now on (the terminal while it is open, the reception again
    // after it); it must outlive the slot's use too. A default that holds the slot and is busy
    // (a reception that runs) keeps it until it is no longer busy: not a byte of it goes astray.
    void SetDefault(ByteTaker& taker);
    bool DefaultShowsEverything() const { return default_->ShowsEverything(); }

    // Calls taker's OnSilence once silence has passed from now, unless asked again before (which
    // starts the wait afresh), stopped, or taker leaves the slot. Nothing for a taker that does
    // not hold the slot. A taker asks again after each batch to wait for the line's silence.
    // Silence is time without bytes on the line, not time this process did not run: while bytes
    // wait to be handed over (see SetInputWaiting), the wait does not end.
    void WaitForSilence(const ByteTaker& taker, std::chrono::milliseconds silence);
    // Tells whether received bytes wait to be handed over (the port's life asks the driver).
    void SetInputWaiting(std::function<bool()> waiting) { inputWaiting_ = std::move(waiting); }
    void StopSilence(const ByteTaker& taker);

    // What the line brought, for the taker in the slot (the port's life and the engine).
    void TakeBytes(std::span<const std::uint8_t> batch);
    void TakeLineErrors(const LineErrors& errors);
    void PortClosing();
    void PortClosed(bool lost);

  private:
    void SilenceOver();
    // A former default that has finished what kept it busy leaves the slot to the default.
    void Settle();

    UiLoop& loop_;
    ByteTaker* default_;
    ByteTaker* holder_;
    std::function<bool()> inputWaiting_;
    ByteTaker* leaving_ = nullptr;  // a former default that holds the slot while it is busy
};

}  // namespace velotrix
