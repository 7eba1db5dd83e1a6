// Texts at the Windows API boundary: the W functions take UTF-16; our paths are UTF-8 and our
// texts code page 1252.
#pragma once

#include <string>
#include <string_view>

namespace velotrix {

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
std::wstring Cp1252ToWide(std::string_view cp1252);
// Characters that code page 1252 cannot hold become '?'.
std::string WideToCp1252(std::wstring_view wide);

}  // namespace velotrix
