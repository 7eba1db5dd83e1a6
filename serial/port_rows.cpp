// The rows of the port list and their text.
#include "serial/port_rows.h"

#include "platform/files.h"
#include "text/cp1252.h"
#include "ui-resources/messages.h"

namespace velotrix {

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
        case OsErrorKind::kNoPermission: {
            row.state = PortState::kNoPermission;
            row.reason = msg::kPortForbidden;
            const std::string group = OwningGroup(port.path);
            if (!group.empty()) {
                row.reason += std::string(msg::kPortForbiddenGroup) + Utf8ToCp1252(group);
            }
            break;
        }
        default:
            row.state = PortState::kUnusable;
            row.reason = OsErrorText(openError.code);
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
