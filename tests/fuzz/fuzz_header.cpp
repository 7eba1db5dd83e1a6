// Fuzz target: decoding a z80 header and testing its marker on arbitrary received bytes.
#include <cstdlib>
#include <cstring>

#include "image/crc16.h"
#include "image/z80_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velotrix;
    if (size < kHeaderSize) {
        return 0;
    }
    const ConstHeaderBytes header(data, kHeaderSize);
    const bool marker = HasZ80Marker(header);
    if (marker != ((data[13] & data[14] & data[15] & kMarkerByte) == kMarkerByte)) {
        std::abort();
    }
    const std::string name = HeaderName(header);
    if (name.size() > kHeaderNameSize || name.find('\0') != std::string::npos ||
        std::memcmp(name.data(), data + kNameOffset, name.size()) != 0) {
        std::abort();
    }
    const int type = TypeIndexOfLetter(HeaderTypeLetter(header));
    if (type >= 0 && TypeLetterAt(static_cast<std::size_t>(type)) != HeaderTypeLetter(header)) {
        std::abort();
    }

    // Writing the decoded fields back must give the same bytes.
    std::uint8_t copy[kHeaderSize];
    std::memcpy(copy, data, kHeaderSize);
    const HeaderBytes rewritten(copy, kHeaderSize);
    SetHeaderAadr(rewritten, HeaderAadr(header));
    SetHeaderEadr(rewritten, HeaderEadr(header));
    SetHeaderSadr(rewritten, HeaderSadr(header));
    SetHeaderTypeLetter(rewritten, HeaderTypeLetter(header));
    if (std::memcmp(copy, data, kHeaderSize) != 0) {
        std::abort();
    }
    Crc16({data + kHeaderSize, size - kHeaderSize});
    return 0;
}
