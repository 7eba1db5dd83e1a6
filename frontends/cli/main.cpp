// velotrix-cli: the transfers of the Velotrix window from the command line.
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "frontends/cli/cli_options.h"
#include "frontends/cli/cli_session.h"
#include "text/cp1252.h"

namespace {

std::atomic<bool> interrupted{false};

// Ctrl+C closes the port the way the COM button does, so that a send stops cleanly.
void OnInterrupt(int) {
    interrupted.store(true);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace velotrix;
    static_assert(std::atomic<bool>::is_always_lock_free);

    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const cli::ParseResult parsed = cli::ParseArguments(arguments);
    if (!parsed.ok()) {
        std::cerr << "velotrix-cli: " << Cp1252ToUtf8(parsed.error) << '\n'
                  << Cp1252ToUtf8(cli::UsageHint());
        return cli::kExitUsage;
    }
    if (parsed.options.command == cli::Command::kHelp) {
        std::cout << Cp1252ToUtf8(cli::HelpText());
        return cli::kExitOk;
    }

    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    const cli::Terminal terminal{std::cout, std::cerr, isatty(STDERR_FILENO) == 1, &interrupted};
    return cli::RunCommand(parsed.options, terminal);
}
