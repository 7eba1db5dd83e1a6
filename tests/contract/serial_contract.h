// The promises every serial device keeps, one suite for the fake line, the POSIX device on a
// pseudo-terminal, on the kernel's own ftdi_sio and 8250 drivers (in a QEMU guest) and the Win32
// COM device, so that the fake the engine's table relies on behaves as the real ones do. A test
// program includes this header in exactly one file and instantiates the suite, inside namespace
// velotrix::contract, with a factory for its line: VELOTRIX_SERIAL_CONTRACT(Pty, MakePtyLine);
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <ostream>
#include <thread>
#include <vector>

#include "platform/serial_device.h"

namespace velotrix::contract {

using Bytes = std::vector<std::uint8_t>;

// One port under test and the far end of its line.
class Line {
  public:
    virtual ~Line() = default;
    // Opens the port under test, as the program opens it.
    virtual OsResult<std::unique_ptr<SerialDevice>> Open() = 0;
    // The far end sends, or takes what reached it (count bytes, or fewer when a generous time is
    // up).
    virtual bool FarSends(const Bytes& bytes) = 0;
    virtual Bytes FarGets(std::size_t count) = 0;
    // Takes the line away as an unplugged adapter does (where that can be had).
    virtual void Unplug() {}
    // Whether the port has modem lines that the program drives (a pseudo-terminal has none);
    // unknown: the rows about them are skipped.
    virtual std::optional<bool> HasModemLines() const { return std::nullopt; }
    // The level at which the far end holds the port's CTS input.
    virtual bool FarCts() const { return false; }
    // The far end sends a break, where it can.
    virtual bool FarSendsBreak() { return false; }
    // Whether the driver ends a write held up on the line when the writes stop; where it does
    // not (Wine's COM emulation), the row about it is skipped.
    virtual bool EndsAWriteUnderWay() const { return true; }
    // The rate the line carries after the port was set to rate; unknown: the row is skipped.
    virtual std::optional<std::uint32_t> RateOnTheLine(std::uint32_t /*rate*/) {
        return std::nullopt;
    }
};

struct LineMaker {
    const char* name;
    std::unique_ptr<Line> (*make)();
    friend void PrintTo(const LineMaker& maker, std::ostream* out) { *out << maker.name; }
};

class SerialContract : public ::testing::TestWithParam<LineMaker> {
  protected:
    void SetUp() override {
        line_ = GetParam().make();
        if (line_ == nullptr) {
            GTEST_SKIP() << "no such port here";
        }
        auto opened = line_->Open();
        ASSERT_TRUE(opened.ok()) << opened.error.code;
        device_ = std::move(opened.value);
        ASSERT_FALSE(device_->Configure({"", 9600, Parity::kNone, 8, 1, false}));
        // Each row starts on an empty line: a byte an earlier row's far end sent and nobody read
        // (a waiting read that was cancelled) is dropped, as the program drops it at its open.
        device_->Purge(true, false);
    }
    // Waits for input and reads it in reads of at most 7 bytes until count bytes came, the wait
    // fails or a generous time is up.
    Bytes Receive(std::size_t count) {
        Bytes got;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (got.size() < count && std::chrono::steady_clock::now() < end) {
            const OsResult<SerialEvents> event = device_->WaitEvent();
            if (!event.ok() || event.value.cancelled) {
                break;
            }
            std::uint8_t buffer[7];
            const OsResult<std::size_t> read = device_->Read(buffer, sizeof buffer);
            EXPECT_TRUE(read.ok()) << read.error.code;
            got.insert(got.end(), buffer, buffer + read.value);
        }
        return got;
    }
    std::unique_ptr<Line> line_;
    std::unique_ptr<SerialDevice> device_;
};

inline Bytes EveryByteValueTwice() {
    Bytes bytes;
    for (int i = 0; i < 512; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(i < 256 ? i : 511 - i));
    }
    return bytes;
}

TEST_P(SerialContract, EveryByteValueCrossesBothWaysUnchangedAndInOrder) {
    EXPECT_EQ(device_->Write(EveryByteValueTwice().data(), 512).value, 512u);
    device_->Drain();
    EXPECT_EQ(device_->QueuedOutput(), 0u) << "drained";
    EXPECT_EQ(line_->FarGets(512), EveryByteValueTwice());
    ASSERT_TRUE(line_->FarSends(EveryByteValueTwice()));
    EXPECT_EQ(Receive(512), EveryByteValueTwice());
    std::uint8_t byte = 0;
    const OsResult<std::size_t> nothing = device_->Read(&byte, 1);
    EXPECT_TRUE(nothing.value == 0 && !nothing.error)
        << "a read with nothing queued returns at once";
    EXPECT_EQ(device_->Cts(), line_->FarCts());
    EXPECT_FALSE(device_->TakeLineErrors().Any());
}

