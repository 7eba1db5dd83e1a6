// The block writer on the test's thread: what each mode writes, lists and shows, and the listing.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "app/ids.h"
#include "platform/fake/fake_serial_device.h"
#include "platform/files.h"
#include "support/send_rig.h"
#include "text/text_helpers.h"

namespace velotrix::test {
namespace {

std::vector<std::uint8_t> Letters(char first, char last) {
    std::vector<std::uint8_t> bytes;
    for (char c = first; c <= last; ++c) {
        bytes.push_back(static_cast<std::uint8_t>(c));
    }
    return bytes;
}

std::string Groups(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    for (std::uint8_t b : bytes) {
        text += Hex2(b) + " ";
    }
    return text;
}

TEST(SendListing, TwentyGroupsToALineAndTheLastLineAlwaysShown) {
    const std::vector<std::uint8_t> twenty(20, 0xAB);
    const std::string fullLine = "gesendet:  " + Groups(twenty);
    const struct {
        std::vector<std::uint8_t> block;
        std::vector<std::string> lines;
    } cases[] = {
        {{}, {"gesendet:  "}},
        {twenty, {fullLine, ""}},
        {std::vector<std::uint8_t>(21, 0xAB), {fullLine, "AB "}},
        {Letters('A', 'W'), {"gesendet:  " + Groups(Letters('A', 'T')), Groups(Letters('U', 'W'))}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SendListingLines(c.block), c.lines) << c.block.size() << " bytes";
    }
}

struct BlockCase {
    const char* name;
    bool textMode;
    bool continuous;
    bool progress;
    int failure;
    std::vector<std::uint8_t> block;
    BlockResult result;
    std::vector<std::string> lines;
    std::vector<std::string> sentPane;
    int barsShown;
    int outputPurges;
};

TEST(WriteBlock, EachModeWritesListsAndShowsItsOwnWay) {
    const std::vector<std::uint8_t> abc = {'a', 'b', 'c'};
    const BlockCase cases[] = {
        {"empty, byte by byte",
         false,
         false,
         true,
         0,
         {},
         BlockResult::kWritten,
         {"Bytes gesendet: 0"},
         {"0", " "},
         1,
         0},
        {"byte by byte",
         false,
         false,
         true,
         0,
         abc,
         BlockResult::kWritten,
         {"Bytes gesendet: 3"},
         {"3", " "},
         1,
         0},
        {"continuous", false, true, true, 0, abc, BlockResult::kWritten, {}, {"3", " "}, 1, 0},
        {"text ignores progress",
         true,
         false,
         true,
         0,
         abc,
         BlockResult::kWritten,
         {"Bytes gesendet: 3"},
         {" "},
         0,
         0},
        {"progress off",
         false,
         false,
         false,
         0,
         {},
         BlockResult::kWritten,
         {"Bytes gesendet: 0"},
         {" "},
         0,
         0},
        {"failing, byte by byte",
         false,
         false,
         true,
         EIO,
         abc,
         BlockResult::kFailed,
         {"Dauersenden abgebrochen..."},
         {"0", " "},
         1,
         1},
        {"failing, one write",
         true,
         false,
         true,
         EIO,
         abc,
         BlockResult::kFailed,
         {"Bytes gesendet: 0"},
         {" "},
         0,
         0},
    };
    for (const BlockCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto fake = std::make_shared<FakeSerialDevice>();
        fake->FailWrites(c.failure);
        SendRig rig(FakeSerialDevice::Share(fake), ManualLoop::Clock::kVirtual);
        rig.options.showProgress = c.progress;

        EXPECT_EQ(WriteBlock(rig.Context(c.textMode, c.continuous), c.block), c.result);
        rig.loop.RunPending();

        EXPECT_EQ(rig.Messages(), c.lines);
        EXPECT_EQ(rig.view.sentPane, c.sentPane);
        EXPECT_EQ(rig.view.ProgressShowCount(), c.barsShown);
        EXPECT_FALSE(rig.view.ProgressVisible());
        EXPECT_TRUE(rig.view.IsEnabled(ids::kBinModeCheck));
        // The end of the previous block may still be on its way out: only an abort drops it.
        EXPECT_EQ(fake->PurgeCount(FakeSerialDevice::Queue::kOutput), c.outputPurges);
        EXPECT_EQ(fake->Written(), c.failure ? std::vector<std::uint8_t>{} : c.block);
        const bool errorShown = !rig.view.Messages().empty();
        EXPECT_EQ(errorShown, c.failure != 0);
        if (errorShown) {
            EXPECT_EQ(rig.view.Messages().back().caption, "Meldung:");
            EXPECT_EQ(rig.view.Messages().back().text, OsErrorText(EIO));
        }
    }
}

TEST(WriteBlock, WritesNothingOnceThePortIsClosing) {
    auto fake = std::make_shared<FakeSerialDevice>();
    SendRig rig(FakeSerialDevice::Share(fake), ManualLoop::Clock::kVirtual);
    rig.port.portOpen = false;
    EXPECT_EQ(WriteBlock(rig.Context(false, false), Letters('A', 'C')), BlockResult::kAborted);
    rig.loop.RunPending();
    EXPECT_TRUE(fake->Written().empty());
    EXPECT_TRUE(rig.Messages().empty());
}

}  // namespace
}  // namespace velotrix::test
