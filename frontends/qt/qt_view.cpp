// The Qt window's operations by control ID; texts cross between code page 1252 and Unicode here.
#include "frontends/qt/qt_view.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QGuiApplication>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "frontends/qt/dialog_frames.h"
#include "frontends/qt/modal_dialogs.h"
#include "frontends/qt/qt_strings.h"
#include "frontends/qt/terminal_frame.h"
#include "ui-resources/ids.h"
#include "ui-resources/velotrix_icon.h"

namespace velotrix {

QtView::QtView() : window_(std::make_unique<MainFrame>(Notifier())) {
    BuildMainWindow();
    BuildTextDialog();
    terminal_ = new TerminalFrame(Notifier(), window_.get(), controls_);
}

QtView::~QtView() = default;

void QtView::BuildMainWindow() {
    const layout::DialogLayout& dialog = layout::MainDialog();
    window_->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                            Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    window_->setWindowTitle(ToQt(dialog.caption));
    QIcon icon;
    icon.addPixmap(QPixmap(kVelotrixIcon32));
    icon.addPixmap(QPixmap(kVelotrixIcon16));
    window_->setWindowIcon(icon);

    actions_ = BuildMenu(window_->menuBar(), Notifier());
    for (const layout::Accelerator& accelerator : layout::Accelerators()) {
        actions_.at(accelerator.commandId)
            ->setShortcut(
                QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_A + (accelerator.key - 'A'))));
    }
    auto* client = new GrowingClient(window_.get());
    client_ = client;
    BuildItems(client, dialog, Notifier(), controls_);
    for (const auto& [id, control] : controls_) {
        if ((control.item->style & layout::kDefaultButton) != 0) {
            window_->SetDefaultButton(qobject_cast<QAbstractButton*>(control.widget));
        }
    }
    // The template's size is the least the window can be made.
    minimumClient_ = client->size();
    client->setMinimumSize(minimumClient_);
    window_->setCentralWidget(client);
    status_ = BuildStatusBar(client);
    client->SetResizeHandler([this] { LayOutMainWindow(); });
    window_->adjustSize();
    window_->setMinimumSize(window_->size());
    CentreOnScreen(window_.get());
}

