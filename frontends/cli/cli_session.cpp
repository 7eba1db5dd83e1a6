// The engine session behind every velotrix-cli command: printing events, waiting, reporting.
#include "frontends/cli/cli_session.h"

#include <algorithm>
#include <type_traits>
#include <utility>
#include <variant>

#include "serial/error_texts.h"
#include "serial/line_options.h"
#include "serial/xmodem_transfer.h"
#include "text/cp1252.h"
#include "text/text_helpers.h"
#include "ui-resources/messages.h"

namespace velotrix::cli {

namespace {

using std::chrono::milliseconds;

// How often a wait looks at the interrupt flag and redraws the progress line.
constexpr milliseconds kPumpSlice{100};

template <typename T>
std::optional<T> Choose(std::span<const OptionEntry<T>> entries, const std::string& label) {
    return EntryValue(entries, EntryIndex(entries, label));
}

}  // namespace

std::string ForTerminal(std::string_view cp1252) {
    // Listing lines, the most of what is printed, are plain ASCII and stay as they are.
    if (std::all_of(cp1252.begin(), cp1252.end(), [](char c) { return c >= 0x20 && c < 0x7F; })) {
        return std::string(cp1252);
    }
    std::string text(cp1252);
    for (char& c : text) {
        switch (static_cast<unsigned char>(c)) {
            case '\n':
                break;
            case '\r':
                c = '\n';
                break;
            // The C1 controls stand for the five bytes code page 1252 leaves undefined.
            case 0x7F:
            case 0x81:
            case 0x8D:
            case 0x8F:
            case 0x90:
            case 0x9D:
                c = '.';
                break;
            default:
                c = static_cast<unsigned char>(c) < 0x20 ? '.' : c;
                break;
        }
    }
    return Cp1252ToUtf8(text);
}

std::string MachineText(std::string_view cp1252) {
    std::string text(cp1252);
    for (char& c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool kept = c == '\n' || c == '\r' || c == '\t' || c == '\b';
        if (!kept && !HasVisibleSign(byte)) {
            c = '.';
        }
    }
    return Cp1252ToUtf8(text);
}

Session::Session(const Terminal& terminal)
    : terminal_(terminal),
      engine_(loop_, terminal.devices, [this](const EngineEvent& event) { OnEvent(event); }) {
    // A command ends when its line is lost; nobody would be there to use the port again.
    engine_.SetAutoReopen(false);
    // An interrupt ends the wait at once: the port is closed without delay.
    loop_.WakeOnInterrupt();
}

Session::~Session() {
    Close();
}

EngineResult Session::Open(const PortInfo& port, const LineOptions& line) {
    LineSettings settings;
    settings.port = port.path;
    settings.baudRate = static_cast<std::uint32_t>(DecimalToInt(line.baud));
    settings.parity = Choose(ParityEntries(), line.parity);
    settings.dataBits = Choose(DataBitsEntries(), line.dataBits);
    settings.stopBits = Choose(StopBitsEntries(), line.stopBits);
    settings.ctsFlow = Choose(FlowEntries(), line.flow);
    engine_.SetModemLine(ModemLine::kDtr, line.dtr);
    engine_.SetModemLine(ModemLine::kRts, line.rts);
    // Errors of the port name it, as the window's port list does.
    SetErrorPrefix(Utf8ToCp1252(port.name) + ": ");
    EngineResult opened = engine_.Open(settings);
    Report(opened);
    // DTR or RTS as the user asked for them may be refused right after the open: the command then
    // stops before anything goes out.
    const int errorsBefore = errorCount_;
    if (opened.ok()) {
        loop_.RunPending();
    }
    SetErrorPrefix({});
    if (errorCount_ > errorsBefore) {
        engine_.Close();
        opened.kind = ErrorKind::kOsError;
    }
    return opened;
}

WaitResult Session::WaitFor(const std::function<bool()>& done, std::optional<milliseconds> limit) {
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        // What a command waits for comes as an event, and an interrupt wakes the loop: nothing
        // needs looking at more often than the progress line is drawn.
        const bool ended =
            loop_.RunUntil([&] { return done() || Interrupted(); }, kPumpSlice, kPumpSlice);
        DrawProgress();
        if (ended) {
            // An interrupt stops a send at once from its handler, so that the send may have ended
            // by the time the loop looks: the interrupt is what ended it.
            return Interrupted() ? WaitResult::kInterrupted : WaitResult::kDone;
        }
        if (limit && std::chrono::steady_clock::now() - start >= *limit) {
            return WaitResult::kTimedOut;
        }
    }
}

bool Session::StartLog(const std::string& path) {
    logging_ = Report(engine_.StartLog(path));
    return logging_;
}

void Session::Close() {
    engine_.Close();
    if (std::exchange(logging_, false)) {
        engine_.StopLog();
        if (const OsError failure = engine_.LogFailure()) {
            PrintError(std::string(msg::kLogFailed) + UserErrorText(failure));
        }
    }
    // What the workers posted before they were joined still belongs to the listing.
    loop_.RunPending();
    ClearProgress();
}

bool Session::Interrupted() const {
    return InterruptStatus() != 0;
}

int Session::InterruptStatus() const {
    return terminal_.interrupted != nullptr ? terminal_.interrupted->load() : 0;
}

void Session::PrintOut(const std::string& utf8) {
    ClearProgress();
    terminal_.out << utf8 << '\n' << std::flush;
}

void Session::List(const std::string& cp1252) {
    List(std::vector<std::string>{cp1252});
}

void Session::List(const std::vector<std::string>& cp1252Lines) {
    if (quiet_ || cp1252Lines.empty()) {
        return;
    }
    // A reception lists hundreds of lines at a time: one write for them all.
    ClearProgress();
    for (const std::string& line : cp1252Lines) {
        terminal_.out << ForTerminal(line) << '\n';
    }
    terminal_.out << std::flush;
}

