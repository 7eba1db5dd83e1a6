// The status bar docked along the window's bottom, and the items that grow with the window.
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QWidget>
#include <algorithm>

#include "frontends/qt/dialog_builder.h"
#include "ui-resources/window_rules.h"

namespace velotrix {

namespace {

// Status pane right edges in pixels; the last pane reaches the window's right edge.
constexpr int kPaneRightEdges[] = {50, 450, 550};

}  // namespace

StatusBar BuildStatusBar(QWidget* client) {
    // The status bar keeps the application font, as a Windows status window keeps the GUI font.
    StatusBar status;
    status.bar = new QWidget(client);
    status.bar->setObjectName(QStringLiteral("statusBar"));
    status.bar->setFont(QGuiApplication::font());
    for (int pane = 0; pane < 4; ++pane) {
        auto* label = new QLabel(status.bar);
        label->setObjectName(QStringLiteral("pane%1").arg(pane));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setIndent(3);
        status.panes[pane] = label;
    }
    status.progress = new QProgressBar(status.bar);
    status.progress->setObjectName(QStringLiteral("progress"));
    status.progress->setTextVisible(false);
    status.progress->setRange(0, kProgressScale);
    status.progress->hide();
    status.progressText = new QLabel(status.bar);
    status.progressText->setObjectName(QStringLiteral("progressText"));
    status.progressText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    status.progressText->hide();
    PlaceStatusBar(status, client);
    return status;
}

void PlaceStatusBar(const StatusBar& status, const QWidget* client) {
    const int height = std::max(22, QFontMetrics(status.bar->font()).height() + 6);
    status.bar->setGeometry(0, client->height() - height, client->width(), height);
    int left = 0;
    for (int pane = 0; pane < 4; ++pane) {
        const int right = pane < 3 ? kPaneRightEdges[pane] : client->width();
        status.panes[pane]->setGeometry(left, 2, right - left, height - 2);
        left = right + 2;
    }
    // The text takes what the widest progress text needs, the bar the rest of pane 3, at least a
    // fifth of it.
    const QRect pane = status.panes[3]->geometry();
    const int widest =
        QFontMetrics(status.bar->font())
            .horizontalAdvance(QStringLiteral("100% \u2013 99.999 B/s \u2013 noch 999:59"));
    const int textWidth = std::min(pane.width() * 4 / 5, widest + 8);
    status.progress->setGeometry(pane.adjusted(0, 0, -textWidth, 0));
    status.progressText->setGeometry(pane.adjusted(pane.width() - textWidth, 0, -4, 0));
}

void PlaceGrowingItems(const std::map<int, BuiltControl>& controls, QSize extra) {
    for (const auto& [id, control] : controls) {
        if (!layout::FollowsWindowSize(*control.item)) {
            continue;
        }
        const QRect r = control.widget->property("templateRect").toRect();
        const layout::Rect grown = layout::GrownRect(
            *control.item, {r.x(), r.y(), r.width(), r.height()}, extra.width(), extra.height());
        control.widget->setGeometry(grown.x, grown.y, grown.width, grown.height);
    }
}

}  // namespace velotrix
