// INI files with the semantics of the Windows profile functions: a write replaces its key's value
// in place and leaves every other line as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velotrix {

// The key's value as a decimal integer. A missing file, section or key, or an empty value, gives
// defaultValue. A value is read as far as it is decimal ("12abc" gives 12, "abc" gives 0); values
// beyond the 32-bit range saturate.
int IniReadInt(const std::string& path, std::string_view section, std::string_view key,
               int defaultValue);

// The key's value with its surrounding blanks removed; nothing when the file, section or key is
// missing.
std::optional<std::string> IniReadValue(const std::string& path, std::string_view section,
                                        std::string_view key);
// The key's value with its surrounding blanks removed; empty when it is missing.
std::string IniReadString(const std::string& path, std::string_view section, std::string_view key);
// Writes the key's value; creates the file and the section when missing. Returns false when the
// file cannot be written.
bool IniWriteString(const std::string& path, std::string_view section, std::string_view key,
                    std::string_view value);

}  // namespace velotrix
