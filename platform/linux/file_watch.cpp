// The file watch on Linux: inotify on the file's folder, read by a thread of its own that a
// second descriptor wakes to stop.
#include "platform/file_watch.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <thread>

#include "platform/files.h"

namespace velotrix {

namespace {

// A write, a rename over the file or away from it, a new file and a removal: whatever an
// assembler or editor does to put a new version in place.
constexpr std::uint32_t kChanges =
    IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE;

class InotifyWatch final : public FileWatch {
  public:
    InotifyWatch(UiLoop& loop, int inotifyFd, int wakeFd, std::string name,
                 std::function<void()> changed)
        : poster_(loop, std::move(changed)),
          inotify_(inotifyFd),
          wake_(wakeFd),
          name_(std::move(name)),
          thread_([this] { Run(); }) {}

    ~InotifyWatch() override {
        const std::uint64_t one = 1;
        // An eventfd write of 1 cannot fail short of an overflow, which one write never reaches.
        [[maybe_unused]] const ssize_t woken = write(wake_, &one, sizeof one);
        thread_.join();
        poster_.Stop();
        close(inotify_);
        close(wake_);
    }

  private:
    void Run() {
        alignas(inotify_event) char buffer[4096];
        pollfd fds[2] = {{inotify_, POLLIN, 0}, {wake_, POLLIN, 0}};
        for (;;) {
            if (poll(fds, 2, -1) < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return;
            }
            if (fds[1].revents != 0) {
                return;
            }
            const ssize_t count = read(inotify_, buffer, sizeof buffer);
            if (count < 0 && (errno == EINTR || errno == EAGAIN)) {
                continue;
            }
            if (count <= 0) {
                return;
            }
            bool ours = false;
            for (ssize_t at = 0; at < count;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                // An overflowed queue may have lost the file's own events.
                ours = ours || (event->mask & IN_Q_OVERFLOW) != 0 ||
                       (event->len > 0 && name_ == event->name);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
            if (ours) {
                poster_.Post();
            }
        }
    }

    ChangePoster poster_;
    int inotify_;
    int wake_;
    std::string name_;
    std::thread thread_;  // last: it starts once everything it reads is in place
};

}  // namespace

OsResult<std::unique_ptr<FileWatch>> WatchFile(UiLoop& loop, const std::string& path,
                                               std::function<void()> changed) {
    std::string folder;
    std::string name;
    SplitWatchedPath(path, folder, name);
    const int inotifyFd = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (inotifyFd < 0) {
        return {nullptr, {LastOsError(), {}}};
    }
    if (inotify_add_watch(inotifyFd, folder.c_str(), kChanges | IN_ONLYDIR) < 0) {
        const int error = LastOsError();
        close(inotifyFd);
        return {nullptr, {error, {}}};
    }
    const int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd < 0) {
        const int error = LastOsError();
        close(inotifyFd);
        return {nullptr, {error, {}}};
    }
    return {std::make_unique<InotifyWatch>(loop, inotifyFd, wakeFd, std::move(name),
                                           std::move(changed)),
            {}};
}

}  // namespace velotrix
