// The help text of velotrix-cli and the hint that follows a usage error.
#include "frontends/cli/cli_options.h"
#include "ui-resources/messages.h"

namespace velotrix::cli {

std::string VersionText() {
    return "velotrix-cli " VELOTRIX_VERSION;
}

std::string UsageHint() {
    return std::string(msg::kCliUsageHint);
}

std::string HelpText() {
    return std::string(msg::kCliHelp);
}

}  // namespace velotrix::cli
