// Screen services that every part of the presenter calls on the UI thread: the enable states of the
// controls, error boxes and the MessageList.
#pragma once

#include <string>
#include <string_view>

#include "platform/dialog_view.h"
#include "serial/engine_events.h"

namespace velotrix {

// The three enable states of the controls: closed port, open port, a send that holds the controls.
enum class ControlMode { ModeClosed, ModeOpen, ModeBusy };

class Screen {
  public:
    explicit Screen(DialogView& view) : view_(view) {}

    DialogView& View() { return view_; }

    // Port settings 1001-1006 versus "BIN/Z80 laden", "Datei senden" and "Refresh".
    void SetControlMode(ControlMode mode);
    // The OS's own text for the error (plus its hint, and a lead-in when given) under "Meldung:"
    // with the error icon.
    void ShowSystemError(const OsError& error, std::string_view leadIn = {});
    // The box an engine result asks for: the OS error (behind the lead-in, which says what it
    // concerns), or its text under its caption; nothing for a result without text.
    void ShowResult(const EngineResult& result, std::string_view leadIn = {});
    // True when no file has that path, or the user says it may be replaced.
    bool MayReplace(const std::string& path);
    // Selects the MessageList's last line; on an empty list removes the selection.
    void ScrollMessageListToEnd();
    // Appends a line to the MessageList.
    void AddMessage(std::string_view line);
    void ClearMessages();

  private:
    DialogView& view_;
};

}  // namespace velotrix
