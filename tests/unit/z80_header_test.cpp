// Tests of the z80 header fields, the marker test, the file-type table and the CRC.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string_view>
#include <vector>

#include "image/crc16.h"
#include "image/z80_header.h"

namespace velotrix {
namespace {

using Header = std::array<std::uint8_t, kHeaderSize>;

Header WithMarker(std::uint8_t a, std::uint8_t b, std::uint8_t c) {
    Header h{};
    h[13] = a;
    h[14] = b;
    h[15] = c;
    return h;
}

TEST(Z80Header, MarkerNeedsAllBitsOfD3InEachOfTheThreeBytes) {
    EXPECT_TRUE(HasZ80Marker(WithMarker(0xD3, 0xD3, 0xD3)));
    EXPECT_TRUE(HasZ80Marker(WithMarker(0xFF, 0xFF, 0xFF)));
    EXPECT_FALSE(HasZ80Marker(WithMarker(0xD3, 0xD3, 0xD2)));
    EXPECT_FALSE(HasZ80Marker(WithMarker(0x53, 0xD3, 0xD3)));
    for (int position = 13; position <= 15; ++position) {
        int passing = 0;
        for (int value = 0; value < 256; ++value) {
            Header h = WithMarker(0xD3, 0xD3, 0xD3);
            h[static_cast<std::size_t>(position)] = static_cast<std::uint8_t>(value);
            passing += HasZ80Marker(h) ? 1 : 0;
        }
        EXPECT_EQ(passing, 8) << "byte " << position;
    }
}

TEST(Z80Header, FieldsAreLittleEndianAndNameEndsAtZero) {
    Header h{};
    SetHeaderAadr(h, 0x14000);
    SetHeaderEadr(h, 0x4FFF);
    SetHeaderSadr(h, 0x4100);
    SetHeaderTypeLetter(h, 'B');
    EXPECT_EQ(h[0], 0x00);
    EXPECT_EQ(h[1], 0x40);
    EXPECT_EQ(h[2], 0xFF);
    EXPECT_EQ(h[3], 0x4F);
    EXPECT_EQ(HeaderAadr(h), 0x4000);
    EXPECT_EQ(HeaderEadr(h), 0x4FFF);
    EXPECT_EQ(HeaderSadr(h), 0x4100);
    EXPECT_EQ(HeaderTypeLetter(h), 'B');

    const std::string_view hello("HELLO\0\0\0\0\0\0\0\0\0\0\0", 16);
    std::copy(hello.begin(), hello.end(), h.begin() + kNameOffset);
    EXPECT_EQ(HeaderName(h), "HELLO");

    SetHeaderName(h, "HI");
    EXPECT_EQ(HeaderName(h), "HI              ");
    SetHeaderName(h, "A VERY LONG PROGRAM NAME");
    EXPECT_EQ(HeaderName(h), "A VERY LONG PROG");
    EXPECT_EQ(h[15], 0x00) << "the name must not reach into the marker";
}

TEST(Z80Header, FileTypeTable) {
    const std::string_view table = FileTypeTable();
    ASSERT_EQ(table.size(), 189u);
    EXPECT_EQ(FileTypeEntry(0), "P = Maschinenprogramm");
    EXPECT_EQ(FileTypeEntry(6), "A = ausf\xFChrbar, Auto ");
    EXPECT_EQ(FileTypeEntry(7), "C = ausf\xFChrbar       ");
    EXPECT_EQ(FileTypeEntry(8), "Unbekannt            ");
    EXPECT_EQ(FileTypeEntry(9), "");
    const std::string_view letters = "PBFQTDACU";
    for (std::size_t i = 0; i < kFileTypeCount; ++i) {
        EXPECT_EQ(FileTypeEntry(i).size(), kFileTypeEntrySize);
        EXPECT_EQ(TypeLetterAt(i), letters[i]);
        EXPECT_EQ(TypeIndexOfLetter(letters[i]), static_cast<int>(i));
    }
    EXPECT_EQ(TypeIndexOfLetter('b'), -1);
    EXPECT_EQ(TypeIndexOfLetter('\0'), -1);
}

// The textbook bit-at-a-time form, to check the table-less byte-wise one against.
std::uint16_t BitwiseCrc(const std::vector<std::uint8_t>& bytes) {
    std::uint16_t crc = 0xFFFF;
    for (std::uint8_t b : bytes) {
        crc = static_cast<std::uint16_t>(crc ^ (b << 8));
        for (int bit = 0; bit < 8; ++bit) {
            crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
        }
    }
    return crc;
}

TEST(Crc16, CheckValueAndEmptyInput) {
    const std::string_view digits = "123456789";
    const std::vector<std::uint8_t> bytes(digits.begin(), digits.end());
    EXPECT_EQ(Crc16(bytes), 0x29B1);
    EXPECT_EQ(Crc16({}), 0xFFFF);
}

TEST(Crc16, AgreesWithTheBitwiseFormOnRandomInput) {
    std::mt19937 random(1234);
    std::vector<std::size_t> lengths;
    for (std::size_t n = 1; n <= 300; ++n) {
        lengths.push_back(n);
    }
    lengths.insert(lengths.end(), {4095, 4096, 65503, 65504});
    for (std::size_t n : lengths) {
        std::vector<std::uint8_t> bytes(n);
        for (auto& b : bytes) {
            b = static_cast<std::uint8_t>(random());
        }
        ASSERT_EQ(Crc16(bytes), BitwiseCrc(bytes)) << "length " << n;
    }
}

}  // namespace
}  // namespace velotrix
