// Which format reads a file, and the boxes every format refuses with.
#include "image/file_format.h"

#include "image/intel_hex.h"
#include "platform/files.h"
#include "text/text_helpers.h"
#include "ui-resources/messages.h"

namespace velotrix {

bool IsHexFileName(std::string_view path) {
    std::string name;
    if (FileNameOfPath(path, name) != 0) {
        name = path;
    }
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        return false;
    }
    const std::string_view extension = std::string_view(name).substr(dot);
    return EqualIgnoringCase(extension, ".hex") || EqualIgnoringCase(extension, ".ihx");
}

std::string_view FormatName(FormatKind kind) {
    switch (kind) {
        case FormatKind::kZ80:
            return "z80";
        case FormatKind::kHex:
            return "HEX";
        case FormatKind::kBin:
            break;
    }
    return "BIN";
}

DecodeResult FormatRefusal(LoadStatus status) {
    DecodeResult result;
    result.status = status;
    if (status == LoadStatus::kTooBig) {
        result.message = msg::kTooBig;
        result.caption = msg::kInfoCaption;
    } else if (status == LoadStatus::kTooSmall) {
        result.message = msg::kTooSmall;
        result.caption = msg::kInfoCaption;
    }
    return result;
}

const FileFormat& FormatOfFile(std::string_view fileName, std::span<const std::uint8_t> bytes) {
    if (IsHexFileName(fileName)) {
        return HexFormat();
    }
    if (bytes.size() >= kHeaderSize && HasZ80Marker(ConstHeaderBytes(bytes.data(), kHeaderSize))) {
        return Z80Format();
    }
    return BinFormat();
}

std::size_t MaxFileSize(std::string_view fileName) {
    return IsHexFileName(fileName) ? kMaxHexFileSize : kImageSize;
}

}  // namespace velotrix
