// The receive engine on the UI thread alone: listing, RX fields, totals, CRC and what "Sichern" gets.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "app/ids.h"
#include "controller/controller_fixture.h"
#include "image/crc16.h"
#include "support/port_rig.h"
#include "text/text_helpers.h"

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
    // The silence that closes a reception.
    void Silence() { rig.loop.Advance(1000ms); }
    Bytes Savable() const {
        const auto bytes = rig.engine.SavableBytes();
        return Bytes(bytes.begin(), bytes.end());
    }
    std::string Text(int id) const { return rig.view.Text(id); }

    PortRig rig{[] { return std::vector<PortInfo>{}; }, {}};
};

struct ReceptionCase {
    const char* label;
    Bytes bytes;
    std::size_t dataStart;  // where the CRC and the length begin
    std::size_t listingLines;
    std::string firstLine;
    std::string lastDataLine;
    std::string kind;
    std::string crc;
    std::string length;
};

TEST_F(ReceiveEngineTest, ReceptionsAreListedTotalledAndChecksummedWhateverTheBatches) {
    const std::vector<ReceptionCase> cases = {
        {"16 bytes: one full line, no header test", CountingBytes(16), 0, 1,
         "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F ",
         "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F ", " ", "3B37", "0010"},
        {"40 bytes without header", CountingBytes(40), 0, 3,
         "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F ", "20 21 22 23 24 25 26 27 ",
         "Empfangen: BIN", "0476", "0028"},
        {"1000 bytes with header", Z80File(0x1000, 0x13C7, 0x1000, 'B', "HELLO", 968), 32, 63,
         "00 10 C7 13 00 10 00 00 00 00 00 00 42 D3 D3 D3 ", "C0 C1 C2 C3 C4 C5 C6 C7 ",
         "Empfangen: z80", "653A", "03C8"},
    };
    for (const ReceptionCase& c : cases) {
        for (std::size_t batch : {std::size_t{1}, std::size_t{7}, std::size_t{100}, c.bytes.size()}) {
            SCOPED_TRACE(std::string(c.label) + ", batches of " + std::to_string(batch));
            rig.screen.ClearMessages();
            Feed(c.bytes, batch);
            Silence();

            const std::vector<std::string> listing = rig.Listing();
            ASSERT_EQ(listing.size(), c.listingLines + 3);
            EXPECT_EQ(listing.front(), c.firstLine);
            EXPECT_EQ(listing[c.listingLines - 1], c.lastDataLine);
            const std::vector<std::string> trailer(listing.end() - 3, listing.end());
            EXPECT_EQ(trailer, (std::vector<std::string>{
                                   kSeparator,
                                   "Bytes empfangen gesamt: " + std::to_string(c.bytes.size()),
                                   "Sichern per Button"}));
            EXPECT_EQ(rig.view.Selection(ids::kMessageList), static_cast<int>(listing.size()) - 1);

            EXPECT_EQ(Text(ids::kRxKind), c.kind);
            EXPECT_EQ(Text(ids::kRxCrc), c.crc);
            EXPECT_EQ(Text(ids::kRxCrc),
                      Hex4(Crc16(std::span(c.bytes).subspan(c.dataStart))));
            EXPECT_EQ(Text(ids::kRxBytes), c.length);
            EXPECT_EQ(Savable(), c.bytes);
            EXPECT_EQ(rig.engine.Buffer().savableLength, c.bytes.size());
            EXPECT_EQ(rig.engine.SavableHasHeader(), c.dataStart != 0);
            EXPECT_TRUE(rig.view.IsEnabled(ids::kSaveButton));
            EXPECT_EQ(rig.view.PaneText(ids::kPaneReceived), "");
            EXPECT_EQ(rig.engine.Buffer().receivedCount, 0u);
        }
    }
}

