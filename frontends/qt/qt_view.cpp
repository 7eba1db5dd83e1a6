// The Qt window built from the layout tables; texts cross between code page 1252 and Unicode here.
#include "frontends/qt/qt_view.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "text/cp1252.h"
#include "ui-resources/ids.h"
#include "ui-resources/velotrix_icon.h"

namespace velotrix {

namespace {

using layout::ItemKind;

// Status pane right edges in pixels; the last pane reaches the window's right edge.
constexpr int kPaneRightEdges[] = {50, 450, 550};
// The progress bar's own scale: a 16-bit range could not show a 65,536-byte block.
constexpr int kProgressScale = 10000;

QString ToQt(std::string_view cp1252) {
    const std::string utf8 = Cp1252ToUtf8(cp1252);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FromQt(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return Utf8ToCp1252(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

bool Has(const layout::Item& item, std::uint32_t style) {
    return (item.style & style) != 0;
}

// Dialog units scale with the dialog font, as Windows computes them: a quarter of the average
// character width horizontally, an eighth of the font height vertically.
struct BaseUnits {
    int x;
    int y;
};

BaseUnits DialogBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(width / 26 + 1) / 2, metrics.height()};
}

int ToPixels(int units, int base, int divisor) {
    return (units * base + divisor / 2) / divisor;
}

QRect ItemRect(const layout::Item& item, BaseUnits base) {
    return QRect(ToPixels(item.x, base.x, 4), ToPixels(item.y, base.y, 8),
                 ToPixels(item.width, base.x, 4), ToPixels(item.height, base.y, 8));
}

QSize DialogPixels(const layout::DialogLayout& dialog, BaseUnits base) {
    return QSize(ToPixels(dialog.width, base.x, 4), ToPixels(dialog.height, base.y, 8));
}

QFont DialogFont(const layout::DialogLayout& dialog) {
    QFont font(ToQt(dialog.fontName));
    font.setPointSize(dialog.fontPointSize);
    // Where the font is missing (Arial on most Linux systems), the nearest sans-serif stands in.
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void CentreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
}

// A check box or radio button that toggles itself only when its template makes it automatic;
// otherwise a click just notifies and only the program sets the state.
template <class Button>
class StateButton : public Button {
  public:
    StateButton(const QString& text, bool automatic, QWidget* parent)
        : Button(text, parent), automatic_(automatic) {}

  protected:
    void nextCheckState() override {
        if (automatic_) {
            Button::nextCheckState();
        }
    }

  private:
    bool automatic_;
};

// A group box drawn as Windows draws one: the caption sits on the frame's top line, which runs at
// half the font's height; a flat box has a plain line instead of an etched one.
class DialogGroupBox : public QGroupBox {
  public:
    using QGroupBox::QGroupBox;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QFontMetrics metrics(font());
        const QRect box = rect().adjusted(0, metrics.height() / 2, -1, -1);
        if (isFlat()) {
            painter.setPen(palette().color(QPalette::Dark));
            painter.drawRect(box);
        } else {
            painter.setPen(palette().color(QPalette::Light));
            painter.drawRect(box.adjusted(1, 1, 0, 0));
            painter.setPen(palette().color(QPalette::Mid));
            painter.drawRect(box.adjusted(0, 0, -1, -1));
        }
        if (!title().isEmpty()) {
            const QRect caption(metrics.averageCharWidth(), 0,
                                metrics.horizontalAdvance(title()) + 4, metrics.height());
            painter.fillRect(caption, palette().color(QPalette::Window));
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawText(caption, Qt::AlignCenter, title());
        }
    }
};

// Enter presses the push button that has the focus, otherwise the dialog's default button.
void PressEnter(QWidget* window, QAbstractButton* defaultButton) {
    QAbstractButton* target = qobject_cast<QPushButton*>(window->focusWidget());
    if (target == nullptr) {
        target = defaultButton;
    }
    if (target != nullptr) {
        target->click();
    }
}

bool IsEnterKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

std::string NativePath(const QString& path) {
    return QFile::encodeName(QDir::toNativeSeparators(path)).toStdString();
}

QStringList NameFilters(const std::vector<FileFilter>& filters) {
    QStringList names;
    for (const FileFilter& filter : filters) {
        names.append(NameFilter(filter));
    }
    return names;
}

// Settings shared by the open and the save dialog: Qt's own dialog (its filters can be made to
// ignore case), the filter details hidden because the descriptions already name the patterns.
void PrepareFileDialog(QFileDialog& dialog, std::string_view title,
                       const std::vector<FileFilter>& filters) {
    dialog.setWindowTitle(ToQt(title));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(NameFilters(filters));
}

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::kError:
            return QMessageBox::Critical;
        case MessageIcon::kInformation:
            return QMessageBox::Information;
        case MessageIcon::kNone:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

QString NameFilter(const FileFilter& filter) {
    QStringList patterns;
    for (const QString& pattern : ToQt(filter.patterns).split(u';', Qt::SkipEmptyParts)) {
        QString expanded;
        for (const QChar c : pattern.trimmed()) {
            if (c.toLower() != c.toUpper()) {
                expanded += u'[' + c.toLower() + c.toUpper() + u']';
            } else {
                expanded += c;
            }
        }
        patterns.append(expanded);
    }
    return ToQt(filter.description) + QStringLiteral(" (") + patterns.join(u' ') + u')';
}

// The main window: Escape and Enter act as in a dialog, and the close box only asks the
// controller, which closes the window through CloseMainWindow when it decides to.
class QtView::MainFrame : public QMainWindow {
  public:
    explicit MainFrame(QtView& view) : view_(view) {}

