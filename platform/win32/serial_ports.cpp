// The port list on Windows: the entries of VELOTRIX_PORTS, then the COM ports the serial drivers
// announce in the registry, in natural order, described by SetupAPI; and the port a user names.
#include <windows.h>

// devguid.h's class GUIDs are defined in this file.
#include <initguid.h>

#include <cfgmgr32.h>
#include <devguid.h>
#include <setupapi.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/port_list.h"
#include "platform/serial_device.h"
#include "platform/win32/port_records.h"
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

std::string DeviceProperty(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
    wchar_t text[512] = {};
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyW(set, &device, property, &type,
                                           reinterpret_cast<BYTE*>(text),
                                           sizeof text - sizeof(wchar_t), nullptr) ||
        type != REG_SZ) {
        return {};
    }
    return WideToUtf8(text);
}

std::string PortNameOf(HDEVINFO set, SP_DEVINFO_DATA& device) {
    const HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) {
        return {};
    }
    wchar_t name[64] = {};
    DWORD size = sizeof name - sizeof(wchar_t);
    DWORD type = 0;
    const LONG result =
        RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_SZ ? WideToUtf8(name) : std::string();
}

// The present devices of the Ports class that are COM ports; read without opening a port.
std::vector<PortRecord> ReadPortRecords() {
    std::vector<PortRecord> records;
    const HDEVINFO set =
        SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) {
        return records;
    }
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &device); ++index) {
        PortRecord record;
        record.portName = PortNameOf(set, device);
        if (!StartsWithIgnoringCase(record.portName, "COM")) {
            continue;  // a printer port
        }
        record.friendlyName = DeviceProperty(set, device, SPDRP_FRIENDLYNAME);
        record.manufacturer = DeviceProperty(set, device, SPDRP_MFG);
        wchar_t id[MAX_DEVICE_ID_LEN] = {};
        if (SetupDiGetDeviceInstanceIdW(set, &device, id, MAX_DEVICE_ID_LEN, nullptr)) {
            record.instanceId = WideToUtf8(id);
        }
        DEVINST parent = 0;
        if (CM_Get_Parent(&parent, device.DevInst, 0) == CR_SUCCESS &&
            CM_Get_Device_IDW(parent, id, MAX_DEVICE_ID_LEN, 0) == CR_SUCCESS) {
            record.parentInstanceId = WideToUtf8(id);
        }
        records.push_back(std::move(record));
    }
    SetupDiDestroyDeviceInfoList(set);
    return records;
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
    const std::vector<PortRecord> records = ReadPortRecords();
    // A driver may announce a port that SetupAPI does not know (Wine's ports), or the other way.
    std::vector<std::string> names = AnnouncedPortNames();
    for (const PortRecord& record : records) {
        names.push_back(record.portName);
    }
    for (const std::string& name : names) {
        // The device namespace reaches COM10 and above too, which the bare name does not.
        const std::string path = std::string(kDeviceNamespace) + name;
        if (HasPath(ports, 0, path) || HasPath(ports, 0, name)) {
            continue;
        }
        const auto record = std::find_if(records.begin(), records.end(), [&](const PortRecord& r) {
            return EqualIgnoringCase(r.portName, name);
        });
        ports.push_back(record != records.end() ? PortInfoOf(*record, path)
                                                : PortInfo{name, path, {}, {}});
    }
    std::sort(ports.begin() + static_cast<std::ptrdiff_t>(extraCount), ports.end(),
              [](const PortInfo& a, const PortInfo& b) { return NaturalLess(a.name, b.name); });
    return ports;
}

PortHolder FindPortHolder(const std::string&) {
    // Windows names no holder of a COM port short of walking every process's handles.
    return {};
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