void QtView::BuildTextDialog() {
    const layout::DialogLayout& dialog = layout::TextDialog();
    if (textDialog_ != nullptr) {
        // Later, in case the old dialog's own event is still being handled.
        textDialog_->deleteLater();
    }
    textDialog_ = new TextFrame(Notifier(), window_.get());
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (dialog.minimizeBox) {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    if (dialog.maximizeBox) {
        flags |= Qt::WindowMaximizeButtonHint;
    }
    textDialog_->setWindowFlags(flags);
    textDialog_->setWindowModality(Qt::WindowModal);
    textDialog_->setSizeGripEnabled(false);
    textDialog_->setWindowTitle(ToQt(dialog.caption));
    BuildItems(textDialog_, dialog, Notifier(), controls_);
    textDialog_->SetEnterButton(Find<QAbstractButton>(ids::kTextSend));
    if (!dialog.sizingBorder) {
        textDialog_->setFixedSize(textDialog_->size());
    }
}

template <class T>
T* QtView::Find(int id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : qobject_cast<T*>(found->second.widget);
}

void QtView::Notify(int id, int code) {
    // A copy, so that a handler that replaces itself finishes running.
    const CommandHandler handler = handler_;
    if (handler) {
        handler(id, code);
    }
}

NotifyFn QtView::Notifier() {
    return [this](int id, int code) { Notify(id, code); };
}

void QtView::SetCommandHandler(CommandHandler handler) {
    handler_ = std::move(handler);
}

void QtView::SetWindowTitle(std::string_view text) {
    window_->setWindowTitle(ToQt(text));
}

void QtView::SetText(int id, std::string_view text) {
    if (auto* edit = Find<QLineEdit>(id)) {
        // Windows reports every WM_SETTEXT as a change, even of an unchanged text: exactly one
        // notification, raised here rather than by Qt, which skips unchanged texts.
        {
            const QSignalBlocker blocker(edit);
            edit->setText(ToQt(text));
        }
        Notify(id, ids::kNotifyEditChange);
    } else if (auto* button = Find<QAbstractButton>(id)) {
        button->setText(ToQt(text));
    }
}

std::string QtView::GetText(int id) const {
    if (id == ids::kProgressText) {
        return FromQt(status_.progressText->text());
    }
    if (const auto* edit = Find<QLineEdit>(id)) {
        return FromQt(edit->text());
    }
    if (const auto* button = Find<QAbstractButton>(id)) {
        return FromQt(button->text());
    }
    if (const auto* combo = Find<QComboBox>(id)) {
        return FromQt(combo->currentText());
    }
    if (const auto* label = Find<QLabel>(id)) {
        return FromQt(label->text());
    }
    return {};
}

void QtView::Enable(int id, bool enabled) {
    if (QWidget* widget = Widget(id)) {
        widget->setEnabled(enabled);
    }
}

bool QtView::IsEnabled(int id) const {
    const QWidget* widget = Widget(id);
    return widget != nullptr && widget->isEnabled();
}

void QtView::Show(int id, bool visible) {
    if (QWidget* widget = Widget(id)) {
        widget->setVisible(visible);
    }
}

// The control's own visibility, whether or not its window is on the screen yet.
bool QtView::IsVisible(int id) const {
    const QWidget* widget = Widget(id);
    return widget != nullptr && !widget->isHidden();
}

void QtView::SetCheck(int id, bool checked) {
    if (auto* button = Find<QAbstractButton>(id)) {
        button->setChecked(checked);
    }
}

bool QtView::IsChecked(int id) const {
    const auto* button = Find<QAbstractButton>(id);
    return button != nullptr && button->isChecked();
}

void QtView::SetFocus(int id) {
    if (QWidget* widget = Widget(id)) {
        QTimer::singleShot(0, widget, [widget] { widget->setFocus(Qt::OtherFocusReason); });
    }
}

int QtView::ComboCount(int id) const {
    const auto* combo = Find<QComboBox>(id);
    return combo != nullptr ? combo->count() : 0;
}

std::string QtView::ComboItem(int id, int index) const {
    const auto* combo = Find<QComboBox>(id);
    return combo != nullptr ? FromQt(combo->itemText(index)) : std::string();
}

int QtView::ComboSelection(int id) const {
    const auto* combo = Find<QComboBox>(id);
    return combo != nullptr ? combo->currentIndex() : -1;
}

void QtView::ComboSelect(int id, int index) {
    if (auto* combo = Find<QComboBox>(id)) {
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    }
}

void QtView::ComboClear(int id) {
    if (auto* combo = Find<QComboBox>(id)) {
        combo->clear();
    }
}

void QtView::ComboAdd(int id, std::string_view text) {
    auto* combo = Find<QComboBox>(id);
    if (combo == nullptr) {
        return;
    }
    int position = combo->count();
    if ((controls_.at(id).item->style & layout::kSorted) != 0) {
        position = 0;
        while (position < combo->count() &&
               !layout::SortsBefore(text, FromQt(combo->itemText(position)))) {
            ++position;
        }
    }
    const int selection = combo->currentIndex();
    combo->insertItem(position, ToQt(text));
    // Qt selects the first entry put into an empty box; a Windows combo box stays unselected.
    if (selection < 0) {
        combo->setCurrentIndex(-1);
    }
}

void QtView::ListClear(int id) {
    if (auto* list = Find<QListWidget>(id)) {
        list->clear();
    }
}

void QtView::ListAdd(int id, std::string_view line) {
    if (auto* list = Find<QListWidget>(id)) {
        list->addItem(ToQt(line));
    }
}

int QtView::ListCount(int id) const {
    const auto* list = Find<QListWidget>(id);
    return list != nullptr ? list->count() : 0;
}

void QtView::ListSelect(int id, int index) {
    auto* list = Find<QListWidget>(id);
    if (list == nullptr) {
        return;
    }
    if (index < 0 || index >= list->count()) {
        list->clearSelection();
        list->setCurrentRow(-1);
        return;
    }
    list->setCurrentRow(index);
    list->scrollToItem(list->item(index));
}

void QtView::SetPaneText(int pane, std::string_view text) {
    if (pane >= 0 && pane < 4) {
        status_.panes[pane]->setText(ToQt(text));
    }
}

void QtView::ShowProgress(std::uint32_t maximum) {
    progressMaximum_ = maximum;
    status_.progress->setValue(0);
    status_.progress->raise();
    status_.progress->show();
}

void QtView::SetProgress(std::uint32_t value) {
    if (progressMaximum_ == 0) {
        return;
    }
    const std::uint64_t shown = std::min(value, progressMaximum_);
    status_.progress->setValue(static_cast<int>(shown * kProgressScale / progressMaximum_));
}

void QtView::HideProgress() {
    status_.progress->hide();
}

void QtView::EnableMenuItem(int id, bool enabled) {
    if (QAction* action = MenuAction(id)) {
        action->setEnabled(enabled);
    }
}

void QtView::CheckMenuItem(int id, bool checked) {
    if (QAction* action = MenuAction(id)) {
        action->setCheckable(true);
        action->setChecked(checked);
    }
}

void QtView::SetDialogFolder(FileDialogUse use, std::string_view folder) {
    dialogFolders_[static_cast<int>(use)] = folder;
}

void QtView::SetFileDropHandler(FileDropHandler handler) {
    window_->SetDropHandler(std::move(handler));
}

void QtView::Repaint() {
    window_->update();
    if (textDialog_->isVisible()) {
        textDialog_->update();
    }
}

void QtView::MessageBox(std::string_view text, std::string_view caption, MessageIcon icon) {
    ShowMessageBox(window_.get(), text, caption, icon);
}

bool QtView::AskYesNo(std::string_view text, std::string_view caption) {
    return AskQuestion(window_.get(), text, caption);
}

std::optional<std::string> QtView::AskOpenFile(std::string_view title,
                                               const std::vector<FileFilter>& filters,
                                               int& filterIndex) {
    return RunOpenFileDialog(window_.get(), title, filters, filterIndex,
                             dialogFolders_[static_cast<int>(FileDialogUse::kOpen)]);
}

std::optional<std::string> QtView::AskSaveFile(std::string_view title,
                                               std::string_view suggestedName,
                                               const std::vector<FileFilter>& filters) {
    return RunSaveFileDialog(window_.get(), title, suggestedName, filters,
                             dialogFolders_[static_cast<int>(FileDialogUse::kSave)]);
}

std::optional<std::string> QtView::AskFolder(std::string_view title, std::string_view folder) {
    return RunFolderDialog(window_.get(), title, folder);
}

void QtView::OpenTextDialog() {
    if (textDialog_->isVisible()) {
        return;
    }
    // Each opening starts from the template, as a dialog created anew does: empty text, the
    // template's size, the focus on the first control, centred.
    BuildTextDialog();
    CentreOnScreen(textDialog_);
    textDialog_->open();
}

void QtView::CloseTextDialog() {
    textDialog_->done(QDialog::Rejected);
}

bool QtView::IsTextDialogOpen() const {
    return textDialog_->isVisible();
}

void QtView::CloseMainWindow() {
    textDialog_->hide();
    terminal_->hide();
    window_->CloseForGood();
}

QWidget* QtView::Widget(int id) const {
    if (id == ids::kStatusBar) {
        return status_.bar;
    }
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second.widget;
}

QWidget* QtView::MainWindow() const {
    return window_.get();
}

QDialog* QtView::TextDialogWidget() const {
    return textDialog_;
}

QAction* QtView::MenuAction(int id) const {
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second;
}

}  // namespace velotrix
