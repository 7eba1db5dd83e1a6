// The test rig's steps: each word and how it is done (STEPS.md says what each does).
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
#include "support/row_file.h"
#include "text/text_helpers.h"
#include "ui-resources/ids.h"

namespace velotrix::test {

namespace {

using namespace std::chrono_literals;
using namespace ids;
using std::chrono::milliseconds;
using Kind = HeadlessView::FileDialogKind;

// The z80 file the far end sends: a header that promises 968 bytes, and them.
const Bytes kZ80 = Z80File(0x1000, 0x13C7, 0x2000, 'B', "HELLO", 968);

struct Arg {
    std::string all, first, rest;
    int number;
};

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
        rig.view.QueueAnswer(Kind::kOpen, path);
        rig.view.Click(kLoadButton);
    } else {
        rig.engine().LoadFile(path);
        const std::size_t pause = arg.rest.find(' ');
        rig.engine().SetPause(
            pause == std::string::npos ? 0 : DecimalToInt(arg.rest.substr(pause + 1)));
    }
}

// A path as the steps name it: in the rig's directory, unless it is absolute.
std::string PathOf(Rig& rig, const std::string& name) {
    return name.starts_with('/') ? name : rig.dir.File(name);
}

void Save(Rig& rig, SaveTarget::Kind kind, const std::string& name) {
    if (rig.window) {
        rig.view.QueueAnswer(Kind::kSave, PathOf(rig, name));
        rig.view.Click(kSaveButton);
    } else {
        rig.result = rig.engine().SaveReception({kind, PathOf(rig, name)}).result;
    }
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
        rig.view.QueueAnswer(Kind::kOpen, path);
        rig.view.SendCommand(kMenuSendTextFile);
    } else {
        rig.result = rig.engine().SendTextFile(path, rig.engine().Switches().lineEnd);
    }
}

std::string LogPath(Rig& rig, const std::string& name) {
    return PathOf(rig, name.empty() ? "line.log" : name);
}

Bytes FarEnd(const Arg& arg) {
    const auto text = [](std::string_view hex) { return Bytes(hex.begin(), hex.end()); };
    return arg.all == "hex"       ? text(":0400100001020304E2\r\n:00000001FF\r\n")
           : arg.all == "badhex"  ? text(":0400100001020304E3\r\n:00000001FF\r\n")
           : arg.all == "z80"     ? kZ80
           : arg.all == "header"  ? Bytes(kZ80.begin(), kZ80.begin() + kHeaderSize)
           : arg.all == "short"   ? Z80File(0x2000, 0x1FFF, 0x2000, 'B', "X", 0)
           : arg.all == "wrapped" ? Z80File(0x4000, 0x0000, 0x4000, 'P', "BIG", 0)
                                  : CountingBytes(static_cast<std::size_t>(arg.number));
}

// The far end of a bridged plug: every byte back, or with the byte at an index changed or dropped.
void LoopBack(Rig& rig, const Arg& arg) {
    rig.line().LoopBack([at = static_cast<std::size_t>(arg.number), how = arg.first,
                         seen = std::size_t{0}](Bytes& bytes) mutable {
        if (!how.empty() && at >= seen && at < seen + bytes.size()) {
            const auto where = bytes.begin() + static_cast<long>(at - seen);
            how == "drop" ? void(bytes.erase(where))
                          : void(*where = static_cast<std::uint8_t>(*where ^ 0x01));
        }
        seen += bytes.size();
    });
}

TerminalKey KeyNamed(std::string_view name) {
    // In the order of TerminalKey.
    constexpr std::string_view kKeys[] = {"enter", "bs",    "tab",  "esc", "up",
                                          "down",  "right", "left", "del"};
    const auto found = std::ranges::find(kKeys, name);
    EXPECT_NE(found, std::end(kKeys)) << name;
    return static_cast<TerminalKey>(found == std::end(kKeys) ? 0 : found - std::begin(kKeys));
}

