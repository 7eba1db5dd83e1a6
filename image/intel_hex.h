// Intel HEX: the text records (":LLAAAATT, data, checksum") that many Z80 monitors and CP/M's LOAD
// take, read into one 64 KiB address space, and an image written as such records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velotrix {

// Even records of one data byte each put a 64 KiB image into less text than this.
inline constexpr std::size_t kMaxHexFileSize = std::size_t{1} << 20;

// Why a HEX text is refused, at the line where it shows.
enum class HexFault {
    kNone,
    kNoColon,          // the line does not begin with ':'
    kNotHexDigit,      // a character behind the ':' is no hexadecimal digit
    kLineLength,       // the line is longer or shorter than its length byte says
    kChecksum,         // the record's bytes do not add up to 00h
    kUnknownType,      // a record type other than 00 to 05
    kRecordLength,     // a record of type 01 to 05 with the wrong number of data bytes
    kUpperAddress,     // 02 or 04 with an upper part: an address beyond the Z80's 64 KiB
    kBeyondFFFF,       // data past address FFFFh
    kTooLarge,         // lowest to highest address span more bytes than an image holds
    kOverlap,          // data at addresses an earlier record filled
    kStartBeyondFFFF,  // a start address (03, 05) past FFFFh
    kSecondStart,      // a second start record with another address
    kNoEndRecord,      // the text ends without the end record: a file cut short
    kNoData,           // the end record comes before any data
};

struct HexFaultAt {
    HexFault fault = HexFault::kNone;
    std::size_t line = 0;       // 1-based; kNoEndRecord: the last line
    std::size_t otherLine = 0;  // kOverlap: the earlier line
};

struct HexImage {
    std::vector<std::uint8_t> data;  // lowest to highest address, gaps filled with 00h
    std::uint16_t lowest = 0;        // the address of data[0]
    std::optional<std::uint16_t> start;
    // The address of the last data byte; lowest when there is none.
    std::uint16_t Highest() const {
        return static_cast<std::uint16_t>(lowest + (data.empty() ? 0 : data.size() - 1));
    }
    std::size_t filledBytes = 0;
    std::size_t lines = 0;  // lines read, the end record's included
    // Every line whose checksum is wrong, up to where the reading ended. Such a record is not
    // trusted: its content is left out.
    std::vector<std::size_t> checksumLines;
    HexFaultAt fault;  // what ended the reading before the end record; kNone when nothing did

    // The first fault in the order of the lines: a wrong checksum or what ended the reading.
    HexFaultAt FirstFault() const;
    bool ok() const { return FirstFault().fault == HexFault::kNone; }
    // True while every line read has the form of a record, whatever its content: the text is
    // Intel HEX, perhaps damaged on its way.
    bool LinesAreRecords() const;
};

// Reads records 00 to 05 up to the end record (01); what follows it is not read, as a CP/M
// file's padding. The start address comes from 03 or 05, or from the end record's address where
// that is not 0000, as 8-bit tools write it. Lines end with CR, LF or CR+LF; trailing blanks and
// empty lines are passed over; hexadecimal digits may be upper or lower case.
HexImage ReadIntelHex(std::string_view text);

// A reception that is Intel HEX text: behind any line ends it begins with ':', and every line up
// to the end record (or to the reception's end) has a record's form, whatever its checksum says.
// Nothing for any other reception.
std::optional<HexImage> ReadHexReception(std::span<const std::uint8_t> bytes);

// The data as records of recordBytes (1 to 255) data bytes each from address on, past FFFFh on
// from 0000h as the Z80 counts, then a start record (05) when start is given, then the end record;
// each record without a line end. What goes to a monitor has no start record: one that does not
// know its type would load its four bytes as data.
std::vector<std::string> IntelHexRecords(std::span<const std::uint8_t> data, std::uint16_t address,
                                         std::size_t recordBytes,
                                         std::optional<std::uint16_t> start = std::nullopt);

// "Zeile 12: Pr\xFCfsumme falsch" and its kin, in code page 1252.
std::string HexFaultText(const HexFaultAt& fault);

}  // namespace velotrix
