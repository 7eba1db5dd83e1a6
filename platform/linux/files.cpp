// File-system and OS services on Linux: program directory, existence tests, error texts.
#include "platform/files.h"

#include <glob.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "text/cp1252.h"

namespace velotrix {

namespace {

bool HasWildcard(const std::string& name) {
    return name.find_first_of("*?") != std::string::npos;
}

// Only '*' and '?' are wildcards, as in Windows' FindFirstFile; glob's other specials count as
// themselves.
std::string EscapeForGlob(const std::string& name) {
    std::string pattern;
    for (char c : name) {
        if (c == '[' || c == ']' || c == '\\') {
            pattern.push_back('\\');
        }
        pattern.push_back(c);
    }
    return pattern;
}

// glibc's strerror_r gives a pointer to the text; the XSI variant fills the buffer and returns 0.
[[maybe_unused]] const char* ChosenText(int result, const char* buffer) {
    return result == 0 ? buffer : nullptr;
}
[[maybe_unused]] const char* ChosenText(const char* text, const char*) {
    return text;
}

bool ErrorNumberKnown([[maybe_unused]] int code) {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 32))
    // glibc invents "Unknown error N" for numbers it has no text for.
    return strerrordesc_np(code) != nullptr;
#else
    return true;  // the XSI strerror_r refuses unknown numbers itself
#endif
}

std::string WithSeparator(std::string directory) {
    if (!directory.empty() && !IsDirectorySeparator(directory.back())) {
        directory.push_back('/');
    }
    return directory;
}

}  // namespace

bool IsDirectorySeparator(char c) {
    return c == '/';
}

std::string ProgramDirectory() {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            return {};
        }
        if (static_cast<std::size_t>(length) < buffer.size()) {
            std::string path(buffer.data(), static_cast<std::size_t>(length));
            return path.substr(0, path.find_last_of('/') + 1);
        }
        buffer.resize(buffer.size() * 2);
    }
}

int FileExists(const std::string& name) {
    if (name.empty()) {
        return 0;
    }
    if (!HasWildcard(name)) {
        struct stat info {};
        return lstat(name.c_str(), &info) == 0 ? 1 : 0;
    }
    glob_t found{};
    // Windows' '*' also takes names that begin with a dot.
    const int result =
        glob(EscapeForGlob(name).c_str(), GLOB_PERIOD | GLOB_NOSORT, nullptr, &found);
    const bool any = result == 0 && found.gl_pathc > 0;
    globfree(&found);
    return any ? 1 : 0;
}

bool DirectoryWritable(const std::string& directory) {
    const std::string path = directory.empty() ? std::string(".") : directory;
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return false;
    }
    return access(path.c_str(), W_OK | X_OK) == 0;
}

namespace {

std::string ConfigHome() {
    // A relative XDG_CONFIG_HOME does not count, as the XDG base directories rule it.
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        return WithSeparator(xdg);
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') {
        return WithSeparator(home) + ".config/";
    }
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* result = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 &&
        result != nullptr && result->pw_dir != nullptr && result->pw_dir[0] != '\0') {
        return WithSeparator(result->pw_dir) + ".config/";
    }
    return {};
}

}  // namespace

std::string UserConfigDirectory() {
    const std::string home = ConfigHome();
    return home.empty() ? home : home + "velotrix/";
}

std::string TempDirectory() {
    const char* tmp = std::getenv("TMPDIR");
    return WithSeparator(tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp");
}

std::string PrivateTempDirectory(int& error) {
    const std::string folder = TempDirectory() + "velotrix-" + std::to_string(geteuid());
    error = mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST ? 0 : errno;
    struct stat info {};
    // In a folder everyone may write to, the name may have been taken first by someone else.
    if (error == 0 &&
        (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid())) {
        error = EACCES;
    }
    if (error == 0 && (info.st_mode & 077) != 0 && chmod(folder.c_str(), 0700) != 0) {
        error = errno;
    }
    return error == 0 ? folder + "/" : std::string();
}

bool CreateDirectories(const std::string& directory, int& error) {
    error = 0;
    struct stat info {};
    if (directory.empty() || stat(directory.c_str(), &info) == 0) {
        error = directory.empty() ? ENOENT : S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
        return error == 0;
    }
    std::string parent = directory;
    while (!parent.empty() && parent.back() == '/') {
        parent.pop_back();
    }
    parent.erase(parent.find_last_of('/') + 1);
    if (!parent.empty() && parent != directory && !CreateDirectories(parent, error)) {
        return false;
    }
    // The settings say which devices and folders the user works with: for their eyes only.
    if (mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST) {
        error = errno;
        return false;
    }
    return true;
}

int LastOsError() {
    // A failure that left no number behind is an I/O error for the person who reads about it.
    return errno != 0 ? errno : EIO;
}

OsErrorTopic TopicOf(int code) {
    switch (code) {
        case EACCES:
        case EPERM:
            return OsErrorTopic::kNoAccess;
        case EBUSY:
            return OsErrorTopic::kBusy;
        case ENXIO:
        case ENODEV:
            return OsErrorTopic::kGone;
        case EIO:
            return OsErrorTopic::kIoError;
        case EINVAL:
            return OsErrorTopic::kSettingRefused;
        case ENOENT:
        case ENOTDIR:
            return OsErrorTopic::kNoSuchFile;
        case ENOSPC:
        case EDQUOT:
            return OsErrorTopic::kDiskFull;
        case EROFS:
            return OsErrorTopic::kReadOnly;
        case EFBIG:
            return OsErrorTopic::kFileTooBig;
        case ENAMETOOLONG:
            return OsErrorTopic::kNameTooLong;
        case EISDIR:
            return OsErrorTopic::kIsFolder;
        case ENOTTY:
        case EOPNOTSUPP:
            return OsErrorTopic::kNotSupported;
        default:
            return OsErrorTopic::kOther;
    }
}

std::string OsErrorText(int code) {
    char buffer[256] = {};
    const char* text = ChosenText(strerror_r(code, buffer, sizeof buffer), buffer);
    if (text == nullptr || text[0] == '\0' || !ErrorNumberKnown(code)) {
        return "Unbekannter Fehler (Code " + std::to_string(code) + ")";
    }
    // The system's texts follow the locale, which is UTF-8 here; the core speaks code page 1252.
    return Utf8ToCp1252(text);
}

}  // namespace velotrix
