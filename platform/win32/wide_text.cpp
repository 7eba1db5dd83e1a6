// UTF-8 and code page 1252 to and from UTF-16 with the system's own conversion tables.
#include "platform/win32/wide_text.h"

#include <windows.h>

namespace velotrix {
namespace {

constexpr UINT kWindowsLatin1 = 1252;

std::wstring ToWide(UINT codePage, std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string FromWide(UINT codePage, std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    // UTF-8 takes no default character; code page 1252 gets '?' for what it cannot hold.
    const char* fallback = codePage == CP_UTF8 ? nullptr : "?";
    const int length =
        WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, fallback, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), size, text.data(), length, fallback, nullptr);
    return text;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view utf8) {
    return ToWide(CP_UTF8, utf8);
}

std::string WideToUtf8(std::wstring_view wide) {
    return FromWide(CP_UTF8, wide);
}

std::wstring Cp1252ToWide(std::string_view cp1252) {
    return ToWide(kWindowsLatin1, cp1252);
}

std::string WideToCp1252(std::wstring_view wide) {
    return FromWide(kWindowsLatin1, wide);
}

}  // namespace velotrix
