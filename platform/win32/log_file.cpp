// The line log's file and clock on Windows.
#include "platform/log_file.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/wide_text.h"

namespace velotrix {

namespace {

HANDLE HandleOf(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

int AppendFile::Open(const std::string& path) {
    Close();
    // FILE_APPEND_DATA alone: every write lands at the end, also after another program's.
    const HANDLE file =
        CreateFileW(Utf8ToWide(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return static_cast<int>(GetLastError());
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    return 0;
}

int AppendFile::Append(std::string_view text) {
    while (!text.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 20));
        DWORD written = 0;
        if (!WriteFile(HandleOf(handle_), text.data(), chunk, &written, nullptr) || written == 0) {
            const DWORD error = GetLastError();
            return error != 0 ? static_cast<int>(error) : ERROR_WRITE_FAULT;
        }
        text.remove_prefix(written);
    }
    return 0;
}

void AppendFile::Close() {
    if (handle_ != kNone) {
        CloseHandle(HandleOf(handle_));
        handle_ = kNone;
    }
}

std::chrono::milliseconds LocalWallTime() {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    using namespace std::chrono;
    const sys_days day{year{local.wYear} / month{local.wMonth} / std::chrono::day{local.wDay}};
    return duration_cast<milliseconds>(day.time_since_epoch()) + hours(local.wHour) +
           minutes(local.wMinute) + seconds(local.wSecond) + milliseconds(local.wMilliseconds);
}

}  // namespace velotrix
