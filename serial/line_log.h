// The line log: every byte sent and received, with its time and direction, and the port's events,
// appended to a file by a thread of its own. The sender and the receive thread only append to a
// queue; they never wait for the file.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/log_file.h"
#include "platform/serial_device.h"
#include "serial/engine_types.h"
#include "serial/log_lines.h"

namespace velotrix {

class LineLog {
  public:
    LineLog() = default;
    ~LineLog();  // End()
    LineLog(const LineLog&) = delete;
    LineLog& operator=(const LineLog&) = delete;

    // Opens the file at path for appending and starts the writer; a log already running stops
    // first. failed is called on the writer thread when a write fails: the log has stopped then.
    OsError Start(const std::string& path, std::function<void(const OsError&)> failed);
    // Writes what is queued, the line being gathered too, and closes the file.
    void Stop();
    // Says that the log ends, then Stop().
    void End();
    // Why the last log stopped by itself (a write failed); no error otherwise.
    OsError Failure() const;
    // Only while no log runs.
    void SetClock(LogClock clock) { clock_ = std::move(clock); }

    // From any thread; each does nothing while no log runs.
    bool Active() const { return active_.load(std::memory_order_relaxed); }
    void Bytes(LogKind direction, const std::uint8_t* bytes, std::size_t count);
    // An event's line (code page 1252). flush: written at once, with the bytes gathered before.
    void Note(std::string text, bool flush = false);

  private:
    void Run();
    // What the writer took from the queue in one go, into the file; 0 or the OS's error number.
    int Write(const std::vector<LogRecord>& records, std::size_t missed, bool ending,
              std::chrono::milliseconds now);

    LogClock clock_ = LocalWallTime;
    std::atomic<bool> active_{false};
    AppendFile file_;
    LogLines lines_;
    std::function<void(const OsError&)> failed_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<LogRecord> queue_;
    OsError failure_;
    std::size_t missed_ = 0;  // bytes not queued because the writer fell too far behind
    bool running_ = false;
    bool stopping_ = false;
    bool flushNow_ = false;
    std::thread writer_;
};

}  // namespace velotrix
