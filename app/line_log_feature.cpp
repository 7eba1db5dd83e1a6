// The window's line log: the menu item, its file dialog and what the state file keeps of it.
#include "app/line_log_feature.h"

#include "app/screen.h"
#include "app/state_file.h"
#include "platform/files.h"
#include "serial/engine.h"
#include "text/cp1252.h"
#include "ui-resources/ids.h"
#include "ui-resources/messages.h"

namespace velotrix {

void LineLogFeature::Start() {
    const std::string path = parts_.stateFile.ReadString(state_key::kLineLogFile);
    if (parts_.stateFile.ReadString(state_key::kLineLog) == "1" && !path.empty()) {
        Switch(SwitchOn(path));
    }
}

bool LineLogFeature::OnCommand(int id, int code) {
    if (id != ids::kMenuLineLog || code != ids::kNotifyClicked) {
        return false;
    }
    if (on_) {
        parts_.engine.StopLog();
        parts_.screen.AddMessage(msg::kLogStopped);
        Switch(false);
        return true;
    }
    // The file the log went to last time is offered again; a log is appended to, never replaced.
    std::string name(msg::kLogSuggestedName);
    FileNameOfPath(parts_.stateFile.ReadString(state_key::kLineLogFile), name);
    const auto path = parts_.view.AskSaveFile(
        msg::kLogTitle, name,
        {{std::string(msg::kLogFiles), "*.log;*.txt"}, {std::string(msg::kAllFilesSave), "*.*"}});
    if (path && SwitchOn(*path)) {
        parts_.stateFile.Write(state_key::kLineLogFile, *path);
        Switch(true);
    }
    return true;
}

void LineLogFeature::OnEvent(const EngineEvent& event) {
    (void)event;
    if (on_ && !parts_.engine.Logging()) {
        Switch(false);
    }
}

bool LineLogFeature::SwitchOn(const std::string& path) {
    const EngineResult started = parts_.engine.StartLog(path);
    if (!started.ok()) {
        parts_.screen.ShowResult(started);
        return false;
    }
    parts_.screen.AddMessage(std::string(msg::kLogWritingTo) + Utf8ToCp1252(path));
    return true;
}

void LineLogFeature::Switch(bool on) {
    on_ = on;
    parts_.view.CheckMenuItem(ids::kMenuLineLog, on);
    parts_.stateFile.Write(state_key::kLineLog, on ? "1" : "0");
}

}  // namespace velotrix
