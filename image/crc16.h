// The checksum shown for the data part of every transfer: CRC-16/CCITT-FALSE; with a zero initial
// value the same sum is XMODEM's block check.
#pragma once

#include <cstdint>
#include <span>

namespace velotrix {

// Polynomial 1021h, no reflection, no final XOR; the initial value over no bytes. FFFFh gives
// CRC-16/CCITT-FALSE, 0 gives CRC-16/XMODEM.
std::uint16_t Crc16(std::span<const std::uint8_t> bytes, std::uint16_t initial = 0xFFFF);

}  // namespace velotrix
