// Tests of loading files into the transmit image and of the header made from a BIN file's name.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "image/tx_image.h"
#include "support/temp_dir.h"

namespace velotrix {
namespace {

using test::TempDir;

// The 32 bytes a synthesized header must hold.
std::vector<std::uint8_t> ExpectedHeader(std::string_view name, std::uint16_t aadr,
                                         std::uint16_t eadr, std::uint16_t sadr) {
    std::string h;
    for (std::uint16_t address : {aadr, eadr, sadr}) {
        h += static_cast<char>(address & 0xFF);
        h += static_cast<char>(address >> 8);
    }
    h += "AC1KZVP\xD3\xD3\xD3";
    h += name;
    h.resize(kHeaderSize, ' ');
    return {h.begin(), h.end()};
}

TEST(SynthesizeHeader, FromFileNameAndLength) {
    const struct {
        const char* path;
        std::uint32_t length;
        const char* name;
        std::uint16_t aadr, eadr, sadr;
    } rows[] = {
        {"HELLO_4000_5FFF_4100.bin", 4096, "HELLO", 0x4000, 0x4FFF, 0x4100},
        {"HELLO_4000_5FFF.bin", 4096, "HELLO", 0x4000, 0x4FFF, 0x4000},
        {"HELLO.bin", 256, "HELLO", 0x4000, 0x40FF, 0x4000},
        {"hi_c000.bin", 16, "hi", 0xC000, 0xC00F, 0xC000},
        {"HI_F000.bin", 8192, "HI", 0xF000, 0x0FFF, 0xF000},
        {"my.game_1000.bin", 32, "my.game", 0x1000, 0x101F, 0x1000},
        {"my.game.bin", 32, "my", 0x4000, 0x401F, 0x4000},
        {"A VERY LONG PROGRAM NAME_2000.bin", 32, "A VERY LONG PROG", 0x2000, 0x201F, 0x2000},
        {"_2000.bin", 32, "", 0x2000, 0x201F, 0x2000},
        {"GAME_12.bin", 256, "GAME", 0x12EB, 0x13EA, 0x12EB},
        // The start address is four characters as they stand, extension included.
        {"A_1_2_3.bin", 32, "A", 0x1828, 0x1847, 0x3EB2},
        {"/home/u/my_dir/HELLO.bin", 32, "HELLO", 0x4000, 0x401F, 0x4000},
        {"  SPACED  _ 100.COM", 32, "SPACED", 0x0100, 0x011F, 0x0100},
        {"README", 100, "README", 0x4000, 0x4063, 0x4000},
        {"M\xC3\xBChle.bin", 32, "M\xFChle", 0x4000, 0x401F, 0x4000},
        {"\xE6\x97\xA5\xE6\x9C\xAC_1000.bin", 32, "??", 0x1000, 0x101F, 0x1000},
    };
    for (const auto& row : rows) {
        TxImage tx;
        std::fill_n(tx.image.begin(), kHeaderSize, 0xAA);
        tx.sourcePath = row.path;
        tx.dataLength = row.length;
        SynthesizeHeader(tx);
        const std::vector<std::uint8_t> header(tx.image.begin(), tx.image.begin() + kHeaderSize);
        EXPECT_EQ(header, ExpectedHeader(row.name, row.aadr, row.eadr, row.sadr)) << row.path;
    }
}

class TxImageLoad : public ::testing::Test {
  protected:
    std::vector<std::uint8_t> FileOf(std::size_t size, bool marker) {
        std::vector<std::uint8_t> bytes(size);
        for (std::size_t i = 0; i < size; ++i) {
            bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
        }
        if (size >= kHeaderSize) {
            std::fill_n(bytes.begin() + 13, 3, marker ? 0xD3 : 0x00);
        }
        return bytes;
    }

    LoadResult Load(const std::string& path) { return LoadTxFile(tx_, path, scratch_); }

    TempDir dir_;
    TxImage tx_;
    std::vector<std::uint8_t> scratch_ = std::vector<std::uint8_t>(kImageSize);
};

TEST_F(TxImageLoad, SizesAndKinds) {
    const struct {
        std::size_t size;
        bool marker;
        LoadStatus status;
        std::uint32_t dataLength;
    } cases[] = {
        {0, false, LoadStatus::kTooSmall, 0},       {31, false, LoadStatus::kTooSmall, 0},
        {32, true, LoadStatus::kLoaded, 0},         {32, false, LoadStatus::kLoaded, 32},
        {65504, false, LoadStatus::kLoaded, 65504}, {65505, false, LoadStatus::kTooBig, 0},
        {65536, false, LoadStatus::kTooBig, 0},     {65536, true, LoadStatus::kLoaded, 65504},
        {65537, true, LoadStatus::kTooBig, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size << " bytes, marker " << c.marker);
        const std::vector<std::uint8_t> bytes = FileOf(c.size, c.marker);
        const std::string path = dir_.Write("FILE_2000.bin", bytes);
        std::fill(tx_.image.begin(), tx_.image.end(), 0x5A);
        const LoadResult result = Load(path);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(tx_.loaded, c.status == LoadStatus::kLoaded);
        EXPECT_EQ(tx_.dataLength, c.dataLength);
        EXPECT_EQ(result.message, c.status == LoadStatus::kTooBig ? "Datei zu gro\xDF (max. 64k)..."
                                  : c.status == LoadStatus::kTooSmall
                                      ? "Datei zu klein (min. 32 Bytes)..."
                                      : "");
        EXPECT_EQ(result.caption, result.message.empty() ? "" : "Info");
        if (c.status != LoadStatus::kLoaded) {
            EXPECT_TRUE(std::all_of(tx_.image.begin(), tx_.image.end(), [](std::uint8_t b) {
                return b == 0x5A;
            })) << "a refused file must leave the image alone";
            continue;
        }
        EXPECT_EQ(result.isZ80, c.marker);
        if (c.marker) {
            EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), tx_.image.begin()));
        } else {
            EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), tx_.image.begin() + kHeaderSize));
            EXPECT_EQ(HeaderEadr(tx_.Header()), static_cast<std::uint16_t>(0x2000 + c.size - 1));
        }
    }
}

TEST_F(TxImageLoad, BytesNotExtensionDecideTheKind) {
    std::vector<std::uint8_t> bytes = FileOf(100, true);
    std::copy_n("XYZXYZB", 7, bytes.begin() + kCreatorTagOffset);
    const LoadResult accidental = Load(dir_.Write("DATA.bin", bytes));
    EXPECT_TRUE(accidental.isZ80);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), tx_.image.begin())) << "header kept as read";

    EXPECT_FALSE(Load(dir_.Write("TOOL.COM", FileOf(64, false))).isZ80);
    EXPECT_EQ(HeaderTypeLetter(tx_.Header()), 'P');
    EXPECT_EQ(HeaderName(tx_.Header()), "TOOL            ");
}

TEST_F(TxImageLoad, UnopenableFilesFailWithoutMessage) {
    ASSERT_EQ(Load(dir_.Write("GOOD.bin", FileOf(64, false))).status, LoadStatus::kLoaded);
    const std::string fifo = dir_.File("pipe.bin");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {dir_.File("missing.bin"), dir_.path(), fifo, std::string()}) {
        const LoadResult result = Load(path);
        EXPECT_EQ(result.status, LoadStatus::kCannotOpen) << path;
        EXPECT_TRUE(result.message.empty());
        EXPECT_FALSE(tx_.loaded);
        EXPECT_EQ(tx_.sourcePath, path) << "kept for a refresh";
    }
}

}  // namespace
}  // namespace velotrix