TEST_P(SerialContract, IsHeldExclusivelyUntilClosed) {
    const auto second = line_->Open();
    EXPECT_EQ(KindOf(second.error), OsErrorKind::kBusy);
    EXPECT_EQ(second.value, nullptr);
    device_.reset();
    EXPECT_TRUE(line_->Open().ok());
}

TEST_P(SerialContract, PurgingInputDropsWhatIsQueued) {
    ASSERT_TRUE(line_->FarSends(Bytes(10, 0xAA)));
    ASSERT_TRUE(device_->WaitEvent().value.received);
    for (int i = 0; i < 1000 && device_->QueuedInput() < 10; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(device_->QueuedInput(), 10u);
    device_->Purge(true, false);
    EXPECT_EQ(device_->QueuedInput(), 0u);
    ASSERT_TRUE(line_->FarSends({1, 2, 3}));
    EXPECT_EQ(Receive(3), (Bytes{1, 2, 3}));
}

TEST_P(SerialContract, CancelEndsAWaitAndEveryLaterOne) {
    auto waiting = std::async(std::launch::async, [this] { return device_->WaitEvent(); });
    device_->CancelWaits();
    const OsResult<SerialEvents> ended = waiting.get();
    EXPECT_TRUE(ended.ok() && ended.value.cancelled && !ended.value.received);
    ASSERT_TRUE(line_->FarSends({7}));
    EXPECT_TRUE(device_->WaitEvent().value.cancelled);
    const std::uint8_t byte = 1;
    EXPECT_LE(device_->Write(&byte, 1).value, 1u);
    device_->Drain();
}

// What a close during a send and an interrupt rely on: a write the far end holds up returns, no
// later write takes a byte, and the line still receives.
TEST_P(SerialContract, StoppedWritesEndAWriteUnderWayAndEveryLaterOneButNotReceiving) {
    if (!line_->EndsAWriteUnderWay()) {
        GTEST_SKIP() << "the driver here does not end a write under way";
    }
    const Bytes many(100000, 0x55);
    auto writing =
        std::async(std::launch::async, [&] { return device_->Write(many.data(), many.size()); });
    // Time to fill the driver and block, as the far end reads nothing (or to end, where the
    // driver takes it all): a write held up must return when the writes stop.
    writing.wait_for(std::chrono::milliseconds(50));
    device_->StopWrites();
    const OsResult<std::size_t> cut = writing.get();
    EXPECT_TRUE(cut.ok()) << cut.error.code;
    EXPECT_LE(cut.value, many.size());
    const OsResult<std::size_t> after = device_->Write(many.data(), 10);
    EXPECT_TRUE(after.ok() && after.value == 0u) << after.value;
    device_->Purge(true, false);
    ASSERT_TRUE(line_->FarSends({4, 5, 6}));
    EXPECT_EQ(Receive(3), (Bytes{4, 5, 6}));
}

// A send cut short by a stop says how far it got: what the stop threw away never left, and only
// the rest reaches the far end. Where the driver cannot tell its queue's level, it counts none.
TEST_P(SerialContract, AStopCountsWhatItThrewAwayOnce) {
    const Bytes some(200, 0x55);  // 0.2 s at 9600 baud, within every driver's queue
    ASSERT_EQ(device_->Write(some.data(), some.size()).value, some.size());
    const std::size_t queued = device_->QueuedOutput();
    device_->StopWrites();
    const std::size_t stopped = device_->TakeStoppedOutput();
    EXPECT_EQ(device_->TakeStoppedOutput(), 0u) << "counted once";
    if (queued == 0) {
        EXPECT_EQ(stopped, 0u);
        return;
    }
    EXPECT_GT(stopped, 0u);
    EXPECT_LE(stopped, queued);
    EXPECT_EQ(line_->FarGets(some.size() - stopped).size(), some.size() - stopped);
}

TEST_P(SerialContract, RefusesImpossibleSettingsAndKeepsWhatItHad) {
    EXPECT_TRUE(device_->Configure({"", 300, std::nullopt, 9, std::nullopt, std::nullopt}));
    EXPECT_TRUE(device_->Configure({"", 300, std::nullopt, std::nullopt, 3, std::nullopt}));
    const AppliedSettings a = device_->ReadBack();
    EXPECT_EQ(std::tuple(a.baudRate, a.dataBits, a.stopBits), std::tuple(9600u, 8, 1));
}

TEST_P(SerialContract, DtrAndRtsAreSetAndReadBackOneByOne) {
    const std::optional<bool> hasModemLines = line_->HasModemLines();
    if (!hasModemLines) {
        GTEST_SKIP() << "whether this port has modem lines is not known";
    }
    if (!*hasModemLines) {
        EXPECT_TRUE(device_->SetModemLine(ModemLine::kDtr, false)) << "refused";
        EXPECT_EQ(device_->ReadDrivenLines(), std::nullopt);
        return;
    }
    EXPECT_EQ(device_->ReadDrivenLines(), (DrivenLines{true, true})) << "the open raises both";
    struct Step {
        ModemLine line;
        bool on;
        DrivenLines then;
    };
    const Step steps[] = {{ModemLine::kDtr, false, {false, true}},
                          {ModemLine::kRts, false, {false, false}},
                          {ModemLine::kDtr, true, {true, false}},
                          {ModemLine::kRts, true, {true, true}}};
    for (const Step& step : steps) {
        EXPECT_FALSE(device_->SetModemLine(step.line, step.on));
        EXPECT_EQ(device_->ReadDrivenLines(), step.then);
    }
}

// A typed rate is set through the driver, which reads back the rate it makes on the line (within
// 0.5 %: an FTDI chip comes as close as its eighths of 3 MHz allow, 8064.5 for 8065), also one
// that a PC's UART cannot make at all.
TEST_P(SerialContract, ATypedRateIsReadBackAsTheLineCarriesIt) {
    for (const std::uint32_t rate : {8065u, 2400u, 460800u}) {
        const OsError refused =
            device_->Configure({"", rate, std::nullopt, std::nullopt, std::nullopt, {}});
        const std::optional<std::uint32_t> carried = line_->RateOnTheLine(rate);
        if (!carried) {
            // Wine on a pseudo-terminal, for one, refuses every rate outside the standard list.
            GTEST_SKIP() << "what the line carries is not known here";
        }
        ASSERT_FALSE(refused) << refused.code;
        EXPECT_NEAR(device_->ReadBack().baudRate, *carried, *carried / 200) << rate;
    }
}

// The driver counts a break among its line errors and puts a NUL byte in its place.
TEST_P(SerialContract, ABreakIsCountedOnceAndReadAsANulByte) {
    if (!line_->FarSendsBreak()) {
        GTEST_SKIP() << "the far end cannot send a break here";
    }
    bool reported = false;
    for (int i = 0; i < 100 && !reported; ++i) {
        const OsResult<SerialEvents> event = device_->WaitEvent();
        reported = event.ok() && event.value.lineError;
        std::this_thread::sleep_for(std::chrono::milliseconds(event.value.received ? 5 : 0));
    }
    EXPECT_TRUE(reported);
    const LineErrors errors = device_->TakeLineErrors();
    EXPECT_TRUE(errors.brk && !errors.framing && !errors.parity && !errors.overrun);
    EXPECT_FALSE(device_->TakeLineErrors().Any());
    EXPECT_EQ(Receive(1), Bytes{0});
}

// Only for lines that can be unplugged here: VELOTRIX_SERIAL_CONTRACT_UNPLUGGED(name, factory).
class SerialContractUnplugged : public SerialContract {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(SerialContractUnplugged);

TEST_P(SerialContractUnplugged, ALostLineFailsTheWaitAndTheWrites) {
    line_->Unplug();
    const OsResult<SerialEvents> waited = device_->WaitEvent();
    EXPECT_EQ(KindOf(waited.error), OsErrorKind::kDeviceGone);
    const OsResult<std::size_t> written = device_->Write(Bytes(100, 1).data(), 100);
    EXPECT_EQ(KindOf(written.error), OsErrorKind::kDeviceGone);
}

}  // namespace velotrix::contract

#define VELOTRIX_SERIAL_CONTRACT(name, factory) \
    INSTANTIATE_TEST_SUITE_P(name, SerialContract, ::testing::Values(LineMaker{#name, factory}))
#define VELOTRIX_SERIAL_CONTRACT_UNPLUGGED(name, factory)   \
    INSTANTIATE_TEST_SUITE_P(name, SerialContractUnplugged, \
                             ::testing::Values(LineMaker{#name, factory}))