    bool closing = false;
    QAbstractButton* defaultButton = nullptr;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape) {
            view_.Notify(ids::kCancel, ids::kNotifyClicked);
        } else if (IsEnterKey(event->key())) {
            PressEnter(this, defaultButton);
        } else {
            QMainWindow::keyPressEvent(event);
        }
    }

    void closeEvent(QCloseEvent* event) override {
        if (!closing) {
            view_.Notify(ids::kCloseBox, ids::kNotifyClicked);
        }
        event->setAccepted(closing);
    }

  private:
    QtView& view_;
};

// "String senden": it has no default button, ignores Escape, and its close box is a command.
class QtView::TextFrame : public QDialog {
  public:
    TextFrame(QtView& view, QWidget* owner) : QDialog(owner), view_(view) {}

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (IsEnterKey(event->key())) {
            PressEnter(this, nullptr);
        } else if (event->key() != Qt::Key_Escape) {
            QDialog::keyPressEvent(event);
        }
    }

    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        view_.Notify(ids::kTextClose, ids::kNotifyClicked);
    }

  private:
    QtView& view_;
};

QtView::QtView() : window_(std::make_unique<MainFrame>(*this)) {
    BuildMainWindow();
    BuildTextDialog();
}

QtView::~QtView() = default;

void QtView::BuildMainWindow() {
    const layout::DialogLayout& dialog = layout::MainDialog();
    window_->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                            Qt::WindowCloseButtonHint);
    window_->setWindowTitle(ToQt(dialog.caption));
    QIcon icon;
    icon.addPixmap(QPixmap(kVelotrixIcon32));
    icon.addPixmap(QPixmap(kVelotrixIcon16));
    window_->setWindowIcon(icon);

    BuildMenu();
    auto* client = new QWidget(window_.get());
    BuildItems(client, dialog);
    client->setFixedSize(client->size());
    window_->setCentralWidget(client);
    BuildStatusBar(client);
    window_->layout()->setSizeConstraint(QLayout::SetFixedSize);
    window_->adjustSize();
    CentreOnScreen(window_.get());
}

void QtView::BuildTextDialog() {
    const layout::DialogLayout& dialog = layout::TextDialog();
    textDialog_ = new TextFrame(*this, window_.get());
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
    BuildItems(textDialog_, dialog);
    if (!dialog.sizingBorder) {
        textDialog_->setFixedSize(textDialog_->size());
    }
}

void QtView::BuildMenu() {
    QMenuBar* bar = window_->menuBar();
    std::vector<QMenu*> open;
    for (const layout::MenuEntry& entry : layout::MainMenu()) {
        switch (entry.kind) {
            case layout::MenuKind::kPopup:
                open.push_back(open.empty() ? bar->addMenu(ToQt(entry.caption))
                                            : open.back()->addMenu(ToQt(entry.caption)));
                break;
            case layout::MenuKind::kItem: {
                QAction* action = open.empty() ? bar->addAction(ToQt(entry.caption))
                                               : open.back()->addAction(ToQt(entry.caption));
                const int id = entry.commandId;
                QObject::connect(action, &QAction::triggered, window_.get(),
                                 [this, id] { Notify(id, ids::kNotifyClicked); });
                actions_[id] = action;
                break;
            }
            case layout::MenuKind::kSeparator:
                if (!open.empty()) {
                    open.back()->addSeparator();
                }
                break;
            case layout::MenuKind::kEnd:
                if (!open.empty()) {
                    open.pop_back();
                }
                break;
        }
    }
}

