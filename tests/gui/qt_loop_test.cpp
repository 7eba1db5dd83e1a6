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
    std::vector<std::string> log;
    std::thread worker([&] {
        for (int i = 0; i < 50; ++i) {
            loop.Post([&, i] {
                const bool ui = QThread::currentThread() == qApp->thread();
                log.push_back((ui ? "post " : "off-thread ") + std::to_string(i));
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
    while (log.size() < 53 && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    std::this_thread::sleep_for(50ms);
    QCoreApplication::processEvents();
    ASSERT_EQ(log.size(), 53u);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(log[static_cast<std::size_t>(i)], "post " + std::to_string(i));
    }
    EXPECT_EQ(log[50], "rearms");
    std::sort(log.begin() + 50, log.end());
    EXPECT_EQ(std::vector<std::string>(log.begin() + 50, log.end()),
              (std::vector<std::string>{"rearmed", "rearms", "restarted"}));
}

}  // namespace
}  // namespace velotrix
