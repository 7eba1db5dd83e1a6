// The 32-byte z80 header in front of a z80 file, its marker test, and the file-type table.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace velotrix {

inline constexpr std::size_t kHeaderSize = 32;
inline constexpr std::size_t kHeaderNameSize = 16;
inline constexpr std::uint8_t kMarkerByte = 0xD3;

// Offsets of the fields; addresses are little-endian 16-bit values.
inline constexpr std::size_t kAadrOffset = 0;
inline constexpr std::size_t kEadrOffset = 2;
inline constexpr std::size_t kSadrOffset = 4;
inline constexpr std::size_t kCreatorTagOffset = 6;
inline constexpr std::size_t kTypeLetterOffset = 12;
inline constexpr std::size_t kMarkerOffset = 13;
inline constexpr std::size_t kNameOffset = 16;

using HeaderBytes = std::span<std::uint8_t, kHeaderSize>;
using ConstHeaderBytes = std::span<const std::uint8_t, kHeaderSize>;
// A header's 32 bytes, kept on their own.
using HeaderCopy = std::array<std::uint8_t, kHeaderSize>;

// True when bytes 13 to 15 each have all bits of D3h set. Nothing else is looked at.
bool HasZ80Marker(ConstHeaderBytes header);

std::uint16_t HeaderAadr(ConstHeaderBytes header);
std::uint16_t HeaderEadr(ConstHeaderBytes header);
std::uint16_t HeaderSadr(ConstHeaderBytes header);
char HeaderTypeLetter(ConstHeaderBytes header);
// How many data bytes the header promises: EADR - AADR + 1 in 16 bits, so an end address below
// the load address wraps (a long file at a high address) and EADR = AADR - 1 promises none.
std::uint16_t HeaderDataLength(ConstHeaderBytes header);
// The 16 name bytes up to the first zero byte, untrimmed.
std::string HeaderName(ConstHeaderBytes header);

// Writers store the low 16 bits of an address.
void SetHeaderAadr(HeaderBytes header, std::uint32_t value);
void SetHeaderEadr(HeaderBytes header, std::uint32_t value);
void SetHeaderSadr(HeaderBytes header, std::uint32_t value);
void SetHeaderTypeLetter(HeaderBytes header, char letter);
// The name filled up with spaces to 16 characters; a longer name is cut.
void SetHeaderName(HeaderBytes header, std::string_view name);
// The name trimmed (TrimText), then filled up or cut to 16 characters.
void SetHeaderTrimmedName(HeaderBytes header, std::string name);

// The nine file types, 21 characters each, as both "Typ" combo boxes show them, in the current
// language.
inline constexpr std::size_t kFileTypeCount = 9;
inline constexpr std::size_t kFileTypeEntrySize = 21;
// The whole table as one 189-character text.
std::string_view FileTypeTable();
// The 21-character entry at index 0 to 8, trailing spaces included.
std::string_view FileTypeEntry(std::size_t index);
// The first character of entry index (0 to 8).
char TypeLetterAt(std::size_t index);
// The index of the first entry whose letter equals letter (case-sensitive), or -1.
int TypeIndexOfLetter(char letter);

}  // namespace velotrix
