// The system's file watch (inotify, ReadDirectoryChangesW) on real files: what an assembler or
// editor does to the file is reported on the UI thread, other files of the folder are not, and
// nothing comes after the watch ends.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <thread>

#include "platform/file_watch.h"
#include "platform/manual_loop.h"
#include "support/rig.h"

namespace velotrix::test {
namespace {

using namespace std::chrono_literals;

struct WatchRow {
    const char* name;
    void (*act)(const TempDir& dir);
    bool reported;
};

// clang-format off
const WatchRow kRows[] = {
    {"written in place", [](const TempDir& d) { d.Write("prog.bin", "new"); }, true},
    {"a new file renamed over it", [](const TempDir& d) { std::filesystem::rename(d.Write("prog.tmp", "new"), d.File("prog.bin")); }, true},
    {"removed", [](const TempDir& d) { std::remove(d.File("prog.bin").c_str()); }, true},
    {"another file of the folder written", [](const TempDir& d) { d.Write("other.bin", "new"); }, false},
};
// clang-format on

class FileWatchOnDisk : public ::testing::TestWithParam<WatchRow> {};

TEST_P(FileWatchOnDisk, ReportsWhatChangesTheFile) {
    const TempDir dir;
    dir.Write("prog.bin", "old");
    ManualLoop loop;
    int reports = 0;
    auto watch = WatchFile(loop, dir.File("prog.bin"), [&] { ++reports; });
    ASSERT_TRUE(watch.ok()) << watch.error.code;
    GetParam().act(dir);
    // A report arrives within the generous time, or never: the wait is no measurement.
    EXPECT_EQ(loop.RunUntil([&] { return reports > 0; }, GetParam().reported ? 10s : 300ms),
              GetParam().reported);
}

INSTANTIATE_TEST_SUITE_P(Rows, FileWatchOnDisk, ::testing::ValuesIn(kRows), RowName<WatchRow>);

TEST(FileWatch, EndsWithoutLaterReportsAndRefusesAMissingFolder) {
    const TempDir dir;
    ManualLoop loop;
    int reports = 0;
    auto watch = WatchFile(loop, dir.File("prog.bin"), [&] { ++reports; });
    ASSERT_TRUE(watch.ok());
    dir.Write("prog.bin", "new");
    std::this_thread::sleep_for(50ms);  // time for the report to be posted, not a measurement
    watch.value.reset();
    loop.RunPending();
    EXPECT_EQ(reports, 0);
    EXPECT_FALSE(WatchFile(loop, dir.File("no/prog.bin"), [] {}).ok());
}

}  // namespace
}  // namespace velotrix::test
