// "Schleifentest" in the window: offered while the port is open; the engine runs the test and the
// result (or that nothing came back) is listed and shown in a box.
#include "app/self_test_command.h"

#include "app/screen.h"
#include "serial/engine.h"
#include "serial/self_tester.h"
#include "ui-resources/ids.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

class SelfTestFeature final : public WindowFeature {
  public:
    explicit SelfTestFeature(const WindowParts& parts) : parts_(parts) {}

    void Start() override {
        parts_.view.EnableMenuItem(ids::kMenuSelfTest, parts_.engine.IsOpen());
    }

    bool OnCommand(int id, int code) override {
        if (id != ids::kMenuSelfTest || code != ids::kNotifyClicked) {
            return false;
        }
        const EngineResult started = parts_.engine.StartSelfTest();
        if (started.ok()) {
            parts_.screen.AddMessage(msg::kSelfTestRunning);
            parts_.screen.ScrollMessageListToEnd();
        }
        parts_.screen.ShowResult(started);
        return true;
    }

    void OnEvent(const EngineEvent& event) override {
        if (const auto* lines = std::get_if<ModemLinesEvent>(&event)) {
            parts_.view.EnableMenuItem(ids::kMenuSelfTest, lines->open);
        } else if (std::holds_alternative<LineLostEvent>(event)) {
            parts_.view.EnableMenuItem(ids::kMenuSelfTest, false);
        } else if (const auto* ended = std::get_if<SelfTestEndedEvent>(&event)) {
            std::string text;
            for (const std::string& line : SelfTestLines(ended->report)) {
                parts_.screen.AddMessage(line);
                text += (text.empty() ? "" : "\r\n") + line;
            }
            parts_.screen.ScrollMessageListToEnd();
            parts_.view.MessageBox(
                text, msg::kSelfTestCaption,
                ended->report.Passed() ? MessageIcon::kInformation : MessageIcon::kError);
        }
    }

  private:
    WindowParts parts_;
};

}  // namespace

std::unique_ptr<WindowFeature> MakeSelfTestFeature(const WindowParts& parts) {
    return std::make_unique<SelfTestFeature>(parts);
}

}  // namespace velotrix
