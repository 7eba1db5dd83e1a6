// What every serial device promises the serial link, checked on the fake device and on a real
// pseudo-terminal; then what only the real device can show (opening, hang-up, line settings).
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <future>
#include <numeric>
#include <tuple>

#include <gtest/gtest.h>

#include "platform/fake/fake_serial_device.h"
#include "platform/files.h"
#include "platform/serial_device.h"
#include "support/pty_pair.h"
#include "support/temp_dir.h"

namespace velotrix {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using test::PtyPair;

Bytes Sequence() {
    Bytes bytes(256);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});
    return bytes;
}

// The far end of the line around a fake device.
class FakeLine {
  public:
    // Small: the fake holds any write while told to.
    static constexpr std::size_t kHeldWriteSize = 16;

    bool Ready() const { return true; }
    SerialDevice& Device() { return *device_; }
    bool Send(const Bytes& bytes) { return fake_->InjectInput(bytes), true; }
    Bytes Receive(std::size_t count) {
        fake_->WaitUntilWritten(count, 2s);
        return fake_->Written();
    }
    void HoldWrites() { fake_->HoldWrites(true); }

  private:
    std::shared_ptr<FakeSerialDevice> fake_ = std::make_shared<FakeSerialDevice>();
    std::unique_ptr<SerialDevice> device_ = FakeSerialDevice::Share(fake_);
};

// The far end of the line around a pseudo-terminal, configured as the program does.
class PtyLine {
  public:
    // Large: a write blocks once the pty's buffers are full, as the master does not read.
    static constexpr std::size_t kHeldWriteSize = 1 << 20;

    PtyLine() : device_(OpenSerialDevice(pty_.SlavePath()).value) {
        if (device_) {
            configured_ = device_->Configure({9600, Parity::kNone, 8, 1, false});
        }
    }
    bool Ready() const { return pty_.ok() && device_ && !configured_; }
    SerialDevice& Device() { return *device_; }
    bool Send(const Bytes& bytes) { return pty_.Write(bytes); }
    Bytes Receive(std::size_t count) { return pty_.ReadExactly(count); }
    void HoldWrites() {}

  private:
    PtyPair pty_;
    std::unique_ptr<SerialDevice> device_;
    OsError configured_;
};

template <typename Line>
class SerialDeviceContract : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(line_.Ready()); }

    // Waits for input and reads it in reads of at most maxCount until count bytes came or two
    // seconds passed.
    Bytes ReceiveThroughDevice(std::size_t count, std::size_t maxCount) {
        SerialDevice& device = line_.Device();
        Bytes received;
        const auto deadline = std::chrono::steady_clock::now() + 2s;
        while (received.size() < count && std::chrono::steady_clock::now() < deadline) {
            const OsResult<SerialEvents> event = device.WaitEvent();
            EXPECT_TRUE(event.ok()) << event.error.code;
            if (!event.ok() || !event.value.received) {
                break;
            }
            EXPECT_GT(device.QueuedInput(), 0u);
            std::uint8_t buffer[256] = {};
            const OsResult<std::size_t> read = device.Read(buffer, maxCount);
            EXPECT_TRUE(read.ok());
            EXPECT_LE(read.value, maxCount);
            received.insert(received.end(), buffer, buffer + read.value);
        }
        return received;
    }

    // Runs a blocking call on another thread and cancels it; true when it then returned promptly.
    template <typename Call>
    bool ReturnsWhenCancelled(Call call) {
        const std::future<void> done = std::async(std::launch::async, call);
        const bool blocked = done.wait_for(100ms) == std::future_status::timeout;
        line_.Device().CancelWaits();
        return blocked && done.wait_for(2s) == std::future_status::ready;
    }

    Line line_;
};

using Lines = ::testing::Types<FakeLine, PtyLine>;
TYPED_TEST_SUITE(SerialDeviceContract, Lines);

TYPED_TEST(SerialDeviceContract, EveryByteValueArrivesUnchangedAndInOrder) {
    // CR, LF, XON, XOFF, DEL and 0xFF among them: nothing may be translated or swallowed. The
    // odd read size makes most reads end in the middle of what is queued.
    const Bytes sent = Sequence();
    ASSERT_TRUE(this->line_.Send(sent));
    EXPECT_EQ(this->ReceiveThroughDevice(sent.size(), 7), sent);
}

