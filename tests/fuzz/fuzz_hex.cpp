// Fuzz target: reading any text as Intel HEX. An image that is taken spans at most what fits
// behind a header, names no fault, and written as records reads back as the same image; a
// refusal names a line that the text has.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

#include "image/file_format.h"
#include "image/intel_hex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velotrix;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const HexImage image = ReadIntelHex(text);
    const HexFaultAt fault = image.FirstFault();
    const auto lineEnds = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n') +
                                                   std::count(text.begin(), text.end(), '\r'));
    const bool otherLineRight = fault.fault == HexFault::kOverlap
                                    ? fault.otherLine >= 1 && fault.otherLine < fault.line
                                    : fault.otherLine == 0;
    if (image.lines > lineEnds + 1 || fault.line > image.lines || !otherLineRight) {
        std::abort();
    }
    if (!image.ok()) {
        return 0;
    }
    if (image.data.empty() || image.data.size() > kMaxDataLength ||
        image.lowest + image.data.size() > 0x10000 || image.filledBytes >= image.data.size()) {
        std::abort();
    }
    std::string written;
    for (const std::string& record :
         IntelHexRecords(image.data, image.lowest, 1 + data[0] % 255, image.start)) {
        written += record + "\r\n";
    }
    const HexImage again = ReadIntelHex(written);
    if (!again.ok() || again.data != image.data || again.lowest != image.lowest ||
        again.start != image.start || again.filledBytes != 0) {
        std::abort();
    }
    return 0;
}
