// Port list rows from SetupAPI's records, as recorded from real adapters on Windows.
#include <utility>

#include <gtest/gtest.h>

#include "platform/win32/port_records.h"
#include "serial/port_rows.h"

namespace velotrix {
namespace {

TEST(PortRecords, ARowShowsTheFriendlyNameAndTheAdaptersSerialNumber) {
    const std::pair<PortRecord, std::string> cases[] = {
        // clang-format off
        {{"COM5", "USB-SERIAL CH340 (COM5)", "wch.cn", "USB\\VID_1A86&PID_7523\\A1B2C3"}, "COM5 \x96 USB-SERIAL CH340 (A1B2C3)"},
        {{"COM6", "USB-SERIAL CH340 (COM6)", "wch.cn", "USB\\VID_1A86&PID_7523\\5&2A3F0D1&0&2", "USB\\ROOT_HUB30\\4&2A3F&0&0"}, "COM6 \x96 USB-SERIAL CH340"},
        {{"COM3", "USB Serial Port (COM3)", "FTDI", "FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0000", "USB\\VID_0403&PID_6001\\X"}, "COM3 \x96 USB Serial Port (A50285BI)"},
        {{"COM9", "Arduino Uno (COM9)", "Arduino LLC", "USB\\VID_2341&PID_0043&MI_00\\6&3A2F&0&0000", "USB\\VID_2341&PID_0043\\7573530333135"}, "COM9 \x96 Arduino Uno (7573530333135)"},
        {{"COM8", "USB Serial Device (COM8)", "Microsoft", "USB\\VID_2341&PID_0043&MI_00\\6&3A2F&0&0000", "USB\\VID_2341&PID_0043\\6&1&0&1"}, "COM8 \x96 USB Serial Device"},
        {{"COM1", "Kommunikationsanschluss (COM1)", "(Standardanschlusstypen)", "ACPI\\PNP0501\\1", "ACPI\\PNP0A08\\0"}, "COM1 \x96 Kommunikationsanschluss"},
        {{"COM12", "", "Prolific", "USB\\VID_067B&PID_2303\\5&1&0&3"}, "COM12 \x96 Prolific"},
        {{"COM2", "", "(Standard port types)", "ACPI\\PNP0501\\2"}, "COM2"},
        {{"COM4", "Link (COM4) (COM4)", "Microsoft", "BTHENUM\\{00001101}_LOCALMFG&0000\\7&1&0&0_0", "BTHENUM\\X"}, "COM4 \x96 Link (COM4)"},
        // clang-format on
    };
    for (const auto& [record, row] : cases) {
        EXPECT_EQ(PortRowText({PortInfoOf(record, "COM"), PortState::kFree, {}}), row)
            << record.instanceId;
    }
}

}  // namespace
}  // namespace velotrix
