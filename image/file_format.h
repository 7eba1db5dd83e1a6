// One seam for the file formats the program loads and writes: each turns a file's bytes into the
// image it loads (the header it goes out with and the data), and an image back into a file's bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "image/z80_header.h"

namespace velotrix {

// An image: the header and at most 65,504 data bytes behind it, 64 KiB in all.
inline constexpr std::size_t kImageSize = 65536;
inline constexpr std::uint32_t kMaxDataLength = kImageSize - kHeaderSize;

// The formats by what the window calls them after a load ("Geladen: BIN"). A .COM file is a BIN
// file: its bytes alone, with a header made from its name.
enum class FormatKind { kBin, kZ80, kHex };
// "BIN", "z80" or "HEX".
std::string_view FormatName(FormatKind kind);

enum class LoadStatus { kLoaded, kCannotOpen, kTooBig, kTooSmall, kRefused };

// An image as a file gives it, or as it is written to one.
struct FileImage {
    HeaderCopy header{};  // the addresses, name and type it goes out with
    std::vector<std::uint8_t> data;
    std::size_t filledBytes = 0;  // gaps between a HEX file's records, filled with 00h
};

// How a decode went: kLoaded, or why the file is refused, with the box to show (code page 1252).
struct DecodeResult {
    LoadStatus status = LoadStatus::kLoaded;
    std::string message;
    std::string caption;

    bool ok() const { return status == LoadStatus::kLoaded; }
};

class FileFormat {
  public:
    virtual ~FileFormat() = default;
    virtual FormatKind Kind() const = 0;
    // The file's bytes as an image; fileName (without folder) names the image where the bytes
    // do not. A refused file leaves image as it was.
    virtual DecodeResult Decode(std::span<const std::uint8_t> file, std::string_view fileName,
                                FileImage& image) const = 0;
    // The image as a file of this format.
    virtual std::vector<std::uint8_t> Encode(const FileImage& image) const = 0;
};

const FileFormat& BinFormat();
const FileFormat& Z80Format();
const FileFormat& HexFormat();  // records of 16 data bytes, lines ended with CR+LF

// A refusal of status with its box (the too-big and too-small boxes of every format).
DecodeResult FormatRefusal(LoadStatus status);

// The format that reads a file: Intel HEX by its name's extension (.hex, .ihx, in any case), since
// its text could as well be raw data; otherwise z80 when the first 32 bytes pass the marker test,
// otherwise BIN. The extension of any other file plays no part.
const FileFormat& FormatOfFile(std::string_view fileName, std::span<const std::uint8_t> bytes);
// True for a name ending in .hex or .ihx, in any case: an Intel HEX text.
bool IsHexFileName(std::string_view path);
// The most bytes read of a file of that name: the text of a 64 KiB image in HEX is larger.
std::size_t MaxFileSize(std::string_view fileName);

}  // namespace velotrix
