// The port list on Linux: the paths of VELOTRIX_PORTS, then serial devices under /dev by name.
#include "platform/linux/serial_ports.h"

#include <linux/serial.h>
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
    for (std::string_view prefix : SerialDevicePrefixes()) {
        if (name.size() > prefix.size() && name.substr(0, prefix.size()) == prefix &&
            std::all_of(name.begin() + prefix.size(), name.end(), IsDigit)) {
            return prefix;
        }
    }
    return {};
}

// Most PCs announce four ttyS ports whatever the hardware; only those with a UART type are real.
// The serial core shows the type in sysfs (0: unknown, no hardware behind it); asking the driver
// would mean opening the device.
bool IsRealUart(const std::string& sysTypePath) {
    std::ifstream typeFile(sysTypePath);
    int type = PORT_UNKNOWN;
    return typeFile >> type && type != PORT_UNKNOWN;
}

std::string FirstLineOf(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// A USB adapter's manufacturer, product and serial number: the tty's device link leads to the USB
// interface (or the serial port below it); the USB device that holds them is one of its parents.
void DescribeAdapter(PortInfo& port, const std::string& sysTtyDirectory) {
    std::error_code error;
    std::filesystem::path device = std::filesystem::canonical(
        std::filesystem::path(sysTtyDirectory) / port.name / "device", error);
    constexpr int kLevels = 4;
    for (int level = 0; !error && level < kLevels && device.has_relative_path(); ++level) {
        if (std::filesystem::exists(device / "idVendor", error)) {
            const std::string manufacturer = FirstLineOf(device / "manufacturer");
            const std::string product = FirstLineOf(device / "product");
            port.description = manufacturer.empty() || product.empty()
                                   ? manufacturer + product
                                   : manufacturer + " " + product;
            port.serialNumber = FirstLineOf(device / "serial");
            return;
        }
        device = device.parent_path();
    }
}

// The adapter's own name under /dev/serial/by-id, which stays when it moves to another socket.
void FindStableLink(PortInfo& port, const std::string& byId) {
    std::error_code error;
    std::filesystem::directory_iterator link(byId, error);
    for (; !error && link != std::filesystem::directory_iterator(); link.increment(error)) {
        std::error_code target;
        if (std::filesystem::equivalent(link->path(), port.path, target)) {
            port.stableLink = link->path().string();
            return;
        }
    }
}

}  // namespace

std::vector<PortInfo> ListSerialDevicesIn(const PortPlaces& places, std::string_view extraPaths,
                                          const Identity& identity, int ownPid) {
    std::vector<PortInfo> ports;
    AppendExtraPorts(ports, extraPaths, ':');
    const std::size_t extraCount = ports.size();
    std::error_code error;
    std::filesystem::directory_iterator entry(places.devices, error);
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        const std::string_view prefix = SerialPrefixOf(name);
        if (prefix.empty()) {
            continue;
        }
        const std::string path = entry->path().string();
        if (prefix == "ttyS" && !IsRealUart(places.sysTty + "/" + name + "/type")) {
            continue;
        }
        const bool named = std::any_of(ports.begin(), ports.begin() + extraCount,
                                       [&](const PortInfo& port) { return port.path == path; });
        if (named) {
            continue;
        }
        PortInfo port{name, path, {}, {}};
        DescribeAdapter(port, places.sysTty);
        FindStableLink(port, places.byId);
        ports.push_back(std::move(port));
    }
    std::sort(ports.begin() + static_cast<std::ptrdiff_t>(extraCount), ports.end(),
              [](const PortInfo& a, const PortInfo& b) { return NaturalLess(a.name, b.name); });
    const PortUse use(places, identity, ownPid);
    for (PortInfo& port : ports) {
        use.Describe(port);
    }
    return ports;
}

std::vector<PortInfo> ListSerialDevices() {
    const char* extraPaths = std::getenv("VELOTRIX_PORTS");
    return ListSerialDevicesIn(PortPlaces{}, extraPaths != nullptr ? extraPaths : "",
                               Identity::Current(), static_cast<int>(getpid()));
}

PortHolder FindPortHolder(const std::string& path) {
    return PortUse(PortPlaces{}, Identity::Current(), static_cast<int>(getpid())).Holder(path);
}

bool IsNamedLink(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_symlink(path, error);
}

PortInfo ResolvePort(const std::string& nameOrPath) {
    if (nameOrPath.find('/') != std::string::npos) {
        return {nameOrPath, nameOrPath, {}, {}};
    }
    for (const PortInfo& info : ListSerialDevices()) {
        if (info.name == nameOrPath) {
            return info;
        }
    }
    // A file of that name here is what the user meant; the open then says what it is.
    const std::string device = "/dev/" + nameOrPath;
    if (access(device.c_str(), F_OK) != 0 && access(nameOrPath.c_str(), F_OK) == 0) {
        return {nameOrPath, nameOrPath, {}, {}};
    }
    return {nameOrPath, device, {}, {}};
}

std::span<const std::string_view> SerialDevicePrefixes() {
    return kDevicePrefixes;
}

}  // namespace velotrix
