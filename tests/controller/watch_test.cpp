// Sending the loaded file again when it is rewritten, on the fake line and the virtual clock: the
// engine as every face uses it, and the window's check box.
#include <gtest/gtest.h>

#include "support/rig.h"

namespace velotrix::test {
namespace {

class WatchTable : public ::testing::TestWithParam<TableRow> {};

TEST_P(WatchTable, SendsEachRewriteOnce) {
    RunRow(GetParam());
}

class WatchWindow : public ::testing::TestWithParam<TableRow> {};

TEST_P(WatchWindow, SendsEachRewriteOnce) {
    RunRow(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Engine, WatchTable, TableRowsOf("controller/watch_engine.rows"),
                         RowName<TableRow>);
INSTANTIATE_TEST_SUITE_P(Window, WatchWindow, WindowRowsOf("controller/watch_window.rows"),
                         RowName<TableRow>);

}  // namespace
}  // namespace velotrix::test
