// z80 files: the 32-byte header followed by the data, taken as they are.
#include <algorithm>

#include "image/file_format.h"

namespace velotrix {

namespace {

class Z80FileFormat final : public FileFormat {
  public:
    FormatKind Kind() const override { return FormatKind::kZ80; }

    DecodeResult Decode(std::span<const std::uint8_t> file, std::string_view,
                        FileImage& image) const override {
        if (file.size() < kHeaderSize) {
            return FormatRefusal(LoadStatus::kTooSmall);
        }
        if (file.size() > kImageSize) {
            return FormatRefusal(LoadStatus::kTooBig);
        }
        std::copy_n(file.begin(), kHeaderSize, image.header.begin());
        image.data.assign(file.begin() + kHeaderSize, file.end());
        image.filledBytes = 0;
        return {};
    }

    std::vector<std::uint8_t> Encode(const FileImage& image) const override {
        std::vector<std::uint8_t> bytes(image.header.begin(), image.header.end());
        bytes.insert(bytes.end(), image.data.begin(), image.data.end());
        return bytes;
    }
};

}  // namespace

const FileFormat& Z80Format() {
    static const Z80FileFormat format;
    return format;
}

}  // namespace velotrix
