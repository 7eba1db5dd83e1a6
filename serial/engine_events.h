// What the engine reports after its calls have returned: events, delivered on the UI thread in the
// order they happened, and the results of the calls themselves.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "platform/serial_device.h"
#include "platform/ui_loop.h"
#include "serial/xmodem.h"

namespace velotrix {

// The outcome of an engine call: ok, or why not, with the text to show (code page 1252).
enum class ErrorKind {
    kNone,
    kBadArgument,      // a setting or value the engine cannot use
    kNoPort,           // no port was chosen
    kOsError,          // the OS refused; os carries its code
    kPortLost,         // the device went away
    kBusy,             // a send is running
    kNotOpen,          // the port is closed
    kNothingToSend,    // no file loaded
    kNothingToSave,    // no finished reception
    kFileError,        // a file could not be read or written
    kSettingsRefused,  // the driver refused the line settings; os carries its code
    kLinesWouldJoin,   // a text file's lines would arrive as one: no line end chosen
};

struct EngineResult {
    ErrorKind kind = ErrorKind::kNone;
    std::string text;     // the box text; may accompany success (a notice)
    std::string caption;  // the box caption
    OsError os;

    bool ok() const { return kind == ErrorKind::kNone; }
};

// The refusal of a send (or of the text dialog) while a sender runs.
EngineResult BusyResult();
// The result of an OS error, for every call that reports one: the port lost when the device has
// gone, else the OS's refusal.
EngineResult OsErrorResult(const OsError& error);

// Lines for the MessageList (code page 1252). scrollToEnd: the list shows its last line afterwards.
struct LinesEvent {
    std::vector<std::string> lines;
    bool scrollToEnd = false;
};

// The MessageList starts afresh (a continuous send lists only its start line).
struct MessagesClearedEvent {};

// Received bytes have been stored; total counts the bytes of this reception so far. The lines
// they completed came just before, and the list repaints what it gained by itself.
struct ReceivedEvent {
    std::uint32_t total = 0;
};

// The first 32 bytes of a reception and what they say; header is empty for a BIN reception.
struct RxHeaderInfo {
    char typeLetter = 0;
    std::uint16_t aadr = 0;
    std::uint16_t eadr = 0;
    std::uint16_t sadr = 0;
    std::string name;  // code page 1252, as the header holds it
};
struct RxHeaderEvent {
    std::optional<RxHeaderInfo> header;
};

// A reception has ended (a second of silence): it can now be saved.
struct ReceptionFinishedEvent {
    std::uint16_t crc = 0;         // over the data behind the header
    std::uint32_t dataLength = 0;  // bytes behind the header
    std::uint32_t total = 0;       // every byte stored
    std::uint32_t dropped = 0;     // bytes that found the storage full
    bool hasHeader = false;
    // The data bytes a header promised when fewer came (a transfer cut short); else 0.
    std::uint32_t promised = 0;
    // Ended by a lost line or on request, not by silence: more may have been on its way.
    bool cutShort = false;
};

// Whether the reception lacks bytes: cut short, the storage full, or fewer than its header
// promised. Such a reception is saved under a name that says so.
inline bool Incomplete(const ReceptionFinishedEvent& event) {
    return event.cutShort || event.dropped > 0 || event.promised > 0;
}

// A send's progress: shown with its maximum, advanced, hidden.
struct ProgressEvent {
    enum class Kind { kShow, kUpdate, kHide } kind = Kind::kUpdate;
    std::uint32_t value = 0;  // the maximum for kShow, the bytes sent for kUpdate
};

// Bytes are being written: the BIN switch must not change under them (active), or they are done.
struct BlocksEvent {
    bool active = false;
};

// A continuous send started or ended.
struct ContinuousEvent {
    bool running = false;
};

// The sender thread ended. restoreOpen: a single file send is over and the port is still open.
// completed: everything the send set out to write has left the PC (never for a continuous send).
struct SendEndedEvent {
    bool restoreOpen = false;
    bool completed = false;
};

// A send ended before all its bytes had left the PC (closed, the line lost, a write refused):
// how many of its bytes left, of how many. pass: the pass of a continuous send it ended in, 0 for
// a single send.
struct SendAbortedEvent {
    std::uint32_t sent = 0;
    std::uint32_t total = 0;
    std::uint32_t pass = 0;
};

// The OS refused an operation on the open port; the port stays open.
struct OsErrorEvent {
    OsError error;
};

// The device failed for good (unplugged): the port has been closed.
struct LineLostEvent {
    OsError error;
};

struct CtsEvent {
    bool cts = false;
};

// The status lines the other side drives: at the open, and when DSR, DCD, RI or CTS changed.
struct ModemStatusEvent {
    ModemStatus status;
};

// The lost port's device came back and was opened again with the same settings.
struct ReopenedEvent {
    PortInfo port;
    std::optional<bool> ctsFlow;  // the flow control of the settings
    bool cts = false;             // the CTS line now
};

// The driver set another baud rate than the one asked for.
struct BaudChangedEvent {
    std::uint32_t asked = 0;
    std::uint32_t applied = 0;
};

// The driver opened the port with another character frame than chosen and took the rest, as a
// pseudo-terminal, which knows only 8N1, does: the chosen settings it did not take.
struct FrameNotTakenEvent {
    std::string settings;
};

// The port opened or closed, or DTR or RTS changed: what the PC drives them to while it is open.
struct ModemLinesEvent {
    bool open = false;
    bool dtr = true;
    bool rts = true;
};

// What the adapter self-test found, with TX and RX bridged at the plug.
struct SelfTestReport {
    bool answered = false;  // anything came back (bytes or line errors) within two seconds
    std::uint32_t sent = 0;
    std::uint32_t lost = 0;
    std::uint32_t changed = 0;       // also bytes that came back beyond the pattern
    std::uint32_t parityErrors = 0;  // the driver's reports of them
    std::uint32_t framingErrors = 0;
    std::uint32_t expectedBaud = 0;  // the rate the driver set
    std::uint32_t reachedBaud = 0;   // 0 when too little came back to measure
    bool Passed() const { return answered && lost == 0 && changed == 0; }
};
struct SelfTestEndedEvent {
    SelfTestReport report;
};

// An XMODEM transfer runs: what has passed, at its start and after each block or retry.
struct XmodemProgressEvent {
    bool sending = false;
    xmodem::Progress progress;
    std::uint64_t total = 0;  // the file's bytes when sending; 0 when receiving
};

// An XMODEM transfer has ended; a reception's file follows as the finished reception.
struct XmodemEndedEvent {
    bool sending = false;
    xmodem::End end = xmodem::End::kDone;
    xmodem::Progress progress;
};

// Received bytes that the terminal takes (while it is open and no transfer takes them).
struct TerminalBytesEvent {
    std::vector<std::uint8_t> bytes;
};

// A send waited for the machine's prompt: it came and the send was started (started holds that
// call's result), or the time ran out and nothing was sent.
struct PromptEvent {
    bool arrived = false;
    std::string prompt;  // code page 1252
    std::chrono::milliseconds timeout{};
    EngineResult started;
};

using EngineEvent =
    std::variant<LinesEvent, MessagesClearedEvent, ReceivedEvent, RxHeaderEvent,
                 ReceptionFinishedEvent, ProgressEvent, BlocksEvent, ContinuousEvent,
                 SendEndedEvent, SendAbortedEvent, OsErrorEvent, LineLostEvent, CtsEvent,
                 ReopenedEvent, BaudChangedEvent, FrameNotTakenEvent, ModemLinesEvent,
                 SelfTestEndedEvent, XmodemProgressEvent, XmodemEndedEvent, ModemStatusEvent,
                 TerminalBytesEvent, PromptEvent>;

using EngineSubscriber = std::function<void(const EngineEvent&)>;

// Delivers events to the subscriber: directly on the UI thread, or posted from a worker. A posted
// event whose emitter has gone away is dropped.
class EventEmitter {
  public:
    EventEmitter(UiLoop& loop, EngineSubscriber subscriber)
        : loop_(loop), subscriber_(std::make_shared<EngineSubscriber>(std::move(subscriber))) {}

    // UI thread.
    void Emit(const EngineEvent& event) const {
        if (*subscriber_) {
            (*subscriber_)(event);
        }
    }
    // Any thread.
    void Post(EngineEvent event) const {
        loop_.Post([weak = std::weak_ptr<EngineSubscriber>(subscriber_), event = std::move(event)] {
            if (const auto subscriber = weak.lock(); subscriber && *subscriber) {
                (*subscriber)(event);
            }
        });
    }
    void PostLines(std::vector<std::string> lines, bool scrollToEnd = false) const {
        Post(LinesEvent{std::move(lines), scrollToEnd});
    }

    UiLoop& Loop() const { return loop_; }

  private:
    UiLoop& loop_;
    std::shared_ptr<EngineSubscriber> subscriber_;
};

}  // namespace velotrix
