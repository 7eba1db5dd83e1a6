// Runs velotrix-cli commands on the engine: its events printed as the window's MessageList shows
// them, its results and events deciding the exit status.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "frontends/cli/cli_options.h"
#include "platform/manual_loop.h"
#include "serial/engine.h"
#include "serial/progress_meter.h"

namespace velotrix::cli {

struct Terminal {
    std::ostream& out;  // the MessageList and the results
    std::ostream& err;  // errors, hints and the progress line
    // Progress is drawn on err only where a person watches it.
    bool showProgress = false;
    // Set from a signal handler to the exit status it asks for: the running command closes the
    // port and ends with it.
    const std::atomic<int>* interrupted = nullptr;
    // Where the commands find serial devices.
    DeviceAccess devices = {};
};

// Carries out a parsed command (not kHelp); returns the exit status.
int RunCommand(const Options& options, const Terminal& terminal);

enum class WaitResult { kDone, kTimedOut, kInterrupted };

// One engine on a real-clock loop, and what its events have told so far.
class Session {
  public:
    explicit Session(const Terminal& terminal);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Engine& GetEngine() { return engine_; }

    // Opens the port with the line settings and DTR and RTS as asked; a failure's reason is
    // printed. A line that cannot be set as asked closes the port again: a failure.
    EngineResult Open(const PortInfo& port, const LineOptions& line);
    // Starts the line log into the file at path (UTF-8); a failure's reason is printed.
    bool StartLog(const std::string& path);
    // Pumps the loop until done holds, the time is up or the user interrupted.
    WaitResult WaitFor(const std::function<bool()>& done,
                       std::optional<std::chrono::milliseconds> limit);
    // Closes the port (which stops any send) and shows what the workers posted before; ends the
    // line log, and fails the command when the log could not be written.
    void Close();

    void PrintOut(const std::string& utf8);
    // A line of the window's MessageList (code page 1252), unless quiet; or several.
    void List(const std::string& cp1252);
    void List(const std::vector<std::string>& cp1252Lines);
    // Why the file at path could not be loaded, behind its name; the command fails.
    void ReportLoadFailure(const std::string& path, const LoadOutcome& outcome);
    // An error in code page 1252, behind the prefix; the command fails.
    void PrintError(const std::string& cp1252);
    // A warning on err that does not make the command fail.
    void PrintWarning(const std::string& cp1252);
    void SetErrorPrefix(std::string cp1252) { errorPrefix_ = std::move(cp1252); }
    // Quiet: the MessageList's lines are not printed, only results and errors.
    void SetQuiet(bool quiet) { quiet_ = quiet; }
    // The result's text (or OS error) printed: errors to err, notices to out. False for a failure.
    bool Report(const EngineResult& result);

    bool Failed() const { return errorCount_ > 0; }
    bool Interrupted() const;
    // The exit status the interrupt asks for (130 Ctrl+C, 143 SIGTERM).
    int InterruptStatus() const;
    // What the events said.
    bool SendEnded() const { return sendEnded_; }
    bool SendCompleted() const { return sendCompleted_; }
    // The next send's end is awaited (one send follows another).
    void ForgetSendEnd() { sendEnded_ = sendCompleted_ = false; }
    // The prompt a send waited for: nothing yet, or whether it came.
    const std::optional<bool>& PromptArrived() const { return promptArrived_; }
    bool AnythingReceived() const { return anythingReceived_; }
    const std::optional<ReceptionFinishedEvent>& Finished() const { return finished_; }
    // Whether the reception reached the header's end, and what the header said (none: BIN).
    bool RxHeaderSeen() const { return rxHeaderSeen_; }
    const std::optional<RxHeaderInfo>& RxHeader() const { return rxHeader_; }
    bool LineLost() const { return lineLost_; }
    const std::optional<SelfTestReport>& SelfTestResult() const { return selfTest_; }
    const std::optional<XmodemEndedEvent>& XmodemEnded() const { return xmodemEnded_; }
    // Called for each finished reception as soon as it is shown, before another can begin.
    void SetReceptionHandler(std::function<void(const ReceptionFinishedEvent&)> handler) {
        onFinished_ = std::move(handler);
    }

  private:
    void OnEvent(const EngineEvent& event);
    void DrawProgress();
    void ClearProgress();

    const Terminal& terminal_;
    ManualLoop loop_{ManualLoop::Clock::kReal};
    Engine engine_;
    std::string errorPrefix_;
    std::string progressLine_;
    // The send's bytes: all, and those gone; the meter runs while a send (also by XMODEM) does.
    std::uint32_t progressMaximum_ = 0;
    std::uint32_t progressValue_ = 0;
    std::uint32_t progressLinesDone_ = 0;  // of a send of lines (HEX text)
    ProgressMeter meter_{loop_};
    int errorCount_ = 0;
    bool quiet_ = false;
    bool logging_ = false;
    bool sendEnded_ = false;
    bool sendCompleted_ = false;
    bool anythingReceived_ = false;
    bool lineLost_ = false;
    bool rxHeaderSeen_ = false;
    std::optional<ReceptionFinishedEvent> finished_;
    std::function<void(const ReceptionFinishedEvent&)> onFinished_;
    std::optional<RxHeaderInfo> rxHeader_;
    std::optional<SelfTestReport> selfTest_;
    std::optional<bool> promptArrived_;
    std::optional<XmodemProgressEvent> xmodemProgress_;  // while a transfer runs
    std::optional<XmodemEndedEvent> xmodemEnded_;
};

// Code page 1252 text as the terminal shows it: UTF-8, line breaks for carriage returns, and no
// control characters (a header name comes from the line and must not drive the terminal).
std::string ForTerminal(std::string_view cp1252);
// What the machine's console sends, as the terminal shows it: UTF-8, its line ends, tabs and
// backspaces kept, other control bytes (escape sequences too) as '.'.
std::string MachineText(std::string_view cp1252);

}  // namespace velotrix::cli
