// File-system and OS services on Windows: program directory, existence tests, error texts.
#include "platform/files.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"

namespace velotrix {

namespace {

std::string WithSeparator(std::string directory) {
    if (!directory.empty() && !IsDirectorySeparator(directory.back())) {
        directory.push_back('\\');
    }
    return directory;
}

std::wstring EnvironmentValue(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), size));
    return value;
}

}  // namespace

bool IsDirectorySeparator(char c) {
    return c == '\\' || c == '/';
}

std::string ProgramDirectory() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return WideToUtf8(buffer.substr(0, buffer.find_last_of(L"\\/") + 1));
        }
        buffer.resize(buffer.size() * 2);
    }
}

int FileExists(const std::string& name) {
    if (name.empty()) {
        return 0;
    }
    const std::wstring wide = Utf8ToWide(name);
    if (name.find_first_of("*?") == std::string::npos) {
        return GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES ? 1 : 0;
    }
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(wide.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return 0;
    }
    FindClose(search);
    return 1;
}

bool DirectoryWritable(const std::string& directory) {
    const std::string path = WithSeparator(directory.empty() ? std::string(".") : directory);
    const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return false;
    }
    // Access rights on Windows are lists that only the attempt itself evaluates correctly: a file
    // is created there and goes again when it is closed.
    const std::wstring probe = Utf8ToWide(path) + L"velotrix-" +
                               std::to_wstring(GetCurrentProcessId()) + L"-" +
                               std::to_wstring(GetTickCount()) + L".tmp";
    const UniqueHandle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                        nullptr));
    return file.valid();
}

std::string UserConfigDirectory() {
    std::wstring directory = EnvironmentValue(L"APPDATA");
    if (directory.empty()) {
        const std::wstring profile = EnvironmentValue(L"USERPROFILE");
        if (profile.empty()) {
            return {};
        }
        directory = profile + L"\\AppData\\Roaming";
    }
    return WithSeparator(WideToUtf8(directory)) + "Velotrix\\";
}

std::string TempDirectory() {
    wchar_t buffer[MAX_PATH + 2] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    return length > 0 && length <= MAX_PATH + 1 ? WithSeparator(WideToUtf8(buffer)) : ".\\";
}

std::string PrivateTempDirectory(int& error) {
    error = 0;
    return TempDirectory();
}

bool CreateDirectories(const std::string& directory, int& error) {
    error = 0;
    const std::wstring wide = Utf8ToWide(directory);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (directory.empty() || attributes != INVALID_FILE_ATTRIBUTES) {
        const bool folder = !directory.empty() && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        error = folder ? 0 : static_cast<int>(ERROR_DIRECTORY);
        return folder;
    }
    std::string parent = directory;
    while (!parent.empty() && IsDirectorySeparator(parent.back())) {
        parent.pop_back();
    }
    parent.erase(parent.find_last_of("\\/") + 1);
    if (!parent.empty() && parent != directory && !CreateDirectories(parent, error)) {
        return false;
    }
    // %APPDATA% belongs to the user already; the folder inherits its rights.
    if (!CreateDirectoryW(wide.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        error = static_cast<int>(GetLastError());
        return false;
    }
    return true;
}

int LastOsError() {
    const DWORD code = GetLastError();
    return code != 0 ? static_cast<int>(code) : static_cast<int>(ERROR_GEN_FAILURE);
}

OsErrorTopic TopicOf(int code) {
    switch (static_cast<DWORD>(code)) {
        case ERROR_ACCESS_DENIED:
            return OsErrorTopic::kNoAccess;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return OsErrorTopic::kBusy;
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_DEVICE_REMOVED:
        case ERROR_BAD_COMMAND:
            return OsErrorTopic::kGone;
        case ERROR_GEN_FAILURE:
        case ERROR_IO_DEVICE:
            return OsErrorTopic::kIoError;
        case ERROR_INVALID_PARAMETER:
            return OsErrorTopic::kSettingRefused;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return OsErrorTopic::kNoSuchFile;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return OsErrorTopic::kDiskFull;
        case ERROR_WRITE_PROTECT:
            return OsErrorTopic::kReadOnly;
        case ERROR_FILE_TOO_LARGE:
            return OsErrorTopic::kFileTooBig;
        case ERROR_FILENAME_EXCED_RANGE:
            return OsErrorTopic::kNameTooLong;
        case ERROR_DIRECTORY:
            return OsErrorTopic::kIsFolder;
        case ERROR_NOT_SUPPORTED:
            return OsErrorTopic::kNotSupported;
        default:
            return OsErrorTopic::kOther;
    }
}

std::string OsErrorText(int code) {
    wchar_t* text = nullptr;
    // Language 0: the user's own language, as the rest of the system speaks to them.
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length != 0 && text != nullptr ? std::wstring(text, length) : L"";
    LocalFree(text);
    // The system's texts end with a line break.
    message.erase(message.find_last_not_of(L" \r\n\t") + 1);
    if (message.empty()) {
        return "Unbekannter Fehler (Code " + std::to_string(code) + ")";
    }
    return WideToCp1252(message);
}

}  // namespace velotrix
