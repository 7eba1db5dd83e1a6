// The Qt event loop as the core's UiLoop: work posted from other threads, one-shot timers.
#include "frontends/qt/qt_loop.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace velotrix {
namespace {

using namespace std::chrono_literals;

TEST(QtLoopTest, PostedWorkRunsInOrderOnTheUiThreadAndTimersFireByTheirLastStart) {
    QtLoop loop;
    int inOrderOnUi = 0;
    std::vector<std::string> log;
    std::thread worker([&] {
        for (int i = 0; i < 50; ++i) {
            loop.Post([&, i] {
                inOrderOnUi += i == inOrderOnUi && QThread::currentThread() == qApp->thread();
            });
        }
    });
    worker.join();
    loop.StartTimer(1, 20ms, [&] { log.push_back("replaced"); });
    loop.StartTimer(1, 40ms, [&] { log.push_back("restarted"); });
    loop.StartTimer(2, 10ms, [&] { log.push_back("stopped"); });
    loop.StopTimer(2);
    loop.StartTimer(3, 5ms, [&] {
        log.push_back("rearms");
        loop.StartTimer(3, 5ms, [&] { log.push_back("rearmed"); });
    });
    const QDeadlineTimer deadline(2000);
    while (log.size() < 3 && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    std::this_thread::sleep_for(50ms);
    QCoreApplication::processEvents();
    EXPECT_EQ(inOrderOnUi, 50);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "rearms");
    std::sort(log.begin(), log.end());
    EXPECT_EQ(log, (std::vector<std::string>{"rearmed", "rearms", "restarted"}));
}

}  // namespace
}  // namespace velotrix
