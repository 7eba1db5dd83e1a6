// Random bytes, the same for the same seed on every machine.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace velotrix::test {

inline std::vector<std::uint8_t> RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(size);
    std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<std::uint8_t>(random()); });
    return bytes;
}

}  // namespace velotrix::test
