// Reading Intel HEX text into one 64 KiB address space, and writing an image as records.
#include "image/intel_hex.h"

#include <algorithm>
#include <array>
#include <map>
#include <utility>

#include "image/file_format.h"
#include "text/text_helpers.h"

namespace velotrix {

namespace {

constexpr std::uint32_t kAddressSpace = 0x10000;
// Length, two address bytes, type and checksum around the data.
constexpr std::size_t kRecordFrame = 5;

enum RecordType : std::uint8_t {
    kData = 0x00,
    kEnd = 0x01,
    kSegment = 0x02,
    kStartSegment = 0x03,
    kLinear = 0x04,
    kStartLinear = 0x05,
};

int DigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

struct Record {
    std::uint8_t type = 0;
    std::uint16_t address = 0;
    std::vector<std::uint8_t> data;
};

// The record on one line (without its line end and trailing blanks), or the fault of its form or
// checksum.
HexFault ParseRecord(std::string_view line, Record& record) {
    if (line.empty() || line.front() != ':') {
        return HexFault::kNoColon;
    }
    const std::string_view digits = line.substr(1);
    for (char c : digits) {
        if (DigitValue(c) < 0) {
            return HexFault::kNotHexDigit;
        }
    }
    if (digits.size() % 2 != 0 || digits.size() < 2 * kRecordFrame) {
        return HexFault::kLineLength;
    }
    std::vector<std::uint8_t> bytes(digits.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(DigitValue(digits[2 * i]) << 4 |
                                             DigitValue(digits[2 * i + 1]));
    }
    if (bytes.size() != bytes[0] + kRecordFrame) {
        return HexFault::kLineLength;
    }
    std::uint8_t sum = 0;
    for (std::uint8_t byte : bytes) {
        sum = static_cast<std::uint8_t>(sum + byte);
    }
    if (sum != 0) {
        return HexFault::kChecksum;
    }
    record.address = static_cast<std::uint16_t>(bytes[1] << 8 | bytes[2]);
    record.type = bytes[3];
    record.data.assign(bytes.begin() + 4, bytes.end() - 1);
    return HexFault::kNone;
}

std::uint32_t BigEndian(std::span<const std::uint8_t> bytes) {
    std::uint32_t value = 0;
    for (std::uint8_t byte : bytes) {
        value = value << 8 | byte;
    }
    return value;
}

// Collects the records' data in one address space and keeps each record's range with its line, so
// that an overlap names both lines.
class Reader {
  public:
    explicit Reader(HexImage& image) : image_(image) {}

    // The fault of a record whose form and checksum are right; kNone when it is taken.
    HexFaultAt Take(const Record& record, std::size_t line) {
        return {Check(record, line), line, overlappedLine_};
    }

    // The image from the lowest to the highest address written; kNoData when none was.
    HexFault Finish() {
        if (ranges_.empty()) {
            return HexFault::kNoData;
        }
        const std::uint32_t lowest = ranges_.begin()->first;
        const std::uint32_t end = ranges_.rbegin()->second.end;
        image_.lowest = static_cast<std::uint16_t>(lowest);
        image_.data.assign(space_.begin() + lowest, space_.begin() + end);
        image_.filledBytes = (end - lowest) - used_;
        return HexFault::kNone;
    }

  private:
    struct Range {
        std::uint32_t end = 0;  // one past the last address
        std::size_t line = 0;
    };

    HexFault Check(const Record& record, std::size_t line) {
        switch (record.type) {
            case kData:
                return TakeData(record, line);
            case kEnd:
                if (!record.data.empty()) {
                    return HexFault::kRecordLength;
                }
                // The 8-bit tools' way: an end record's address other than 0000 is the start.
                return record.address != 0 ? SetStart(record.address) : HexFault::kNone;
            case kSegment:
            case kLinear:
                if (record.data.size() != 2) {
                    return HexFault::kRecordLength;
                }
                // The Z80 has one 64 KiB space: only a zero upper part stays in it.
                return BigEndian(record.data) == 0 ? HexFault::kNone : HexFault::kUpperAddress;
            case kStartSegment:
            case kStartLinear:
                return TakeStart(record);
            default:
                return HexFault::kUnknownType;
        }
    }

    HexFault TakeData(const Record& record, std::size_t line) {
        if (record.data.empty()) {
            return HexFault::kNone;
        }
        const std::uint32_t first = record.address;
        const std::uint32_t end = first + static_cast<std::uint32_t>(record.data.size());
        if (end > kAddressSpace) {
            return HexFault::kBeyondFFFF;
        }
        // The ranges taken so far do not overlap: only the neighbours can meet the new one.
        auto next = ranges_.lower_bound(first);
        if (next != ranges_.end() && next->first < end) {
            overlappedLine_ = next->second.line;
            return HexFault::kOverlap;
        }
        if (next != ranges_.begin() && std::prev(next)->second.end > first) {
            overlappedLine_ = std::prev(next)->second.line;
            return HexFault::kOverlap;
        }
        const std::uint32_t lowest =
            std::min(first, ranges_.empty() ? first : ranges_.begin()->first);
        const std::uint32_t highestEnd =
            std::max(end, ranges_.empty() ? end : ranges_.rbegin()->second.end);
        if (highestEnd - lowest > kMaxDataLength) {
            return HexFault::kTooLarge;
        }
        ranges_.emplace_hint(next, first, Range{end, line});
        std::copy(record.data.begin(), record.data.end(), space_.begin() + first);
        used_ += record.data.size();
        return HexFault::kNone;
    }

