// CRC-16 with polynomial 1021h, computed byte by byte without a table.
#include "image/crc16.h"

namespace velotrix {

std::uint16_t Crc16(std::span<const std::uint8_t> bytes, std::uint16_t initial) {
    std::uint16_t crc = initial;
    for (std::uint8_t b : bytes) {
        std::uint8_t x = static_cast<std::uint8_t>((crc >> 8) ^ b);
        x = static_cast<std::uint8_t>(x ^ (x >> 4));
        crc = static_cast<std::uint16_t>((crc << 8) ^ (x << 12) ^ (x << 5) ^ x);
    }
    return crc;
}

}  // namespace velotrix