void Session::ReportLoadFailure(const std::string& path, const LoadOutcome& outcome) {
    const std::string prefix = std::exchange(errorPrefix_, Utf8ToCp1252(path) + ": ");
    PrintError(LoadFailureText(outcome));
    errorPrefix_ = prefix;
}

void Session::PrintError(const std::string& cp1252) {
    PrintWarning(errorPrefix_ + cp1252);
    ++errorCount_;
}

void Session::PrintWarning(const std::string& cp1252) {
    ClearProgress();
    terminal_.err << ForTerminal(cp1252) << '\n' << std::flush;
}

bool Session::Report(const EngineResult& result) {
    if (result.os) {
        PrintError(UserErrorText(result.os));
    } else if (result.kind == ErrorKind::kBadArgument) {
        // These texts name what they concern.
        const std::string prefix = std::exchange(errorPrefix_, {});
        PrintError(result.text);
        errorPrefix_ = prefix;
    } else if (!result.ok() && !result.text.empty()) {
        PrintError(result.text);
    } else if (!result.text.empty()) {
        PrintOut(ForTerminal(result.caption + " " + result.text));
    }
    return result.ok();
}

void Session::OnEvent(const EngineEvent& event) {
    std::visit(
        [this](const auto& e) {
            using E = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<E, LinesEvent>) {
                List(e.lines);
            } else if constexpr (std::is_same_v<E, ReceivedEvent>) {
                anythingReceived_ = true;
            } else if constexpr (std::is_same_v<E, RxHeaderEvent>) {
                rxHeaderSeen_ = true;
                rxHeader_ = e.header;
            } else if constexpr (std::is_same_v<E, ReceptionFinishedEvent>) {
                finished_ = e;
                if (onFinished_) {
                    onFinished_(e);
                }
            } else if constexpr (std::is_same_v<E, ProgressEvent>) {
                if (e.kind == ProgressEvent::Kind::kShow) {
                    progressMaximum_ = e.value;
                    progressValue_ = 0;
                    progressLinesDone_ = 0;
                    meter_.Start(e.value, 0, e.lines);
                } else if (e.kind == ProgressEvent::Kind::kUpdate) {
                    progressValue_ = e.value;
                    progressLinesDone_ = e.lines;
                } else {
                    meter_.Stop();
                }
            } else if constexpr (std::is_same_v<E, SendEndedEvent>) {
                sendEnded_ = true;
                sendCompleted_ = e.completed;
            } else if constexpr (std::is_same_v<E, SendAbortedEvent>) {
                // How far a send got is said also when the listing is quiet; the exit status
                // comes from what ended it.
                PrintWarning(SendAbortedLine(e));
            } else if constexpr (std::is_same_v<E, OsErrorEvent>) {
                Report(OsErrorResult(e.error));
            } else if constexpr (std::is_same_v<E, BaudChangedEvent>) {
                PrintOut(ForTerminal(BaudChangedLine(e)));
            } else if constexpr (std::is_same_v<E, FrameNotTakenEvent>) {
                PrintWarning(FrameNotTakenLine(e));
            } else if constexpr (std::is_same_v<E, SelfTestEndedEvent>) {
                selfTest_ = e.report;
            } else if constexpr (std::is_same_v<E, TerminalBytesEvent>) {
                if (!quiet_) {
                    ClearProgress();
                    terminal_.out << MachineText({reinterpret_cast<const char*>(e.bytes.data()),
                                                  e.bytes.size()})
                                  << std::flush;
                }
            } else if constexpr (std::is_same_v<E, PromptEvent>) {
                promptArrived_ = e.arrived;
                if (!e.arrived) {
                    PrintError(PromptTimeoutLine(e));
                } else {
                    Report(e.started);
                }
            } else if constexpr (std::is_same_v<E, XmodemProgressEvent>) {
                xmodemProgress_ = e;
                // A reception has no end to measure against.
                if (e.total > 0 && !meter_.Running()) {
                    meter_.Start(static_cast<std::uint32_t>(e.total));
                }
            } else if constexpr (std::is_same_v<E, XmodemEndedEvent>) {
                xmodemProgress_.reset();
                meter_.Stop();
                xmodemEnded_ = e;
                // A failed transfer's lines are its errors.
                for (const std::string& line : XmodemEndLines(e)) {
                    if (e.end == xmodem::End::kDone) {
                        List(line);
                    } else {
                        PrintError(line);
                    }
                }
            } else if constexpr (std::is_same_v<E, LineLostEvent>) {
                lineLost_ = true;
                PrintError(std::string(msg::kLineLost) + UserErrorText(e.error));
            }
        },
        event);
}

void Session::DrawProgress() {
    if (!terminal_.showProgress) {
        return;
    }
    std::string line;
    if (xmodemProgress_) {
        line = XmodemProgressText(xmodemProgress_->progress);
        if (meter_.Running()) {
            line += "  " + meter_.Text(static_cast<std::uint32_t>(xmodemProgress_->progress.bytes));
        }
    } else if (meter_.Running()) {
        line = std::to_string(progressValue_) + " / " + std::to_string(progressMaximum_) +
               std::string(msg::kCliBytes) + "  " + meter_.Text(progressValue_, progressLinesDone_);
    }
    line = ForTerminal(line);
    if (line != progressLine_) {
        terminal_.err << "\r" << line << "\x1b[K" << std::flush;
        progressLine_ = line;
    }
}

void Session::ClearProgress() {
    if (!progressLine_.empty()) {
        terminal_.err << "\r\x1b[K" << std::flush;
        progressLine_.clear();
    }
}

}  // namespace velotrix::cli
