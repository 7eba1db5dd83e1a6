// velotrix-cli in English: the language from VELOTRIX_LANG or the locale, the same exit codes.
#include <gtest/gtest.h>

#include <iterator>
#include <sstream>

#include "cli/cli_child.h"
#include "support/rig.h"
#include "support/scoped_variable.h"

namespace velotrix::test {
namespace {

struct EnglishRow {
    const char* name;
    const char* velotrixLang;  // nullptr: not set
    const char* lcAll;
    const char* arguments;  // separated by spaces
    int exit;
    const char* out;  // a part of stdout, or "" for none to look for
    const char* err;  // a part of stderr
};

const EnglishRow kRows[] = {
    {"help", "en", "de_DE.UTF-8", "--help", 0, "Commands:\n  ports ", ""},
    {"help by the locale", nullptr, "en_US.UTF-8", "--help", 0, "Exit status: 0 success", ""},
    {"help in German by the locale", nullptr, "de_DE.UTF-8", "--help", 0, "Befehle:", ""},
    {"no command", "en", "C", "", 2, "", "velotrix-cli: no command given\nUsage: velotrix-cli"},
    {"a refused value", "en", "C", "send hi_c000.bin --port p --baud x", 2, "",
     "--baud expects a positive number, not "},
    {"info", "en", "C", "info hi_c000.bin", 0, "Kind: BIN\nAADR: C000\n", ""},
    {"a file too small", "en", "C", "info tiny.bin", 1, "",
     "tiny.bin: File too small (min. 32 bytes)..."},
};

class CliEnglish : public ::testing::TestWithParam<EnglishRow> {};

TEST_P(CliEnglish, Speaks) {
    const EnglishRow& row = GetParam();
    const TempDir work;
    work.Write("hi_c000.bin", std::string(40, '\x01'));
    work.Write("tiny.bin", std::string(10, '\x01'));
    const ScopedVariable velotrix("VELOTRIX_LANG", row.velotrixLang);
    const ScopedVariable all("LC_ALL", row.lcAll);
    std::istringstream words(row.arguments);
    Cli cli(Args(std::istream_iterator<std::string>(words), {}), work.path());
    EXPECT_EQ(cli.Wait(10s), row.exit);
    EXPECT_NE(cli.Out().find(row.out), std::string::npos) << cli.Out();
    EXPECT_NE(cli.Err().find(row.err), std::string::npos) << cli.Err();
}

INSTANTIATE_TEST_SUITE_P(Rows, CliEnglish, ::testing::ValuesIn(kRows), RowName<EnglishRow>);

}  // namespace
}  // namespace velotrix::test
