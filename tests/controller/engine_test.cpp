// The engine through its API against the fake device, in the tables of engine*.rows beside this
// file: receptions and sends, the port's life, the line log, the terminal, the modem lines and the
// self-test, and who takes the received bytes. The engine's rows of sending the loaded file again
// when it is rewritten are in window_test.cpp, beside the window's, so that they run on Windows
// too, where this file is not built.
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

}  // namespace
}  // namespace velotrix::test
