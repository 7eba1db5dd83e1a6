// The file name and the folder of a path, cut at the platform's last directory separator, and a
// name joined to a folder.
#include "platform/files.h"

#include <cstddef>

namespace velotrix {

namespace {

// The index behind the last separator, or 0 without one.
std::size_t AfterLastSeparator(std::string_view path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (IsDirectorySeparator(path[i - 1])) {
            return i;
        }
    }
    return 0;
}

}  // namespace

int FileNameOfPath(std::string_view path, std::string& out) {
    const std::size_t behind = AfterLastSeparator(path);
    if (behind == 0) {
        return -1;
    }
    out.assign(path.substr(behind));
    return 0;
}

int FolderOfPath(std::string_view path, std::string& out) {
    const std::size_t behind = AfterLastSeparator(path);
    if (behind == 0) {
        return -1;
    }
    out.assign(path.substr(0, behind));
    return 0;
}

std::string PathInFolder(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && !IsDirectorySeparator(path.back())) {
        const bool backslashes = IsDirectorySeparator('\\') && path.find('\\') != std::string::npos;
        path.push_back(backslashes ? '\\' : '/');
    }
    return path.append(name);
}

}  // namespace velotrix
