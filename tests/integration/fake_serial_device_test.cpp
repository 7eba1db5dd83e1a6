// The scripted parts of the fake serial device that engine tests rely on.
#include <cerrno>
#include <future>
#include <thread>

#include <gtest/gtest.h>

#include "platform/fake/fake_serial_device.h"

namespace velotrix {
namespace {

using namespace std::chrono_literals;

struct Expected {
    bool received;
    bool ctsChanged;
    bool lineError;
};

void ExpectEvents(FakeSerialDevice& device, Expected expected) {
    const OsResult<SerialEvents> event = device.WaitEvent();
    ASSERT_TRUE(event.ok());
    EXPECT_EQ(event.value.received, expected.received);
    EXPECT_EQ(event.value.ctsChanged, expected.ctsChanged);
    EXPECT_EQ(event.value.lineError, expected.lineError);
    EXPECT_FALSE(event.value.cancelled);
}

TEST(FakeSerialDevice, ReportsWhatHappenedSinceTheLastWaitTogether) {
    FakeSerialDevice device;
    device.SetCts(true);
    device.InjectInput("ab");
    ExpectEvents(device, {true, true, false});
    // The input stays queued until read; the CTS change was reported once.
    device.SetCts(true);
    ExpectEvents(device, {true, false, false});
    device.InjectLineErrors({true, false, false, true});
    ExpectEvents(device, {true, false, true});
    const LineErrors errors = device.TakeLineErrors();
    EXPECT_TRUE(errors.framing && errors.brk && !errors.parity && !errors.overrun);
    EXPECT_FALSE(device.TakeLineErrors().Any());
    EXPECT_TRUE(device.Cts());
    EXPECT_EQ(device.WaitCount(), 3);
}

TEST(FakeSerialDevice, InjectedFailuresHitOnceOrUntilCleared) {
    FakeSerialDevice device;
    device.InjectInput("x");
    device.FailNextWait(EIO);
    EXPECT_EQ(device.WaitEvent().error.code, EIO);
    EXPECT_TRUE(device.WaitEvent().ok());

    std::uint8_t buffer[4] = {};
    device.FailNextRead(EIO);
    EXPECT_EQ(device.Read(buffer, 4).error.code, EIO);
    EXPECT_EQ(device.Read(buffer, 4).value, 1u);

    const std::uint8_t byte = 0x41;
    device.FailWrites(ENXIO);
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(device.Write(&byte, 1).error.code, ENXIO);
    }
    device.FailWrites(0);
    EXPECT_EQ(device.Write(&byte, 1).value, 1u);
    EXPECT_EQ(device.Written(), std::vector<std::uint8_t>{0x41});
}

TEST(FakeSerialDevice, HeldWritesGoOutWhenReleased) {
    FakeSerialDevice device;
    device.HoldWrites(true);
    const std::vector<std::uint8_t> block = {1, 2, 3};
    auto writing = std::async(std::launch::async, [&] { return device.Write(block.data(), 3); });
    auto draining = std::async(std::launch::async, [&] { device.Drain(); });
    EXPECT_EQ(writing.wait_for(50ms), std::future_status::timeout);
    EXPECT_EQ(draining.wait_for(0ms), std::future_status::timeout);
    device.HoldWrites(false);
    EXPECT_EQ(writing.get().value, 3u);
    draining.get();
    EXPECT_TRUE(device.WaitUntilWritten(3, 1s));
}

TEST(FakeSerialDevice, ReadBackKeepsWhatASettingLeavesOpen) {
    FakeSerialDevice device;
    device.Configure({2400, Parity::kEven, 7, 2, true});
    device.Configure({0, std::nullopt, std::nullopt, 1, std::nullopt});
    EXPECT_EQ(device.LastSettings()->stopBits, 1);
    const AppliedSettings applied = device.ReadBack();
    EXPECT_EQ(applied.baudRate, 2400u);
    EXPECT_EQ(applied.parity, Parity::kEven);
    EXPECT_EQ(applied.dataBits, 7);
    EXPECT_EQ(applied.stopBits, 1);
    EXPECT_TRUE(applied.ctsFlow);
}

TEST(FakeSerialDevice, WaitUntilWaitingSeesABlockedWait) {
    FakeSerialDevice device;
    EXPECT_FALSE(device.WaitUntilWaiting(0ms));
    std::thread waiter([&] { device.WaitEvent(); });
    EXPECT_TRUE(device.WaitUntilWaiting(2s));
    device.CancelWaits();
    waiter.join();
    EXPECT_FALSE(device.WaitUntilWaiting(0ms));
    EXPECT_TRUE(device.Cancelled());
}

TEST(FakeSerialDeviceRegistry, OpensLikeRealDevicesDo) {
    auto opener = [] {
        FakeSerialDevice::Registry registry;
        registry.Add("/dev/ttyUSB0");
        registry.Add("/tmp/pc");
        registry.FailOpen("/tmp/pc", {EACCES, "hint"});
        return std::make_pair(registry.Opener(), registry.Lister());
    }();
    // The functions outlive the registry they came from.
    const std::vector<PortInfo> ports = opener.second();
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].name, "ttyUSB0");
    EXPECT_EQ(ports[1].name, "pc");

    EXPECT_EQ(opener.first("/dev/ttyS9").error.code, ENOENT);
    EXPECT_EQ(opener.first("/tmp/pc").error.hint, "hint");
    auto first = opener.first("/dev/ttyUSB0");
    ASSERT_TRUE(first.ok());
    EXPECT_EQ(opener.first("/dev/ttyUSB0").error.code, EBUSY);
    first.value.reset();
    EXPECT_TRUE(opener.first("/dev/ttyUSB0").ok());
}

}  // namespace
}  // namespace velotrix
