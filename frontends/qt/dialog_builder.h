// Qt widgets from the layout tables: the dialog items through one factory per item kind, the menu
// and the status bar.
#pragma once

#include <QFont>
#include <QSize>
#include <functional>
#include <map>

#include "ui-resources/dialog_units.h"
#include "ui-resources/layout.h"

class QAction;
class QLabel;
class QMenuBar;
class QObject;
class QProgressBar;
class QWidget;

namespace velotrix {

// Reports a command of a control or menu item: its ID and the notification code.
using NotifyFn = std::function<void(int id, int code)>;

struct BuiltControl {
    QWidget* widget;
    const layout::Item* item;
};

// The progress bar's own scale: a 16-bit range could not show a 65,536-byte block.
inline constexpr int kProgressScale = 10000;

struct StatusBar {
    QWidget* bar = nullptr;
    QLabel* panes[4] = {};
    QProgressBar* progress = nullptr;  // laid over pane 3, hidden at first
    QLabel* progressText = nullptr;    // beside the bar, over the right of pane 3
};

QFont DialogFont(const layout::DialogLayout& dialog);
// The dialog's size in pixels, from its font.
QSize DialogPixels(const layout::DialogLayout& dialog);
void CentreOnScreen(QWidget* window);
// Moves and sizes a window to a remembered placement: never below its minimum size, and centred at
// the remembered size when no screen shows the remembered place any more.
void PlaceWindow(QWidget* window, const layout::Rect& placement);

// Creates the dialog's items as children of client, placed by the dialog font's base units, sizes
// client to the dialog, links the controls with IDs in tab order and enters them in controls.
void BuildItems(QWidget* client, const layout::DialogLayout& dialog, const NotifyFn& notify,
                std::map<int, BuiltControl>& controls);
// Fills the menu bar from the menu table; returns each command's action.
std::map<int, QAction*> BuildMenu(QMenuBar* bar, const NotifyFn& notify);
// The four panes along the bottom of client, in the application font.
StatusBar BuildStatusBar(QWidget* client);
// Docks the status bar along the bottom of client at its present size; pane 3 and what lies over
// it reach the right edge.
void PlaceStatusBar(const StatusBar& status, const QWidget* client);
// Places the items that grow with the window (the MessageList) for the client's present size;
// minimum is the template's size, at which every item has its template rectangle.
void PlaceGrowingItems(const std::map<int, BuiltControl>& controls, QSize extra);

}  // namespace velotrix
