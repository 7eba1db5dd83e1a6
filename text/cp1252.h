// Conversion between the core's code page 1252 texts and UTF-8 (file names, the UI, the terminal).
#pragma once

#include <string>
#include <string_view>

namespace velotrix {

// Whether code page 1252 has a visible sign for the byte: not for the control codes, DEL and the
// five bytes it leaves unassigned.
bool HasVisibleSign(unsigned char byte);

// Characters that code page 1252 cannot hold become '?'; malformed UTF-8 bytes too.
std::string Utf8ToCp1252(std::string_view utf8);
std::string Cp1252ToUtf8(std::string_view cp1252);

// Where a UTF-8 text stops converting exactly: the first malformed sequence, or the first
// character that code page 1252 cannot hold.
enum class Cp1252Fit { kFits, kMalformed, kNotInCodePage };
Cp1252Fit FitsCp1252(std::string_view utf8);

// A UTF-8 text (a path from the environment, say) as one line a terminal shows and nothing more:
// control characters (C0, DEL, C1, line breaks) and malformed bytes become '.'.
std::string PrintableUtf8(std::string_view utf8);

}  // namespace velotrix
