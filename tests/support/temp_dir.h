// A temporary directory for tests that is removed with everything in it when the test ends.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velotrix::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The directory, without a trailing separator.
    const std::string& path() const { return path_; }
    // The full path of a name inside the directory.
    std::string File(std::string_view name) const;
    // Creates or replaces the file with exactly these bytes; returns its full path.
    std::string Write(std::string_view name, std::string_view bytes) const;
    std::string Write(std::string_view name, const std::vector<std::uint8_t>& bytes) const;

  private:
    std::string path_;
};

// The file's bytes, or nothing when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::string& path);

}  // namespace velotrix::test