void QtView::BuildStatusBar(QWidget* client) {
    // The status bar keeps the application font, as a Windows status window keeps the GUI font.
    statusBar_ = new QWidget(client);
    statusBar_->setObjectName(QStringLiteral("statusBar"));
    statusBar_->setFont(QGuiApplication::font());
    const int height = std::max(22, QFontMetrics(statusBar_->font()).height() + 6);
    statusBar_->setGeometry(0, client->height() - height, client->width(), height);

    int left = 0;
    for (int pane = 0; pane < 4; ++pane) {
        const int right = pane < 3 ? kPaneRightEdges[pane] : client->width();
        QLabel* label = new QLabel(statusBar_);
        label->setObjectName(QStringLiteral("pane%1").arg(pane));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setIndent(3);
        label->setGeometry(left, 2, right - left, height - 2);
        panes_[pane] = label;
        left = right + 2;
    }
    progress_ = new QProgressBar(statusBar_);
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setTextVisible(false);
    progress_->setRange(0, kProgressScale);
    progress_->setGeometry(panes_[3]->geometry());
    progress_->hide();
}

void QtView::BuildItems(QWidget* client, const layout::DialogLayout& dialog) {
    const QFont font = DialogFont(dialog);
    client->setFont(font);
    const BaseUnits base = DialogBaseUnits(font);
    client->resize(DialogPixels(dialog, base));

    QWidget* previousStop = nullptr;
    int index = 0;
    for (const layout::Item& item : dialog.items) {
        QWidget* widget = CreateItem(client, item);
        QRect rect = ItemRect(item, base);
        if (item.kind == ItemKind::kDropDownList) {
            // A combo box's template height is that of its opened list.
            const int closed = widget->sizeHint().height();
            const int rows = (rect.height() - closed) / std::max(1, QFontMetrics(font).height());
            static_cast<QComboBox*>(widget)->setMaxVisibleItems(std::max(1, rows));
            rect.setHeight(closed);
        }
        widget->setGeometry(rect);
        widget->setProperty("layoutIndex", index++);
        widget->setEnabled(!Has(item, layout::kDisabled));
        widget->setHidden(Has(item, layout::kHidden));
        if (item.kind == ItemKind::kGroupBox || item.kind == ItemKind::kFrame) {
            // Decorations lie under the controls they surround, so they never catch their clicks.
            widget->lower();
        }
        if (item.id == layout::kNoId) {
            continue;
        }
        widget->setObjectName(QStringLiteral("id%1").arg(item.id));
        widget->setProperty("controlId", item.id);
        controls_[item.id] = Control{widget, &item};
        if (previousStop != nullptr) {
            QWidget::setTabOrder(previousStop, widget);
        }
        previousStop = widget;
    }
}

