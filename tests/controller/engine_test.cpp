// The engine through its API against the fake device, in the tables of engine*.rows beside this
// file: receptions and sends, the port's life, the line log, the terminal, the modem lines and the
// self-test, and who takes the received bytes; and sending the loaded file again when it is
// rewritten, as every face uses it.
#include <gtest/gtest.h>

#include "support/rig.h"

namespace velotrix::test {
namespace {

class EngineTable : public ::testing::TestWithParam<TableRow> {};

TEST_P(EngineTable, DoesWhatItsCallsAndTheLineAskFor) {
    RunRow(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Rows, EngineTable, TableRowsOf("controller/engine.rows"),
                         RowName<TableRow>);
INSTANTIATE_TEST_SUITE_P(Lines, EngineTable, TableRowsOf("controller/engine_lines.rows"),
                         RowName<TableRow>);
INSTANTIATE_TEST_SUITE_P(PortLife, EngineTable, TableRowsOf("controller/engine_port_life.rows"),
                         RowName<TableRow>);
INSTANTIATE_TEST_SUITE_P(LineLog, EngineTable, TableRowsOf("controller/engine_line_log.rows"),
                         RowName<TableRow>);
INSTANTIATE_TEST_SUITE_P(Terminal, EngineTable, TableRowsOf("controller/engine_terminal.rows"),
                         RowName<TableRow>);
INSTANTIATE_TEST_SUITE_P(Takers, EngineTable, TableRowsOf("controller/engine_takers.rows"),
                         RowName<TableRow>);

class WatchTable : public ::testing::TestWithParam<TableRow> {};

TEST_P(WatchTable, SendsEachRewriteOnce) {
    RunRow(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Engine, WatchTable, TableRowsOf("controller/watch_engine.rows"),
                         RowName<TableRow>);

}  // namespace
}  // namespace velotrix::test
