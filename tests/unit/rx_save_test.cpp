// Tests of saving a reception: the suggested name and the three outcomes of the write.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "image/rx_save.h"
#include "support/temp_dir.h"

namespace velotrix {
namespace {

using test::ReadFileBytes;
using test::TempDir;

TEST(RxSave, SuggestedName) {
    const struct {
        const char* field;
        bool hasHeader;
        const char* name;
    } cases[] = {{"HELLO           ", true, "HELLO.Z80"},
                 {"                ", true, ".Z80"},
                 {"ABCDEFGHIJKLMNOP", true, "ABCDEFGHIJKLMNO.Z80"},
                 {"  HI\t", true, "HI.Z80"},
                 {"HELLO", false, "default.bin"}};
    for (const auto& c : cases) {
        EXPECT_EQ(SuggestedSaveName(c.field, c.hasHeader), c.name) << c.field;
    }
}

std::vector<std::uint8_t> AllByteValues() {
    std::vector<std::uint8_t> bytes;
    for (int b = 0; b < 3 * 256; ++b) {
        bytes.push_back(static_cast<std::uint8_t>(b));
    }
    return bytes;
}

TEST(RxSave, WritesExactlyTheBytesAndReplacesAnExistingFile) {
    TempDir dir;
    const std::string path = dir.Write(
        "Gr\xC3\xBC\xC3\x9F"
        "e.Z80",
        std::string(5000, 'x'));
    const std::vector<std::uint8_t> bytes = AllByteValues();
    for (int time = 0; time < 2; ++time) {
        const SaveResult result = SaveRxBuffer(path, bytes);
        EXPECT_EQ(result.status, SaveStatus::kWritten);
        EXPECT_EQ(result.caption, "Datei wurde erfolgreich geschrieben.");
        EXPECT_EQ(result.message, dir.path() +
                                      "/Gr\xFC\xDF"
                                      "e.Z80");
        EXPECT_EQ(ReadFileBytes(path), std::string(bytes.begin(), bytes.end()));
    }
}

TEST(RxSave, FailuresAreNeverReportedAsSuccess) {
    TempDir dir;
    const std::vector<std::uint8_t> bytes = AllByteValues();
    for (const std::string& path : {dir.File("no/such/dir.bin"), dir.path(), std::string()}) {
        const SaveResult result = SaveRxBuffer(path, bytes);
        EXPECT_EQ(result.status, SaveStatus::kCannotCreate) << path;
        EXPECT_EQ(result.message, "Datei ist nicht zu erzeugen");
        EXPECT_EQ(result.caption, "Fehler!");
    }
    // A full disk takes part of the bytes or none: a short write.
    const SaveResult full = SaveRxBuffer("/dev/full", bytes);
    EXPECT_EQ(full.status, SaveStatus::kWriteError);
    EXPECT_EQ(full.message, "Schreibfehler");
    EXPECT_EQ(full.caption, "Fehler!");
}

TEST(RxSave, UnwritableDirectory) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind root";
    }
    TempDir dir;
    ASSERT_EQ(chmod(dir.path().c_str(), 0500), 0);
    EXPECT_EQ(SaveRxBuffer(dir.File("x.bin"), AllByteValues()).status, SaveStatus::kCannotCreate);
}

}  // namespace
}  // namespace velotrix
