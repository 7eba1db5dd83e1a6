// The main dialog's presenter: start-up, the table of commands, and the engine's events shown in
// the window.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/more_settings.h"
#include "platform/dialog_view.h"
#include "platform/serial_device.h"
#include "platform/ui_loop.h"
#include "serial/engine.h"

namespace velotrix {

// Where the controller finds the settings file and the serial devices; tests replace the devices.
struct ControllerEnvironment {
    std::string settingsPath;
    DeviceAccess devices;
};

class MainController {
  public:
    MainController(DialogView& view, UiLoop& loop, ControllerEnvironment environment);
    ~MainController();
    MainController(const MainController&) = delete;
    MainController& operator=(const MainController&) = delete;

    // The dialog's initialisation; registers the command handler with the view.
    void Start();
    // Every command and notification of both dialogs, on the UI thread.
    void OnCommand(int id, int code);
    // Loads a file for sending, as "BIN/Z80 laden" would with this file chosen.
    void LoadFile(const std::string& path);
    // True once the main dialog has ended (Escape, "Beenden" or the close box).
    bool Finished() const;
    // The ports of the last probe, in the order of the port list (combo 1001).
    const std::vector<PortRow>& Ports() const;
    Engine& GetEngine();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace velotrix
