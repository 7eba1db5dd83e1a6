// The test rig's reading: what the engine and the window show, by the names the rows use.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <variant>

#include "serial/self_tester.h"
#include "support/rig.h"
#include "support/rig_words.h"
#include "support/row_file.h"
#include "text/hex_dump.h"
#include "text/text_helpers.h"
#include "ui-resources/ids.h"

namespace velotrix::test {

using namespace ids;

namespace {

// The controls and menu commands by the names the steps and keys use.
// clang-format off
constexpr std::pair<std::string_view, int> kNames[] = {
    {"COM", kComButton},         {"port", kPortCombo},          {"baud", kBaudCombo},
    {"parity", kParityCombo},    {"data", kDataBitsCombo},      {"stop", kStopBitsCombo},
    {"flow", kFlowCombo},        {"cts", kCtsIndicator},        {"rxKind", kRxKind},
    {"rxAadr", kRxAadr},         {"rxEadr", kRxEadr},           {"rxSadr", kRxSadr},
    {"rxCrc", kRxCrc},           {"rxBytes", kRxBytes},         {"rxName", kRxName},
    {"rxType", kRxType},         {"save", kSaveButton},         {"load", kLoadButton},
    {"refresh", kRefreshButton}, {"txKind", kTxKind},           {"txAadr", kTxAadr},
    {"txEadr", kTxEadr},         {"txSadr", kTxSadr},           {"txCrc", kTxCrc},
    {"txBytes", kTxBytes},       {"txName", kTxName},           {"txType", kTxType},
    {"send", kSendFileButton},   {"pause", kPauseCombo},        {"continuous", kContinuousCheck},
    {"bin", kBinModeCheck},      {"progress", kProgressCheck},  {"text", kTextEdit},
    {"textSend", kTextSend},     {"textClose", kTextClose},     {"quit", kMenuQuit},           {"probe", kMenuProbePorts},
    {"sendText", kMenuSendText}, {"savePrefs", kMenuSavePrefs}, {"loadPrefs", kMenuLoadPrefs},
    {"reopen", kMenuAutoReopen}, {"view", kMenuReceptionView},  {"progressText", kProgressText},
    {"messages", kMessageList},  {"dtr", kDtrIndicator},        {"rts", kRtsIndicator},
    {"menuDtr", kMenuDtr},       {"menuRts", kMenuRts},         {"selftest", kMenuSelfTest},
    {"every", kMenuSaveEvery},   {"resend", kResendOnChangeCheck},
    {"charDelay", kCharDelayCombo}, {"lineDelay", kLineDelayCombo}, {"hexSend", kHexSendCombo},
    {"eolNone", kMenuLineEndNone}, {"eolCr", kMenuLineEndCr},   {"eolCrLf", kMenuLineEndCrLf},
    {"eolLf", kMenuLineEndLf},   {"textFile", kMenuSendTextFile}, {"protocol", kMenuLineLog},
    {"info", kMenuInfo},         {"dsr", kDsrIndicator},        {"dcd", kDcdIndicator},
    {"ri", kRiIndicator},        {"menuTerminal", kMenuTerminal}, {"tCopy", kTerminalCopy},
    {"tClear", kTerminalClear},  {"tBreak", kTerminalBreak},    {"tHex", kTerminalHex},
    {"tHexSend", kTerminalHexSend}, {"tReceive", kTerminalReceive},
    {"tSendFile", kTerminalSendFile}, {"tFormat", kTerminalFormat},
    {"tExpectCheck", kTerminalExpectCheck}, {"tExpect", kTerminalExpect},
    {"tTimeout", kTerminalTimeout},
    {"xmodemSend", kMenuXmodemSend},
    {"xmodemSend1k", kMenuXmodemSend1k}, {"xmodemReceive", kMenuXmodemReceive},
    {"xmodemCancel", kMenuXmodemCancel}, {"xmodemTrim", kMenuXmodemTrim},
    {"eolFileNone", kMenuFileLineEndNone}, {"eolFileCr", kMenuFileLineEndCr},
    {"eolFileCrLf", kMenuFileLineEndCrLf}, {"eolFileLf", kMenuFileLineEndLf}};
// clang-format on

constexpr const char* kKinds[] = {"ok",         "bad argument",     "no port",
                                  "os error",   "port lost",        "busy",
                                  "not open",   "nothing to send",  "nothing to save",
                                  "file error", "settings refused", "lines would join"};

std::string Text(const Bytes& bytes) {
    return {bytes.begin(), bytes.end()};
}

// "image" or "data" for the loaded file's bytes, else the bytes; "+" behind a unit that repeats.
std::string Describe(const Bytes& bytes, const TxImage& image) {
    std::size_t unit = 1;
    while (unit <= bytes.size() / 2 && unit <= 256 &&
           !std::equal(bytes.begin() + static_cast<long>(unit), bytes.end(), bytes.begin())) {
        ++unit;
    }
    unit = unit <= bytes.size() / 2 && unit <= 256 ? unit : bytes.size();
    const Bytes once(bytes.begin(), bytes.begin() + static_cast<long>(unit));
    const Bytes all(image.HeaderAndData().begin(), image.HeaderAndData().end());
    const std::string name = once.empty()                                          ? ""
                             : once == all                                         ? "image"
                             : once == Bytes(all.begin() + kHeaderSize, all.end()) ? "data"
                                                                                   : Text(once);
    return name + (unit < bytes.size() ? "+" : "");
}

// A file's lines joined by '|'; "-" when there is no such file.
std::string FileOrDash(const std::string& path) {
    std::ifstream in(path);
    std::string text = in ? std::string(std::istreambuf_iterator<char>(in), {}) : "-";
    std::replace(text.begin(), text.end(), '\n', '|');
    return text;
}

template <typename... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};

// Whether a row may expect the key: STEPS.md documents it, or a control or a pane as it names them.
bool Documented(std::string_view key) {
    std::string pattern(key);
    const std::size_t colon = key.find(':');
    const std::string_view name = key.substr(colon == std::string_view::npos ? 0 : colon + 1);
    const bool control =
        std::ranges::find(kNames, name, &std::pair<std::string_view, int>::first) !=
        std::end(kNames);
    if (control && (colon == std::string_view::npos || !key.starts_with("menu:"))) {
        pattern = std::string(key.substr(0, key.size() - name.size())) + "NAME";
    } else if (key.size() == 5 && key.starts_with("pane") &&
               std::isdigit(static_cast<unsigned char>(key[4])) != 0) {
        pattern = "paneN";
    }
    return DocumentedIn("Keys").contains(pattern);
}

}  // namespace

