// Intel HEX over pseudo-terminals against srecord's srec_cat, which we did not write: its HEX text
// arrives at velotrix-cli receive --as hex and is saved as the binary srec_cat makes of it, and
// what velotrix-cli send --as hex puts on the line goes back through srec_cat and through our own
// receiver, byte for byte.
#include <gtest/gtest.h>

#include "cli/cli_child.h"
#include "support/pty_pair.h"
#include "support/srecord.h"
#include "text/text_helpers.h"

namespace velotrix::test {
namespace {

TEST(CliHex, SrecCatsTextIsReceivedAsItsData) {
    const TempDir dir;
    const std::string a = Quoted(dir.Write("a.bin", RandomBytes(3000, 1)));
    const std::string b = Quoted(dir.Write("b.bin", RandomBytes(100, 2)));
    const struct {
        std::string input;   // srec_cat's inputs, placed at their addresses
        std::string output;  // how it writes them as HEX
        const char* shown;   // the addresses velotrix-cli prints, a line each
    } rows[] = {
        {a + " -binary -offset 0x4000", "", "AADR: 4000\nEADR: 4BB7\nSADR: 4000"},
        {a + " -binary -offset 0xC000",
         "-execution-start-address 0xC123 -output_block_size=32 -line-termination=nl",
         "AADR: C000\nEADR: CBB7\nSADR: C123"},
        // srec_cat cannot read this one back itself; the data it came from says what it holds.
        {a + " -binary -offset 0x0100 " + b + " -binary -offset 0x1000",
         "-address-length=2 -line-termination=cr", "AADR: 0100\nEADR: 1063\nSADR: 0100"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.input);
        const auto [status, output] =
            Shell("srec_cat " + row.input + " -o " + Quoted(dir.File("theirs.hex")) + " -intel " +
                  row.output);
        ASSERT_EQ(status, 0) << output;
        const std::string text = ReadFileBytes(dir.File("theirs.hex")).value_or("");
        PtyPair line;
        std::remove(dir.File("rx.bin").c_str());
        Cli receiver({"receive", "--port", line.SlavePath(), "--as", "hex", "-o", "rx.bin"},
                     dir.path());
        ASSERT_TRUE(receiver.WaitFor(kWaiting));
        ASSERT_TRUE(line.Write(Bytes(text.begin(), text.end()), 10s));
        ASSERT_EQ(receiver.Wait(30s), 0) << receiver.Err();
        EXPECT_NE(receiver.Out().find(row.shown), std::string::npos) << receiver.Out();
        const std::uint16_t aadr = HexToValue(std::string_view(row.shown).substr(6, 4));
        EXPECT_TRUE(ReadFileBytes(dir.File("rx.bin")) == SrecCatBinary(dir, row.input, aadr));
    }
}

TEST(CliHex, SentTextReadsBackInSrecCatAndInOurReceiver) {
    const struct {
        const char* as;
        const char* file;
        std::size_t size;
        std::uint16_t aadr;
    } rows[] = {{"hex", "d_4000.bin", 5000, 0x4000}, {"hex32", "d_ff00.bin", 256, 0xFF00}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.as);
        const TempDir dir;
        const Bytes data = RandomBytes(row.size, 3);
        dir.Write(row.file, data);
        PtyPair senderLine;
        PtyPair receiverLine;
        Cli receiver({"receive", "--port", receiverLine.SlavePath(), "--as", "hex", "-o", "rx.bin"},
                     dir.path());
        ASSERT_TRUE(receiver.WaitFor(kWaiting));
        Cli sender({"send", row.file, "--as", row.as, "--port", senderLine.SlavePath(), "--baud",
                    "115200", "--no-progress"},
                   dir.path());
        const std::optional<Bytes> onTheLine = Relay(senderLine, receiverLine, receiver, 60s);
        ASSERT_TRUE(onTheLine.has_value());
        ASSERT_EQ(sender.Wait(10s), 0) << sender.Err();
        ASSERT_EQ(receiver.Wait(10s), 0) << receiver.Err();
        const std::string sent = dir.Write("sent.hex", *onTheLine);
        EXPECT_TRUE(SrecCatBinary(dir, Quoted(sent) + " -intel", row.aadr) ==
                    std::string(data.begin(), data.end()));
        EXPECT_TRUE(ReadFileBytes(dir.File("rx.bin")) == std::string(data.begin(), data.end()));
    }
}

}  // namespace
}  // namespace velotrix::test
