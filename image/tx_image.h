// The transmit image: a z80 header followed by the data, loaded from a BIN, z80, COM or HEX file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/file_format.h"
#include "image/z80_header.h"
#include "platform/file_io.h"

namespace velotrix {

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

struct LoadResult {
    LoadStatus status = LoadStatus::kCannotOpen;
    FormatKind kind = FormatKind::kBin;  // the format that read the file
    std::size_t filledBytes = 0;         // gap bytes of a HEX file filled with 00h
    std::string message;                 // the box to show (code page 1252), empty when none
    std::string caption;
    FileReadStatus fileStatus = FileReadStatus::kRead;  // why the file could not be read
    int osError = 0;                                    // the OS's error, where it gave one
};

// Loads the file at path into the image (the file side of "BIN/Z80 laden" and "Refresh") through
// the format that reads it (FormatOfFile): sets sourcePath, dataLength and loaded. On failure
// loaded is false, and the image keeps whatever it held: a file is decoded whole before any byte
// of it reaches the image, and one too large to read is not read at all.
LoadResult LoadTxFile(TxImage& tx, const std::string& path);

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

}  // namespace velotrix