int IdOf(std::string_view name) {
    const auto found = std::ranges::find(kNames, name, &std::pair<std::string_view, int>::first);
    EXPECT_NE(found, std::end(kNames)) << name;
    return found == std::end(kNames) ? 0 : found->second;
}

std::string NameOf(int id) {
    const auto found = std::ranges::find(kNames, id, &std::pair<std::string_view, int>::second);
    return found == std::end(kNames) ? "" : std::string(found->first);
}

std::string Replaced(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// Joined by '|'; the separator line of a reception shows as "47 dashes".
std::string Join(std::span<const std::string> lines) {
    std::string joined;
    for (const std::string& line : lines) {
        const bool dashes = line.size() > 3 && line.find_first_not_of('-') == std::string::npos;
        joined += (joined.empty() && &line == lines.data() ? "" : "|") +
                  (dashes ? std::to_string(line.size()) + " dashes" : line);
    }
    return joined;
}

std::map<std::string, std::string> Rig::Show() {
    loop.RunPending();
    std::error_code ec;
    std::map<std::string, std::string> shown;
    const Lines list = window ? view.Lines(kMessageList) : lines;
    shown["log"] = Join(log);
    shown["terminal"] = terminal;
    shown["receptions"] = Join(receptions);
    shown["list"] = Join(list);
    shown["count"] = std::to_string(list.size());
    shown["first"] = list.empty() ? "" : list.front();
    shown["tail"] = Join(std::span(list).last(std::min<std::size_t>(3, list.size())));
    const int selected = view.ListSelection(kMessageList);
    shown["selected"] = selected < 0 ? "" : list.at(static_cast<std::size_t>(selected));
    const Bytes written = devices.empty() ? Bytes() : line().Written();
    shown["sent"] = Describe(written, engine().Image());
    shown["written"] = std::to_string(written.size());
    shown["watched"] = Join(watches.Watched());
    shown["rewrites"] = Join(rewrites);
    shown["taken"] = Join(taken);
    shown["head"] = BytesAsHex(std::span(written).first(std::min(written.size(), kHeaderSize)));
    Bytes all = fed;
    all.resize(std::min<std::size_t>(all.size(), 65536));
    const Bytes kept(engine().Reception().begin(), engine().Reception().end());
    shown["kept"] = kept == all ? "all" : std::to_string(kept.size());
    shown["result"] = kKinds[static_cast<int>(result.kind)] +
                      (result.os ? " " + std::to_string(result.os.code) : "") +
                      (result.os.hint.empty() ? "" : " " + result.os.hint) +
                      (result.text.empty() ? "" : " " + result.text);
    shown["open"] = std::to_string(engine().IsOpen()) +
                    (devices.empty() ? "" : std::to_string(line().IsOpen()));
    shown["paused"] = std::to_string(paused);
    shown["progress shown"] = std::to_string(progress);
    shown["ahead"] = std::to_string(progressAhead);
    for (const auto& [name, id] : kNames) {
        shown[std::string(name)] = view.GetText(id);
        shown["on:" + std::string(name)] = std::to_string(view.IsEnabled(id));
        shown["shown:" + std::string(name)] = std::to_string(view.IsVisible(id));
        shown["checked:" + std::string(name)] = std::to_string(view.IsChecked(id));
    }
    for (int pane = 0; pane < 4; ++pane) {
        shown["pane" + std::to_string(pane)] = view.PaneText(pane);
    }
    const auto& dialogs = view.FileDialogCalls();
    if (!dialogs.empty() && dialogs.back().kind == HeadlessView::FileDialogKind::kSave) {
        shown["suggested"] = dialogs.back().suggestedName;
        const std::string saved = ReadFileBytes(dialogs.back().answer.value_or("")).value_or("");
        shown["saved"] = saved == Text(fed) ? "all" : "";
        const std::string head = saved.substr(0, 16);
        shown["savedBytes"] = BytesAsHex(Bytes(head.begin(), head.end()));
    }
    const auto& boxes = view.Messages();
    shown["boxes"] = std::to_string(boxes.size());
    shown["box"] = Replaced(boxes.empty() ? "" : boxes.back().caption + " - " + boxes.back().text,
                            "\r\n", "|");
    shown["menu"] = std::to_string(view.MenuEnabled(kMenuSendText));
    shown["reopen"] = std::to_string(view.MenuChecked(kMenuAutoReopen));
    shown["menu:textFile"] = std::to_string(view.MenuEnabled(kMenuSendTextFile));
    for (int id : {kMenuLineEndNone, kMenuLineEndCr, kMenuLineEndCrLf, kMenuLineEndLf}) {
        shown["eol"] += std::to_string(view.MenuChecked(id));
    }
    for (int id :
         {kMenuFileLineEndNone, kMenuFileLineEndCr, kMenuFileLineEndCrLf, kMenuFileLineEndLf}) {
        shown["eolFile"] += std::to_string(view.MenuChecked(id));
    }
    const SendSwitches switches = engine().Switches();
    shown["pacing"] = std::to_string(switches.charDelayMs) + " " +
                      std::to_string(switches.lineDelayMs) + " " +
                      std::to_string(static_cast<int>(switches.lineEnd));
    shown["protocol"] = std::to_string(view.MenuChecked(kMenuLineLog));
    shown["linelog"] = FileOrDash(dir.File("line.log"));
    const OsError logFailure = engine().LogFailure();
    shown["logging"] = std::to_string(engine().Logging()) +
                       (logFailure ? " " + std::to_string(logFailure.code) : "");
    shown["menu:lines"] = std::to_string(view.MenuChecked(kMenuDtr)) +
                          std::to_string(view.MenuChecked(kMenuRts)) +
                          std::to_string(view.MenuEnabled(kMenuSelfTest));
    shown["every"] = std::to_string(view.MenuChecked(kMenuSaveEvery));
    shown["trim"] = std::to_string(view.MenuChecked(kMenuXmodemTrim));
    shown["menu:xmodem"] = std::to_string(view.MenuEnabled(kMenuXmodemSend)) +
                           std::to_string(view.MenuEnabled(kMenuXmodemSend1k)) +
                           std::to_string(view.MenuEnabled(kMenuXmodemReceive)) +
                           std::to_string(view.MenuEnabled(kMenuXmodemCancel));
    std::set<std::string> inFolder;
    for (const auto& entry : std::filesystem::directory_iterator(dir.File("in"), ec)) {
        inFolder.insert(entry.path().filename().string() + " " +
                        std::to_string(entry.file_size(ec)));
    }
    shown["in"] = Join(std::vector<std::string>(inFolder.begin(), inFolder.end()));
    shown["folder"] = view.DialogFolder(FileDialogUse::kOpen);
    shown["savefolder"] = view.DialogFolder(FileDialogUse::kSave);
    shown["dialogs"] = "";
    for (const HeadlessView::FileDialogCall& call : view.FileDialogCalls()) {
        if (call.kind != HeadlessView::FileDialogKind::kFolder) {
            shown["dialogs"] +=
                (shown["dialogs"].empty() ? "" : "|") +
                std::string(call.kind == HeadlessView::FileDialogKind::kOpen ? "open " : "save ") +
                call.folder;
        }
    }
    shown["ini"] = FileOrDash(settingsPath);
    shown["state"] = FileOrDash(dir.File("Velotrix.state"));
    shown["menu:view"] = std::to_string(view.MenuEnabled(kMenuReceptionView));
    shown["beeps"] = std::to_string(view.Beeps());
    shown["focus"] = NameOf(view.FocusId());
    for (std::size_t row = 0; view.ReceptionView() != nullptr && row < 3; ++row) {
        shown["dump"] += (row == 0 ? "" : "|") + DumpLine(*view.ReceptionView(), row);
    }
    shown["closed"] = std::to_string(view.MainWindowClosed());
    shown["screen"] = Join(view.TerminalLines());
    shown["clipboard"] = view.Clipboard();
    std::replace(shown["clipboard"].begin(), shown["clipboard"].end(), '\n', '|');
    const layout::Rect place = view.TerminalPlacement();
    shown["tplace"] = std::to_string(place.x) + " " + std::to_string(place.y) + " " +
                      std::to_string(place.width) + " " + std::to_string(place.height);
    shown["topen"] = std::to_string(view.IsTerminalOpen());
    if (!devices.empty()) {
        const AppliedSettings a = line().Applied();
        shown["modem"] = line().ModemLines() + " / " + modemEvent;
        shown["status"] = statusEvent;
        shown["breaks"] = "";
        for (std::size_t at : line().BreaksAt()) {
            shown["breaks"] += (shown["breaks"].empty() ? "" : " ") + std::to_string(at);
        }
        shown["line"] = std::to_string(a.baudRate) + " " + "NOE"[static_cast<int>(a.parity)] + " " +
                        std::to_string(a.dataBits) + " " + std::to_string(a.stopBits) +
                        (a.ctsFlow ? " cts" : " -") + (line().IsOpen() ? " open" : " closed");
    }
    return shown;
}

void Rig::Expect(std::string_view expected) {
    const std::map<std::string, std::string> shown = Show();
    while (!expected.empty()) {
        const std::size_t end = std::min(expected.find('\n'), expected.size());
        const std::string entry(expected.substr(0, end));
        expected.remove_prefix(std::min(end + 1, expected.size()));
        const std::string key = entry.substr(0, entry.find('='));
        const std::string value =
            Replaced(entry.substr(std::min(key.size() + 1, entry.size())), "$DIR", dir.path());
        ASSERT_TRUE(Documented(key))
            << "the key " << key << " is not in STEPS.md: say what it shows";
        const auto found = shown.find(key);
        ASSERT_NE(found, shown.end()) << "no key " << key;
        const bool prefix = value.ends_with('*');
        EXPECT_EQ(prefix ? found->second.substr(0, value.size() - 1) : found->second,
                  prefix ? value.substr(0, value.size() - 1) : value)
            << key;
    }
}

void Rig::Record(const EngineEvent& event) {
    const auto hex = [](std::uint16_t value) { return " " + Hex4(value); };
    std::visit(
        Overloaded{
            [&](const LinesEvent& e) { lines.insert(lines.end(), e.lines.begin(), e.lines.end()); },
            [&](const MessagesClearedEvent&) { log.push_back("cleared"); },
            [&](const ReceivedEvent& e) { received = e.total; },
            [&](const RxHeaderEvent& e) {
                log.push_back(!e.header ? "header BIN"
                                        : "header " + std::string(1, e.header->typeLetter) +
                                              hex(e.header->aadr) + hex(e.header->eadr) +
                                              hex(e.header->sadr) + " " + e.header->name);
            },
            [&](const ReceptionFinishedEvent& e) {
                receptions.push_back(
                    Text(Bytes(engine().Reception().begin(), engine().Reception().end())));
                log.push_back("finished" + hex(e.crc) + " " + std::to_string(e.dataLength) + "/" +
                              std::to_string(e.total) + " dropped " + std::to_string(e.dropped) +
                              (e.hasHeader ? " z80" : ""));
            },
            [&](const ProgressEvent& e) {
                using enum ProgressEvent::Kind;
                const std::size_t left = devices.empty() ? e.value : line().BytesLeft();
                if (e.kind == kUpdate) {
                    progressAhead = std::max<std::size_t>(
                        progressAhead, e.value - std::min<std::size_t>(e.value, left));
                    progress = e.value;
                } else {
                    log.push_back(e.kind == kShow
                                      ? "progress " + std::to_string(e.value) +
                                            (e.lines > 0 ? " lines " + std::to_string(e.lines) : "")
                                      : "hidden");
                }
            },
            [&](const BlocksEvent&) {},
            [&](const ContinuousEvent& e) {
                log.push_back(e.running ? "continuous" : "continuous ended");
            },
            [&](const SendEndedEvent& e) {
                log.push_back(std::string("ended") + (e.restoreOpen ? " open" : "") +
                              (e.completed ? " completed" : ""));
            },
            [&](const SendAbortedEvent& e) { lines.push_back(SendAbortedLine(e)); },
            [&](const OsErrorEvent& e) {
                log.push_back("os error " + std::to_string(e.error.code));
            },
            [&](const LineLostEvent& e) {
                log.push_back("line lost " + std::to_string(e.error.code));
            },
            [&](const CtsEvent& e) { log.push_back(e.cts ? "cts on" : "cts off"); },
            [&](const ReopenedEvent& e) { log.push_back("reopened " + e.port.name); },
            [&](const BaudChangedEvent& e) { log.push_back("baud " + std::to_string(e.applied)); },
            [&](const FrameNotTakenEvent& e) { log.push_back("frame " + e.settings); },
            [&](const ModemLinesEvent& e) {
                modemEvent = std::string(e.open ? "open" : "closed") + (e.dtr ? " DTR" : " -") +
                             (e.rts ? " RTS" : " -");
            },
            [&](const SelfTestEndedEvent& e) {
                const Lines report = SelfTestLines(e.report);
                lines.insert(lines.end(), report.begin(), report.end());
            },
            [&](const TerminalBytesEvent& e) { terminal.append(e.bytes.begin(), e.bytes.end()); },
            [&](const PromptEvent& e) {
                log.push_back("prompt " + e.prompt +
                              (e.arrived ? " arrived, " +
                                               std::string(kKinds[static_cast<int>(e.started.kind)])
                                         : " timed out"));
            },
            [&](const ModemStatusEvent& e) {
                statusEvent = std::string(e.status.cts ? "CTS" : "-") +
                              (e.status.dsr ? " DSR" : " -") + (e.status.dcd ? " DCD" : " -") +
                              (e.status.ri ? " RI" : " -");
            },
            [&](const XmodemProgressEvent& e) {
                progress = static_cast<std::uint32_t>(e.progress.bytes);
            },
            [&](const XmodemEndedEvent& e) {
                log.push_back("xmodem ended " + std::to_string(static_cast<int>(e.end)));
            },
        },
        event);
}

}  // namespace velotrix::test
