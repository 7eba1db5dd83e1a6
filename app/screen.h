// Screen services that every part of the program calls on the UI thread: the enable states of the
// controls, error boxes and the MessageList.
#pragma once

#include <string_view>

#include "platform/dialog_view.h"

namespace velotrix {

enum ControlMode { ModeClosed = 0, ModeOpen = 1, ModeBusy = 2 };

class Screen {
  public:
    explicit Screen(DialogView& view) : view_(view) {}

    DialogView& View() { return view_; }

    // Port settings 1001-1006 versus "BIN/Z80 laden", "Datei senden" and "Refresh"; any other value
    // changes nothing.
    void SetControlMode(int mode);
    // The OS's own text for errorCode (plus a hint, when given) under "Meldung:" with the error
    // icon.
    void ShowSystemError(int errorCode, std::string_view hint = {});
    // Selects the MessageList's last line; on an empty list removes the selection.
    void ScrollMessageListToEnd();
    // Appends a line to the MessageList.
    void AddMessage(std::string_view line);
    void ClearMessages();

  private:
    DialogView& view_;
};

}  // namespace velotrix
