// Keys, close box and the end of the main window and of the text dialog.
#include "frontends/qt/dialog_frames.h"

#include <xcb/xcb.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlatformSurfaceEvent>
#include <QPushButton>
#include <QUrl>
#include <utility>

#include "ui-resources/ids.h"

namespace velotrix {

namespace {

bool IsEnterKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Enter presses the push button that has the focus, otherwise fallback.
void PressEnter(QWidget* window, QAbstractButton* fallback) {
    QAbstractButton* target = qobject_cast<QPushButton*>(window->focusWidget());
    if (target == nullptr) {
        target = fallback;
    }
    if (target != nullptr) {
        target->click();
    }
}

}  // namespace

void GrowingClient::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (resized_) {
        resized_();
    }
}

MainFrame::MainFrame(NotifyFn notify) : notify_(std::move(notify)) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

void MainFrame::SetDropHandler(std::function<void(const std::string& path)> handler) {
    dropHandler_ = std::move(handler);
    setAcceptDrops(static_cast<bool>(dropHandler_));
}

void MainFrame::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (dropHandler_ && !urls.isEmpty() && urls.first().isLocalFile()) {
        event->acceptProposedAction();
    }
}

void MainFrame::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!dropHandler_ || urls.isEmpty() || !urls.first().isLocalFile()) {
        return;
    }
    event->acceptProposedAction();
    // One file is loaded for sending; the first of several is the one the user pointed at.
    dropHandler_(QFile::encodeName(urls.first().toLocalFile()).toStdString());
}

void MainFrame::CloseForGood() {
    closing_ = true;
    close();
}

void MainFrame::EndWithoutWindow() {
    // Closing for good destroys the native window too; that end is the event loop's own. Not
    // quit() here: it would first ask every window to close, and this one would ask the user.
    if (!closing_) {
        QCoreApplication::exit(0);
    }
}

bool MainFrame::event(QEvent* event) {
    // Besides closing for good, the native window goes away only when the frame is deleted (and
    // then this override no longer runs) or when something outside the program destroys it.
    if (event->type() == QEvent::PlatformSurface &&
        static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() ==
            QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed) {
        EndWithoutWindow();
    }
    return QMainWindow::event(event);
}

bool MainFrame::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* generic = static_cast<const xcb_generic_event_t*>(message);
    if ((generic->response_type & 0x7F) == XCB_DESTROY_NOTIFY && internalWinId() != 0 &&
        static_cast<const xcb_destroy_notify_event_t*>(message)->window == internalWinId()) {
        EndWithoutWindow();
    }
    return false;
}

void MainFrame::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        notify_(ids::kCancel, ids::kNotifyClicked);
    } else if (IsEnterKey(event->key())) {
        if (qobject_cast<QLineEdit*>(focusWidget()) == nullptr) {
            PressEnter(this, defaultButton_);
        }
    } else {
        QMainWindow::keyPressEvent(event);
    }
}

void MainFrame::closeEvent(QCloseEvent* event) {
    if (!closing_) {
        notify_(ids::kCloseBox, ids::kNotifyClicked);
    }
    event->setAccepted(closing_);
}

TextFrame::TextFrame(NotifyFn notify, QWidget* owner)
    : QDialog(owner), notify_(std::move(notify)) {}

void TextFrame::keyPressEvent(QKeyEvent* event) {
    if (IsEnterKey(event->key())) {
        PressEnter(this, enterButton_);
    } else if (event->key() == Qt::Key_Escape) {
        notify_(ids::kTextClose, ids::kNotifyClicked);
    } else {
        QDialog::keyPressEvent(event);
    }
}

void TextFrame::closeEvent(QCloseEvent* event) {
    event->ignore();
    notify_(ids::kTextClose, ids::kNotifyClicked);
}

}  // namespace velotrix
