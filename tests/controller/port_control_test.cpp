// Port control and the receive thread on scripted devices: probe, open, close, CTS and failures.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <thread>
#include <tuple>

#include "controller/controller_fixture.h"
#include "platform/fake/fake_serial_device.h"
#include "platform/files.h"
#include "support/port_rig.h"
#include "ui-resources/ids.h"

namespace velotrix::test {
namespace {

using namespace std::chrono_literals;
using Queue = FakeSerialDevice::Queue;

const std::string kOpenCaption =
    "COM \xF6"
    "ffnen";

// The fake with a driver that refuses settings, reports a line error or fails reads when told to.
class MisbehavingFake : public FakeSerialDevice {
  public:
    OsError Configure(const LineSettings& settings) override {
        return configureError ? OsError{configureError, {}} : FakeSerialDevice::Configure(settings);
    }
    OsResult<std::size_t> Read(std::uint8_t* buffer, std::size_t maxCount) override {
        return failingReads-- > 0 ? OsResult<std::size_t>{0, OsError{EIO, {}}}
                                  : FakeSerialDevice::Read(buffer, maxCount);
    }
    LineErrors TakeLineErrors() override {
        LineErrors errors = FakeSerialDevice::TakeLineErrors();
        errors.framing = errors.framing || lineErrorOnFirstDrain.exchange(false);
        return errors;
    }

    int configureError = 0;
    std::atomic<bool> lineErrorOnFirstDrain = false;
    std::atomic<int> failingReads = 0;
};

class PortControlTest : public ::testing::Test {
  protected:
    // Fake devices under these names, probed as the program's start probes.
    void Start(const std::vector<std::string>& names) {
        registry = FakeSerialDevice::Registry();
        devices.clear();
        for (const std::string& name : names) {
            devices.push_back(registry.Add("/dev/fake/" + name));
        }
        MakeRig(registry.Lister(), registry.Opener());
    }
    // One port whose driver misbehaves as the fake is told.
    std::shared_ptr<MisbehavingFake> StartMisbehaving() {
        auto fake = std::make_shared<MisbehavingFake>();
        devices = {fake};
        MakeRig(
            [] {
                return std::vector<PortInfo>{{"ttyS0", "/dev/fake/ttyS0"}};
            },
            [fake](const std::string&) {
                return OsResult<std::unique_ptr<SerialDevice>>{FakeSerialDevice::Share(fake), {}};
            });
        return fake;
    }
    void MakeRig(ListPortsFunction listPorts, OpenDeviceFunction openDevice) {
        rig = std::make_unique<PortRig>(std::move(listPorts), std::move(openDevice));
        rig->control.SetStopSender([this] { ++senderStops; });
    }
    void PumpFor(std::chrono::milliseconds time) {
        rig->PumpUntil([] { return false; }, time);
    }
    void Open(const std::string& flow = "keine") {
        ASSERT_TRUE(rig->Choose(ids::kFlowCombo, flow));
        rig->PressComButton();
        ASSERT_TRUE(rig->control.IsOpen());
        ASSERT_TRUE(devices[0]->WaitUntilWaiting(5s));
    }
    const std::vector<HeadlessView::Message>& Boxes() const { return rig->view.Messages(); }
    int InputPurges() const { return devices[0]->PurgeCount(Queue::kInput); }

