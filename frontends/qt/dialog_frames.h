// The Qt window's two top-level frames: keys, the close box and the window's end as in a dialog.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QDialog>
#include <QMainWindow>
#include <functional>
#include <string>

#include "frontends/qt/dialog_builder.h"

class QAbstractButton;

namespace velotrix {

// The main window. Escape sends the cancel command. Enter presses the focused push button, else
// the default button, but only ends the edit in an edit field: a stray Enter there must not close
// the port. The close box only asks; the program ends the window through CloseForGood. When the
// window system destroys the window without asking, Qt's event loop ends, so the program ends
// and releases its port.
class MainFrame : public QMainWindow, private QAbstractNativeEventFilter {
  public:
    explicit MainFrame(NotifyFn notify);

    void SetDefaultButton(QAbstractButton* button) { defaultButton_ = button; }
    // Files dropped on the window go to handler; without one the window takes no drops.
    void SetDropHandler(std::function<void(const std::string& path)> handler);
    void CloseForGood();

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // Ends the event loop at once unless the program closed the window: there is no window left
    // to ask the user in.
    void EndWithoutWindow();
    // Sees the X11 event that reports the window destroyed, which Qt itself ignores.
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    NotifyFn notify_;
    QAbstractButton* defaultButton_ = nullptr;
    std::function<void(const std::string& path)> dropHandler_;
    bool closing_ = false;
};

// The main window's client area: tells when its size changed, so that the items that grow with it
// and the status bar follow.
class GrowingClient : public QWidget {
  public:
    using QWidget::QWidget;
    void SetResizeHandler(std::function<void()> handler) { resized_ = std::move(handler); }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    std::function<void()> resized_;
};

// "String senden", modal to the main window. Enter presses the focused push button, else
// "Senden"; Escape and the close box send the close command, and the program closes it.
class TextFrame : public QDialog {
  public:
    TextFrame(NotifyFn notify, QWidget* owner);

    void SetEnterButton(QAbstractButton* button) { enterButton_ = button; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    NotifyFn notify_;
    QAbstractButton* enterButton_ = nullptr;
};

}  // namespace velotrix
