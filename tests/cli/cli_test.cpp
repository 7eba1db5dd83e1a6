// velotrix-cli run as its users run it, on pseudo-terminals: what it prints, what it puts on the
// line, what it saves and how it exits.
#include <sys/resource.h>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <map>
#include <optional>
#include <regex>
#include <sstream>

#include "cli/cli_child.h"
#include "cli/cli_rows.h"
#include "frontends/cli/cli_option_table.h"
#include "support/pty_pair.h"
#include "support/rig.h"
#include "support/scoped_variable.h"
#include "text/text_helpers.h"
#include "ui-resources/messages.h"

namespace velotrix::test {
namespace {

class CliTable : public ::testing::TestWithParam<CliRow> {};

TEST_P(CliTable, DoesWhatTheWindowDoes) {
    PlayRow(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Rows, CliTable, ::testing::ValuesIn(CliRowsIn({"cli/cli.rows"})),
                         RowName<CliRow>);

// The values an option offers, as the program lists them when it refuses one; none for an option
// whose refusal names no list.
std::vector<std::string> OfferedValues(const cli::OptionRule& rule) {
    std::vector<std::string> args = (rule.commands & cli::kForSend) != 0      ? Args{"send", "x"}
                                    : (rule.commands & cli::kForText) != 0    ? Args{"text", "x"}
                                    : (rule.commands & cli::kForReceive) != 0 ? Args{"receive"}
                                                                              : Args{"selftest"};
    args.insert(args.end(), {"--port", "p", std::string(rule.name), "\x01"});
    const std::string refused = rule.takesValue ? cli::ParseArguments(args).error : "";
    const std::size_t from = refused.find(msg::kCliExpects);
    const std::size_t to = refused.find(msg::kCliNot);
    std::string list =
        from < to && to != std::string::npos
            ? refused.substr(from + msg::kCliExpects.size(), to - from - msg::kCliExpects.size())
            : "";
    std::vector<std::string> values;
    if (list.starts_with(msg::kCliOneLetterOf)) {
        for (char letter : list.substr(msg::kCliOneLetterOf.size())) {
            values.emplace_back(1, letter);
        }
    } else if (list.find('|') != std::string::npos) {
        std::replace(list.begin(), list.end(), '|', ' ');
        std::istringstream words(list);
        values.assign(std::istream_iterator<std::string>(words), {});
    }
    return values;
}

// Every value an option offers has a row of cli_values.rows ("OPTION VALUE") that sees what
// choosing it does, and every row there chooses a value its option offers.
TEST(CliValueWalk, EveryValueOfEveryListHasARowThatSeesWhatItDoes) {
    std::map<std::string, CliRow> rows;
    for (const CliRow& row : CliRowsIn({"cli/cli_values.rows"})) {
        rows.emplace(row.name, row);
    }
    for (const cli::OptionRule& rule : cli::OptionTable()) {
        for (const std::string& value : OfferedValues(rule)) {
            const auto found = rows.find(std::string(rule.name) + " " + value);
            if (found == rows.end()) {
                ADD_FAILURE() << rule.name << " offers \"" << value << "\", and no row chooses it";
                continue;
            }
            SCOPED_TRACE(found->first);
            PlayRow(found->second);
            rows.erase(found);
        }
    }
    for (const auto& [name, row] : rows) {
        ADD_FAILURE() << name << ": its option does not offer that value";
    }
}

// Every option of the program's table has a row that uses it and fails without it: a row sees
// what the option does, not only that it parses (a row of a usage error counts for nothing).
class CliOptionWalk : public ::testing::TestWithParam<cli::OptionRule> {};

TEST_P(CliOptionWalk, HasARowThatSeesWhatItDoes) {
    const cli::OptionRule& rule = GetParam();
    std::string passing;
    for (const CliRow& row : CliRowsIn({"cli/cli.rows", "cli/cli_values.rows"})) {
        std::istringstream words(row.args);
        const bool uses = std::any_of(std::istream_iterator<std::string>(words), {},
                                      [&rule](const std::string& w) { return IsOption(w, rule); });
        if (!uses || row.expect.starts_with("exit=2")) {
            continue;
        }
        ::testing::TestPartResultArray failures;
        PlayedRun played;
        {
            const ::testing::ScopedFakeTestPartResultReporter quiet(
                ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ALL_THREADS, &failures);
            PlayRow(row, &rule, &played);
        }
        // A usage error about something else (a value left behind, another option it needs)
        // shows only that the line no longer parses, not what the option does.
        const bool otherUsageError =
            played.exit == 2 && played.err.find(rule.name) == std::string::npos;
        if (failures.size() > 0 && !otherUsageError) {
            return;
        }
        passing += std::string(passing.empty() ? "" : ", ") + "\"" + row.name + "\"";
    }
    ADD_FAILURE() << rule.name << ": no row of the CLI table sees what it does"
                  << (passing.empty() ? " (no row uses it)"
                                      : "; these pass without it: " + passing);
}

std::string OptionName(const ::testing::TestParamInfo<cli::OptionRule>& option) {
    return TestNameOf(option.param.name);
}

INSTANTIATE_TEST_SUITE_P(Options, CliOptionWalk, ::testing::ValuesIn(cli::OptionTable()),
                         OptionName);

// Where a person watches (stderr a terminal), a send draws its progress line while it runs (a
// character delay makes it last) and clears it at the end.
TEST(Cli, DrawsItsProgressWhereAPersonWatches) {
    const TempDir work;
    work.Write("hi.bin", CountingBytes(40));
    PtyPair line;
    PtyPair terminal;
    Cli cli({"send", "hi.bin", "--bin", "--char-delay", "10", "--port", line.SlavePath()},
            work.path(), terminal.SlavePath());
    EXPECT_EQ(cli.Wait(30s), 0);
    const Bytes drawn = terminal.ReadUntilQuiet(500ms);
    const std::string text(drawn.begin(), drawn.end());
    // The bytes, then the meter the window shows too: "12 / 40 Bytes  30%".
    EXPECT_TRUE(std::regex_search(text, std::regex(" / 40 Bytes  [0-9]+%"))) << Hex(drawn);
    EXPECT_TRUE(text.ends_with("\r\x1b[K")) << Hex(drawn);
}

// A receiver that is stopped for longer than the silence that ends a reception (SIGSTOP, a
// machine that swaps) while the line goes on keeps the transfer whole: silence is time without
// bytes on the line, not time the program did not run.
TEST(Cli, AStoppedReceiverKeepsTheTransferWhole) {
    const TempDir work;
    PtyPair line;
    Cli cli({"receive", "--port", line.SlavePath(), "-o", "rx.bin"}, work.path());
    ASSERT_TRUE(cli.WaitFor(kWaiting)) << cli.Err();
    std::string sent;
    const auto send = [&](std::size_t count, int times) {
        for (int i = 0; i < times; ++i) {
            const Bytes more = CountingBytes(count);
            ASSERT_TRUE(line.Write(more, 10s));
            sent.append(more.begin(), more.end());
            std::this_thread::sleep_for(100ms);
        }
    };
    send(100, 3);
    ASSERT_EQ(kill(cli.Pid(), SIGSTOP), 0);
    send(20, 15);
    ASSERT_EQ(kill(cli.Pid(), SIGCONT), 0);
    send(20, 5);
    EXPECT_EQ(cli.Wait(30s), 0) << cli.Err();
    EXPECT_EQ(ReadFileBytes(work.File("rx.bin")), sent);
}

// A save the disk cannot take (a limit on the size of files stands in for a full disk) says why in
// German and leaves no file cut short: none where there was none, so that the next receive into
// that name needs no --force, and the old one as it was where there was one.
TEST(Cli, AFailedSaveSaysWhyAndLeavesNoFileCutShort) {
    const struct {
        const char* before;  // the file's contents before, or none
        const char* option;  // --force where a file is there already
    } rows[] = {{nullptr, "-q"}, {"alt", "--force"}};
    for (const auto& row : rows) {
        const TempDir work;
        if (row.before != nullptr) {
            work.Write("rx.bin", row.before);
        }
        PtyPair line;
        const Args receive = {"receive", "--port", line.SlavePath(), "-o", "rx.bin", row.option};
        std::optional<Cli> limited;
        {
            // The child inherits the limit and the ignored signal, so that a write past the limit
            // fails with EFBIG instead of killing it.
            const ScopedVariable temp("TMPDIR", work.path().c_str());
            rlimit old{};
            ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
            rlimit small = old;
            small.rlim_cur = 1000;
            const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
            ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
            limited.emplace(receive, work.path());
            setrlimit(RLIMIT_FSIZE, &old);
            std::signal(SIGXFSZ, oldHandler);
        }
        ASSERT_TRUE(limited->WaitFor(kWaiting)) << limited->Err();
        ASSERT_TRUE(line.Write(CountingBytes(3000), 10s));
        EXPECT_EQ(limited->Wait(30s), 1);
        EXPECT_NE(limited->Err().find("Schreibfehler"), std::string::npos) << limited->Err();
        EXPECT_NE(limited->Err().find("Die Datei w\u00E4re zu gro\u00DF"), std::string::npos)
            << limited->Err();
        EXPECT_EQ(ReadFileBytes(work.File("rx.bin")),
                  row.before != nullptr ? std::optional<std::string>(row.before) : std::nullopt);
        // Nothing else is left, neither beside the file nor in the folder for rescued bytes.
        for (const auto& entry : std::filesystem::recursive_directory_iterator(work.path())) {
            const std::string name = entry.path().filename().string();
            EXPECT_TRUE(name == "rx.bin" || name.starts_with(".cli") || entry.is_directory())
                << name;
        }
        Cli again(receive, work.path());
        ASSERT_TRUE(again.WaitFor(kWaiting)) << again.Err();
        ASSERT_TRUE(line.Write(CountingBytes(3000), 10s));
        EXPECT_EQ(again.Wait(30s), 0) << again.Err();
        EXPECT_EQ(ReadFileBytes(work.File("rx.bin")),
                  std::string(reinterpret_cast<const char*>(CountingBytes(3000).data()), 3000));
    }
}

// send --watch: the far end gets the file, and again after the assembler renamed a new version over
// it, with the load address the user gave; Ctrl+C ends it.
TEST(CliWatch, SendsEachRewriteAgainUntilInterrupted) {
    const TempDir work;
    work.Write("w_4000.bin", CountingBytes(40));
    PtyPair line;
    Cli cli({"send", "w_4000.bin", "--port", line.SlavePath(), "--watch", "--aadr", "8000"},
            work.path());
    EXPECT_EQ(ReadOnceOpen(line, 72, 2000).size(), 72u) << cli.Err();
    std::rename(work.Write("w.tmp", CountingBytes(50)).c_str(), work.File("w_4000.bin").c_str());
    const Bytes again = ReadOnceOpen(line, 82, 2000);
    ASSERT_EQ(again.size(), 82u) << cli.Err();
    // The header made for the new length, at the address the user chose.
    EXPECT_EQ(Hex2(again[0]) + Hex2(again[1]) + Hex2(again[2]) + Hex2(again[3]), "00803180");
    kill(cli.Pid(), SIGINT);
    EXPECT_EQ(cli.Wait(30s), 130);
    const std::string out = cli.Out();
    const std::string resent = "Datei ge\u00E4ndert, wird erneut gesendet";
    EXPECT_NE(out.find(resent), std::string::npos) << out;
    EXPECT_EQ(out.find(resent), out.rfind(resent)) << out;
}

}  // namespace
}  // namespace velotrix::test
