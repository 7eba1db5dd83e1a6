// The Win32 serial device on a real COM port: scripts/test-windows maps COM5 onto a pseudo-terminal
// whose far end a Linux program echoes back, so every byte goes out through Linux and comes back.
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <numeric>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "platform/serial_device.h"
#include "support/temp_dir.h"

namespace velotrix {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

std::string TestPort() {
    const char* port = std::getenv("VELOTRIX_TEST_COM_PORT");
    return port != nullptr ? port : "";
}

class ComPortTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (TestPort().empty()) {
            GTEST_SKIP() << "VELOTRIX_TEST_COM_PORT names no port; scripts/test-windows sets it";
        }
        auto opened = OpenSerialDevice(TestPort());
        ASSERT_TRUE(opened.ok()) << opened.error.code;
        device_ = std::move(opened.value);
        ASSERT_FALSE(device_->Configure({"", 9600, Parity::kNone, 8, 1, false}));
        device_->Purge(true, true);
    }

    bool Send(const Bytes& bytes) {
        const OsResult<std::size_t> written = device_->Write(bytes.data(), bytes.size());
        device_->Drain();
        return written.ok() && written.value == bytes.size();
    }

    // Waits for input and reads it in reads of at most 7 bytes until count bytes came or two
    // seconds passed.
    Bytes Receive(std::size_t count) {
        Bytes received;
        const auto deadline = std::chrono::steady_clock::now() + 2s;
        while (received.size() < count && std::chrono::steady_clock::now() < deadline) {
            const OsResult<SerialEvents> event = device_->WaitEvent();
            EXPECT_TRUE(event.ok()) << event.error.code;
            if (!event.ok() || !event.value.received) {
                break;
            }
            EXPECT_GT(device_->QueuedInput(), 0u);
            std::uint8_t buffer[7] = {};
            const OsResult<std::size_t> read = device_->Read(buffer, sizeof buffer);
            EXPECT_TRUE(read.ok()) << read.error.code;
            received.insert(received.end(), buffer, buffer + read.value);
        }
        return received;
    }

    std::unique_ptr<SerialDevice> device_;
};

TEST_F(ComPortTest, EveryByteValueGoesOutAndComesBackUnchangedAndInOrder) {
    Bytes sent(256);
    std::iota(sent.begin(), sent.end(), std::uint8_t{0});
    sent.insert(sent.end(), sent.rbegin(), sent.rend());
    ASSERT_TRUE(Send(sent));
    EXPECT_EQ(Receive(sent.size()), sent);
    EXPECT_EQ(device_->QueuedInput(), 0u);
}

TEST_F(ComPortTest, CancelBeforeAndDuringAWaitEndsIt) {
    auto waiting = std::async(std::launch::async, [this] { return device_->WaitEvent(); });
    ASSERT_EQ(waiting.wait_for(200ms), std::future_status::timeout);
    device_->CancelWaits();
    ASSERT_EQ(waiting.wait_for(2s), std::future_status::ready);
    const OsResult<SerialEvents> ended = waiting.get();
    EXPECT_TRUE(ended.ok() && ended.value.cancelled && !ended.value.received);
    EXPECT_TRUE(device_->WaitEvent().value.cancelled);  // and every later wait at once
    const std::uint8_t byte = 1;
    EXPECT_EQ(device_->Write(&byte, 1).value, 0u);
}

TEST_F(ComPortTest, PurgingInputDropsWhatIsQueuedAndWhatTheWaitTook) {
    ASSERT_TRUE(Send(Bytes(10, 0xAA)));
    ASSERT_TRUE(device_->WaitEvent().value.received);
    std::this_thread::sleep_for(200ms);  // the rest of the echo
    device_->Purge(true, false);
    EXPECT_EQ(device_->QueuedInput(), 0u);
    ASSERT_TRUE(Send({1, 2, 3}));
    EXPECT_EQ(Receive(3), (Bytes{1, 2, 3}));
}

