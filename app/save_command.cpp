// "SICHERN": the finished reception into a file the user chooses.
#include "app/save_command.h"

#include "app/event_presenter.h"
#include "app/more_settings.h"
#include "app/screen.h"
#include "image/file_format.h"
#include "image/rx_save.h"
#include "serial/engine.h"
#include "serial/receive_engine.h"
#include "serial/reception_files.h"
#include "ui-resources/messages.h"

namespace velotrix {

void SaveReceptionCommand(const WindowParts& parts) {
    DialogView& view = parts.view;
    Engine& engine = parts.engine;
    const SavableReception& reception = engine.FinishedReception();
    if (reception.bytes.empty()) {
        view.MessageBox(msg::kNothingToSave, msg::kErrorCaption, MessageIcon::kNone);
        return;
    }
    // HEX text offers its data, named by its address, or the text as it came (.hex).
    std::string suggested = SuggestedSaveName(engine.ReceptionName(), engine.ReceptionHasHeader());
    std::vector<FileFilter> filters{{std::string(msg::kAllFilesSave), "*.*"}};
    if (reception.hex) {
        suggested = ReceptionFileName(reception, reception.hex->ok());
        filters.insert(filters.begin(), {{std::string(msg::kHexDataFiles), "*.bin"},
                                         {std::string(msg::kHexTextFiles), "*.hex"}});
    }
    const auto path = view.AskSaveFile(suggested, suggested, filters);
    if (!path) {
        return;
    }
    RememberDialogFolder(view, parts.stateFile, *path, FileDialogUse::kSave);
    if (!parts.screen.MayReplace(*path)) {
        return;
    }
    const bool decoded = reception.hex.has_value() && !IsHexFileName(*path);
    const EngineResult saved =
        engine.SaveReception({.kind = SaveTarget::Kind::kFile, .path = *path, .decoded = decoded})
            .result;
    if (saved.ok()) {
        parts.presenter.MarkSaved();
    }
    const std::string hint = decoded && !saved.ok() ? std::string(msg::kHexTextHint) : "";
    view.MessageBox(saved.text + hint, saved.caption, MessageIcon::kNone);
}

}  // namespace velotrix
