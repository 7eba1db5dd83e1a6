// Intel HEX: every rule of reading records, with the line each refusal names; the records written
// for an image; and the format seam that loads HEX, BIN, COM and z80 files into the image.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "image/file_format.h"
#include "image/intel_hex.h"
#include "image/tx_image.h"
#include "support/random_bytes.h"
#include "support/rig.h"
#include "support/row_file.h"
#include "text/hex_dump.h"
#include "text/text_helpers.h"

namespace velotrix::test {
namespace {

// A record from its length, address, type and data digits, with the checksum that makes its
// bytes add up to zero.
std::string Rec(std::string_view digits) {
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        sum = static_cast<std::uint8_t>(sum + HexToValue(digits.substr(i, 2)));
    }
    return ":" + std::string(digits) + Hex2(static_cast<std::uint8_t>(-sum));
}

const std::string kEnd = ":00000001FF";

// What a reading gives, as one line: the image or the first fault's text.
std::string Shown(const HexImage& image) {
    if (!image.ok()) {
        return HexFaultText(image.FirstFault());
    }
    return "AADR " + Hex4(image.lowest) + " Bytes " + CountToDecimal(image.data.size()) + " SADR " +
           (image.start ? Hex4(*image.start) : "-") + " gefuellt " +
           CountToDecimal(image.filledBytes) + (image.data.empty() ? ":" : ": ") +
           BytesAsHex(std::span(image.data).first(std::min<std::size_t>(image.data.size(), 8)));
}

// A row's text with each {DIGITS} made the record of those digits.
std::string Records(std::string_view text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t open = std::min(text.find('{', at), text.size());
        const std::size_t close = std::min(text.find('}', open), text.size());
        out += std::string(text.substr(at, open - at));
        out += open < text.size() ? Rec(text.substr(open + 1, close - open - 1)) : "";
        at = close + 1;
    }
    return out;
}

// The texts and receptions of tests/unit/intel_hex.rows, and what reading each gives.
TEST(IntelHex, ReadsEveryRecordAndRefusesByLine) {
    for (const FileRow& row :
         ReadRows("unit/intel_hex.rows", RowText::kCp1252, {"text", "reception"})) {
        const auto text = row.fields.find("text");
        const std::string read = Records(row.fields.begin()->second);
        const std::optional<HexImage> hex = text != row.fields.end()
                                                ? ReadIntelHex(read)
                                                : ReadHexReception(Bytes(read.begin(), read.end()));
        EXPECT_EQ("shown=" + (hex ? Shown(*hex) : "-"), row.expected) << row.name;
    }
}

TEST(IntelHex, EveryWrongChecksumIsNamedAndTheTextStaysHex) {
    const std::string good = Rec("02000000AABB");
    const std::string bad = ":0200020011223F";
    const HexImage image =
        ReadIntelHex(good + "\n" + bad + "\n" + Rec("02000400CCDD") + "\n" + bad + "\n" + kEnd);
    EXPECT_EQ(image.checksumLines, (std::vector<std::size_t>{2, 4}));
    EXPECT_TRUE(image.LinesAreRecords());
    EXPECT_FALSE(image.ok());
    // A record with a wrong checksum is not trusted: its bytes are left as a gap.
    EXPECT_EQ(image.data, (Bytes{0xAA, 0xBB, 0, 0, 0xCC, 0xDD}));
    for (const std::string& text : {good + "\nnot a record\n" + kEnd, good + "\n:0g\n" + kEnd,
                                    good + "\n:0200\n" + kEnd, std::string("\x01\x02")}) {
        EXPECT_FALSE(ReadIntelHex(text).LinesAreRecords()) << text;
    }
    EXPECT_TRUE(ReadIntelHex(good + "\n" + Rec("00000007") + "\n" + kEnd).LinesAreRecords());
}

TEST(IntelHex, WritesRecordsThatReadBackAsTheImage) {
    // Two records of a well-known example program, and the end record every tool writes.
    const std::string first = ":10010000214601360121470136007EFE09D2190140";
    const std::string second = ":100110002146017E17C20001FF5F16002148011928";
    const HexImage example = ReadIntelHex(first + "\n" + second + "\n" + kEnd);
    ASSERT_TRUE(example.ok());
    EXPECT_EQ(IntelHexRecords(example.data, example.lowest, 16), (Lines{first, second, kEnd}));
    EXPECT_EQ(IntelHexRecords(example.data, example.lowest, 32),
              (Lines{Rec("20010000" + first.substr(9, 32) + second.substr(9, 32)), kEnd}));
    // Past FFFFh the Z80 counts on from 0000h; a record never crosses the boundary.
    EXPECT_EQ(
        IntelHexRecords(CountingBytes(20), 0xFFF8, 16),
        (Lines{Rec("08FFF8000001020304050607"), Rec("0C00000008090A0B0C0D0E0F10111213"), kEnd}));
    EXPECT_EQ(IntelHexRecords({}, 0x4000, 16), (Lines{kEnd}));

    std::mt19937 random(33);
    for (std::size_t recordBytes : {1, 16, 32, 255}) {
        for (std::size_t size : {1, 15, 16, 17, 33, 1000, 65504}) {
            const Bytes data = RandomBytes(size, random());
            const auto address = static_cast<std::uint16_t>(random() % (0x10000 - size + 1));
            std::string text;
            const Lines records = IntelHexRecords(data, address, recordBytes);
            for (const std::string& record : records) {
                EXPECT_LE(record.size(), 11 + 2 * recordBytes);
                text += record + "\r\n";
            }
            const HexImage back = ReadIntelHex(text);
            EXPECT_EQ(Shown(back).substr(0, 9), "AADR " + Hex4(address)) << size;
            EXPECT_TRUE(back.data == data && back.filledBytes == 0) << recordBytes << " " << size;
        }
    }
}

