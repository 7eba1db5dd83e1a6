// send --watch: the loaded file sent again each time it is rewritten, until Ctrl+C or a lost line.
#pragma once

#include "frontends/cli/cli_session.h"

namespace velotrix::cli {

// Watches the loaded file: each rewrite is listed and sent (a file that vanished or became
// invalid is reported, and the watch goes on). The result: why the file cannot be watched.
EngineResult WatchAndResend(Session& session);

// Runs the watch until Ctrl+C or SIGTERM (their exit status) or a lost line (1).
int WaitWhileWatching(Session& session);

}  // namespace velotrix::cli
