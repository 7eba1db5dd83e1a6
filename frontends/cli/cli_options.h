// The command line of velotrix-cli: its commands and options, checked before anything is opened.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "serial/line_options.h"
#include "serial/transfer_options.h"

namespace velotrix::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

inline constexpr int kDefaultTimeoutSeconds = 60;

enum class Command { kHelp, kVersion, kPorts, kInfo, kSend, kText, kReceive, kSelfTest };

// How send puts the file on the line: as "Datei senden" does (header, pause and data, or with
// --bin the data alone), or by XMODEM in blocks of 128 or 1024 bytes.
enum class SendAs { kZ80, kXmodem, kXmodem1k };

// The line settings as the entries of the option lists name them.
struct LineOptions {
    std::string baud{kDefaultLine.baud};
    std::string parity{kDefaultLine.parity};
    std::string dataBits{kDefaultLine.dataBits};
    std::string stopBits{kDefaultLine.stopBits};
    std::string flow{kDefaultLine.flow};
    // DTR and RTS after the open, which raises both.
    bool dtr = true;
    bool rts = true;
};

struct Options {
    Command command = Command::kHelp;
    std::vector<std::string> files;  // info: every file; send: the one file
    std::string text;                // text: the string to send (code page 1252)
    std::string port;
    LineOptions line;
    bool quiet = false;       // no listing: only results and errors
    bool continuous = false;  // send, text: "Endlos senden", until interrupted or the line is lost
    int charDelayMs = 0;      // send, text: "Zeichenpause" after each byte

    // text
    int lineDelayMs = 0;  // after each line end
    // text: behind the text (none given: none) and each line of a text file (none given: CR);
    // send: behind --command
    std::optional<LineEnd> lineEnd;
    bool breakFirst = false;  // a BREAK before the text (which may then be left out)
    bool textGiven = false;
    std::optional<std::string> textFile;  // a UTF-8 text file sent line by line instead of TEXT
    // send, text, receive: the line log's file (appended to)
    std::optional<std::string> log;

    // send
    SendAs sendAs = SendAs::kZ80;
    bool binMode = false;
    bool showProgress = true;
    int pauseIndex = 0;  // the entry of combo 1025
    std::optional<std::string> aadr;
    std::optional<std::string> sadr;
    std::optional<std::string> name;  // code page 1252
    std::optional<char> typeLetter;
    bool watch = false;  // "Bei Änderung erneut senden": again on every rewrite, until interrupted
    // A command line typed first (code page 1252, ended as Enter ends it), and the prompt (code
    // page 1252) awaited before the file goes, for at most promptSeconds.
    std::optional<std::string> typedCommand;
    std::optional<std::string> expect;
    int promptSeconds = 10;

    // receive
    std::optional<std::string> output;
    bool force = false;  // -o may replace an existing file
    // For the first byte; with all, the silence that ends the command.
    int timeoutSeconds = kDefaultTimeoutSeconds;
    // Every reception saved until interrupted, each under a name no file has yet, in folder.
    bool all = false;
    std::optional<std::string> folder;  // where receptions without -o go; else the current folder
    bool xmodem = false;                // the file comes by XMODEM
    bool trimPadding = false;           // XMODEM's fill bytes (1Ah) taken off the end
};

struct ParseResult {
    Options options;
    std::string error;  // empty when the command line is valid
    bool ok() const { return error.empty(); }
};

// The arguments behind the program name.
ParseResult ParseArguments(const std::vector<std::string>& arguments);

// "velotrix-cli 0.8"
std::string VersionText();

// The full help text and the short hint that follows a usage error, in code page 1252 like every
// text of the program.
std::string HelpText();
std::string UsageHint();

}  // namespace velotrix::cli
