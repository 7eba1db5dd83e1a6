// The line log's file and clock on Linux.
#include "platform/log_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace velotrix {

int AppendFile::Open(const std::string& path) {
    Close();
    // Non-blocking only for the open: a pipe without a reader is refused instead of hanging. What
    // passed the line is the user's alone: a new log is readable by nobody else.
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK, 0600);
    if (fd < 0) {
        return errno;
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) {
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    handle_ = fd;
    return 0;
}

int AppendFile::Append(std::string_view text) {
    const int fd = static_cast<int>(handle_);
    while (!text.empty()) {
        const ssize_t n = write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n < 0 ? errno : EIO;
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

void AppendFile::Close() {
    if (handle_ != kNone) {
        close(static_cast<int>(handle_));
        handle_ = kNone;
    }
}

std::chrono::milliseconds LocalWallTime() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    // The zone's offset is looked up once a second per thread: the log asks for every byte.
    thread_local time_t second = -1;
    thread_local long offset = 0;
    if (now.tv_sec != second) {
        tm local{};
        localtime_r(&now.tv_sec, &local);
        second = now.tv_sec;
        offset = local.tm_gmtoff;
    }
    return std::chrono::seconds(now.tv_sec + offset) +
           std::chrono::milliseconds(now.tv_nsec / 1000000);
}

}  // namespace velotrix
