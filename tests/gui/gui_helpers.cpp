// The application object of the Qt window tests and the helpers that act like a person.
#include "gui_helpers.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>

namespace velotrix::test {

namespace {

// One QApplication for the whole test program, on the offscreen platform when none is chosen. The
// offscreen screen is a common desktop's, 1280 by 1024, not the platform's own 800 by 800, which
// is narrower than the window's least size.
class QtApplication : public ::testing::Environment {
  public:
    void SetUp() override {
        const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
        if (platform.isEmpty() || platform == "offscreen") {
            QFile config(screens_.filePath(QStringLiteral("screens.json")));
            config.open(QIODevice::WriteOnly);
            config.write(R"({"screens": [{"name": "desktop", "x": 0, "y": 0, "width": 1280,
                             "height": 1024, "logicalDpiX": 96, "logicalDpiY": 96}]})");
            config.close();
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
        }
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

  private:
    QTemporaryDir screens_;
    int argc_ = 1;
    char name_[16] = "velotrix_gui";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kApplication =
    ::testing::AddGlobalTestEnvironment(new QtApplication);

}  // namespace

void PumpEvents() {
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

void PressKey(QWidget* target, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}

void TypeText(QWidget* target, const QString& text) {
    for (const QChar c : text) {
        PressKey(target, c.toUpper().unicode(), QString(c));
    }
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void ClickWidget(QWidget* widget) {
    const QPoint middle(widget->width() / 2, widget->height() / 2);
    SendMouse(widget, QEvent::MouseButtonPress, middle, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonRelease, middle, Qt::NoButton);
}

void ShowAndActivate(QWidget* window) {
    window->show();
    QApplication::setActiveWindow(window);
    PumpEvents();
}

ModalAnswers::ModalAnswers() {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || dialog == last_ ||
            dialog->windowModality() != Qt::ApplicationModal) {
            return;
        }
        last_ = dialog;
        if (answers_.empty()) {
            ++unexpected_;
        } else {
            const Answer answer = std::move(answers_.front());
            answers_.pop_front();
            answer(dialog);
        }
        // An answer that forgot to close its dialog must not hang the test.
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
    timer_.start();
}

}  // namespace velotrix::test
