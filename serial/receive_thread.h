// The receive thread: waits for port events, drains the input queue and reports what it found.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/serial_device.h"
#include "serial/engine_types.h"

namespace velotrix {

// Called on the receive thread. They must not touch the window; they hand their data to the UI
// thread (UiLoop::Post) and return at once, so the receive thread never waits for the UI thread.
struct ReceiveSinks {
    std::function<void(std::vector<std::uint8_t> batch)> bytes;
    std::function<void(bool cts)> cts;
    // CTS, DSR, DCD and RI after any of them changed.
    std::function<void(const ModemStatus& status)> status = {};
    // ended: the thread has stopped for good, nothing more can arrive.
    std::function<void(const OsError& error, bool ended)> error;
    // The line errors the driver counted (the bytes they disturbed are dropped); may be empty.
    std::function<void(const LineErrors& errors)> lineErrors = {};
};

inline constexpr std::chrono::milliseconds kLineErrorPause{2000};
// A batch is what one read delivers; larger than a line's worth so a fast line costs few posts.
inline constexpr std::size_t kReceiveReadSize = 4096;
// How long the bytes of a line that delivers a few at a time may gather before they are read, so
// that both threads wake a bounded number of times per second at any pace of the line.
inline constexpr std::chrono::milliseconds kGatherTime{5};

class ReceiveThread {
  public:
    // The device, portOpen and prompt must outlive the thread. An empty pause waits on a
    // condition variable that Stop() wakes. While prompt is set (a protocol waits for each
    // answer), the bytes are read at once instead of gathering for kGatherTime.
    ReceiveThread(SerialDevice& device, const std::atomic<bool>& portOpen, ReceiveSinks sinks,
                  ReceivePause pause = {}, const std::atomic<bool>* prompt = nullptr);
    ~ReceiveThread();  // Stop() and Join()
    ReceiveThread(const ReceiveThread&) = delete;
    ReceiveThread& operator=(const ReceiveThread&) = delete;

    void Start();
    // Ends a line-error pause at once. The caller clears portOpen and cancels the device's waits
    // first; the thread then ends at its next check.
    void Stop();
    void Join();
    // From any thread: whether bytes may be on their way from the driver to the sinks, taken out
    // of the driver's queue and not yet handed over.
    bool Reading() const { return reading_.load(); }

  private:
    void Run();
    void DrainInput();
    void Pause(std::chrono::milliseconds duration);
    // Takes the driver's line errors and tells of them; true when there were any.
    bool TakeLineErrors();
    // Waits on the condition variable that Stop() wakes.
    void WaitUnlessStopped(std::chrono::milliseconds duration);

    SerialDevice& device_;
    const std::atomic<bool>& portOpen_;
    const std::atomic<bool>* prompt_;
    ReceiveSinks sinks_;
    ReceivePause pause_;
    std::vector<std::uint8_t> readBuffer_;
    // A device that keeps failing its reads is treated as gone: one box, then the thread ends.
    bool lastReadFailed_ = false;
    bool deviceFailed_ = false;
    std::atomic<bool> reading_{false};

    std::mutex stopMutex_;
    std::condition_variable stopWake_;
    bool stopRequested_ = false;
    std::thread thread_;
};

}  // namespace velotrix
