// A text file (a BASIC listing) as a text send puts it on the line: its UTF-8 lines in code page
// 1252, each ended as the home computer's keyboard needs it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "serial/engine_events.h"
#include "serial/transfer_options.h"
#include "ui-resources/messages.h"

namespace velotrix {

// A listing for a home computer is far smaller; a larger file is a wrong choice.
inline constexpr std::size_t kMaxTextFileSize = std::size_t{1} << 20;

struct TextFile {
    std::string bytes;  // code page 1252, every line followed by the line end
    std::size_t lines = 0;
};

// The file's lines end with CR+LF, LF or CR alike; a UTF-8 byte order mark is dropped. A line that
// is not UTF-8, or holds a character that code page 1252 lacks, refuses the whole file with a text
// naming the line (the refusal begins with linePrefix): nothing else is ever sent in place of a
// character.
EngineResult TextFileBytes(std::string_view content, LineEnd end, TextFile& file,
                           std::string_view linePrefix = msg::kTextFileLinePrefix);
// The same for the file at path; a file that cannot be read gives the OS's reason.
EngineResult ReadTextFile(const std::string& path, LineEnd end, TextFile& file);

// "Die Textdatei hat 3 Zeilen; ohne Zeilenende kommen sie als eine einzige an."
std::string LinesWouldJoinText(std::size_t lines);

}  // namespace velotrix
