// Whole-file reads and writes on Linux, with EINTR, short transfers and pipes taken care of.
#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

namespace velotrix {

namespace {

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }

    int get() const { return fd_; }
    // Closes now, so that a late write error (full disk, network file system) is seen.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        // Linux has closed the file even when close() reports EINTR.
        return close(fd) == 0 || errno == EINTR;
    }

  private:
    int fd_;
};

// Opened non-blocking so that a pipe without a partner is refused instead of hanging the window.
FileDescriptor OpenRegularForReading(const std::string& path, FileReadStatus& status,
                                     struct stat& info, int* osError = nullptr) {
    FileDescriptor file(path.empty() ? -1 : open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    const int openError = path.empty() ? ENOENT : errno;
    if (file.get() < 0) {
        status = openError == ENOENT ? FileReadStatus::kMissing : FileReadStatus::kCannotOpen;
        if (osError != nullptr) {
            *osError = openError;
        }
    } else if (fstat(file.get(), &info) != 0) {
        status = FileReadStatus::kCannotOpen;
        if (osError != nullptr) {
            *osError = errno;
        }
    } else if (!S_ISREG(info.st_mode)) {
        status = FileReadStatus::kNotRegular;
    } else {
        status = FileReadStatus::kRead;
    }
    return file;
}

// Reads until size bytes are in or the file ends; -1 on a read error.
ssize_t ReadUpTo(int fd, std::uint8_t* buffer, std::size_t size) {
    std::size_t total = 0;
    while (total < size) {
        const ssize_t n = read(fd, buffer + total, size - total);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return -1;
        }
        if (n == 0) {
            break;
        }
        total += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(total);
}

bool WriteAll(int fd, const std::uint8_t* bytes, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = write(fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::span<const std::uint8_t> BytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Writes every byte, optionally to the disk, and closes the file; the OS's reason on failure.
bool WriteAndClose(FileDescriptor& file, std::span<const std::uint8_t> bytes, bool sync,
                   int& osError) {
    // A write that takes nothing sets no error number.
    errno = 0;
    bool ok = WriteAll(file.get(), bytes.data(), bytes.size()) && (!sync || fsync(file.get()) == 0);
    int error = errno;
    if (!file.Close() && ok) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        osError = error != 0 ? error : EIO;
    }
    return ok;
}

// The file a path leads to through symbolic links, so that a link stays a link; the path itself
// when it leads nowhere yet.
std::string LinkTarget(const std::string& path) {
    char* resolved = realpath(path.c_str(), nullptr);
    const std::string target = resolved != nullptr ? std::string(resolved) : path;
    std::free(resolved);
    return target;
}

// The bytes go to a new file beside target that takes its name once it is complete and on the
// disk. mode: the permissions of the file it replaces; none for a new file, which gets the
// usual ones (the umask applies).
FileWriteStatus WriteBesideThenRename(const std::string& target,
                                      std::span<const std::uint8_t> bytes,
                                      std::optional<mode_t> mode, int& osError) {
    const std::size_t slash = target.find_last_of('/');
    const std::string stem = target.substr(0, slash + 1) + "." + target.substr(slash + 1) + "." +
                             std::to_string(getpid()) + "-";
    static std::atomic<unsigned> counter{0};
    std::string temp;
    FileDescriptor file(-1);
    do {
        temp = stem + std::to_string(++counter);
        file = FileDescriptor(open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    } while (file.get() < 0 && errno == EEXIST);
    if (file.get() < 0) {
        osError = errno;
        return FileWriteStatus::kCannotCreate;
    }
    if (mode && fchmod(file.get(), *mode) != 0) {
        osError = errno;
        unlink(temp.c_str());
        return FileWriteStatus::kWriteError;
    }
    if (!WriteAndClose(file, bytes, true, osError)) {
        unlink(temp.c_str());
        return FileWriteStatus::kWriteError;
    }
    if (rename(temp.c_str(), target.c_str()) != 0) {
        osError = errno;
        unlink(temp.c_str());
        return FileWriteStatus::kWriteError;
    }
    return FileWriteStatus::kWritten;
}

// Devices and pipes cannot be replaced: they are written in place. Non-blocking only for the open,
// so that a pipe without a reader is refused instead of hanging; the writes block as usual.
FileWriteStatus WriteInPlace(const std::string& target, std::span<const std::uint8_t> bytes,
                             int& osError) {
    FileDescriptor file(open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        osError = errno;
        return FileWriteStatus::kCannotCreate;
    }
    const int flags = fcntl(file.get(), F_GETFL);
    if (flags >= 0) {
        fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK);
    }
    return WriteAndClose(file, bytes, false, osError) ? FileWriteStatus::kWritten
                                                      : FileWriteStatus::kWriteError;
}

}  // namespace

FileReadResult ReadFileInto(const std::string& path, std::span<std::uint8_t> buffer) {
    FileReadResult result;
    struct stat info {};
    const FileDescriptor file = OpenRegularForReading(path, result.status, info, &result.osError);
    if (result.status != FileReadStatus::kRead) {
        return result;
    }
    if (static_cast<std::uintmax_t>(info.st_size) > buffer.size()) {
        result.status = FileReadStatus::kTooBig;
        return result;
    }
    const ssize_t got = ReadUpTo(file.get(), buffer.data(), buffer.size());
    std::uint8_t beyond = 0;
    const ssize_t more =
        got == static_cast<ssize_t>(buffer.size()) ? ReadUpTo(file.get(), &beyond, 1) : 0;
    if (got < 0 || more < 0) {
        result.status = FileReadStatus::kCannotOpen;
        result.osError = errno;
    } else if (more > 0) {
        result.status = FileReadStatus::kTooBig;
    } else {
        result.size = static_cast<std::size_t>(got);
    }
    return result;
}

FileReadStatus ReadWholeFile(const std::string& path, std::string& content) {
    content.clear();
    FileReadStatus status = FileReadStatus::kCannotOpen;
    struct stat info {};
    const FileDescriptor file = OpenRegularForReading(path, status, info);
    if (status != FileReadStatus::kRead) {
        return status;
    }
    std::uint8_t chunk[4096];
    for (;;) {
        const ssize_t n = ReadUpTo(file.get(), chunk, sizeof chunk);
        if (n < 0) {
            content.clear();
            return FileReadStatus::kCannotOpen;
        }
        content.append(reinterpret_cast<const char*>(chunk), static_cast<std::size_t>(n));
        if (static_cast<std::size_t>(n) < sizeof chunk) {
            return FileReadStatus::kRead;
        }
    }
}

FileWriteStatus WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes,
                               int& osError) {
    if (path.empty()) {
        osError = ENOENT;
        return FileWriteStatus::kCannotCreate;
    }
    const std::string target = LinkTarget(path);
    struct stat info {};
    if (stat(target.c_str(), &info) != 0) {
        if (errno != ENOENT) {
            osError = errno;
            return FileWriteStatus::kCannotCreate;
        }
        // A new file: created under its own name only when complete, as a replacement is.
        return WriteBesideThenRename(target, bytes, std::nullopt, osError);
    }
    if (S_ISREG(info.st_mode)) {
        return WriteBesideThenRename(target, bytes, info.st_mode & 07777, osError);
    }
    if (S_ISDIR(info.st_mode)) {
        osError = EISDIR;
        return FileWriteStatus::kCannotCreate;
    }
    return WriteInPlace(target, bytes, osError);
}

FileWriteStatus WriteNewFile(const std::string& path, std::span<const std::uint8_t> bytes,
                             int& osError, bool privately) {
    FileDescriptor file(path.empty() ? -1
                                     : open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                                            privately ? 0600 : 0666));
    if (file.get() < 0) {
        osError = path.empty() ? ENOENT : errno;
        return osError == EEXIST ? FileWriteStatus::kExists : FileWriteStatus::kCannotCreate;
    }
    if (!WriteAndClose(file, bytes, false, osError)) {
        unlink(path.c_str());
        return FileWriteStatus::kWriteError;
    }
    return FileWriteStatus::kWritten;
}

bool ReplaceFileContents(const std::string& path, std::string_view content) {
    struct stat info {};
    int error = 0;
    return !path.empty() && (stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode)) &&
           WriteWholeFile(path, BytesOf(content), error) == FileWriteStatus::kWritten;
}

}  // namespace velotrix
