// What the tests against srecord's srec_cat share: a shell command with what it printed, and
// random data.
#pragma once

#include <algorithm>
#include <array>
#include <cstdio>
#include <random>
#include <string>
#include <utility>

#include "support/rig.h"

namespace velotrix::test {

// Its exit status and what it printed on stdout and stderr.
inline std::pair<int, std::string> Shell(const std::string& command) {
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return {-1, "popen failed"};
    }
    std::array<char, 512> chunk{};
    while (std::fgets(chunk.data(), chunk.size(), pipe) != nullptr) {
        output += chunk.data();
    }
    return {pclose(pipe), output};
}

// A path as one word of a command.
inline std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

inline Bytes RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes(size);
    std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<std::uint8_t>(random()); });
    return bytes;
}

}  // namespace velotrix::test
