// The main window's features beyond its first dialog (watching the loaded file, saving every
// reception, the line log, ...): each brings its own commands and follows the engine's events,
// so that the controller stays the dialog's presenter.
#pragma once

#include <memory>
#include <vector>

#include "platform/dialog_view.h"
#include "platform/ui_loop.h"
#include "serial/engine_events.h"

namespace velotrix {

class Engine;
class EventPresenter;
class HeaderEditor;
class Screen;
class StateFile;

// What a feature may use: the parts the controller owns, alive as long as the features.
struct WindowParts {
    DialogView& view;
    UiLoop& loop;
    Screen& screen;
    EventPresenter& presenter;
    Engine& engine;
    HeaderEditor& editor;
    StateFile& stateFile;
};

class WindowFeature {
  public:
    virtual ~WindowFeature() = default;
    // After the window's own start-up: restore what the feature remembers, set its controls.
    virtual void Start() {}
    // Before the main window closes for good: remember what the next start restores.
    virtual void Stop() {}
    // A command or notification of the window that the controller does not handle itself; true
    // when it was this feature's.
    virtual bool OnCommand(int id, int code) = 0;
    // Every engine event, after the window has shown it.
    virtual void OnEvent(const EngineEvent& event) { (void)event; }
};

// Every feature of the window, in the order in which they see commands and events.
std::vector<std::unique_ptr<WindowFeature>> MakeWindowFeatures(const WindowParts& parts);

}  // namespace velotrix
