// Fuzz target: reading and writing keys of arbitrary settings files.
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/ini_file.h"

// The settings file is synced to disk at every write; here that only slows the fuzzer down, so the
// target's own fsync takes the C library's place.
extern "C" int fsync(int) {
    return 0;
}

namespace {

std::string& Directory() {
    static std::string directory;
    return directory;
}

void RemoveDirectory() {
    unlink((Directory() + "/Velotrix.ini").c_str());
    rmdir(Directory().c_str());
}

// On tmpfs when there is one, so that the file never waits for a disk.
const std::string& SettingsPath() {
    static const std::string path = [] {
        const bool shm = access("/dev/shm", W_OK) == 0;
        std::string pattern =
            shm ? "/dev/shm/velotrix-fuzz-ini-XXXXXX" : "/tmp/velotrix-fuzz-ini-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        Directory() = pattern;
        std::atexit(RemoveDirectory);
        return pattern + "/Velotrix.ini";
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velotrix;
    const std::string& path = SettingsPath();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    for (const char* key : {"COM", "BAUD", "PAR", "DATEN", "STOPP", "FLOW", "PAUSE", "x"}) {
        IniReadInt(path, "Prefs", key, -7);
    }
    // What was written is what is read back, whatever else the file holds.
    if (!IniWriteString(path, "Prefs", "PAUSE", "-123") ||
        IniReadInt(path, "Prefs", "PAUSE", 0) != -123) {
        std::abort();
    }
    return 0;
}
