// The rows of the port list and their text.
#include "serial/port_rows.h"

#include "platform/files.h"
#include "serial/error_texts.h"
#include "text/cp1252.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

std::string ForbiddenReason(const PortInfo& port) {
    std::string reason(msg::kPortForbidden);
    // The group that helps, or the one user the device lets in.
    if (const std::string group = OwningGroup(port.path); !group.empty()) {
        reason += std::string(msg::kPortForbiddenGroup) + Utf8ToCp1252(group);
    } else if (const std::string owner = SoleOwner(port.path); !owner.empty()) {
        reason += std::string(msg::kPortForbiddenOwner) + Utf8ToCp1252(owner);
    }
    return reason;
}

}  // namespace

PortRow RowFor(const PortInfo& port) {
    PortRow row{port, PortState::kFree, {}};
    switch (port.access) {
        case PortAccess::kFree:
            break;
        case PortAccess::kBusy: {
            // "belegt (minicom, PID 1234)", as far as the system names the holder.
            row.state = PortState::kBusy;
            row.reason = msg::kPortBusy;
            std::string holder = Utf8ToCp1252(port.holder);
            if (port.holderPid > 0) {
                holder += (holder.empty() ? "PID " : std::string(msg::kPortHolderPid)) +
                          std::to_string(port.holderPid);
            }
            if (!holder.empty()) {
                row.reason += " (" + holder + ")";
            }
            break;
        }
        case PortAccess::kNoPermission:
            row.state = PortState::kNoPermission;
            row.reason = ForbiddenReason(port);
            break;
        case PortAccess::kConsole:
            row.state = PortState::kUnusable;
            row.reason = msg::kPortConsole;
            break;
    }
    return row;
}

PortRow RowFor(const PortInfo& port, const OsError& openError) {
    PortRow row{port, PortState::kFree, {}};
    if (!openError) {
        return row;
    }
    switch (KindOf(openError)) {
        case OsErrorKind::kBusy:
            row.state = PortState::kBusy;
            row.reason = msg::kPortBusy;
            break;
        case OsErrorKind::kNoPermission:
            row.state = PortState::kNoPermission;
            row.reason = ForbiddenReason(port);
            break;
        default:
            row.state = PortState::kUnusable;
            row.reason = UserErrorText(OsError{openError.code, {}});
            break;
    }
    return row;
}

std::string PortRowText(const PortRow& row) {
    std::string text = Utf8ToCp1252(row.port.name);
    if (!row.port.description.empty()) {
        text += std::string(msg::kPortDescriptionDash) + Utf8ToCp1252(row.port.description);
    }
    if (!row.port.serialNumber.empty()) {
        text += " (" + Utf8ToCp1252(row.port.serialNumber) + ")";
    }
    if (!row.reason.empty()) {
        text += ": " + row.reason;
    }
    return text;
}

}  // namespace velotrix
