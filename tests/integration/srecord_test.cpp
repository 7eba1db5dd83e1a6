// Intel HEX against a reader and writer we did not write: srec_cat and srec_info from Debian's
// srecord. Our records go through srec_cat back to binary, and srec_cat's HEX loads in ours, byte
// for byte, with the addresses both sides give.
#include <gtest/gtest.h>

#include <sstream>

#include "image/intel_hex.h"
#include "image/tx_image.h"
#include "support/rig.h"
#include "support/srecord.h"
#include "text/text_helpers.h"

namespace velotrix::test {
namespace {

// What srec_info says of a HEX file: its data ranges and start address, as "Data: 4200 - 4263".
std::string SrecInfo(const std::string& path) {
    const auto [status, output] = Shell("srec_info " + Quoted(path) + " -intel");
    EXPECT_EQ(status, 0) << output;
    std::string info;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("Execution Start Address: ") || line.starts_with("Data:")) {
            info += (info.empty() ? "" : "|") + line;
        }
    }
    return info;
}

TEST(Srecord, OurRecordsReadBySrecCatGiveTheSameBytes) {
    const struct {
        std::size_t size;
        std::uint16_t address;
        std::size_t recordBytes;
        std::optional<std::uint16_t> start;
        const char* lineEnd;
        std::string info;  // srec_info's words for the file
    } rows[] = {
        {1, 0x0000, 16, std::nullopt, "\r\n", "Data:   0000 - 0000"},
        {100, 0x4200, 16, 0x420A, "\r\n", "Execution Start Address: 0000420A|Data:   4200 - 4263"},
        {4096, 0x0100, 32, std::nullopt, "\n", "Data:   0100 - 10FF"},
        {256, 0xFF00, 32, 0x0000, "\r\n", "Execution Start Address: 00000000|Data:   FF00 - FFFF"},
        {65504, 0x0000, 32, std::nullopt, "\r\n", "Data:   0000 - FFDF"},
    };
    const TempDir dir;
    unsigned seed = 1;
    for (const auto& row : rows) {
        SCOPED_TRACE(Hex4(row.address) + " " + CountToDecimal(row.size));
        const Bytes data = RandomBytes(row.size, seed++);
        std::string text;
        for (const std::string& record :
             IntelHexRecords(data, row.address, row.recordBytes, row.start)) {
            text += record + row.lineEnd;
        }
        const std::string hex = dir.Write("ours.hex", text);
        EXPECT_TRUE(SrecCatBinary(dir, Quoted(hex) + " -intel", row.address) ==
                    std::string(data.begin(), data.end()));
        EXPECT_EQ(SrecInfo(hex), row.info);
    }
}

TEST(Srecord, SrecCatsHexLoadsInOursByteForByte) {
    const TempDir dir;
    const Bytes first = RandomBytes(1000, 7);
    const Bytes second = RandomBytes(77, 8);
    const std::string a = Quoted(dir.Write("a.bin", first));
    const std::string b = Quoted(dir.Write("b.bin", second));
    const struct {
        std::string input;    // srec_cat's inputs, placed at their addresses
        std::string options;  // how srec_cat writes the HEX
        const char* shown;    // our header: AADR EADR SADR, the gap bytes filled
    } rows[] = {
        {a + " -binary -offset 0x4000", "", "4000 43E7 4000 0"},
        {a + " -binary -offset 0x4000", "-address-length=2 -output_block_size=16",
         "4000 43E7 4000 0"},
        {a + " -binary -offset 0xC000", "-execution-start-address 0xC123", "C000 C3E7 C123 0"},
        {a + " -binary -offset 0x0100",
         "-execution-start-address 0x0123 -address-length=2 -line-termination=nl",
         "0100 04E7 0123 0"},
        {a + " -binary -offset 0x2000 " + b + " -binary -offset 0x2500",
         "-execution-start-address 0x2500 -output_block_size=255", "2000 254C 2500 280"},
        {b + " -binary -offset 0xFFB3", "-line-termination=cr", "FFB3 FFFF FFB3 0"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.input + " " + row.options);
        const std::string hex = dir.File("theirs.hex");
        const auto [status, output] =
            Shell("srec_cat " + row.input + " -o " + Quoted(hex) + " -intel " + row.options);
        ASSERT_EQ(status, 0) << output;
        TxImage tx;
        const LoadResult loaded = LoadTxFile(tx, hex);
        ASSERT_TRUE(tx.loaded) << loaded.message;
        EXPECT_EQ(Hex4(HeaderAadr(tx.Header())) + " " + Hex4(HeaderEadr(tx.Header())) + " " +
                      Hex4(HeaderSadr(tx.Header())) + " " + CountToDecimal(loaded.filledBytes),
                  row.shown);
        // srec_cat's binary of the same inputs from the lowest address.
        EXPECT_TRUE(SrecCatBinary(dir, row.input, HeaderAadr(tx.Header())) ==
                    std::string(tx.Data().begin(), tx.Data().end()));
    }
}

}  // namespace
}  // namespace velotrix::test
