// XMODEM's block frame and check, shared by its sender and receiver.
#include "serial/xmodem.h"

#include <numeric>

#include "image/crc16.h"

namespace velotrix::xmodem {

namespace {

std::uint8_t Checksum(std::span<const std::uint8_t> data) {
    return static_cast<std::uint8_t>(std::accumulate(data.begin(), data.end(), 0u));
}

}  // namespace

void AppendBlock(Bytes& out, std::uint32_t number, std::span<const std::uint8_t> data,
                 std::size_t size, Check check) {
    out.push_back(size == kLongBlock ? kStx : kSoh);
    out.push_back(static_cast<std::uint8_t>(number));
    out.push_back(static_cast<std::uint8_t>(~number));
    const std::size_t dataStart = out.size();
    out.insert(out.end(), data.begin(), data.end());
    out.resize(dataStart + size, kPad);
    const std::span<const std::uint8_t> padded(out.data() + dataStart, size);
    if (check == Check::kCrc16) {
        const std::uint16_t crc = Crc16(padded, 0);
        out.push_back(static_cast<std::uint8_t>(crc >> 8));
        out.push_back(static_cast<std::uint8_t>(crc));
    } else {
        out.push_back(Checksum(padded));
    }
}

bool BlockIntact(std::span<const std::uint8_t> body, std::size_t size, Check check) {
    if (body.size() != BodySize(size, check) ||
        static_cast<std::uint8_t>(body[0] ^ body[1]) != 0xFF) {
        return false;
    }
    const std::span<const std::uint8_t> data = body.subspan(2, size);
    if (check == Check::kCrc16) {
        const std::uint16_t crc = Crc16(data, 0);
        return body[2 + size] == static_cast<std::uint8_t>(crc >> 8) &&
               body[3 + size] == static_cast<std::uint8_t>(crc);
    }
    return body[2 + size] == Checksum(data);
}

void AppendCancel(Bytes& out) {
    out.insert(out.end(), kCancelCount, kCan);
}

}  // namespace velotrix::xmodem
