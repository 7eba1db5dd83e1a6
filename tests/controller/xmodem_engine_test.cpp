// XMODEM through the engine on a fake line and the virtual clock: the received bytes belong to the
// transfer and never become a reception, each end is told and leaves what it must (the file as the
// reception, CAN on the line), and what may not start is refused.
#include <gtest/gtest.h>

#include <algorithm>

#include "serial/engine.h"
#include "serial/xmodem.h"
#include "support/rig.h"

namespace velotrix::test {
namespace {

using namespace std::chrono_literals;
namespace xm = xmodem;

// Everything the program wrote once it has written count bytes (or after ten seconds).
Bytes WrittenAfter(Rig& r, std::size_t count) {
    r.Pump([&] { return r.line().Written().size() >= count; });
    r.loop.RunPending();
    return r.line().Written();
}

std::string Ended(xm::End end) {
    return "xmodem ended " + std::to_string(static_cast<int>(end));
}

bool Logged(const Rig& r, const std::string& entry) {
    return std::find(r.log.begin(), r.log.end(), entry) != r.log.end();
}

const Bytes kCancel(xm::kCancelCount, xm::kCan);

TEST(XmodemEngine, ReceivedFileBecomesTheReception) {
    Rig r;
    r.Do("open");
    ASSERT_TRUE(r.engine().ReceiveXmodem(false).ok());
    EXPECT_EQ(WrittenAfter(r, 1), Bytes{'C'});
    r.Do("xblock 1; eot; eot");
    EXPECT_EQ(WrittenAfter(r, 4), (Bytes{'C', xm::kAck, xm::kNak, xm::kAck}));
    r.PumpUntilIdle();
    EXPECT_TRUE(Logged(r, Ended(xm::End::kDone)));
    EXPECT_TRUE(Logged(r, "header BIN"));
    EXPECT_EQ(Bytes(r.engine().Reception().begin(), r.engine().Reception().end()),
              CountingBytes(128));
    // The protocol's bytes were never listed or counted as a reception of their own.
    EXPECT_EQ(r.received, 0u);
    // The other side's late repeat of the end is still the transfer's; after a second of quiet
    // the line's bytes are a reception again.
    r.Feed({xm::kEot});
    EXPECT_EQ(r.received, 0u);
    r.loop.Advance(1000ms);
    r.Feed(CountingBytes(16));
    EXPECT_EQ(r.received, 16u);
}

TEST(XmodemEngine, EachEndIsToldAndLeavesWhatItMust) {
    const struct {
        const char* name;
        const char* after;  // rig steps once the first block has been taken
        xm::End end;
        bool canSent;
    } rows[] = {
        // clang-format off
        {"the user closes the port", "close", xm::End::kCancelledByUser, true},
        {"the line is lost", "failwait 5; pump", xm::End::kLineLost, false},
        {"ten seconds of silence", "advance 10000", xm::End::kTimeout, true},
        // clang-format on
    };
    for (const auto& row : rows) {
        Rig r;
        r.Do("open; mkdir in");
        ASSERT_TRUE(r.engine().ReceiveXmodem(true).ok()) << row.name;
        r.Do("xblock 1");
        WrittenAfter(r, 2);
        r.Do(row.after);
        r.Pump([&] { return Logged(r, Ended(row.end)); });
        EXPECT_TRUE(Logged(r, Ended(row.end))) << row.name;
        // The C, the ACK, in silence a NAK, and perhaps the CANs.
        const std::size_t before = row.end == xm::End::kTimeout ? 3 : 2;
        const Bytes written = WrittenAfter(r, before + (row.canSent ? kCancel.size() : 0));
        EXPECT_EQ(written.size() >= kCancel.size() &&
                      std::equal(kCancel.begin(), kCancel.end(), written.end() - kCancel.size()),
                  row.canSent)
            << row.name;
        // What came is kept, untrimmed, under a name that says it is not the whole file.
        r.Do("savein in");
        r.Expect("in=default-unvollstaendig.bin 128");
    }
}

TEST(XmodemEngine, SendsTheFileAsItWasLoaded) {
    const struct {
        const char* name;
        const char* steps;
        bool withHeader;  // the header as the TX fields show it goes before the data
    } rows[] = {
        // clang-format off
        {"a BIN file as its data", "load A_4000.bin 200", false},
        {"a z80 file with its header", "load A.z80 200", true},
        {"a z80 file with the BIN switch as its data", "load A.z80 200; bin", false},
        // clang-format on
    };
    for (const auto& row : rows) {
        Rig r;
        r.Do(row.steps);
        r.Do("open");
        const TxImage& image = r.engine().Image();
        ASSERT_EQ(image.dataLength, 200u) << row.name;
        const Bytes data = CountingBytes(200);
        const Bytes file =
            row.withHeader
                ? Concat(Bytes(image.image.begin(), image.image.begin() + kHeaderSize), data)
                : data;
        // The receiver's first request came before the send began: it is answered at once.
        r.Feed({'C'});
        ASSERT_TRUE(r.engine().SendXmodem(false).ok()) << row.name;
        EXPECT_EQ(r.engine().SendFile().kind, ErrorKind::kBusy) << row.name;
        Bytes expected;
        std::size_t offset = 0;
        for (std::uint32_t block = 1; offset < file.size(); ++block, offset += 128) {
            const std::size_t size = std::min<std::size_t>(128, file.size() - offset);
            xm::AppendBlock(expected, block, std::span(file).subspan(offset, size), xm::kShortBlock,
                            xm::Check::kCrc16);
            EXPECT_EQ(WrittenAfter(r, expected.size()), expected) << row.name << " " << block;
            r.Feed({xm::kAck});
        }
        expected.push_back(xm::kEot);
        EXPECT_EQ(WrittenAfter(r, expected.size()), expected) << row.name;
        r.Feed({xm::kAck});
        EXPECT_TRUE(r.PumpUntilIdle()) << row.name;
        EXPECT_TRUE(Logged(r, Ended(xm::End::kDone))) << row.name;
        // Only the request that came before the send was a reception.
        EXPECT_EQ(r.received, 1u) << row.name;
    }
}

TEST(XmodemEngine, RefusedWhatMayNotStart) {
    const struct {
        const char* name;
        const char* steps;
        bool sending;
        ErrorKind refusal;
    } rows[] = {
        // clang-format off
        {"a closed port", "load A.bin 100", true, ErrorKind::kNotOpen},
        {"nothing loaded", "open", true, ErrorKind::kNothingToSend},
        {"a reception runs", "open; load A.bin 100; feed 5", true, ErrorKind::kBusy},
        {"a reception runs, for a receive too", "open; feed 5", false, ErrorKind::kBusy},
        {"a send runs", "open; load A.bin 100; hold; send", false, ErrorKind::kBusy},
        {"the self-test runs", "open; selftest", false, ErrorKind::kBusy},
        // clang-format on
    };
    for (const auto& row : rows) {
        Rig r;
        r.Do(row.steps);
        const EngineResult started =
            row.sending ? r.engine().SendXmodem(false) : r.engine().ReceiveXmodem(false);
        EXPECT_EQ(started.kind, row.refusal) << row.name;
        EXPECT_FALSE(r.engine().XmodemRunning()) << row.name;
        r.Do("release");
    }
    // One transfer at a time, and nothing else on the line while it runs.
    Rig r;
    r.Do("open; load A.bin 100");
    ASSERT_TRUE(r.engine().ReceiveXmodem(false).ok());
    EXPECT_EQ(r.engine().SendXmodem(false).kind, ErrorKind::kBusy);
    EXPECT_EQ(r.engine().ReceiveXmodem(false).kind, ErrorKind::kBusy);
    EXPECT_EQ(r.engine().SendText("x").kind, ErrorKind::kBusy);
    EXPECT_EQ(r.engine().StartSelfTest().kind, ErrorKind::kBusy);
    r.engine().CancelXmodem();
    r.Pump([&] { return Logged(r, Ended(xm::End::kCancelledByUser)); });
    EXPECT_EQ(WrittenAfter(r, 1 + kCancel.size()), Concat(Bytes{'C'}, kCancel));
}

}  // namespace
}  // namespace velotrix::test
