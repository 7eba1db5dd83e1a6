// The owner-pumped loop: timer order, restart and stop, and tasks between timers.
#include "platform/headless/manual_loop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velotrix {
namespace {

using std::chrono::milliseconds;

// A virtual-clock loop whose timers log their name and the time they fired at.
struct Timeline {
    void Start(int id, int delayMs, std::string name) {
        loop.StartTimer(id, milliseconds(delayMs), [this, name] {
            log.push_back(name + "@" + std::to_string(loop.Now().count()));
        });
    }

    ManualLoop loop;
    std::vector<std::string> log;
};

TEST(ManualLoop, TimersFireByDeadlineThenStartOrder) {
    Timeline t;
    auto& loop = t.loop;
    auto& log = t.log;
    t.Start(1, 300, "a");
    t.Start(2, 100, "b");
    t.Start(3, 300, "c");
    t.Start(4, 0, "d");
    loop.Advance(milliseconds(299));
    EXPECT_EQ(log, (std::vector<std::string>{"d@0", "b@100"}));
    loop.Advance(milliseconds(1));
    EXPECT_EQ(log, (std::vector<std::string>{"d@0", "b@100", "a@300", "c@300"}));
    EXPECT_EQ(loop.Now(), milliseconds(300));
    EXPECT_FALSE(loop.TimerActive(1));
}

TEST(ManualLoop, RestartReplacesAndStopCancels) {
    Timeline t;
    auto& loop = t.loop;
    auto& log = t.log;
    t.Start(1, 1000, "first");
    loop.Advance(milliseconds(600));
    t.Start(1, 1000, "second");
    t.Start(2, 50, "stopped");
    loop.StopTimer(2);
    loop.StopTimer(99);
    loop.Advance(milliseconds(999));
    EXPECT_TRUE(log.empty());
    loop.Advance(milliseconds(5000));
    EXPECT_EQ(log, (std::vector<std::string>{"second@1600"}));
}

TEST(ManualLoop, TasksRunBeforeAndBetweenTimers) {
    Timeline t;
    auto& loop = t.loop;
    auto& log = t.log;
    loop.Post([&] { log.push_back("task"); });
    loop.StartTimer(1, milliseconds(10), [&] {
        log.push_back("t1");
        loop.Post([&] { log.push_back("posted by t1"); });
        // Re-arming from inside the timer counts from its own deadline.
        t.Start(1, 5, "t1 again");
    });
    t.Start(2, 12, "t2");
    loop.Advance(milliseconds(20));
    EXPECT_EQ(log,
              (std::vector<std::string>{"task", "t1", "posted by t1", "t2@12", "t1 again@15"}));
    EXPECT_EQ(loop.Now(), milliseconds(20));
}

TEST(ManualLoop, RunPendingRunsWhatTasksPostAndCountsIt) {
    Timeline t;
    auto& loop = t.loop;
    auto& log = t.log;
    loop.Post([&] {
        log.push_back("1");
        loop.Post([&] { log.push_back("3"); });
    });
    loop.Post([&] { log.push_back("2"); });
    EXPECT_EQ(loop.RunPending(), 3u);
    EXPECT_EQ(log, (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(loop.RunPending(), 0u);
}

TEST(ManualLoop, RunUntilLeavesTheVirtualClockAlone) {
    Timeline t;
    auto& loop = t.loop;
    auto& log = t.log;
    t.Start(1, 0, "timer");
    bool done = false;
    loop.Post([&] { done = true; });
    EXPECT_TRUE(loop.RunUntil([&] { return done; }, milliseconds(1000)));
    EXPECT_FALSE(loop.RunUntil([] { return false; }, milliseconds(20)));
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(loop.Now(), milliseconds(0));
}

TEST(ManualLoop, RealClockTimersFireOnTheirOwnAndQuitEndsRun) {
    ManualLoop loop(ManualLoop::Clock::kReal);
    int fired = 0;
    loop.StartTimer(1, milliseconds(20), [&] { ++fired; });
    loop.StartTimer(2, milliseconds(30), [&] { ++fired; });
    loop.StopTimer(2);
    EXPECT_TRUE(loop.RunUntil([&] { return fired == 1; }, milliseconds(10000)));
    EXPECT_GE(loop.Now(), milliseconds(20));

    loop.StartTimer(3, milliseconds(10), [&] { loop.Quit(); });
    loop.Run();
    EXPECT_FALSE(loop.TimerActive(3));
    EXPECT_EQ(fired, 1);
    // A Quit that comes before Run ends it at once, and is used up by it.
    loop.Quit();
    loop.Run();
    EXPECT_FALSE(loop.RunUntil([] { return false; }, milliseconds(0)));
}

}  // namespace
}  // namespace velotrix
