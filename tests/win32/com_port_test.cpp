// The Win32 serial device on a real COM port: scripts/test-windows maps COM5 onto a pseudo-terminal
// whose far end a Linux program echoes back. What every device does is in the serial contract.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/serial_device.h"
#include "support/temp_dir.h"

namespace velotrix {
namespace {

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

    std::unique_ptr<SerialDevice> device_;
};

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
}

TEST(ComPortOpen, TakesBareAndDeviceNamesAndRefusesWhatIsNoPort) {
    if (TestPort().empty()) {
        GTEST_SKIP() << "VELOTRIX_TEST_COM_PORT names no port; scripts/test-windows sets it";
    }
    for (const std::string& name : {TestPort(), "\\\\.\\" + TestPort()}) {
        EXPECT_TRUE(OpenSerialDevice(name).ok()) << name;
    }
    // A port held by another program (its own handle, without our claim) or by this one is
    // "belegt", not a question of permission.
    const std::wstring device = L"\\\\.\\" + std::wstring(TestPort().begin(), TestPort().end());
    const HANDLE other = CreateFileW(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    std::vector<OsError> busy;
    if (auto opened = OpenSerialDevice(TestPort()); !opened.ok()) {
        busy.push_back(opened.error);
    }  // Wine lets a second handle in where Windows refuses it: then only our own claim is seen
    CloseHandle(other);
    const auto held = OpenSerialDevice(TestPort());
    ASSERT_TRUE(held.ok()) << held.error.code;
    busy.push_back(OpenSerialDevice(TestPort()).error);
    for (const OsError& error : busy) {
        EXPECT_TRUE(TopicOf(error.code) == OsErrorTopic::kBusy &&
                    KindOf(error) == OsErrorKind::kBusy)
            << error.code;
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
