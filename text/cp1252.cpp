// Conversion between code page 1252 and UTF-8, with Windows' table for the bytes 80h to 9Fh.
#include "text/cp1252.h"

#include <array>
#include <cstdint>

namespace velotrix {

namespace {

// Code points of the bytes 80h to 9Fh. The five bytes that Windows leaves undefined (81h, 8Dh, 8Fh,
// 90h, 9Dh) stand for the C1 control of the same number, so that every byte survives a round trip.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char kUnmappable = '?';

char32_t CodePointOf(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) {
        return kHighControls[byte - 0x80];
    }
    return byte;
}

char ByteOf(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<char>(codePoint);
    }
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == codePoint) {
            return static_cast<char>(0x80 + i);
        }
    }
    return kUnmappable;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

struct Decoded {
    char32_t codePoint;
    std::size_t length;  // bytes consumed
    bool valid;
};

// One UTF-8 sequence. An ill-formed one consumes its longest valid beginning (at least one byte),
// so that each broken sequence yields exactly one replacement, as Unicode recommends.
Decoded DecodeOne(std::string_view s, std::size_t i) {
    const auto lead = static_cast<unsigned char>(s[i]);
    if (lead < 0x80) {
        return {lead, 1, true};
    }
    std::size_t need = 0;
    char32_t cp = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 1;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 2;
        cp = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 3;
        cp = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;  // nothing above U+10FFFF
    } else {
        return {0, 1, false};
    }
    std::size_t length = 1;
    for (std::size_t k = 0; k < need; ++k) {
        if (i + length >= s.size()) {
            return {0, length, false};
        }
        const auto c = static_cast<unsigned char>(s[i + length]);
        if (c < low || c > high) {
            return {0, length, false};
        }
        cp = (cp << 6) | (c & 0x3F);
        ++length;
        low = 0x80;
        high = 0xBF;
    }
    return {cp, length, true};
}

}  // namespace

bool HasVisibleSign(unsigned char byte) {
    const bool unassigned =
        byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
    return byte >= 0x20 && byte != 0x7F && !unassigned;
}

std::string Utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const Decoded d = DecodeOne(utf8, i);
        out.push_back(d.valid ? ByteOf(d.codePoint) : kUnmappable);
        i += d.length;
    }
    return out;
}

Cp1252Fit FitsCp1252(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size();) {
        const Decoded d = DecodeOne(utf8, i);
        if (!d.valid) {
            return Cp1252Fit::kMalformed;
        }
        // '?' itself converts; any other character that becomes '?' is missing.
        if (d.codePoint != kUnmappable && ByteOf(d.codePoint) == kUnmappable) {
            return Cp1252Fit::kNotInCodePage;
        }
        i += d.length;
    }
    return Cp1252Fit::kFits;
}

std::string Cp1252ToUtf8(std::string_view cp1252) {
    // Mostly ASCII, which stays as it is: copied in runs.
    std::string out;
    out.reserve(cp1252.size() + cp1252.size() / 2);
    std::size_t run = 0;
    for (std::size_t i = 0; i < cp1252.size(); ++i) {
        const auto byte = static_cast<unsigned char>(cp1252[i]);
        if (byte >= 0x80) {
            out.append(cp1252.substr(run, i - run));
            AppendUtf8(out, CodePointOf(byte));
            run = i + 1;
        }
    }
    out.append(cp1252.substr(run));
    return out;
}

std::string PrintableUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const Decoded d = DecodeOne(utf8, i);
        const bool control = d.codePoint < 0x20 || (d.codePoint >= 0x7F && d.codePoint < 0xA0);
        if (!d.valid || control) {
            out.push_back('.');
        } else {
            out.append(utf8.substr(i, d.length));
        }
        i += d.length;
    }
    return out;
}

}  // namespace velotrix
