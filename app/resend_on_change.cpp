// "Bei Änderung erneut senden": the check box, remembered; each rewrite shown, listed and sent.
#include "app/resend_on_change.h"

#include "app/header_editor.h"
#include "app/screen.h"
#include "app/send_command.h"
#include "app/state_file.h"
#include "serial/engine.h"
#include "text/cp1252.h"
#include "ui-resources/ids.h"
#include "ui-resources/messages.h"

namespace velotrix {

ResendOnChange::~ResendOnChange() {
    // The engine outlives the features; its handler must not.
    parts_.engine.WatchLoadedFile({});
}

void ResendOnChange::Start() {
    const bool on = parts_.stateFile.ReadString(state_key::kResendOnChange) == "1";
    parts_.view.SetCheck(ids::kResendOnChangeCheck, on);
    Watch(on);
}

bool ResendOnChange::OnCommand(int id, int code) {
    if (id != ids::kResendOnChangeCheck || code != ids::kNotifyClicked) {
        return false;
    }
    const bool on = parts_.view.IsChecked(ids::kResendOnChangeCheck);
    parts_.stateFile.Write(state_key::kResendOnChange, on ? "1" : "0");
    Watch(on);
    return true;
}

void ResendOnChange::Watch(bool on) {
    const EngineResult watching = parts_.engine.WatchLoadedFile(
        on ? RewriteHandler([this](const FileRewritten& r) { Rewritten(r); }) : RewriteHandler());
    parts_.screen.ShowResult(watching);
}

void ResendOnChange::Rewritten(const FileRewritten& rewritten) {
    Screen& screen = parts_.screen;
    const LoadOutcome& outcome = rewritten.outcome;
    if (!rewritten.watching) {
        screen.ShowResult(outcome.result);
        return;
    }
    parts_.editor.ShowReloaded(outcome);
    if (!outcome.loaded) {
        // A file too big or too small has had its box; one that cannot be read is listed, and
        // the watch goes on for its next version.
        if (outcome.result.text.empty()) {
            screen.AddMessage(Utf8ToCp1252(parts_.engine.Image().sourcePath) + ": " +
                              LoadFailureText(outcome));
            screen.ScrollMessageListToEnd();
        }
        return;
    }
    if (rewritten.passTakesIt || SendFileCommand(parts_)) {
        screen.AddMessage(msg::kFileChangedResend);
        screen.ScrollMessageListToEnd();
    }
}

}  // namespace velotrix
