// What only the fake serial device promises the engine tests; the serial device contract suite
// covers everything it shares with real devices.
#include <cerrno>

#include <gtest/gtest.h>

#include "platform/fake/fake_serial_device.h"

namespace velotrix {
namespace {

TEST(FakeSerialDevice, ReportsWhatHappenedSinceTheLastWaitTogether) {
    FakeSerialDevice device;
    device.SetCts(true);
    device.InjectInput("ab");
    device.InjectLineErrors({true, false, false, true});
    OsResult<SerialEvents> event = device.WaitEvent();
    ASSERT_TRUE(event.ok());
    EXPECT_TRUE(event.value.received && event.value.ctsChanged && event.value.lineError);
    EXPECT_FALSE(event.value.cancelled);
    const LineErrors errors = device.TakeLineErrors();
    EXPECT_TRUE(errors.framing && errors.brk && !errors.parity && !errors.overrun);
    EXPECT_FALSE(device.TakeLineErrors().Any());
    // The input stays queued until read; the CTS change and the line error were reported once.
    device.SetCts(true);
    event = device.WaitEvent();
    EXPECT_TRUE(event.value.received && !event.value.ctsChanged && !event.value.lineError);
    EXPECT_EQ(device.WaitCount(), 2);
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
    EXPECT_EQ(ports[0].name + ports[1].name, "ttyUSB0pc");
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
