// The terminal's side of the engine. While the terminal is open, the bytes that no transfer takes
// are the terminal's: a z80 reception starts only when asked for and hands the line back after its
// silence, and a send may wait for the machine's prompt first. Everything here runs on the UI
// thread, where the received batches arrive one after the other, so that each byte goes to
// exactly one place.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "serial/engine_events.h"

namespace velotrix {

// The longest prompt a send may wait for; more would not be a prompt.
inline constexpr std::size_t kMaxPromptLength = 40;
// How long BREAK holds the line, as tcsendbreak() does at least.
inline constexpr std::chrono::milliseconds kBreakDuration{250};

// "Keine Antwort: ">" kam nicht innerhalb von 10 s, nichts gesendet"
std::string PromptTimeoutLine(const PromptEvent& event);

class TerminalLink {
  public:
    explicit TerminalLink(const EventEmitter& events) : events_(events) {}
    ~TerminalLink();  // stops the prompt's timer, whose task refers to this link
    TerminalLink(const TerminalLink&) = delete;
    TerminalLink& operator=(const TerminalLink&) = delete;

    // receiving: a reception runs now; it goes on to its end before the terminal takes the line.
    // Closing forgets a reception asked for and a prompt awaited.
    void SetOpen(bool open, bool receiving);
    bool Open() const { return open_; }
    // Whether the next batch is the terminal's.
    bool TakesBytes() const { return open_ && !receptionAsked_; }

    // The next bytes form a reception (until it ends), or no longer do.
    void AskReception(bool asked) { receptionAsked_ = open_ && asked; }
    bool ReceptionAsked() const { return receptionAsked_; }
    // The reception has ended: the terminal takes the line again.
    void ReceptionEnded() { receptionAsked_ = false; }

    // A batch for the terminal: shown, and looked through for the prompt awaited.
    void Take(std::span<const std::uint8_t> batch);
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
    bool open_ = false;
    bool receptionAsked_ = false;
    // What came since the last bytes typed, as far as a prompt could reach back.
    std::string seen_;
    std::string prompt_;
    std::chrono::milliseconds timeout_{};
    std::function<EngineResult()> send_;
};

}  // namespace velotrix
