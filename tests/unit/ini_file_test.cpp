// Tests of the INI file: profile-style reading, in-place writes, and writes that cannot truncate.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <filesystem>
#include <iterator>

#include "platform/ini_file.h"
#include "support/temp_dir.h"

namespace velotrix {
namespace {

using test::ReadFileBytes;
using test::TempDir;

TEST(IniFile, ReadsValuesLikeTheProfileFunctions) {
    TempDir dir;
    const std::string path = dir.Write("t.ini",
                                       "[other]\nA=99\n"
                                       "  [ pReFs ]  \r\n"
                                       "A=12abc\nB=abc\n  c  =  +5  \nD=-3\nE=\nF=99999999999\n"
                                       "G=-99999999999\nH=2147483647\nI=-2147483648\nJ=- 4\n"
                                       "A=777\n");
    const struct {
        const char* key;
        int value;
    } cases[] = {{"A", 12},      {"b", 0},       {"C", 5},       {"D", -3},
                 {"E", 42},      {"F", INT_MAX}, {"G", INT_MIN}, {"H", INT_MAX},
                 {"I", INT_MIN}, {"J", 0},       {"missing", 42}};
    for (const auto& c : cases) {
        EXPECT_EQ(IniReadInt(path, "Prefs", c.key, 42), c.value) << c.key;
    }
    EXPECT_EQ(IniReadInt(path, "nosuch", "A", 42), 42);
    EXPECT_EQ(IniReadInt(dir.File("missing.ini"), "Prefs", "A", 42), 42);
}

TEST(IniFile, AddsKeyToASectionWithoutLineEnd) {
    TempDir dir;
    const std::string bare = dir.Write("bare.ini", "[Prefs]");
    ASSERT_TRUE(IniWriteString(bare, "Prefs", "COM", "1"));
    EXPECT_EQ(ReadFileBytes(bare), "[Prefs]\nCOM=1\n");
}

TEST(IniFile, WriteTouchesOnlyItsValue) {
    TempDir dir;
    const std::string original =
        "\xEF\xBB\xBF; settings\r\n"
        "[Other]\r\nCOM=9\r\n"
        "[Prefs]\r\n"
        "  com =  3  \r\n"
        "BAUD=6\r\n"
        "\r\n"
        "# a comment\r\n"
        "[Tail]\r\nX = y";
    const std::string path = dir.Write("t.ini", original);

    ASSERT_TRUE(IniWriteString(path, "prefs", "COM", "12"));
    ASSERT_TRUE(IniWriteString(path, "Prefs", "PAUSE", "4"));
    ASSERT_TRUE(IniWriteString(path, "New", "K", "v"));
    EXPECT_EQ(ReadFileBytes(path),
              "\xEF\xBB\xBF; settings\r\n"
              "[Other]\r\nCOM=9\r\n"
              "[Prefs]\r\n"
              "  com =  12\r\n"
              "BAUD=6\r\n"
              "PAUSE=4\r\n"
              "\r\n"
              "# a comment\r\n"
              "[Tail]\r\nX = y\r\n"
              "[New]\r\nK=v\r\n");
    EXPECT_EQ(IniReadInt(path, "Prefs", "COM", 0), 12);
    EXPECT_EQ(IniReadInt(path, "Other", "COM", 0), 9);
}

TEST(IniFile, RefusesTextsThatWouldBreakTheLines) {
    TempDir dir;
    const std::string path = dir.Write("t.ini", "[Prefs]\nCOM=1\n");
    EXPECT_FALSE(IniWriteString(path, "Prefs", "COM", "1\n[Evil]"));
    EXPECT_FALSE(IniWriteString(path, "Prefs", "A=B", "1"));
    EXPECT_FALSE(IniWriteString(path, "Pr]efs", "COM", "1"));
    EXPECT_FALSE(IniWriteString(dir.path(), "Prefs", "COM", "1"));
    EXPECT_EQ(ReadFileBytes(path), "[Prefs]\nCOM=1\n");
}

TEST(IniFile, KeepsPermissionsAndSymbolicLinks) {
    TempDir dir;
    const std::string real = dir.Write("real.ini", "[Prefs]\nCOM=1\n");
    ASSERT_EQ(chmod(real.c_str(), 0640), 0);
    const std::string link = dir.File("link.ini");
    ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);

    ASSERT_TRUE(IniWriteString(link, "Prefs", "COM", "2"));
    struct stat info {};
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadFileBytes(real), "[Prefs]\nCOM=2\n");
}

// Limits the size of files this process may write, so that a write fails half-way, even for root.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit old_{};
    void (*oldHandler_)(int) = SIG_DFL;
};

TEST(IniFile, FailedWriteLeavesTheOldFileWhole) {
    TempDir dir;
    const std::string original = "[Prefs]\nCOM=1\nBAUD=6\n";
    const std::string path = dir.Write("t.ini", original);
    {
        FileSizeLimit limit(original.size() + 10);
        EXPECT_FALSE(IniWriteString(path, "Prefs", "COM", std::string(100, '7')));
    }
    EXPECT_EQ(ReadFileBytes(path), original);
    const auto entries = std::filesystem::directory_iterator(dir.path());
    EXPECT_EQ(std::distance(std::filesystem::begin(entries), std::filesystem::end(entries)), 1)
        << "no half-written copy is left behind";
}

}  // namespace
}  // namespace velotrix
