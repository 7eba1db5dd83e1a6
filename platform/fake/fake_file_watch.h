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

  private:
    struct Watch;
    std::shared_ptr<std::vector<Watch*>> live_ = std::make_shared<std::vector<Watch*>>();
};

}  // namespace velotrix
