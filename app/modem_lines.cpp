// DTR and RTS in the window: checked menu items set them on the open port and for every later
// open, remembered in the state file; two indicators beside CTS show them while the port is open,
// and three more below them DSR, DCD and RI as the other side drives them.
#include "app/modem_lines.h"

#include <array>
#include <utility>

#include "app/screen.h"
#include "app/state_file.h"
#include "serial/engine.h"
#include "ui-resources/ids.h"

namespace velotrix {

namespace {

struct LineControls {
    ModemLine line;
    int menu;
    int indicator;
    std::string_view key;
};

// The status lines the other side drives, and their indicators.
constexpr std::array<std::pair<bool ModemStatus::*, int>, 3> kStatusLines{{
    {&ModemStatus::dsr, ids::kDsrIndicator},
    {&ModemStatus::dcd, ids::kDcdIndicator},
    {&ModemStatus::ri, ids::kRiIndicator},
}};

constexpr std::array<LineControls, 2> kLines{{
    {ModemLine::kDtr, ids::kMenuDtr, ids::kDtrIndicator, state_key::kDtr},
    {ModemLine::kRts, ids::kMenuRts, ids::kRtsIndicator, state_key::kRts},
}};

class ModemLinesFeature final : public WindowFeature {
  public:
    explicit ModemLinesFeature(const WindowParts& parts) : parts_(parts) {}

    void Start() override {
        for (const LineControls& c : kLines) {
            // The port is closed at the start: this only chooses what the next open does.
            parts_.engine.SetModemLine(c.line, parts_.stateFile.ReadString(c.key) != "0");
        }
        Show(parts_.engine.IsOpen());
    }

    bool OnCommand(int id, int code) override {
        for (const LineControls& c : kLines) {
            if (id == c.menu && code == ids::kNotifyClicked) {
                const bool on = !parts_.engine.ModemLineOn(c.line);
                const EngineResult result = parts_.engine.SetModemLine(c.line, on);
                parts_.screen.ShowResult(result);
                parts_.stateFile.Write(c.key, parts_.engine.ModemLineOn(c.line) ? "1" : "0");
                Show(parts_.engine.IsOpen());
                return true;
            }
        }
        return false;
    }

    void OnEvent(const EngineEvent& event) override {
        if (const auto* lines = std::get_if<ModemLinesEvent>(&event)) {
            Show(lines->open);
        } else if (const auto* status = std::get_if<ModemStatusEvent>(&event)) {
            for (const auto& [line, indicator] : kStatusLines) {
                parts_.view.SetCheck(indicator, status->status.*line);
            }
            parts_.view.Repaint();
        } else if (std::holds_alternative<LineLostEvent>(event)) {
            Show(false);
        }
    }

  private:
    void Show(bool open) {
        for (const LineControls& c : kLines) {
            const bool on = parts_.engine.ModemLineOn(c.line);
            parts_.view.CheckMenuItem(c.menu, on);
            parts_.view.Show(c.indicator, open);
            parts_.view.SetCheck(c.indicator, on);
        }
        for (const auto& [line, indicator] : kStatusLines) {
            parts_.view.Show(indicator, open);
        }
        parts_.view.Repaint();
    }

    WindowParts parts_;
};

}  // namespace

std::unique_ptr<WindowFeature> MakeModemLinesFeature(const WindowParts& parts) {
    return std::make_unique<ModemLinesFeature>(parts);
}

}  // namespace velotrix
