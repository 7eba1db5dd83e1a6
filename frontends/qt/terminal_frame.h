// The window "Terminal" in Qt: the bar built from its layout above the screen, modeless beside
// the main window; its close box only asks, as the main window's does.
#pragma once

#include <QWidget>
#include <map>

#include "frontends/qt/dialog_builder.h"
#include "frontends/qt/terminal_screen_view.h"

namespace velotrix {

class TerminalFrame : public QWidget {
  public:
    // The bar's controls are entered in controls, beside the other windows'.
    TerminalFrame(NotifyFn notify, QWidget* owner, std::map<int, BuiltControl>& controls);

    TerminalScreenView* Screen() const { return screen_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    NotifyFn notify_;
    TerminalScreenView* screen_;
};

}  // namespace velotrix