// "A B C D": four whole numbers.
std::vector<int> NumbersOf(const std::string& text) {
    std::istringstream words(text);
    std::vector<int> numbers(std::istream_iterator<int>(words), {});
    numbers.resize(4);
    return numbers;
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

// The words of the steps (STEPS.md says what each does, with its arguments). A step is a word and
// its arguments, steps are separated by ';'.
struct Step {
    std::string_view word;
    void (*run)(Rig&, const Arg&);
};

const Step kSteps[] = {
    {"open", [](Rig& r, const Arg& a) {
         r.result =
             a.all.empty()
                 ? r.Open()
                 : r.engine().Open(
                       {a.all == "nothing" ? "" : "/dev/fake/ttyS0", 9600, {}, a.number, {}, {}});
     }},
    {"rate", [](Rig& r, const Arg& a) {
         r.result = r.engine().Open(
             {"/dev/fake/ttyS0", static_cast<std::uint32_t>(a.number), {}, {}, {}, {}});
     }},
    {"uart", [](Rig& r, const Arg&) { r.line().DivideClock(115200); }},
    // A close leaves nothing on the way to the line but the byte on the wire, whatever the send
    // was doing (how soon after the click is the benchmark's figure, never a test's).
    {"close", [](Rig& r, const Arg&) {
         r.engine().Close();
         EXPECT_LE(r.line().BytesLeavingAfter(std::chrono::steady_clock::now()), 1u);
     }},
    {"stale", [](Rig& r, const Arg& a) { r.line().InjectInput(Bytes(a.number, 0xEE)); }},
    {"stalled", [](Rig& r, const Arg& a) {
         r.line().HoldReads(true);
         const Bytes more = CountingBytes(static_cast<std::size_t>(a.number));
         r.line().InjectInput(more);
         r.fed = Concat(r.fed, more);
     }},
    {"resume", [](Rig& r, const Arg&) {
         r.line().HoldReads(false);
         r.line().WaitUntilIdle(10s);
         r.loop.RunPending();
     }},
    {"feed", [](Rig& r, const Arg& a) { r.Feed(FarEnd(a)); }},
    {"say", [](Rig& r, const Arg& a) { r.Feed(Bytes(a.all.begin(), a.all.end())); }},
    {"inflight", [](Rig& r, const Arg& a) {
         r.line().InjectInput(Bytes(a.all.begin(), a.all.end()));
         r.line().WaitUntilIdle(10s);
     }},
    {"terminal", [](Rig& r, const Arg& a) { r.engine().SetTerminal(a.all == "on"); }},
    {"askrx", [](Rig& r, const Arg& a) { r.result = r.engine().AskReception(a.all == "on"); }},
    {"xmodemrx", [](Rig& r, const Arg&) { r.result = r.engine().ReceiveXmodem(false); }},
    {"xblock", [](Rig& r, const Arg& a) {
         xmodem::Bytes block;
         xmodem::AppendBlock(block, static_cast<std::uint32_t>(a.number), CountingBytes(128),
                             xmodem::kShortBlock, xmodem::Check::kCrc16);
         r.Feed(block);
     }},
    {"eot", [](Rig& r, const Arg&) { r.Feed({xmodem::kEot}); }},
    {"keys", [](Rig& r, const Arg& a) { r.result = r.engine().Type(a.all); }},
    {"break", [](Rig& r, const Arg&) { r.result = r.engine().SendBreak(); }},
    {"prompt", [](Rig& r, const Arg& a) {
         r.result = r.engine().SendAfterPrompt(a.first, milliseconds(DecimalToInt(a.rest)),
                                               [&r] { return r.engine().SendFile(); });
     }},
    {"garbled", [](Rig& r, const Arg& a) { r.Feed(Bytes(a.number, 0x55), {.framing = true}); }},
    {"advance", [](Rig& r, const Arg& a) { r.loop.Advance(milliseconds(a.number)); }},
    {"quiet", [](Rig& r, const Arg& a) { EndsAfter(r, milliseconds(a.number), &Engine::Receiving); }},
    {"load", [](Rig& r, const Arg& a) { Load(r, a); }},
    {"bin", [](Rig& r, const Arg&) { r.engine().SetBinMode(true); }},
    {"noprogress", [](Rig& r, const Arg&) { r.engine().SetShowProgress(false); }},
    {"continuous", [](Rig& r, const Arg&) { r.engine().SetContinuousSend(true); }},
    {"send", [](Rig& r, const Arg&) { r.result = r.engine().SendFile(); }},
    {"text", [](Rig& r, const Arg& a) { r.result = r.engine().SendText(a.all); }},
    {"save", [](Rig& r, const Arg& a) { Save(r, SaveTarget::Kind::kFile, a.all); }},
    {"savenew", [](Rig& r, const Arg& a) { Save(r, SaveTarget::Kind::kNewFile, a.all); }},
    {"savein", [](Rig& r, const Arg& a) { Save(r, SaveTarget::Kind::kFolder, a.all); }},
    {"slow", [](Rig& r, const Arg& a) { r.line().SetByteTime(std::chrono::microseconds(a.number)); }},
    {"hold", [](Rig& r, const Arg&) { r.line().HoldWrites(true); }},
    {"cts", [](Rig& r, const Arg&) { r.line().SetCts(true); }},
    {"status", [](Rig& r, const Arg& a) {
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
    {"vanish", [](Rig& r, const Arg& a) {
         std::remove(r.dir.File(a.all).c_str());
         r.watches.Change(r.dir.File(a.all));
     }},
    {"release", [](Rig& r, const Arg&) { r.line().HoldWrites(false); }},
    {"logon", [](Rig& r, const Arg& a) { r.result = r.engine().StartLog(LogPath(r, a.all)); }},
    {"logoff", [](Rig& r, const Arg&) { r.engine().StopLog(); }},
    {"protocol", [](Rig& r, const Arg& a) {
         if (!a.all.empty()) {
             r.view.QueueAnswer(Kind::kSave, LogPath(r, a.all));
         }
         r.view.Click(kMenuLineLog);
     }},
    {"idle", [](Rig& r, const Arg&) { EXPECT_TRUE(r.PumpUntilIdle()); }},
    {"pump", [](Rig& r, const Arg&) { r.Pump([] { return false; }, 100ms); }},
    {"logfailed", [](Rig& r, const Arg&) {
         // The window has seen it once its check mark is gone; a window that keeps it waits out
         // the timeout, and its row fails.
         r.Pump([&] {
             return r.window ? !r.view.MenuChecked(kMenuLineLog) : bool(r.engine().LogFailure());
         });
     }},
    {"until", [](Rig& r, const Arg& a) {
         EXPECT_TRUE(r.Pump([&] {
             return r.line().Written().size() >= static_cast<std::size_t>(a.number) ||
                    Join(r.lines).find("Pause 1000ms...") != std::string::npos;
         }));
     }},
    // A gap of at least the time between the header's last byte leaving and the data's first write.
    {"gap", [](Rig& r, const Arg& a) {
         const std::vector<FakeSerialDevice::Sent> sent = r.line().SentLog();
         ASSERT_GT(sent.size(), kHeaderSize);
         EXPECT_GE(sent[kHeaderSize].written - sent[kHeaderSize - 1].left, milliseconds(a.number));
     }},
    {"chardelay", [](Rig& r, const Arg& a) { r.engine().SetCharDelay(a.number); }},
    {"linedelay", [](Rig& r, const Arg& a) { r.engine().SetLineDelay(a.number); }},
    {"hex", [](Rig& r, const Arg& a) { r.engine().SetHexRecords(a.number); }},
    {"eol", [](Rig& r, const Arg& a) {
         constexpr std::string_view kEnds[] = {"none", "cr", "crlf", "lf"};
         r.engine().SetLineEnd(
             static_cast<LineEnd>(std::ranges::find(kEnds, a.all) - std::begin(kEnds)));
     }},
    {"textfile", [](Rig& r, const Arg& a) { SendTextFile(r, a); }},
    {"gaps", [](Rig& r, const Arg& a) { ExpectGaps(r, a); }},
    {"dtr", [](Rig& r, const Arg& a) {
         r.result = r.engine().SetModemLine(ModemLine::kDtr, a.all == "on");
     }},
    {"rts", [](Rig& r, const Arg& a) {
         r.result = r.engine().SetModemLine(ModemLine::kRts, a.all == "on");
     }},
    {"loop", [](Rig& r, const Arg& a) { LoopBack(r, a); }},
    {"selftest", [](Rig& r, const Arg&) { r.result = r.engine().StartSelfTest(); }},
    {"back", [](Rig& r, const Arg&) { EXPECT_TRUE(r.Pump([&] { return !r.engine().SelfTesting(); })); }},
    {"silent", [](Rig& r, const Arg& a) { EndsAfter(r, milliseconds(a.number), &Engine::SelfTesting); }},
    {"take", [](Rig& r, const Arg& a) {
         if (!r.taker) {
             r.taker = std::make_unique<NotingTaker>(r, a.all == "keeps");
         }
         r.taken.push_back(r.engine().ReceivedBytes().Install(*r.taker) ? "installed" : "refused");
     }},
    {"untake", [](Rig& r, const Arg&) { r.engine().ReceivedBytes().Remove(*r.taker); }},
    {"hush", [](Rig& r, const Arg& a) {
         r.engine().ReceivedBytes().WaitForSilence(*r.taker, milliseconds(a.number));
     }},
    {"click", [](Rig& r, const Arg& a) { r.view.Click(IdOf(a.all)); }},
    {"ttype", [](Rig& r, const Arg& a) { r.view.TypeInTerminal(a.all); }},
    {"tkey", [](Rig& r, const Arg& a) { r.view.PressInTerminal(KeyNamed(a.all)); }},
    {"tpaste", [](Rig& r, const Arg& a) { r.view.PasteInTerminal(a.all); }},
    {"tselect", [](Rig& r, const Arg& a) { SelectInTerminal(r, a.all); }},
    {"tclose", [](Rig& r, const Arg&) { r.view.CloseTerminalByUser(); }},
    {"tplace", [](Rig& r, const Arg& a) {
         const std::vector<int> n = NumbersOf(a.all);
         r.view.PlaceTerminal({n[0], n[1], n[2], n[3]});
     }},
    {"answer", [](Rig& r, const Arg& a) { r.view.QueueAnswer(Kind::kOpen, r.dir.File(a.all)); }},
    {"command", [](Rig& r, const Arg& a) { r.view.SendCommand(IdOf(a.all)); }},
    {"select", [](Rig& r, const Arg& a) {
         const int id = IdOf(a.first);
         for (int index = 0; index < r.view.ComboCount(id); ++index) {
             if (r.view.ComboItem(id, index).starts_with(a.rest)) {
                 return r.view.UserSelect(id, index);
             }
         }
     }},
    {"type", [](Rig& r, const Arg& a) { r.view.Type(IdOf(a.first), a.rest); }},
    {"escape", [](Rig& r, const Arg&) { r.view.PressEscape(); }},
    {"enter", [](Rig& r, const Arg&) { r.view.PressEnter(); }},
    {"tab", [](Rig& r, const Arg& a) {
         for (int i = 0; i < a.number; ++i) {
             r.view.PressTab();
         }
     }},
    {"closebox", [](Rig& r, const Arg&) { r.view.PressCloseBox(); }},
    {"no", [](Rig& r, const Arg&) { r.view.QueueYesNoAnswer(false); }},
    {"yes", [](Rig& r, const Arg&) { r.view.QueueYesNoAnswer(true); }},
    {"ini", [](Rig& r, const Arg& a) {
         std::ofstream(r.settingsPath) << Replaced(a.all, "|", "\n") << '\n';
     }},
    {"restart", [](Rig& r, const Arg& a) { r.StartWindow(a.all); }},
    {"mkdir", [](Rig& r, const Arg& a) { std::filesystem::create_directory(r.dir.File(a.all)); }},
    {"write", [](Rig& r, const Arg& a) { r.dir.Write(a.first, CountingBytes(a.number)); }},
    {"every", [](Rig& r, const Arg& a) {
         r.view.QueueAnswer(Kind::kFolder, r.dir.File(a.all));
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
    ASSERT_TRUE(DocumentedIn("Step words").contains(std::string(found->word)))
        << "the step is not in STEPS.md: say what it does";
    found->run(rig, arg);
}

}  // namespace velotrix::test
