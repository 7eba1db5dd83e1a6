// Port list rows from SetupAPI's records of the Ports class.
#include "platform/win32/port_records.h"

#include <string_view>
#include <vector>

#include "text/text_helpers.h"

namespace velotrix {

namespace {

// The backslash-separated parts of an instance ID: enumerator, device, instance.
std::vector<std::string_view> PartsOf(std::string_view id, char separator) {
    std::vector<std::string_view> parts;
    while (true) {
        const std::size_t end = id.find(separator);
        parts.push_back(id.substr(0, end));
        if (end == std::string_view::npos) {
            return parts;
        }
        id.remove_prefix(end + 1);
    }
}

// "USB\VID_10C4&PID_EA60\0001": the instance part of a USB device (not one of its interfaces,
// "&MI_00") is its serial number, unless Windows made it up.
std::string UsbSerial(std::string_view id) {
    const std::vector<std::string_view> parts = PartsOf(id, '\\');
    if (parts.size() != 3 || !EqualIgnoringCase(parts[0], "USB") ||
        parts[1].find("&MI_") != std::string_view::npos ||
        parts[2].find('&') != std::string_view::npos) {
        return {};
    }
    return std::string(parts[2]);
}

bool IsUsbInterface(std::string_view id) {
    const std::vector<std::string_view> parts = PartsOf(id, '\\');
    return parts.size() == 3 && EqualIgnoringCase(parts[0], "USB") &&
           parts[1].find("&MI_") != std::string_view::npos;
}

// FTDI's bus driver: "FTDIBUS\VID_0403+PID_6001+A50285BIA\0000", the serial number followed by
// the letter of the chip's channel.
std::string FtdiSerial(std::string_view id) {
    const std::vector<std::string_view> parts = PartsOf(id, '\\');
    if (parts.size() != 3 || !EqualIgnoringCase(parts[0], "FTDIBUS")) {
        return {};
    }
    const std::vector<std::string_view> fields = PartsOf(parts[1], '+');
    if (fields.size() != 3 || fields[2].size() < 2) {
        return {};
    }
    return std::string(fields[2].substr(0, fields[2].size() - 1));
}

}  // namespace

std::string SerialNumberOf(const PortRecord& record) {
    std::string serial = UsbSerial(record.instanceId);
    if (serial.empty()) {
        serial = FtdiSerial(record.instanceId);
    }
    if (serial.empty() && IsUsbInterface(record.instanceId)) {
        serial = UsbSerial(record.parentInstanceId);
    }
    return serial;
}

PortInfo PortInfoOf(const PortRecord& record, const std::string& path) {
    std::string description = record.friendlyName;
    const std::string suffix = " (" + record.portName + ")";
    if (description.size() >= suffix.size() &&
        EqualIgnoringCase(std::string_view(description).substr(description.size() - suffix.size()),
                          suffix)) {
        description.resize(description.size() - suffix.size());
    }
    // "(Standard port types)" and the like name no maker.
    if (description.empty() && !record.manufacturer.starts_with('(')) {
        description = record.manufacturer;
    }
    return {record.portName, path, description, SerialNumberOf(record)};
}

}  // namespace velotrix
