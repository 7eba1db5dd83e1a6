// Port control on scripted devices: the probe, opening and closing, line settings, the CTS
// indicator, and the failures the user sees.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/ids.h"
#include "controller/controller_fixture.h"
#include "platform/fake/fake_serial_device.h"
#include "platform/files.h"
#include "support/port_rig.h"

namespace velotrix::test {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Message = HeadlessView::Message;

const std::string kOpenCaption = "COM \xF6" "ffnen";
const std::string kCloseCaption = "COM schlie\xDF" "en";

// A device that passes everything to the fake, except where a test makes the driver misbehave.
class MisbehavingDevice : public SerialDevice {
public:
    struct Script {
        OsError configureError;
        bool lineErrorOnFirstDrain = false;
    };
    MisbehavingDevice(std::unique_ptr<SerialDevice> inner, Script script)
        : inner_(std::move(inner)), script_(std::move(script)) {}

    OsError Configure(const LineSettings& settings) override {
        return script_.configureError ? script_.configureError : inner_->Configure(settings);
    }
    AppliedSettings ReadBack() const override { return inner_->ReadBack(); }
    OsResult<SerialEvents> WaitEvent() override { return inner_->WaitEvent(); }
    void CancelWaits() override { inner_->CancelWaits(); }
    std::size_t QueuedInput() override { return inner_->QueuedInput(); }
    OsResult<std::size_t> Read(std::uint8_t* buffer, std::size_t maxCount) override {
        return inner_->Read(buffer, maxCount);
    }
    OsResult<std::size_t> Write(const std::uint8_t* bytes, std::size_t count) override {
        return inner_->Write(bytes, count);
    }
    void Drain() override { inner_->Drain(); }
    void Purge(bool input, bool output) override { inner_->Purge(input, output); }
    bool Cts() override { return inner_->Cts(); }
    LineErrors TakeLineErrors() override {
        LineErrors errors = inner_->TakeLineErrors();
        errors.framing = errors.framing || std::exchange(script_.lineErrorOnFirstDrain, false);
        return errors;
    }

private:
    std::unique_ptr<SerialDevice> inner_;
    Script script_;
};

class PortControlTest : public ::testing::Test {
protected:
    // Lists fake devices under these names; the rig probes them as the program's start does.
    void Start(const std::vector<std::string>& names,
               std::optional<MisbehavingDevice::Script> script = std::nullopt) {
        for (const std::string& name : names) {
            devices.push_back(registry.Add("/dev/fake/" + name));
        }
        OpenDeviceFunction open = registry.Opener();
        if (script) {
            open = [open, script](const std::string& path) {
                OsResult<std::unique_ptr<SerialDevice>> opened = open(path);
                if (opened.ok()) {
                    opened.value = std::make_unique<MisbehavingDevice>(std::move(opened.value), *script);
                }
                return opened;
            };
        }
        rig = std::make_unique<PortRig>(registry.Lister(), open);
        rig->control.SetStopSender([this] { ++senderStops; });
    }

    void OpenWithCtsFlow(bool ctsFlow) {
        rig->Choose(ids::kFlowCombo, ctsFlow ? "CTS" : "keine");
        rig->PressComButton();
        ASSERT_TRUE(rig->control.IsOpen());
    }

    const std::vector<Message>& Boxes() const { return rig->view.Messages(); }

