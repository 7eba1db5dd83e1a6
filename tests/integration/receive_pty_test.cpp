// Receiving through a real pseudo-terminal: saving, line settings, hang-up, open/close under load.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <thread>

#include "controller/controller_fixture.h"
#include "image/rx_save.h"
#include "platform/files.h"
#include "platform/serial_device.h"
#include "support/port_rig.h"
#include "support/pty_pair.h"
#include "support/temp_dir.h"
#include "ui-resources/ids.h"

namespace velotrix::test {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

class ReceivePtyTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(pty.ok()); }

    std::unique_ptr<PortRig> MakeRig() {
        const PortInfo port{"pty", pty.SlavePath()};
        return std::make_unique<PortRig>([port] { return std::vector<PortInfo>{port}; },
                                         OpenSerialDevice);
    }
    static void Open(PortRig& target) {
        target.PressComButton();
        ASSERT_TRUE(target.control.IsOpen());
        ASSERT_TRUE(target.view.Messages().empty());
    }

    PtyPair pty;
    std::unique_ptr<PortRig> rig = MakeRig();
};

TEST_F(ReceivePtyTest, FullReceptionInBurstsIsSavedByteForByte) {
    Open(*rig);
    const Bytes sent = CountingBytes(kRxStorageSize);
    constexpr std::size_t kBurst = 4096;
    for (std::size_t at = 0; at < sent.size(); at += kBurst) {
        ASSERT_TRUE(pty.Write(Bytes(sent.begin() + at, sent.begin() + at + kBurst)));
        ASSERT_TRUE(rig->PumpUntilReceived(static_cast<std::uint32_t>(at + kBurst)));
        rig->loop.Advance(900ms);  // a gap, but less than the silence time
    }
    rig->loop.Advance(1000ms);

    const std::vector<std::string> listing = rig->Listing();
    ASSERT_EQ(listing.size(), kRxStorageSize / 16 + 3);
    EXPECT_EQ(listing.end()[-2], "Bytes empfangen gesamt: 65536");
    const TempDir dir;
    const std::string path = dir.File("rx.bin");
    EXPECT_EQ(SaveRxBuffer(path, rig->engine.SavableBytes()).status, SaveStatus::kWritten);
    EXPECT_EQ(ReadFileBytes(path), std::string(sent.begin(), sent.end()));
}

TEST_F(ReceivePtyTest, HangUpShowsOneBoxAndKeepsWhatCameBefore) {
    Open(*rig);
    const Bytes sent = CountingBytes(100);
    ASSERT_TRUE(pty.Write(sent));
    ASSERT_TRUE(rig->PumpUntilReceived(100));
    pty.CloseMaster();
    ASSERT_TRUE(rig->PumpUntil([&] { return !rig->view.Messages().empty(); }));

    // No loop of boxes and no spinning thread afterwards.
    const auto cpuBefore = ProcessCpuTime();
    rig->PumpUntil([] { return false; }, 500ms);
    EXPECT_LT(ProcessCpuTime() - cpuBefore, 250ms);
    ASSERT_EQ(rig->view.Messages().size(), 1u);
    EXPECT_EQ(rig->view.Messages()[0].caption, "Meldung:");
    EXPECT_TRUE(rig->control.IsOpen());

    rig->PressComButton();
    EXPECT_FALSE(rig->control.IsOpen());
    rig->loop.Advance(1000ms);
    const auto savable = rig->engine.SavableBytes();
    EXPECT_EQ(Bytes(savable.begin(), savable.end()), sent);
}

TEST_F(ReceivePtyTest, OpenPortHasTheChosenSettingsAndRefusesASecondOpen) {
    std::unique_ptr<PortRig> other = MakeRig();  // probed while the port was still free
    ASSERT_TRUE(rig->Choose(ids::kBaudCombo, "2400"));
    ASSERT_TRUE(rig->Choose(ids::kStopBitsCombo, "2"));
    ASSERT_TRUE(rig->Choose(ids::kFlowCombo, "CTS"));
    Open(*rig);
    const AppliedSettings applied = rig->port.device->ReadBack();
    EXPECT_EQ(applied.baudRate, 2400u);
    EXPECT_EQ(applied.stopBits, 2);
    EXPECT_TRUE(applied.ctsFlow);

    other->control.TogglePort();
    EXPECT_EQ(other->view.Messages().at(0).text, OsErrorText(EBUSY));
    EXPECT_FALSE(other->control.IsOpen());
    ASSERT_TRUE(pty.Write(Bytes{1, 2, 3}));
    EXPECT_TRUE(rig->PumpUntilReceived(3));
}

TEST_F(ReceivePtyTest, ThousandOpenCloseCyclesWhileTheFarEndSends) {
    std::atomic<bool> sending{true};
    std::thread farEnd([&] {
        // About 64 KB/s, faster than any serial line the program drives.
        const Bytes chunk = CountingBytes(64);
        while (sending) {
            pty.Write(chunk, 5ms);
            std::this_thread::sleep_for(1ms);
        }
    });
    for (int cycle = 0; cycle < 1000 && !HasFailure(); ++cycle) {
        rig->PressComButton();
        EXPECT_TRUE(rig->control.IsOpen()) << cycle;
        rig->loop.RunPending();
        rig->PressComButton();
        EXPECT_FALSE(rig->control.IsOpen()) << cycle;
        rig->loop.RunPending();
    }
    sending = false;
    farEnd.join();
    EXPECT_TRUE(rig->view.Messages().empty());
}

}  // namespace
}  // namespace velotrix::test
