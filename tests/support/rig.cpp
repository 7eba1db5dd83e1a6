// The test rig of the engine and the window: its steps, and what it shows.
#include "support/rig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <variant>

#include "text/text_helpers.h"
#include "ui-resources/ids.h"

namespace velotrix::test {

namespace {

using namespace std::chrono_literals;
using namespace ids;
using std::chrono::milliseconds;

// The controls and menu commands by the names the steps and keys use.
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
    {"textSend", kTextSend},     {"quit", kMenuQuit},           {"probe", kMenuProbePorts},
    {"sendText", kMenuSendText}, {"savePrefs", kMenuSavePrefs}, {"loadPrefs", kMenuLoadPrefs},
    {"reopen", kMenuAutoReopen}};

constexpr const char* kKinds[] = {
    "ok",       "bad argument",    "no port",         "os error",   "port lost",       "busy",
    "not open", "nothing to send", "nothing to save", "file error", "settings refused"};

// The z80 file the far end sends: a header that promises 968 bytes, and them.
const Bytes kZ80 = Z80File(0x1000, 0x13C7, 0x2000, 'B', "HELLO", 968);

int IdOf(std::string_view name) {
    const auto* found = std::find_if(std::begin(kNames), std::end(kNames),
                                     [&](const auto& entry) { return entry.first == name; });
    EXPECT_NE(found, std::end(kNames)) << name;
    return found == std::end(kNames) ? 0 : found->second;
}

std::string Text(const Bytes& bytes) {
    return {bytes.begin(), bytes.end()};
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

struct Arg {
    std::string all, first, rest;
    int number;
};

using StepFunction = void (*)(Rig&, const Arg&);

void Quiet(Rig& rig, milliseconds silence) {
    rig.loop.Advance(silence - 1ms);
    EXPECT_TRUE(rig.engine().Receiving()) << "ended before " << silence.count() << " ms";
    rig.loop.Advance(1ms);
}

void Load(Rig& rig, const Arg& arg) {
    const auto count = static_cast<std::uint16_t>(arg.number);
    const Bytes bytes = arg.first.ends_with(".z80")
                            ? Z80File(0x4000, 0x4000 + count - 1, 0x4000, 'P', "HELLO", count)
                            : CountingBytes(count);
    const std::string path = rig.dir.Write(arg.first, bytes);
    if (rig.window) {
        rig.view.QueueOpenFileAnswer(path);
        rig.view.Click(kLoadButton);
    } else {
        rig.engine().LoadFile(path);
        const std::size_t pause = arg.rest.find(' ');
        rig.engine().SetPause(
            pause == std::string::npos ? 0 : DecimalToInt(arg.rest.substr(pause + 1)));
    }
}

// A close leaves nothing on the way to the line but the byte on the wire, whatever the send was
// doing (how soon after the click: the benchmark's figure).
void Close(Rig& rig) {
    const auto start = std::chrono::steady_clock::now();
    rig.engine().Close();
    const auto end = std::chrono::steady_clock::now();
    EXPECT_LT(end - start, 500ms);
    EXPECT_LE(rig.line().BytesLeavingAfter(end), 1u);
}

void Save(Rig& rig, const std::string& name) {
    if (rig.window) {
        rig.view.QueueSaveFileAnswer(rig.dir.File(name));
        rig.view.Click(kSaveButton);
    } else {
        rig.result = rig.engine().SaveReception(rig.dir.File(name));
    }
}

void Select(Rig& rig, int id, std::string_view entry) {
    for (int index = 0; index < rig.view.ComboCount(id); ++index) {
        if (rig.view.ComboItem(id, index).starts_with(entry)) {
            return rig.view.UserSelect(id, index);
        }
    }
}

// A gap of at least the time between the header's last byte leaving and the data's first write.
void ExpectGap(Rig& rig, milliseconds gap) {
    const std::vector<FakeSerialDevice::Sent> sent = rig.line().SentLog();
    ASSERT_GT(sent.size(), kHeaderSize);
    EXPECT_GE(sent[kHeaderSize].written - sent[kHeaderSize - 1].left, gap);
}

void WriteLines(const std::string& path, std::string text) {
    std::replace(text.begin(), text.end(), '|', '\n');
    std::ofstream(path) << text << '\n';
}

// A file's lines joined by '|'; "-" when there is no such file.
std::string FileOrDash(const std::string& path) {
    std::ifstream in(path);
    std::string text = in ? std::string(std::istreambuf_iterator<char>(in), {}) : "-";
    std::replace(text.begin(), text.end(), '\n', '|');
    return text;
}

bool Written(Rig& rig, std::size_t count) {
    return rig.line().Written().size() >= count ||
           Join(rig.lines).find("Pause 1000ms...") != std::string::npos;
}

Bytes FarEnd(const Arg& arg) {
    return arg.all == "z80"       ? kZ80
           : arg.all == "header"  ? Bytes(kZ80.begin(), kZ80.begin() + kHeaderSize)
           : arg.all == "short"   ? Z80File(0x2000, 0x1FFF, 0x2000, 'B', "X", 0)
           : arg.all == "wrapped" ? Z80File(0x4000, 0x0000, 0x4000, 'P', "BIG", 0)
                                  : CountingBytes(static_cast<std::size_t>(arg.number));
}

// The words of the steps:
//   open [DATABITS|nothing], close: the port (engine; a close must stop everything at once)
//   stale N: bytes wait in the driver; feed N|z80|header|short|wrapped: the far end sends N
//   counting bytes, kZ80, its header alone, a header that promises no data, one whose end address
//   wraps below its load address (49,153 bytes at 4000h); garbled N: with a line error
//   advance MS: time passes; quiet MS: the reception ends after MS of silence, not before
//   load NAME N [PAUSE]: a file of N counting bytes (a z80 file for NAME.z80) is loaded
//   bin, noprogress, continuous, send, text T, save NAME: the engine's switches and calls
//   slow US, hold, cts, failwait ERR, failwrite ERR, busyport: what the line and driver do;
//   nolink: the fake ports' names are plain device names that may pass to another device
//   idle, pump, until N: pump until the send ended, for a while, until N bytes were written
//   gap MS: the data began at least MS after the header had left the driver
//   click NAME, command NAME, select NAME ENTRY, type NAME TEXT, escape, closebox, no, yes (window)
//   ini A|B: the settings file holds these lines; restart [PATH]: the window starts again (with
//   the settings file at PATH in the rig's directory)
const std::map<std::string_view, StepFunction> kSteps = {
    {"open",
     [](Rig& r, const Arg& a) {
         r.result =
             a.all.empty()
                 ? r.Open()
                 : r.engine().Open(
                       {a.all == "nothing" ? "" : "/dev/fake/ttyS0", 9600, {}, a.number, {}, {}});
     }},
    {"close", [](Rig& r, const Arg&) { Close(r); }},
    {"stale", [](Rig& r, const Arg& a) { r.line().InjectInput(Bytes(a.number, 0xEE)); }},
    {"feed", [](Rig& r, const Arg& a) { r.Feed(FarEnd(a)); }},
    {"garbled", [](Rig& r, const Arg& a) { r.Feed(Bytes(a.number, 0x55), {.framing = true}); }},
    {"advance", [](Rig& r, const Arg& a) { r.loop.Advance(milliseconds(a.number)); }},
    {"quiet", [](Rig& r, const Arg& a) { Quiet(r, milliseconds(a.number)); }},
    {"load", [](Rig& r, const Arg& a) { Load(r, a); }},
    {"bin", [](Rig& r, const Arg&) { r.engine().Options().binMode = true; }},
    {"noprogress", [](Rig& r, const Arg&) { r.engine().Options().showProgress = false; }},
    {"continuous", [](Rig& r, const Arg&) { r.engine().Options().continuousSend = true; }},
    {"send", [](Rig& r, const Arg&) { r.result = r.engine().SendFile(); }},
    {"text", [](Rig& r, const Arg& a) { r.result = r.engine().SendText(a.all); }},
    {"save", [](Rig& r, const Arg& a) { Save(r, a.all); }},
    {"slow",
     [](Rig& r, const Arg& a) { r.line().SetByteTime(std::chrono::microseconds(a.number)); }},
    {"hold", [](Rig& r, const Arg&) { r.line().HoldWrites(true); }},
    {"cts", [](Rig& r, const Arg&) { r.line().SetCts(true); }},
    {"failwait", [](Rig& r, const Arg& a) { r.line().FailNextWait(a.number); }},
    {"failwrite", [](Rig& r, const Arg& a) { r.line().FailWrites(a.number); }},
    {"busyport", [](Rig& r, const Arg&) { r.openFailure = EBUSY; }},
    {"nolink", [](Rig& r, const Arg&) { r.linked = false; }},
    {"idle", [](Rig& r, const Arg&) { EXPECT_TRUE(r.PumpUntilIdle()); }},
    {"pump", [](Rig& r, const Arg&) { r.Pump([] { return false; }, 100ms); }},
    {"until",
     [](Rig& r, const Arg& a) { EXPECT_TRUE(r.Pump([&] { return Written(r, a.number); })); }},
    {"gap", [](Rig& r, const Arg& a) { ExpectGap(r, milliseconds(a.number)); }},
    {"click", [](Rig& r, const Arg& a) { r.view.Click(IdOf(a.all)); }},
    {"command", [](Rig& r, const Arg& a) { r.window->OnCommand(IdOf(a.all), kNotifyClicked); }},
    {"select", [](Rig& r, const Arg& a) { Select(r, IdOf(a.first), a.rest); }},
    {"type", [](Rig& r, const Arg& a) { r.view.Type(IdOf(a.first), a.rest); }},
    {"escape", [](Rig& r, const Arg&) { r.view.PressEscape(); }},
    {"closebox", [](Rig& r, const Arg&) { r.view.PressCloseBox(); }},
    {"no", [](Rig& r, const Arg&) { r.view.QueueYesNoAnswer(false); }},
    {"yes", [](Rig& r, const Arg&) { r.view.QueueYesNoAnswer(true); }},
    {"ini", [](Rig& r, const Arg& a) { WriteLines(r.settingsPath, a.all); }},
    {"restart", [](Rig& r, const Arg& a) { r.StartWindow(a.all); }},
};

template <typename... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};

}  // namespace

