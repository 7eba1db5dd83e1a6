// The owner-pumped loop: timer order, restart and stop, and tasks between timers.
#include "platform/headless/manual_loop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velotrix {
namespace {

using std::chrono::milliseconds;
using Log = std::vector<std::string>;

// A virtual-clock loop whose timers log their name and the time they fired at.
struct Timeline {
    void Start(int id, int delayMs, std::string name) {
        loop.StartTimer(id, milliseconds(delayMs), [this, name] {
            log.push_back(name + "@" + std::to_string(loop.Now().count()));
        });
    }
    ManualLoop loop;
    Log log;
};

TEST(ManualLoop, TimersFireByDeadlineThenStartOrder) {
    Timeline t;
    t.Start(1, 300, "a");
    t.Start(2, 100, "b");
    t.Start(3, 300, "c");
    t.Start(4, 0, "d");
    t.loop.Advance(milliseconds(299));
    EXPECT_EQ(t.log, (Log{"d@0", "b@100"}));
    t.loop.Advance(milliseconds(1));
    EXPECT_EQ(t.log, (Log{"d@0", "b@100", "a@300", "c@300"}));
}

TEST(ManualLoop, RestartReplacesAndStopCancels) {
    Timeline t;
    t.Start(1, 1000, "first");
    t.loop.Advance(milliseconds(600));
    t.Start(1, 1000, "second");
    t.Start(2, 50, "stopped");
    t.loop.StopTimer(2);
    t.loop.StopTimer(99);
    t.loop.Advance(milliseconds(5000));
    EXPECT_EQ(t.log, (Log{"second@1600"}));
    EXPECT_EQ(t.loop.Now(), milliseconds(5600));
}

TEST(ManualLoop, TasksRunBeforeAndBetweenTimers) {
    Timeline t;
    t.loop.Post([&] { t.log.push_back("task"); });
    t.loop.StartTimer(1, milliseconds(10), [&] {
        t.loop.Post([&] { t.log.push_back("posted by t1"); });
        t.Start(1, 5, "t1 again");  // counts from its own deadline
    });
    t.Start(2, 12, "t2");
    t.loop.Advance(milliseconds(20));
    EXPECT_EQ(t.log, (Log{"task", "posted by t1", "t2@12", "t1 again@15"}));
}

TEST(ManualLoop, PumpingRunsWhatTasksPostButLeavesTheVirtualClockAlone) {
    Timeline t;
    t.Start(1, 0, "timer");
    t.loop.Post([&] { t.loop.Post([&] { t.log.push_back("nested"); }); });
    EXPECT_EQ(t.loop.RunPending(), 2u);
    EXPECT_TRUE(t.loop.RunUntil([&] { return !t.log.empty(); }, milliseconds(1000)));
    EXPECT_FALSE(t.loop.RunUntil([] { return false; }, milliseconds(20)));
    EXPECT_EQ(t.log, (Log{"nested"}));
}

TEST(ManualLoop, RealClockFiresTimersAndRunEndsAtQuit) {
    ManualLoop loop(ManualLoop::Clock::kReal);
    int fired = 0;
    loop.StartTimer(1, milliseconds(20), [&] { ++fired; });
    loop.StartTimer(2, milliseconds(30), [&] { ++fired; });
    loop.StopTimer(2);
    EXPECT_TRUE(loop.RunUntil([&] { return fired == 1; }, milliseconds(10000)));
    EXPECT_GE(loop.Now(), milliseconds(20));
    // A Quit that comes before Run ends it at once, and is used up by it.
    loop.Quit();
    loop.Run();
    loop.StartTimer(3, milliseconds(10), [&] { loop.Quit(); });
    loop.Run();
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(loop.TimerActive(3));
}

}  // namespace
}  // namespace velotrix
