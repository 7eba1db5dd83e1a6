// An interrupt as velotrix-cli catches it: within the handler the serial devices a send armed take
// no byte more and discard what they queued, the status is set, and the waits that asked for it
// wake.
// Each case runs in a child process, since catching interrupts changes the whole process.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <future>
#include <vector>

#include "platform/process.h"
#include "platform/serial_device.h"
#include "platform/wake_signal.h"
#include "support/pty_pair.h"

namespace velotrix::test {
namespace {

using Clock = std::chrono::steady_clock;

// What the child found, one bit for each promise it saw broken.
enum Broken : int {
    kWriteNotCut = 1,
    kWrongStatus = 2,
    kNotWoken = 4,
    kWokenUnasked = 8,
    kLaterWriteTook = 16,
    kNoDevice = 32,
};

int InterruptedChild(const std::string& port, int signal) {
    static std::atomic<int> status{0};
    CatchInterrupts(status);
    OsResult<std::unique_ptr<SerialDevice>> opened = OpenSerialDevice(port);
    if (!opened.ok() || opened.value->Configure({"", 9600, Parity::kNone, 8, 1, false})) {
        return kNoDevice;
    }
    SerialDevice& device = *opened.value;
    device.StopWritesOnInterrupt(true);
    WakeSignal asked;
    asked.WakeOnInterrupt();
    WakeSignal unasked;
    // The far end reads nothing: the write fills the driver and waits there.
    const std::vector<std::uint8_t> many(100000, 0x55);
    auto writing = std::async(std::launch::async,
                              [&] { return device.Write(many.data(), many.size()).value; });
    writing.wait_for(std::chrono::milliseconds(50));
    kill(getpid(), signal);
    int broken = 0;
    broken |= writing.get() < many.size() ? 0 : kWriteNotCut;
    broken |= status.load() == 128 + signal ? 0 : kWrongStatus;
    broken |= asked.WaitUntil(Clock::now() + std::chrono::minutes(1)) ? 0 : kNotWoken;
    broken |= unasked.WaitUntil(Clock::now()) ? kWokenUnasked : 0;
    broken |= device.Write(many.data(), 10).value == 0 ? 0 : kLaterWriteTook;
    return broken;
}

TEST(Interrupt, StopsTheDevicesWritesSetsTheStatusAndWakesTheWaitsThatAskedForIt) {
    for (const int signal : {SIGINT, SIGTERM}) {
        PtyPair pty;
        ASSERT_TRUE(pty.ok());
        const pid_t child = fork();
        if (child == 0) {
            _exit(InterruptedChild(pty.SlavePath(), signal));
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << signal;
        EXPECT_EQ(WEXITSTATUS(status), 0) << "signal " << signal << ", broken promises (bits)";
    }
}

}  // namespace
}  // namespace velotrix::test
