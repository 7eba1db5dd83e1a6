// The main dialog's controller: start-up, command dispatch and the shared records of the program.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialog_view.h"
#include "platform/serial_device.h"
#include "platform/ui_loop.h"

namespace velotrix {

// Where the controller finds the settings file and the serial devices; tests replace the devices.
struct ControllerEnvironment {
    std::string settingsPath;
    std::function<std::vector<PortInfo>()> listPorts = ListSerialDevices;
    std::function<OsResult<std::unique_ptr<SerialDevice>>(const std::string& path)> openDevice =
        OpenSerialDevice;
};

// "Velotrix.ini" in the executable's directory when that directory is writable or the file is
// already there; otherwise in the user's configuration directory.
std::string DefaultSettingsPath();

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
    // True once the main dialog has ended (Escape, "Beenden" or the close box).
    bool Finished() const;
    // The free ports of the last probe, in the order of the port list (combo 1001).
    const std::vector<PortInfo>& Ports() const;
    // True while a send runs on its sender thread; a single send ends only after the line drained.
    bool Sending() const;

  private:
    void Quit();
    void EndDialog();
    void ResetDisplayState();
    void SaveCommand();
    void FlowSelected();
    void OnNotification(int id, int code);

    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace velotrix
