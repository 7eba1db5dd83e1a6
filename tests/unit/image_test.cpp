// The data rules of the z80 image: the marker, the CRC, the header made from a file name, what a
// load takes, the suggested save name and the save itself.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "image/crc16.h"
#include "image/rx_save.h"
#include "image/tx_image.h"
#include "support/rig.h"

namespace velotrix::test {
namespace {

TEST(Image, MarkerAndCrc) {
    Bytes header = Z80File(0, 0, 0, 'P', "", 0);
    for (std::size_t at = kMarkerOffset; at < kMarkerOffset + 3; ++at) {
        int passing = 0;
        for (int value = 0; value < 256; ++value) {
            header[at] = static_cast<std::uint8_t>(value);
            passing += HasZ80Marker(ConstHeaderBytes(header.data(), kHeaderSize)) ? 1 : 0;
        }
        header[at] = kMarkerByte;
        EXPECT_EQ(passing, 8) << "every bit of D3h must be set in byte " << at;
    }
    EXPECT_EQ(Crc16(Bytes{'1', '2', '3', '4', '5', '6', '7', '8', '9'}), 0x29B1);
}

TEST(Image, HeaderMadeFromTheFileName) {
    const struct {
        const char* path;
        std::uint32_t length;
        std::string name;
        std::uint16_t aadr, eadr, sadr;
    } rows[] = {
        {"HELLO_4000_5FFF_4100.bin", 4096, "HELLO", 0x4000, 0x4FFF, 0x4100},
        {"HI_F000.bin", 8192, "HI", 0xF000, 0x0FFF, 0xF000},
        {"my.game_1000.bin", 32, "my.game", 0x1000, 0x101F, 0x1000},
        {"A VERY LONG PROGRAM NAME_12.bin", 32, "A VERY LONG PROG", 0x12EB, 0x130A, 0x12EB},
        {"/u/my_dir/  A_1_2_3.bin", 32, "A", 0x1828, 0x1847, 0x3EB2},
        {"M\xC3\xBChle", 256, "M\xFChle", 0x4000, 0x40FF, 0x4000},
    };
    for (const auto& row : rows) {
        TxImage tx;
        tx.sourcePath = row.path;
        tx.dataLength = row.length;
        SynthesizeHeader(tx);
        Bytes expected =
            Z80File(row.aadr, row.eadr, row.sadr, 'P', row.name + std::string(16, ' '), 0);
        std::copy_n("AC1KZV", 6, expected.begin() + kCreatorTagOffset);
        EXPECT_EQ(Bytes(tx.image.begin(), tx.image.begin() + kHeaderSize), expected) << row.path;
    }
}

TEST(Image, LoadTakesFilesOf32To65504DataBytes) {
    const TempDir dir;
    ASSERT_EQ(mkfifo(dir.File("pipe").c_str(), 0600), 0);
    const struct {
        std::size_t size;  // of a file "F_2000.bin" with a marker or not, else the path below
        bool marker;
        std::string path;
        std::uint32_t dataLength;  // when loaded
        std::string message;
    } cases[] = {
        {31, false, "", 0, "Datei zu klein (min. 32 Bytes)..."},
        {32, true, "", 0, ""},
        {32, false, "", 32, ""},
        {65504, false, "", 65504, ""},
        {65505, false, "", 0, "Datei zu gro\xDF (max. 64k)..."},
        {65536, true, "", 65504, ""},
        {65537, true, "", 0, "Datei zu gro\xDF (max. 64k)..."},
        {0, false, dir.File("pipe"), 0, ""},
        {0, false, dir.path(), 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.size) + c.path);
        Bytes bytes = CountingBytes(c.size);
        std::fill_n(bytes.begin() + (c.size >= kHeaderSize ? kMarkerOffset : 0),
                    c.size >= kHeaderSize ? 3 : 0, c.marker ? kMarkerByte : 0);
        TxImage tx;
        std::fill(tx.image.begin(), tx.image.end(), 0x5A);
        std::vector<std::uint8_t> scratch(kImageSize);
        const LoadResult result =
            LoadTxFile(tx, c.path.empty() ? dir.Write("F_2000.bin", bytes) : c.path, scratch);
        const bool loaded = c.message.empty() && c.path.empty();
        EXPECT_EQ(tx.loaded, loaded);
        EXPECT_EQ(result.message, c.message);
        EXPECT_EQ(tx.dataLength, c.dataLength);
        const auto at = tx.image.begin() + (c.marker || !loaded ? 0 : kHeaderSize);
        EXPECT_TRUE(loaded ? std::equal(bytes.begin(), bytes.end(), at)
                           : std::all_of(tx.image.begin(), tx.image.end(),
                                         [](auto b) { return b == 0x5A; }));
    }
}

TEST(Image, TheSuggestedNameIsAPlainFileNameHere) {
    const std::pair<std::string, std::string> cases[] = {
        {"HELLO           ", "HELLO.Z80"},
        {"ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNO.Z80"},
        {"../../../x", "_._.._.._x.Z80"},
        {"a/b\\c:d*e?f\"<>|", "a_b_c_d_e_f____.Z80"},
        {"A\nB\x1B[2J", "A_B_[2J.Z80"},
        {"Gr\xFC\xDF\x80", "Gr___.Z80"},
        {".hidden", "_hidden.Z80"},
        {"CON", "_CON.Z80"},
        {"nul.txt", "_nul.txt.Z80"},
        {"COM1", "_COM1.Z80"},
        {"COM10", "COM10.Z80"},
        {"   ", "default.Z80"}};
    for (const auto& [field, name] : cases) {
        EXPECT_EQ(SuggestedSaveName(field, true), name) << field;
    }
    EXPECT_EQ(SuggestedSaveName("HELLO", false), "default.bin");
}

TEST(Image, SaveWritesEveryByteOrSaysWhy) {
    const TempDir dir;
    const std::string path = dir.Write(
        "Gr\xC3\xBC\xC3\x9F"
        "e.Z80",
        std::string(5000, 'x'));
    const SaveResult saved = SaveRxBuffer(path, CountingBytes(768));
    EXPECT_EQ(saved.caption + " " + saved.message, "Datei wurde erfolgreich geschrieben. " +
                                                       dir.path() +
                                                       "/Gr\xFC\xDF"
                                                       "e.Z80");
    EXPECT_EQ(ReadFileBytes(path)->size(), 768u);
    for (const std::string& target :
         {dir.File("no/dir.bin"), dir.path(), std::string("/dev/full")}) {
        const SaveResult failed = SaveRxBuffer(target, CountingBytes(768));
        EXPECT_EQ(failed.caption + " " + failed.message,
                  (target == "/dev/full" ? "Fehler! Schreibfehler\r"
                                         : "Fehler! Datei ist nicht zu erzeugen\r") +
                      target);
    }
}

}  // namespace
}  // namespace velotrix::test
