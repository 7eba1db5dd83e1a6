// XMODEM in the window: offered while the port is open; a transfer holds the send controls as a
// file send does, "XMODEM abbrechen" ends it with CAN, and a received file becomes the reception
// that "Sichern" saves. The fill-byte switch is remembered.
#include "app/xmodem_commands.h"

#include "app/screen.h"
#include "app/state_file.h"
#include "serial/engine.h"
#include "ui-resources/ids.h"

namespace velotrix {

namespace {

constexpr int kStartCommands[] = {ids::kMenuXmodemSend, ids::kMenuXmodemSend1k,
                                  ids::kMenuXmodemReceive};

class XmodemFeature final : public WindowFeature {
  public:
    explicit XmodemFeature(const WindowParts& parts) : parts_(parts) {}

    void Start() override {
        trim_ = parts_.stateFile.ReadString(state_key::kXmodemTrim) == "1";
        parts_.view.CheckMenuItem(ids::kMenuXmodemTrim, trim_);
        Offer(parts_.engine.IsOpen());
    }

    bool OnCommand(int id, int code) override {
        if (code != ids::kNotifyClicked) {
            return false;
        }
        switch (id) {
            case ids::kMenuXmodemSend:
            case ids::kMenuXmodemSend1k:
                parts_.screen.ShowResult(StartXmodemSend(parts_, id == ids::kMenuXmodemSend1k));
                return true;
            case ids::kMenuXmodemReceive:
                parts_.screen.ShowResult(StartXmodemReceive(parts_));
                return true;
            case ids::kMenuXmodemCancel:
                parts_.engine.CancelXmodem();
                return true;
            case ids::kMenuXmodemTrim:
                trim_ = !trim_;
                parts_.view.CheckMenuItem(ids::kMenuXmodemTrim, trim_);
                parts_.stateFile.Write(state_key::kXmodemTrim, trim_ ? "1" : "0");
                return true;
            default:
                return false;
        }
    }

    void OnEvent(const EngineEvent& event) override {
        if (const auto* lines = std::get_if<ModemLinesEvent>(&event)) {
            Offer(lines->open);
        } else if (std::holds_alternative<LineLostEvent>(event)) {
            Offer(false);
        } else if (std::holds_alternative<XmodemEndedEvent>(event)) {
            parts_.view.EnableMenuItem(ids::kMenuXmodemCancel, false);
        }
    }

  private:
    void Offer(bool open) {
        for (const int id : kStartCommands) {
            parts_.view.EnableMenuItem(id, open);
        }
        parts_.view.EnableMenuItem(ids::kMenuXmodemCancel, open && parts_.engine.XmodemRunning());
    }

    WindowParts parts_;
    bool trim_ = false;
};

// As a file send does: the controls wait for the end (SendEndedEvent).
EngineResult Started(const WindowParts& parts, const EngineResult& started) {
    if (started.ok()) {
        parts.screen.SetControlMode(ControlMode::ModeBusy);
        parts.view.EnableMenuItem(ids::kMenuXmodemCancel, true);
    }
    return started;
}

}  // namespace

EngineResult StartXmodemSend(const WindowParts& parts, bool longBlocks) {
    return Started(parts, parts.engine.SendXmodem(longBlocks));
}

EngineResult StartXmodemReceive(const WindowParts& parts) {
    return Started(parts, parts.engine.ReceiveXmodem(
                              parts.stateFile.ReadString(state_key::kXmodemTrim) == "1"));
}

std::unique_ptr<WindowFeature> MakeXmodemFeature(const WindowParts& parts) {
    return std::make_unique<XmodemFeature>(parts);
}

}  // namespace velotrix
