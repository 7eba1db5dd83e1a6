// send --watch on a pseudo-terminal: the far end gets the file, and again after the assembler
// renamed a new version over it, with the load address the user gave; Ctrl+C ends it.
#include <gtest/gtest.h>

#include <cstdio>

#include "cli/cli_child.h"
#include "support/pty_pair.h"
#include "support/rig.h"
#include "text/text_helpers.h"

namespace velotrix::test {
namespace {

TEST(CliWatch, SendsEachRewriteAgainUntilInterrupted) {
    const TempDir work;
    work.Write("w_4000.bin", CountingBytes(40));
    PtyPair line;
    Cli cli({"send", "w_4000.bin", "--port", line.SlavePath(), "--watch", "--aadr", "8000"},
            work.path());
    EXPECT_EQ(ReadOnceOpen(line, 72, 2000).size(), 72u) << cli.Err();
    std::rename(work.Write("w.tmp", CountingBytes(50)).c_str(), work.File("w_4000.bin").c_str());
    const Bytes again = ReadOnceOpen(line, 82, 2000);
    ASSERT_EQ(again.size(), 82u) << cli.Err();
    // The header made for the new length, at the address the user chose.
    EXPECT_EQ(Hex2(again[0]) + Hex2(again[1]) + Hex2(again[2]) + Hex2(again[3]), "00803180");
    kill(cli.Pid(), SIGINT);
    EXPECT_EQ(cli.Wait(30s), 130);
    const std::string out = cli.Out();
    const std::string resent = "Datei ge\u00E4ndert, wird erneut gesendet";
    EXPECT_NE(out.find(resent), std::string::npos) << out;
    EXPECT_EQ(out.find(resent), out.rfind(resent)) << out;
}

}  // namespace
}  // namespace velotrix::test
