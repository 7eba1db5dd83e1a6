// Tests of the POSIX file services: existence with wildcards, directories, OS error texts.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/files.h"
#include "support/temp_dir.h"

namespace velotrix {
namespace {

using test::TempDir;

TEST(Files, FileExistsHonoursOnlyStarAndQuestionMark) {
    TempDir dir;
    dir.Write("Velotrix.ini", "");
    dir.Write("a[1].bin", "");
    dir.Write(".hidden", "");
    const struct {
        std::string name;
        int exists;
    } cases[] = {{dir.File("Velotrix.ini"), 1},
                 {dir.File("velotrix.ini"), 0},
                 {dir.path(), 1},
                 {dir.File("*.ini"), 1},
                 {dir.File("*.xyz"), 0},
                 {dir.File("Velo?rix.ini"), 1},
                 {dir.File("a[1]*"), 1},
                 {dir.File("a1*"), 0},
                 {dir.File("*hidden"), 1},
                 {"", 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(FileExists(c.name), c.exists) << c.name;
    }
}

TEST(Files, DirectoriesAndProgramDirectory) {
    TempDir dir;
    EXPECT_TRUE(DirectoryWritable(dir.path()));
    EXPECT_FALSE(DirectoryWritable(dir.Write("file", "x")));

    const std::string program = ProgramDirectory();
    ASSERT_FALSE(program.empty());
    EXPECT_EQ(program.back(), '/');
    EXPECT_EQ(FileExists(program), 1);
}

TEST(Files, OsErrorText) {
    EXPECT_EQ(OsErrorText(ENOENT).find("Unbekannter Fehler"), std::string::npos);
    EXPECT_EQ(OsErrorText(99999), "Unbekannter Fehler (Code 99999)");
}

}  // namespace
}  // namespace velotrix
