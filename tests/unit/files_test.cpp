// Tests of the POSIX file services: existence with wildcards, directories, OS error texts.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <optional>

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
    } cases[] = {
        {dir.File("Velotrix.ini"), 1},
        {dir.File("velotrix.ini"), 0},
        {dir.path(), 1},
        {dir.File("*.ini"), 1},
        {dir.File("*.xyz"), 0},
        {dir.File("Velo?rix.ini"), 1},
        {dir.File("a[1]*"), 1},
        {dir.File("a1*"), 0},
        {dir.File("*hidden"), 1},
        {"", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileExists(c.name), c.exists) << c.name;
    }
}

TEST(Files, DirectoriesAndProgramDirectory) {
    TempDir dir;
    EXPECT_TRUE(DirectoryWritable(dir.path()));
    EXPECT_FALSE(DirectoryWritable(dir.File("missing")));
    EXPECT_FALSE(DirectoryWritable(dir.Write("file", "x")));

    const std::string program = ProgramDirectory();
    ASSERT_FALSE(program.empty());
    EXPECT_EQ(program.front(), '/');
    EXPECT_EQ(program.back(), '/');
    EXPECT_EQ(FileExists(program), 1);
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(Files, UserConfigDirectory) {
    ScopedEnv home("HOME", "/home/user");
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "/cfg");
        EXPECT_EQ(UserConfigDirectory(), "/cfg/");
    }
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "relative/cfg");
        EXPECT_EQ(UserConfigDirectory(), "/home/user/.config/");
    }
    ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(UserConfigDirectory(), "/home/user/.config/");
}

TEST(Files, OsErrorText) {
    const std::string known = OsErrorText(ENOENT);
    EXPECT_FALSE(known.empty());
    EXPECT_EQ(known.find("Unbekannter Fehler"), std::string::npos);
    EXPECT_EQ(OsErrorText(99999), "Unbekannter Fehler (Code 99999)");
}

}  // namespace
}  // namespace velotrix