TYPED_TEST(SerialDeviceContract, WriteDeliversEveryByteExactly) {
    Bytes block = Sequence();
    block.insert(block.end(), block.rbegin(), block.rend());
    const OsResult<std::size_t> written = this->line_.Device().Write(block.data(), block.size());
    EXPECT_TRUE(written.ok() && written.value == block.size());
    this->line_.Device().Drain();
    EXPECT_EQ(this->line_.Receive(block.size()), block);
}

TYPED_TEST(SerialDeviceContract, CancelBeforeTheWaitIsNotLost) {
    this->line_.Device().CancelWaits();
    for (int wait = 0; wait < 2; ++wait) {
        EXPECT_TRUE(this->line_.Device().WaitEvent().value.cancelled);
    }
}

TYPED_TEST(SerialDeviceContract, CancelEndsAWaitInProgress) {
    OsResult<SerialEvents> event;
    EXPECT_TRUE(this->ReturnsWhenCancelled([&] { event = this->line_.Device().WaitEvent(); }));
    EXPECT_TRUE(event.ok() && event.value.cancelled);
}

TYPED_TEST(SerialDeviceContract, CancelEndsAWriteHeldBackAndEveryLaterOne) {
    this->line_.HoldWrites();
    const Bytes block(TypeParam::kHeldWriteSize, 0x55);
    SerialDevice& device = this->line_.Device();
    OsResult<std::size_t> written;
    EXPECT_TRUE(
        this->ReturnsWhenCancelled([&] { written = device.Write(block.data(), block.size()); }));
    EXPECT_TRUE(written.ok() && written.value < block.size());
    const auto again =
        std::async(std::launch::async, [&] { return device.Write(block.data(), block.size()); });
    EXPECT_EQ(again.wait_for(2s), std::future_status::ready);
}

TYPED_TEST(SerialDeviceContract, PurgingInputDropsWhatIsQueued) {
    SerialDevice& device = this->line_.Device();
    ASSERT_TRUE(this->line_.Send(Bytes(10, 0xAA)));
    ASSERT_TRUE(device.WaitEvent().value.received);
    device.Purge(true, false);
    EXPECT_EQ(device.QueuedInput(), 0u);
    ASSERT_TRUE(this->line_.Send({1, 2, 3}));
    EXPECT_EQ(this->ReceiveThroughDevice(3, 100), (Bytes{1, 2, 3}));
}

// What only a real device shows.
class PtyDeviceTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(pty_.ok()); }
    PtyPair pty_;
};

TEST_F(PtyDeviceTest, IsOpenedExclusivelyUntilClosed) {
    auto first = OpenSerialDevice(pty_.SlavePath());
    ASSERT_TRUE(first.ok());
    const auto second = OpenSerialDevice(pty_.SlavePath());
    EXPECT_TRUE(second.error.code == EBUSY && second.value == nullptr);
    first.value.reset();
    EXPECT_TRUE(OpenSerialDevice(pty_.SlavePath()).ok());
}

TEST_F(PtyDeviceTest, RefusesWhatIsNoTerminal) {
    const test::TempDir dir;
    const std::string file = dir.Write("not_a_tty", "x");
    const struct {
        std::string path;
        int code;
    } cases[] = {{file, ENOTTY}, {file + ".missing", ENOENT}, {"", ENOENT}};
    for (const auto& c : cases) {
        const auto opened = OpenSerialDevice(c.path);
        EXPECT_EQ(opened.error.code, c.code) << c.path;
        EXPECT_TRUE(opened.value == nullptr && opened.error.hint.empty());
    }
}

TEST_F(PtyDeviceTest, PermissionErrorNamesTheGroupThatOwnsTheDevice) {
    struct stat info {};
    ASSERT_EQ(stat(pty_.SlavePath().c_str(), &info), 0);
    const group* owner = getgrgid(info.st_gid);
    ASSERT_NE(owner, nullptr);
    const std::string expected = "Der Benutzer muss Mitglied der Gruppe \"" +
                                 std::string(owner->gr_name) +
                                 "\" sein, der das Ger\xE4t geh\xF6rt.";
    ASSERT_EQ(chmod(pty_.SlavePath().c_str(), 0), 0);
    // Root may open anything: it tries as nobody for the moment of the open.
    const gid_t gid = getegid();
    std::vector<gid_t> groups(static_cast<std::size_t>(getgroups(0, nullptr)));
    ASSERT_EQ(getgroups(static_cast<int>(groups.size()), groups.data()),
              static_cast<int>(groups.size()));
    const bool root = geteuid() == 0;
    const bool dropped =
        !root || (setgroups(0, nullptr) == 0 && setegid(65534) == 0 && seteuid(65534) == 0);
    const auto opened = OpenSerialDevice(pty_.SlavePath());
    ASSERT_TRUE(!root || (seteuid(0) == 0 && setegid(gid) == 0 &&
                          setgroups(groups.size(), groups.data()) == 0));
    ASSERT_TRUE(dropped);
    EXPECT_EQ(opened.error.code, EACCES);
    EXPECT_EQ(opened.error.hint, expected);
}

