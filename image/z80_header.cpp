// The z80 header's fields, its marker test, and the table of file types.
#include "image/z80_header.h"

#include <algorithm>

#include "text/text_helpers.h"
#include "ui-resources/language.h"

namespace velotrix {

namespace {

// Nine entries of 21 characters each, in code page 1252, one after the other.
constexpr char kFileTypeTable[] =
    "P = Maschinenprogramm"
    "B = Basic-Programm   "
    "F = Basic-Feld       "
    "Q = Quelle (EDAS)    "
    "T = Text             "
    "D = Daten (allgem.)  "
    "A = ausf\xFC"
    "hrbar, Auto "
    "C = ausf\xFC"
    "hrbar       "
    "Unbekannt            ";
static_assert(sizeof kFileTypeTable - 1 == kFileTypeCount * kFileTypeEntrySize);
// The same in English, letter for letter.
constexpr char kFileTypeTableEnglish[] =
    "P = Machine program  "
    "B = Basic program    "
    "F = Basic array      "
    "Q = Source (EDAS)    "
    "T = Text             "
    "D = Data (general)   "
    "A = Executable, auto "
    "C = Executable       "
    "Unknown              ";
static_assert(sizeof kFileTypeTableEnglish == sizeof kFileTypeTable);

std::uint16_t ReadWord(ConstHeaderBytes header, std::size_t offset) {
    return static_cast<std::uint16_t>(header[offset] | (header[offset + 1] << 8));
}

void WriteWord(HeaderBytes header, std::size_t offset, std::uint32_t value) {
    header[offset] = static_cast<std::uint8_t>(value & 0xFF);
    header[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

}  // namespace

bool HasZ80Marker(ConstHeaderBytes header) {
    for (std::size_t i = kMarkerOffset; i < kMarkerOffset + 3; ++i) {
        if ((header[i] & kMarkerByte) != kMarkerByte) {
            return false;
        }
    }
    return true;
}

std::uint16_t HeaderAadr(ConstHeaderBytes header) {
    return ReadWord(header, kAadrOffset);
}

std::uint16_t HeaderEadr(ConstHeaderBytes header) {
    return ReadWord(header, kEadrOffset);
}

std::uint16_t HeaderDataLength(ConstHeaderBytes header) {
    return static_cast<std::uint16_t>(HeaderEadr(header) - HeaderAadr(header) + 1);
}

std::uint16_t HeaderSadr(ConstHeaderBytes header) {
    return ReadWord(header, kSadrOffset);
}

char HeaderTypeLetter(ConstHeaderBytes header) {
    return static_cast<char>(header[kTypeLetterOffset]);
}

std::string HeaderName(ConstHeaderBytes header) {
    const auto begin = header.begin() + kNameOffset;
    const auto end = std::find(begin, begin + kHeaderNameSize, std::uint8_t{0});
    return std::string(begin, end);
}

void SetHeaderAadr(HeaderBytes header, std::uint32_t value) {
    WriteWord(header, kAadrOffset, value);
}

void SetHeaderEadr(HeaderBytes header, std::uint32_t value) {
    WriteWord(header, kEadrOffset, value);
}

void SetHeaderSadr(HeaderBytes header, std::uint32_t value) {
    WriteWord(header, kSadrOffset, value);
}

void SetHeaderTypeLetter(HeaderBytes header, char letter) {
    header[kTypeLetterOffset] = static_cast<std::uint8_t>(letter);
}

void SetHeaderName(HeaderBytes header, std::string_view name) {
    for (std::size_t i = 0; i < kHeaderNameSize; ++i) {
        header[kNameOffset + i] = static_cast<std::uint8_t>(i < name.size() ? name[i] : ' ');
    }
}

void SetHeaderTrimmedName(HeaderBytes header, std::string name) {
    TrimText(name);
    SetHeaderName(header, name);
}

std::string_view FileTypeTable() {
    return {
        msg::CurrentLanguage() == msg::Language::kGerman ? kFileTypeTable : kFileTypeTableEnglish,
        kFileTypeCount * kFileTypeEntrySize};
}

std::string_view FileTypeEntry(std::size_t index) {
    if (index >= kFileTypeCount) {
        return {};
    }
    return FileTypeTable().substr(index * kFileTypeEntrySize, kFileTypeEntrySize);
}

char TypeLetterAt(std::size_t index) {
    const std::string_view entry = FileTypeEntry(index);
    return entry.empty() ? '\0' : entry[0];
}

int TypeIndexOfLetter(char letter) {
    for (std::size_t i = 0; i < kFileTypeCount; ++i) {
        if (TypeLetterAt(i) == letter) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace velotrix
