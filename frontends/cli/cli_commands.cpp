// The velotrix-cli commands: ports, info, send, text and receive, each on its own engine session.
#include <string>
#include <string_view>

#include "frontends/cli/cli_session.h"
#include "image/crc16.h"
#include "image/rx_save.h"
#include "image/z80_header.h"
#include "platform/files.h"
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
    field("Art", header.kind);
    if (header.withHeader) {
        field("AADR", Hex4(header.aadr));
        field("EADR", Hex4(header.eadr));
        field("SADR", Hex4(header.sadr));
    }
    field("CRC", Hex4(header.crc));
    field("Bytes", Hex4(header.bytes));
    if (header.withHeader) {
        field("Name", WithoutTrailingSpaces(header.name));
        const int type = TypeIndexOfLetter(header.typeLetter);
        if (type >= 0) {
            field("Typ", WithoutTrailingSpaces(
                             std::string(FileTypeEntry(static_cast<std::size_t>(type)))));
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

// Loads a file as "BIN/Z80 laden" does; why it failed goes to stderr.
bool Load(Session& session, const std::string& path, bool& isZ80) {
    session.SetErrorPrefix(Utf8ToCp1252(path) + ": ");
    const LoadOutcome outcome = session.GetEngine().LoadFile(path);
    if (!outcome.loaded) {
        if (!outcome.result.text.empty()) {
            session.Report(outcome.result);
        } else if (outcome.fileStatus == FileReadStatus::kNotRegular) {
            session.PrintError(std::string(msg::kNotRegularFile).substr(1));
        } else {
            session.PrintError(OsErrorText(outcome.osError));
        }
    }
    session.SetErrorPrefix({});
    isZ80 = outcome.isZ80;
    return outcome.loaded;
}

bool Open(Session& session, const Options& options) {
    const PortInfo port = ResolvePort(options.port);
    if (session.Open(port, options.line)) {
        return true;
    }
    if (EntryIndex(BaudEntries(), options.line.baud) < 0) {
        session.PrintError("Die Baudrate " + options.line.baud +
                           std::string(msg::kDriverRefusesBaud));
    }
    return false;
}

int ExitStatus(bool ok) {
    return ok ? kExitOk : kExitFailure;
}

// Waits for the send just started; the exit status.
int WaitForSend(Session& session) {
    const WaitResult result = session.WaitFor([&] { return session.SendEnded(); }, std::nullopt);
    session.Close();
    if (result == WaitResult::kInterrupted) {
        session.PrintError(std::string(msg::kInterrupted));
        return kExitInterrupted;
    }
    return ExitStatus(session.SendCompleted() && !session.Failed());
}

int RunPorts(const Terminal& terminal) {
    Session session(terminal);
    const std::vector<PortRow> rows = session.GetEngine().ListPorts(PortCheck::kProbe);
    if (rows.empty()) {
        session.PrintError(std::string(msg::kNoPortsFound));
        return kExitFailure;
    }
    for (const PortRow& row : rows) {
        session.PrintOut(ForTerminal(PortRowText(row)) + '\t' + row.port.path);
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
    }
    return ExitStatus(ok);
}

int RunSend(const Options& options, const Terminal& terminal) {
    Session session(terminal);
    session.SetQuiet(options.quiet);
    Engine& engine = session.GetEngine();
    bool isZ80 = false;
    if (!Open(session, options) || !Load(session, options.files.front(), isZ80)) {
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
    engine.SetPause(options.pauseIndex);
    engine.Options().continuousSend = false;
    engine.Options().binMode = options.binMode;
    engine.Options().showProgress = options.showProgress;
    if (!session.Report(engine.SendFile())) {
        return kExitFailure;
    }
    return WaitForSend(session);
}

int RunText(const Options& options, const Terminal& terminal) {
    Session session(terminal);
    session.SetQuiet(options.quiet);
    if (!Open(session, options)) {
        return kExitFailure;
    }
    session.GetEngine().Options().continuousSend = false;
    if (!session.Report(session.GetEngine().SendText(options.text))) {
        return kExitFailure;
    }
    return WaitForSend(session);
}

// Where a reception goes: the -o path, or the name the window suggests; an incomplete one says
// so in its name unless the user named the file.
std::string SaveTarget(const Options& options, const Engine& engine, bool incomplete) {
    if (options.output) {
        return *options.output;
    }
    std::string name = SuggestedSaveName(engine.ReceptionName(), engine.ReceptionHasHeader());
    if (incomplete) {
        name.insert(name.rfind('.'), msg::kIncompleteName);
    }
    return Cp1252ToUtf8(name);
}

int RunReceive(const Options& options, const Terminal& terminal) {
    Session session(terminal);
    session.SetQuiet(options.quiet);
    // A reception must not replace a file by accident.
    if (options.output && !options.force && FileExists(*options.output) != 0) {
        session.PrintError(Utf8ToCp1252(*options.output) + std::string(msg::kExistsUseForce));
        return kExitFailure;
    }
    if (!Open(session, options)) {
        return kExitFailure;
    }
    terminal.err << Cp1252ToUtf8(msg::kWaitingPrefix) << options.timeoutSeconds
                 << " s auf Daten an " << options.port << "..." << std::endl;
    const auto ended = [&] { return session.Finished().has_value() || session.LineLost(); };
    WaitResult result = session.WaitFor([&] { return session.AnythingReceived() || ended(); },
                                        std::chrono::seconds(options.timeoutSeconds));
    if (result == WaitResult::kDone) {
        result = session.WaitFor(ended, std::nullopt);
    }
    session.Close();
    if (result == WaitResult::kInterrupted) {
        session.PrintError(std::string(msg::kInterrupted));
    } else if (result == WaitResult::kTimedOut) {
        session.PrintError(std::string(msg::kNothingReceivedPrefix) +
                           std::to_string(options.timeoutSeconds) + " s.");
    }
    Engine& engine = session.GetEngine();
    if (!session.Finished() || engine.Reception().empty()) {
        return result == WaitResult::kInterrupted ? kExitInterrupted : kExitFailure;
    }
    // What arrived is kept, even when the line was lost or the storage overflowed.
    const bool incomplete = session.LineLost() || result != WaitResult::kDone;
    PrintHeader(session, RxHeaderLines(session));
    const bool saved =
        session.Report(engine.SaveReception(SaveTarget(options, engine, incomplete)));
    if (saved && incomplete) {
        session.PrintError(std::string(msg::kIncompletePrefix) +
                           std::to_string(engine.Reception().size()) +
                           std::string(msg::kIncompleteSuffix));
    }
    if (session.Finished()->dropped > 0) {
        session.PrintError(std::string(msg::kBufferFullPrefix) +
                           std::to_string(session.Finished()->dropped) +
                           std::string(msg::kBufferFullSuffix));
    }
    if (result == WaitResult::kInterrupted) {
        return kExitInterrupted;
    }
    return ExitStatus(saved && !session.Failed());
}

}  // namespace

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
            return RunReceive(options, terminal);
        case Command::kHelp:
        case Command::kVersion:
            break;
    }
    return kExitUsage;
}

}  // namespace velotrix::cli
