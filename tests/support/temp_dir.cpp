// A temporary directory for tests, made under $TMPDIR (or /tmp) and removed recursively.
#include "support/temp_dir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace velotrix::test {

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    path_ =
        std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") + "/velotrix-test-XXXXXX";
    if (mkdtemp(path_.data()) == nullptr) {
        std::abort();
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::File(std::string_view name) const {
    return path_ + "/" + std::string(name);
}

std::string TempDir::Write(std::string_view name, std::string_view bytes) const {
    std::ofstream(File(name), std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return File(name);
}

std::string TempDir::Write(std::string_view name, const std::vector<std::uint8_t>& bytes) const {
    return Write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
    // Only a file has an end: /dev/full, for one, reads zeros for ever.
    std::error_code error;
    std::ifstream in(path, std::ios::binary);
    if (!std::filesystem::is_regular_file(path, error) || !in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace velotrix::test
