// "SICHERN": the finished reception into a file the user chooses.
#include "app/save_command.h"

#include "app/event_presenter.h"
#include "app/more_settings.h"
#include "app/screen.h"
#include "image/rx_save.h"
#include "serial/engine.h"
#include "ui-resources/messages.h"

namespace velotrix {

void SaveReceptionCommand(const WindowParts& parts) {
    DialogView& view = parts.view;
    Engine& engine = parts.engine;
    if (engine.Reception().empty()) {
        view.MessageBox(msg::kNothingToSave, msg::kErrorCaption, MessageIcon::kNone);
        return;
    }
    const std::string suggested =
        SuggestedSaveName(engine.ReceptionName(), engine.ReceptionHasHeader());
    const auto path =
        view.AskSaveFile(suggested, suggested, {{std::string(msg::kAllFilesSave), "*.*"}});
    if (!path) {
        return;
    }
    RememberDialogFolder(view, parts.stateFile, *path, FileDialogUse::kSave);
    if (!parts.screen.MayReplace(*path)) {
        return;
    }
    const EngineResult saved = engine.SaveReception({SaveTarget::Kind::kFile, *path}).result;
    if (saved.ok()) {
        parts.presenter.MarkSaved();
    }
    view.MessageBox(saved.text, saved.caption, MessageIcon::kNone);
}

}  // namespace velotrix
