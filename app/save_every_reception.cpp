// "Jeden Empfang sichern in ...": the switch, its folder, and the save of each reception.
#include "app/save_every_reception.h"

#include <string>
#include <variant>

#include "app/event_presenter.h"
#include "app/screen.h"
#include "app/state_file.h"
#include "serial/engine.h"
#include "text/cp1252.h"
#include "ui-resources/ids.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

class SaveEveryReception : public WindowFeature {
  public:
    explicit SaveEveryReception(const WindowParts& parts) : parts_(parts) {}

    void Start() override {
        folder_ = parts_.stateFile.ReadString(state_key::kSaveEveryFolder);
        on_ = !folder_.empty() && parts_.stateFile.ReadString(state_key::kSaveEvery) == "1";
        parts_.view.CheckMenuItem(ids::kMenuSaveEvery, on_);
    }

    bool OnCommand(int id, int code) override {
        if (id != ids::kMenuSaveEvery || code != ids::kNotifyClicked) {
            return false;
        }
        if (on_) {
            if (parts_.view.AskYesNo(Where() + std::string(msg::kSaveEverySwitchOff),
                                     msg::kWindowTitle)) {
                Switch(false);
            }
        } else if (const auto chosen = parts_.view.AskFolder(msg::kSaveEveryTitle, folder_)) {
            folder_ = *chosen;
            Switch(true);
            parts_.screen.AddMessage(Where());
            parts_.screen.ScrollMessageListToEnd();
        }
        return true;
    }

    // At once, so that the next reception cannot take its place before it is saved.
    void OnEvent(const EngineEvent& event) override {
        if (!on_ || !std::holds_alternative<ReceptionFinishedEvent>(event) ||
            parts_.engine.Reception().empty()) {
            return;
        }
        const SavedReception saved =
            parts_.engine.SaveReception({SaveTarget::Kind::kFolder, folder_});
        parts_.screen.AddMessage(saved.line);
        parts_.screen.ScrollMessageListToEnd();
        if (saved.result.ok()) {
            parts_.presenter.MarkSaved();
        }
    }

  private:
    // "Jeder Empfang wird gesichert in FOLDER"
    std::string Where() const { return std::string(msg::kSaveEveryIn) + Utf8ToCp1252(folder_); }

    void Switch(bool on) {
        on_ = on;
        parts_.view.CheckMenuItem(ids::kMenuSaveEvery, on_);
        parts_.stateFile.Write(state_key::kSaveEveryFolder, folder_);
        parts_.stateFile.Write(state_key::kSaveEvery, on_ ? "1" : "0");
    }

    WindowParts parts_;
    std::string folder_;
    bool on_ = false;
};

}  // namespace

std::unique_ptr<WindowFeature> MakeSaveEveryReception(const WindowParts& parts) {
    return std::make_unique<SaveEveryReception>(parts);
}

}  // namespace velotrix