TEST(IntelHex, TheFormatSeamLoadsEveryKindWhole) {
    const TempDir dir;
    const std::string hex = Rec("03420000AABBCC") + "\r\n" + Rec("0142050001") + "\r\n" +
                            Rec("040000050000420A") + "\r\n" + kEnd + "\r\n";
    Bytes z80 = Z80File(0x1000, 0x1003, 0x1002, 'B', "HELLO", 4);
    const struct {
        std::string name;
        std::string bytes;
        std::string shown;  // kind, header and data, or the box
    } rows[] = {
        {"PROG_4000.hex", hex, "HEX 4200 4205 420A PROG 6: AA BB CC 00 00 01 / 2"},
        {"Prog.IHX", hex, "HEX 4200 4205 420A Prog 6: AA BB CC 00 00 01 / 2"},
        {"small.Hex", Rec("0100000042") + "\n" + kEnd, "HEX 0000 0000 0000 small 1: 42 / 0"},
        {"P_1000.hex.bin", std::string(40, ':'), "BIN 1000 1027 1000 P 40: 3A 3A 3A 3A 3A 3A / 0"},
        {"GAME.COM", std::string(32, '\xC3'), "BIN 4000 401F 4000 GAME 32: C3 C3 C3 C3 C3 C3 / 0"},
        {"hello.hex1", std::string(z80.begin(), z80.end()),
         "z80 1000 1003 1002 HELLO 4: 00 01 02 03 / 0"},
        {"bad.hex", Rec("0100000042") + "\n:0100010042FF\n" + kEnd,
         "Intel-HEX-Datei nicht geladen: Zeile 2: Pr\xFC"
         "fsumme falsch"},
        {"cut.hex", Rec("0100000042") + "\n",
         "Intel-HEX-Datei nicht geladen: Endesatz (:00000001FF) fehlt nach Zeile 1"},
        {"huge.hex", std::string(kMaxHexFileSize + 1, '\n'), "Datei zu gro\xDF (max. 64k)..."},
    };
    for (const auto& row : rows) {
        TxImage tx;
        std::fill(tx.image.begin(), tx.image.end(), 0x5A);
        const LoadResult result = LoadTxFile(tx, dir.Write(row.name, row.bytes));
        std::string shown = result.message;
        if (tx.loaded) {
            shown = std::string(FormatName(result.kind)) + " " + Hex4(HeaderAadr(tx.Header())) +
                    " " + Hex4(HeaderEadr(tx.Header())) + " " + Hex4(HeaderSadr(tx.Header())) +
                    " " + HeaderName(tx.Header()).substr(0, HeaderName(tx.Header()).find(' ')) +
                    " " + CountToDecimal(tx.dataLength) + ": " +
                    BytesAsHex(tx.Data().first(std::min<std::size_t>(tx.dataLength, 6))) + " / " +
                    CountToDecimal(result.filledBytes);
        } else {
            // Nothing of a refused file reaches the image.
            EXPECT_TRUE(
                std::all_of(tx.image.begin(), tx.image.end(), [](auto b) { return b == 0x5A; }));
        }
        EXPECT_EQ(shown, row.shown) << row.name;

        // Written back in its own format, a loaded file reads as the same image.
        if (tx.loaded) {
            FileImage image;
            std::copy_n(tx.image.begin(), kHeaderSize, image.header.begin());
            image.data.assign(tx.Data().begin(), tx.Data().end());
            const FileFormat& format =
                FormatOfFile(row.name, Bytes(row.bytes.begin(), row.bytes.end()));
            const Bytes written = format.Encode(image);
            FileImage again;
            ASSERT_TRUE(format.Decode(written, row.name, again).ok()) << row.name;
            EXPECT_EQ(Bytes(again.header.begin(), again.header.end()),
                      Bytes(image.header.begin(), image.header.end()))
                << row.name;
            EXPECT_EQ(again.data, image.data) << row.name;
            if (result.kind != FormatKind::kHex) {
                EXPECT_EQ(written, Bytes(row.bytes.begin(), row.bytes.end())) << row.name;
            }
        }
    }
}

}  // namespace
}  // namespace velotrix::test
