// What the velotrix-cli commands share beyond their session: the port opened as every command
// opens it, and the rescue of a reception that could not be saved.
#pragma once

#include <string>

#include "frontends/cli/cli_session.h"

namespace velotrix::cli {

// Opens the port with the options' settings; why it failed, and the CTS warnings of a send, are
// printed.
bool OpenPort(Session& session, const Options& options);

// The finished reception into a free name in the user's own folder of the temp folder (see
// PrivateTempDirectory), readable by the user alone, named after target, and the user told where:
// what could not be saved where it was meant to go is not lost.
void RescueReception(Session& session, const std::string& target);

// "receive --all": every reception saved until Ctrl+C or --timeout seconds of silence.
int RunReceiveAll(const Options& options, const Terminal& terminal);

// "selftest": the adapter self-test on the open port; exit 0 when everything came back.
int RunSelfTest(const Options& options, const Terminal& terminal);

}  // namespace velotrix::cli