TEST_F(ReceiveEngineTest, HeaderFieldsAreFilledAtTheThirtyThirdByte) {
    const Bytes file = Z80File(0x1000, 0x13C7, 0x2000, 'B', "HELLO", 968);
    Feed(Bytes(file.begin(), file.begin() + 32));
    EXPECT_EQ(Text(ids::kRxKind), " ");
    Feed(Bytes(file.begin() + 32, file.begin() + 33));
    EXPECT_EQ(Text(ids::kRxKind), "Empfangen: z80");
    EXPECT_EQ(Text(ids::kRxAadr), "1000");
    EXPECT_EQ(Text(ids::kRxEadr), "13C7");
    EXPECT_EQ(Text(ids::kRxSadr), "2000");
    EXPECT_EQ(Text(ids::kRxName), "HELLO");
    EXPECT_EQ(rig.view.Selection(ids::kRxType), 1);
    EXPECT_EQ(rig.view.FocusId(), ids::kRxType);
    EXPECT_EQ(rig.view.PaneText(ids::kPaneReceived), "Bytes empfangen: 33");
}

TEST_F(ReceiveEngineTest, UnknownTypeLetterLeavesTheTypeBoxWithoutSelection) {
    rig.view.ComboSelect(ids::kRxType, 3);
    Feed(Z80File(0, 0, 0, 'b', "x", 1));
    EXPECT_EQ(Text(ids::kRxKind), "Empfangen: z80");
    EXPECT_EQ(rig.view.Selection(ids::kRxType), -1);
}

TEST_F(ReceiveEngineTest, ShortReceptionAfterAHeaderOneKeepsTheFieldsAndChecksumsAllItsBytes) {
    Feed(Z80File(0x1000, 0x13C7, 0x1000, 'B', "HELLO", 968));
    Silence();
    const Bytes shortOne(32, 0xAA);
    Feed(shortOne);
    Silence();
    EXPECT_EQ(Text(ids::kRxKind), "Empfangen: z80");
    EXPECT_EQ(Text(ids::kRxAadr), "1000");
    EXPECT_EQ(Text(ids::kRxName), "HELLO");
    EXPECT_EQ(Text(ids::kRxBytes), "0020");
    EXPECT_EQ(Text(ids::kRxCrc), "F98B");
    EXPECT_FALSE(rig.engine.Buffer().hasHeader);
    EXPECT_FALSE(rig.engine.SavableHasHeader());
    EXPECT_EQ(Savable(), shortOne);
}

TEST_F(ReceiveEngineTest, OnlyASecondOfSilenceEndsAReception) {
    struct GapCase {
        std::chrono::milliseconds gap;
        std::vector<std::string> totals;
        Bytes savable;
    };
    const Bytes first(10, 0x11);
    const Bytes second(10, 0x22);
    Bytes both = first;
    both.insert(both.end(), second.begin(), second.end());
    const std::vector<GapCase> cases = {
        {999ms, {"Bytes empfangen gesamt: 20"}, both},
        {1000ms, {"Bytes empfangen gesamt: 10", "Bytes empfangen gesamt: 10"}, second},
    };
    for (const GapCase& c : cases) {
        SCOPED_TRACE(c.gap.count());
        rig.screen.ClearMessages();
        Feed(first);
        EXPECT_EQ(rig.view.PaneText(ids::kPaneReceived), "Bytes empfangen: 10");
        rig.loop.Advance(c.gap);
        Feed(second);
        // The timer counts from the last batch.
        rig.loop.Advance(999ms);
        EXPECT_NE(rig.view.PaneText(ids::kPaneReceived), "");
        rig.loop.Advance(1ms);
        EXPECT_EQ(rig.view.PaneText(ids::kPaneReceived), "");

        std::vector<std::string> totals;
        for (const std::string& line : rig.Listing()) {
            if (line.starts_with("Bytes empfangen gesamt")) {
                totals.push_back(line);
            }
        }
        EXPECT_EQ(totals, c.totals);
        EXPECT_EQ(Savable(), c.savable);
    }
}