Bytes CountingBytes(std::size_t count) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i);
    }
    return bytes;
}

Bytes Z80File(std::uint16_t aadr, std::uint16_t eadr, std::uint16_t sadr, char type,
              std::string_view name, std::size_t count) {
    Bytes header(kHeaderSize, 0);
    const HeaderBytes fields(header.data(), kHeaderSize);
    SetHeaderAadr(fields, aadr);
    SetHeaderEadr(fields, eadr);
    SetHeaderSadr(fields, sadr);
    SetHeaderTypeLetter(fields, type);
    std::fill_n(header.begin() + kMarkerOffset, 3, kMarkerByte);
    std::copy_n(name.begin(), std::min(name.size(), kHeaderNameSize), header.begin() + kNameOffset);
    return Concat(header, CountingBytes(count));
}

std::string TestNameOf(std::string_view text) {
    std::string name(text);
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return std::isalnum(static_cast<unsigned char>(c)) == 0; }, '_');
    return name;
}

Bytes Concat(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

Rig::Rig(Face face, const Lines& ports, std::optional<DeviceAccess> access) : ports_(ports) {
    for (std::size_t i = 0; i < ports.size(); ++i) {
        devices.push_back(std::make_shared<FakeSerialDevice>());
    }
    // The fakes open like real devices: ENOENT for an unknown path, EBUSY while open.
    DeviceAccess fakes{
        [this] {
            std::vector<PortInfo> listed;
            for (const std::string& name : ports_) {
                listed.push_back({name, "/dev/fake/" + name});
            }
            return listed;
        },
        [this](const std::string& path) -> OsResult<std::unique_ptr<SerialDevice>> {
            for (std::size_t i = 0; i < ports_.size(); ++i) {
                if (path == "/dev/fake/" + ports_[i]) {
                    const int refused = devices[i]->IsOpen() ? EBUSY : openFailure;
                    return refused != 0
                               ? OsResult<std::unique_ptr<SerialDevice>>{nullptr, {refused, {}}}
                               : OsResult<std::unique_ptr<SerialDevice>>{
                                     FakeSerialDevice::Share(devices[i]), {}};
                }
            }
            return {nullptr, OsError{ENOENT, {}}};
        },
        [this](const std::string&) { return linked; }};
    access_ = access.value_or(std::move(fakes));
    DeviceAccess chosen = access_;
    if (face == Face::kWindow) {
        StartWindow("");
    } else {
        own = std::make_unique<Engine>(loop, std::move(chosen),
                                       [this](const EngineEvent& event) { Record(event); });
        own->SetLineErrorPause(
            [this](milliseconds duration, const auto&) { paused = duration.count(); });
    }
}

void Rig::StartWindow(const std::string& settingsFile) {
    window.reset();
    view = HeadlessView();
    settingsPath = dir.File(settingsFile.empty() ? "Velotrix.ini" : settingsFile);
    window =
        std::make_unique<MainController>(view, loop, ControllerEnvironment{settingsPath, access_});
    window->Start();
}

Rig::~Rig() {
    // Workers stop before the devices and the loop go.
    window.reset();
    own.reset();
}

EngineResult Rig::Open(std::string path) {
    if (path.empty() && !ports_.empty()) {
        path = "/dev/fake/" + ports_.front();
    }
    return engine().Open(LineSettings{path, 9600, Parity::kNone, 8, 1, false});
}

void Rig::Feed(const Bytes& bytes, const LineErrors& errors) {
    line().InjectInput(bytes, errors);
    line().WaitUntilIdle(10s);
    loop.RunPending();
    fed = errors.Any() ? fed : Concat(fed, bytes);
}

bool Rig::Pump(const std::function<bool()>& until, milliseconds timeout) {
    return loop.RunUntil(until, timeout);
}

bool Rig::PumpUntilIdle() {
    const bool idle = Pump([&] { return !engine().Sending(); });
    loop.RunPending();
    return idle;
}

void Rig::Do(std::string_view steps) {
    while (!steps.empty()) {
        const std::size_t end = std::min(steps.find(';'), steps.size());
        std::string step(steps.substr(0, end));
        steps.remove_prefix(std::min(end + 1, steps.size()));
        step.erase(0, step.find_first_not_of(' '));
        const std::size_t space = std::min(step.find(' '), step.size());
        Arg arg{step.substr(std::min(space + 1, step.size())), {}, {}, 0};
        arg.first = arg.all.substr(0, arg.all.find(' '));
        arg.rest = arg.all.substr(std::min(arg.first.size() + 1, arg.all.size()));
        arg.number = DecimalToInt(arg.first.empty() || arg.first[0] > '9' ? arg.rest : arg.first);
        SCOPED_TRACE(step);
        const auto found = kSteps.find(std::string_view(step).substr(0, space));
        ASSERT_NE(found, kSteps.end()) << "no such step";
        found->second(*this, arg);
    }
}

// The keys: log (the engine's events), list, count, first, tail (the MessageList: all, the
// number of lines, the first, the last three), sent (what the line got, see Describe), head (its
// first 32 bytes in hex), kept (the finished reception: "all" that was fed, else its size),
// result (of the last engine call), open (engine and device), paused (the line-error pause in
// ms), progress shown (the last count), ahead (how far a count shown was ahead of the bytes that
// had left); on the window: each control's text by name, "on:", "shown:" and "checked:" with its
// name, pane0 to pane3, box ("caption - text" of the last box, its lines joined by '|'), boxes
// (their number), suggested and saved (the name the last save dialog offered, and whether the file
// holds "all" that was fed), menu (text send enabled), closed (the main window), line (the device's
// baud, parity, data and stop bits, flow, open or closed).
std::map<std::string, std::string> Rig::Show() {
    loop.RunPending();
    std::map<std::string, std::string> shown;
    const Lines list = window ? view.Lines(kMessageList) : lines;
    shown["log"] = Join(log);
    shown["list"] = Join(list);
    shown["count"] = std::to_string(list.size());
    shown["first"] = list.empty() ? "" : list.front();
    shown["tail"] = Join(std::span(list).last(std::min<std::size_t>(3, list.size())));
    const Bytes written = devices.empty() ? Bytes() : line().Written();
    shown["sent"] = Describe(written, engine().Image());
    for (std::size_t i = 0; i < std::min(written.size(), kHeaderSize); ++i) {
        shown["head"] += (i == 0 ? "" : " ") + Hex2(written[i]);
    }
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
        shown["saved"] =
            ReadFileBytes(dialogs.back().answer.value_or("")) == Text(fed) ? "all" : "";
    }
    const auto& boxes = view.Messages();
    shown["boxes"] = std::to_string(boxes.size());
    shown["box"] = boxes.empty() ? "" : boxes.back().caption + " - " + boxes.back().text;
    for (std::size_t at; (at = shown["box"].find("\r\n")) != std::string::npos;) {
        shown["box"].replace(at, 2, "|");
    }
    shown["menu"] = std::to_string(view.MenuEnabled(kMenuSendText));
    shown["reopen"] = std::to_string(view.MenuChecked(kMenuAutoReopen));
    shown["folder"] = view.DialogFolder();
    shown["ini"] = FileOrDash(settingsPath);
    shown["state"] = FileOrDash(dir.File("Velotrix.state"));
    shown["closed"] = std::to_string(view.MainWindowClosed());
    if (!devices.empty()) {
        const AppliedSettings a = line().Applied();
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
        std::string value = entry.substr(std::min(key.size() + 1, entry.size()));
        if (const std::size_t at = value.find("$DIR"); at != std::string::npos) {
            value.replace(at, 4, dir.path());
        }
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
                log.push_back("finished" + hex(e.crc) + " " + std::to_string(e.dataLength) + "/" +
                              std::to_string(e.total) + " dropped " + std::to_string(e.dropped) +
                              (e.hasHeader ? " z80" : ""));
            },
            [&](const ProgressEvent& e) {
                using enum ProgressEvent::Kind;
                const std::size_t left = devices.empty() ? e.value : line().BytesLeft();
                progressAhead =
                    e.kind == kUpdate
                        ? std::max<std::size_t>(progressAhead,
                                                e.value - std::min<std::size_t>(e.value, left))
                        : progressAhead;
                progress = e.kind == kUpdate ? e.value : progress;
                if (e.kind != kUpdate) {
                    log.push_back(e.kind == kShow ? "progress " + std::to_string(e.value)
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
            [&](const OsErrorEvent& e) {
                log.push_back("os error " + std::to_string(e.error.code));
            },
            [&](const LineLostEvent& e) {
                log.push_back("line lost " + std::to_string(e.error.code));
            },
            [&](const CtsEvent& e) { log.push_back(e.cts ? "cts on" : "cts off"); },
            [&](const ReopenedEvent& e) { log.push_back("reopened " + e.port.name); },
            [&](const BaudChangedEvent& e) { log.push_back("baud " + std::to_string(e.applied)); },
        },
        event);
}

}  // namespace velotrix::test
