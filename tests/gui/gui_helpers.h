// Helpers of the Qt window tests: the application object, a person's keys and clicks, and answers
// for modal dialogs.
#pragma once

#include <QPointer>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class QDialog;
class QWidget;

namespace velotrix::test {

// Runs the queued events, the deferred ones (zero-delay timers) included.
void PumpEvents();
void PressKey(QWidget* target, int key, const QString& text = {});
// One key press per character, as typing does.
void TypeText(QWidget* target, const QString& text);
// A left click in the middle of the widget.
void ClickWidget(QWidget* widget);
// Shows the window and makes it the active one, so that focus works as on a desktop.
void ShowAndActivate(QWidget* window);

// Answers the modal dialogs that open while it lives, in order; a dialog beyond the queued answers
// is rejected and counted, so that an unexpected question never hangs a test.
class ModalAnswers {
  public:
    using Answer = std::function<void(QDialog*)>;

    ModalAnswers();
    ~ModalAnswers();
    ModalAnswers(const ModalAnswers&) = delete;
    ModalAnswers& operator=(const ModalAnswers&) = delete;

    void Expect(Answer answer) { answers_.push_back(std::move(answer)); }
    int Answered() const { return answered_; }
    int Unexpected() const { return unexpected_; }

  private:
    void Poll();

    QTimer timer_;
    std::deque<Answer> answers_;
    QPointer<QDialog> last_;
    int answered_ = 0;
    int unexpected_ = 0;
};

// Records the commands that the view delivers.
struct CommandLog {
    std::vector<std::pair<int, int>> commands;
    std::function<void(int id, int code)> Handler() {
        return [this](int id, int code) { commands.emplace_back(id, code); };
    }
};

}  // namespace velotrix::test