TEST_F(PtyDeviceTest, HangUpFailsTheWaitInsteadOfSpinning) {
    auto opened = OpenSerialDevice(pty_.SlavePath());
    ASSERT_TRUE(opened.ok());
    SerialDevice& device = *opened.value;
    // A wait that misses the hang-up is cancelled after two seconds, so the test reports it.
    auto waitEnds = [&device] {
        auto waiting = std::async(std::launch::async, [&device] { return device.WaitEvent(); });
        const bool ended = waiting.wait_for(2s) == std::future_status::ready;
        if (!ended) {
            device.CancelWaits();
        }
        return std::make_pair(ended, waiting.get());
    };
    auto before = std::async(std::launch::async, waitEnds);
    ASSERT_EQ(before.wait_for(100ms), std::future_status::timeout);
    pty_.CloseMaster();
    for (const auto& [ended, result] : {before.get(), waitEnds()}) {  // later waits fail at once
        EXPECT_TRUE(ended);
        EXPECT_EQ(result.error.code, EIO);
    }
    std::uint8_t byte = 0;
    EXPECT_FALSE(device.Write(&byte, 1).ok());
}

TEST_F(PtyDeviceTest, AppliesTheChosenLineSettings) {
    auto opened = OpenSerialDevice(pty_.SlavePath());
    ASSERT_TRUE(opened.ok());
    SerialDevice& device = *opened.value;
    // 8065 has no B-constant and goes through termios2. A pseudo-terminal keeps 8 data bits and
    // no parity whatever is asked, which is what the read-back shows.
    const struct {
        LineSettings settings;
        std::uint32_t baud;
        int stopBits;
        bool ctsFlow;
    } cases[] = {
        {{9600, Parity::kEven, 7, 2, true}, 9600, 2, true},
        {{115200, Parity::kNone, 8, 1, false}, 115200, 1, false},
        {{8065, std::nullopt, std::nullopt, 2, std::nullopt}, 8065, 2, false},
        // No baud chosen: the port keeps its speed instead of hanging up (B0).
        {{0, std::nullopt, std::nullopt, std::nullopt, true}, 8065, 2, true},
        {{2400, std::nullopt, std::nullopt, 1, false}, 2400, 1, false},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(device.Configure(c.settings)) << c.baud;
        const AppliedSettings a = device.ReadBack();
        EXPECT_EQ(std::tuple(a.baudRate, a.stopBits, a.ctsFlow, a.dataBits, a.parity),
                  std::tuple(c.baud, c.stopBits, c.ctsFlow, 8, Parity::kNone));
    }
    // Values no line can have are refused and change nothing.
    for (const LineSettings& invalid : {LineSettings{300, std::nullopt, 9, std::nullopt, false},
                                        LineSettings{300, std::nullopt, 8, 3, false}}) {
        EXPECT_EQ(device.Configure(invalid).code, EINVAL);
        EXPECT_EQ(device.ReadBack().baudRate, 2400u);
    }
    EXPECT_FALSE(device.Cts() || device.TakeLineErrors().Any());  // a pty has no modem lines
}

TEST(SerialPortList, EndsWithThePathsOfTheEnvironmentByName) {
    const char* saved = std::getenv("VELOTRIX_PORTS");
    const std::string previous = saved != nullptr ? saved : "";
    setenv("VELOTRIX_PORTS", "/tmp/pc::/dev/pts/7:/tmp/pc:ac1:", 1);
    std::vector<std::string> shown;
    for (const PortInfo& port : ListSerialDevices()) {
        shown.push_back(port.name + "=" + port.path);
    }
    saved != nullptr ? setenv("VELOTRIX_PORTS", previous.c_str(), 1) : unsetenv("VELOTRIX_PORTS");
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(shown.end() - 3, shown.end()),
              (std::vector<std::string>{"pc=/tmp/pc", "7=/dev/pts/7", "ac1=ac1"}));
}

}  // namespace
}  // namespace velotrix
