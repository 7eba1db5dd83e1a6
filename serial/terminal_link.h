// The terminal's side of the engine. While the terminal is open it is the default taker of the
// received bytes: what no transfer takes is shown, a z80 reception starts only when asked for and
// hands the line back after its silence, and a send may wait for the machine's prompt first.
// Everything here runs on the UI thread, where the received batches arrive one after the other,
// so that each byte goes to exactly one place.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "serial/byte_taker.h"
#include "serial/engine_events.h"

namespace velotrix {

// The longest prompt a send may wait for; more would not be a prompt.
inline constexpr std::size_t kMaxPromptLength = 40;
// How long BREAK holds the line, as tcsendbreak() does at least.
inline constexpr std::chrono::milliseconds kBreakDuration{250};

class TerminalLink final : public ByteTaker {
  public:
    // receptions: the default taker of the slot while the terminal is closed.
    TerminalLink(const EventEmitter& events, ReceivedBytesSlot& slot, ByteTaker& receptions)
        : events_(events), slot_(slot), receptions_(receptions) {}
    ~TerminalLink() override;  // gives the slot back to the reception, stops the prompt's timer
    TerminalLink(const TerminalLink&) = delete;
    TerminalLink& operator=(const TerminalLink&) = delete;

    // Open, the terminal takes what no other taker does (a reception that runs goes on to its end
    // first); closed, the reception again. Closing forgets a prompt awaited.
    void SetOpen(bool open);
    bool Open() const { return open_; }

    // "Empfang starten": the reception takes the next bytes until it has ended (refused while
    // another taker holds the line); asked false: no longer.
    EngineResult AskReception(bool asked);
    // The reception holds the line while the terminal is open.
    bool ReceptionAsked() const { return open_ && slot_.Holds(receptions_); }
    // A reception has ended: the terminal takes the line again.
    void ReceptionEnded() { slot_.Remove(receptions_); }

    // A batch for the terminal: shown, and looked through for the prompt awaited.
    void OnBytes(std::span<const std::uint8_t> batch) override;
    void OnPortClosed(bool lost) override;
    bool ShowsEverything() const override { return true; }
    // Bytes were typed: only what comes after them counts as an answer.
    void Typed() { seen_.clear(); }

    // Calls send once text has come since the last bytes typed (at once when it has already),
    // and tells the send's result with PromptEvent; after timeout without it, PromptEvent tells
    // that nothing was sent. Refused while another prompt is awaited, or the terminal is closed.
    EngineResult AwaitPrompt(const std::string& text, std::chrono::milliseconds timeout,
                             std::function<EngineResult()> send);
    // Nothing more is awaited (the port closes); nothing is told.
    void CancelPrompt();
    bool AwaitingPrompt() const { return static_cast<bool>(send_); }

  private:
    bool SeenPrompt();
    void Answered();
    void TimedOut();

    const EventEmitter& events_;
    ReceivedBytesSlot& slot_;
    ByteTaker& receptions_;
    bool open_ = false;
    // What came since the last bytes typed, as far as a prompt could reach back.
    std::string seen_;
    std::string prompt_;
    std::chrono::milliseconds timeout_{};
    std::function<EngineResult()> send_;
};

}  // namespace velotrix