    FakeSerialDevice::Registry registry;
    std::vector<std::shared_ptr<FakeSerialDevice>> devices;
    std::unique_ptr<PortRig> rig;
    int senderStops = 0;
};

TEST_F(PortControlTest, ProbeOffersTheFreePortsWithTheFirstSelected) {
    struct Case {
        std::vector<std::string> names, busy, offered;
        std::string box;
    };
    const std::vector<Case> cases = {
        {{}, {}, {}, "Keine (freien) COM-Ports"},
        {{"ttyS0", "ttyS2"}, {}, {"ttyS0", "ttyS2"}, "ttyS0\r\nttyS2"},
        {{"ttyS0", "ttyUSB0"}, {"ttyS0"}, {"ttyUSB0"}, "ttyUSB0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        Start(c.names);
        for (const std::string& name : c.busy) {
            registry.FailOpen("/dev/fake/" + name, OsError{EBUSY, {}});
        }
        EXPECT_TRUE(Boxes().empty());
        rig->control.EnumeratePorts(true);
        EXPECT_EQ(rig->view.Lines(ids::kPortCombo), c.offered);
        EXPECT_EQ(rig->view.Selection(ids::kPortCombo), c.offered.empty() ? -1 : 0);
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].text, c.box);
        EXPECT_EQ(Boxes()[0].caption,
                  "Verf\xFC"
                  "gbar");
    }
}

TEST_F(PortControlTest, FailedOpenShowsTheOsTextAndLeavesThePortClosed) {
    struct Case {
        std::vector<std::string> names;
        OsError openError;
        int configureError;  // the driver refuses the settings
        std::string text;
    };
    const std::vector<Case> cases = {
        {{}, {}, 0, OsErrorText(ENODEV)},
        {{"ttyS0"}, {EACCES, "Gruppe dialout"}, 0, OsErrorText(EACCES) + "\rGruppe dialout"},
        {{"ttyS0"}, {}, EINVAL, OsErrorText(EINVAL)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        if (c.configureError) {
            StartMisbehaving()->configureError = c.configureError;
        } else {
            Start(c.names);
            registry.FailOpen("/dev/fake/ttyS0", c.openError);
        }
        rig->control.TogglePort();
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].text, c.text);
        EXPECT_EQ(Boxes()[0].caption, "Meldung:");
        EXPECT_FALSE(rig->control.IsOpen());
        EXPECT_EQ(rig->view.Text(ids::kComButton), kOpenCaption);
        EXPECT_TRUE(rig->view.IsEnabled(ids::kPortCombo));
        EXPECT_TRUE(devices.empty() || !devices[0]->IsOpen());
    }
}

TEST_F(PortControlTest, OpenAppliesTheSettingsAndCloseUndoesEverything) {
    Start({"ttyS0"});
    ASSERT_TRUE(rig->Choose(ids::kBaudCombo, "2400"));
    ASSERT_TRUE(rig->Choose(ids::kParityCombo, "gerade"));
    ASSERT_TRUE(rig->Choose(ids::kDataBitsCombo, "7"));
    ASSERT_TRUE(rig->Choose(ids::kStopBitsCombo, "2"));
    Open("CTS");
    const AppliedSettings a = devices[0]->ReadBack();
    EXPECT_EQ(std::tuple(a.baudRate, a.parity, a.dataBits, a.stopBits, a.ctsFlow),
              std::tuple(2400u, Parity::kEven, 7, 2, true));
    EXPECT_EQ(rig->view.Text(ids::kComButton),
              "COM schlie\xDF"
              "en");
    EXPECT_FALSE(rig->view.IsEnabled(ids::kPortCombo));
    EXPECT_TRUE(rig->view.MenuEnabled(ids::kMenuSendText));

    const int purges = InputPurges();
    rig->PressComButton();
    EXPECT_FALSE(devices[0]->IsOpen());
    EXPECT_EQ(InputPurges(), purges + 1);
    EXPECT_EQ(senderStops, 1);
    EXPECT_EQ(rig->view.Text(ids::kComButton), kOpenCaption);
    EXPECT_TRUE(rig->view.IsEnabled(ids::kPortCombo));
    EXPECT_FALSE(rig->view.IsVisible(ids::kCtsIndicator));
    EXPECT_FALSE(rig->view.MenuEnabled(ids::kMenuSendText));
    rig->control.ClosePort();
    EXPECT_EQ(senderStops, 1);
}

TEST_F(PortControlTest, CtsIndicatorIsShownWithCtsFlowAndFollowsTheLine) {
    for (const std::string flow : {"CTS", "keine"}) {
        Start({"ttyS0"});
        devices[0]->SetCts(true);
        Open(flow);
        EXPECT_EQ(rig->view.IsVisible(ids::kCtsIndicator), flow == "CTS");
        EXPECT_TRUE(rig->view.IsChecked(ids::kCtsIndicator));
        devices[0]->SetCts(false);
        EXPECT_TRUE(rig->PumpUntil([&] { return !rig->view.IsChecked(ids::kCtsIndicator); }));
    }
}

