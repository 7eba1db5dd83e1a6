// Errors of serial devices on Linux: what they mean, and who may open a device.
#include "platform/linux/serial_errors.h"

#include <grp.h>
#include <sys/stat.h>

#include <cerrno>
#include <vector>

#include "ui-resources/messages.h"

namespace velotrix {

namespace {

std::string GroupNameOf(gid_t gid) {
    std::vector<char> buffer(1024);
    for (;;) {
        group entry{};
        group* found = nullptr;
        const int code = getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found);
        if (code == ERANGE && buffer.size() < 65536) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (code != 0 || found == nullptr) {
            return std::to_string(gid);
        }
        return found->gr_name;
    }
}

}  // namespace

bool NotSupported(int code) {
    return code == ENOTTY || code == EINVAL;
}

// Serial devices belong to a group (on Debian "dialout"); the user must be a member of it.
std::string PermissionHint(const std::string& path) {
    const std::string group = OwningGroup(path);
    if (group.empty()) {
        return {};
    }
    return std::string(msg::kGroupHintPrefix) + group + std::string(msg::kGroupHintSuffix);
}

std::string OwningGroup(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? GroupNameOf(info.st_gid) : std::string();
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
