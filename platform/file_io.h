// Whole-file reads and writes with the care a transfer tool needs: bounded reads, complete writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace velotrix {

enum class FileReadStatus { kRead, kMissing, kCannotOpen, kNotRegular, kTooBig };

struct FileReadResult {
    FileReadStatus status = FileReadStatus::kCannotOpen;
    std::size_t size = 0;  // bytes read into the buffer
    int osError = 0;       // why it could not be opened or read, where the OS said
};

// Reads the regular file at path into buffer. A file larger than the buffer is kTooBig and is not
// read (a file that grows while it is read is caught too). Directories, devices and pipes are
// kNotRegular; read errors are kCannotOpen.
FileReadResult ReadFileInto(const std::string& path, std::span<std::uint8_t> buffer);

// The whole regular file as text.
FileReadStatus ReadWholeFile(const std::string& path, std::string& content);

enum class FileWriteStatus { kWritten, kCannotCreate, kWriteError, kExists };

// Writes every byte to the file at path so that no failure leaves a file cut short: the bytes go
// to a new file beside it, which takes the name only once it is complete (with the permissions of
// the file it replaces). A file that was not there before is not there after a failure either.
// A device or a pipe is written in place on Linux and refused on Windows. osError: the OS's reason
// for kCannotCreate and kWriteError.
FileWriteStatus WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes,
                               int& osError);

// Creates a new file and writes every byte; a file (or anything else) of that name is kExists and
// stays as it is, even one made a moment before. A failed write removes what it created.
// privately: readable and writable by the user alone. osError: the OS's reason for kCannotCreate
// and kWriteError.
FileWriteStatus WriteNewFile(const std::string& path, std::span<const std::uint8_t> bytes,
                             int& osError, bool privately = false);

// Gives the regular file new contents as WriteWholeFile does; creates it when it is missing. False
// when nothing could be written, or the path names something else than a regular file.
bool ReplaceFileContents(const std::string& path, std::string_view content);

}  // namespace velotrix
