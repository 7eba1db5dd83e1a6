// The velotrix-cli commands: ports, info, send, text and receive (selftest in a file of its own),
// each on its own engine session.
#include <functional>
#include <string>
#include <string_view>

#include "frontends/cli/cli_commands.h"
#include "frontends/cli/cli_session.h"
#include "frontends/cli/cli_watch.h"
#include "image/crc16.h"
#include "image/rx_save.h"
#include "image/tx_image.h"
#include "image/z80_header.h"
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

// The fields of one header group, as the window's TX or RX group shows them.
struct HeaderLines {
    std::string kind;  // "z80", "BIN", or empty before a header was seen
    bool withHeader = false;
    std::uint16_t aadr = 0;
    std::uint16_t eadr = 0;
    std::uint16_t sadr = 0;
    std::uint16_t crc = 0;
    std::uint32_t bytes = 0;
    std::string name;
    char typeLetter = 0;
};

std::string WithoutTrailingSpaces(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

void PrintHeader(Session& session, const HeaderLines& header) {
    const auto field = [&session](std::string_view label, const std::string& value) {
        session.PrintOut(std::string(label) + ": " + ForTerminal(value));
    };
    field(msg::kCliHeaderKind, header.kind);
    if (header.withHeader) {
        field("AADR", Hex4(header.aadr));
        field("EADR", Hex4(header.eadr));
        field("SADR", Hex4(header.sadr));
    }
    field("CRC", Hex4(header.crc));
    field("Bytes", Hex4(header.bytes));
    if (header.withHeader) {
        field(msg::kCliHeaderName, WithoutTrailingSpaces(header.name));
        const int type = TypeIndexOfLetter(header.typeLetter);
        if (type >= 0) {
            field(
                msg::kCliHeaderType,
                WithoutTrailingSpaces(std::string(FileTypeEntry(static_cast<std::size_t>(type)))));
        }
    }
}

HeaderLines TxHeaderLines(const TxImage& tx, bool isZ80) {
    HeaderLines lines;
    lines.kind = isZ80 ? "z80" : "BIN";
    lines.withHeader = true;
    lines.aadr = HeaderAadr(tx.Header());
    lines.eadr = HeaderEadr(tx.Header());
    lines.sadr = HeaderSadr(tx.Header());
    lines.crc = Crc16(tx.Data());
    lines.bytes = tx.dataLength;
    lines.name = HeaderName(tx.Header());
    lines.typeLetter = HeaderTypeLetter(tx.Header());
    return lines;
}

HeaderLines RxHeaderLines(const Session& session) {
    HeaderLines lines;
    const std::optional<RxHeaderInfo>& header = session.RxHeader();
    lines.kind = !session.RxHeaderSeen() ? "" : header ? "z80" : "BIN";
    lines.withHeader = header.has_value();
    if (header) {
        lines.aadr = header->aadr;
        lines.eadr = header->eadr;
        lines.sadr = header->sadr;
        lines.name = header->name;
        lines.typeLetter = header->typeLetter;
    }
    lines.crc = session.Finished()->crc;
    lines.bytes = session.Finished()->dataLength;
    return lines;
}

// The window's warning when the data, from the load address on, run past FFFFh.
void WarnIfDataWrap(Session& session) {
    if (DataRunsPastTop(session.GetEngine().Image())) {
        session.PrintWarning(std::string(msg::kDataWraps));
    }
}

// Loads a file as "BIN/Z80 laden" does; why it failed goes to stderr.
bool Load(Session& session, const std::string& path, bool& isZ80) {
    const LoadOutcome outcome = session.GetEngine().LoadFile(path);
    if (!outcome.loaded) {
        session.ReportLoadFailure(path, outcome);
    }
    isZ80 = outcome.isZ80;
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
        bool isZ80 = false;
        if (!Load(session, file, isZ80)) {
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
        PrintHeader(session, TxHeaderLines(session.GetEngine().Image(), isZ80));
        WarnIfDataWrap(session);
    }
    return ExitStatus(ok);
}

int RunSend(const Options& options, const Terminal& terminal) {
    Session session(terminal);
    session.SetQuiet(options.quiet);
    Engine& engine = session.GetEngine();
    bool isZ80 = false;
    // The file first: opening the port raises DTR and RTS, which resets some home computers.
    if (!Load(session, options.files.front(), isZ80) || !OpenPort(session, options)) {
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
    const bool xmodem = options.sendAs != SendAs::kZ80;
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
        options.output ? SaveTarget{SaveTarget::Kind::kFile, *options.output}
                       : SaveTarget{SaveTarget::Kind::kFolder, options.folder.value_or("")});
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
        {SaveTarget::Kind::kNewFile, folder + std::string(msg::kRescueName) + "-" + name, true});
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
