// BIN files (a .COM file is one too): the data alone, with a header made from the file's name.
#pragma once

#include <cstdint>
#include <string_view>

#include "image/z80_header.h"

namespace velotrix {

// Where a file whose name gives no address is loaded and started.
inline constexpr std::uint32_t kDefaultLoadAddress = 0x4000;

// Fills all 32 header bytes for length data bytes from the file name behind the last separator of
// path (UTF-8): NAME_AADR_EADR_SADR gives the name and the addresses, a name without "_" the
// name before its first "." at kDefaultLoadAddress. Type P, creator tag "AC1KZV", the marker.
void SynthesizeHeader(HeaderBytes header, std::string_view path, std::uint32_t length);

}  // namespace velotrix
