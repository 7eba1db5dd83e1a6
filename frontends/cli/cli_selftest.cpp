// velotrix-cli selftest: the adapter self-test with TX and RX bridged at the plug, its report on
// stdout as the window's box shows it.
#include "frontends/cli/cli_commands.h"
#include "frontends/cli/cli_session.h"
#include "serial/self_tester.h"
#include "ui-resources/messages.h"

namespace velotrix::cli {

int RunSelfTest(const Options& options, const Terminal& terminal) {
    Session session(terminal);
    session.SetQuiet(options.quiet);
    if (!OpenPort(session, options) || !session.Report(session.GetEngine().StartSelfTest())) {
        return kExitFailure;
    }
    const WaitResult result = session.WaitFor(
        [&] { return session.SelfTestResult().has_value() || session.LineLost(); }, std::nullopt);
    session.Close();
    if (result == WaitResult::kInterrupted) {
        session.PrintError(std::string(msg::kInterrupted));
        return session.InterruptStatus();
    }
    const std::optional<SelfTestReport>& report = session.SelfTestResult();
    if (!report) {
        return kExitFailure;
    }
    for (const std::string& line : SelfTestLines(*report)) {
        session.PrintOut(ForTerminal(line));
    }
    return report->Passed() && !session.Failed() ? kExitOk : kExitFailure;
}

}  // namespace velotrix::cli