TEST_F(ComPortTest, AppliesSettingsAndRefusesWhatTheDriverWouldChange) {
    ASSERT_FALSE(device_->Configure({"", 115200, Parity::kNone, 8, 2, false}));
    AppliedSettings a = device_->ReadBack();
    EXPECT_EQ(std::tuple(a.baudRate, a.dataBits, a.stopBits, a.parity, a.ctsFlow),
              std::tuple(115200u, 8, 2, Parity::kNone, false));
    // Wine's pseudo-terminal makes 8065 baud 38400 and 7E1 8N1; a real adapter may make them. What
    // the driver changes is refused, and the port keeps what it had.
    for (const LineSettings& odd :
         {LineSettings{"", 8065, std::nullopt, std::nullopt, std::nullopt, std::nullopt},
          LineSettings{"", 9600, Parity::kEven, 7, 1, false}}) {
        const OsError error = device_->Configure(odd);
        a = device_->ReadBack();
        if (error) {
            EXPECT_EQ(error.code, ERROR_INVALID_PARAMETER);
            EXPECT_EQ(std::tuple(a.baudRate, a.dataBits), std::tuple(115200u, 8));
        } else {
            EXPECT_EQ(std::tuple(a.baudRate, a.dataBits),
                      std::tuple(odd.baudRate, odd.dataBits.value_or(8)));
        }
    }
    EXPECT_EQ(device_->Configure({"", 300, std::nullopt, 9, std::nullopt, false}).code,
              ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(device_->Cts() || device_->TakeLineErrors().Any());  // a pty has neither
}

TEST(ComPortOpen, TakesBareAndDeviceNamesAndRefusesWhatIsNoPort) {
    if (TestPort().empty()) {
        GTEST_SKIP() << "VELOTRIX_TEST_COM_PORT names no port; scripts/test-windows sets it";
    }
    for (const std::string& name : {TestPort(), "\\\\.\\" + TestPort()}) {
        EXPECT_TRUE(OpenSerialDevice(name).ok()) << name;
    }
    const test::TempDir dir;
    const struct {
        std::string path;
        int code;
    } refused[] = {{"COM199", ERROR_FILE_NOT_FOUND},
                   {"", ERROR_FILE_NOT_FOUND},
                   {dir.Write("not_a_port", "x"), ERROR_INVALID_FUNCTION}};
    for (const auto& c : refused) {
        const auto opened = OpenSerialDevice(c.path);
        EXPECT_TRUE(opened.value == nullptr && opened.error.code == c.code) << c.path;
    }
}

TEST(ComPortList, NamesTheUsersEntriesThenTheAnnouncedPortsByTheirDeviceName) {
    if (TestPort().empty()) {
        GTEST_SKIP() << "VELOTRIX_TEST_COM_PORT names no port; scripts/test-windows sets it";
    }
    _putenv_s("VELOTRIX_PORTS", "C:\\pc\\ac1;;COM8;\\\\.\\COM7");
    std::vector<std::string> shown;
    for (const PortInfo& port : ListSerialDevices()) {
        shown.push_back(port.name + "=" + port.path);
    }
    const std::string expected = TestPort() + "=\\\\.\\" + TestPort();
    EXPECT_NE(std::find(shown.begin(), shown.end(), expected), shown.end());
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(shown.begin(), shown.begin() + 3),
              (std::vector<std::string>{"ac1=C:\\pc\\ac1", "COM8=COM8", "COM7=\\\\.\\COM7"}));
    // A port the user names: a known name as listed, another name in the device namespace.
    const struct {
        std::string named;
        std::string name;
        std::string path;
    } cases[] = {{"com7", "COM7", "\\\\.\\COM7"},
                 {"COM12", "COM12", "\\\\.\\COM12"},
                 {"\\\\.\\COM12", "COM12", "\\\\.\\COM12"},
                 {"C:\\pc\\ac2", "C:\\pc\\ac2", "C:\\pc\\ac2"}};
    for (const auto& c : cases) {
        const PortInfo port = ResolvePort(c.named);
        EXPECT_EQ(std::tuple(port.name, port.path), std::tuple(c.name, c.path)) << c.named;
    }
    _putenv_s("VELOTRIX_PORTS", "");
}

}  // namespace
}  // namespace velotrix
