// The Windows file services: UTF-8 paths with any characters, wildcards, devices that must not be
// opened as files, the directories and the system's error texts.
#include <windows.h>

#include <array>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "platform/files.h"
#include "support/temp_dir.h"

namespace velotrix {
namespace {

using test::TempDir;

TEST(Win32Files, PathsWithAnyCharactersAreWrittenReadAndFound) {
    const TempDir dir;
    // "Grüße, Ωmega, 日本" in UTF-8: beyond code page 1252, as a user's folders may be.
    const std::string name = dir.File(
        "Gr\xC3\xBC\xC3\x9F"
        "e \xCE\xA9mega \xE6\x97\xA5\xE6\x9C\xAC.bin");
    const std::array<std::uint8_t, 4> bytes{0, 0x1A, 0x0D, 0x0A};
    int error = 0;
    ASSERT_EQ(WriteWholeFile(name, bytes, error), FileWriteStatus::kWritten);
    std::array<std::uint8_t, 8> buffer{};
    const FileReadResult read = ReadFileInto(name, buffer);
    EXPECT_EQ(read.status, FileReadStatus::kRead);
    EXPECT_EQ(read.size, bytes.size());
    EXPECT_EQ(ReadFileInto(name, std::span(buffer).first(3)).status, FileReadStatus::kTooBig);
    ASSERT_TRUE(ReplaceFileContents(name, "neu"));
    std::string content;
    EXPECT_EQ(ReadWholeFile(name, content), FileReadStatus::kRead);
    EXPECT_EQ(content, "neu");

    const struct {
        std::string pattern;
        int exists;
    } cases[] = {{name, 1},       {dir.File("gr*.BIN"), 1}, {dir.File("*.ini"), 0},
                 {dir.path(), 1}, {dir.File("?r*"), 1},     {"", 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(FileExists(c.pattern), c.exists) << c.pattern;
    }
}

TEST(Win32Files, DirectoriesAndDevicesAreNoFiles) {
    const TempDir dir;
    std::array<std::uint8_t, 8> buffer{};
    std::string content;
    for (const std::string& path : {dir.path(), std::string("NUL")}) {
        EXPECT_EQ(ReadFileInto(path, buffer).status, FileReadStatus::kNotRegular) << path;
        EXPECT_EQ(ReadWholeFile(path, content), FileReadStatus::kNotRegular) << path;
    }
    const FileReadResult missing = ReadFileInto(dir.File("missing"), buffer);
    EXPECT_EQ(std::tuple(missing.status, missing.osError),
              std::tuple(FileReadStatus::kMissing, int{ERROR_FILE_NOT_FOUND}));
    int error = 0;
    EXPECT_EQ(WriteWholeFile("NUL", buffer, error), FileWriteStatus::kCannotCreate);
    EXPECT_FALSE(ReplaceFileContents(dir.path(), "x"));
}

TEST(Win32Files, ProgramAndUserDirectoriesEndInASeparator) {
    const TempDir dir;
    EXPECT_TRUE(DirectoryWritable(dir.path()));
    EXPECT_FALSE(DirectoryWritable(dir.Write("file", "x")));
    EXPECT_FALSE(DirectoryWritable(dir.File("missing")));
    EXPECT_EQ(FileExists(ProgramDirectory()), 1);
    EXPECT_TRUE(UserConfigDirectory().ends_with("\\Velotrix\\")) << UserConfigDirectory();
    EXPECT_TRUE(IsDirectorySeparator('/') && IsDirectorySeparator('\\'));
}

TEST(Win32Files, ErrorTextsComeFromTheSystem) {
    const std::string text = OsErrorText(ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.find("Unbekannter Fehler"), std::string::npos);
    EXPECT_NE(text.back(), '\n');
    EXPECT_EQ(OsErrorText(0x20001234), "Unbekannter Fehler (Code 536875572)");
}

}  // namespace
}  // namespace velotrix
