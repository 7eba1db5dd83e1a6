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

TEST(Z80Header, MarkerNeedsAllBitsOfD3InEachOfTheThreeBytes) {
    Header h{};
    h[13] = h[14] = h[15] = 0xFF;
    EXPECT_TRUE(HasZ80Marker(h));
    h[15] = 0xD2;
    EXPECT_FALSE(HasZ80Marker(h));
    for (std::size_t position = 13; position <= 15; ++position) {
        int passing = 0;
        for (int value = 0; value < 256; ++value) {
            h[13] = h[14] = h[15] = kMarkerByte;
            h[position] = static_cast<std::uint8_t>(value);
            passing += HasZ80Marker(h) ? 1 : 0;
        }
        EXPECT_EQ(passing, 8) << "byte " << position;
    }
}

TEST(Z80Header, FieldsAreLittleEndianAndNameEndsAtZero) {
    Header h{};
    SetHeaderAadr(h, 0x14000);
    SetHeaderEadr(h, 0x4FFF);
    EXPECT_EQ(std::vector<std::uint8_t>(h.begin(), h.begin() + 4),
              (std::vector<std::uint8_t>{0x00, 0x40, 0xFF, 0x4F}));
    EXPECT_EQ(HeaderAadr(h), 0x4000);

    const std::string_view hello("HELLO\0\0\0\0\0\0\0\0\0\0\0", 16);
    std::copy(hello.begin(), hello.end(), h.begin() + kNameOffset);
    EXPECT_EQ(HeaderName(h), "HELLO");
    SetHeaderName(h, "A VERY LONG PROGRAM NAME");
    EXPECT_EQ(HeaderName(h), "A VERY LONG PROG");
    EXPECT_EQ(h[15], 0x00) << "the name must not reach into the marker";
}

TEST(Z80Header, FileTypeTable) {
    ASSERT_EQ(FileTypeTable().size(), 189u);
    EXPECT_EQ(FileTypeEntry(6), "A = ausf\xFChrbar, Auto ");
    EXPECT_EQ(FileTypeEntry(8), "Unbekannt            ");
    const std::string_view letters = "PBFQTDACU";
    for (std::size_t i = 0; i < kFileTypeCount; ++i) {
        EXPECT_EQ(TypeIndexOfLetter(letters[i]), static_cast<int>(i));
    }
    EXPECT_EQ(TypeIndexOfLetter('b'), -1);
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

TEST(Crc16, CheckValueEmptyInputAndAgreementWithTheBitwiseForm) {
    const std::string_view digits = "123456789";
    EXPECT_EQ(Crc16(std::vector<std::uint8_t>(digits.begin(), digits.end())), 0x29B1);
    EXPECT_EQ(Crc16({}), 0xFFFF);

    std::mt19937 random(1234);
    for (std::size_t n = 1; n <= 65504; n += n < 300 ? 1 : 4093) {
        std::vector<std::uint8_t> bytes(n);
        for (auto& b : bytes) {
            b = static_cast<std::uint8_t>(random());
        }
        ASSERT_EQ(Crc16(bytes), BitwiseCrc(bytes)) << "length " << n;
    }
}

}  // namespace
}  // namespace velotrix
