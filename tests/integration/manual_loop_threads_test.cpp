// Worker threads post into the owner-pumped loop while its owner pumps: nothing lost, order kept.
#include "platform/manual_loop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace velotrix {
namespace {

using std::chrono::milliseconds;

TEST(ManualLoop, PostsFromSeveralThreadsArriveCompleteAndInOrder) {
    constexpr int kThreads = 4;
    constexpr int kPosts = 2000;
    for (ManualLoop::Clock clock : {ManualLoop::Clock::kVirtual, ManualLoop::Clock::kReal}) {
        ManualLoop loop(clock);
        std::vector<int> next(kThreads, 0);  // touched only by the tasks, on this thread
        int inOrder = 0;
        std::vector<std::thread> workers;
        for (std::size_t t = 0; t < kThreads; ++t) {
            workers.emplace_back([&, t] {
                for (int i = 0; i < kPosts; ++i) {
                    loop.Post([&, t, i] { inOrder += next[t]++ == i; });
                }
            });
        }
        EXPECT_TRUE(
            loop.RunUntil([&] { return inOrder == kThreads * kPosts; }, milliseconds(60000)));
        for (std::thread& worker : workers) {
            worker.join();
        }
    }
}

TEST(ManualLoop, QuitFromAnotherThreadEndsRunWhileTimersRun) {
    ManualLoop loop(ManualLoop::Clock::kReal);
    std::atomic<int> ticks{0};
    std::function<void()> tick = [&] {
        ++ticks;
        loop.StartTimer(1, milliseconds(1), tick);
    };
    loop.StartTimer(1, milliseconds(1), tick);
    std::thread quitter([&] {
        while (ticks < 5) {
            std::this_thread::sleep_for(milliseconds(1));
        }
        loop.Quit();
    });
    loop.Run();
    quitter.join();
}

}  // namespace
}  // namespace velotrix
