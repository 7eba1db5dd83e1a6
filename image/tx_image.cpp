// Loading a .bin, .z80 or .COM file into the transmit image, and the header made for a BIN file.
#include "image/tx_image.h"

#include <algorithm>
#include <utility>

#include "platform/file_io.h"
#include "platform/files.h"
#include "text/cp1252.h"
#include "text/text_helpers.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

constexpr char kCreatorTag[] = "AC1KZV";
constexpr char kSynthesizedType = 'P';
constexpr std::size_t kAddressDigits = 4;

LoadResult Refused(LoadStatus status) {
    LoadResult result;
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

// The four characters behind a 1-based position, or fewer where the name ends sooner.
std::string AddressTextAfter(std::string_view name, std::int32_t position) {
    return MidChars(name, static_cast<std::size_t>(position), kAddressDigits);
}

void SetTrimmedName(HeaderBytes header, std::string name) {
    TrimText(name);
    SetHeaderName(header, name);
}

}  // namespace

LoadResult LoadTxFile(TxImage& tx, const std::string& path, std::span<std::uint8_t> scratch) {
    tx.sourcePath = path;
    tx.loaded = false;
    // A failed load leaves no length behind that could reach past the image.
    tx.dataLength = 0;
    if (path.empty() || scratch.size() < kImageSize || tx.image.size() < kImageSize) {
        return Refused(LoadStatus::kCannotOpen);
    }
    // The file goes to the scratch buffer first, so that the image keeps its old content whenever
    // the load fails; a file larger than the image is not read at all.
    const FileReadResult file = ReadFileInto(path, scratch.first(kImageSize));
    if (file.status == FileReadStatus::kTooBig) {
        return Refused(LoadStatus::kTooBig);
    }
    if (file.status != FileReadStatus::kRead) {
        LoadResult refused = Refused(LoadStatus::kCannotOpen);
        refused.fileStatus = file.status;
        refused.osError = file.osError;
        return refused;
    }
    const auto size = static_cast<std::uint32_t>(file.size);
    if (size < kHeaderSize) {
        return Refused(LoadStatus::kTooSmall);
    }

    LoadResult result;
    result.status = LoadStatus::kLoaded;
    result.isZ80 = HasZ80Marker(ConstHeaderBytes(scratch.data(), kHeaderSize));
    if (result.isZ80) {
        std::copy_n(scratch.begin(), size, tx.image.begin());
        tx.dataLength = size - static_cast<std::uint32_t>(kHeaderSize);
    } else {
        // Without its own header the data must fit behind the one made for it.
        if (size > kMaxDataLength) {
            return Refused(LoadStatus::kTooBig);
        }
        std::copy_n(scratch.begin(), size, tx.image.begin() + kHeaderSize);
        tx.dataLength = size;
        SynthesizeHeader(tx);
    }
    tx.loaded = true;
    return result;
}

void SynthesizeHeader(TxImage& tx) {
    const HeaderBytes header = tx.Header();
    std::string fileName;
    if (FileNameOfPath(tx.sourcePath, fileName) != 0) {
        fileName = tx.sourcePath;
    }
    // The header and the home computer know code page 1252 only.
    const std::string name = Utf8ToCp1252(fileName);
    const std::uint32_t length = tx.dataLength;

    std::copy_n(kCreatorTag, 6, header.begin() + kCreatorTagOffset);
    std::fill_n(header.begin() + kMarkerOffset, 3, kMarkerByte);
    SetHeaderTypeLetter(header, kSynthesizedType);

    const std::int32_t first = FindText(1, name, "_");
    if (first >= 1) {
        SetTrimmedName(header, LeftChars(name, static_cast<std::size_t>(first - 1)));
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
    SetTrimmedName(header, dot >= 1 ? LeftChars(name, static_cast<std::size_t>(dot - 1)) : name);
    SetHeaderAadr(header, kDefaultLoadAddress);
    SetHeaderEadr(header, kDefaultLoadAddress + length - 1);
    SetHeaderSadr(header, kDefaultLoadAddress);
}

std::uint16_t SetImageLoadAddress(TxImage& tx, std::uint32_t aadr) {
    const auto eadr = static_cast<std::uint16_t>(aadr + tx.dataLength - 1);
    SetHeaderAadr(tx.Header(), aadr);
    SetHeaderEadr(tx.Header(), eadr);
    return eadr;
}

bool DataRunsPastTop(const TxImage& tx) {
    return tx.dataLength > 0 && HeaderAadr(tx.Header()) + tx.dataLength - 1 > 0xFFFFu;
}

void SetImageName(TxImage& tx, std::string name) {
    SetTrimmedName(tx.Header(), std::move(name));
}

void NormalizeShownHeader(TxImage& tx) {
    SetImageLoadAddress(tx, HeaderAadr(tx.Header()));
    SetTrimmedName(tx.Header(), HeaderName(tx.Header()));
}

}  // namespace velotrix
