// Fuzz target: velotrix-cli's command line, arguments split at zero bytes. A command line is either
// refused with a reason or gives options the engine can take.
#include <cstdlib>
#include <string>
#include <vector>

#include "frontends/cli/cli_options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velotrix::cli;
    std::vector<std::string> arguments(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.emplace_back();
        } else {
            arguments.back().push_back(static_cast<char>(data[i]));
        }
    }
    const ParseResult parsed = ParseArguments(arguments);
    const Options& o = parsed.options;
    const bool needsPort = o.command == Command::kSend || o.command == Command::kText ||
                           o.command == Command::kReceive || o.command == Command::kSelfTest;
    if (parsed.ok() && ((needsPort && o.port.empty()) || o.pauseIndex < 0 || o.pauseIndex > 4 ||
                        o.timeoutSeconds < 1 || o.timeoutSeconds > 86400 ||
                        (o.command == Command::kSend && o.files.size() != 1))) {
        std::abort();
    }
    return 0;
}
