// Sending the loaded file again when it is rewritten: the stillness timer, the wait for a running
// send, and the load that keeps the header edits.
#include "serial/loaded_file_watch.h"

#include "ui-resources/ids.h"

namespace velotrix {

LoadedFileWatch::~LoadedFileWatch() {
    loop_.StopTimer(ids::kResendTimer);
}

EngineResult LoadedFileWatch::SetHandler(RewriteHandler handler) {
    handler_ = std::move(handler);
    return Rewatch();
}

void LoadedFileWatch::Follow(const std::string& path, bool loaded) {
    if (!path.empty() && path == path_) {
        return;
    }
    path_ = loaded ? path : std::string();
    if (const EngineResult started = Rewatch(); !started.ok() && handler_) {
        FileRewritten failed;
        failed.outcome.result = started;
        failed.watching = false;
        handler_(failed);
    }
}

EngineResult LoadedFileWatch::Rewatch() {
    watch_.reset();
    waiting_ = false;
    loop_.StopTimer(ids::kResendTimer);
    if (!handler_ || path_.empty()) {
        return {};
    }
    OsResult<std::unique_ptr<FileWatch>> started = starter_(loop_, path_, [this] { Changed(); });
    if (!started.ok()) {
        return OsErrorResult(started.error);
    }
    watch_ = std::move(started.value);
    return {};
}

void LoadedFileWatch::Changed() {
    // Every report starts the wait afresh: only the last write of a burst counts.
    loop_.StartTimer(ids::kResendTimer, kStillness, [this] { Settled(); });
}

void LoadedFileWatch::Settled() {
    waiting_ = false;
    // Only an open port sends; opening it again loads the file afresh anyway.
    if (!port_.portOpen.load() || path_.empty() || !handler_) {
        return;
    }
    const bool continuous = options_.continuousSend.load();
    if (sends_.Busy() && !continuous) {
        // Never a second sender, and never a file cut off midway: the send ends first.
        waiting_ = true;
        return;
    }
    FileRewritten rewritten;
    rewritten.passTakesIt = sends_.Busy();
    rewritten.outcome = transmit_.ReloadKeepingEdits();
    handler_(rewritten);
}

void LoadedFileWatch::SendEnded() {
    if (waiting_) {
        Settled();
    }
}

}  // namespace velotrix
