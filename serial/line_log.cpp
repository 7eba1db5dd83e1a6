// The line log's queue and its writer thread.
#include "serial/line_log.h"

#include <algorithm>
#include <utility>

#include "ui-resources/messages.h"

namespace velotrix {

namespace {

// The writer gathers for this long between two writes, so that a fast line costs it few writes; a
// flush or the end wakes it at once.
constexpr std::chrono::milliseconds kWritePause{20};
// Records waiting at most (16 MB of bytes): a writer that falls this far behind (a stalled disk)
// counts what comes beyond instead of keeping it.
constexpr std::size_t kMaxQueued = std::size_t{1} << 20;

}  // namespace

LineLog::~LineLog() {
    End();
}

void LineLog::End() {
    Note(std::string(msg::kLogStopped));
    Stop();
}

OsError LineLog::Start(const std::string& path, std::function<void(const OsError&)> failed) {
    Stop();
    if (const int error = file_.Open(path)) {
        return OsError{error, {}};
    }
    failed_ = std::move(failed);
    lines_ = LogLines{};
    {
        const std::lock_guard lock(mutex_);
        running_ = true;
        stopping_ = false;
        failure_ = {};
    }
    active_.store(true);
    writer_ = std::thread([this] { Run(); });
    return {};
}

void LineLog::Stop() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (writer_.joinable()) {
        writer_.join();
    }
    const std::lock_guard lock(mutex_);
    active_.store(false);
    running_ = false;
    queue_.clear();
    missed_ = 0;
    file_.Close();
}

OsError LineLog::Failure() const {
    const std::lock_guard lock(mutex_);
    return failure_;
}

void LineLog::Bytes(LogKind direction, const std::uint8_t* bytes, std::size_t count) {
    if (!Active() || count == 0) {
        return;
    }
    const std::lock_guard lock(mutex_);
    if (!running_ || stopping_) {
        return;
    }
    const bool wasEmpty = queue_.empty();
    // Taken under the lock, so that the queue's times never run backwards between threads.
    const std::chrono::milliseconds now = clock_();
    while (count > 0) {
        LogRecord* last = queue_.empty() ? nullptr : &queue_.back();
        if (last == nullptr || last->kind != direction || last->time != now ||
            last->count == kLogBytesPerLine) {
            if (queue_.size() >= kMaxQueued) {
                missed_ += count;
                break;
            }
            last = &queue_.emplace_back(LogRecord{now, direction, 0, {}, {}});
        }
        const std::size_t taken = std::min<std::size_t>(count, kLogBytesPerLine - last->count);
        std::copy_n(bytes, taken, last->bytes.begin() + last->count);
        last->count = static_cast<std::uint8_t>(last->count + taken);
        bytes += taken;
        count -= taken;
    }
    if (wasEmpty) {
        wake_.notify_one();
    }
}

void LineLog::Note(std::string text, bool flush) {
    if (!Active()) {
        return;
    }
    const std::lock_guard lock(mutex_);
    if (!running_ || stopping_) {
        return;
    }
    queue_.push_back(LogRecord{clock_(), LogKind::kNote, 0, {}, std::move(text)});
    flushNow_ = flushNow_ || flush;
    wake_.notify_one();
}

void LineLog::Run() {
    std::vector<LogRecord> batch;
    for (;;) {
        std::size_t missed = 0;
        bool ending = false;
        std::chrono::milliseconds now{};
        {
            std::unique_lock lock(mutex_);
            // Without news, a gathered line is looked at again when its silence may be over.
            wake_.wait_for(lock, kLogSilence, [this] { return stopping_ || !queue_.empty(); });
            batch.swap(queue_);
            missed = std::exchange(missed_, 0);
            ending = stopping_;
            flushNow_ = false;
            now = clock_();
        }
        const int error = Write(batch, missed, ending, now);
        batch.clear();
        if (error != 0) {
            {
                const std::lock_guard lock(mutex_);
                active_.store(false);
                running_ = false;
                queue_.clear();
                failure_ = OsError{error, {}};
            }
            if (failed_) {
                failed_(Failure());
            }
            return;
        }
        if (ending) {
            return;
        }
        std::unique_lock lock(mutex_);
        wake_.wait_for(lock, kWritePause, [this] { return stopping_ || flushNow_; });
    }
}

int LineLog::Write(const std::vector<LogRecord>& records, std::size_t missed, bool ending,
                   std::chrono::milliseconds now) {
    std::string text;
    for (const LogRecord& record : records) {
        lines_.Add(record, text);
    }
    if (missed > 0) {
        lines_.Add(
            {now, LogKind::kNote, 0, {}, std::to_string(missed) + std::string(msg::kLogMissed)},
            text);
    }
    if (ending) {
        lines_.EndBytes(text);
    } else {
        lines_.EndBytesIfSilent(now, text);
    }
    return text.empty() ? 0 : file_.Append(text);
}

}  // namespace velotrix
