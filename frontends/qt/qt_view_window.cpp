// The Qt window's size and place, the progress text beside the bar and the window "Ansicht".
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <vector>

#include "frontends/qt/dialog_frames.h"
#include "frontends/qt/qt_strings.h"
#include "frontends/qt/qt_view.h"
#include "frontends/qt/reception_window.h"
#include "ui-resources/window_rules.h"

namespace velotrix {

void QtView::LayOutMainWindow() {
    PlaceGrowingItems(controls_, client_->size() - minimumClient_);
    PlaceStatusBar(status_, client_);
}

void QtView::SetProgressText(std::string_view text) {
    status_.progressText->setText(ToQt(text));
    status_.progressText->setVisible(!text.empty());
    status_.progressText->raise();
}

layout::Rect QtView::MainWindowPlacement() const {
    const QRect g = window_->geometry();
    return {g.x(), g.y(), g.width(), g.height()};
}

void PlaceWindow(QWidget* window, const layout::Rect& placement) {
    std::vector<layout::Rect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        screens.push_back({area.x(), area.y(), area.width(), area.height()});
    }
    const QSize least = window->minimumSize();
    const layout::Placement restored =
        layout::PlacementToRestore(placement, {0, 0, least.width(), least.height()}, screens);
    const layout::Rect& r = restored.rect;
    if (restored.keepPosition) {
        window->setGeometry(r.x, r.y, r.width, r.height);
    } else {
        window->resize(r.width, r.height);
        CentreOnScreen(window);
    }
}

void QtView::PlaceMainWindow(const layout::Rect& placement) {
    PlaceWindow(window_.get(), placement);
}

void QtView::ShowReceptionView(const HexDump& dump) {
    if (receptionView_ == nullptr) {
        receptionView_ = new ReceptionWindow(window_.get());
    }
    receptionView_->Show(dump);
}

}  // namespace velotrix
