// The UI thread's event loop on Qt: posted work and one-shot timers run in Qt's event loop.
#pragma once

#include <QObject>
#include <chrono>
#include <functional>
#include <map>

#include "platform/ui_loop.h"

class QTimer;

namespace velotrix {

// Made on the UI thread, whose Qt event loop then runs the posted tasks and the timers.
class QtLoop : public UiLoop {
  public:
    QtLoop() = default;
    QtLoop(const QtLoop&) = delete;
    QtLoop& operator=(const QtLoop&) = delete;

    void Post(std::function<void()> task) override;
    void StartTimer(int id, std::chrono::milliseconds delay, std::function<void()> fire) override;
    void StopTimer(int id) override;
    std::chrono::milliseconds Now() const override;

  private:
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    struct Timer {
        QTimer* timer = nullptr;  // a child of context_
        std::function<void()> fire;
    };

    // Lives on the UI thread, so work queued to it runs there; its children are the timers.
    QObject context_;
    std::map<int, Timer> timers_;
};

}  // namespace velotrix
