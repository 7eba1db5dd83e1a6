// The receive engine on the UI thread alone: listing, RX fields, totals, CRC and what "Sichern"
// gets.
#include <gtest/gtest.h>

#include <algorithm>

#include "controller/controller_fixture.h"
#include "support/port_rig.h"
#include "ui-resources/ids.h"

namespace velotrix::test {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

const std::string kSeparator(47, '-');

class ReceiveEngineTest : public ::testing::Test {
  protected:
    ReceiveEngineTest() { rig.engine.ResetListing(); }

    void Feed(const Bytes& bytes, std::size_t batchSize = 100) {
        for (std::size_t at = 0; at < bytes.size(); at += batchSize) {
            const std::size_t count = std::min(batchSize, bytes.size() - at);
            rig.engine.ConsumeReceivedBytes(std::span(bytes).subspan(at, count));
        }
    }
    Bytes Savable() const {
        const auto bytes = rig.engine.SavableBytes();
        return Bytes(bytes.begin(), bytes.end());
    }
    std::string Text(int id) const { return rig.view.Text(id); }
    std::vector<std::string> Tail(std::size_t count) const {
        const std::vector<std::string> listing = rig.Listing();
        return {listing.end() - static_cast<std::ptrdiff_t>(count), listing.end()};
    }

