// "Protokoll" in the menu "Voreinstellungen": the line log on and off, into a file the user
// chooses (appended to), both remembered for the next start.
#pragma once

#include <string>

#include "app/window_feature.h"

namespace velotrix {

class LineLogFeature : public WindowFeature {
  public:
    explicit LineLogFeature(const WindowParts& parts) : parts_(parts) {}

    // Starts the log again when it was on at the last end.
    void Start() override;
    bool OnCommand(int id, int code) override;
    // A log that stopped by itself (its disk is full) shows as off.
    void OnEvent(const EngineEvent& event) override;

  private:
    // Starts the log into path; a failure is shown in a box. True when it runs.
    bool SwitchOn(const std::string& path);
    // The menu's check mark and the state file follow the log.
    void Switch(bool on);

    WindowParts parts_;
    bool on_ = false;
};

}  // namespace velotrix
