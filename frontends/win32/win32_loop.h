// The UI thread's event loop on Windows: posted work and one-shot timers as window messages.
#pragma once

#include "frontends/win32/windows_api.h"

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

#include "platform/ui_loop.h"

namespace velotrix {

// Made on the UI thread; the thread's message loop (and every modal loop, such as a message box's)
// runs the posted tasks and the timers.
class Win32Loop : public UiLoop {
  public:
    Win32Loop();
    ~Win32Loop() override;
    Win32Loop(const Win32Loop&) = delete;
    Win32Loop& operator=(const Win32Loop&) = delete;

    void Post(std::function<void()> task) override;
    void StartTimer(int id, std::chrono::milliseconds delay, std::function<void()> fire) override;
    void StopTimer(int id) override;
    std::chrono::milliseconds Now() const override;

  private:
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void RunOneTask();
    void Fire(int id);

    // A message-only window: messages posted to a window, unlike those posted to the thread,
    // are also dispatched by the modal loops of message boxes and file dialogs.
    HWND window_ = nullptr;
    std::mutex mutex_;
    std::deque<std::function<void()>> tasks_;
    std::map<int, std::function<void()>> timers_;
};

}  // namespace velotrix
