// The block writer on the test's thread: what each mode writes, lists and shows, and the listing.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/fake/fake_serial_device.h"
#include "platform/files.h"
#include "support/send_rig.h"
#include "support/temp_dir.h"
#include "ui-resources/ids.h"

namespace velotrix::test {
namespace {

using Lines = std::vector<std::string>;

TEST(SendListing, TwentyGroupsToALineAndTheLastLineAlwaysShown) {
    const std::string twenty = "AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB AB ";
    const std::pair<std::vector<std::uint8_t>, Lines> cases[] = {
        {{}, {"gesendet:  "}},
        {std::vector<std::uint8_t>(20, 0xAB), {"gesendet:  " + twenty, ""}},
        {std::vector<std::uint8_t>(21, 0xAB), {"gesendet:  " + twenty, "AB "}},
        {AsBytes("ABCDEFGHIJKLMNOPQRSTUVW"),
         {"gesendet:  41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 51 52 53 54 ", "55 56 57 "}},
    };
    for (const auto& [block, lines] : cases) {
        EXPECT_EQ(SendListingLines(block), lines) << block.size() << " bytes";
    }
}

TEST(WriteBlock, EachModeWritesListsAndShowsItsOwnWay) {
    using enum BlockResult;
    const struct {
        bool textMode;
        bool progress;
        int failure;
        std::string block;
        BlockResult result;
        Lines lines;
        Lines sentPane;
        int barsShown;
        int outputPurges;
    } cases[] = {
        // Byte by byte behind the bar: an empty block too shows its count.
        {false, true, 0, "", kWritten, {"Bytes gesendet: 0"}, {"0", " "}, 1, 0},
        {false, true, 0, "abc", kWritten, {"Bytes gesendet: 3"}, {"3", " "}, 1, 0},
        // One write: a text ignores the progress option.
        {true, true, 0, "abc", kWritten, {"Bytes gesendet: 3"}, {" "}, 0, 0},
        {false, false, 0, "", kWritten, {"Bytes gesendet: 0"}, {" "}, 0, 0},
        // Failing: byte by byte counts as an abort; one write lists what it sent.
        {false, true, EIO, "abc", kFailed, {"Dauersenden abgebrochen..."}, {"0", " "}, 1, 1},
        {true, true, EIO, "abc", kFailed, {"Bytes gesendet: 0"}, {" "}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.textMode << c.progress << c.failure << c.block);
        auto fake = std::make_shared<FakeSerialDevice>();
        fake->FailWrites(c.failure);
        SendRig rig(FakeSerialDevice::Share(fake), ManualLoop::Clock::kVirtual);
        rig.options.showProgress = c.progress;

        EXPECT_EQ(WriteBlock(rig.Context(c.textMode, false), AsBytes(c.block)), c.result);
        rig.loop.RunPending();

        EXPECT_EQ(rig.Messages(), c.lines);
        EXPECT_EQ(rig.view.sentPane, c.sentPane);
        EXPECT_EQ(rig.view.ProgressShowCount(), c.barsShown);
        EXPECT_FALSE(rig.view.ProgressVisible());
        EXPECT_TRUE(rig.view.IsEnabled(ids::kBinModeCheck));
        // The end of the previous block may still be on its way out: only an abort drops it.
        EXPECT_EQ(fake->PurgeCount(FakeSerialDevice::Queue::kOutput), c.outputPurges);
        EXPECT_EQ(fake->Written(), c.failure ? std::vector<std::uint8_t>{} : AsBytes(c.block));
        ASSERT_EQ(rig.view.Messages().size(), c.failure ? 1u : 0u);
        if (c.failure) {
            EXPECT_EQ(rig.view.Messages().back().caption, "Meldung:");
            EXPECT_EQ(rig.view.Messages().back().text, OsErrorText(EIO));
        }
    }
}

TEST(WriteBlock, WritesNothingOnceThePortIsClosing) {
    auto fake = std::make_shared<FakeSerialDevice>();
    SendRig rig(FakeSerialDevice::Share(fake), ManualLoop::Clock::kVirtual);
    rig.port.portOpen = false;
    EXPECT_EQ(WriteBlock(rig.Context(false, false), AsBytes("ABC")), BlockResult::kAborted);
    rig.loop.RunPending();
    EXPECT_TRUE(fake->Written().empty());
    EXPECT_TRUE(rig.Messages().empty());
}

}  // namespace
}  // namespace velotrix::test
