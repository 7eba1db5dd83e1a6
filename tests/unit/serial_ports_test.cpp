// The port list: which device names count as serial ports, their order, and the extra paths.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/posix/serial_ports.h"
#include "support/temp_dir.h"

namespace velotrix {
namespace {

namespace fs = std::filesystem;

class SerialPortListTest : public ::testing::Test {
  protected:
    // A directory of its own: CTest runs the tests of this suite in parallel processes.
    void SetUp() override {
        root_ = fs::path(dir_.path());
        fs::create_directories(root_ / "dev");
        fs::create_directories(root_ / "sys");
    }

    void AddDevice(const std::string& name) { std::ofstream(root_ / "dev" / name) << ""; }
    void AddUartType(const std::string& name, const std::string& type) {
        fs::create_directories(root_ / "sys" / name);
        std::ofstream(root_ / "sys" / name / "type") << type << "\n";
    }
    std::vector<std::string> Names(std::string_view extraPaths = {}) {
        std::vector<std::string> names;
        for (const PortInfo& port :
             ListSerialDevicesIn((root_ / "dev").string(), (root_ / "sys").string(), extraPaths)) {
            names.push_back(port.name);
        }
        return names;
    }

    test::TempDir dir_;
    fs::path root_;
};

TEST_F(SerialPortListTest, ListsSerialDevicesInNaturalOrderLeavingOutTheRest) {
    for (const char* name :
         {"ttyUSB10", "ttyUSB9",  "ttyS1",   "ttyACM1", "ttyUSB0", "ttyAMA0", "ttyACM0",
          "rfcomm2",  "ttyS0",    "ttyS10",  "tty0",    "tty12",   "console", "ptmx",
          "ttyUSB",   "ttyUSB0x", "ttySAC0", "ttyS2",   "ttyS3",   "ttyS4"}) {
        AddDevice(name);
    }
    for (const char* name : {"ttyS0", "ttyS1", "ttyS10"}) {
        AddUartType(name, "4");
    }
    // Reserved UARTs no chip answers for: PORT_UNKNOWN, an unreadable type, no type at all.
    AddUartType("ttyS2", "0");
    AddUartType("ttyS3", "garbage");
    EXPECT_EQ(Names(),
              (std::vector<std::string>{"rfcomm2", "ttyACM0", "ttyACM1", "ttyAMA0", "ttyS0",
                                        "ttyS1", "ttyS10", "ttyUSB0", "ttyUSB9", "ttyUSB10"}));
}

TEST_F(SerialPortListTest, AppendsTheExtraPathsInTheirOrderOnce) {
    AddDevice("ttyUSB0");
    const std::string usb = (root_ / "dev" / "ttyUSB0").string();
    EXPECT_EQ(Names("/tmp/pc::/tmp/ac1:" + usb + ":/tmp/pc:"),
              (std::vector<std::string>{"ttyUSB0", "pc", "ac1"}));
    EXPECT_EQ(Names(":"), std::vector<std::string>{"ttyUSB0"});
    fs::remove_all(root_ / "dev");  // a missing device directory gives only the extra paths
    EXPECT_EQ(Names("relative"), std::vector<std::string>{"relative"});
}

}  // namespace
}  // namespace velotrix
