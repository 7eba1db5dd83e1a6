// The Qt event loop as the core's UiLoop: work posted from other threads, one-shot timers.
#include "frontends/qt/qt_loop.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace velotrix {
namespace {

using namespace std::chrono_literals;

// Runs the event loop until done holds or two seconds have passed.
bool RunUntil(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(2000);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return done();
}

TEST(QtLoopTest, PostedWorkRunsOnTheUiThreadInOrder) {
    QtLoop loop;
    std::vector<int> order;
    std::atomic<bool> offThread{false};
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i) {
            loop.Post([&, i] {
                offThread = offThread || QThread::currentThread() != qApp->thread();
                order.push_back(i);
            });
        }
    });
    worker.join();
    ASSERT_TRUE(RunUntil([&] { return order.size() == 100; }));
    EXPECT_FALSE(offThread);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
    }
}

TEST(QtLoopTest, TimersFireOnceAndRestartOrStopByTheirId) {
    QtLoop loop;
    std::vector<std::string> fired;
    loop.StartTimer(1, 20ms, [&] { fired.push_back("first"); });
    loop.StartTimer(1, 30ms, [&] { fired.push_back("restarted"); });
    loop.StartTimer(2, 10ms, [&] { fired.push_back("stopped"); });
    loop.StopTimer(2);
    loop.StopTimer(7);
    loop.StartTimer(3, 5ms, [&] {
        fired.push_back("rearms");
        loop.StartTimer(3, 5ms, [&] { fired.push_back("rearmed"); });
    });
    ASSERT_TRUE(RunUntil([&] { return fired.size() >= 3; }));
    QCoreApplication::processEvents(QEventLoop::AllEvents, 60);
    std::this_thread::sleep_for(60ms);
    QCoreApplication::processEvents();
    ASSERT_EQ(fired.size(), 3u) << "a restarted or stopped timer fires no earlier task";
    EXPECT_EQ(fired[0], "rearms");
    std::sort(fired.begin(), fired.end());
    EXPECT_EQ(fired, (std::vector<std::string>{"rearmed", "rearms", "restarted"}));
}

}  // namespace
}  // namespace velotrix
