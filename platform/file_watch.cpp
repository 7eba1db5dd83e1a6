// The parts of the file watch that do not depend on the system.
#include "platform/file_watch.h"

#include "platform/files.h"

namespace velotrix {

void ChangePoster::Post() const {
    loop_.Post([weak = std::weak_ptr<std::function<void()>>(changed_)] {
        // Held while it runs: the handler may end the watch that reported it.
        if (const auto changed = weak.lock(); changed && *changed) {
            (*changed)();
        }
    });
}

bool SplitWatchedPath(const std::string& path, std::string& folder, std::string& name) {
    if (FileNameOfPath(path, name) != 0) {
        name = path;
        folder = ".";
    } else if (FolderOfPath(path, folder) != 0 || folder.empty()) {
        folder = ".";
    }
    return !name.empty();
}

}  // namespace velotrix
