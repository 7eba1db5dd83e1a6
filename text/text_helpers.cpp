// Text and number helpers: hexadecimal and decimal conversions, searching, cutting and trimming.
#include "text/text_helpers.h"

#include <algorithm>

namespace velotrix {

namespace {

// The texts are zero-terminated in the program's own terms: a zero byte ends a text wherever it is.
std::string_view UpToTerminator(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

unsigned char Byte(char c) {
    return static_cast<unsigned char>(c);
}

// Upper case to lower case in code page 1252: A-Z, the Latin-1 capitals except the multiplication
// sign, and the four capitals Windows puts at 8Ah, 8Ch, 8Eh and 9Fh.
unsigned char FoldCase(char c) {
    const unsigned char b = Byte(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) {
        return static_cast<unsigned char>(b + 0x20);
    }
    switch (b) {
        case 0x8A:
        case 0x8C:
        case 0x8E:
            return static_cast<unsigned char>(b + 0x10);
        case 0x9F:
            return 0xFF;
        default:
            return b;
    }
}

char HexDigit(std::uint32_t nibble) {
    return "0123456789ABCDEF"[nibble & 0x0F];
}

}  // namespace

std::uint32_t HexToValue(std::string_view text) {
    std::uint32_t value = 0;
    for (char c : UpToTerminator(text)) {
        const unsigned int b = Byte(c);
        const std::uint32_t digit = b < 'A' ? (b & 0x0F) : ((b + 9) & 0x0F);
        value = value * 16 + digit;
    }
    return value;
}

std::string ValueToHex(std::uint32_t value) {
    std::string out(8, '0');
    for (int i = 7; i >= 0; --i) {
        out[static_cast<std::size_t>(i)] = HexDigit(value);
        value >>= 4;
    }
    return out;
}

std::string Hex4(std::uint32_t value) {
    return RightChars(ValueToHex(value), 4);
}

std::string Hex2(std::uint8_t value) {
    std::string out(2, '0');
    PutHex2(out.data(), value);
    return out;
}

void PutHex2(char* at, std::uint8_t value) {
    at[0] = HexDigit(value >> 4);
    at[1] = HexDigit(value);
}

std::string IntToDecimal(std::int32_t value) {
    // The magnitude as unsigned, so that -2147483648 has one too.
    std::uint32_t magnitude =
        value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    std::string digits;
    do {
        digits.push_back(static_cast<char>('0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) {
        digits.push_back('-');
    }
    std::reverse(digits.begin(), digits.end());
    return digits;
}

std::string CountToDecimal(std::size_t count) {
    return IntToDecimal(static_cast<std::int32_t>(count));
}

std::int32_t DecimalToInt(std::string_view text) {
    text = UpToTerminator(text);
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) {
        i = 1;
    }
    std::uint32_t value = 0;
    for (; i < text.size() && Byte(text[i]) >= '0'; ++i) {
        value = value * 10 + (Byte(text[i]) - static_cast<std::uint32_t>('0'));
    }
    if (negative) {
        value = 0u - value;
    }
    return static_cast<std::int32_t>(value);
}

std::int32_t TextLength(std::string_view text) {
    return static_cast<std::int32_t>(UpToTerminator(text).size());
}

std::int32_t FindText(std::int32_t start, std::string_view text, std::string_view pattern) {
    text = UpToTerminator(text);
    pattern = UpToTerminator(pattern);
    const auto t = static_cast<std::int64_t>(text.size());
    const auto p = static_cast<std::int64_t>(pattern.size());
    if (start < 1) {
        return -2;
    }
    if (p == 0 || p >= t) {
        return -1;
    }
    const std::int64_t last = t - p + 1;
    if (start > last) {
        return -2;
    }
    for (std::int64_t pos = start; pos <= last; ++pos) {
        const std::string_view candidate = text.substr(static_cast<std::size_t>(pos - 1));
        if (candidate[0] != pattern[0]) {
            continue;
        }
        // The rest is compared from the pattern's end backwards, as the original search did.
        std::int64_t k = p - 1;
        while (k > 0 &&
               candidate[static_cast<std::size_t>(k)] == pattern[static_cast<std::size_t>(k)]) {
            --k;
        }
        if (k == 0) {
            return static_cast<std::int32_t>(pos);
        }
    }
    return 0;
}

std::string LeftChars(std::string_view source, std::size_t n) {
    return std::string(source.substr(0, n));
}

std::string MidChars(std::string_view source, std::size_t offset, std::size_t n) {
    if (offset >= source.size()) {
        return {};
    }
    return std::string(source.substr(offset, n));
}

std::string RightChars(std::string_view source, std::size_t n) {
    n = std::min(n, source.size());
    return std::string(source.substr(source.size() - n));
}

std::string& AppendTexts(std::string& destination, std::initializer_list<std::string_view> texts) {
    for (std::string_view text : texts) {
        destination.append(text);
    }
    return destination;
}

std::int32_t TrimText(std::string& text) {
    text.resize(UpToTerminator(text).size());
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        text.clear();
        return 0;
    }
    text.erase(0, first);
    std::size_t end = text.size();
    while (end > 0 && Byte(text[end - 1]) < '!') {
        --end;
    }
    text.resize(end);
    return static_cast<std::int32_t>(text.size());
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && StartsWithIgnoringCase(a, b);
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size()) {
        return false;
    }
    return std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char x, char y) { return FoldCase(x) == FoldCase(y); });
}

int CompareIgnoringCase(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) {
            return FoldCase(a[i]) < FoldCase(b[i]) ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace velotrix
