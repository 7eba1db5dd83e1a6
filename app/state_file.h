// What the program remembers by itself between starts, in a file of its own beside the settings
// file, so that it never changes how the settings the user saved load.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace velotrix {

// The keys of the state file. A part of the program that remembers something new adds its key
// here.
namespace state_key {
inline constexpr std::string_view kFolder = "ORDNER";              // the open dialogs' folder
inline constexpr std::string_view kSaveFolder = "ORDNER_SICHERN";  // the save dialogs' folder
inline constexpr std::string_view kAutoReopen = "AUTOREOPEN";      // "1" or "0"
inline constexpr std::string_view kPortName = "PORTNAME";          // the saved port, by name
inline constexpr std::string_view kBaudRate = "BAUDRATE";          // a saved rate outside the list
// The main window's place and size, in pixels.
inline constexpr std::string_view kWindowX = "FENSTER_X";
inline constexpr std::string_view kWindowY = "FENSTER_Y";
inline constexpr std::string_view kWindowWidth = "FENSTER_BREITE";
inline constexpr std::string_view kWindowHeight = "FENSTER_HOEHE";
// The terminal window's place and size, in pixels.
inline constexpr std::string_view kTerminalX = "TERMINAL_X";
inline constexpr std::string_view kTerminalY = "TERMINAL_Y";
inline constexpr std::string_view kTerminalWidth = "TERMINAL_BREITE";
inline constexpr std::string_view kTerminalHeight = "TERMINAL_HOEHE";
// "Bei Änderung erneut senden": "1" or "0".
inline constexpr std::string_view kResendOnChange = "ERNEUT_SENDEN";
// The pauses of a send for home computers without handshake, in ms, and the line ends of a typed
// text and of a text file (the index of the menu item: 0 none, 1 CR, 2 CR+LF, 3 LF).
inline constexpr std::string_view kCharDelay = "ZEICHENPAUSE";
inline constexpr std::string_view kLineDelay = "ZEILENPAUSE";
inline constexpr std::string_view kLineEnd = "ZEILENENDE";
inline constexpr std::string_view kFileLineEnd = "ZEILENENDE_DATEI";
// The line log: "1" while it is on, and its file.
inline constexpr std::string_view kLineLog = "PROTOKOLL";
inline constexpr std::string_view kLineLogFile = "PROTOKOLL_DATEI";
// DTR and RTS after the open: "1" raised (the default), "0" dropped.
inline constexpr std::string_view kDtr = "DTR";
inline constexpr std::string_view kRts = "RTS";
// Saving every reception: "1" while it is on, and the folder (a native path) it saves in.
inline constexpr std::string_view kSaveEvery = "JEDEN_EMPFANG";
inline constexpr std::string_view kSaveEveryFolder = "JEDEN_EMPFANG_ORDNER";
// XMODEM: "1" while the fill bytes are taken off a received file's end.
inline constexpr std::string_view kXmodemTrim = "XMODEM_FUELLBYTES_ENTFERNEN";
}  // namespace state_key

// The keys that earlier versions kept in the settings file itself.
std::span<const std::string_view> LegacyStateKeys();

class StateFile {
  public:
    // The state file beside settingsPath; with an empty path nothing is read or written.
    explicit StateFile(std::string settingsPath);

    // The key's value; a key the state file lacks is taken from the settings file of an earlier
    // version where it has one.
    std::optional<std::string> Read(std::string_view key) const;
    std::string ReadString(std::string_view key) const { return Read(key).value_or(""); }
    // Writes the value when it differs from the stored one; creates the folder when missing.
    // False when it could not be written.
    bool Write(std::string_view key, std::string_view value);

    const std::string& Path() const { return path_; }
    const std::string& SettingsPath() const { return settingsPath_; }

  private:
    std::string settingsPath_;
    std::string path_;
};

// Creates the folder of the file at path when it is missing; the OS's error number, 0 when the
// folder is there.
int PrepareFolderFor(const std::string& path);

}  // namespace velotrix
