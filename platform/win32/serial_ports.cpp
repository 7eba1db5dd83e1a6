// The port list on Windows: the entries of VELOTRIX_PORTS, then the COM ports the serial drivers
// announce in the registry, in natural order; and the port a user names.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/port_list.h"
#include "platform/serial_device.h"
#include "platform/win32/wide_text.h"
#include "text/text_helpers.h"

namespace velotrix {

namespace {

constexpr std::string_view kDeviceNamespace = "\\\\.\\";

// Every serial driver enters its ports under this key while they exist (a USB adapter only while
// it is plugged in); the values' data are the port names, e.g. "COM5".
std::vector<std::string> AnnouncedPortNames() {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE,
                      &key) != ERROR_SUCCESS) {
        return names;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t valueName[256];
        DWORD valueNameLength = 256;
        wchar_t data[256] = {};
        DWORD dataSize = sizeof data - sizeof(wchar_t);  // room for a terminator the data lack
        DWORD type = 0;
        const LONG result = RegEnumValueW(key, index, valueName, &valueNameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &dataSize);
        if (result == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (result == ERROR_SUCCESS && type == REG_SZ && data[0] != L'\0') {
            names.push_back(WideToUtf8(data));
        }
    }
    RegCloseKey(key);
    return names;
}

bool HasPath(const std::vector<PortInfo>& ports, std::size_t from, const std::string& path) {
    return std::any_of(ports.begin() + static_cast<std::ptrdiff_t>(from), ports.end(),
                       [&](const PortInfo& port) { return EqualIgnoringCase(port.path, path); });
}

}  // namespace

std::vector<PortInfo> ListSerialDevices() {
    std::vector<PortInfo> ports;
    // Separated by ';' as Windows separates path lists: a colon belongs to a drive letter here.
    const char* extra = std::getenv("VELOTRIX_PORTS");
    AppendExtraPorts(ports, extra != nullptr ? extra : "", ';');
    const std::size_t extraCount = ports.size();
    for (const std::string& name : AnnouncedPortNames()) {
        // The device namespace reaches COM10 and above too, which the bare name does not.
        const std::string path = std::string(kDeviceNamespace) + name;
        if (!HasPath(ports, 0, path) && !HasPath(ports, 0, name)) {
            ports.push_back({name, path, {}, {}});
        }
    }
    std::sort(ports.begin() + static_cast<std::ptrdiff_t>(extraCount), ports.end(),
              [](const PortInfo& a, const PortInfo& b) { return NaturalLess(a.name, b.name); });
    return ports;
}

bool IsNamedLink(const std::string&) {
    // Windows keeps a COM number for its adapter: the name stays with the device.
    return true;
}

PortInfo ResolvePort(const std::string& nameOrPath) {
    if (StartsWithIgnoringCase(nameOrPath, kDeviceNamespace)) {
        return {nameOrPath.substr(kDeviceNamespace.size()), nameOrPath, {}, {}};
    }
    if (nameOrPath.find_first_of("\\/") != std::string::npos) {
        return {nameOrPath, nameOrPath, {}, {}};
    }
    for (const PortInfo& info : ListSerialDevices()) {
        if (EqualIgnoringCase(info.name, nameOrPath)) {
            return info;
        }
    }
    return {nameOrPath, std::string(kDeviceNamespace) + nameOrPath, {}, {}};
}

}  // namespace velotrix
