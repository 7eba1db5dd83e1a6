// The state file: what the program remembers by itself, written only when it changes.
#include "app/state_file.h"

#include <algorithm>
#include <array>

#include "app/preferences.h"
#include "platform/files.h"
#include "platform/ini_file.h"

namespace velotrix {

namespace {

constexpr std::string_view kStateFileName = "Velotrix.state";
constexpr std::string_view kStateSection = "Zustand";
constexpr std::array<std::string_view, 4> kLegacyKeys = {
    state_key::kFolder, state_key::kAutoReopen, state_key::kPortName, state_key::kBaudRate};

}  // namespace

std::span<const std::string_view> LegacyStateKeys() {
    return kLegacyKeys;
}

StateFile::StateFile(std::string settingsPath) : settingsPath_(std::move(settingsPath)) {
    std::string folder;
    if (!settingsPath_.empty() && FolderOfPath(settingsPath_, folder) == 0) {
        path_ = folder + std::string(kStateFileName);
    } else if (!settingsPath_.empty()) {
        path_ = std::string(kStateFileName);
    }
}

std::optional<std::string> StateFile::Read(std::string_view key) const {
    if (path_.empty()) {
        return std::nullopt;
    }
    if (std::optional<std::string> value = IniReadValue(path_, kStateSection, key)) {
        return value;
    }
    // What an earlier version remembered in the settings file is taken over until it changes.
    if (std::find(kLegacyKeys.begin(), kLegacyKeys.end(), key) != kLegacyKeys.end()) {
        return IniReadValue(settingsPath_, kPrefsSection, key);
    }
    return std::nullopt;
}

bool StateFile::Write(std::string_view key, std::string_view value) {
    if (path_.empty()) {
        return false;
    }
    if (IniReadValue(path_, kStateSection, key) == std::optional<std::string>(value)) {
        return true;
    }
    return PrepareFolderFor(path_) == 0 && IniWriteString(path_, kStateSection, key, value);
}

int PrepareFolderFor(const std::string& path) {
    std::string folder;
    int error = 0;
    if (FolderOfPath(path, folder) == 0 && !folder.empty()) {
        CreateDirectories(folder, error);
    }
    return error;
}

}  // namespace velotrix
