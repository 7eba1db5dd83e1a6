// The receive thread: one wake handles one kind of event, receive before CTS.
#include "serial/receive_thread.h"

#include <algorithm>
#include <utility>

namespace velotrix {

ReceiveThread::ReceiveThread(SerialDevice& device, const std::atomic<bool>& portOpen,
                             ReceiveSinks sinks, ReceivePause pause,
                             const std::atomic<bool>* prompt)
    : device_(device),
      portOpen_(portOpen),
      prompt_(prompt),
      sinks_(std::move(sinks)),
      pause_(std::move(pause)),
      readBuffer_(kReceiveReadSize) {}

ReceiveThread::~ReceiveThread() {
    Stop();
    Join();
}

void ReceiveThread::Start() {
    thread_ = std::thread([this] { Run(); });
}

void ReceiveThread::Stop() {
    {
        std::lock_guard<std::mutex> lock(stopMutex_);
        stopRequested_ = true;
    }
    stopWake_.notify_all();
}

void ReceiveThread::Join() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void ReceiveThread::Run() {
    while (portOpen_.load() && !deviceFailed_) {
        const OsResult<SerialEvents> waited = device_.WaitEvent();
        if (!waited.ok()) {
            sinks_.error(waited.error, true);
            return;
        }
        const SerialEvents& events = waited.value;
        if (events.received) {
            // A CTS change that came with the bytes is shown at the next CTS event.
            DrainInput();
        } else if (events.ctsChanged || events.statusChanged) {
            if (events.ctsChanged) {
                sinks_.cts(device_.Cts());
            }
            if (sinks_.status) {
                sinks_.status(device_.ReadModemStatus());
            }
        } else {
            if (TakeLineErrors()) {
                device_.Purge(true, false);
            }
            if (events.cancelled) {
                // Cancelling lasts: every further wait would return at once.
                return;
            }
        }
    }
}

void ReceiveThread::DrainInput() {
    if (TakeLineErrors()) {
        // The bytes of a disturbed line are worthless; the pause outlasts the silence time, so
        // what follows forms a new reception.
        device_.Purge(true, false);
        Pause(kLineErrorPause);
        return;
    }
    if (prompt_ == nullptr || !prompt_->load()) {
        WaitUnlessStopped(kGatherTime);
    }
    // Set before any byte leaves the driver's queue, cleared once every byte read was handed
    // over: a silence that is asked meanwhile finds the bytes in one of the three places.
    reading_.store(true);
    const struct Cleared {
        std::atomic<bool>& flag;
        ~Cleared() { flag.store(false); }
    } cleared{reading_};
    while (portOpen_.load()) {
        const std::size_t queued = device_.QueuedInput();
        if (queued == 0) {
            return;
        }
        const OsResult<std::size_t> read =
            device_.Read(readBuffer_.data(), std::min(queued, readBuffer_.size()));
        if (!read.ok()) {
            // A device that fails two reads in a row is taken as gone.
            deviceFailed_ = lastReadFailed_;
            lastReadFailed_ = true;
            sinks_.error(read.error, deviceFailed_);
            return;
        }
        if (read.value == 0) {
            return;
        }
        lastReadFailed_ = false;
        const auto begin = readBuffer_.begin();
        sinks_.bytes(
            std::vector<std::uint8_t>(begin, begin + static_cast<std::ptrdiff_t>(read.value)));
    }
}

bool ReceiveThread::TakeLineErrors() {
    const LineErrors errors = device_.TakeLineErrors();
    if (errors.Any() && sinks_.lineErrors) {
        sinks_.lineErrors(errors);
    }
    return errors.Any();
}

void ReceiveThread::Pause(std::chrono::milliseconds duration) {
    if (pause_) {
        pause_(duration, [this] {
            std::lock_guard<std::mutex> lock(stopMutex_);
            return stopRequested_;
        });
        return;
    }
    WaitUnlessStopped(duration);
}

void ReceiveThread::WaitUnlessStopped(std::chrono::milliseconds duration) {
    std::unique_lock<std::mutex> lock(stopMutex_);
    stopWake_.wait_for(lock, duration, [this] { return stopRequested_; });
}

}  // namespace velotrix
