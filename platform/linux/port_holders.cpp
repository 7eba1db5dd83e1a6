// A serial device's use, read from lock files, the kernel's lock table, /proc and the device's
// mode; nothing is opened but the system's own text files.
#include "platform/linux/port_holders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "text/text_helpers.h"

namespace velotrix {

namespace {

namespace fs = std::filesystem;

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

std::string ProgramOf(const std::string& proc, int pid) {
    std::ifstream in(proc + "/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(in, name);
    return name;
}

// The device a path leads to: links (VELOTRIX_PORTS entries, by-id names) followed.
std::string DeviceOf(const std::string& path) {
    std::error_code error;
    const fs::path target = fs::canonical(path, error);
    return error ? path : target.string();
}

// A lock file holds the holder's PID: as text (the usual form, padded with blanks) or, from old
// programs, as a binary int.
int PidInLockFile(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    std::istringstream text(content);
    int pid = 0;
    if (text >> pid) {
        return pid;
    }
    if (content.size() == sizeof(int)) {
        std::memcpy(&pid, content.data(), sizeof pid);
    }
    return pid;
}

}  // namespace

Identity Identity::Current() {
    Identity identity{geteuid(), {getegid()}, true};
    const int count = getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> groups(static_cast<std::size_t>(count));
        const int got = getgroups(count, groups.data());
        groups.resize(static_cast<std::size_t>(std::max(got, 0)));
        identity.groups.insert(identity.groups.end(), groups.begin(), groups.end());
    }
    return identity;
}

PortUse::PortUse(const PortPlaces& places, Identity identity, int ownPid)
    : places_(places), identity_(std::move(identity)), ownPid_(ownPid) {
    std::ifstream consoles(places.consoles);
    std::string line;
    while (std::getline(consoles, line)) {
        std::istringstream words(line);
        std::string name;
        if (words >> name) {
            consoles_.push_back(name);
        }
    }
    // "1: FLOCK  ADVISORY  WRITE 4321 00:05:87 0 EOF"; a waiting request is marked "->".
    std::ifstream locks(places.locks);
    while (std::getline(locks, line)) {
        std::istringstream words(line);
        std::string number;
        std::string kind;
        std::string mode;
        std::string access;
        int pid = 0;
        std::string file;
        if (words >> number >> kind && kind != "->" && words >> mode >> access >> pid >> file &&
            pid > 0 && pid != ownPid) {
            fileLocks_.emplace(file, pid);
        }
    }
}

bool PortUse::HeldByLock(const std::string& deviceName, PortHolder& holder) const {
    for (const std::string& directory : places_.lockDirectories) {
        const int pid = PidInLockFile(directory + "/LCK.." + deviceName);
        // A lock whose process has ended is stale: it holds nothing.
        struct stat info {};
        if (pid > 0 && pid != ownPid_ &&
            ::stat((places_.proc + "/" + std::to_string(pid)).c_str(), &info) == 0) {
            holder = {ProgramOf(places_.proc, pid), pid};
            return true;
        }
    }
    return false;
}

bool PortUse::HeldByFileLock(const std::string& device, PortHolder& holder) const {
    struct stat info {};
    if (fileLocks_.empty() || ::stat(device.c_str(), &info) != 0) {
        return false;
    }
    // The kernel names the file by its file system's device in hex and its inode.
    char key[64];
    std::snprintf(key, sizeof key, "%02x:%02x:%lu", major(info.st_dev), minor(info.st_dev),
                  static_cast<unsigned long>(info.st_ino));
    const auto lock = fileLocks_.find(key);
    if (lock == fileLocks_.end()) {
        return false;
    }
    holder = {ProgramOf(places_.proc, lock->second), lock->second};
    return true;
}

PortHolder PortUse::ProcessWithOpen(const std::string& device) const {
    std::error_code error;
    fs::directory_iterator process(places_.proc, error);
    for (; !error && process != fs::directory_iterator(); process.increment(error)) {
        const std::string name = process->path().filename().string();
        const int pid = AllDigits(name) ? DecimalToInt(name) : 0;
        if (pid <= 0 || pid == ownPid_) {
            continue;
        }
        // Other users' files stay closed to us.
        std::error_code fdError;
        fs::directory_iterator fd(process->path() / "fd", fdError);
        for (; !fdError && fd != fs::directory_iterator(); fd.increment(fdError)) {
            std::error_code linkError;
            if (fs::read_symlink(fd->path(), linkError) == device && !linkError) {
                return {ProgramOf(places_.proc, pid), pid};
            }
        }
    }
    return {};
}

PortHolder PortUse::Holder(const std::string& path) const {
    const std::string device = DeviceOf(path);
    PortHolder holder;
    if (HeldByLock(device.substr(device.find_last_of('/') + 1), holder) ||
        HeldByFileLock(device, holder)) {
        return holder;
    }
    return ProcessWithOpen(device);
}

void PortUse::Describe(PortInfo& port) const {
    const std::string device = DeviceOf(port.path);
    const std::string deviceName = device.substr(device.find_last_of('/') + 1);
    if (std::find(consoles_.begin(), consoles_.end(), deviceName) != consoles_.end()) {
        port.access = PortAccess::kConsole;
        return;
    }
    PortHolder holder;
    if (HeldByLock(deviceName, holder) || HeldByFileLock(device, holder)) {
        port.access = PortAccess::kBusy;
        port.holder = holder.program;
        port.holderPid = holder.pid;
        return;
    }
    if (identity_.thisProcess) {
        if (faccessat(AT_FDCWD, device.c_str(), R_OK | W_OK, AT_EACCESS) != 0 && errno == EACCES) {
            port.access = PortAccess::kNoPermission;
        }
        return;
    }
    struct stat info {};
    if (identity_.uid == 0 || ::stat(device.c_str(), &info) != 0) {
        return;
    }
    constexpr mode_t kReadWrite = S_IRUSR | S_IWUSR;
    const auto allows = [&](int shift) { return ((info.st_mode >> shift) & 06) == 06; };
    const bool owner = info.st_uid == identity_.uid;
    const bool member = std::find(identity_.groups.begin(), identity_.groups.end(), info.st_gid) !=
                        identity_.groups.end();
    // The first class that applies decides, as the kernel checks it.
    const bool may = owner    ? (info.st_mode & kReadWrite) == kReadWrite
                     : member ? allows(3)
                              : allows(0);
    if (!may) {
        port.access = PortAccess::kNoPermission;
    }
}

}  // namespace velotrix
