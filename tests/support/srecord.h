// What the tests against srecord's srec_cat share: a shell command with what it printed, and the
// binary srec_cat makes.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <utility>

#include "support/random_bytes.h"
#include "support/rig.h"
#include "text/text_helpers.h"

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

// srec_cat's binary of its inputs (srec_cat's words for them) from address on, holes filled with
// zeros.
inline std::string SrecCatBinary(const TempDir& dir, const std::string& input,
                                 std::uint16_t address) {
    const std::string bin = dir.File("theirs.bin");
    const auto [status, output] =
        Shell("srec_cat '(' " + input + " ')' -offset -" + CountToDecimal(address) + " -o " +
              Quoted(bin) + " -binary");
    EXPECT_EQ(status, 0) << output;
    return ReadFileBytes(bin).value_or("srec_cat wrote nothing");
}

}  // namespace velotrix::test
