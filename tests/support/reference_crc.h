// CRC-16 with polynomial 1021h bit by bit, as the catalogue of CRCs defines it, to hold the
// program's own against: initial value 0 makes CRC-16/XMODEM, FFFFh CRC-16/CCITT-FALSE.
#pragma once

#include <cstdint>
#include <vector>

namespace velotrix::test {

inline std::uint16_t ReferenceCrc16(const std::vector<std::uint8_t>& bytes, std::uint16_t initial) {
    std::uint16_t crc = initial;
    for (const std::uint8_t byte : bytes) {
        crc ^= static_cast<std::uint16_t>(byte << 8);
        for (int bit = 0; bit < 8; ++bit) {
            crc = static_cast<std::uint16_t>((crc & 0x8000) != 0 ? (crc << 1) ^ 0x1021 : crc << 1);
        }
    }
    return crc;
}

}  // namespace velotrix::test
