// Helpers of the Qt window tests: a person's keys and clicks, and answers for modal dialogs.
#pragma once

#include <QEvent>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>

class QDialog;
class QWidget;

namespace velotrix::test {

// Runs the queued events, the deferred ones (zero-delay timers) included.
void PumpEvents();
void PressKey(QWidget* target, int key, const QString& text = {});
// One key press per character, as typing does.
void TypeText(QWidget* target, const QString& text);
// A mouse event of the left button at a point of the widget, the buttons held after it.
void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons);
// A left click in the middle of the widget.
void ClickWidget(QWidget* widget);
// Shows the window and makes it the active one, so that focus works as on a desktop.
void ShowAndActivate(QWidget* window);

// Answers the application-modal dialogs that open while it lives, in order; one beyond the queued
// answers is rejected and counted, so that an unexpected question never hangs a test.
class ModalAnswers {
  public:
    using Answer = std::function<void(QDialog*)>;

    ModalAnswers();
    void Expect(Answer answer) { answers_.push_back(std::move(answer)); }
    int Unexpected() const { return unexpected_; }

  private:
    QTimer timer_;
    std::deque<Answer> answers_;
    QPointer<QDialog> last_;
    int unexpected_ = 0;
};

}  // namespace velotrix::test
