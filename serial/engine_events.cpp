// The results every engine call shares.
#include "serial/engine_events.h"

#include "ui-resources/messages.h"

namespace velotrix {

EngineResult BusyResult() {
    return {ErrorKind::kBusy, std::string(msg::kBusy), std::string(msg::kInfoCaption), {}};
}

EngineResult OsErrorResult(const OsError& error) {
    return {KindOf(error) == OsErrorKind::kDeviceGone ? ErrorKind::kPortLost : ErrorKind::kOsError,
            {},
            {},
            error};
}

}  // namespace velotrix