    PortRig rig{[] { return std::vector<PortInfo>{}; }, {}};
};

TEST_F(ReceiveEngineTest, ReceptionsAreListedTotalledAndChecksummedWhateverTheBatches) {
    struct Case {
        Bytes bytes;
        std::size_t dataStart, listingLines;
        std::string firstLine, lastDataLine, kind, crc, length;
    };
    const std::vector<Case> cases = {
        {CountingBytes(16), 0, 1, "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F ",
         "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F ", " ", "3B37", "0010"},
        {CountingBytes(40), 0, 3, "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F ",
         "20 21 22 23 24 25 26 27 ", "Empfangen: BIN", "0476", "0028"},
        {Z80File(0x1000, 0x13C7, 0x1000, 'B', "HELLO", 968), 32, 63,
         "00 10 C7 13 00 10 00 00 00 00 00 00 42 D3 D3 D3 ", "C0 C1 C2 C3 C4 C5 C6 C7 ",
         "Empfangen: z80", "653A", "03C8"},
    };
    for (const Case& c : cases) {
        for (std::size_t batch : {std::size_t{1}, std::size_t{7}, c.bytes.size()}) {
            SCOPED_TRACE(std::to_string(c.bytes.size()) + " in batches of " +
                         std::to_string(batch));
            rig.screen.ClearMessages();
            Feed(c.bytes, batch);
            rig.loop.Advance(1000ms);

            const std::vector<std::string> listing = rig.Listing();
            ASSERT_EQ(listing.size(), c.listingLines + 3);
            EXPECT_EQ(listing.front(), c.firstLine);
            EXPECT_EQ(listing[c.listingLines - 1], c.lastDataLine);
            EXPECT_EQ(Tail(3),
                      (std::vector<std::string>{
                          kSeparator, "Bytes empfangen gesamt: " + std::to_string(c.bytes.size()),
                          "Sichern per Button"}));
            EXPECT_EQ(rig.view.Selection(ids::kMessageList), static_cast<int>(listing.size()) - 1);
            EXPECT_EQ(Text(ids::kRxKind), c.kind);
            EXPECT_EQ(Text(ids::kRxCrc) + " " + Text(ids::kRxBytes), c.crc + " " + c.length);
            EXPECT_EQ(Savable(), c.bytes);
            EXPECT_EQ(rig.engine.SavableHasHeader(), c.dataStart != 0);
            EXPECT_TRUE(rig.view.IsEnabled(ids::kSaveButton));
            EXPECT_EQ(rig.view.PaneText(ids::kPaneReceived), "");
        }
    }
}

TEST_F(ReceiveEngineTest, FinishedReceptionStaysSavableUntilTheNextHeaderIsDecoded) {
    const Bytes finished = CountingBytes(20);
    Feed(finished);
    rig.loop.Advance(1000ms);

    const Bytes next = Z80File(0x1000, 0x13C7, 0x2000, 'B', "HELLO", 1);
    Feed(Bytes(next.begin(), next.begin() + 32));
    EXPECT_EQ(Savable(), finished);
    EXPECT_EQ(Text(ids::kRxKind), " ");
    Feed(Bytes(next.begin() + 32, next.end()));
    EXPECT_TRUE(rig.engine.SavableBytes().empty());
    EXPECT_EQ(Text(ids::kRxKind), "Empfangen: z80");
    EXPECT_EQ(Text(ids::kRxAadr) + Text(ids::kRxEadr) + Text(ids::kRxSadr) + Text(ids::kRxName),
              "100013C72000HELLO");
    EXPECT_EQ(rig.view.Selection(ids::kRxType), 1);
    EXPECT_EQ(rig.view.PaneText(ids::kPaneReceived), "Bytes empfangen: 33");
    rig.loop.Advance(1000ms);
    EXPECT_EQ(Savable(), next);
    EXPECT_TRUE(rig.engine.SavableHasHeader());

    // 32 bytes are never decoded: the fields stay, the CRC and length cover every byte.
    const Bytes shortOne(32, 0xAA);
    Feed(shortOne);
    rig.loop.Advance(1000ms);
    EXPECT_EQ(Text(ids::kRxName), "HELLO");
    EXPECT_EQ(Text(ids::kRxBytes) + Text(ids::kRxCrc), "0020F98B");
    EXPECT_FALSE(rig.engine.SavableHasHeader());
    EXPECT_EQ(Savable(), shortOne);
}

TEST_F(ReceiveEngineTest, OnlyASecondOfSilenceAfterTheLastBatchEndsAReception) {
    Feed(Bytes(10, 0x11));
    rig.loop.Advance(999ms);
    Feed(Bytes(10, 0x22));
    rig.loop.Advance(999ms);
    EXPECT_EQ(rig.view.PaneText(ids::kPaneReceived), "Bytes empfangen: 20");
    rig.loop.Advance(1ms);
    EXPECT_EQ(Tail(2)[0], "Bytes empfangen gesamt: 20");

    Feed(Bytes(10, 0x33));
    rig.loop.Advance(1000ms);
    EXPECT_EQ(Tail(2)[0], "Bytes empfangen gesamt: 10");
    EXPECT_EQ(Savable(), Bytes(10, 0x33));
}

TEST_F(ReceiveEngineTest, BytesBeyondTheStorageAreDroppedAndReported) {
    const Bytes bytes = CountingBytes(70000);
    Feed(bytes, 4096);
    rig.loop.Advance(1000ms);
    EXPECT_EQ(rig.Listing().size(), 4096u + 4);
    EXPECT_EQ(Tail(3), (std::vector<std::string>{"Bytes empfangen gesamt: 65536",
                                                 "Empfangspuffer voll: 4464 Bytes verworfen",
                                                 "Sichern per Button"}));
    EXPECT_EQ(Savable(), Bytes(bytes.begin(), bytes.begin() + kRxStorageSize));

    Feed(CountingBytes(5));  // the next reception starts empty again
    rig.loop.Advance(1000ms);
    EXPECT_EQ(Tail(3), (std::vector<std::string>{kSeparator, "Bytes empfangen gesamt: 5",
                                                 "Sichern per Button"}));
}

TEST_F(ReceiveEngineTest, ReceptionCutByADisplayResetKeepsAllItsBytesInOrder) {
    const Bytes bytes = CountingBytes(30);
    Feed(Bytes(bytes.begin(), bytes.begin() + 20));
    rig.engine.ResetListing();
    rig.screen.ClearMessages();
    EXPECT_TRUE(rig.engine.SavableBytes().empty());
    EXPECT_EQ(Text(ids::kRxCrc), " ");

    // A batch still on its way continues the reception behind its first bytes.
    Feed(Bytes(bytes.begin() + 20, bytes.end()));
    rig.loop.Advance(1000ms);
    EXPECT_EQ(rig.Listing().front(), "14 15 16 17 18 19 1A 1B 1C 1D ");
    EXPECT_EQ(Savable(), bytes);
}

}  // namespace
}  // namespace velotrix::test
