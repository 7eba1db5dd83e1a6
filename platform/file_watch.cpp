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

void SplitWatchedPath(const std::string& path, std::string& folder, std::string& name) {
    if (FileNameOfPath(path, name) != 0) {
        name = path;
    }
    std::string found;
    // Built, not assigned from a literal: GCC 12 takes that for an overlapping copy.
    folder = FolderOfPath(path, found) == 0 && !found.empty() ? found : std::string(1, '.');
}

}  // namespace velotrix
