// How a row of the CLI's tables is played.
#include "cli/cli_rows.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <csignal>
#include <deque>
#include <filesystem>
#include <map>
#include <sstream>
#include <thread>

#include "cli/cli_child.h"
#include "serial/xmodem.h"
#include "support/pty_pair.h"
#include "support/row_file.h"
#include "support/scoped_variable.h"
#include "text/text_helpers.h"

namespace velotrix::test {

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

namespace {

// What the far end does, word by word (the words are described in cli.rows), separated by single
// spaces, so that a text may hold a line end; returns what it sent.
Bytes PlayFarEnd(const std::string& script, PtyPair& line, Cli& cli, const TempDir& work) {
    const std::map<std::string, Bytes> files = {
        {"hello", Z80File(0x1000, 0x10FF, 0x1003, 'B', "HELLO", 256)},
        {"away", Z80File(0x2000, 0x200F, 0x2000, 'B', "../../x", 16)},
        {"wrap", Z80File(0x4000, 0x0000, 0x4000, 'P', "BIG", 0)}};
    Bytes sent;
    std::istringstream words(script);
    for (std::string word; std::getline(words, word, ' ');) {
        std::string value;
        if (word == "head" || word == "pause" || word == "read" || word == "say" ||
            word == "hear" || word == "silent") {
            std::getline(words, value, ' ');
        }
        const auto n = static_cast<std::uint16_t>(DecimalToInt(value));
        const Bytes bytes = files.contains(word) ? files.at(word)
                            : word == "say"      ? Bytes(value.begin(), value.end())
                            : word == "head" ? Z80File(0x1000, 0x1000 + n - 1, 0, 'B', "HELLO", 0)
                            : word == "poll" ? Bytes{'C'}
                            : word == "ack"  ? Bytes{0x06}
                            : std::isdigit(word[0]) ? CountingBytes(DecimalToInt(word))
                                                    : Bytes();
        Bytes block;
        if (word == "xblock") {
            xmodem::AppendBlock(block, 1, CountingBytes(100), xmodem::kShortBlock,
                                xmodem::Check::kCrc16);
        }
        EXPECT_TRUE(line.Write(word == "eot" ? Bytes{xmodem::kEot} : Concat(bytes, block), 10s));
        sent = Concat(sent,
                      block.empty() ? bytes : Concat(CountingBytes(100), Bytes(28, xmodem::kPad)));
        if (word == "pause") {
            std::this_thread::sleep_for(std::chrono::milliseconds(n));
        } else if (word == "read" || word == "hear") {
            // "read N": N bytes of any kind; "hear TEXT": that text.
            const Bytes got = ReadOnceOpen(line, word == "read" ? n : value.size(), 1000);
            EXPECT_EQ(
                word == "read" ? std::to_string(got.size()) : std::string(got.begin(), got.end()),
                value);
        } else if (word == "silent") {
            const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(n);
            while (std::chrono::steady_clock::now() < end) {
                EXPECT_EQ(Hex(line.Read(10ms)), "");
            }
        } else if (word == "echo") {
            // A plug with TX and RX bridged: everything comes back, until the program ends.
            while (!cli.Ended()) {
                const Bytes got = line.Read(20ms);
                EXPECT_TRUE(got.empty() || line.Write(got, 10s));
            }
        } else if (word == "ready") {
            cli.WaitFor("warte auf die Anfrage", &Cli::Out);
        } else if (word == "rewrite") {
            std::rename(work.Write("w.tmp", CountingBytes(50)).c_str(),
                        work.File("w_4000.bin").c_str());
        } else if (word == "hangup" || word == "int" || word == "term") {
            std::this_thread::sleep_for(300ms);
            word == "hangup" ? line.CloseMaster()
                             : void(kill(cli.Pid(), word == "int" ? SIGINT : SIGTERM));
        }
    }
    return sent;
}

}  // namespace

std::vector<CliRow> CliRowsIn(std::initializer_list<std::string_view> files) {
    std::vector<CliRow> rows;
    for (const std::string_view file : files) {
        for (FileRow& row : ReadRows(file, RowText::kUtf8, {"args", "far"})) {
            rows.push_back({row.name, row.fields["args"], row.fields["far"], row.expected});
        }
    }
    return rows;
}

bool IsOption(const std::string& argument, const cli::OptionRule& rule) {
    const auto named = [&argument](std::string_view name) {
        return !name.empty() && (argument == name || argument.starts_with(std::string(name) + "="));
    };
    return named(rule.name) || named(rule.shortName);
}

void PlayRow(const CliRow& c, const cli::OptionRule* without, PlayedRun* played) {
    const TempDir work;
    work.Write("hi_c000.bin", CountingBytes(40));
    work.Write("w_4000.bin", CountingBytes(40));
    work.Write("big.bin", CountingBytes(60000));
    work.Write("5k.bin", CountingBytes(5000));  // more than the far end's buffer holds
    work.Write("prog.z80", Z80File(0x1000, 0x1027, 0x1003, 'B', "HELLO", 40));
    work.Write("tiny.bin", CountingBytes(31));
    for (const std::size_t size : {32, 65504, 65505}) {
        work.Write("b" + std::to_string(size) + ".bin", CountingBytes(size));
    }
    work.Write("prog.bas", "10 PRINT \"\u00C4\"\r\n20 END\n");
    work.Write("top_ff00.bin", CountingBytes(512));
    work.Write("omega.txt", "A\n\u03A9\n");
    work.Write("_._.._x.Z80", "");
    ASSERT_EQ(mkfifo(work.File("fifo").c_str(), 0600), 0);
    ASSERT_EQ(mkdir(work.File("out").c_str(), 0700), 0);
    PtyPair line;
    std::vector<Args> runs(1);
    std::istringstream words(c.args);
    for (std::string word; words >> word;) {
        if (without != nullptr && IsOption(word, *without)) {
            if (without->takesValue && word.find('=') == std::string::npos) {
                words >> word;
            }
            continue;
        }
        word == ";" ? void(runs.emplace_back())
                    : runs.back().push_back(word == "$PORT" ? line.SlavePath() : word);
    }
    for (std::size_t i = 0; i + 1 < runs.size(); ++i) {
        EXPECT_EQ(Cli(runs[i], work.path()).Wait(30s), 0);
    }
    // The temp folder, where a file that cannot be saved is rescued, is the row's own; leading
    // NAME=VALUE words set the environment of the last run.
    Args& last = runs.back();
    PtyPair terminal;
    const bool watched = c.expect.find("drawn=") != std::string::npos;
    std::optional<Cli> started;
    {
        std::deque<ScopedVariable> scoped;
        scoped.emplace_back("TMPDIR", work.path().c_str());
        for (; !last.empty() && last.front().find('=') != std::string::npos;
             last.erase(last.begin())) {
            const std::size_t equals = last.front().find('=');
            scoped.emplace_back(last.front().substr(0, equals), last.front().c_str() + equals + 1);
        }
        started.emplace(last, work.path(), watched ? terminal.SlavePath() : "");
    }
    Cli& cli = *started;
    const std::string farEnd = c.farEnd;
    if (!farEnd.empty() && runs.back().front() == "receive") {
        ASSERT_TRUE(cli.WaitFor(kWaiting)) << cli.Err();
    }
    const Bytes sent = PlayFarEnd(farEnd, line, cli, work);
    // Every row ends within this time, or the program is killed and the row fails.
    const std::optional<int> exit = cli.Wait(without != nullptr ? 10s : 30s);
    if (played != nullptr) {
        *played = {exit, cli.Err()};
    }
    const Bytes drawn = watched ? terminal.ReadUntilQuiet(500ms) : Bytes();
    std::istringstream expected(c.expect);
    for (std::string entry; std::getline(expected, entry);) {
        const std::string key = entry.substr(0, entry.find('='));
        const std::string value = entry.substr(key.size() + 1);
        std::string out = key == "out" || key == "noout" ? cli.Out()
                          : key.ends_with("drawn")       ? std::string(drawn.begin(), drawn.end())
                                                         : cli.Err();
        std::replace(out.begin(), out.end(), '\n', '|');
        if (key == "exit") {
            EXPECT_EQ(exit, DecimalToInt(value)) << cli.Err();
        } else if (key == "out" || key == "err" || key == "noerr" || key == "noout" ||
                   key == "once" || key.ends_with("drawn")) {
            const std::size_t at = out.find(value);
            EXPECT_EQ(at == std::string::npos, key.starts_with("no")) << key << ": " << out;
            EXPECT_TRUE(key != "once" || out.find(value, at + 1) == std::string::npos) << out;
        } else if (key == "mode") {
            // "NAME 600": the file's permissions, in octal.
            const std::string name = value.substr(0, value.find(' '));
            std::ostringstream mode;
            mode << name << " " << std::oct
                 << static_cast<unsigned>(std::filesystem::status(work.File(name)).permissions());
            EXPECT_EQ(mode.str(), value);
        } else if (key == "rescued") {
            const std::string err = cli.Err();
            const std::string prefix = "Empfangene Daten gerettet in ";
            const std::size_t at = err.find(prefix);
            ASSERT_NE(at, std::string::npos) << err;
            const std::string path =
                err.substr(at + prefix.size(), err.find('\n', at) - at - prefix.size());
            EXPECT_TRUE(path.starts_with(work.path() + "/") && path.ends_with("/" + value)) << path;
            EXPECT_EQ(ReadFileBytes(path), std::string(sent.begin(), sent.end()));
            struct stat file {};
            struct stat folder {};
            ASSERT_EQ(
                stat(path.c_str(), &file) | stat(path.substr(0, path.rfind('/')).c_str(), &folder),
                0);
            EXPECT_EQ(std::tuple(file.st_mode & 0777, folder.st_mode & 0777, folder.st_uid),
                      std::tuple(0600u, 0700u, geteuid()));
        } else if (key == "logged") {
            std::string log = ReadFileBytes(work.File("line.log")).value_or("");
            std::replace(log.begin(), log.end(), '\n', '|');
            EXPECT_NE(log.find(value), std::string::npos) << log;
        } else if (key == "line") {
            const Bytes got = line.ReadUntilQuiet(200ms);
            const std::string hex = value[0] == '#' ? "#" + std::to_string(got.size()) : Hex(got);
            const bool prefix = value.ends_with('*');
            EXPECT_EQ(prefix ? hex.substr(0, value.size() - 1) : hex,
                      prefix ? value.substr(0, value.size() - 1) : value);
        } else {
            const std::string name = value.substr(0, value.find(' '));
            const std::optional<std::string> file = ReadFileBytes(work.File(name));
            const std::string part = value.substr(name.size());
            EXPECT_EQ(file.has_value(), part != " none") << name;
            const std::size_t size = part.empty() ? sent.size()
                                     : part == " part"
                                         ? std::min(file.value_or("").size(), sent.size())
                                     : part == " none" ? 0
                                                       : DecimalToInt(part.substr(1));
            EXPECT_EQ(file.value_or(""),
                      std::string(sent.begin(), sent.begin() + static_cast<long>(size)));
            EXPECT_TRUE(
                part != " part" ||
                (size > 0 && cli.Err().find("Empfang unvollst\u00E4ndig, " + std::to_string(size) +
                                            " Bytes gesichert") != std::string::npos));
        }
    }
}

}  // namespace velotrix::test
