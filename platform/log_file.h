// What the line log needs of the system: a file written only at its end, and the local wall clock.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace velotrix {

// A file opened for appending: each Append goes to the system at once, after what the file held,
// so that a person who reads along sees every line that was written.
class AppendFile {
  public:
    AppendFile() = default;
    ~AppendFile() { Close(); }
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Opens the file at path (UTF-8), creating it readable by the user alone when missing; 0 or
    // the OS's error number.
    int Open(const std::string& path);
    // 0 or the OS's error number.
    int Append(std::string_view text);
    void Close();
    bool IsOpen() const { return handle_ != kNone; }

  private:
    static constexpr std::intptr_t kNone = -1;
    std::intptr_t handle_ = kNone;  // a file descriptor or a HANDLE
};

// The time a clock on the wall shows here, as milliseconds since 1 January 1970, 00:00 local time.
std::chrono::milliseconds LocalWallTime();

}  // namespace velotrix
