// The test rig's steps: each word, its arguments, what it does and how.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "serial/xmodem.h"
#include "support/rig.h"
#include "support/rig_words.h"
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

// What runs (the reception, the self-test) ends after that silence: not a millisecond before.
void EndsAfter(Rig& rig, milliseconds silence, bool (Engine::*running)() const) {
    rig.loop.Advance(silence - 1ms);
    EXPECT_TRUE((rig.engine().*running)()) << "ended before " << silence.count() << " ms";
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

// A path as the steps name it: in the rig's directory, unless it is absolute.
std::string PathOf(Rig& rig, const std::string& name) {
    return name.starts_with('/') ? name : rig.dir.File(name);
}

void Save(Rig& rig, SaveTarget::Kind kind, const std::string& name) {
    if (rig.window) {
        rig.view.QueueSaveFileAnswer(PathOf(rig, name));
        rig.view.Click(kSaveButton);
    } else {
        rig.result = rig.engine().SaveReception({kind, PathOf(rig, name)}).result;
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
        rig.result = rig.engine().SendTextFile(path, rig.engine().Switches().lineEnd);
    }
}

void WriteLines(const std::string& path, std::string text) {
    std::replace(text.begin(), text.end(), '|', '\n');
    std::ofstream(path) << text << '\n';
}

std::string LogPath(Rig& rig, const std::string& name) {
    return PathOf(rig, name.empty() ? "line.log" : name);
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

// The words of the steps, each with its arguments and what it does. A step is a word and its
// arguments, steps are separated by ';'.
struct Step {
    std::string_view word;
    std::string_view arguments;
    std::string_view does;
    StepFunction run;
};

const Step kSteps[] = {
    {"open", "[DATABITS|nothing]",
     "opens the first fake port at 9600 baud, 8N1, no flow control; with DATABITS those data bits, "
     "with nothing no port chosen",
     [](Rig& r, const Arg& a) {
         r.result =
             a.all.empty()
                 ? r.Open()
                 : r.engine().Open(
                       {a.all == "nothing" ? "" : "/dev/fake/ttyS0", 9600, {}, a.number, {}, {}});
     }},
    {"rate", "BAUD", "opens the first fake port at that rate",
     [](Rig& r, const Arg& a) {
         r.result = r.engine().Open(
             {"/dev/fake/ttyS0", static_cast<std::uint32_t>(a.number), {}, {}, {}, {}});
     }},
    {"uart", "",
     "the fake line makes its rates from a UART's clock of 115200 baud, as a real adapter does",
     [](Rig& r, const Arg&) { r.line().DivideClock(115200); }},
    {"close", "", "closes the port; nothing but the byte on the wire may leave after it",
     [](Rig& r, const Arg&) { Close(r); }},
    {"stale", "N", "N bytes wait in the driver before anything else happens",
     [](Rig& r, const Arg& a) { r.line().InjectInput(Bytes(a.number, 0xEE)); }},
    {"stalled", "N",
     "the receive thread stops reading (a stopped process) and N counting bytes come meanwhile",
     [](Rig& r, const Arg& a) {
         r.line().HoldReads(true);
         const Bytes more = CountingBytes(static_cast<std::size_t>(a.number));
         r.line().InjectInput(more);
         r.fed = Concat(r.fed, more);
     }},
    {"resume", "", "the receive thread reads again and hands over what waited",
     [](Rig& r, const Arg&) {
         r.line().HoldReads(false);
         r.line().WaitUntilIdle(10s);
         r.loop.RunPending();
     }},
    {"feed", "N|z80|header|short|wrapped",
     "the far end sends N counting bytes, a z80 file (968 bytes at 1000h, HELLO), its header "
     "alone, a header that promises no data, or one whose end address wraps below its load address "
     "(49,153 bytes at 4000h)",
     [](Rig& r, const Arg& a) { r.Feed(FarEnd(a)); }},
    {"say", "TEXT", "the far end sends the text",
     [](Rig& r, const Arg& a) { r.Feed(Bytes(a.all.begin(), a.all.end())); }},
    {"inflight", "TEXT", "the text has been read from the line but waits for the UI thread",
     [](Rig& r, const Arg& a) {
         r.line().InjectInput(Bytes(a.all.begin(), a.all.end()));
         r.line().WaitUntilIdle(10s);
     }},
    {"terminal", "on|off", "the engine's terminal opens or closes",
     [](Rig& r, const Arg& a) { r.engine().SetTerminal(a.all == "on"); }},
    {"askrx", "on|off", "the terminal's \"Empfang starten\" is asked for or no longer",
     [](Rig& r, const Arg& a) { r.result = r.engine().AskReception(a.all == "on"); }},
    {"xmodemrx", "", "the engine receives by XMODEM, keeping the fill bytes",
     [](Rig& r, const Arg&) { r.result = r.engine().ReceiveXmodem(false); }},
    {"xblock", "N", "the far end sends XMODEM block N: 128 counting bytes, CRC-16",
     [](Rig& r, const Arg& a) {
         xmodem::Bytes block;
         xmodem::AppendBlock(block, static_cast<std::uint32_t>(a.number), CountingBytes(128),
                             xmodem::kShortBlock, xmodem::Check::kCrc16);
         r.Feed(block);
     }},
    {"eot", "", "the far end ends its XMODEM send (EOT)",
     [](Rig& r, const Arg&) { r.Feed({xmodem::kEot}); }},
    {"keys", "TEXT", "the text is typed in the engine's terminal",
     [](Rig& r, const Arg& a) { r.result = r.engine().Type(a.all); }},
    {"break", "", "the engine sends BREAK",
     [](Rig& r, const Arg&) { r.result = r.engine().SendBreak(); }},
    {"prompt", "TEXT MS",
     "the engine sends the loaded file once the text came from the line, or gives up after MS",
     [](Rig& r, const Arg& a) {
         r.result = r.engine().SendAfterPrompt(a.first, milliseconds(DecimalToInt(a.rest)),
                                               [&r] { return r.engine().SendFile(); });
     }},
    {"garbled", "N", "N bytes arrive with a framing error",
     [](Rig& r, const Arg& a) { r.Feed(Bytes(a.number, 0x55), {.framing = true}); }},
    {"advance", "MS", "the loop's virtual clock moves on",
     [](Rig& r, const Arg& a) { r.loop.Advance(milliseconds(a.number)); }},
    {"quiet", "MS", "the reception ends after MS of silence, not a millisecond before",
     [](Rig& r, const Arg& a) { EndsAfter(r, milliseconds(a.number), &Engine::Receiving); }},
    {"load", "NAME N [PAUSE]",
     "a file of N counting bytes (a z80 file for NAME.z80) is loaded: by the engine, with that "
     "pause after the header; by the window, through \"BIN/Z80 laden\"",
     [](Rig& r, const Arg& a) { Load(r, a); }},
    {"bin", "", "the engine's switch \"als BIN senden\" on",
     [](Rig& r, const Arg&) { r.engine().SetBinMode(true); }},
    {"noprogress", "", "the engine's switch \"Fortschrittsanzeige\" off",
     [](Rig& r, const Arg&) { r.engine().SetShowProgress(false); }},
    {"continuous", "", "the engine's switch \"Endlos senden\" on",
     [](Rig& r, const Arg&) { r.engine().SetContinuousSend(true); }},
    {"send", "", "the engine sends the loaded file",
     [](Rig& r, const Arg&) { r.result = r.engine().SendFile(); }},
    {"text", "T", "the engine sends the text",
     [](Rig& r, const Arg& a) { r.result = r.engine().SendText(a.all); }},
    {"save", "NAME",
     "the reception is saved into that file of the rig's directory (or at a path from /), "
     "replacing one (the window: \"Sichern\", the dialog answered with it)",
     [](Rig& r, const Arg& a) { Save(r, SaveTarget::Kind::kFile, a.all); }},
    {"savenew", "NAME",
     "the engine saves the reception into that file, or beside a file of that name",
     [](Rig& r, const Arg& a) { Save(r, SaveTarget::Kind::kNewFile, a.all); }},
    {"savein", "DIR", "the engine saves the reception into that folder under its own name",
     [](Rig& r, const Arg& a) { Save(r, SaveTarget::Kind::kFolder, a.all); }},
    {"slow", "US", "each byte takes that many microseconds to leave the fake line",
     [](Rig& r, const Arg& a) { r.line().SetByteTime(std::chrono::microseconds(a.number)); }},
    {"hold", "", "the fake line takes no more bytes until release",
     [](Rig& r, const Arg&) { r.line().HoldWrites(true); }},
    {"cts", "", "the far end raises CTS", [](Rig& r, const Arg&) { r.line().SetCts(true); }},
    {"status", "[DSR] [DCD] [RI]", "the far end drives those status lines high, the others low",
     [](Rig& r, const Arg& a) {
         r.line().SetStatus(a.all.find("DSR") != std::string::npos,
                            a.all.find("DCD") != std::string::npos,
                            a.all.find("RI") != std::string::npos);
     }},
    {"failwait", "ERR", "the driver's next wait fails with that error number",
     [](Rig& r, const Arg& a) { r.line().FailNextWait(a.number); }},
    {"failwrite", "ERR", "the driver's writes fail with that error number",
     [](Rig& r, const Arg& a) { r.line().FailWrites(a.number); }},
    {"busyport", "", "opening a fake port fails as busy",
     [](Rig& r, const Arg&) { r.openFailure = EBUSY; }},
    {"nolink", "", "the fake ports' names are plain device names that may pass to another device",
     [](Rig& r, const Arg&) { r.linked = false; }},
    {"watch", "",
     "the engine sends each rewrite of the loaded file, as a window would, and notes it (key "
     "rewrites)",
     [](Rig& r, const Arg&) { WatchLoaded(r); }},
    {"rewrite", "NAME N", "the file is written anew, as load writes it, and its watch told",
     [](Rig& r, const Arg& a) { r.watches.Change(WriteFile(r, a)); }},
    {"unwatchable", "", "no file watch starts any more (the system's limit reached)",
     [](Rig& r, const Arg&) { r.watches.RefuseStarts(ENOSPC); }},
    {"vanish", "NAME", "the file is removed and its watch told",
     [](Rig& r, const Arg& a) {
         std::remove(r.dir.File(a.all).c_str());
         r.watches.Change(r.dir.File(a.all));
     }},
    {"release", "", "hold ends", [](Rig& r, const Arg&) { r.line().HoldWrites(false); }},
    {"logon", "[PATH]", "the engine's line log into PATH (line.log in the rig's directory)",
     [](Rig& r, const Arg& a) { r.result = r.engine().StartLog(LogPath(r, a.all)); }},
    {"logoff", "", "the line log ends", [](Rig& r, const Arg&) { r.engine().StopLog(); }},
    {"protocol", "[PATH]",
     "the window's menu item \"Protokoll\", its file dialog answered with PATH",
     [](Rig& r, const Arg& a) {
         if (!a.all.empty()) {
             r.view.QueueSaveFileAnswer(LogPath(r, a.all));
         }
         r.view.Click(kMenuLineLog);
     }},
    {"idle", "", "pumps until no send runs and its end has been shown",
     [](Rig& r, const Arg&) { EXPECT_TRUE(r.PumpUntilIdle()); }},
    {"pump", "", "pumps the loop for a tenth of a second",
     [](Rig& r, const Arg&) { r.Pump([] { return false; }, 100ms); }},
    {"logfailed", "", "pumps until the failed write of the line log has been seen",
     [](Rig& r, const Arg&) {
         // The window has seen it once its check mark is gone; a window that keeps it waits out
         // the timeout, and its row fails.
         r.Pump([&] {
             return r.window ? !r.view.MenuChecked(kMenuLineLog) : bool(r.engine().LogFailure());
         });
     }},
    {"until", "N", "pumps until the line got N bytes (or the pause of 1000 ms was listed)",
     [](Rig& r, const Arg& a) { EXPECT_TRUE(r.Pump([&] { return Written(r, a.number); })); }},
    {"gap", "MS", "the data began at least MS after the header had left the driver",
     [](Rig& r, const Arg& a) { ExpectGap(r, milliseconds(a.number)); }},
    {"chardelay", "MS", "the pause after each byte of a send",
     [](Rig& r, const Arg& a) { r.engine().SetCharDelay(a.number); }},
    {"linedelay", "MS", "the pause after each line end of a text",
     [](Rig& r, const Arg& a) { r.engine().SetLineDelay(a.number); }},
    {"eol", "none|cr|crlf|lf", "the line end of a text",
     [](Rig& r, const Arg& a) {
         constexpr std::string_view kEnds[] = {"none", "cr", "crlf", "lf"};
         r.engine().SetLineEnd(
             static_cast<LineEnd>(std::ranges::find(kEnds, a.all) - std::begin(kEnds)));
     }},
    {"textfile", "NAME TEXT",
     "a file of that text is sent as a text file (the window: \"Textdatei senden\")",
     [](Rig& r, const Arg& a) { SendTextFile(r, a); }},
    {"gaps", "CHAR LINE",
     "each byte began at least CHAR ms after the one before had left the driver, LINE ms more "
     "after a line end (LF, or CR without LF behind it)",
     [](Rig& r, const Arg& a) { ExpectGaps(r, a); }},
    {"dtr", "on|off", "the engine raises or drops DTR",
     [](Rig& r, const Arg& a) {
         r.result = r.engine().SetModemLine(ModemLine::kDtr, a.all == "on");
     }},
    {"rts", "on|off", "the engine raises or drops RTS",
     [](Rig& r, const Arg& a) {
         r.result = r.engine().SetModemLine(ModemLine::kRts, a.all == "on");
     }},
    {"loop", "[change|drop N]", "the far end echoes what is written, byte N changed or dropped",
     [](Rig& r, const Arg& a) { LoopBack(r, a); }},
    {"selftest", "", "the engine starts the adapter self-test",
     [](Rig& r, const Arg&) { r.result = r.engine().StartSelfTest(); }},
    {"back", "", "pumps until the self-test has ended",
     [](Rig& r, const Arg&) { EXPECT_TRUE(r.Pump([&] { return !r.engine().SelfTesting(); })); }},
    {"silent", "MS", "the self-test ends after MS of silence, not a millisecond before",
     [](Rig& r, const Arg& a) { EndsAfter(r, milliseconds(a.number), &Engine::SelfTesting); }},
    {"take", "[keeps]",
     "the rig's taker of the received bytes is installed (keeping the line to itself); it notes "
     "what it is told (key taken)",
     [](Rig& r, const Arg& a) { Take(r, a); }},
    {"untake", "", "the rig's taker leaves the slot",
     [](Rig& r, const Arg&) { r.engine().ReceivedBytes().Remove(*r.taker); }},
    {"hush", "MS", "the rig's taker waits for MS of silence",
     [](Rig& r, const Arg& a) {
         r.engine().ReceivedBytes().WaitForSilence(*r.taker, milliseconds(a.number));
     }},
    {"click", "NAME", "the person clicks the control of that name (see ControlNames)",
     [](Rig& r, const Arg& a) { r.view.Click(IdOf(a.all)); }},
    {"ttype", "TEXT", "the person types the text in the terminal window, one key a character",
     [](Rig& r, const Arg& a) { r.view.TypeInTerminal(a.all); }},
    {"tkey", "enter|bs|tab|esc|up|down|right|left|del",
     "the person presses that key in the terminal window",
     [](Rig& r, const Arg& a) { r.view.PressInTerminal(KeyNamed(a.all)); }},
    {"tpaste", "TEXT", "the person pastes the text into the terminal window",
     [](Rig& r, const Arg& a) { r.view.PasteInTerminal(a.all); }},
    {"tselect", "LINE COLUMN LINE COLUMN",
     "the person selects from one place of the terminal's screen to another, the lines counted "
     "from the first kept",
     [](Rig& r, const Arg& a) { SelectInTerminal(r, a.all); }},
    {"tclose", "", "the person clicks the terminal window's close box",
     [](Rig& r, const Arg&) { r.view.CloseTerminalByUser(); }},
    {"trows", "N", "the person makes the terminal window N lines high",
     [](Rig& r, const Arg& a) { r.view.ResizeTerminal(a.number); }},
    {"tplace", "X Y W H", "the person moves and sizes the terminal window",
     [](Rig& r, const Arg& a) { r.view.PlaceTerminal(RectOf(a.all)); }},
    {"answer", "NAME", "the next open dialog answers the file NAME in the rig's directory",
     [](Rig& r, const Arg& a) { r.view.QueueOpenFileAnswer(r.dir.File(a.all)); }},
    {"command", "NAME", "the command of that name reaches the window, whatever its control's state",
     [](Rig& r, const Arg& a) { r.view.SendCommand(IdOf(a.all)); }},
    {"select", "NAME ENTRY",
     "the person picks the first entry of that combo box that starts with ENTRY",
     [](Rig& r, const Arg& a) { Select(r, IdOf(a.first), a.rest); }},
    {"type", "NAME TEXT", "the person types the text into that control",
     [](Rig& r, const Arg& a) { r.view.Type(IdOf(a.first), a.rest); }},
    {"escape", "", "the person presses Escape", [](Rig& r, const Arg&) { r.view.PressEscape(); }},
    {"enter", "", "the person presses Enter", [](Rig& r, const Arg&) { r.view.PressEnter(); }},
    {"tab", "N", "the person presses Tab N times",
     [](Rig& r, const Arg& a) {
         for (int i = 0; i < a.number; ++i) {
             r.view.PressTab();
         }
     }},
    {"closebox", "", "the person clicks the window's close box",
     [](Rig& r, const Arg&) { r.view.PressCloseBox(); }},
    {"no", "", "the next question is answered with no",
     [](Rig& r, const Arg&) { r.view.QueueYesNoAnswer(false); }},
    {"yes", "", "the next question is answered with yes",
     [](Rig& r, const Arg&) { r.view.QueueYesNoAnswer(true); }},
    {"ini", "A|B", "the settings file holds these lines",
     [](Rig& r, const Arg& a) { WriteLines(r.settingsPath, a.all); }},
    {"restart", "[PATH]",
     "the window starts again, as on a second day (with the settings file at PATH in the rig's "
     "directory)",
     [](Rig& r, const Arg& a) { r.StartWindow(a.all); }},
    {"mkdir", "DIR", "a folder in the rig's directory",
     [](Rig& r, const Arg& a) { std::filesystem::create_directory(r.dir.File(a.all)); }},
    {"write", "NAME N", "a file of N counting bytes in the rig's directory",
     [](Rig& r, const Arg& a) { r.dir.Write(a.first, CountingBytes(a.number)); }},
    {"every", "DIR", "\"Jeden Empfang sichern in ...\" chooses that folder of the rig's directory",
     [](Rig& r, const Arg& a) {
         r.view.QueueFolderAnswer(r.dir.File(a.all));
         r.view.Click(kMenuSaveEvery);
     }},
};

}  // namespace

void RunStep(Rig& rig, const std::string& step) {
    const std::size_t space = std::min(step.find(' '), step.size());
    Arg arg{step.substr(std::min(space + 1, step.size())), {}, {}, 0};
    arg.first = arg.all.substr(0, arg.all.find(' '));
    arg.rest = arg.all.substr(std::min(arg.first.size() + 1, arg.all.size()));
    arg.number = DecimalToInt(arg.first.empty() || arg.first[0] > '9' ? arg.rest : arg.first);
    SCOPED_TRACE(step);
    const auto found =
        std::ranges::find(kSteps, std::string_view(step).substr(0, space), &Step::word);
    ASSERT_NE(found, std::end(kSteps)) << "no such step";
    found->run(rig, arg);
}

}  // namespace velotrix::test
