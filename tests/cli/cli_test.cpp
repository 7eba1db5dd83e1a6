// velotrix-cli run as its users run it: the usage rules, the header of loaded files, sends and
// receptions through pseudo-terminals, and many random files sent from one program to another.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <random>
#include <thread>

#include "controller/controller_fixture.h"
#include "platform/files.h"
#include "support/child_process.h"
#include "support/pty_pair.h"
#include "support/temp_dir.h"

namespace velotrix::test {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Args = std::vector<std::string>;

const std::string kCli = VELOTRIX_CLI_PATH;
const std::string kFileSent = "Datei fertig \u00FCbertragen\n";

// A header group as info and receive print it; no Typ line without a type.
std::string Group(const std::string& kind, const std::string& addresses, const std::string& crc,
                  const std::string& bytes, const std::string& name, const std::string& type) {
    std::string text = "Art: " + kind + "\n";
    if (!addresses.empty()) {
        text += "AADR: " + addresses.substr(0, 4) + "\nEADR: " + addresses.substr(5, 4) +
                "\nSADR: " + addresses.substr(10, 4) + "\n";
    }
    text += "CRC: " + crc + "\nBytes: " + bytes + "\n";
    text += name.empty() ? "" : "Name: " + name + "\n";
    return text + (type.empty() ? "" : "Typ: " + type + "\n");
}

Bytes Concat(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// The header the program makes for a BIN file: creator tag, type P, name filled with spaces.
Bytes SynthesizedHeader(std::uint16_t aadr, std::size_t length, std::uint16_t sadr,
                        std::string_view name, char type = 'P') {
    Bytes header = Z80File(aadr, static_cast<std::uint16_t>(aadr + length - 1), sadr, type, "", 0);
    std::copy_n("AC1KZV", 6, header.begin() + 6);
    std::fill(header.begin() + 16, header.end(), ' ');
    std::copy(name.begin(), name.end(), header.begin() + 16);
    return header;
}

class CliTest : public ::testing::Test {
  protected:
    struct Result {
        std::optional<int> status;
        std::string out, err;
    };
    Result Run(const Args& arguments) {
        ChildProcess child(kCli, arguments, work.path(), logs.path());
        const std::optional<int> status = child.Wait(30s);
        return {status, child.Out(), child.Err()};
    }
    bool WorkDirEmpty() const { return std::filesystem::is_empty(work.path()); }

    TempDir work;
    TempDir logs;
    PtyPair line;  // the far end of the program's serial line
};

TEST_F(CliTest, UsageErrorsExitWith2AndAHint) {
    const std::pair<Args, std::string> cases[] = {
        {{}, "kein Befehl"},
        {{"transmit", "a.bin"}, "unbekannter Befehl \"transmit\""},
        {{"send", "a.bin"}, "--port fehlt"},
        {{"send", "a.bin", "b.bin", "--port", "p"}, "genau eine Datei"},
        {{"send", "a.bin", "--port", "p", "--pause", "42"}, "--pause erwartet"},
        {{"send", "a.bin", "--port", "p", "--pause"}, "erwartet einen Wert"},
        {{"send", "a.bin", "--port", "p", "--type", "X"}, "--type erwartet"},
        {{"send", "a.bin", "--port", "p", "--aadr", "12345"}, "--aadr erwartet"},
        {{"send", "a.bin", "--port", "p", "--name", "SEVENTEEN_LETTERS"}, "16 Zeichen"},
        {{"send", "a.bin", "--port", "p", "--baud", "0"}, "--baud erwartet"},
        {{"send", "a.bin", "--port", "p", "--stop", "1.5"}, "--stop erwartet"},
        {{"send", "a.bin", "--port", "p", "--bin=yes"}, "nimmt keinen Wert"},
        {{"receive", "--port", "p", "--bin"}, "gibt es f\u00FCr diesen Befehl nicht"},
        {{"receive", "--port", "p", "--timeout", "0"}, "--timeout erwartet"},
        {{"info"}, "mindestens eine Datei"},
        {{"text", std::string(32, 'x'), "--port", "p"}, "31 Zeichen"},
    };
    for (const auto& [arguments, message] : cases) {
        const Result result = Run(arguments);
        const std::string shown = ::testing::PrintToString(arguments);
        EXPECT_EQ(result.status, 2) << shown;
        EXPECT_NE(result.err.find(message), std::string::npos) << shown << "\n" << result.err;
        EXPECT_NE(result.err.find("Aufruf:"), std::string::npos) << shown;
        EXPECT_EQ(result.out, "") << shown;
    }
    EXPECT_TRUE(WorkDirEmpty());
    const Result help = Run({"send", "--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* word :
         {"ports",    "info DATEI",    "send DATEI", "text TEXT", "receive", "--port",
          "--baud",   "--parity",      "--data",     "--stop",    "--flow",  "--bin",
          "--pause",  "--no-progress", "--aadr",     "--sadr",    "--name",  "--type",
          "-o DATEI", "--timeout",     "Exit-Status"}) {
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    }
}

TEST_F(CliTest, InfoShowsTheHeaderOfEachFileAsTheWindowShowsIt) {
    const std::string kP = "P = Maschinenprogramm";
    const struct {
        std::string name;
        Bytes bytes;
        std::string group;
    } files[] = {
        {"hi_c000.bin", CountingBytes(40),
         Group("BIN", "C000 C027 C000", "0476", "0028", "hi", kP)},
        {"Gr\u00FC\u00DFe.COM", CountingBytes(50),
         Group("BIN", "4000 4031 4000", "8EEC", "0032", "Gr\u00FC\u00DFe", kP)},
        {"prog.z80", Z80File(0x1000, 0x10FF, 0x1003, 'B', "HELLO", 256),
         Group("z80", "1000 10FF 1003", "3FBD", "0100", "HELLO", "B = Basic-Programm")},
        // No type for an unknown letter; the end address that fits the length.
        {"odd.z80", Z80File(0x2000, 0x0000, 0x2000, 'X', "ODD", 16),
         Group("z80", "2000 200F 2000", "3B37", "0010", "ODD", "")},
    };
    Args arguments = {"info", "missing.bin"};
    std::string expected;
    for (const auto& file : files) {
        work.Write(file.name, file.bytes);
        arguments.push_back(file.name);
        expected += (expected.empty() ? "" : "\n") + file.group;
    }
    work.Write("tiny.bin", CountingBytes(31));
    work.Write("huge.bin", CountingBytes(65505));  // no room left for the header
    arguments.insert(arguments.end(), {"tiny.bin", "huge.bin", "."});
    const Result result = Run(arguments);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, expected);
    EXPECT_EQ(result.err, "missing.bin: " + OsErrorText(ENOENT) +
                              "\ntiny.bin: Datei zu klein (min. 32 Bytes)...\n"
                              "huge.bin: Datei zu gro\u00DF (max. 64k)...\n.: " +
                              OsErrorText(EISDIR) + "\n");
}

TEST_F(CliTest, SendAndTextPutExactlyTheWindowsBytesOnTheLine) {
    const Bytes data = CountingBytes(40);
    const Bytes z80 = Z80File(0x1000, 0x1027, 0x1003, 'B', "HELLO", 40);
    work.Write("hi_c000.bin", data);
    work.Write("prog.z80", z80);
    Bytes z80Sent = z80;  // the name field filled up with spaces instead of zero bytes
    std::fill(z80Sent.begin() + 21, z80Sent.begin() + 32, ' ');
    const Bytes edited = SynthesizedHeader(0x8000, 40, 0x80A3, "NEU", 'B');
    const std::string oneBlock = "Senden l\u00E4uft, bitte warten...\n";
    const std::string withHeader = "Senden mit Header als 'z80'...\n72 Bytes zu senden:\n";
    const std::string whole = withHeader + oneBlock + "Bytes gesendet: 72\n" + kFileSent;
    const struct {
        Args arguments;
        Bytes onTheLine;
        std::string listing;
    } cases[] = {
        {{"send", "hi_c000.bin"}, Concat(SynthesizedHeader(0xC000, 40, 0xC000, "hi"), data), whole},
        {{"send", "hi_c000.bin", "--aadr", "8000", "--sadr", "80a3", "--name", "NEU", "--type", "b",
          "--pause", "50"},
         Concat(edited, data),
         withHeader + "Sende Header...\nBytes gesendet: 32\nPause 50ms...\nSende Daten...\n" +
             "Bytes gesendet: 40\n" + kFileSent},
        {{"send", "prog.z80", "--pause", "keine", "--no-progress"}, z80Sent, whole},
        // A rate that the window does not list becomes one more entry of its list.
        {{"send", "hi_c000.bin", "--bin", "--pause", "500", "--baud", "8065", "--parity", "gerade",
          "--data", "7", "--stop", "2"},
         data,
         "Senden ohne Header (BIN)...\n40 Bytes zu senden:\n" + oneBlock + "Bytes gesendet: 40\n" +
             kFileSent},
        {{"text", "AB"}, {0x41, 0x42}, "gesendet:  41 42 \nBytes gesendet: 2\n"},
        {{"text", "--", "-\u00FC"}, {0x2D, 0xFC}, "gesendet:  2D FC \nBytes gesendet: 2\n"},
        {{"text", ""}, {}, "gesendet:  \nBytes gesendet: 0\n"},
    };
    for (auto [arguments, onTheLine, listing] : cases) {
        arguments.insert(arguments.begin() + 1, {"--port", line.SlavePath()});
        const Result result = Run(arguments);
        const std::string shown = ::testing::PrintToString(arguments);
        EXPECT_EQ(result.status, 0) << shown << result.err;
        EXPECT_EQ(result.out, listing) << shown;
        EXPECT_EQ(line.ReadExactly(onTheLine.size() + 1, 200ms), onTheLine) << shown;
    }
}

TEST_F(CliTest, FailuresExitWith1AndSayWhy) {
    work.Write("tiny.bin", CountingBytes(31));
    work.Write("ok.bin", CountingBytes(32));
    const std::pair<Args, std::string> cases[] = {
        {{"send", "missing.bin", "--port", line.SlavePath()},
         "missing.bin: " + OsErrorText(ENOENT) + "\n"},
        {{"send", "tiny.bin", "--port", line.SlavePath()},
         "tiny.bin: Datei zu klein (min. 32 Bytes)...\n"},
        {{"send", "ok.bin", "--port", "/nonexistent/tty"},
         "/nonexistent/tty: " + OsErrorText(ENOENT) + "\n"},
        {{"text", "AB", "--port", "ok.bin"}, "ok.bin: "},
        {{"receive", "--port", line.SlavePath(), "--timeout", "1"}, "Nichts empfangen in 1 s."},
    };
    for (const auto& [arguments, message] : cases) {
        const Result result = Run(arguments);
        EXPECT_EQ(result.status, 1) << ::testing::PrintToString(arguments);
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
    }
    EXPECT_TRUE(line.ReadSome(100ms).empty());

    ChildProcess receiver(kCli, {"receive", "--port", line.SlavePath()}, work.path(), logs.path());
    ASSERT_TRUE(receiver.WaitForError("Warte", 10s)) << receiver.Err();
    receiver.Signal(SIGINT);
    EXPECT_EQ(receiver.Wait(10s), 1);
    EXPECT_NE(receiver.Err().find("Abgebrochen."), std::string::npos);
    EXPECT_EQ(Run({"text", "A", "--port", line.SlavePath()}).status, 0);  // closed, free again
    const auto files = std::filesystem::directory_iterator(work.path());
    EXPECT_EQ(std::distance(std::filesystem::begin(files), std::filesystem::end(files)), 2);
}

TEST_F(CliTest, ReceiveShowsTheRxGroupAndSavesUnderTheSuggestedName) {
    const std::string kB = "B = Basic-Programm";
    const struct {
        Bytes bytes;
        std::string group;
        std::string savedAs;
    } cases[] = {
        {Z80File(0x1000, 0x10FF, 0x1003, 'B', "HELLO", 256),
         Group("z80", "1000 10FF 1003", "3FBD", "0100", "HELLO", kB), "HELLO.Z80"},
        // A name from the line never leads out of the current directory nor drives the terminal.
        {Z80File(0x2000, 0x200F, 0x2000, 'B', "../../\x1B[2Jx", 16),
         Group("z80", "2000 200F 2000", "3B37", "0010", "../../.[2Jx", kB), ".._.._.[2Jx.Z80"},
        {CountingBytes(40), Group("BIN", "", "0476", "0028", "", ""), "default.bin"},
    };
    for (const auto& [bytes, group, savedAs] : cases) {
        ChildProcess receiver(kCli, {"receive", "--port", line.SlavePath()}, work.path(),
                              logs.path());
        ASSERT_TRUE(receiver.WaitForError("Warte", 10s)) << receiver.Err();
        ASSERT_TRUE(line.Write(bytes));
        EXPECT_EQ(receiver.Wait(10s), 0) << receiver.Err();
        EXPECT_NE(receiver.Out().find("Bytes empfangen gesamt: " + std::to_string(bytes.size()) +
                                      "\nSichern per Button\n" + group +
                                      "Datei wurde erfolgreich geschrieben. " + savedAs + "\n"),
                  std::string::npos)
            << receiver.Out();
        EXPECT_EQ(ReadFileBytes(work.File(savedAs)), std::string(bytes.begin(), bytes.end()));
        std::filesystem::remove(work.File(savedAs));
    }
}

// A random BIN file, its send options, and what the window's rules put on the line for them.
struct Transfer {
    std::string fileName;
    Bytes file;
    Args options;
    Bytes onTheLine;
};

Transfer RandomTransfer(std::mt19937& random, std::size_t index) {
    const auto below = [&](std::size_t n) { return random() % n; };
    // Mostly short files and a tenth of any size; both ends included.
    std::size_t length = 32 + below(below(10) == 0 ? 65473 : 2017);
    length = index == 0 ? 32 : (index == 1 ? 65504 : length);
    Transfer transfer;
    transfer.file.resize(length);
    for (std::uint8_t& byte : transfer.file) {
        byte = static_cast<std::uint8_t>(random());
    }
    transfer.file[13] = 0;  // so that it never passes for a z80 file
    const std::string stem = "F" + std::to_string(index);
    const auto aadr = static_cast<std::uint16_t>(below(3) == 0 ? 0x4000 : random());
    char digits[6];
    std::snprintf(digits, sizeof digits, "_%04x", aadr);
    transfer.fileName = stem + (aadr == 0x4000 ? "" : digits) + ".bin";
    const bool bin = below(3) == 0;
    transfer.onTheLine =
        bin ? transfer.file : Concat(SynthesizedHeader(aadr, length, aadr, stem), transfer.file);
    // A pause of a whole second would end the reception between header and data.
    const char* pauses[] = {"keine", "50", "100", "500"};
    transfer.options = {"--baud", "115200", "--pause", pauses[below(4)]};
    if (bin) {
        transfer.options.push_back("--bin");
    }
    if (below(2) == 0) {
        transfer.options.push_back("--no-progress");
    }
    return transfer;
}

// One transfer through its own two lines; the test relays between them. Returns what went wrong.
std::string RoundTrip(const Transfer& transfer, const std::string& dir, const std::string& logs) {
    PtyPair receiverLine;
    PtyPair senderLine;
    const std::string output = transfer.fileName + ".rx";
    ChildProcess receiver(kCli, {"receive", "--port", receiverLine.SlavePath(), "-o", output}, dir,
                          logs);
    if (!receiver.WaitForError("Warte", 30s)) {
        return "receiver not ready: " + receiver.Err();
    }
    Args arguments = {"send", transfer.fileName, "--port", senderLine.SlavePath()};
    arguments.insert(arguments.end(), transfer.options.begin(), transfer.options.end());
    ChildProcess sender(kCli, arguments, dir, logs);
    const auto deadline = std::chrono::steady_clock::now() + 120s;
    while (!receiver.Poll() && std::chrono::steady_clock::now() < deadline) {
        const Bytes chunk = senderLine.ReadSome(20ms);
        if (chunk.empty()) {
            std::this_thread::sleep_for(5ms);  // the sender's end is not open (yet or any more)
        } else if (!receiverLine.Write(chunk, 10s)) {
            return "the receiver does not read";
        }
    }
    const std::optional<int> sent = sender.Wait(30s);
    if (sent != 0 || receiver.Wait(10s) != 0) {
        return "failed: " + sender.Err() + receiver.Err();
    }
    const std::string total = "gesamt: " + std::to_string(transfer.onTheLine.size()) + "\n";
    if (receiver.Out().find(total) == std::string::npos) {
        return "not received as one reception";
    }
    const std::optional<std::string> saved = ReadFileBytes(dir + "/" + output);
    std::filesystem::remove(dir + "/" + output);
    return saved == std::string(transfer.onTheLine.begin(), transfer.onTheLine.end())
               ? ""
               : "saved bytes differ";
}

// A reception ends only after a second of silence, so the transfers run on several pairs of
// lines side by side.
TEST(CliRoundTrip, TwoHundredRandomFilesArriveByteForByte) {
    constexpr std::size_t kTransfers = 200;
    constexpr std::size_t kLanes = 6;
    constexpr unsigned kSeed = 20261206;
    std::mt19937 random(kSeed);
    std::vector<Transfer> transfers;
    for (std::size_t i = 0; i < kTransfers; ++i) {
        transfers.push_back(RandomTransfer(random, i));
    }
    TempDir logs;
    std::mutex mutex;
    std::vector<std::string> failures;
    std::vector<std::thread> lanes;
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
        lanes.emplace_back([&, lane] {
            TempDir dir;
            for (std::size_t i = lane; i < transfers.size(); i += kLanes) {
                dir.Write(transfers[i].fileName, transfers[i].file);
                const std::string problem = RoundTrip(transfers[i], dir.path(), logs.path());
                std::lock_guard lock(mutex);
                if (!problem.empty()) {
                    failures.push_back(transfers[i].fileName + " " +
                                       ::testing::PrintToString(transfers[i].options) + ": " +
                                       problem);
                }
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