    HexFault TakeStart(const Record& record) {
        if (record.data.size() != 4) {
            return HexFault::kRecordLength;
        }
        const std::uint32_t value = BigEndian(record.data);
        // 03 holds CS:IP, 05 the linear address.
        return SetStart(record.type == kStartSegment ? (value >> 16) * 16 + (value & 0xFFFF)
                                                     : value);
    }

    HexFault SetStart(std::uint32_t start) {
        if (start >= kAddressSpace) {
            return HexFault::kStartBeyondFFFF;
        }
        if (image_.start && *image_.start != start) {
            return HexFault::kSecondStart;
        }
        image_.start = static_cast<std::uint16_t>(start);
        return HexFault::kNone;
    }

    HexImage& image_;
    std::vector<std::uint8_t> space_ = std::vector<std::uint8_t>(kAddressSpace);
    std::map<std::uint32_t, Range> ranges_;  // by first address
    std::size_t used_ = 0;
    std::size_t overlappedLine_ = 0;
};

// The next line of text from at on, without its line end and trailing blanks; at moves behind the
// line end (CR+LF counts as one).
std::string_view NextLine(std::string_view text, std::size_t& at) {
    const std::size_t begin = at;
    std::size_t end = text.find_first_of("\r\n", begin);
    if (end == std::string_view::npos) {
        end = text.size();
        at = end;
    } else {
        at = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    std::string_view line = text.substr(begin, end - begin);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) {
        line.remove_suffix(1);
    }
    return line;
}

}  // namespace

HexFaultAt HexImage::FirstFault() const {
    if (!checksumLines.empty() &&
        (fault.fault == HexFault::kNone || checksumLines.front() < fault.line)) {
        return {HexFault::kChecksum, checksumLines.front(), 0};
    }
    return fault;
}

bool HexImage::LinesAreRecords() const {
    return fault.fault != HexFault::kNoColon && fault.fault != HexFault::kNotHexDigit &&
           fault.fault != HexFault::kLineLength;
}

std::optional<HexImage> ReadHexReception(std::span<const std::uint8_t> bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const std::size_t first = text.find_first_not_of("\r\n");
    if (first == std::string_view::npos || text[first] != ':') {
        return std::nullopt;
    }
    HexImage image = ReadIntelHex(text);
    return image.LinesAreRecords() ? std::optional<HexImage>(std::move(image)) : std::nullopt;
}

HexImage ReadIntelHex(std::string_view text) {
    HexImage image;
    Reader reader(image);
    std::size_t at = 0;
    while (at < text.size()) {
        const std::string_view line = NextLine(text, at);
        ++image.lines;
        if (line.empty()) {
            continue;
        }
        Record record;
        HexFault fault = ParseRecord(line, record);
        if (fault == HexFault::kChecksum) {
            image.checksumLines.push_back(image.lines);
            continue;
        }
        if (fault != HexFault::kNone) {
            image.fault = {fault, image.lines, 0};
            return image;
        }
        if (const HexFaultAt taken = reader.Take(record, image.lines);
            taken.fault != HexFault::kNone) {
            image.fault = taken;
            return image;
        }
        if (record.type == kEnd) {
            if (reader.Finish() != HexFault::kNone) {
                image.fault = {HexFault::kNoData, image.lines, 0};
            }
            return image;
        }
    }
    image.fault = {HexFault::kNoEndRecord, image.lines, 0};
    return image;
}

std::vector<std::string> IntelHexRecords(std::span<const std::uint8_t> data, std::uint16_t address,
                                         std::size_t recordBytes,
                                         std::optional<std::uint16_t> start) {
    const auto record = [](std::uint8_t type, std::uint32_t at,
                           std::span<const std::uint8_t> bytes) {
        std::string text =
            ":" + Hex2(static_cast<std::uint8_t>(bytes.size())) + Hex4(at) + Hex2(type);
        auto sum = static_cast<std::uint8_t>(bytes.size() + (at >> 8) + (at & 0xFF) + type);
        for (std::uint8_t byte : bytes) {
            text += Hex2(byte);
            sum = static_cast<std::uint8_t>(sum + byte);
        }
        return text + Hex2(static_cast<std::uint8_t>(-sum));
    };
    recordBytes = std::clamp<std::size_t>(recordBytes, 1, 255);
    std::vector<std::string> records;
    records.reserve(data.size() / recordBytes + 2);
    std::uint32_t at = address;
    for (std::size_t done = 0; done < data.size();) {
        const std::size_t count =
            std::min({recordBytes, data.size() - done, std::size_t{kAddressSpace - at}});
        records.push_back(record(kData, at, data.subspan(done, count)));
        done += count;
        at = (at + static_cast<std::uint32_t>(count)) % kAddressSpace;
    }
    if (start) {
        const std::array<std::uint8_t, 4> linear = {0, 0, static_cast<std::uint8_t>(*start >> 8),
                                                    static_cast<std::uint8_t>(*start & 0xFF)};
        records.push_back(record(kStartLinear, 0, linear));
    }
    records.push_back(record(kEnd, 0, {}));
    return records;
}

}  // namespace velotrix
