// Random bytes, and a bad line's faults, the same for the same seed on every machine.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <span>
#include <vector>

namespace velotrix::test {

inline std::vector<std::uint8_t> RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(size);
    std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<std::uint8_t>(random()); });
    return bytes;
}

// The bytes as a bad line carries them: each one, at a chance of perMille in a thousand, corrupted,
// dropped or doubled, as the generator says; once: at most one of them.
inline std::vector<std::uint8_t> Faulted(std::span<const std::uint8_t> bytes, std::mt19937& random,
                                         unsigned perMille, bool once = false) {
    std::vector<std::uint8_t> carried;
    bool hit = false;
    for (const std::uint8_t byte : bytes) {
        const unsigned fault = random() % 1000 < perMille && !(once && hit) ? random() % 3 : 3;
        hit = hit || fault < 3;
        if (fault == 0) {
            carried.push_back(static_cast<std::uint8_t>(byte ^ (1 + random() % 255)));
        } else if (fault != 1) {
            carried.insert(carried.end(), fault == 2 ? 2 : 1, byte);
        }
    }
    return carried;
}

}  // namespace velotrix::test
