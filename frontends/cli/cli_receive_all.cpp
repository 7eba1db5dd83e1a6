// velotrix-cli receive --all: every reception saved at once into a folder, until Ctrl+C or a
// silence of --timeout seconds.
#include <chrono>
#include <string>

#include "frontends/cli/cli_commands.h"
#include "text/cp1252.h"
#include "ui-resources/messages.h"

namespace velotrix::cli {

int RunReceiveAll(const Options& options, const Terminal& terminal) {
    Session session(terminal);
    session.SetQuiet(options.quiet);
    Engine& engine = session.GetEngine();
    const std::string folder = options.folder.value_or("");
    int received = 0;
    int saved = 0;
    // Each reception is saved as soon as it has ended, before the next one can take its place.
    session.SetReceptionHandler([&](const ReceptionFinishedEvent& finished) {
        if (engine.Reception().empty()) {
            return;
        }
        ++received;
        const SavedReception result = engine.SaveReception({SaveTarget::Kind::kFolder, folder});
        if (!result.result.ok()) {
            session.PrintError(result.line);
            RescueReception(session, result.asked);
            return;
        }
        ++saved;
        session.PrintOut(ForTerminal(result.line));
        // Saved, but not the whole transfer: the command must not report success.
        if (Incomplete(finished)) {
            session.PrintError(std::string(msg::kIncompletePrefix) +
                               std::to_string(engine.Reception().size()) +
                               std::string(msg::kIncompleteSuffix));
        }
    });
    if (!OpenPort(session, options)) {
        return kExitFailure;
    }
    terminal.err << Cp1252ToUtf8(msg::kWaitingPrefix) << options.timeoutSeconds
                 << Cp1252ToUtf8(msg::kCliWaitingFor) << options.port << "..." << std::endl;
    const std::chrono::seconds silence(options.timeoutSeconds);
    WaitResult result = WaitResult::kDone;
    while (result == WaitResult::kDone && !session.LineLost()) {
        // A reception ends by a second of silence; the wait for the next one is what times out.
        result = session.WaitFor([&] { return engine.Receiving() || session.LineLost(); }, silence);
        if (result == WaitResult::kDone) {
            result = session.WaitFor([&] { return !engine.Receiving() || session.LineLost(); },
                                     std::nullopt);
        }
    }
    session.Close();
    if (result == WaitResult::kInterrupted) {
        // What was arriving is kept as the single receive keeps it; Ctrl+C is this command's end.
        engine.FinishReception();
        session.PrintWarning(std::string(msg::kInterrupted));
    } else if (result == WaitResult::kTimedOut && received == 0) {
        session.PrintError(std::string(msg::kNothingReceivedPrefix) +
                           std::to_string(options.timeoutSeconds) + " s.");
    }
    session.PrintOut(Cp1252ToUtf8(std::string(msg::kCliReceptionsSaved) + std::to_string(saved) +
                                  std::string(msg::kCliOf) + std::to_string(received)));
    return saved == received && !session.Failed() ? kExitOk : kExitFailure;
}

}  // namespace velotrix::cli