QWidget* QtView::CreateItem(QWidget* client, const layout::Item& item) {
    const QString caption = ToQt(item.caption);
    const int id = item.id;
    auto notifyOnClick = [this, id](QAbstractButton* button) {
        if (id != layout::kNoId) {
            QObject::connect(button, &QAbstractButton::clicked, button,
                             [this, id] { Notify(id, ids::kNotifyClicked); });
        }
        return button;
    };
    switch (item.kind) {
        case ItemKind::kPushButton: {
            auto* button = new QPushButton(caption, client);
            button->setAutoDefault(false);
            if (Has(item, layout::kDefaultButton) && client->window() == window_.get()) {
                button->setDefault(true);
                window_->defaultButton = button;
            }
            return notifyOnClick(button);
        }
        case ItemKind::kRadioButton:
        case ItemKind::kCheckBox: {
            QAbstractButton* button = nullptr;
            if (item.kind == ItemKind::kRadioButton) {
                auto* radio =
                    new StateButton<QRadioButton>(caption, Has(item, layout::kAutoCheck), client);
                // An exclusive radio button could not be unchecked by the program.
                radio->setAutoExclusive(false);
                button = radio;
            } else {
                button = new StateButton<QCheckBox>(caption, Has(item, layout::kAutoCheck), client);
            }
            if (Has(item, layout::kLeftText)) {
                button->setLayoutDirection(Qt::RightToLeft);
            }
            return notifyOnClick(button);
        }
        case ItemKind::kDropDownList: {
            auto* combo = new QComboBox(client);
            combo->setEditable(false);
            QObject::connect(combo, &QComboBox::activated, combo,
                             [this, id] { Notify(id, ids::kNotifySelChange); });
            return combo;
        }
        case ItemKind::kEdit: {
            auto* edit = new QLineEdit(client);
            edit->setReadOnly(Has(item, layout::kReadOnly));
            edit->setAlignment(Has(item, layout::kCentered) ? Qt::AlignCenter
                                                            : Qt::AlignLeft | Qt::AlignVCenter);
            if (item.maxLength > 0) {
                edit->setMaxLength(item.maxLength);
            }
            if (edit->isReadOnly()) {
                // Read-only fields show the dialog's background, so the editable ones stand out.
                QPalette palette = edit->palette();
                palette.setColor(QPalette::Base, palette.color(QPalette::Window));
                edit->setPalette(palette);
            }
            QObject::connect(edit, &QLineEdit::textChanged, edit,
                             [this, id] { Notify(id, ids::kNotifyEditChange); });
            return edit;
        }
        case ItemKind::kListBox: {
            auto* list = new QListWidget(client);
            list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            list->setUniformItemSizes(true);
            list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            list->setVerticalScrollBarPolicy(Has(item, layout::kVScroll) ? Qt::ScrollBarAsNeeded
                                                                         : Qt::ScrollBarAlwaysOff);
            return list;
        }
        case ItemKind::kLabel: {
            auto* label = new QLabel(caption, client);
            label->setAlignment(
                (Has(item, layout::kRightAligned) ? Qt::AlignRight : Qt::AlignLeft) |
                (Has(item, layout::kVCentered) ? Qt::AlignVCenter : Qt::AlignTop));
            return label;
        }
        case ItemKind::kGroupBox: {
            auto* group = new DialogGroupBox(caption, client);
            group->setFlat(Has(item, layout::kFlat));
            return group;
        }
        case ItemKind::kFrame:
            break;
    }
    auto* frame = new QFrame(client);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    return frame;
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
    if (const auto* edit = Find<QLineEdit>(id)) {
        return FromQt(edit->text());
    }
    if (const auto* button = Find<QAbstractButton>(id)) {
        return FromQt(button->text());
    }
    if (const auto* combo = Find<QComboBox>(id)) {
        return FromQt(combo->currentText());
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
    if (Has(*controls_.at(id).item, layout::kSorted)) {
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
        panes_[pane]->setText(ToQt(text));
    }
}

void QtView::ShowProgress(std::uint32_t maximum) {
    progressMaximum_ = maximum;
    progress_->setValue(0);
    progress_->raise();
    progress_->show();
}

void QtView::SetProgress(std::uint32_t value) {
    if (progressMaximum_ == 0) {
        return;
    }
    const std::uint64_t shown = std::min(value, progressMaximum_);
    progress_->setValue(static_cast<int>(shown * kProgressScale / progressMaximum_));
}

void QtView::HideProgress() {
    progress_->hide();
}

void QtView::EnableMenuItem(int id, bool enabled) {
    if (QAction* action = MenuAction(id)) {
        action->setEnabled(enabled);
    }
}

void QtView::Repaint() {
    window_->update();
    if (textDialog_->isVisible()) {
        textDialog_->update();
    }
}

void QtView::MessageBox(std::string_view text, std::string_view caption, MessageIcon icon) {
    // The core separates lines with a lone carriage return.
    QString shown = ToQt(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    QMessageBox box(BoxIcon(icon), ToQt(caption), shown, QMessageBox::Ok, window_.get());
    // Texts such as "<COM öffnen>" must not be taken for markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool QtView::AskYesNo(std::string_view text, std::string_view caption) {
    QMessageBox box(QMessageBox::Question, ToQt(caption), ToQt(text),
                    QMessageBox::Yes | QMessageBox::No, window_.get());
    box.setTextFormat(Qt::PlainText);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Ja"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Nein"));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtView::AskOpenFile(std::string_view title,
                                               const std::vector<FileFilter>& filters,
                                               int& filterIndex) {
    QFileDialog dialog(window_.get());
    PrepareFileDialog(dialog, title, filters);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QStringList names = dialog.nameFilters();
    if (filterIndex >= 0 && filterIndex < names.size()) {
        dialog.selectNameFilter(names[filterIndex]);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    // With the details hidden, Qt reports the filter by its description alone.
    const QString used = dialog.selectedNameFilter();
    for (std::size_t i = 0; i < filters.size(); ++i) {
        if (used == names[static_cast<qsizetype>(i)] ||
            used == ToQt(filters[i].description).simplified()) {
            filterIndex = static_cast<int>(i);
            break;
        }
    }
    return NativePath(dialog.selectedFiles().first());
}

std::optional<std::string> QtView::AskSaveFile(std::string_view title,
                                               std::string_view suggestedName,
                                               const std::vector<FileFilter>& filters) {
    QFileDialog dialog(window_.get());
    PrepareFileDialog(dialog, title, filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(ToQt(suggestedName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return NativePath(dialog.selectedFiles().first());
}

void QtView::OpenTextDialog() {
    if (textDialog_->isVisible()) {
        return;
    }
    // Each opening starts with the template's size, centred, as a freshly created dialog does.
    const layout::DialogLayout& dialog = layout::TextDialog();
    textDialog_->resize(DialogPixels(dialog, DialogBaseUnits(DialogFont(dialog))));
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
    window_->closing = true;
    textDialog_->hide();
    window_->close();
}

QWidget* QtView::Widget(int id) const {
    if (id == ids::kStatusBar) {
        return statusBar_;
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
