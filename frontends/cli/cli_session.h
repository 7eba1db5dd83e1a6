// Runs one velotrix-cli command on the program's own controller, driven like a person drives the
// window: the same code, so the same bytes on the line and the same messages.
#pragma once

#include <atomic>
#include <ostream>

#include "frontends/cli/cli_options.h"

namespace velotrix::cli {

struct Terminal {
    std::ostream& out;  // the MessageList and the results
    std::ostream& err;  // error boxes, hints and the progress line
    // Progress is drawn on err only where a person watches it.
    bool showProgress = false;
    // Set from a signal handler: the running command closes the port and fails.
    const std::atomic<bool>* interrupted = nullptr;
};

// Carries out a parsed command (not kHelp); returns the exit status.
int RunCommand(const Options& options, const Terminal& terminal);

}  // namespace velotrix::cli