    FakeSerialDevice::Registry registry;
    std::vector<std::shared_ptr<FakeSerialDevice>> devices;
    std::unique_ptr<PortRig> rig;
    int senderStops = 0;
};

TEST(LineSettingsFromCombos, MapsEachSelectionAndKeepsThePortsValueWithoutOne) {
    struct SettingsCase {
        std::vector<std::string> entries;  // baud, parity, data bits, stop bits, flow; "" for none
        std::uint32_t baud;
        std::optional<Parity> parity;
        std::optional<int> dataBits;
        std::optional<int> stopBits;
        std::optional<bool> ctsFlow;
    };
    const std::vector<SettingsCase> cases = {
        {{"", "", "", "", ""}, 0, std::nullopt, std::nullopt, std::nullopt, std::nullopt},
        {{"2400", "gerade", "7", "2", "keine"}, 2400, Parity::kEven, 7, 2, false},
        {{"115200", "ungerade", "8", "1", "CTS"}, 115200, Parity::kOdd, 8, 1, true},
        {{"300", "keine", "", "", ""}, 300, Parity::kNone, std::nullopt, std::nullopt, std::nullopt},
    };
    const int combos[] = {ids::kBaudCombo, ids::kParityCombo, ids::kDataBitsCombo,
                          ids::kStopBitsCombo, ids::kFlowCombo};
    PortRig rig{[] { return std::vector<PortInfo>{}; }, {}};
    for (const SettingsCase& c : cases) {
        SCOPED_TRACE(c.baud);
        for (std::size_t i = 0; i < c.entries.size(); ++i) {
            rig.view.ComboSelect(combos[i], -1);
            if (!c.entries[i].empty()) {
                ASSERT_TRUE(rig.Choose(combos[i], c.entries[i]));
            }
        }
        const LineSettings settings = LineSettingsFromCombos(rig.view);
        EXPECT_EQ(settings.baudRate, c.baud);
        EXPECT_EQ(settings.parity, c.parity);
        EXPECT_EQ(settings.dataBits, c.dataBits);
        EXPECT_EQ(settings.stopBits, c.stopBits);
        EXPECT_EQ(settings.ctsFlow, c.ctsFlow);
    }
}

TEST_F(PortControlTest, ProbeOffersTheFreePortsWithTheFirstSelected) {
    struct ProbeCase {
        std::vector<std::string> names;
        std::vector<std::string> busy;
        std::vector<std::string> offered;
        std::string box;
    };
    const std::vector<ProbeCase> cases = {
        {{}, {}, {}, "Keine (freien) COM-Ports"},
        {{"ttyS0", "ttyS2"}, {}, {"ttyS0", "ttyS2"}, "ttyS0\r\nttyS2"},
        {{"ttyS0", "ttyUSB0"}, {"ttyS0"}, {"ttyUSB0"}, "ttyUSB0"},
        {{"ttyS0"}, {"ttyS0"}, {}, "Keine (freien) COM-Ports"},
    };
    for (const ProbeCase& c : cases) {
        SCOPED_TRACE(c.box);
        registry = FakeSerialDevice::Registry();
        devices.clear();
        Start(c.names);
        for (const std::string& name : c.busy) {
            registry.FailOpen("/dev/fake/" + name, OsError{EBUSY, {}});
        }
        EXPECT_TRUE(Boxes().empty());  // the silent probe at start shows nothing

        rig->control.EnumeratePorts(true);
        EXPECT_EQ(rig->view.Lines(ids::kPortCombo), c.offered);
        EXPECT_EQ(rig->view.Selection(ids::kPortCombo), c.offered.empty() ? -1 : 0);
        EXPECT_EQ(rig->control.Ports().size(), c.offered.size());
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].text, c.box);
        EXPECT_EQ(Boxes()[0].caption, "Verf\xFC" "gbar");
        for (const auto& device : devices) {
            EXPECT_FALSE(device->IsOpen());  // every probe closed again
        }
    }
}

TEST_F(PortControlTest, FailedOpenShowsTheOsTextAndChangesNothing) {
    struct OpenFailure {
        std::vector<std::string> names;
        OsError openError;  // none: the list is empty
        std::string text;
    };
    const std::vector<OpenFailure> cases = {
        {{}, {}, OsErrorText(ENODEV)},
        {{"ttyS0"}, {EACCES, "Gruppe dialout"}, OsErrorText(EACCES) + "\rGruppe dialout"},
        {{"ttyS0"}, {EBUSY, {}}, OsErrorText(EBUSY)},
    };
    for (const OpenFailure& c : cases) {
        SCOPED_TRACE(c.text);
        registry = FakeSerialDevice::Registry();
        devices.clear();
        Start(c.names);
        if (c.openError) {
            registry.FailOpen("/dev/fake/ttyS0", c.openError);
        }
        rig->screen.AddMessage("old line");
        rig->control.TogglePort();

        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].text, c.text);
        EXPECT_EQ(Boxes()[0].caption, "Meldung:");
        EXPECT_EQ(Boxes()[0].icon, MessageIcon::kError);
        EXPECT_FALSE(rig->control.IsOpen());
        EXPECT_EQ(rig->view.Text(ids::kComButton), kOpenCaption);
        EXPECT_TRUE(rig->view.IsEnabled(ids::kPortCombo));
        EXPECT_FALSE(rig->port.device);
    }
}

