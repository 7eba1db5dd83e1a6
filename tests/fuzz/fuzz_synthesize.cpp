// Fuzz target: the header made for a BIN file from arbitrary file names and data lengths.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "image/bin_format.h"
#include "image/tx_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velotrix;
    if (size < 2) {
        return 0;
    }
    static TxImage tx;
    // The header must not spill into the data behind it.
    constexpr std::size_t kWatched = 2 * kHeaderSize;
    std::fill_n(tx.image.begin(), kWatched, 0x5A);
    tx.dataLength = static_cast<std::uint32_t>((data[0] | (data[1] << 8)) % (kMaxDataLength + 1));
    tx.sourcePath.assign(reinterpret_cast<const char*>(data + 2), size - 2);
    SynthesizeHeader(tx.Header(), tx.sourcePath, tx.dataLength);

    const ConstHeaderBytes header = std::as_const(tx).Header();
    if (!HasZ80Marker(header) || HeaderTypeLetter(header) != 'P' ||
        std::memcmp(header.data() + kCreatorTagOffset, "AC1KZV", 6) != 0) {
        std::abort();
    }
    if (HeaderEadr(header) != static_cast<std::uint16_t>(HeaderAadr(header) + tx.dataLength - 1)) {
        std::abort();
    }
    if (std::any_of(tx.image.begin() + kHeaderSize, tx.image.begin() + kWatched,
                    [](std::uint8_t b) { return b != 0x5A; })) {
        std::abort();
    }
    return 0;
}
