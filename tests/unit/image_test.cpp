// The data rules of the z80 image: the marker, the CRC, the header made from a file name, what a
// load takes, the suggested save name and the save itself.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <iterator>
#include <set>

#include "image/bin_format.h"
#include "image/crc16.h"
#include "image/rx_save.h"
#include "image/tx_image.h"
#include "support/random_bytes.h"
#include "support/reference_crc.h"
#include "support/rig.h"
#include "text/cp1252.h"

namespace velotrix::test {
namespace {

namespace fs = std::filesystem;

TEST(Image, MarkerTypeLettersAndCrc) {
    const std::set<int> passing = {0xD3, 0xD7, 0xDB, 0xDF, 0xF3, 0xF7, 0xFB, 0xFF};
    Bytes header = Z80File(0, 0, 0, 'P', "", 0);
    for (std::size_t at = kMarkerOffset; at < kMarkerOffset + 3; ++at) {
        for (int value = 0; value < 256; ++value) {
            header[at] = static_cast<std::uint8_t>(value);
            EXPECT_EQ(HasZ80Marker(ConstHeaderBytes(header.data(), kHeaderSize)),
                      passing.contains(value))
                << "byte " << at << " = " << value;
        }
        header[at] = kMarkerByte;
    }
    const std::string letters = "PBFQTDACU";
    for (int letter = 0; letter < 256; ++letter) {
        const auto at = letters.find(static_cast<char>(letter));
        EXPECT_EQ(TypeIndexOfLetter(static_cast<char>(letter)),
                  at == std::string::npos ? -1 : static_cast<int>(at))
            << letter;
    }
    EXPECT_EQ(FileTypeTable(),
              "P = MaschinenprogrammB = Basic-Programm   F = Basic-Feld       Q = Quelle (EDAS)    "
              "T = Text             D = Daten (allgem.)  A = ausf\xFChrbar, Auto C = ausf\xFChrbar "
              "      Unbekannt            ");
    // CRC-16/CCITT-FALSE.
    for (std::size_t length : {0, 1, 2, 31, 32, 33, 255, 256, 4097, 65504}) {
        const Bytes bytes = RandomBytes(length, 1252);
        EXPECT_EQ(Crc16(bytes), ReferenceCrc16(bytes, 0xFFFF)) << length;
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
        {"HELLO_4000_5FFF.bin", 4096, "HELLO", 0x4000, 0x4FFF, 0x4000},
        {"HELLO_4000.bin", 256, "HELLO", 0x4000, 0x40FF, 0x4000},
        {"HELLO.bin", 256, "HELLO", 0x4000, 0x40FF, 0x4000},
        {"hi_c000.bin", 16, "hi", 0xC000, 0xC00F, 0xC000},
        {"HI_F000.bin", 8192, "HI", 0xF000, 0x0FFF, 0xF000},
        {"my.game_1000.bin", 32, "my.game", 0x1000, 0x101F, 0x1000},
        {"my.game.bin", 32, "my", 0x4000, 0x401F, 0x4000},
        {"A VERY LONG PROGRAM NAME_2000.bin", 32, "A VERY LONG PROG", 0x2000, 0x201F, 0x2000},
        {"_2000.bin", 32, "", 0x2000, 0x201F, 0x2000},
        {"GAME_12.bin", 256, "GAME", 0x12EB, 0x13EA, 0x12EB},
        {"/u/my_dir/  A_1_2_3.bin", 32, "A", 0x1828, 0x1847, 0x3EB2},
        {"M\xC3\xBChle", 256, "M\xFChle", 0x4000, 0x40FF, 0x4000},
    };
    for (const auto& row : rows) {
        HeaderCopy header{};
        SynthesizeHeader(header, row.path, row.length);
        Bytes expected =
            Z80File(row.aadr, row.eadr, row.sadr, 'P', row.name + std::string(16, ' '), 0);
        std::copy_n("AC1KZV", 6, expected.begin() + kCreatorTagOffset);
        EXPECT_EQ(Bytes(header.begin(), header.end()), expected) << row.path;
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
        const LoadResult result =
            LoadTxFile(tx, c.path.empty() ? dir.Write("F_2000.bin", bytes) : c.path);
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
        {"HELLO           ", "HELLO.Z80"}, {"ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNO.Z80"},
        {"../../../x", "_._.._.._x.Z80"},  {"a/b\\c:d*e?f\"<>|", "a_b_c_d_e_f____.Z80"},
        {"A\nB\x1B[2J", "A_B_[2J.Z80"},    {"Gr\xFC\xDF\x80", "Gr___.Z80"},
        {".hidden", "_hidden.Z80"},        {"nul.txt", "_nul.txt.Z80"},
        {"Con .x", "_Con .x.Z80"},         {"CONIN$", "_CONIN$.Z80"},
        {"conout$", "_conout$.Z80"},       {"COM10", "COM10.Z80"},
        {"CONSOLE", "CONSOLE.Z80"},        {"   ", "default.Z80"}};
    for (const auto& [field, name] : cases) {
        EXPECT_EQ(SuggestedSaveName(field, true), name) << field;
    }
    // Every name that Windows gives a device, in upper and lower case.
    for (std::string device : {"CON", "PRN", "AUX", "NUL"}) {
        EXPECT_EQ(SuggestedSaveName(device, true), "_" + device + ".Z80");
    }
    for (const char* stem : {"COM", "LPT", "com", "lpt"}) {
        for (char digit = '0'; digit <= '9'; ++digit) {
            const std::string device = stem + std::string(1, digit);
            EXPECT_EQ(SuggestedSaveName(device, true), "_" + device + ".Z80");
        }
    }
    EXPECT_EQ(SuggestedSaveName("HELLO", false), "default.bin");
}

TEST(Image, NumberedAndIncompleteNamesKeepTheFolderAndTheExtension) {
    EXPECT_EQ(NumberedPath("d/HELLO.Z80", 2), "d/HELLO-2.Z80");
    EXPECT_EQ(NumberedPath("a.b/NAME", 3), "a.b/NAME-3");
    EXPECT_EQ(NumberedPath("x.Z80", 1), "x.Z80");
    EXPECT_EQ(IncompleteName("default.bin"), "default-unvollstaendig.bin");
}

// A save writes every byte or says why, and never leaves a file cut short: a file that was there
// stays as it was (its permissions kept when it is replaced), and none appears where there was
// none. A limit on the size of files stands in for a full disk.
TEST(Image, SaveWritesEveryByteOrSaysWhyAndLeavesNothingCutShort) {
    const TempDir dir;
    const std::string umlauts = dir.File(
        "Gr\xC3\xBC\xC3\x9F"
        "e.Z80");
    const struct {
        std::string target;
        const char* before;  // the file's contents before, or none
        rlim_t limit;        // the largest file this process may write; 0: no limit
        const char* outcome;
        int osError;
        std::size_t after;  // the file's size after, 0: there is none
    } rows[] = {
        {umlauts, nullptr, 0, "Datei wurde erfolgreich geschrieben. ", 0, 768},
        {dir.File("old.bin"), "alt", 0, "Datei wurde erfolgreich geschrieben. ", 0, 768},
        {dir.File("no/dir.bin"), nullptr, 0, "Fehler! Datei ist nicht zu erzeugen\r", ENOENT, 0},
        {dir.path(), nullptr, 0, "Fehler! Datei ist nicht zu erzeugen\r", EISDIR, 0},
        {"/dev/full", nullptr, 0, "Fehler! Schreibfehler\r", ENOSPC, 0},
        {dir.File("new.bin"), nullptr, 500, "Fehler! Schreibfehler\r", EFBIG, 0},
        {dir.File("kept.bin"), "alt", 500, "Fehler! Schreibfehler\r", EFBIG, 3},
    };
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    for (const auto& row : rows) {
        if (row.before != nullptr) {
            dir.Write(row.target.substr(dir.path().size() + 1), row.before);
            ASSERT_EQ(chmod(row.target.c_str(), 0640), 0);
        }
        rlimit limit = old;
        limit.rlim_cur = row.limit != 0 ? row.limit : old.rlim_cur;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
        const SaveResult saved = SaveRxBuffer(row.target, CountingBytes(768));
        setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_EQ(saved.caption + " " + saved.message, row.outcome + Utf8ToCp1252(row.target));
        EXPECT_EQ(saved.osError, row.osError) << row.target;
        if (row.target.starts_with(dir.path() + "/") && row.target != dir.File("no/dir.bin")) {
            EXPECT_EQ(ReadFileBytes(row.target).value_or("").size(), row.after) << row.target;
            EXPECT_EQ(fs::exists(row.target), row.after > 0) << row.target;
        }
        if (row.before != nullptr) {
            EXPECT_EQ(fs::status(row.target).permissions(), fs::perms(0640)) << row.target;
        }
    }
    std::signal(SIGXFSZ, handler);
    // Nothing was left beside the files: no copy that never took a name.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3);
}

}  // namespace
}  // namespace velotrix::test
