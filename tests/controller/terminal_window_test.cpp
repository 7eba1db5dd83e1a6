// The window "Terminal" on the headless view: what a person does at it, what it shows and what
// goes out on the line.
#include <gtest/gtest.h>

#include "support/rig.h"

namespace velotrix::test {
namespace {

class TerminalWindow : public ::testing::TestWithParam<TableRow> {};

TEST_P(TerminalWindow, ShowsAndSendsWhatThePersonDid) {
    RunRow(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Rows, TerminalWindow, WindowRowsOf("controller/terminal_window.rows"),
                         RowName<TableRow>);

}  // namespace
}  // namespace velotrix::test
