// Saving a reception: the suggested file name and the write of the received bytes.
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

enum class SaveStatus { kWritten, kCannotCreate, kWriteError };

struct SaveResult {
    SaveStatus status = SaveStatus::kCannotCreate;
    std::string message;  // the box's text (code page 1252)
    std::string caption;
};

// Writes the bytes to path, replacing an existing file. Only a complete write counts as success.
SaveResult SaveRxBuffer(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace velotrix
