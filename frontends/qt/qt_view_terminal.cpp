// The Qt window's terminal, clipboard and bell.
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>

#include "frontends/qt/dialog_builder.h"
#include "frontends/qt/qt_strings.h"
#include "frontends/qt/qt_view.h"
#include "frontends/qt/terminal_frame.h"

namespace velotrix {

void QtView::OpenTerminal(const TerminalScreen& screen) {
    if (terminal_->isHidden()) {
        terminal_->Screen()->SetScreen(&screen);
        terminal_->show();
    }
    terminal_->raise();
    terminal_->activateWindow();
    terminal_->Screen()->setFocus(Qt::OtherFocusReason);
}

void QtView::CloseTerminal() {
    terminal_->hide();
    terminal_->Screen()->SetScreen(nullptr);
}

bool QtView::IsTerminalOpen() const {
    return !terminal_->isHidden();
}

void QtView::TerminalChanged() {
    terminal_->Screen()->Changed();
}

void QtView::SetTerminalInputHandler(TerminalInputHandler handler) {
    terminal_->Screen()->SetInputHandler(std::move(handler));
}

std::optional<std::pair<TerminalPlace, TerminalPlace>> QtView::TerminalSelection() const {
    return terminal_->Screen()->Selection();
}

layout::Rect QtView::TerminalPlacement() const {
    const QRect g = terminal_->geometry();
    return {g.x(), g.y(), g.width(), g.height()};
}

void QtView::PlaceTerminal(const layout::Rect& placement) {
    PlaceWindow(terminal_, placement);
}

void QtView::CopyToClipboard(std::string_view text) {
    QGuiApplication::clipboard()->setText(ToQt(text));
}

void QtView::Beep() {
    QApplication::beep();
}

TerminalFrame* QtView::Terminal() const {
    return terminal_;
}

}  // namespace velotrix
