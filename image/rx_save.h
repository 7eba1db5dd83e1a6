// Saving a reception: the suggested file name and the write of the received bytes, replacing a
// file or beside it under a free name.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace velotrix {

// "NAME.Z80" from the RX name field's text (its first 15 characters, trimmed) when the reception
// had a header, else "default.bin".
// The name is made a plain file name (see PlainFileName), since it comes from the line.
std::string SuggestedSaveName(std::string_view nameFieldText, bool hasHeader);

// The text as a plain file name for the current folder on every platform: separators, control
// characters, characters Windows forbids and bytes beyond ASCII become '_', a leading dot too,
// and device names such as CON or COM1 get a '_' in front. Empty text gives "default".
std::string PlainFileName(std::string_view text);

// The name with "-unvollstaendig" before its extension: a reception that lacks bytes.
std::string IncompleteName(std::string name);

// The path with "-N" before the extension of its file name ("HELLO-2.Z80"); the path itself for
// N below 2.
std::string NumberedPath(const std::string& path, int n);

enum class SaveStatus { kWritten, kCannotCreate, kWriteError };

struct SaveResult {
    SaveStatus status = SaveStatus::kCannotCreate;
    std::string message;  // the box's text (code page 1252)
    std::string caption;
    int osError = 0;   // the OS's reason, where it was asked
    std::string path;  // the file written
};

// Writes the bytes to path, replacing an existing file only once the new one is complete (see
// WriteWholeFile): a failure leaves the file there as it was, and no file where there was none.
SaveResult SaveRxBuffer(const std::string& path, std::span<const std::uint8_t> bytes);

// Writes the bytes to a new file at path, or where a file has that name, at the first free one of
// NumberedPath(path, 2), NumberedPath(path, 3), ...; never replaces a file, not even one made
// while it looks. privately: the file is readable by the user alone.
SaveResult SaveRxBufferAsNew(const std::string& path, std::span<const std::uint8_t> bytes,
                             bool privately = false);

}  // namespace velotrix
