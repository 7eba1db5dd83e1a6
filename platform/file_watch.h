// Tells when a file is rewritten: written, replaced by a rename over it, created or removed.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "platform/serial_device.h"
#include "platform/ui_loop.h"

namespace velotrix {

// Watching one file. It watches the file's folder, so that an editor or assembler that writes a
// new file and renames it over the old one is seen too. Destroying it stops the watching: no
// change is reported after the destructor has returned.
class FileWatch {
  public:
    virtual ~FileWatch() = default;
};

// changed runs on the UI thread of loop once for each change the system reports (a burst of writes
// may report many); the watching thread only posts it.
using FileWatchStarter = std::function<OsResult<std::unique_ptr<FileWatch>>(
    UiLoop& loop, const std::string& path, std::function<void()> changed)>;

// The system's watch: inotify on Linux, ReadDirectoryChangesW on Windows. Fails with the OS's
// error when the folder cannot be watched.
OsResult<std::unique_ptr<FileWatch>> WatchFile(UiLoop& loop, const std::string& path,
                                               std::function<void()> changed);

// What both systems' watches share: the folder and name of the watched file, and the posting of
// changes to the UI thread.
class ChangePoster {
  public:
    ChangePoster(UiLoop& loop, std::function<void()> changed)
        : loop_(loop), changed_(std::make_shared<std::function<void()>>(std::move(changed))) {}
    // Any thread, while the watching thread runs.
    void Post() const;
    // UI thread, once the watching thread has ended: changes still queued then do nothing.
    void Stop() { changed_.reset(); }

  private:
    UiLoop& loop_;
    std::shared_ptr<std::function<void()>> changed_;
};

// The folder to watch ("." for a bare name) and the file's name in it.
void SplitWatchedPath(const std::string& path, std::string& folder, std::string& name);

}  // namespace velotrix
