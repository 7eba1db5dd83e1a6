// A serial device's use, read from lock files, /proc and the device's mode; nothing is opened
// but the system's own text files.
#include "platform/linux/port_holders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
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
    : places_(places), identity_(std::move(identity)) {
    std::ifstream consoles(places.consoles);
    std::string line;
    while (std::getline(consoles, line)) {
        std::istringstream words(line);
        std::string name;
        if (words >> name) {
            consoles_.push_back(name);
        }
    }
    const std::string devices = places.devices + "/";
    std::error_code error;
    fs::directory_iterator process(places.proc, error);
    for (; !error && process != fs::directory_iterator(); process.increment(error)) {
        const std::string name = process->path().filename().string();
        const int pid = AllDigits(name) ? DecimalToInt(name) : 0;
        if (pid <= 0 || pid == ownPid) {
            continue;
        }
        // Other users' files stay closed to us; their ports show up by lock file or not at all.
        std::error_code fdError;
        fs::directory_iterator fd(process->path() / "fd", fdError);
        for (; !fdError && fd != fs::directory_iterator(); fd.increment(fdError)) {
            std::error_code linkError;
            const std::string target = fs::read_symlink(fd->path(), linkError).string();
            if (!linkError && target.starts_with(devices) && !openDevices_.contains(target)) {
                openDevices_[target] = {ProgramOf(places.proc, pid), pid};
            }
        }
    }
}

bool PortUse::HeldByLock(const std::string& name, Holder& holder) const {
    for (const std::string& directory : places_.lockDirectories) {
        const int pid = PidInLockFile(directory + "/LCK.." + name);
        // A lock whose process has ended is stale: it holds nothing.
        struct stat info {};
        if (pid > 0 && ::stat((places_.proc + "/" + std::to_string(pid)).c_str(), &info) == 0) {
            holder = {ProgramOf(places_.proc, pid), pid};
            return true;
        }
    }
    return false;
}

void PortUse::Describe(PortInfo& port) const {
    const std::string device = DeviceOf(port.path);
    const std::string deviceName = device.substr(device.find_last_of('/') + 1);
    if (std::find(consoles_.begin(), consoles_.end(), deviceName) != consoles_.end()) {
        port.access = PortAccess::kConsole;
        return;
    }
    Holder holder;
    // A pseudo-terminal is always held by the program that made it; that says nothing of its use.
    const bool pseudo = device.starts_with(places_.devices + "/pts/");
    const auto open = pseudo ? openDevices_.end() : openDevices_.find(device);
    if (HeldByLock(deviceName, holder) || open != openDevices_.end()) {
        if (open != openDevices_.end() && holder.pid == 0) {
            holder = open->second;
        }
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
