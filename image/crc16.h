// The checksum shown for the data part of every transfer: CRC-16/CCITT-FALSE.
#pragma once

#include <cstdint>
#include <span>

namespace velotrix {

// Polynomial 1021h, initial value FFFFh, no reflection, no final XOR; FFFFh over no bytes.
std::uint16_t Crc16(std::span<const std::uint8_t> bytes);

}  // namespace velotrix
