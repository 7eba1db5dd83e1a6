// "Datei senden": the loaded file sent as the switches say, the controls held while it runs.
#include "app/send_command.h"

#include "app/screen.h"
#include "serial/engine.h"

namespace velotrix {

bool SendFileCommand(const WindowParts& parts) {
    const EngineResult started = StartFileSend(parts);
    parts.screen.ShowResult(started);
    return started.ok();
}

EngineResult StartFileSend(const WindowParts& parts) {
    Screen& screen = parts.screen;
    const EngineResult started = parts.engine.SendFile();
    if (!started.ok()) {
        return started;
    }
    screen.ClearMessages();
    screen.SetControlMode(ControlMode::ModeBusy);
    parts.view.Repaint();
    if (parts.engine.Switches().continuous) {
        // Load, refresh and a further send stay offered; the next pass takes the change.
        screen.SetControlMode(ControlMode::ModeOpen);
    }
    return started;
}

}  // namespace velotrix
