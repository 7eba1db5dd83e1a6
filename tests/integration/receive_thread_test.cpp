// The receive thread on a scripted device: what reaches the UI thread for each kind of event.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "controller/controller_fixture.h"
#include "platform/fake/fake_serial_device.h"
#include "serial/receive_thread.h"

namespace velotrix::test {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Queue = FakeSerialDevice::Queue;

class ReceiveThreadTest : public ::testing::Test {
protected:
    ~ReceiveThreadTest() override { Stop(); }

    // Starts the thread; without a pause function it pauses for real after a line error.
    void Start(bool observePauses = true) {
        ReceiveSinks sinks;
        sinks.bytes = [this](Bytes batch) {
            Record([&] {
                largestBatch = std::max(largestBatch, batch.size());
                bytes.insert(bytes.end(), batch.begin(), batch.end());
            });
        };
        sinks.cts = [this](bool cts) { Record([&] { ctsReports.push_back(cts); }); };
        sinks.error = [this](const OsError& error) {
            Record([&] { errors.push_back(error.code); });
            if (onError) {
                onError();
            }
        };
        ReceivePause pause;
        if (observePauses) {
            pause = [this](std::chrono::milliseconds duration, const std::function<bool()>&) {
                Record([&] { pauses.push_back(duration); });
            };
        }
        thread = std::make_unique<ReceiveThread>(*device, portOpen, std::move(sinks), pause);
        thread->Start();
    }

    // What ClosePort does to the thread.
    void Stop() {
        portOpen = false;
        device->CancelWaits();
        if (thread) {
            thread->Stop();
            thread->Join();
        }
    }

    // Polls as well, since the fake's counters change without a report.
    bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 5s) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        std::unique_lock lock(mutex);
        while (!condition()) {
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            changed.wait_for(lock, 2ms);
        }
        return true;
    }
    // True when the thread makes no further wait within a short while: it has ended or blocks.
    bool WaitsStayAt(int count) {
        std::this_thread::sleep_for(100ms);
        return fake->WaitCount() == count;
    }

    void Record(const std::function<void()>& change) {
        {
            std::lock_guard lock(mutex);
            change();
        }
        changed.notify_all();
    }

    std::shared_ptr<FakeSerialDevice> fake = std::make_shared<FakeSerialDevice>();
    std::unique_ptr<SerialDevice> device = FakeSerialDevice::Share(fake);
    std::atomic<bool> portOpen{true};
    std::unique_ptr<ReceiveThread> thread;
    std::function<void()> onError;

    std::mutex mutex;
    std::condition_variable changed;
    Bytes bytes;
    std::size_t largestBatch = 0;
    std::vector<bool> ctsReports;
    std::vector<int> errors;
    std::vector<std::chrono::milliseconds> pauses;
};

TEST_F(ReceiveThreadTest, EveryQueuedByteArrivesInOrderInBoundedBatches) {
    const Bytes sent = CountingBytes(3 * kReceiveReadSize + 123);
    fake->InjectInput(sent);
    Start();
    ASSERT_TRUE(WaitFor([&] { return bytes.size() == sent.size(); }));
    Stop();
    EXPECT_EQ(bytes, sent);
    EXPECT_LE(largestBatch, kReceiveReadSize);
    EXPECT_TRUE(errors.empty());
}

TEST_F(ReceiveThreadTest, LineErrorsPurgeTheInputAndPauseWithoutShowingAnything) {
    const std::vector<LineErrors> kinds = {
        {.framing = true}, {.parity = true}, {.overrun = true}, {.brk = true}};
    for (const LineErrors& kind : kinds) {
        SCOPED_TRACE(fake->PurgeCount(Queue::kInput));
        fake = std::make_shared<FakeSerialDevice>();
        device = FakeSerialDevice::Share(fake);
        portOpen = true;
        pauses.clear();
        bytes.clear();
        // Both are pending at the first wait: the bytes came with the error.
        fake->InjectLineErrors(kind);
        fake->InjectInput("lost");
        Start();
        ASSERT_TRUE(WaitFor([&] { return !pauses.empty(); }));
        EXPECT_EQ(pauses, std::vector{kLineErrorPause});
        EXPECT_EQ(fake->PurgeCount(Queue::kInput), 1);

        fake->InjectInput("kept");
        ASSERT_TRUE(WaitFor([&] { return bytes.size() == 4; }));
        Stop();
        EXPECT_EQ(bytes, (Bytes{'k', 'e', 'p', 't'}));
        EXPECT_TRUE(errors.empty());
        EXPECT_TRUE(ctsReports.empty());
    }
}

