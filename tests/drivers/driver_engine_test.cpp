// The engine on the kernel's own drivers: the adapter opened again by itself after an unplug, only
// when the same adapter comes back, also under another number.
#include <gtest/gtest.h>

#include <variant>

#include "drivers/far_end.h"
#include "platform/manual_loop.h"
#include "serial/engine.h"

namespace velotrix::drivers {
namespace {

// The engine with the system's devices on a real-clock loop, and what its events said.
class Reopening : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(FarEnd::Host().Reset(kAdapter.far));
        ASSERT_TRUE(engine_.Open({kAdapter.path, 9600, Parity::kNone, 8, 1, false}).ok());
        ASSERT_EQ(UnplugAdapter(), "");
        ASSERT_TRUE(Until([&] { return lost_; }));
    }
    void TearDown() override {
        engine_.Close();
        // Back to the one adapter as ttyUSB0.
        FarEnd::Host().Unplug("ftdi1");
        FarEnd::Host().Unplug("ftdi0");
        EXPECT_TRUE(WaitForNode(kAdapter.path, false));
        EXPECT_EQ(PlugAdapterBack(), "");
    }
    bool Until(const std::function<bool()>& done) {
        return loop_.RunUntil(done, std::chrono::seconds(20));
    }
    // The far end's bytes reach the reopened port.
    bool Receives() {
        FarEnd::Host().Send(kAdapter.far, {1, 2, 3});
        return Until([&] { return received_ >= 3; });
    }

    ManualLoop loop_{ManualLoop::Clock::kReal};
    bool lost_ = false;
    std::string reopened_;
    std::uint32_t received_ = 0;
    Engine engine_{loop_, DeviceAccess{}, [this](const EngineEvent& event) {
                       if (std::holds_alternative<LineLostEvent>(event)) {
                           lost_ = true;
                       } else if (const auto* back = std::get_if<ReopenedEvent>(&event)) {
                           reopened_ = back->port.path;
                       } else if (const auto* got = std::get_if<ReceivedEvent>(&event)) {
                           received_ = got->total;
                       }
                   }};
};

TEST_F(Reopening, TakesTheSameAdapterBackUnderItsName) {
    ASSERT_EQ(FarEnd::Host().Plug("ftdi0", "c0", kAdapterSerial), "ok");
    EXPECT_TRUE(Until([&] { return !reopened_.empty(); }));
    EXPECT_EQ(reopened_, kAdapter.path);
    EXPECT_TRUE(Receives());
}

TEST_F(Reopening, LeavesAnotherAdapterAloneAndFindsItsOwnUnderAnotherNumber) {
    ASSERT_EQ(FarEnd::Host().Plug("ftdi1", "c1", "VX0002"), "ok");
    ASSERT_TRUE(WaitForNode(kAdapter.path, true));
    EXPECT_FALSE(loop_.RunUntil([&] { return !reopened_.empty(); }, std::chrono::seconds(3)));
    ASSERT_EQ(FarEnd::Host().Plug("ftdi0", "c0", kAdapterSerial), "ok");
    EXPECT_TRUE(Until([&] { return !reopened_.empty(); }));
    EXPECT_EQ(reopened_, "/dev/ttyUSB1");
    EXPECT_TRUE(Receives());
}

}  // namespace
}  // namespace velotrix::drivers
