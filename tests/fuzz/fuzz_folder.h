// The folder of a fuzz target's own for the files it writes: on tmpfs when there is one, so that
// no write waits for a disk, and removed with what it holds when the target ends.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

inline const std::string& FuzzFolder() {
    static const std::string folder = [] {
        std::string pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm/velotrix-fuzz-XXXXXX"
                                                            : "/tmp/velotrix-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        return pattern;
    }();
    static const bool removed = [] {
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(FuzzFolder(), ignored);
        });
        return true;
    }();
    static_cast<void>(removed);
    return folder;
}
