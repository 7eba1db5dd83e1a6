// What only the owner-pumped loop does: its virtual clock, and drains that end while other threads
// keep posting.
#include "platform/manual_loop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace velotrix {
namespace {

using std::chrono::milliseconds;

// Equal deadlines fire in start order, tasks run before and between timers, each timer sees the
// clock at its own deadline, and pumping leaves the virtual clock alone.
TEST(ManualLoop, VirtualTimeMovesOnlyByAdvanceAndTimersSeeTheirDeadline) {
    ManualLoop loop;
    std::vector<std::string> log;
    for (auto [id, delayMs, name] : {std::tuple(1, 300, "a"), std::tuple(2, 100, "b"),
                                     std::tuple(3, 300, "c"), std::tuple(4, 0, "d")}) {
        loop.StartTimer(id, milliseconds(delayMs), [&, timer = id, label = std::string(name)] {
            log.push_back(label + "@" + std::to_string(loop.Now().count()));
            if (label == "b") {
                loop.Post([&] { log.push_back("posted"); });
                loop.StartTimer(timer, milliseconds(15), [&] { log.push_back("again"); });
            }
        });
    }
    loop.Post([&] { loop.Post([&] { log.push_back("nested"); }); });
    EXPECT_FALSE(loop.RunUntil([] { return false; }, milliseconds(20)));
    loop.Advance(milliseconds(5000));
    EXPECT_EQ(log, (std::vector<std::string>{"nested", "d@0", "b@100", "posted", "again", "a@300",
                                             "c@300"}));
    EXPECT_EQ(loop.Now(), milliseconds(5000));
}

// A receive or send thread may post without pause; every way of pumping must still return. The
// producer keeps one task queued beyond the one running, so the queue never runs empty.
TEST(ManualLoop, DrainsEndWhileAnotherThreadKeepsPosting) {
    for (ManualLoop::Clock clock : {ManualLoop::Clock::kVirtual, ManualLoop::Clock::kReal}) {
        ManualLoop loop(clock);
        constexpr int kCap = 20000;
        std::atomic<int> posted{1}, ran{0};
        std::atomic<bool> stop{false};
        auto task = [&] {
            const int self = ++ran;
            while (posted < self + 1 && posted < kCap) {
                std::this_thread::yield();
            }
        };
        loop.Post(task);
        std::thread producer([&] {
            while (!stop && posted < kCap) {
                if (posted < ran + 1) {
                    loop.Post(task);
                    ++posted;
                }
                std::this_thread::yield();
            }
        });
        EXPECT_LT(loop.RunPending(), 5u);
        EXPECT_TRUE(loop.RunUntil([] { return true; }, milliseconds(10)));
        loop.Advance(milliseconds(1));
        EXPECT_LT(ran, 20);
        stop = true;
        producer.join();
    }
}

}  // namespace
}  // namespace velotrix