TEST_F(PortControlTest, ProbeWhileOpenLeavesOutTheOpenPortWhichGoesOnWorking) {
    Start({"ttyS0", "ttyS1"});
    Open();
    rig->control.EnumeratePorts(true);
    EXPECT_EQ(Boxes().at(0).text, "ttyS1");
    EXPECT_EQ(rig->view.Lines(ids::kPortCombo), std::vector<std::string>{"ttyS1"});
    devices[0]->InjectInput("hi");
    EXPECT_TRUE(rig->PumpUntilReceived(2));
    rig->PressComButton();
    EXPECT_FALSE(devices[0]->IsOpen());
}

// A failed wait ends the thread at once; one failed read does not, a second one in a row does.
// Either way one box, and the port stays open until the COM button closes it.
TEST_F(PortControlTest, FailedWaitOrReadShowsOneBoxAndOnlyAFailingDeviceEndsTheThread) {
    const struct {
        int failingReads, waits;
        std::uint32_t received;
    } cases[] = {{0, 1, 0}, {1, 3, 2}, {2, 2, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failingReads);
        StartMisbehaving()->failingReads = c.failingReads;
        Open();
        if (c.failingReads == 0) {
            devices[0]->FailNextWait(EIO);
        }
        devices[0]->InjectInput("ab");
        PumpFor(100ms);
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].text, OsErrorText(EIO));
        EXPECT_EQ(rig->engine.Buffer().receivedCount, c.received);
        EXPECT_EQ(devices[0]->WaitCount(), c.waits);
        EXPECT_TRUE(rig->control.IsOpen());
        rig->PressComButton();
        EXPECT_FALSE(devices[0]->IsOpen());
    }
}

TEST_F(PortControlTest, LineErrorPurgesAndPausesSilentlyAndBytesWithACtsChangeOnlyDrain) {
    StartMisbehaving()->lineErrorOnFirstDrain = true;
    std::atomic<bool> release = false;
    std::atomic<int> pausedMs = 0;
    rig->control.SetLineErrorPause([&](std::chrono::milliseconds duration, const auto& stopped) {
        pausedMs = static_cast<int>(duration.count());
        while (!release && !stopped()) {
            std::this_thread::sleep_for(1ms);
        }
    });
    Open("CTS");
    const int purges = InputPurges();
    devices[0]->InjectInput("lost");
    ASSERT_TRUE(rig->PumpUntil([&] { return pausedMs == 2000; }));
    EXPECT_EQ(InputPurges(), purges + 1);

    // Both wait for the thread's next wake, which drains the input only.
    devices[0]->InjectInput("ok");
    devices[0]->SetCts(true);
    release = true;
    EXPECT_TRUE(rig->PumpUntilReceived(2));
    PumpFor(50ms);
    EXPECT_FALSE(rig->view.IsChecked(ids::kCtsIndicator));
    EXPECT_TRUE(Boxes().empty());
    rig->PressComButton();  // before the pause's state goes away
}

TEST_F(PortControlTest, ClosingDuringTheLineErrorPauseDoesNotWaitForIt) {
    StartMisbehaving()->lineErrorOnFirstDrain = true;
    Open();
    const int purges = InputPurges();
    devices[0]->InjectInput("x");
    ASSERT_TRUE(rig->PumpUntil([&] { return InputPurges() == purges + 1; }));
    std::this_thread::sleep_for(50ms);
    const auto before = std::chrono::steady_clock::now();
    rig->PressComButton();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
}

TEST_F(PortControlTest, ComButtonDuringAReceptionFinishesItASecondAfterTheLastBatch) {
    Start({"ttyS0"});
    Open();
    devices[0]->InjectInput(CountingBytes(20));
    ASSERT_TRUE(rig->PumpUntilReceived(20));
    rig->loop.Advance(300ms);
    rig->PressComButton();
    rig->loop.Advance(699ms);
    EXPECT_TRUE(rig->Listing().empty());
    rig->loop.Advance(1ms);
    EXPECT_EQ(rig->Listing(),
              (std::vector<std::string>{std::string(47, '-'), "Bytes empfangen gesamt: 20",
                                        "Sichern per Button"}));
    EXPECT_TRUE(rig->view.IsEnabled(ids::kSaveButton));
    EXPECT_EQ(rig->engine.SavableBytes().size(), 20u);
}

}  // namespace
}  // namespace velotrix::test
