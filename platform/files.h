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

// The name in the folder, joined by the separator the folder already uses; the name alone for an
// empty folder.
std::string PathInFolder(std::string_view folder, std::string_view name);

// The directory of the running executable, with its trailing separator ("/usr/bin/").
std::string ProgramDirectory();
// 1 when a file or directory of that name exists, else 0. Wildcards '*' and '?' are honoured.
int FileExists(const std::string& name);
// True when a file can be created in the directory.
bool DirectoryWritable(const std::string& directory);
// The program's folder in the user's configuration directory ($XDG_CONFIG_HOME/velotrix/ or
// ~/.config/velotrix/; %APPDATA%\Velotrix\ on Windows), with a trailing separator; empty when
// the user has none.
std::string UserConfigDirectory();
// The folder for temporary files ($TMPDIR or /tmp; the user's temp folder on Windows), with a
// trailing separator.
std::string TempDirectory();
// A folder of the user's own in it, for files no one else may read (rescued receptions), with a
// trailing separator: on Linux "velotrix-UID", created readable by the user alone and refused when
// another user owns it or it is a link (EACCES); on Windows the user's temp folder, which is the
// user's own. Empty, with the OS's error number, when there is none.
std::string PrivateTempDirectory(int& error);
// The operating system's own text for an error number; a sensible German text when it has none.
std::string OsErrorText(int code);

// The error number of the calling thread's last failed OS call (errno, GetLastError); never 0.
int LastOsError();

// What an error number means for a person, where the program has a text of its own for it.
enum class OsErrorTopic {
    kOther,
    kNoAccess,
    kBusy,
    kGone,
    kIoError,
    kSettingRefused,
    kNoSuchFile,
    kDiskFull,
    kReadOnly,
    kFileTooBig,
    kNameTooLong,
    kIsFolder,
    kNotSupported,  // the device has no such function (a pseudo-terminal's modem lines)
};
OsErrorTopic TopicOf(int code);

// Creates the directory and any missing parents, new ones readable by the user alone; true when
// it exists afterwards. Otherwise error holds the OS's error number.
bool CreateDirectories(const std::string& directory, int& error);

}  // namespace velotrix
