// Fuzz target: loading any file to send. The image never holds more than fits behind its header,
// a load either takes every byte of the file or leaves the image as it was, and a z80 file keeps
// its own header.
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "image/tx_image.h"

namespace {

const std::string& FilePath() {
    static const std::string path = [] {
        std::string pattern = "/tmp/velotrix-fuzz-load-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        return pattern + "/P_1000.bin";
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velotrix;
    // Mostly the bytes as they are; a first byte of FFh makes a file of the largest sizes.
    std::vector<std::uint8_t> file(data, data + size);
    if (size > 2 && data[0] == 0xFF) {
        file.resize(65536 - 40 + data[1] % 80, data[2]);
    }
    std::ofstream(FilePath(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
    TxImage tx;
    LoadTxFile(tx, FilePath());
    if (!tx.loaded) {
        return 0;
    }
    const bool z80 =
        file.size() >= kHeaderSize && HasZ80Marker(ConstHeaderBytes(file.data(), kHeaderSize));
    const std::size_t at = z80 ? 0 : kHeaderSize;
    if (tx.dataLength > kImageSize - kHeaderSize || file.size() < kHeaderSize ||
        tx.dataLength != file.size() - (z80 ? kHeaderSize : 0) ||
        std::memcmp(tx.image.data() + at, file.data(), file.size()) != 0) {
        std::abort();
    }
    return 0;
}
