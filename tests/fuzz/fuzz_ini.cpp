// Fuzz target: reading and writing keys of arbitrary settings files.
#include <fstream>
#include <string>

#include "fuzz_folder.h"
#include "platform/ini_file.h"

// The settings file is synced to disk at every write; here that only slows the fuzzer down, so the
// target's own fsync takes the C library's place.
extern "C" int fsync(int) {
    return 0;
}

namespace {

const std::string& SettingsPath() {
    static const std::string path = FuzzFolder() + "/Velotrix.ini";
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