TEST_F(ReceiveEngineTest, BytesBeyondTheStorageAreDroppedAndReported) {
    const Bytes bytes = CountingBytes(70000);
    Feed(bytes, 4096);
    EXPECT_EQ(rig.engine.Buffer().receivedCount, kRxStorageSize);
    EXPECT_EQ(rig.engine.DroppedCount(), 70000u - kRxStorageSize);
    EXPECT_EQ(rig.view.PaneText(ids::kPaneReceived), "Bytes empfangen: 65536");
    Silence();

    const std::vector<std::string> listing = rig.Listing();
    ASSERT_EQ(listing.size(), 4096u + 4);
    EXPECT_EQ(listing[4095], "F0 F1 F2 F3 F4 F5 F6 F7 F8 F9 FA FB FC FD FE FF ");
    EXPECT_EQ(std::vector<std::string>(listing.end() - 3, listing.end()),
              (std::vector<std::string>{"Bytes empfangen gesamt: 65536",
                                        "Empfangspuffer voll: 4464 Bytes verworfen",
                                        "Sichern per Button"}));
    EXPECT_EQ(Savable(), Bytes(bytes.begin(), bytes.begin() + kRxStorageSize));
    EXPECT_EQ(Text(ids::kRxBytes), "0000");

    // The next reception starts empty again and reports nothing dropped.
    rig.screen.ClearMessages();
    Feed(CountingBytes(5));
    Silence();
    EXPECT_EQ(rig.Listing().back(), "Sichern per Button");
    EXPECT_EQ(rig.Listing().size(), 4u);
}

TEST_F(ReceiveEngineTest, FinishedReceptionStaysSavableUntilTheNextOneIsDecoded) {
    const Bytes finished = Z80File(0x1000, 0x1003, 0x1000, 'B', "HELLO", 4);
    Feed(finished);
    Silence();

    const Bytes next = CountingBytes(40);
    Feed(Bytes(next.begin(), next.begin() + 32));
    EXPECT_EQ(Savable(), finished);
    EXPECT_TRUE(rig.engine.SavableHasHeader());
    EXPECT_EQ(rig.engine.Buffer().savableLength, finished.size());

    Feed(Bytes(next.begin() + 32, next.end()));
    EXPECT_TRUE(rig.engine.SavableBytes().empty());
    EXPECT_EQ(rig.engine.Buffer().savableLength, 0u);
    Silence();
    EXPECT_EQ(Savable(), next);
    EXPECT_FALSE(rig.engine.SavableHasHeader());
}

TEST_F(ReceiveEngineTest, DisplayResetEmptiesWhatCanBeSaved) {
    Feed(CountingBytes(40));
    Silence();
    rig.engine.ResetListing();
    EXPECT_TRUE(rig.engine.SavableBytes().empty());
    EXPECT_EQ(rig.engine.Buffer().writePosition, 0u);
    EXPECT_EQ(Text(ids::kRxKind), " ");
    EXPECT_EQ(Text(ids::kRxCrc), " ");
}

TEST_F(ReceiveEngineTest, ReceptionCutByADisplayResetIsFinishedWithAllItsBytesInOrder) {
    const Bytes bytes = CountingBytes(30);
    Feed(Bytes(bytes.begin(), bytes.begin() + 20));
    rig.engine.ResetListing();
    rig.screen.ClearMessages();
    EXPECT_EQ(rig.engine.Buffer().writePosition, 0u);
    EXPECT_EQ(rig.engine.Buffer().receivedCount, 20u);

    // A batch still on its way (or from a port opened again at once) continues the reception
    // behind its first bytes instead of overwriting them.
    Feed(Bytes(bytes.begin() + 20, bytes.end()));
    Silence();
    EXPECT_EQ(rig.Listing(), (std::vector<std::string>{"14 15 16 17 18 19 1A 1B 1C 1D ", kSeparator,
                                                       "Bytes empfangen gesamt: 30",
                                                       "Sichern per Button"}));
    EXPECT_EQ(Savable(), bytes);
}

}  // namespace
}  // namespace velotrix::test
