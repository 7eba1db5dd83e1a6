// Posted work and one-shot timers on Qt's event loop.
#include "frontends/qt/qt_loop.h"

#include <QMetaObject>
#include <QTimer>
#include <utility>

namespace velotrix {

void QtLoop::Post(std::function<void()> task) {
    // Queued to context_'s thread; Qt's event queue is safe to post to from any thread.
    QMetaObject::invokeMethod(&context_, std::move(task), Qt::QueuedConnection);
}

void QtLoop::StartTimer(int id, std::chrono::milliseconds delay, std::function<void()> fire) {
    Timer& entry = timers_[id];
    if (entry.timer == nullptr) {
        entry.timer = new QTimer(&context_);
        entry.timer->setSingleShot(true);
        entry.timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(entry.timer, &QTimer::timeout, &context_, [this, id] {
            // A copy: the task may restart this timer with another task.
            const std::function<void()> task = timers_[id].fire;
            if (task) {
                task();
            }
        });
    }
    entry.fire = std::move(fire);
    entry.timer->start(delay);
}

void QtLoop::StopTimer(int id) {
    const auto found = timers_.find(id);
    if (found != timers_.end()) {
        found->second.timer->stop();
    }
}

std::chrono::milliseconds QtLoop::Now() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start_);
}

}  // namespace velotrix
