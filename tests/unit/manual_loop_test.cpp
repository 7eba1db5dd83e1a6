// The owner-pumped loop: timer order, restart and stop, and tasks between timers.
#include "platform/manual_loop.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
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

TEST(ManualLoop, TimersFireByDeadlineThenStartOrderRestartReplacesStopCancels) {
    Timeline t;
    for (auto [id, delay, name] :
         {std::tuple(1, 300, "a"), std::tuple(2, 100, "b"), std::tuple(3, 300, "c"),
          std::tuple(4, 0, "d"), std::tuple(5, 200, "first"), std::tuple(6, 50, "stopped")}) {
        t.Start(id, delay, name);
    }
    t.loop.StopTimer(6);
    t.loop.StopTimer(99);
    t.loop.Advance(milliseconds(150));
    t.Start(5, 200, "second");
    t.loop.Advance(milliseconds(149));
    EXPECT_EQ(t.log, (Log{"d@0", "b@100"}));
    t.loop.Advance(milliseconds(5000));
    EXPECT_EQ(t.log, (Log{"d@0", "b@100", "a@300", "c@300", "second@350"}));
    EXPECT_EQ(t.loop.Now(), milliseconds(5299));
}

// Tasks run before and between timers; pumping runs what tasks post but leaves the clock alone.
TEST(ManualLoop, TasksRunBeforeAndBetweenTimersAndPumpingKeepsTheVirtualClock) {
    Timeline t;
    t.Start(3, 0, "zero");
    t.loop.Post([&] { t.loop.Post([&] { t.log.push_back("nested"); }); });
    EXPECT_EQ(t.loop.RunPending(), 2u);
    EXPECT_FALSE(t.loop.RunUntil([] { return false; }, milliseconds(20)));
    EXPECT_EQ(t.log, (Log{"nested"}));
    t.loop.StartTimer(1, milliseconds(10), [&] {
        t.loop.Post([&] { t.log.push_back("posted by t1"); });
        t.Start(1, 5, "t1 again");  // counts from its own deadline
    });
    t.Start(2, 12, "t2");
    EXPECT_EQ(t.loop.Now(), milliseconds(0));
    t.loop.Advance(milliseconds(20));
    EXPECT_EQ(t.log, (Log{"nested", "zero@0", "posted by t1", "t2@12", "t1 again@15"}));
}

// Real-clock timers and posts from threads are driven in manual_loop_threads_test.cpp.
TEST(ManualLoop, RealClockRunEndsAtQuitAndAQuitBeforeRunIsUsedUp) {
    ManualLoop loop(ManualLoop::Clock::kReal);
    loop.Quit();
    loop.Run();
    loop.StartTimer(3, milliseconds(20), [&] { loop.Quit(); });
    loop.Run();
    EXPECT_GE(loop.Now(), milliseconds(20));
    EXPECT_FALSE(loop.TimerActive(3));
}

}  // namespace
}  // namespace velotrix
