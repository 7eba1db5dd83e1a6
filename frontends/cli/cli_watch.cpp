// send --watch: the loaded file sent again each time it is rewritten, until Ctrl+C or a lost line.
#include "frontends/cli/cli_watch.h"

#include "ui-resources/messages.h"

namespace velotrix::cli {

EngineResult WatchAndResend(Session& session) {
    Engine& engine = session.GetEngine();
    return engine.WatchLoadedFile([&session, &engine](const FileRewritten& rewritten) {
        if (!rewritten.watching) {
            session.Report(rewritten.outcome.result);
        } else if (!rewritten.outcome.loaded) {
            session.ReportLoadFailure(engine.Image().sourcePath, rewritten.outcome);
        } else {
            session.List(std::string(msg::kFileChangedResend));
            if (!rewritten.passTakesIt) {
                session.Report(engine.SendFile());
            }
        }
    });
}

int WaitWhileWatching(Session& session) {
    const WaitResult result = session.WaitFor([&] { return session.LineLost(); }, std::nullopt);
    session.Close();
    if (result == WaitResult::kInterrupted) {
        session.PrintError(std::string(msg::kInterrupted));
        return session.InterruptStatus();
    }
    return kExitFailure;
}

}  // namespace velotrix::cli
