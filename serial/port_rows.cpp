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

PortRow BusyRow(const PortInfo& port) {
    PortRow row{port, PortState::kBusy, std::string(msg::kPortBusy)};
    const std::string holder = HolderText({port.holder, port.holderPid});
    if (!holder.empty()) {
        row.reason += " (" + holder + ")";
    }
    return row;
}

}  // namespace

std::string HolderText(const PortHolder& holder) {
    std::string text = Utf8ToCp1252(holder.program);
    if (holder.pid > 0) {
        text +=
            (text.empty() ? "PID " : std::string(msg::kPortHolderPid)) + std::to_string(holder.pid);
    }
    return text;
}

PortRow RowFor(const PortInfo& port) {
    PortRow row{port, PortState::kFree, {}};
    switch (port.access) {
        case PortAccess::kFree:
            break;
        case PortAccess::kBusy:
            return BusyRow(port);
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
            return BusyRow(port);
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