TEST_F(ReceiveThreadTest, LineErrorWithoutBytesPurgesWithoutPause) {
    Start();
    ASSERT_TRUE(fake->WaitUntilWaiting(5s));
    fake->InjectLineErrors({.overrun = true});
    ASSERT_TRUE(WaitFor([&] { return fake->PurgeCount(Queue::kInput) == 1; }));
    Stop();
    EXPECT_TRUE(pauses.empty());
    EXPECT_TRUE(bytes.empty());
}

TEST_F(ReceiveThreadTest, ClosingEndsTheLineErrorPauseAtOnce) {
    fake->InjectLineErrors({.framing = true});
    fake->InjectInput("x");
    Start(false);
    ASSERT_TRUE(WaitFor([&] { return fake->PurgeCount(Queue::kInput) == 1; }));
    std::this_thread::sleep_for(50ms);  // well into the pause
    const auto before = std::chrono::steady_clock::now();
    Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, kLineErrorPause / 2);
}

TEST_F(ReceiveThreadTest, BytesAndCtsChangeTogetherOnlyDrainTheInput) {
    fake->InjectInput("xy");
    fake->SetCts(true);
    Start();
    ASSERT_TRUE(WaitFor([&] { return bytes.size() == 2; }));
    ASSERT_TRUE(WaitsStayAt(2));
    EXPECT_TRUE(ctsReports.empty());

    fake->SetCts(false);
    ASSERT_TRUE(WaitFor([&] { return !ctsReports.empty(); }));
    fake->SetCts(true);
    ASSERT_TRUE(WaitFor([&] { return ctsReports.size() == 2; }));
    Stop();
    EXPECT_EQ(ctsReports, (std::vector<bool>{false, true}));
}

TEST_F(ReceiveThreadTest, FailedWaitIsReportedOnceAndEndsTheThread) {
    fake->FailNextWait(EIO);
    Start();
    ASSERT_TRUE(WaitFor([&] { return !errors.empty(); }));
    EXPECT_TRUE(WaitsStayAt(1));
    // Ended by itself: joining needs no cancel.
    thread->Join();
    EXPECT_EQ(errors, std::vector{EIO});
    EXPECT_TRUE(portOpen);
}

TEST_F(ReceiveThreadTest, FailedReadIsReportedAndTheThreadGoesOn) {
    fake->FailNextRead(EIO);
    fake->InjectInput("ab");
    Start();
    ASSERT_TRUE(WaitFor([&] { return bytes.size() == 2; }));
    fake->InjectInput("c");
    ASSERT_TRUE(WaitFor([&] { return bytes.size() == 3; }));
    Stop();
    EXPECT_EQ(errors, std::vector{EIO});
    EXPECT_EQ(bytes, (Bytes{'a', 'b', 'c'}));
}

TEST_F(ReceiveThreadTest, ReadsThatKeepFailingAreReportedOnceAndEndTheThread) {
    onError = [this] { fake->FailNextRead(EIO); };
    fake->FailNextRead(EIO);
    fake->InjectInput("ab");
    Start();
    ASSERT_TRUE(WaitFor([&] { return !errors.empty(); }));
    EXPECT_TRUE(WaitsStayAt(2));
    thread->Join();
    EXPECT_EQ(errors, std::vector{EIO});
    EXPECT_TRUE(bytes.empty());
}

}  // namespace
}  // namespace velotrix::test
