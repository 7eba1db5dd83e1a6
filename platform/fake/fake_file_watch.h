// File watches for tests: the test says when a watched file changed, as the system would report it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/file_watch.h"

namespace velotrix {

class FakeFileWatches {
  public:
    // The starter to hand to the engine; its watches report what Change says.
    FileWatchStarter Starter();
    // The file at path changed: each watch of it posts the change, as a watching thread does.
    void Change(const std::string& path) const;
    // The paths watched now, one for each live watch.
    std::vector<std::string> Watched() const;
    // Watches started from now on fail with the errno (0: they start again), as when the
    // system's limit of watches is reached.
    void RefuseStarts(int code) const { *refusal_ = code; }

  private:
    struct Watch;
    std::shared_ptr<std::vector<Watch*>> live_ = std::make_shared<std::vector<Watch*>>();
    std::shared_ptr<int> refusal_ = std::make_shared<int>(0);
};

}  // namespace velotrix
