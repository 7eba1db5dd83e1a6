// The terminal window's frame: its bar, its screen and its close box.
#include "frontends/qt/terminal_frame.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "frontends/qt/qt_strings.h"
#include "ui-resources/ids.h"
#include "ui-resources/window_rules.h"

namespace velotrix {

TerminalFrame::TerminalFrame(NotifyFn notify, QWidget* owner, std::map<int, BuiltControl>& controls)
    : QWidget(owner, Qt::Window),
      notify_(std::move(notify)),
      screen_(new TerminalScreenView(this)) {
    const layout::DialogLayout& bar = layout::TerminalBar();
    setWindowTitle(ToQt(bar.caption));
    auto* barWidget = new QWidget(this);
    BuildItems(barWidget, bar, notify_, controls);
    barWidget->setFixedHeight(barWidget->height());
    barWidget->setMinimumWidth(barWidget->width());
    // Enter in the hex field sends its bytes.
    if (auto* hex = qobject_cast<QLineEdit*>(controls.at(ids::kTerminalHex).widget)) {
        QObject::connect(hex, &QLineEdit::returnPressed, this,
                         [this] { notify_(ids::kTerminalHexSend, ids::kNotifyClicked); });
    }
    screen_->setObjectName(QStringLiteral("terminalScreen"));
    screen_->SetCopyHandler([this] { notify_(ids::kTerminalCopy, ids::kNotifyClicked); });
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(barWidget);
    column->addWidget(screen_, 1);
    setMinimumSize(barWidget->width(), barWidget->height() + layout::kTerminalLeastScreenHeight);
    resize(std::max(barWidget->width(),
                    screen_->fontMetrics().horizontalAdvance(QString(82, QLatin1Char('M')))),
           barWidget->height() + screen_->fontMetrics().lineSpacing() * 25);
}

void TerminalFrame::closeEvent(QCloseEvent* event) {
    event->ignore();
    notify_(ids::kTerminalCloseBox, ids::kNotifyClicked);
}

}  // namespace velotrix
