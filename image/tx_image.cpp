// Loading a file into the transmit image through its format, and the edits of the image's header.
#include "image/tx_image.h"

#include <algorithm>
#include <utility>

#include "platform/file_io.h"
#include "text/text_helpers.h"

namespace velotrix {

namespace {

LoadResult Refused(const DecodeResult& decoded) {
    LoadResult result;
    result.status = decoded.status;
    result.message = decoded.message;
    result.caption = decoded.caption;
    return result;
}

}  // namespace

LoadResult LoadTxFile(TxImage& tx, const std::string& path) {
    tx.sourcePath = path;
    tx.loaded = false;
    // A failed load leaves no length behind that could reach past the image.
    tx.dataLength = 0;
    if (path.empty() || tx.image.size() < kImageSize) {
        return Refused(FormatRefusal(LoadStatus::kCannotOpen));
    }
    std::vector<std::uint8_t> file(MaxFileSize(path));
    const FileReadResult read = ReadFileInto(path, file);
    if (read.status == FileReadStatus::kTooBig) {
        return Refused(FormatRefusal(LoadStatus::kTooBig));
    }
    if (read.status != FileReadStatus::kRead) {
        LoadResult refused = Refused(FormatRefusal(LoadStatus::kCannotOpen));
        refused.fileStatus = read.status;
        refused.osError = read.osError;
        return refused;
    }
    file.resize(read.size);

    const FileFormat& format = FormatOfFile(path, file);
    FileImage decoded;
    if (const DecodeResult result = format.Decode(file, path, decoded); !result.ok()) {
        LoadResult refused = Refused(result);
        refused.kind = format.Kind();
        return refused;
    }
    std::copy(decoded.header.begin(), decoded.header.end(), tx.image.begin());
    std::copy(decoded.data.begin(), decoded.data.end(), tx.image.begin() + kHeaderSize);
    tx.dataLength = static_cast<std::uint32_t>(decoded.data.size());
    tx.loaded = true;
    LoadResult result;
    result.status = LoadStatus::kLoaded;
    result.kind = format.Kind();
    result.filledBytes = decoded.filledBytes;
    return result;
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
    SetHeaderTrimmedName(tx.Header(), std::move(name));
}

void NormalizeShownHeader(TxImage& tx) {
    SetImageLoadAddress(tx, HeaderAadr(tx.Header()));
    SetHeaderTrimmedName(tx.Header(), HeaderName(tx.Header()));
}

}  // namespace velotrix
