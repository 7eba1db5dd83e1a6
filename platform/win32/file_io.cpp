// Whole-file reads and writes on Windows with the W functions: only regular files, complete
// transfers, and replacements that leave the old file whole until the new one is written.
#include "platform/file_io.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"

namespace velotrix {

namespace {

// Devices (COM1, CON, NUL, pipes) and directories are no files to load or save: their handles are
// closed again before anything is read or written, so nothing can wait on them.
bool IsRegularFile(const UniqueHandle& file) {
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileType(file.get()) == FILE_TYPE_DISK &&
           GetFileInformationByHandle(file.get(), &info) != 0 &&
           !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

UniqueHandle OpenRegularForReading(const std::string& path, FileReadStatus& status,
                                   int* osError = nullptr) {
    UniqueHandle file;
    const std::wstring wide = Utf8ToWide(path);
    const DWORD attributes =
        path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        status = FileReadStatus::kNotRegular;
        return file;
    }
    if (!path.empty()) {
        file =
            UniqueHandle(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    if (!file.valid()) {
        const DWORD code = path.empty() ? ERROR_FILE_NOT_FOUND : GetLastError();
        const bool missing = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
        status = missing ? FileReadStatus::kMissing : FileReadStatus::kCannotOpen;
        if (osError != nullptr) {
            *osError = static_cast<int>(code);
        }
    } else {
        status = IsRegularFile(file) ? FileReadStatus::kRead : FileReadStatus::kNotRegular;
    }
    return file;
}

// Reads until size bytes are in or the file ends; false on a read error.
bool ReadUpTo(HANDLE file, std::uint8_t* buffer, std::size_t size, std::size_t& total) {
    total = 0;
    while (total < size) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - total, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(file, buffer + total, chunk, &got, nullptr)) {
            return false;
        }
        if (got == 0) {
            break;
        }
        total += got;
    }
    return true;
}

bool WriteAll(HANDLE file, const std::uint8_t* bytes, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes + done, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

const std::uint8_t* BytesOf(std::string_view text) {
    return reinterpret_cast<const std::uint8_t*>(text.data());
}

UniqueHandle CreateForWriting(const std::wstring& path, DWORD disposition) {
    return UniqueHandle(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// The absolute form of a path, as ReplaceFile needs it (Wine's ReplaceFile fails on others).
std::wstring FullPath(const std::wstring& path) {
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) {
        return path;
    }
    full.resize(length);
    return full;
}

// Writes a new file completely, or leaves none behind; a name that is taken is kExists.
FileWriteStatus WriteFreshFile(const std::wstring& path, std::span<const std::uint8_t> bytes,
                               bool flush, int& error) {
    UniqueHandle file = CreateForWriting(path, CREATE_NEW);
    if (!file.valid()) {
        const DWORD code = GetLastError();
        error = static_cast<int>(code);
        return code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS
                   ? FileWriteStatus::kExists
                   : FileWriteStatus::kCannotCreate;
    }
    bool ok = WriteAll(file.get(), bytes.data(), bytes.size()) &&
              (!flush || FlushFileBuffers(file.get()));
    error = ok ? 0 : static_cast<int>(GetLastError());
    if (!file.Close() && ok) {
        ok = false;
        error = static_cast<int>(GetLastError());
    }
    if (!ok) {
        DeleteFileW(path.c_str());
        error = error != 0 ? error : static_cast<int>(ERROR_WRITE_FAULT);
        return FileWriteStatus::kWriteError;
    }
    return FileWriteStatus::kWritten;
}

// Whether the path names a regular file (not a device, a pipe or a directory).
bool IsRegularPath(const std::wstring& path) {
    const UniqueHandle file(
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file.valid() && IsRegularFile(file);
}

// The bytes go to a new file beside the target that takes its place once it is complete and on
// the disk; ReplaceFile keeps the old file's attributes and access rights on the new contents.
FileWriteStatus WriteBesideThenReplace(const std::wstring& target, bool exists,
                                       std::span<const std::uint8_t> bytes, int& error) {
    const std::wstring temp =
        target + L"." + std::to_wstring(GetCurrentProcessId()) + L".velotrix-new";
    const FileWriteStatus written = WriteFreshFile(temp, bytes, true, error);
    if (written != FileWriteStatus::kWritten) {
        return written == FileWriteStatus::kExists ? FileWriteStatus::kCannotCreate : written;
    }
    const bool placed =
        exists ? ReplaceFileW(target.c_str(), temp.c_str(), nullptr,
                              REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
               : MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
    if (!placed) {
        error = static_cast<int>(GetLastError());
        DeleteFileW(temp.c_str());
        return FileWriteStatus::kWriteError;
    }
    return FileWriteStatus::kWritten;
}

}  // namespace

FileReadResult ReadFileInto(const std::string& path, std::span<std::uint8_t> buffer) {
    FileReadResult result;
    const UniqueHandle file = OpenRegularForReading(path, result.status, &result.osError);
    if (result.status != FileReadStatus::kRead) {
        return result;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) {
        result.status = FileReadStatus::kCannotOpen;
        result.osError = static_cast<int>(GetLastError());
        return result;
    }
    if (static_cast<std::uint64_t>(size.QuadPart) > buffer.size()) {
        result.status = FileReadStatus::kTooBig;
        return result;
    }
    std::size_t got = 0;
    std::size_t more = 0;
    std::uint8_t beyond = 0;
    // A file that grew since its size was taken is caught by the byte beyond the buffer.
    const bool read = ReadUpTo(file.get(), buffer.data(), buffer.size(), got) &&
                      (got < buffer.size() || ReadUpTo(file.get(), &beyond, 1, more));
    if (!read) {
        result.status = FileReadStatus::kCannotOpen;
        result.osError = static_cast<int>(GetLastError());
    } else if (more > 0) {
        result.status = FileReadStatus::kTooBig;
    } else {
        result.size = got;
    }
    return result;
}

FileReadStatus ReadWholeFile(const std::string& path, std::string& content) {
    content.clear();
    FileReadStatus status = FileReadStatus::kCannotOpen;
    const UniqueHandle file = OpenRegularForReading(path, status);
    if (status != FileReadStatus::kRead) {
        return status;
    }
    std::uint8_t chunk[4096];
    for (;;) {
        std::size_t got = 0;
        if (!ReadUpTo(file.get(), chunk, sizeof chunk, got)) {
            content.clear();
            return FileReadStatus::kCannotOpen;
        }
        content.append(reinterpret_cast<const char*>(chunk), got);
        if (got < sizeof chunk) {
            return FileReadStatus::kRead;
        }
    }
}

FileWriteStatus WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes,
                               int& osError) {
    if (path.empty()) {
        osError = static_cast<int>(ERROR_FILE_NOT_FOUND);
        return FileWriteStatus::kCannotCreate;
    }
    const std::wstring target = FullPath(Utf8ToWide(path));
    if (GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = GetLastError();
        if (code != ERROR_FILE_NOT_FOUND) {
            osError = static_cast<int>(code);
            return FileWriteStatus::kCannotCreate;
        }
        return WriteBesideThenReplace(target, false, bytes, osError);
    }
    // Devices (NUL, COM1), pipes and directories are no files to save in.
    if (!IsRegularPath(target)) {
        osError = static_cast<int>(ERROR_ACCESS_DENIED);
        return FileWriteStatus::kCannotCreate;
    }
    return WriteBesideThenReplace(target, true, bytes, osError);
}

FileWriteStatus WriteNewFile(const std::string& path, std::span<const std::uint8_t> bytes,
                             int& osError, bool /*privately*/) {
    // The user's own folders (the temp folder among them) are closed to other users already.
    if (path.empty()) {
        osError = static_cast<int>(ERROR_FILE_NOT_FOUND);
        return FileWriteStatus::kCannotCreate;
    }
    return WriteFreshFile(Utf8ToWide(path), bytes, false, osError);
}

bool ReplaceFileContents(const std::string& path, std::string_view content) {
    int error = 0;
    return WriteWholeFile(path, {BytesOf(content), content.size()}, error) ==
           FileWriteStatus::kWritten;
}

}  // namespace velotrix
