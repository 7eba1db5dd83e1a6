// The window and loop contract on the Qt window and Qt's event loop (offscreen).
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QWindow>

#include "contract/view_contract.h"
#include "frontends/qt/qt_loop.h"
#include "frontends/qt/qt_view.h"
#include "frontends/qt/terminal_frame.h"
#include "gui_helpers.h"
#include "text/cp1252.h"

namespace velotrix::contract {
namespace {

class QtRig : public Rig {
  public:
    QtRig() { test::ShowAndActivate(view_.MainWindow()); }

    DialogView& View() override { return view_; }
    UiLoop& Loop() override { return loop_; }

    void Click(int id) override {
        QWidget* widget = view_.Widget(id);
        if (QAction* action = view_.MenuAction(id); action != nullptr && Reachable(nullptr)) {
            action->trigger();
        } else if (widget != nullptr && Reachable(widget)) {
            if ((widget->focusPolicy() & Qt::ClickFocus) != 0) {
                widget->setFocus(Qt::MouseFocusReason);
            }
            test::ClickWidget(widget);
        }
    }

    void Type(int id, std::string_view text) override {
        auto* edit = qobject_cast<QLineEdit*>(view_.Widget(id));
        if (edit != nullptr && Reachable(edit)) {
            edit->setFocus(Qt::MouseFocusReason);
            edit->selectAll();
            test::TypeText(edit, QString::fromStdString(Cp1252ToUtf8(text)));
            if (text.empty()) {
                test::PressKey(edit, Qt::Key_Backspace);
            }
        }
    }

    void Pick(int id, int index) override {
        auto* combo = qobject_cast<QComboBox*>(view_.Widget(id));
        if (combo != nullptr && Reachable(combo) && index >= 0 && index < combo->count()) {
            combo->showPopup();
            combo->view()->setCurrentIndex(combo->model()->index(index, 0));
            test::PressKey(combo->view(), Qt::Key_Return);
        }
    }

    void Press(Key key, int focusId) override {
        QWidget* target = focusId != 0 ? view_.Widget(focusId) : Front()->focusWidget();
        if (key == Key::kCloseBox) {
            Front()->close();
            return;
        }
        target = target != nullptr ? target : Front();
        target->setFocus(Qt::OtherFocusReason);
        test::PressKey(target, key == Key::kTab     ? Qt::Key_Tab
                               : key == Key::kEnter ? Qt::Key_Return
                                                    : Qt::Key_Escape);
    }

    int FocusId() override {
        const QWidget* focus = Front()->focusWidget();
        // The edit field inside an editable combo box stands for the box.
        while (focus != nullptr && !focus->property("controlId").isValid()) {
            focus = focus->parentWidget();
        }
        return focus != nullptr ? focus->property("controlId").toInt() : 0;
    }
    layout::Rect ControlRect(int id) override {
        const QRect r = view_.Widget(id)->geometry();
        return {r.x(), r.y(), r.width(), r.height()};
    }
    bool MainWindowOpen() override { return view_.MainWindow()->isVisible(); }
    std::string PaneText(int pane) override {
        const auto* label = view_.MainWindow()->findChild<QLabel*>("pane" + QString::number(pane));
        return label != nullptr ? Utf8ToCp1252(label->text().toStdString()) : "";
    }
    bool MenuChecked(int id) override { return view_.MenuAction(id)->isChecked(); }

    void Let(milliseconds time) override {
        QEventLoop loop;
        QTimer::singleShot(time, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
        test::PumpEvents();
    }

    void TypeInTerminal(std::string_view utf8) override {
        if (TerminalReachable()) {
            test::TypeText(Screen(), QString::fromStdString(std::string(utf8)));
        }
    }
    void PressInTerminal(TerminalKey key) override {
        constexpr std::pair<TerminalKey, int> kKeys[] = {
            {TerminalKey::kEnter, Qt::Key_Return}, {TerminalKey::kBackspace, Qt::Key_Backspace},
            {TerminalKey::kTab, Qt::Key_Tab},      {TerminalKey::kEscape, Qt::Key_Escape},
            {TerminalKey::kUp, Qt::Key_Up},        {TerminalKey::kDown, Qt::Key_Down},
            {TerminalKey::kRight, Qt::Key_Right},  {TerminalKey::kLeft, Qt::Key_Left},
            {TerminalKey::kDelete, Qt::Key_Delete}};
        for (const auto& [terminalKey, qtKey] : kKeys) {
            if (terminalKey == key && TerminalReachable()) {
                test::PressKey(Screen(), qtKey);
            }
        }
    }
    void PasteInTerminal(std::string_view utf8) override {
        if (TerminalReachable()) {
            QGuiApplication::clipboard()->setText(QString::fromStdString(std::string(utf8)));
            QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
            QApplication::sendEvent(Screen(), &press);
        }
    }
    void DragInTerminal(TerminalPlace from, TerminalPlace to) override {
        if (!TerminalReachable()) {
            return;
        }
        QWidget* area = Screen()->viewport();
        test::SendMouse(area, QEvent::MouseButtonPress, Screen()->PointOf(from), Qt::LeftButton);
        test::SendMouse(area, QEvent::MouseMove, Screen()->PointOf(to), Qt::LeftButton);
        test::SendMouse(area, QEvent::MouseButtonRelease, Screen()->PointOf(to), Qt::NoButton);
    }
    void CloseTerminalByUser() override {
        if (view_.IsTerminalOpen()) {
            view_.Terminal()->close();
        }
    }
    std::vector<std::string> TerminalShownLines() override { return Screen()->ShownLines(); }
    std::string Clipboard() override {
        return Utf8ToCp1252(QGuiApplication::clipboard()->text().toStdString());
    }

  private:
    TerminalScreenView* Screen() const { return view_.Terminal()->Screen(); }
    bool TerminalReachable() const { return view_.IsTerminalOpen() && Reachable(Screen()); }

    // The dialog in front: the text dialog while it is open.
    QWidget* Front() const {
        return view_.IsTextDialogOpen() ? static_cast<QWidget*>(view_.TextDialogWidget())
                                        : view_.MainWindow();
    }
    // Shown, enabled, and in no window that another modal window blocks; nullptr stands for the
    // main window's menu.
    bool Reachable(const QWidget* widget) const {
        const QWindow* modal = QGuiApplication::modalWindow();
        const QWidget* window = widget != nullptr ? widget->window() : view_.MainWindow();
        return (widget == nullptr || (widget->isEnabled() && widget->isVisible())) &&
               (modal == nullptr || modal == window->windowHandle());
    }

    QtLoop loop_;
    QtView view_;
};

std::unique_ptr<Rig> MakeQtRig() {
    return std::make_unique<QtRig>();
}

VELOTRIX_VIEW_CONTRACT(Qt, MakeQtRig);

}  // namespace
}  // namespace velotrix::contract
