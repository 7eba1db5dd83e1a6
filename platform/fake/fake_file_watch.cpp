// File watches for tests: changes reported when the test says so.
#include "platform/fake/fake_file_watch.h"

#include <algorithm>

namespace velotrix {

struct FakeFileWatches::Watch final : FileWatch {
    Watch(std::shared_ptr<std::vector<Watch*>> live, UiLoop& loop, std::string watched,
          std::function<void()> changed)
        : live_(std::move(live)), path(std::move(watched)), poster(loop, std::move(changed)) {
        live_->push_back(this);
    }
    ~Watch() override {
        std::erase(*live_, this);
        poster.Stop();
    }

    std::shared_ptr<std::vector<Watch*>> live_;
    std::string path;
    ChangePoster poster;
};

FileWatchStarter FakeFileWatches::Starter() {
    return [live = live_, refusal = refusal_](
               UiLoop& loop, const std::string& path,
               std::function<void()> changed) -> OsResult<std::unique_ptr<FileWatch>> {
        if (*refusal != 0) {
            return {nullptr, OsError{*refusal, {}}};
        }
        return {std::make_unique<Watch>(live, loop, path, std::move(changed)), {}};
    };
}

void FakeFileWatches::Change(const std::string& path) const {
    for (const Watch* watch : *live_) {
        if (watch->path == path) {
            watch->poster.Post();
        }
    }
}

std::vector<std::string> FakeFileWatches::Watched() const {
    std::vector<std::string> paths;
    std::transform(live_->begin(), live_->end(), std::back_inserter(paths),
                   [](const Watch* watch) { return watch->path; });
    return paths;
}

}  // namespace velotrix
