// Small file-system and OS services: paths, the program directory, existence tests, OS error texts.
#pragma once

#include <string>
#include <string_view>

namespace velotrix {

// The platform's directory separators ('/' on Linux; '\\' and '/' on Windows).
bool IsDirectorySeparator(char c);
// The part behind the last directory separator into out and 0; -1 (out unchanged) without one.
int FileNameOfPath(std::string_view path, std::string& out);
// The part up to and with the last directory separator into out and 0; -1 (out unchanged)
// without one.
int FolderOfPath(std::string_view path, std::string& out);

// The directory of the running executable, with its trailing separator ("/usr/bin/").
std::string ProgramDirectory();
// 1 when a file or directory of that name exists, else 0. Wildcards '*' and '?' are honoured.
int FileExists(const std::string& name);
// True when a file can be created in the directory.
bool DirectoryWritable(const std::string& directory);
// The user's configuration directory ($XDG_CONFIG_HOME or ~/.config), with a trailing separator.
std::string UserConfigDirectory();
// The operating system's own text for an error number; a sensible German text when it has none.
std::string OsErrorText(int code);

}  // namespace velotrix
