// velotrix-cli: the transfers of the Velotrix window from the command line.
#include <atomic>
#include <iostream>
#include <string>
#include <vector>

#include "frontends/cli/cli_options.h"
#include "frontends/cli/cli_session.h"
#include "platform/process.h"
#include "text/cp1252.h"

int main(int argc, char** argv) {
    using namespace velotrix;
    UseUserLanguage();
    static std::atomic<int> interrupted{0};

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
    if (parsed.options.command == cli::Command::kVersion) {
        std::cout << cli::VersionText() << '\n';
        return cli::kExitOk;
    }
    // Ctrl+C and SIGTERM close the port the way the COM button does, so that a send stops cleanly
    // and a reception keeps what arrived.
    CatchInterrupts(interrupted);
    const cli::Terminal terminal{std::cout, std::cerr, ErrorStreamIsTerminal(), &interrupted};
    return cli::RunCommand(parsed.options, terminal);
}
