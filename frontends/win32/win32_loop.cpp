// Posted work and one-shot timers on the Windows message loop.
#include "frontends/win32/win32_loop.h"

#include <utility>

namespace velotrix {

namespace {

constexpr UINT kRunTaskMessage = WM_APP;
constexpr wchar_t kWindowClass[] = L"VelotrixLoop";

}  // namespace

Win32Loop::Win32Loop() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);  // fails harmlessly when a second loop registers it again
    window_ = CreateWindowExW(0, kWindowClass, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              windowClass.hInstance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32Loop::~Win32Loop() {
    DestroyWindow(window_);
}

LRESULT CALLBACK Win32Loop::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* loop = reinterpret_cast<Win32Loop*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (loop != nullptr && message == kRunTaskMessage) {
        loop->RunOneTask();
        return 0;
    }
    if (loop != nullptr && message == WM_TIMER) {
        loop->Fire(static_cast<int>(wParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Win32Loop::Post(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    // One message per task, so that the tasks run in the order they came.
    PostMessageW(window_, kRunTaskMessage, 0, 0);
}

void Win32Loop::RunOneTask() {
    std::function<void()> task;
    {
        std::lock_guard lock(mutex_);
        if (tasks_.empty()) {
            return;
        }
        task = std::move(tasks_.front());
        tasks_.pop_front();
    }
    task();
}

void Win32Loop::StartTimer(int id, std::chrono::milliseconds delay, std::function<void()> fire) {
    timers_[id] = std::move(fire);
    // SetTimer with an ID already running restarts it.
    SetTimer(window_, static_cast<UINT_PTR>(id),
             static_cast<UINT>(std::max<long long>(delay.count(), USER_TIMER_MINIMUM)), nullptr);
}

void Win32Loop::StopTimer(int id) {
    KillTimer(window_, static_cast<UINT_PTR>(id));
    timers_.erase(id);
}

void Win32Loop::Fire(int id) {
    // Windows timers repeat; these fire once.
    KillTimer(window_, static_cast<UINT_PTR>(id));
    const auto found = timers_.find(id);
    if (found == timers_.end()) {
        return;
    }
    // A copy: the task may restart this timer with another task.
    const std::function<void()> task = found->second;
    if (task) {
        task();
    }
}

std::chrono::milliseconds Win32Loop::Now() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start_);
}

}  // namespace velotrix