TEST_F(PortControlTest, SettingsTheDriverRefusesLeaveThePortClosed) {
    Start({"ttyS0"}, MisbehavingDevice::Script{.configureError = {EINVAL, {}}});
    rig->control.TogglePort();
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, OsErrorText(EINVAL));
    EXPECT_FALSE(rig->control.IsOpen());
    EXPECT_FALSE(devices[0]->IsOpen());
    EXPECT_EQ(rig->view.Text(ids::kComButton), kOpenCaption);
    EXPECT_TRUE(rig->view.IsEnabled(ids::kPortCombo));
}

TEST_F(PortControlTest, OpeningConfiguresThePortAndEnablesTheOpenState) {
    Start({"ttyS0"});
    ASSERT_TRUE(rig->Choose(ids::kBaudCombo, "2400"));
    ASSERT_TRUE(rig->Choose(ids::kParityCombo, "gerade"));
    ASSERT_TRUE(rig->Choose(ids::kDataBitsCombo, "7"));
    ASSERT_TRUE(rig->Choose(ids::kStopBitsCombo, "2"));
    rig->screen.AddMessage("old line");
    OpenWithCtsFlow(true);

    const std::optional<LineSettings> settings = devices[0]->LastSettings();
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->baudRate, 2400u);
    EXPECT_EQ(settings->parity, Parity::kEven);
    EXPECT_EQ(settings->dataBits, 7);
    EXPECT_EQ(settings->stopBits, 2);
    EXPECT_EQ(settings->ctsFlow, true);
    EXPECT_EQ(devices[0]->PurgeCount(FakeSerialDevice::Queue::kInput), 1);

    EXPECT_TRUE(rig->Listing().empty());
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(rig->view.Text(ids::kComButton), kCloseCaption);
    EXPECT_FALSE(rig->view.IsEnabled(ids::kPortCombo));
    EXPECT_TRUE(rig->view.IsEnabled(ids::kSendFileButton));
    EXPECT_TRUE(rig->view.MenuEnabled(ids::kMenuSendText));
}

TEST_F(PortControlTest, ClosingStopsEverythingAndUndoesTheOpenState) {
    Start({"ttyS0"});
    OpenWithCtsFlow(true);
    const int purges = devices[0]->PurgeCount(FakeSerialDevice::Queue::kInput);
    rig->PressComButton();

    EXPECT_FALSE(rig->control.IsOpen());
    EXPECT_FALSE(rig->port.device);
    EXPECT_FALSE(devices[0]->IsOpen());
    EXPECT_TRUE(devices[0]->Cancelled());
    EXPECT_EQ(devices[0]->PurgeCount(FakeSerialDevice::Queue::kInput), purges + 1);
    EXPECT_EQ(senderStops, 1);
    EXPECT_EQ(rig->view.Text(ids::kComButton), kOpenCaption);
    EXPECT_TRUE(rig->view.IsEnabled(ids::kPortCombo));
    EXPECT_FALSE(rig->view.IsEnabled(ids::kSendFileButton));
    EXPECT_FALSE(rig->view.IsVisible(ids::kCtsIndicator));
    EXPECT_FALSE(rig->view.MenuEnabled(ids::kMenuSendText));

    rig->control.ClosePort();  // closing a closed port does nothing
    EXPECT_EQ(senderStops, 1);
}

TEST_F(PortControlTest, CtsIndicatorFollowsTheLineOnlyWithCtsFlow) {
    for (bool ctsFlow : {true, false}) {
        SCOPED_TRACE(ctsFlow);
        registry = FakeSerialDevice::Registry();
        devices.clear();
        Start({"ttyS0"});
        devices[0]->SetCts(true);
        OpenWithCtsFlow(ctsFlow);
        EXPECT_EQ(rig->view.IsVisible(ids::kCtsIndicator), ctsFlow);
        EXPECT_TRUE(rig->view.IsChecked(ids::kCtsIndicator));

        ASSERT_TRUE(devices[0]->WaitUntilWaiting(5s));
        devices[0]->SetCts(false);
        EXPECT_TRUE(rig->PumpUntil([&] { return !rig->view.IsChecked(ids::kCtsIndicator); }));
        devices[0]->SetCts(true);
        EXPECT_TRUE(rig->PumpUntil([&] { return rig->view.IsChecked(ids::kCtsIndicator); }));
        rig->PressComButton();
        EXPECT_FALSE(rig->view.IsVisible(ids::kCtsIndicator));
    }
}

