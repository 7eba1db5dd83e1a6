// Errors of serial devices on Linux: what they mean, and who may open a device.
#include "platform/linux/serial_errors.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

#include <cerrno>
#include <vector>

#include "ui-resources/messages.h"

namespace velotrix {

namespace {

// The name the system's database gives an ID, through its reentrant lookup (getgrgid_r,
// getpwuid_r) and the entry's name field; the number when it has none.
template <typename Entry, typename Id>
std::string NameOf(Id id, int (*lookup)(Id, Entry*, char*, std::size_t, Entry**),
                   char* Entry::*name) {
    std::vector<char> buffer(1024);
    for (;;) {
        Entry entry{};
        Entry* found = nullptr;
        const int code = lookup(id, &entry, buffer.data(), buffer.size(), &found);
        if (code == ERANGE && buffer.size() < 65536) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (code != 0 || found == nullptr) {
            return std::to_string(id);
        }
        return found->*name;
    }
}

std::string GroupNameOf(gid_t gid) {
    return NameOf(gid, getgrgid_r, &group::gr_name);
}

std::string UserNameOf(uid_t uid) {
    return NameOf(uid, getpwuid_r, &passwd::pw_name);
}

// The device's mode and owners; false when it cannot be asked.
bool Ownership(const std::string& path, struct stat& info) {
    return ::stat(path.c_str(), &info) == 0;
}

bool GroupMayOpen(const struct stat& info) {
    return (info.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
}

}  // namespace

bool NotSupported(int code) {
    return code == ENOTTY || code == EINVAL;
}

// Serial devices belong to a group (on Debian "dialout"); the user must be a member of it. A
// device that lets no group in (root's, mode 0600) needs its owner or a udev rule instead.
std::string PermissionHint(const std::string& path) {
    if (const std::string group = OwningGroup(path); !group.empty()) {
        return std::string(msg::kGroupHintPrefix) + group + std::string(msg::kGroupHintSuffix);
    }
    if (const std::string owner = SoleOwner(path); !owner.empty()) {
        return std::string(msg::kOwnerHintPrefix) + owner + std::string(msg::kOwnerHintMiddle) +
               owner + std::string(msg::kOwnerHintSuffix);
    }
    return {};
}

std::string OwningGroup(const std::string& path) {
    struct stat info {};
    return Ownership(path, info) && GroupMayOpen(info) ? GroupNameOf(info.st_gid) : std::string();
}

std::string SoleOwner(const std::string& path) {
    struct stat info {};
    return Ownership(path, info) && !GroupMayOpen(info) ? UserNameOf(info.st_uid) : std::string();
}

OsErrorKind KindOf(const OsError& error) {
    switch (error.code) {
        case EIO:
        case ENXIO:
        case ENODEV:
            return OsErrorKind::kDeviceGone;
        case ENOTTY:
            return OsErrorKind::kNotSerial;
        case EBUSY:
            return OsErrorKind::kBusy;
        case EACCES:
        case EPERM:
            return OsErrorKind::kNoPermission;
        default:
            return OsErrorKind::kOther;
    }
}

}  // namespace velotrix
