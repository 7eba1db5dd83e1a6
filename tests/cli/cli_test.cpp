// velotrix-cli run as its users run it, on pseudo-terminals: what it prints, what it puts on the
// line, what it saves and how it exits; then random files sent from one program to another.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <map>
#include <mutex>
#include <random>
#include <sstream>
#include <thread>

#include "platform/files.h"
#include "support/pty_pair.h"
#include "support/rig.h"
#include "text/text_helpers.h"

extern char** environ;

namespace velotrix::test {
namespace {

using namespace std::chrono_literals;
using Args = std::vector<std::string>;

const std::string kWaiting = "Warte";

// velotrix-cli as a child process in a directory, its output in files beside it.
class Cli {
  public:
    Cli(const Args& arguments, const std::string& dir)
        : out_(dir + "/.cli" + std::to_string(++count_) + ".out"), err_(out_ + ".err") {
        std::vector<char*> argv = {const_cast<char*>(VELOTRIX_CLI_PATH)};
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, out_.c_str(), O_WRONLY | O_CREAT, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, err_.c_str(), O_WRONLY | O_CREAT, 0600);
        posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
        status_ = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) == 0
                      ? std::nullopt
                      : std::optional(127);
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Cli() { Wait(0ms); }

    // The exit status once it ended; a child still running after the timeout is killed.
    std::optional<int> Wait(std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!Ended() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(5ms);
        }
        if (!Ended()) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            status_ = -1;
        }
        return status_;
    }
    bool Ended() {
        int status = 0;
        if (!status_ && waitpid(pid_, &status, WNOHANG) == pid_) {
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        return status_.has_value();
    }
    // True once stderr holds the text, before the child ends or the time is up.
    bool WaitForError(const std::string& text) {
        for (int i = 0; i < 2000 && Err().find(text) == std::string::npos && !Ended(); ++i) {
            std::this_thread::sleep_for(5ms);
        }
        return Err().find(text) != std::string::npos;
    }
    bool Interrupt() { return kill(pid_, SIGINT) == 0; }
    std::string Out() const { return ReadFileBytes(out_).value_or(""); }
    std::string Err() const { return ReadFileBytes(err_).value_or(""); }

  private:
    static inline std::atomic<int> count_{0};
    std::string out_, err_;
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// Bytes as the table writes them: the leading ones in hex, then "+N" for N counting bytes that
// end them.
std::string Hex(const Bytes& bytes) {
    std::size_t start = 0;
    while (start < bytes.size() &&
           !std::equal(bytes.begin() + static_cast<long>(start), bytes.end(),
                       CountingBytes(bytes.size() - start).begin())) {
        ++start;
    }
    std::string hex;
    for (std::size_t i = 0; i < start; ++i) {
        hex.append(i == 0 ? "" : " ").append(Hex2(bytes[i]));
    }
    return hex + (start < bytes.size()
                      ? (start == 0 ? "+" : " +") + std::to_string(bytes.size() - start)
                      : "");
}

TEST(Cli, DoesWhatTheWindowDoes) {
    const Bytes hello = Z80File(0x1000, 0x10FF, 0x1003, 'B', "HELLO", 256);
    const std::map<std::string, Bytes> farEnds = {
        {"hello", hello}, {"away", Z80File(0x2000, 0x200F, 0x2000, 'B', "../../x", 16)}};
    const struct {
        const char* name;
        const char* args;    // "$PORT": the program's end of the line
        const char* farEnd;  // "hello", "away" or N counting bytes sent once the program
                             // waits, then perhaps "hangup"; or "interrupt"
        const char* expect;  // exit, out and err (parts of them), line (the bytes the far end
                             // got), saved (a file holds what the far end sent: all, the first
                             // N bytes, or part of them as the program said)
    } cases[] = {
        {"a usage error", "send a.bin", "", "exit=2\nerr=--port fehlt|Aufruf:"},
        {"help", "--help", "", "exit=0\nout=Exit-Status"},
        {"version", "--version", "", "exit=0\nout=velotrix-cli 0."},
        {"short options and English words, quiet",
         "send hi_c000.bin -p $PORT -b 9600 --parity even --flow none --pause none -q", "",
         "exit=0\nout=\nline=00 C0 27 C0 00 C0 41 43 31 4B 5A 56 50 D3 D3 D3 68 69 20 20 20 20 20 "
         "20 20 20 20 20 20 20 20 20 +40"},
        {"receive does not replace a file", "receive -p $PORT -o prog.z80", "",
         "exit=1\nerr=prog.z80 gibt es schon (--force ersetzt sie)"},
        {"info", "info hi_c000.bin prog.z80", "",
         "exit=0\nout=hi_c000.bin:|Art: BIN|AADR: C000|EADR: C027|SADR: C000|CRC: 0476|Bytes: "
         "0028|Name: hi|Typ: P = Maschinenprogramm||prog.z80:|Art: z80|AADR: 1000|EADR: 1027|"
         "SADR: 1003|CRC: 0476|Bytes: 0028|Name: HELLO|Typ: B = Basic-Programm|"},
        {"info on files it cannot take", "info missing.bin tiny.bin", "",
         "exit=1\nerr=missing.bin: \nerr=|tiny.bin: Datei zu klein (min. 32 Bytes)..."},
        {"info on a pipe", "info fifo", "", "exit=1\nerr=fifo: ist keine gew\u00F6hnliche Datei"},
        {"send a pipe", "send fifo --port $PORT", "",
         "exit=1\nerr=fifo: ist keine gew\u00F6hnliche Datei\nline="},
        {"send with edits and a pause",
         "send hi_c000.bin --port $PORT --aadr 8000 --sadr 80a3 --name NEU --type b --pause 50", "",
         "exit=0\nout=Senden mit Header als 'z80'...|72 Bytes zu senden:|Sende Header...|Bytes "
         "gesendet: 32|Pause 50ms...|Sende Daten...|Bytes gesendet: 40|Datei fertig "
         "\u00FCbertragen|\nline=00 80 27 80 A3 80 41 43 31 4B 5A 56 42 D3 D3 D3 4E 45 55 20 20 20 "
         "20 20 20 20 20 20 20 20 20 20 +40"},
        {"send a z80 file without progress", "send prog.z80 --port $PORT --no-progress", "",
         "exit=0\nout=Senden l\u00E4uft, bitte warten...|Bytes gesendet: 72|\nline=00 10 27 10 03 "
         "10 00 00 00 00 00 00 42 D3 D3 D3 48 45 4C 4C 4F 20 20 20 20 20 20 20 20 20 20 20 +40"},
        {"send BIN with other line settings",
         "send hi_c000.bin --port $PORT --bin --baud 8065 --parity gerade --data 7 --stop 2", "",
         "exit=0\nout=Senden ohne Header (BIN)...|40 Bytes zu senden:|\nline=+40"},
        {"send to a port that is not there", "send hi_c000.bin --port /nonexistent/tty", "",
         "exit=1\nerr=/nonexistent/tty: "},
        {"text", "text --port $PORT -- -\u00FC", "",
         "exit=0\nout=gesendet:  2D FC |Bytes gesendet: 2|\nline=2D FC"},
        {"receive a z80 file", "receive --port $PORT", "hello",
         "exit=0\nout=Bytes empfangen gesamt: 288|Sichern per Button|Art: z80|AADR: 1000|EADR: "
         "10FF|SADR: 1003|CRC: 3FBD|Bytes: 0100|Name: HELLO|Typ: B = Basic-Programm|Datei wurde "
         "erfolgreich geschrieben. HELLO.Z80|\nsaved=HELLO.Z80"},
        {"receive a name that leads elsewhere", "receive --port $PORT", "away",
         "exit=0\nout=Name: ../../x|\nsaved=_._.._x.Z80"},
        {"receive BIN", "receive --port $PORT", "40",
         "exit=0\nout=Art: BIN|CRC: 0476|Bytes: 0028|Datei wurde erfolgreich geschrieben. "
         "default.bin|\nsaved=default.bin"},
        {"receive until the line fails", "receive --port $PORT -o part.bin", "30000 hangup",
         "exit=1\nerr=Verbindung zum Port verloren: \nsaved=part.bin part"},
        {"receive until the line fails, unnamed", "receive --port $PORT", "20000 hangup",
         "exit=1\nsaved=default-unvollstaendig.bin part"},
        {"receive more than the storage holds", "receive --port $PORT", "70000",
         "exit=1\nerr=Empfangspuffer voll: 4464 Bytes verworfen\nsaved=default.bin 65536"},
        {"receive nothing", "receive --port $PORT --timeout 1", "",
         "exit=1\nerr=Nichts empfangen in 1 s."},
        {"receive interrupted", "receive --port $PORT", "interrupt", "exit=130\nerr=Abgebrochen."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TempDir work;
        work.Write("hi_c000.bin", CountingBytes(40));
        work.Write("prog.z80", Z80File(0x1000, 0x1027, 0x1003, 'B', "HELLO", 40));
        work.Write("tiny.bin", CountingBytes(31));
        ASSERT_EQ(mkfifo(work.File("fifo").c_str(), 0600), 0);
        PtyPair line;
        Args args;
        std::istringstream words(c.args);
        for (std::string word; words >> word;) {
            args.push_back(word == "$PORT" ? line.SlavePath() : word);
        }
        Cli cli(args, work.path());
        const std::string farEnd = c.farEnd;
        const Bytes sent = farEnds.contains(farEnd)       ? farEnds.at(farEnd)
                           : std::isdigit(farEnd[0]) != 0 ? CountingBytes(DecimalToInt(farEnd))
                                                          : Bytes();
        if (!farEnd.empty()) {
            ASSERT_TRUE(cli.WaitForError(kWaiting)) << cli.Err();
            EXPECT_TRUE(farEnd == "interrupt" ? cli.Interrupt() : line.Write(sent, 10s));
        }
        if (farEnd.ends_with("hangup")) {
            std::this_thread::sleep_for(300ms);  // for the program to read what came
            line.CloseMaster();
        }
        const std::optional<int> exit = cli.Wait(30s);
        std::istringstream expected(c.expect);
        for (std::string entry; std::getline(expected, entry);) {
            const std::string key = entry.substr(0, entry.find('='));
            const std::string value = entry.substr(key.size() + 1);
            std::string out = key == "out" ? cli.Out() : cli.Err();
            std::replace(out.begin(), out.end(), '\n', '|');
            if (key == "exit") {
                EXPECT_EQ(exit, DecimalToInt(value)) << cli.Err();
            } else if (key == "out" || key == "err") {
                EXPECT_NE(out.find(value), std::string::npos) << key << ": " << out;
            } else if (key == "line") {
                Bytes got;
                for (Bytes more; !(more = line.Read(200ms)).empty();) {
                    got = Concat(got, more);
                }
                EXPECT_EQ(Hex(got), value);
            } else {
                const std::string name = value.substr(0, value.find(' '));
                const std::string file = ReadFileBytes(work.File(name)).value_or("");
                const std::string part = value.substr(name.size());
                const std::size_t size = part.empty()      ? sent.size()
                                         : part == " part" ? std::min(file.size(), sent.size())
                                                           : DecimalToInt(part.substr(1));
                EXPECT_EQ(file, std::string(sent.begin(), sent.begin() + static_cast<long>(size)));
                EXPECT_TRUE(part != " part" ||
                            (size > 0 &&
                             cli.Err().find("Empfang unvollst\u00E4ndig, " + std::to_string(size) +
                                            " Bytes gesichert") != std::string::npos));
            }
        }
    }
}

// The header the program makes for a BIN file: creator tag, the name filled with spaces.
Bytes Synthesized(std::uint16_t aadr, std::size_t length, std::uint16_t sadr, std::string name) {
    Bytes header = Z80File(aadr, static_cast<std::uint16_t>(aadr + length - 1), sadr, 'P',
                           name + std::string(16, ' '), 0);
    std::copy_n("AC1KZV", 6, header.begin() + kCreatorTagOffset);
    return header;
}

// One random BIN file through two programs and two lines, relayed by the test; what went wrong.
std::string RoundTrip(std::mt19937& random, std::size_t index, const TempDir& dir) {
    const auto below = [&](std::size_t n) { return random() % n; };
    // Mostly short files, some of any size; both ends included.
    const std::size_t length = index == 0   ? 32
                               : index == 1 ? 65504
                                            : 32 + below(below(5) == 0 ? 65473 : 2017);
    Bytes file(length);
    std::generate(file.begin(), file.end(), [&] { return static_cast<std::uint8_t>(random()); });
    file[kMarkerOffset] = 0;  // so that it never passes for a z80 file
    const auto aadr = static_cast<std::uint16_t>(random());
    const std::string stem = std::string(1, 'F').append(std::to_string(index));
    const std::string name = stem + "_" + Hex4(aadr) + ".bin";
    dir.Write(name, file);
    const bool bin = below(3) == 0;
    const Bytes onTheLine = bin ? file : Concat(Synthesized(aadr, length, aadr, stem), file);
    const char* pauses[] = {"keine", "50", "100", "500", "1000"};
    PtyPair receiverLine;
    PtyPair senderLine;
    Cli receiver({"receive", "--port", receiverLine.SlavePath(), "-o", "rx"}, dir.path());
    if (!receiver.WaitForError(kWaiting)) {
        return "receiver not ready";
    }
    Args send = {"send",   name,     "--port",  senderLine.SlavePath(),
                 "--baud", "115200", "--pause", pauses[below(5)]};
    if (bin) {
        send.push_back("--bin");
    }
    if (below(2) == 0) {
        send.push_back("--no-progress");
    }
    Cli sender(send, dir.path());
    for (auto end = std::chrono::steady_clock::now() + 120s;
         !receiver.Ended() && std::chrono::steady_clock::now() < end;) {
        const Bytes chunk = senderLine.Read(20ms);
        if (chunk.empty()) {
            std::this_thread::sleep_for(5ms);  // the sender's end is not open (yet or any more)
        } else if (!receiverLine.Write(chunk, 10s)) {
            return "the receiver does not read";
        }
    }
    if (sender.Wait(30s) != 0 || receiver.Wait(10s) != 0) {
        return "failed: " + sender.Err() + receiver.Err();
    }
    return ReadFileBytes(dir.File("rx")) == std::string(onTheLine.begin(), onTheLine.end())
               ? ""
               : "saved bytes differ";
}

TEST(Cli, RandomFilesArriveByteForByte) {
    constexpr unsigned kSeed = 20261206;
    std::mutex mutex;
    std::vector<std::string> failures;
    std::vector<std::thread> lanes;
    for (std::size_t lane = 0; lane < 4; ++lane) {
        lanes.emplace_back([&, lane] {
            std::mt19937 random(kSeed + lane);
            for (std::size_t i = lane; i < 20; i += 4) {
                const TempDir dir;
                const std::string problem = RoundTrip(random, i, dir);
                std::lock_guard lock(mutex);
                failures.insert(failures.end(), problem.empty() ? 0 : 1,
                                std::to_string(i) + ": " + problem);
            }
        });
    }
    for (std::thread& lane : lanes) {
        lane.join();
    }
    EXPECT_TRUE(failures.empty()) << "seed " << kSeed << ":\n"
                                  << ::testing::PrintToString(failures);
}

}  // namespace
}  // namespace velotrix::test