TEST_F(PortControlTest, ProbeWhileOpenLeavesOutTheOpenPortWhichGoesOnWorking) {
    Start({"ttyS0", "ttyS1"});
    OpenWithCtsFlow(false);
    rig->control.EnumeratePorts(true);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "ttyS1");
    EXPECT_EQ(rig->view.Lines(ids::kPortCombo), std::vector<std::string>{"ttyS1"});
    EXPECT_EQ(rig->view.Selection(ids::kPortCombo), 0);
    EXPECT_TRUE(devices[0]->IsOpen());
    EXPECT_FALSE(devices[1]->IsOpen());

    devices[0]->InjectInput("hi");
    EXPECT_TRUE(rig->PumpUntilReceived(2));
    rig->PressComButton();
    EXPECT_FALSE(devices[0]->IsOpen());
    EXPECT_FALSE(rig->control.IsOpen());
}

TEST_F(PortControlTest, FailedWaitShowsOneBoxAndThePortStaysOpenUntilClosed) {
    Start({"ttyS0"});
    OpenWithCtsFlow(false);
    ASSERT_TRUE(devices[0]->WaitUntilWaiting(5s));
    devices[0]->FailNextWait(EIO);
    ASSERT_TRUE(rig->PumpUntil([&] { return !Boxes().empty(); }));
    rig->PumpUntil([] { return false; }, 100ms);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, OsErrorText(EIO));
    EXPECT_EQ(Boxes()[0].caption, "Meldung:");
    EXPECT_EQ(devices[0]->WaitCount(), 1);
    EXPECT_TRUE(rig->control.IsOpen());
    EXPECT_EQ(rig->view.Text(ids::kComButton), kCloseCaption);

    rig->PressComButton();
    EXPECT_FALSE(rig->control.IsOpen());
    EXPECT_FALSE(devices[0]->IsOpen());
}

TEST_F(PortControlTest, LineErrorPausesThroughTheGivenPauseAndShowsNothing) {
    Start({"ttyS0"}, MisbehavingDevice::Script{.configureError = {}, .lineErrorOnFirstDrain = true});
    std::vector<std::chrono::milliseconds> pauses;
    rig->control.SetLineErrorPause(
        [&](std::chrono::milliseconds duration, const std::function<bool()>&) {
            pauses.push_back(duration);  // read by the test after the join in ClosePort
        });
    OpenWithCtsFlow(false);
    const int purges = devices[0]->PurgeCount(FakeSerialDevice::Queue::kInput);
    devices[0]->InjectInput("lost");
    ASSERT_TRUE(rig->PumpUntil(
        [&] { return devices[0]->PurgeCount(FakeSerialDevice::Queue::kInput) == purges + 1; }));
    devices[0]->InjectInput("ok");
    EXPECT_TRUE(rig->PumpUntilReceived(2));
    rig->PressComButton();
    EXPECT_EQ(pauses, std::vector{kLineErrorPause});
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(PortControlTest, ComButtonDuringAReceptionFinishesItASecondAfterTheLastBatch) {
    Start({"ttyS0"});
    OpenWithCtsFlow(false);
    const Bytes sent = CountingBytes(20);
    devices[0]->InjectInput(sent);
    ASSERT_TRUE(rig->PumpUntilReceived(20));
    rig->loop.Advance(300ms);
    rig->PressComButton();
    EXPECT_TRUE(rig->Listing().empty());
    EXPECT_FALSE(rig->view.IsEnabled(ids::kSaveButton));

    rig->loop.Advance(699ms);
    EXPECT_TRUE(rig->Listing().empty());
    rig->loop.Advance(1ms);
    EXPECT_EQ(rig->Listing(), (std::vector<std::string>{std::string(47, '-'),
                                                        "Bytes empfangen gesamt: 20",
                                                        "Sichern per Button"}));
    EXPECT_TRUE(rig->view.IsEnabled(ids::kSaveButton));
    const auto savable = rig->engine.SavableBytes();
    EXPECT_EQ(Bytes(savable.begin(), savable.end()), sent);
}

}  // namespace
}  // namespace velotrix::test
