// The velotrix-cli commands: ports, info, send, text and receive (selftest in a file of its own),
// each on its own engine session.
#include <functional>
#include <string>
#include <string_view>

#include "frontends/cli/cli_commands.h"
#include "frontends/cli/cli_header.h"
#include "frontends/cli/cli_session.h"
#include "frontends/cli/cli_watch.h"
#include "image/rx_save.h"
#include "platform/files.h"
#include "serial/error_texts.h"
#include "serial/port_rows.h"
#include "serial/receive_engine.h"
#include "serial/terminal_keys.h"
#include "text/cp1252.h"
#include "text/text_helpers.h"
#include "ui-resources/messages.h"

namespace velotrix::cli {

namespace {

// Loads a file as "BIN/Z80 laden" does, with its MessageList line; why it failed goes to stderr.
bool Load(Session& session, const std::string& path, FormatKind& kind) {
    const LoadOutcome outcome = session.GetEngine().LoadFile(path);
    if (!outcome.loaded) {
        session.ReportLoadFailure(path, outcome);
    }
    if (const std::string note = LoadNoteLine(outcome); !note.empty()) {
        session.List(note);
    }
    kind = outcome.kind;
    return outcome.loaded;
}

}  // namespace

bool OpenPort(Session& session, const Options& options) {
    // The log begins before the port opens, so that it holds the opening too.
    if (options.log && !session.StartLog(*options.log)) {
        return false;
    }
    const PortInfo port = ResolvePort(options.port);
    const EngineResult opened = session.Open(port, options.line);
    // A rate of the user's own is the likely setting a driver refuses; a busy or missing port
    // says nothing about the rate.
    if (opened.kind == ErrorKind::kSettingsRefused &&
        EntryIndex(BaudEntries(), options.line.baud) < 0) {
        session.PrintError(std::string(msg::kCliTheBaudRate) + options.line.baud +
                           std::string(msg::kDriverRefusesBaud));
    }
    // The window lists these when CTS is chosen; a send held by CTS may never end.
    if (opened.ok() && options.command != Command::kReceive &&
        EntryValue(FlowEntries(), EntryIndex(FlowEntries(), options.line.flow)).value_or(false)) {
        for (std::string_view warning : msg::kCtsWarning) {
            session.PrintWarning(std::string(warning));
        }
    }
    return opened.ok();
}

namespace {

// The data bytes a HEX record of that form holds; 0 when it is no HEX text.
int HexRecordBytes(SendAs as) {
    return as == SendAs::kHex ? 16 : as == SendAs::kHex32 ? 32 : 0;
}

int ExitStatus(bool ok) {
    return ok ? kExitOk : kExitFailure;
}

// Waits for the send just started, which ends by itself, with the line, or by an interrupt; the
// exit status.
int WaitForSend(Session& session) {
    const WaitResult result =
        session.WaitFor([&] { return session.SendEnded() || session.LineLost(); }, std::nullopt);
    session.Close();
    if (result == WaitResult::kInterrupted) {
        session.PrintError(std::string(msg::kInterrupted));
        return session.InterruptStatus();
    }
    return ExitStatus(session.SendCompleted() && !session.Failed());
}

// The exit status of a command that stopped before its send: interrupted, or failed.
int EndFailed(Session& session) {
    session.Close();
    if (session.Interrupted()) {
        session.PrintError(std::string(msg::kInterrupted));
        return session.InterruptStatus();
    }
    return kExitFailure;
}

// Waits for a send that must end before the next begins (typed keys, a BREAK); false when it
// failed, the line was lost or the user interrupted.
bool FinishStep(Session& session) {
    const WaitResult result =
        session.WaitFor([&] { return session.SendEnded() || session.LineLost(); }, std::nullopt);
    const bool done = result == WaitResult::kDone && session.SendCompleted() && !session.Failed();
    session.ForgetSendEnd();
    return done;
}

// Types the command line, then starts the send once the machine's prompt answered it; true when
// the send runs.
bool SendAfterCommand(Session& session, const Options& options,
                      const std::function<EngineResult()>& send) {
    Engine& engine = session.GetEngine();
    // The machine's answers go to the terminal, and no send throws them away.
    engine.SetTerminal(true);
    if (options.typedCommand &&
        (!session.Report(
             engine.Type(*options.typedCommand +
                         LineEndBytes(EnterLineEnd(options.lineEnd.value_or(LineEnd::kNone))))) ||
         !FinishStep(session))) {
        return false;
    }
    if (!options.expect) {
        return session.Report(send());
    }
    if (!session.Report(engine.SendAfterPrompt(
            *options.expect, std::chrono::seconds(options.promptSeconds), send))) {
        return false;
    }
    const WaitResult result = session.WaitFor(
        [&] { return session.PromptArrived().has_value() || session.LineLost(); }, std::nullopt);
    return result == WaitResult::kDone && session.PromptArrived().value_or(false) &&
           !session.Failed();
}

// An XMODEM transfer has ended once its last bytes have left (or the line is lost).
bool XmodemOver(const Session& session) {
    return session.XmodemEnded() && (session.SendEnded() || session.LineLost());
}

int RunPorts(const Terminal& terminal) {
    Session session(terminal);
    const std::vector<PortRow> rows = session.GetEngine().ListPorts();
    if (rows.empty()) {
        session.PrintError(std::string(msg::kNoPortsFound));
        return kExitFailure;
    }
    // A name or path from VELOTRIX_PORTS must neither drive the terminal nor split its row.
    for (const PortRow& row : rows) {
        session.PrintOut(PrintableUtf8(Cp1252ToUtf8(PortRowText(row))) + '\t' +
                         PrintableUtf8(row.port.path));
    }
    return kExitOk;
}

int RunInfo(const Options& options, const Terminal& terminal) {
    bool ok = true;
    bool first = true;
    for (const std::string& file : options.files) {
        Session session(terminal);
        FormatKind kind = FormatKind::kBin;
        if (!Load(session, file, kind)) {
            ok = false;
            continue;
        }
        if (!first) {
            session.PrintOut("");
        }
        first = false;
        // Several blocks would not say whose header each is.
        if (options.files.size() > 1) {
            session.PrintOut(file + ':');
        }
        PrintHeader(session, TxHeaderLines(session.GetEngine().Image(), kind));
        WarnIfDataWrap(session);
    }
    return ExitStatus(ok);
}

int RunSend(const Options& options, const Terminal& terminal) {
    Session session(terminal);
    session.SetQuiet(options.quiet);
    Engine& engine = session.GetEngine();
    FormatKind kind = FormatKind::kBin;
    // The file first: opening the port raises DTR and RTS, which resets some home computers.
    if (!Load(session, options.files.front(), kind) || !OpenPort(session, options)) {
        return kExitFailure;
    }
    if (options.aadr) {
        engine.SetLoadAddress(HexToValue(*options.aadr));
    }
    if (options.sadr) {
        engine.SetStartAddress(HexToValue(*options.sadr));
    }
    if (options.name) {
        engine.SetName(*options.name);
    }
    if (options.typeLetter) {
        engine.SetTypeLetter(*options.typeLetter);
    }
    WarnIfDataWrap(session);
    engine.SetPause(options.pauseIndex);
    engine.SetContinuousSend(options.continuous);
    engine.SetBinMode(options.binMode);
    engine.SetShowProgress(options.showProgress);
    engine.SetCharDelay(options.charDelayMs);
    engine.SetHexRecords(HexRecordBytes(options.sendAs));
    // A monitor reads HEX text line by line: CR+LF unless another end is asked for.
    engine.SetLineEnd(options.lineEnd.value_or(LineEnd::kCrLf));
    engine.SetLineDelay(options.lineDelayMs);
    const bool xmodem = options.sendAs == SendAs::kXmodem || options.sendAs == SendAs::kXmodem1k;
    const std::function<EngineResult()> send = [&engine, &options, xmodem] {
        return xmodem ? engine.SendXmodem(options.sendAs == SendAs::kXmodem1k) : engine.SendFile();
    };
    // Watching starts before the first send, so that no rewrite after the load goes unseen.
    if (!xmodem && options.watch && !session.Report(WatchAndResend(session))) {
        return kExitFailure;
    }
    const bool started = options.typedCommand || options.expect
                             ? SendAfterCommand(session, options, send)
                             : session.Report(send());
    if (!started) {
        return EndFailed(session);
    }
    if (xmodem) {
        const WaitResult result =
            session.WaitFor([&] { return XmodemOver(session); }, std::nullopt);
        session.Close();
        if (result == WaitResult::kInterrupted) {
            session.PrintError(std::string(msg::kInterrupted));
            return session.InterruptStatus();
        }
        return ExitStatus(session.XmodemEnded()->end == xmodem::End::kDone && !session.Failed());
    }
    return options.watch ? WaitWhileWatching(session) : WaitForSend(session);
}

int RunText(const Options& options, const Terminal& terminal) {
    Session session(terminal);
    session.SetQuiet(options.quiet);
    if (!OpenPort(session, options)) {
        return kExitFailure;
    }
    Engine& engine = session.GetEngine();
    engine.SetContinuousSend(options.continuous);
    engine.SetCharDelay(options.charDelayMs);
    engine.SetLineDelay(options.lineDelayMs);
    const LineEnd lineEnd =
        options.lineEnd.value_or(options.textFile ? LineEnd::kCr : LineEnd::kNone);
    engine.SetLineEnd(lineEnd);
    if (options.breakFirst && (!session.Report(engine.SendBreak()) || !FinishStep(session))) {
        return EndFailed(session);
    }
    if (!options.textFile && !options.textGiven) {
        session.Close();
        return ExitStatus(!session.Failed());
    }
    EngineResult started = options.textFile ? engine.SendTextFile(*options.textFile, lineEnd)
                                            : engine.SendText(options.text);
    if (started.kind == ErrorKind::kLinesWouldJoin) {
        started.text += msg::kCliChooseEol;
    }
    if (!session.Report(started)) {
        return kExitFailure;
    }
    return WaitForSend(session);
}

// Saves the reception at the -o path, or else under the name the window suggests in the -d
// folder, beside a file of that name under a free one. True only when the file the user asked
// for was written; otherwise the bytes are rescued.
bool SaveReception(Session& session, const Options& options) {
    const SavedReception saved = session.GetEngine().SaveReception(
        options.output ? SaveTarget{.kind = SaveTarget::Kind::kFile,
                                    .path = *options.output,
                                    .decoded = options.sendAs == SendAs::kHex}
                       : SaveTarget{.kind = SaveTarget::Kind::kFolder,
                                    .path = options.folder.value_or(""),
                                    .decoded = options.sendAs == SendAs::kHex});
    if (saved.result.ok() && saved.written != saved.asked) {
        session.PrintOut(saved.asked + Cp1252ToUtf8(msg::kExistsSavingAs) + saved.written);
    }
    if (!session.Report(saved.result)) {
        RescueReception(session, saved.asked);
        return false;
    }
    return true;
}

int RunReceive(const Options& options, const Terminal& terminal) {
    Session session(terminal);
    session.SetQuiet(options.quiet);
    Engine& engine = session.GetEngine();
    // A reception must not replace a file by accident.
    if (options.output && !options.force && FileExists(*options.output) != 0) {
        session.PrintError(Utf8ToCp1252(*options.output) + std::string(msg::kExistsUseForce));
        return kExitFailure;
    }
    if (!OpenPort(session, options)) {
        return kExitFailure;
    }
    if (options.xmodem && !session.Report(engine.ReceiveXmodem(options.trimPadding))) {
        return kExitFailure;
    }
    terminal.err << Cp1252ToUtf8(msg::kWaitingPrefix) << options.timeoutSeconds
                 << Cp1252ToUtf8(msg::kCliWaitingFor) << options.port << "..." << std::endl;
    const auto ended = [&] { return session.Finished().has_value() || session.LineLost(); };
    WaitResult result = WaitResult::kDone;
    if (options.xmodem) {
        // XMODEM has waits of its own: 60 s for the sender, 10 s within the transfer.
        result = session.WaitFor([&] { return XmodemOver(session); }, std::nullopt);
    } else {
        result = session.WaitFor([&] { return session.AnythingReceived() || ended(); },
                                 std::chrono::seconds(options.timeoutSeconds));
        if (result == WaitResult::kDone) {
            result = session.WaitFor(ended, std::nullopt);
        }
    }
    session.Close();
    if (result == WaitResult::kInterrupted) {
        // What arrived is kept, as a lost line keeps it.
        engine.FinishReception();
        session.PrintError(std::string(msg::kInterrupted));
    } else if (result == WaitResult::kTimedOut) {
        session.PrintError(std::string(msg::kNothingReceivedPrefix) +
                           std::to_string(options.timeoutSeconds) + " s.");
    }
    const int failure =
        result == WaitResult::kInterrupted ? session.InterruptStatus() : kExitFailure;
    if (!session.Finished() || engine.Reception().empty()) {
        return failure;
    }
    // What arrived is kept, even when the line was lost, the storage overflowed or the header
    // promised more than came; the name says that it is not the whole transfer.
    const ReceptionFinishedEvent& finished = *session.Finished();
    const bool incomplete = Incomplete(finished);
    if (!options.xmodem) {
        PrintHeader(session, RxHeaderLines(session));
    }
    if (finished.promised > 0) {
        session.PrintError(ShortReceptionLine(
            finished.total - static_cast<std::uint32_t>(kHeaderSize), finished.promised));
    }
    const bool saved = SaveReception(session, options);
    if (saved && incomplete) {
        session.PrintError(std::string(msg::kIncompletePrefix) +
                           std::to_string(engine.Reception().size()) +
                           std::string(msg::kIncompleteSuffix));
    }
    if (finished.dropped > 0) {
        session.PrintError(std::string(msg::kBufferFullPrefix) + std::to_string(finished.dropped) +
                           std::string(msg::kBufferFullSuffix));
    }
    return saved && !session.Failed() ? kExitOk : failure;
}

}  // namespace

void RescueReception(Session& session, const std::string& target) {
    std::string name;
    if (FileNameOfPath(target, name) != 0 || name.empty()) {
        name = target;
    }
    int error = 0;
    const std::string folder = PrivateTempDirectory(error);
    if (folder.empty()) {
        return;
    }
    const SavedReception rescued = session.GetEngine().SaveReception(
        {.kind = SaveTarget::Kind::kNewFile,
         .path = folder + std::string(msg::kRescueName) + "-" + name,
         .privately = true});
    if (rescued.result.ok()) {
        session.PrintError(std::string(msg::kRescuedPrefix) + Utf8ToCp1252(rescued.written));
    }
}

int RunCommand(const Options& options, const Terminal& terminal) {
    switch (options.command) {
        case Command::kPorts:
            return RunPorts(terminal);
        case Command::kInfo:
            return RunInfo(options, terminal);
        case Command::kSend:
            return RunSend(options, terminal);
        case Command::kText:
            return RunText(options, terminal);
        case Command::kReceive:
            return options.all ? RunReceiveAll(options, terminal) : RunReceive(options, terminal);
        case Command::kSelfTest:
            return RunSelfTest(options, terminal);
        case Command::kHelp:
        case Command::kVersion:
            break;
    }
    return kExitUsage;
}

}  // namespace velotrix::cli
