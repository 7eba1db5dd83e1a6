// What SetupAPI tells of the ports of the Ports class, and how a port list row is made of it: kept
// apart from the API calls so that recorded data can be checked where no adapter is plugged in.
#pragma once

#include <string>

#include "platform/serial_device.h"

namespace velotrix {

// One device of the Ports class as SetupAPI reports it (UTF-8).
struct PortRecord {
    std::string portName = {};          // the "PortName" of the device's key, e.g. "COM5"
    std::string friendlyName = {};      // e.g. "USB-SERIAL CH340 (COM5)"
    std::string manufacturer = {};      // e.g. "wch.cn"
    std::string instanceId = {};        // e.g. "USB\VID_1A86&PID_7523\5&2A3F0D1&0&2"
    std::string parentInstanceId = {};  // the device above it, e.g. the USB device of an interface
};

// The adapter's own serial number, where its instance IDs carry one; else empty. Windows makes up
// an ID with '&' in it for a USB device without a serial number.
std::string SerialNumberOf(const PortRecord& record);

// The list entry of a COM port: its name, the device's friendly name without the "(COM5)" Windows
// adds (the manufacturer where there is no friendly name), and its serial number.
PortInfo PortInfoOf(const PortRecord& record, const std::string& path);

}  // namespace velotrix
