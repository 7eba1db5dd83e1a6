// BIN files: the data as they are, and the header made for them from the file's name.
#include "image/bin_format.h"

#include <algorithm>
#include <string>

#include "image/file_format.h"
#include "platform/files.h"
#include "text/cp1252.h"
#include "text/text_helpers.h"

namespace velotrix {

namespace {

constexpr char kCreatorTag[] = "AC1KZV";
constexpr char kSynthesizedType = 'P';
constexpr std::size_t kAddressDigits = 4;

// The four characters behind a 1-based position, or fewer where the name ends sooner.
std::string AddressTextAfter(std::string_view name, std::int32_t position) {
    return MidChars(name, static_cast<std::size_t>(position), kAddressDigits);
}

class BinFileFormat final : public FileFormat {
  public:
    FormatKind Kind() const override { return FormatKind::kBin; }

    DecodeResult Decode(std::span<const std::uint8_t> file, std::string_view fileName,
                        FileImage& image) const override {
        if (file.size() < kHeaderSize) {
            return FormatRefusal(LoadStatus::kTooSmall);
        }
        // The data must fit behind the header made for them.
        if (file.size() > kMaxDataLength) {
            return FormatRefusal(LoadStatus::kTooBig);
        }
        image.data.assign(file.begin(), file.end());
        SynthesizeHeader(image.header, fileName, static_cast<std::uint32_t>(file.size()));
        image.filledBytes = 0;
        return {};
    }

    std::vector<std::uint8_t> Encode(const FileImage& image) const override { return image.data; }
};

}  // namespace

const FileFormat& BinFormat() {
    static const BinFileFormat format;
    return format;
}

void SynthesizeHeader(HeaderBytes header, std::string_view path, std::uint32_t length) {
    std::string fileName;
    if (FileNameOfPath(path, fileName) != 0) {
        fileName = path;
    }
    // The header and the home computer know code page 1252 only.
    const std::string name = Utf8ToCp1252(fileName);

    std::copy_n(kCreatorTag, 6, header.begin() + kCreatorTagOffset);
    std::fill_n(header.begin() + kMarkerOffset, 3, kMarkerByte);
    SetHeaderTypeLetter(header, kSynthesizedType);

    const std::int32_t first = FindText(1, name, "_");
    if (first >= 1) {
        SetHeaderTrimmedName(header, LeftChars(name, static_cast<std::size_t>(first - 1)));
        std::string loadText = AddressTextAfter(name, first);
        TrimText(loadText);
        const std::uint32_t load = HexToValue(loadText);
        std::uint32_t start = load;
        const std::int32_t second = FindText(first + 1, name, "_");
        if (second >= 1) {
            const std::int32_t third = FindText(second + 1, name, "_");
            if (third >= 1) {
                start = HexToValue(AddressTextAfter(name, third));
            }
        }
        SetHeaderAadr(header, load);
        SetHeaderEadr(header, load + length - 1);
        SetHeaderSadr(header, start);
        return;
    }

    const std::int32_t dot = FindText(1, name, ".");
    SetHeaderTrimmedName(header,
                         dot >= 1 ? LeftChars(name, static_cast<std::size_t>(dot - 1)) : name);
    SetHeaderAadr(header, kDefaultLoadAddress);
    SetHeaderEadr(header, kDefaultLoadAddress + length - 1);
    SetHeaderSadr(header, kDefaultLoadAddress);
}

}  // namespace velotrix
