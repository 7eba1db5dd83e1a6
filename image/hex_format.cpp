// Intel HEX files behind the format seam: the records' image with the header a BIN file of the
// same name gets, and why a text is refused.
#include <optional>
#include <string>
#include <utility>

#include "image/bin_format.h"
#include "image/file_format.h"
#include "image/intel_hex.h"
#include "text/text_helpers.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

constexpr std::size_t kFileRecordBytes = 16;

std::string_view FaultText(HexFault fault) {
    switch (fault) {
        case HexFault::kNoColon:
            return msg::kHexNoColon;
        case HexFault::kNotHexDigit:
            return msg::kHexNotHexDigit;
        case HexFault::kLineLength:
            return msg::kHexLineLength;
        case HexFault::kChecksum:
            return msg::kHexChecksum;
        case HexFault::kUnknownType:
            return msg::kHexUnknownType;
        case HexFault::kRecordLength:
            return msg::kHexRecordLength;
        case HexFault::kUpperAddress:
            return msg::kHexUpperAddress;
        case HexFault::kBeyondFFFF:
            return msg::kHexBeyondFFFF;
        case HexFault::kTooLarge:
            return msg::kHexTooLarge;
        case HexFault::kOverlap:
            return msg::kHexOverlap;
        case HexFault::kStartBeyondFFFF:
            return msg::kHexStartBeyondFFFF;
        case HexFault::kSecondStart:
            return msg::kHexSecondStart;
        case HexFault::kNoData:
            return msg::kHexNoData;
        case HexFault::kNone:
        case HexFault::kNoEndRecord:
            break;
    }
    return {};
}

class HexFileFormat final : public FileFormat {
  public:
    FormatKind Kind() const override { return FormatKind::kHex; }

    DecodeResult Decode(std::span<const std::uint8_t> file, std::string_view fileName,
                        FileImage& image) const override {
        if (file.size() > kMaxHexFileSize) {
            return FormatRefusal(LoadStatus::kTooBig);
        }
        HexImage hex = ReadIntelHex({reinterpret_cast<const char*>(file.data()), file.size()});
        if (!hex.ok()) {
            DecodeResult refused = FormatRefusal(LoadStatus::kRefused);
            refused.message = std::string(msg::kHexNotLoaded) + HexFaultText(hex.FirstFault());
            refused.caption = msg::kErrorCaption;
            return refused;
        }
        const auto length = static_cast<std::uint32_t>(hex.data.size());
        SynthesizeHeader(image.header, fileName, length);
        SetHeaderAadr(image.header, hex.lowest);
        SetHeaderEadr(image.header, hex.lowest + length - 1);
        SetHeaderSadr(image.header, hex.start.value_or(hex.lowest));
        image.data = std::move(hex.data);
        image.filledBytes = hex.filledBytes;
        return {};
    }

    std::vector<std::uint8_t> Encode(const FileImage& image) const override {
        // A start address of its own is kept in a start record; otherwise AADR is the start.
        const std::uint16_t aadr = HeaderAadr(image.header);
        const std::uint16_t sadr = HeaderSadr(image.header);
        const auto start = sadr != aadr ? std::optional<std::uint16_t>(sadr) : std::nullopt;
        std::vector<std::uint8_t> bytes;
        for (const std::string& record :
             IntelHexRecords(image.data, aadr, kFileRecordBytes, start)) {
            bytes.insert(bytes.end(), record.begin(), record.end());
            bytes.push_back('\r');
            bytes.push_back('\n');
        }
        return bytes;
    }
};

}  // namespace

const FileFormat& HexFormat() {
    static const HexFileFormat format;
    return format;
}

std::string HexFaultText(const HexFaultAt& fault) {
    if (fault.fault == HexFault::kNoEndRecord) {
        return std::string(msg::kHexNoEndRecord) + CountToDecimal(fault.line);
    }
    std::string text = std::string(msg::kHexLine) + CountToDecimal(fault.line);
    text += FaultText(fault.fault);
    if (fault.fault == HexFault::kOverlap) {
        text += CountToDecimal(fault.otherLine);
    }
    return text;
}

}  // namespace velotrix
