// The port list on POSIX: serial devices under /dev by name, then the paths of VELOTRIX_PORTS.
#include "platform/posix/serial_ports.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/port_list.h"

namespace velotrix {
namespace {

constexpr std::string_view kDevicePrefixes[] = {"ttyUSB", "ttyACM", "ttyAMA", "rfcomm", "ttyS"};

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// The prefix of a serial device followed by its number, e.g. "ttyUSB0"; empty for other names.
std::string_view SerialPrefixOf(std::string_view name) {
    for (std::string_view prefix : kDevicePrefixes) {
        if (name.size() > prefix.size() && name.substr(0, prefix.size()) == prefix &&
            std::all_of(name.begin() + prefix.size(), name.end(), IsDigit)) {
            return prefix;
        }
    }
    return {};
}

// Most PCs announce four ttyS ports whatever the hardware; only those with a UART type are real.
// The serial core shows the type in sysfs; without it the driver is asked.
bool IsRealUart(const std::string& devicePath, const std::string& sysTypePath) {
    std::ifstream typeFile(sysTypePath);
    int type = PORT_UNKNOWN;
    if (typeFile >> type) {
        return type != PORT_UNKNOWN;
    }
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    serial_struct info{};
    const bool real = ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
    ::close(fd);
    return real;
}

}  // namespace

std::vector<PortInfo> ListSerialDevicesIn(const std::string& deviceDirectory,
                                          const std::string& sysTtyDirectory,
                                          std::string_view extraPaths) {
    std::vector<PortInfo> ports;
    std::error_code error;
    std::filesystem::directory_iterator entry(deviceDirectory, error);
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        const std::string_view prefix = SerialPrefixOf(name);
        if (prefix.empty()) {
            continue;
        }
        const std::string path = entry->path().string();
        if (prefix == "ttyS" && !IsRealUart(path, sysTtyDirectory + "/" + name + "/type")) {
            continue;
        }
        ports.push_back({name, path});
    }
    std::sort(ports.begin(), ports.end(),
              [](const PortInfo& a, const PortInfo& b) { return NaturalLess(a.name, b.name); });
    AppendExtraPorts(ports, extraPaths, ':');
    return ports;
}

std::vector<PortInfo> ListSerialDevices() {
    const char* extraPaths = std::getenv("VELOTRIX_PORTS");
    return ListSerialDevicesIn("/dev", "/sys/class/tty", extraPaths != nullptr ? extraPaths : "");
}

}  // namespace velotrix
