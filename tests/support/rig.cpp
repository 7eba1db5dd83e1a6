// The test rig of the engine and the window: its steps.
#include "support/rig.h"
#include "support/rig_words.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <variant>

#include "serial/xmodem.h"
#include "text/text_helpers.h"
#include "ui-resources/ids.h"

namespace velotrix::test {

namespace {

using namespace std::chrono_literals;
using namespace ids;
using std::chrono::milliseconds;

// The z80 file the far end sends: a header that promises 968 bytes, and them.
const Bytes kZ80 = Z80File(0x1000, 0x13C7, 0x2000, 'B', "HELLO", 968);

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

// The file NAME of N counting bytes, a z80 file for NAME.z80; its path.
std::string WriteFile(Rig& rig, const Arg& arg) {
    const auto count = static_cast<std::uint16_t>(arg.number);
    return rig.dir.Write(arg.first,
                         arg.first.ends_with(".z80")
                             ? Z80File(0x4000, 0x4000 + count - 1, 0x4000, 'P', "HELLO", count)
                             : CountingBytes(count));
}

void Load(Rig& rig, const Arg& arg) {
    const std::string path = WriteFile(rig, arg);
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
// doing (how soon after the click is the benchmark's figure, never a test's).
void Close(Rig& rig) {
    rig.engine().Close();
    EXPECT_LE(rig.line().BytesLeavingAfter(std::chrono::steady_clock::now()), 1u);
}

void Save(Rig& rig, SaveTarget::Kind kind, const std::string& name) {
    if (rig.window) {
        rig.view.QueueSaveFileAnswer(rig.dir.File(name));
        rig.view.Click(kSaveButton);
    } else {
        rig.result = rig.engine().SaveReception({kind, rig.dir.File(name)}).result;
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

// The engine face sends each rewrite as a window would, and logs what it got.
void WatchLoaded(Rig& rig) {
    rig.engine().WatchLoadedFile([&rig](const FileRewritten& rewritten) {
        const ConstHeaderBytes header = rig.engine().Image().Header();
        std::string name = HeaderName(header);
        TrimText(name);
        rig.rewrites.push_back(!rewritten.watching ? "watch failed"
                               : rewritten.outcome.loaded
                                   ? "reloaded " + Hex4(HeaderAadr(header)) + " " +
                                         Hex4(HeaderEadr(header)) + " " + name +
                                         (rewritten.passTakesIt ? " by the pass" : "")
                                   : "reload failed");
        rig.log.push_back(rig.rewrites.back());
        if (rewritten.outcome.loaded && !rewritten.passTakesIt) {
            rig.result = rig.engine().SendFile();
        }
    });
}

// Each byte began at least CHAR ms after the one before had left the driver, LINE ms more after
// the end of a line (LF, or CR without LF behind it).
void ExpectGaps(Rig& rig, const Arg& arg) {
    const std::vector<FakeSerialDevice::Sent> sent = rig.line().SentLog();
    ASSERT_GT(sent.size(), 1u);
    for (std::size_t i = 1; i < sent.size(); ++i) {
        const std::uint8_t before = sent[i - 1].byte;
        const bool lineEnded = before == '\n' || (before == '\r' && sent[i].byte != '\n');
        const int least = DecimalToInt(arg.first) + (lineEnded ? DecimalToInt(arg.rest) : 0);
        EXPECT_GE(sent[i].written - sent[i - 1].left, milliseconds(least)) << "byte " << i;
    }
}

void SendTextFile(Rig& rig, const Arg& arg) {
    const std::string path = rig.dir.Write(arg.first, Bytes(arg.rest.begin(), arg.rest.end()));
    if (rig.window) {
        rig.view.QueueOpenFileAnswer(path);
        rig.view.SendCommand(kMenuSendTextFile);
    } else {
        rig.result = rig.engine().SendTextFile(path);
    }
}

void WriteLines(const std::string& path, std::string text) {
    std::replace(text.begin(), text.end(), '|', '\n');
    std::ofstream(path) << text << '\n';
}

// The line log's clock: the loop's virtual time, from noon on 7 December 2026.
LogClock NoonClock(const ManualLoop& loop) {
    using namespace std::chrono;
    const milliseconds noon = sys_days{year{2026} / 12 / 7}.time_since_epoch() + hours(12);
    return [&loop, noon] { return noon + loop.Now(); };
}

std::string LogPath(Rig& rig, const std::string& name) {
    return name.starts_with('/') ? name : rig.dir.File(name.empty() ? "line.log" : name);
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

// The far end of a bridged plug: every byte back, or with the byte at an index changed or dropped.
void LoopBack(Rig& rig, const Arg& arg) {
    const std::size_t at = static_cast<std::size_t>(arg.number);
    const std::string how = arg.first;
    std::size_t seen = 0;
    rig.line().LoopBack([at, how, seen](Bytes& bytes) mutable {
        if (!how.empty() && at >= seen && at < seen + bytes.size()) {
            const auto where = bytes.begin() + static_cast<long>(at - seen);
            how == "drop" ? void(bytes.erase(where))
                          : void(*where = static_cast<std::uint8_t>(*where ^ 0x01));
        }
        seen += bytes.size();
    });
}

TerminalKey KeyNamed(std::string_view name) {
    constexpr std::pair<std::string_view, TerminalKey> kKeys[] = {
        {"enter", TerminalKey::kEnter}, {"bs", TerminalKey::kBackspace},
        {"tab", TerminalKey::kTab},     {"esc", TerminalKey::kEscape},
        {"up", TerminalKey::kUp},       {"down", TerminalKey::kDown},
        {"right", TerminalKey::kRight}, {"left", TerminalKey::kLeft},
        {"del", TerminalKey::kDelete}};
    const auto found =
        std::ranges::find(kKeys, name, &std::pair<std::string_view, TerminalKey>::first);
    EXPECT_NE(found, std::end(kKeys)) << name;
    return found == std::end(kKeys) ? TerminalKey::kEnter : found->second;
}

// "A B C D": four whole numbers.
std::vector<int> NumbersOf(const std::string& text) {
    std::vector<int> numbers;
    std::istringstream words(text);
    for (int number = 0; words >> number;) {
        numbers.push_back(number);
    }
    numbers.resize(4);
    return numbers;
}

layout::Rect RectOf(const std::string& text) {
    const std::vector<int> n = NumbersOf(text);
    return {n[0], n[1], n[2], n[3]};
}

// "LINE COLUMN LINE COLUMN", the lines counted from the first kept.
void SelectInTerminal(Rig& rig, const std::string& text) {
    const std::vector<int> n = NumbersOf(text);
    const std::uint64_t first =
        rig.view.Terminal() != nullptr ? rig.view.Terminal()->FirstLine() : 0;
    rig.view.SelectInTerminal(std::pair(
        TerminalPlace{first + static_cast<std::uint64_t>(n[0]), static_cast<std::size_t>(n[1])},
        TerminalPlace{first + static_cast<std::uint64_t>(n[2]), static_cast<std::size_t>(n[3])}));
}

// Takes the received bytes in the rig's stead and notes what it is told: the bytes (a count that
// grows while batches follow each other), line errors, silence, the port's close or loss.
class NotingTaker final : public ByteTaker {
  public:
    NotingTaker(Rig& rig, bool keepsLine) : rig_(rig), keepsLine_(keepsLine) {}
    void OnBytes(std::span<const std::uint8_t> batch) override {
        const bool following = !rig_.taken.empty() && rig_.taken.back().starts_with("bytes");
        bytes_ = (following ? bytes_ : 0) + batch.size();
        if (!following) {
            rig_.taken.emplace_back();
        }
        rig_.taken.back() = "bytes " + std::to_string(bytes_);
    }
    void OnLineErrors(const LineErrors& errors) override {
        rig_.taken.push_back(errors.framing ? "framing" : "errors");
    }
    void OnSilence() override { rig_.taken.push_back("silence"); }
    void OnPortClosed(bool lost) override { rig_.taken.push_back(lost ? "lost" : "closed"); }
    bool KeepsLineToItself() const override { return keepsLine_; }

  private:
    Rig& rig_;
    bool keepsLine_;
    std::size_t bytes_ = 0;
};

void Take(Rig& rig, const Arg& arg) {
    if (!rig.taker) {
        rig.taker = std::make_unique<NotingTaker>(rig, arg.all == "keeps");
    }
    rig.taken.push_back(rig.engine().ReceivedBytes().Install(*rig.taker) ? "installed" : "refused");
}

// The silence after which the self-test ends: not a millisecond before.
void Silent(Rig& rig, milliseconds silence) {
    rig.loop.Advance(silence - 1ms);
    EXPECT_TRUE(rig.engine().SelfTesting()) << "ended before " << silence.count() << " ms";
    rig.loop.Advance(1ms);
}

// The words of the steps:
//   open [DATABITS|nothing], close: the port (engine; a close must stop everything at once)
//   stale N: bytes wait in the driver; feed N|z80|header|short|wrapped: the far end sends N
//   counting bytes, kZ80, its header alone, a header that promises no data, one whose end address
//   wraps below its load address (49,153 bytes at 4000h); garbled N: with a line error
//   say TEXT: the far end sends the text; inflight TEXT: it has been read but waits for the UI
//   thread; terminal on|off, askrx on|off: the terminal and its "Empfang starten"; keys TEXT:
//   typed in the terminal; break: BREAK; prompt TEXT MS: the loaded file is sent once TEXT came;
//   xmodemrx: an XMODEM reception; xblock N, eot: the far end sends block N (128 counting bytes,
//   CRC-16), the end
//   advance MS: time passes; quiet MS: the reception ends after MS of silence, not before
//   load NAME N [PAUSE]: a file of N counting bytes (a z80 file for NAME.z80) is loaded
//   bin, noprogress, continuous, send, text T, save NAME: the engine's switches and calls (save
//   replaces a file; savenew NAME saves beside a file of that name, savein DIR into a folder)
//   slow US, hold, cts, failwait ERR, failwrite ERR, busyport: what the line and driver do;
//   status [DSR] [DCD] [RI]: the status lines the far end drives (the others low)
//   nolink: the fake ports' names are plain device names that may pass to another device
//   watch: the engine sends each rewrite of the loaded file; rewrite NAME N, vanish NAME: the
//   file is written anew (as load writes it) or removed, and its watch told; unwatchable: no
//   watch starts any more (the system's limit reached); release: hold ends
//   logon [PATH], logoff: the line log into PATH (line.log in the rig's directory) and off;
//   logfailed: pump until a failed write of the line log has been seen;
//   protocol [PATH]: the window's menu item "Protokoll", the file dialog answered with PATH
//   idle, pump, until N: pump until the send ended, for a while, until N bytes were written
//   dtr|rts on|off: the engine's modem lines; loop [change|drop N]: the far end echoes what is
//   written (changing or dropping byte N); selftest: starts it; back: pump until it ended;
//   silent MS: the self-test ends after MS of silence, not before
//   take [keeps]: a taker of the received bytes is installed (keeping the line to itself), see
//   NotingTaker; untake: it is removed; hush MS: it waits for MS of silence
//   gap MS: the data began at least MS after the header had left the driver
//   chardelay MS, linedelay MS, eol none|cr|crlf|lf: the pauses and the line end of a send
//   textfile NAME TEXT: a file of that text is sent as a text file; gaps CHAR LINE: see ExpectGaps
//   click NAME, command NAME, select NAME ENTRY, type NAME TEXT, escape, enter, closebox, no, yes
//   (window)
//   ini A|B: the settings file holds these lines; restart [PATH]: the window starts again (with
//   the settings file at PATH in the rig's directory)
//   mkdir DIR, write NAME N: a folder, a file of N counting bytes in the rig's directory
//   ttype TEXT, tkey enter|bs|tab|esc|up|down|right|left|del, tpaste TEXT, tselect L C L C (lines
//   from the first kept), tclose, trows N, tplace X Y W H: a person at the terminal window;
//   answer NAME: the next open dialog answers the file NAME in the rig's directory
//   every DIR: "Jeden Empfang sichern in ..." chooses that folder of the rig's directory
const std::map<std::string_view, StepFunction> kSteps = {
    {"open",
     [](Rig& r, const Arg& a) {
         r.result =
             a.all.empty()
                 ? r.Open()
                 : r.engine().Open(
                       {a.all == "nothing" ? "" : "/dev/fake/ttyS0", 9600, {}, a.number, {}, {}});
     }},
    {"rate",
     [](Rig& r, const Arg& a) {
         r.result = r.engine().Open(
             {"/dev/fake/ttyS0", static_cast<std::uint32_t>(a.number), {}, {}, {}, {}});
     }},
    {"uart", [](Rig& r, const Arg&) { r.line().DivideClock(115200); }},
    {"close", [](Rig& r, const Arg&) { Close(r); }},
    {"stale", [](Rig& r, const Arg& a) { r.line().InjectInput(Bytes(a.number, 0xEE)); }},
    {"feed", [](Rig& r, const Arg& a) { r.Feed(FarEnd(a)); }},
    {"say", [](Rig& r, const Arg& a) { r.Feed(Bytes(a.all.begin(), a.all.end())); }},
    {"inflight",
     [](Rig& r, const Arg& a) {
         r.line().InjectInput(Bytes(a.all.begin(), a.all.end()));
         r.line().WaitUntilIdle(10s);
     }},
    {"terminal", [](Rig& r, const Arg& a) { r.engine().SetTerminal(a.all == "on"); }},
    {"askrx", [](Rig& r, const Arg& a) { r.result = r.engine().AskReception(a.all == "on"); }},
    {"xmodemrx", [](Rig& r, const Arg&) { r.result = r.engine().ReceiveXmodem(false); }},
    {"xblock",
     [](Rig& r, const Arg& a) {
         xmodem::Bytes block;
         xmodem::AppendBlock(block, static_cast<std::uint32_t>(a.number), CountingBytes(128),
                             xmodem::kShortBlock, xmodem::Check::kCrc16);
         r.Feed(block);
     }},
    {"eot", [](Rig& r, const Arg&) { r.Feed({xmodem::kEot}); }},
    {"keys", [](Rig& r, const Arg& a) { r.result = r.engine().Type(a.all); }},
    {"break", [](Rig& r, const Arg&) { r.result = r.engine().SendBreak(); }},
    {"prompt",
     [](Rig& r, const Arg& a) {
         r.result = r.engine().SendAfterPrompt(a.first, milliseconds(DecimalToInt(a.rest)),
                                               [&r] { return r.engine().SendFile(); });
     }},
    {"garbled", [](Rig& r, const Arg& a) { r.Feed(Bytes(a.number, 0x55), {.framing = true}); }},
    {"advance", [](Rig& r, const Arg& a) { r.loop.Advance(milliseconds(a.number)); }},
    {"quiet", [](Rig& r, const Arg& a) { Quiet(r, milliseconds(a.number)); }},
    {"load", [](Rig& r, const Arg& a) { Load(r, a); }},
    {"bin", [](Rig& r, const Arg&) { r.engine().SetBinMode(true); }},
    {"noprogress", [](Rig& r, const Arg&) { r.engine().SetShowProgress(false); }},
    {"continuous", [](Rig& r, const Arg&) { r.engine().SetContinuousSend(true); }},
    {"send", [](Rig& r, const Arg&) { r.result = r.engine().SendFile(); }},
    {"text", [](Rig& r, const Arg& a) { r.result = r.engine().SendText(a.all); }},
    {"save", [](Rig& r, const Arg& a) { Save(r, SaveTarget::Kind::kFile, a.all); }},
    {"savenew", [](Rig& r, const Arg& a) { Save(r, SaveTarget::Kind::kNewFile, a.all); }},
    {"savein", [](Rig& r, const Arg& a) { Save(r, SaveTarget::Kind::kFolder, a.all); }},
    {"slow",
     [](Rig& r, const Arg& a) { r.line().SetByteTime(std::chrono::microseconds(a.number)); }},
    {"hold", [](Rig& r, const Arg&) { r.line().HoldWrites(true); }},
    {"cts", [](Rig& r, const Arg&) { r.line().SetCts(true); }},
    {"status",
     [](Rig& r, const Arg& a) {
         r.line().SetStatus(a.all.find("DSR") != std::string::npos,
                            a.all.find("DCD") != std::string::npos,
                            a.all.find("RI") != std::string::npos);
     }},
    {"failwait", [](Rig& r, const Arg& a) { r.line().FailNextWait(a.number); }},
    {"failwrite", [](Rig& r, const Arg& a) { r.line().FailWrites(a.number); }},
    {"busyport", [](Rig& r, const Arg&) { r.openFailure = EBUSY; }},
    {"nolink", [](Rig& r, const Arg&) { r.linked = false; }},
    {"watch", [](Rig& r, const Arg&) { WatchLoaded(r); }},
    {"rewrite", [](Rig& r, const Arg& a) { r.watches.Change(WriteFile(r, a)); }},
    {"unwatchable", [](Rig& r, const Arg&) { r.watches.RefuseStarts(ENOSPC); }},
    {"vanish",
     [](Rig& r, const Arg& a) {
         std::remove(r.dir.File(a.all).c_str());
         r.watches.Change(r.dir.File(a.all));
     }},
    {"release", [](Rig& r, const Arg&) { r.line().HoldWrites(false); }},
    {"logon", [](Rig& r, const Arg& a) { r.result = r.engine().StartLog(LogPath(r, a.all)); }},
    {"logoff", [](Rig& r, const Arg&) { r.engine().StopLog(); }},
    {"protocol",
     [](Rig& r, const Arg& a) {
         if (!a.all.empty()) {
             r.view.QueueSaveFileAnswer(LogPath(r, a.all));
         }
         r.view.Click(kMenuLineLog);
     }},
    {"idle", [](Rig& r, const Arg&) { EXPECT_TRUE(r.PumpUntilIdle()); }},
    {"pump", [](Rig& r, const Arg&) { r.Pump([] { return false; }, 100ms); }},
    {"logfailed",
     [](Rig& r, const Arg&) {
         // The window has seen it once its check mark is gone; a window that keeps it waits out
         // the timeout, and its row fails.
         r.Pump([&] {
             return r.window ? !r.view.MenuChecked(kMenuLineLog) : bool(r.engine().LogFailure());
         });
     }},
    {"until",
     [](Rig& r, const Arg& a) { EXPECT_TRUE(r.Pump([&] { return Written(r, a.number); })); }},
    {"gap", [](Rig& r, const Arg& a) { ExpectGap(r, milliseconds(a.number)); }},
    {"chardelay", [](Rig& r, const Arg& a) { r.engine().SetCharDelay(a.number); }},
    {"linedelay", [](Rig& r, const Arg& a) { r.engine().SetLineDelay(a.number); }},
    {"eol",
     [](Rig& r, const Arg& a) {
         constexpr std::string_view kEnds[] = {"none", "cr", "crlf", "lf"};
         r.engine().SetLineEnd(
             static_cast<LineEnd>(std::ranges::find(kEnds, a.all) - std::begin(kEnds)));
     }},
    {"textfile", [](Rig& r, const Arg& a) { SendTextFile(r, a); }},
    {"gaps", [](Rig& r, const Arg& a) { ExpectGaps(r, a); }},
    {"dtr",
     [](Rig& r, const Arg& a) {
         r.result = r.engine().SetModemLine(ModemLine::kDtr, a.all == "on");
     }},
    {"rts",
     [](Rig& r, const Arg& a) {
         r.result = r.engine().SetModemLine(ModemLine::kRts, a.all == "on");
     }},
    {"loop", [](Rig& r, const Arg& a) { LoopBack(r, a); }},
    {"selftest", [](Rig& r, const Arg&) { r.result = r.engine().StartSelfTest(); }},
    {"back",
     [](Rig& r, const Arg&) { EXPECT_TRUE(r.Pump([&] { return !r.engine().SelfTesting(); })); }},
    {"silent", [](Rig& r, const Arg& a) { Silent(r, milliseconds(a.number)); }},
    {"take", [](Rig& r, const Arg& a) { Take(r, a); }},
    {"untake", [](Rig& r, const Arg&) { r.engine().ReceivedBytes().Remove(*r.taker); }},
    {"hush",
     [](Rig& r, const Arg& a) {
         r.engine().ReceivedBytes().WaitForSilence(*r.taker, milliseconds(a.number));
     }},
    {"click", [](Rig& r, const Arg& a) { r.view.Click(IdOf(a.all)); }},
    {"ttype", [](Rig& r, const Arg& a) { r.view.TypeInTerminal(a.all); }},
    {"tkey", [](Rig& r, const Arg& a) { r.view.PressInTerminal(KeyNamed(a.all)); }},
    {"tpaste", [](Rig& r, const Arg& a) { r.view.PasteInTerminal(a.all); }},
    {"tselect", [](Rig& r, const Arg& a) { SelectInTerminal(r, a.all); }},
    {"tclose", [](Rig& r, const Arg&) { r.view.CloseTerminalByUser(); }},
    {"trows", [](Rig& r, const Arg& a) { r.view.ResizeTerminal(a.number); }},
    {"tplace", [](Rig& r, const Arg& a) { r.view.PlaceTerminal(RectOf(a.all)); }},
    {"answer", [](Rig& r, const Arg& a) { r.view.QueueOpenFileAnswer(r.dir.File(a.all)); }},
    {"command", [](Rig& r, const Arg& a) { r.view.SendCommand(IdOf(a.all)); }},
    {"select", [](Rig& r, const Arg& a) { Select(r, IdOf(a.first), a.rest); }},
    {"type", [](Rig& r, const Arg& a) { r.view.Type(IdOf(a.first), a.rest); }},
    {"escape", [](Rig& r, const Arg&) { r.view.PressEscape(); }},
    {"enter", [](Rig& r, const Arg&) { r.view.PressEnter(); }},
    {"tab",
     [](Rig& r, const Arg& a) {
         for (int i = 0; i < a.number; ++i) {
             r.view.PressTab();
         }
     }},
    {"closebox", [](Rig& r, const Arg&) { r.view.PressCloseBox(); }},
    {"no", [](Rig& r, const Arg&) { r.view.QueueYesNoAnswer(false); }},
    {"yes", [](Rig& r, const Arg&) { r.view.QueueYesNoAnswer(true); }},
    {"ini", [](Rig& r, const Arg& a) { WriteLines(r.settingsPath, a.all); }},
    {"restart", [](Rig& r, const Arg& a) { r.StartWindow(a.all); }},
    {"mkdir", [](Rig& r, const Arg& a) { std::filesystem::create_directory(r.dir.File(a.all)); }},
    {"write", [](Rig& r, const Arg& a) { r.dir.Write(a.first, CountingBytes(a.number)); }},
    {"every",
     [](Rig& r, const Arg& a) {
         r.view.QueueFolderAnswer(r.dir.File(a.all));
         r.view.Click(kMenuSaveEvery);
     }},
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

Bytes Synthesized(std::uint16_t aadr, std::size_t length, std::uint16_t sadr, std::string name) {
    Bytes header = Z80File(aadr, static_cast<std::uint16_t>(aadr + length - 1), sadr, 'P',
                           name + std::string(16, ' '), 0);
    std::copy_n("AC1KZV", 6, header.begin() + kCreatorTagOffset);
    return header;
}

namespace {
std::vector<WindowRow>& AllWindowRows() {
    static std::vector<WindowRow> rows;
    return rows;
}
}  // namespace

bool AddWindowRows(std::span<const WindowRow> rows) {
    AllWindowRows().insert(AllWindowRows().end(), rows.begin(), rows.end());
    return true;
}

std::span<const WindowRow> WindowRows() {
    return AllWindowRows();
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
        own->SetFileWatchStarter(watches.Starter());
        own->SetLogClock(NoonClock(loop));
        own->SetLineErrorPause(
            [this](milliseconds duration, const auto&) { paused = duration.count(); });
    }
}

void Rig::StartWindow(const std::string& settingsFile) {
    window.reset();
    // The person is the same on the second day.
    HeadlessView::PersonTrace trace = view.Trace();
    view = HeadlessView();
    view.SetTrace(std::move(trace));
    settingsPath = dir.File(settingsFile.empty() ? "Velotrix.ini" : settingsFile);
    window =
        std::make_unique<MainController>(view, loop, ControllerEnvironment{settingsPath, access_});
    window->GetEngine().SetFileWatchStarter(watches.Starter());
    window->GetEngine().SetLogClock(NoonClock(loop));
    window->Start();
}

Rig::~Rig() {
    // Workers stop before the devices and the loop go; the taker leaves the slot before it goes.
    if (taker) {
        engine().ReceivedBytes().Remove(*taker);
    }
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

}  // namespace velotrix::test
