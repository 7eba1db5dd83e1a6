// Errors of serial devices on Windows: what they mean for the program.
#include <windows.h>

#include "platform/serial_device.h"

namespace velotrix {

// A COM port has no owning group on Windows: whoever may log on may open it.
std::string OwningGroup(const std::string&) {
    return {};
}

std::string SoleOwner(const std::string&) {
    return {};
}

OsErrorKind KindOf(const OsError& error) {
    switch (static_cast<DWORD>(error.code)) {
        // What the calls on an open port give once a USB adapter is pulled out; the device
        // reports ERROR_ACCESS_DENIED of an open port as ERROR_DEVICE_NOT_CONNECTED.
        case ERROR_BAD_COMMAND:
        case ERROR_GEN_FAILURE:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_DEVICE_REMOVED:
        case ERROR_OPERATION_ABORTED:
            return OsErrorKind::kDeviceGone;
        case ERROR_INVALID_FUNCTION:
            return OsErrorKind::kNotSerial;
        // A COM port allows one open handle: "access denied" on opening means it is in use.
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            return OsErrorKind::kBusy;
        default:
            return OsErrorKind::kOther;
    }
}

}  // namespace velotrix
