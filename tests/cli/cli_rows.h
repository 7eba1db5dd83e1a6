// The CLI's tables (cli.rows, cli_values.rows) and how a row is played: velotrix-cli run on a
// pseudo-terminal in a folder of its own, the far end playing its part, and every expected key
// checked.
#pragma once

#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "frontends/cli/cli_option_table.h"
#include "support/rig.h"

namespace velotrix::test {

// A row of cli.rows or cli_values.rows: the fields and keys are described there.
struct CliRow {
    std::string name;
    std::string args;
    std::string farEnd;
    std::string expect;
};

inline void PrintTo(const CliRow& row, std::ostream* os) {
    *os << row.name;
}
// The rows of those files, one after the other.
std::vector<CliRow> CliRowsIn(std::initializer_list<std::string_view> files);
// Bytes as the tables write them: the leading ones in hex, then "+N" for N counting bytes that
// end them.
std::string Hex(const Bytes& bytes);
// Whether an argument is the option (its long or short name, alone or with "=VALUE").
bool IsOption(const std::string& argument, const cli::OptionRule& rule);
// How the row's last run ended: its exit status (none when it was killed) and what it said on
// stderr.
struct PlayedRun {
    std::optional<int> exit;
    std::string err;
};
// Runs a row as written, or without the option and its value (without: nullptr for none); a run
// without it may fail sooner. played, where given, learns how the last run ended.
void PlayRow(const CliRow& c, const cli::OptionRule* without = nullptr,
             PlayedRun* played = nullptr);

}  // namespace velotrix::test
