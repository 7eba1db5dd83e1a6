// The transmit image: a z80 header followed by the data, loaded from a .bin, .z80 or .COM file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/z80_header.h"
#include "platform/file_io.h"

namespace velotrix {

inline constexpr std::size_t kImageSize = 65536;
inline constexpr std::uint32_t kMaxDataLength = kImageSize - kHeaderSize;  // 65,504
inline constexpr std::uint32_t kDefaultLoadAddress = 0x4000;

struct TxImage {
    std::vector<std::uint8_t> image = std::vector<std::uint8_t>(kImageSize);
    bool loaded = false;
    std::uint32_t dataLength = 0;  // data bytes behind the header; meaningful while loaded
    std::string sourcePath;        // native path of the file, kept for a refresh

    HeaderBytes Header() { return HeaderBytes(image.data(), kHeaderSize); }
    ConstHeaderBytes Header() const { return ConstHeaderBytes(image.data(), kHeaderSize); }
    std::span<const std::uint8_t> Data() const { return {image.data() + kHeaderSize, dataLength}; }
    // Header and data as they go on the line.
    std::span<const std::uint8_t> HeaderAndData() const {
        return {image.data(), kHeaderSize + dataLength};
    }
};

enum class LoadStatus { kLoaded, kCannotOpen, kTooBig, kTooSmall };

struct LoadResult {
    LoadStatus status = LoadStatus::kCannotOpen;
    bool isZ80 = false;   // the file brought its own header
    std::string message;  // the box to show (code page 1252), empty when none
    std::string caption;
    FileReadStatus fileStatus = FileReadStatus::kRead;  // why the file could not be read
    int osError = 0;                                    // the OS's error, where it gave one
};

// Loads the file at path into the image (the file side of "BIN/Z80 laden" and "Refresh"): sets
// sourcePath, dataLength and loaded. A z80 file is taken as it is; any other file is moved 32 bytes
// up through scratch (kImageSize bytes) and gets a header from SynthesizeHeader. On failure loaded
// is false, and the image keeps whatever it held (a file that is too big is never read into it).
LoadResult LoadTxFile(TxImage& tx, const std::string& path, std::span<std::uint8_t> scratch);

// Sets the load address (AADR) and the end address (EADR) that follows from it and the data
// length, so that the header always describes the bytes that go on the line. Returns EADR.
std::uint16_t SetImageLoadAddress(TxImage& tx, std::uint32_t aadr);

// Whether the data run past FFFFh from the header's load address: their end address has wrapped
// as the header's 16 bits do.
bool DataRunsPastTop(const TxImage& tx);

// Sets the name trimmed and filled with spaces, as the window's name field writes it.
void SetImageName(TxImage& tx, std::string name);

// The header as the window's TX fields show it and write it back after a load: the end address
// that follows from the load address and the length, and the trimmed name filled with spaces.
void NormalizeShownHeader(TxImage& tx);

// Fills header bytes 0-31 from the file name in sourcePath (NAME_AADR_EADR_SADR convention) and
// dataLength.
void SynthesizeHeader(TxImage& tx);

}  // namespace velotrix
