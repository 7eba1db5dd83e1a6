// The dialog templates, the menu and the status bar as Qt widgets, laid out as Windows lays them.
#include "frontends/qt/dialog_builder.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QValidator>
#include <algorithm>
#include <vector>

#include "frontends/qt/even_font.h"
#include "frontends/qt/qt_strings.h"
#include "ui-resources/dialog_units.h"
#include "ui-resources/ids.h"

namespace velotrix {

namespace {

// An editable list takes numbers (baud rates) of at most eight digits.
constexpr int kMaxTypedNumber = 99999999;

using layout::ItemKind;

bool Has(const layout::Item& item, std::uint32_t style) {
    return (item.style & style) != 0;
}

layout::BaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    return layout::DialogBaseUnits(metrics.horizontalAdvance(QStringLiteral(
                                       "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")),
                                   metrics.height());
}

QRect ItemRect(const layout::Item& item, layout::BaseUnits base) {
    const layout::Rect r = layout::ToPixels({item.x, item.y, item.width, item.height}, base);
    return QRect(r.x, r.y, r.width, r.height);
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

// An edit field's limit binds only the user's typing, as on Windows: the program may write a
// longer text, and the user may still shorten it. A hex field takes hex digits only, upper-cased;
// any other key is refused with a beep.
class TypingLimit : public QValidator {
  public:
    TypingLimit(const layout::Item& item, QLineEdit* edit)
        : QValidator(edit), item_(item), edit_(edit) {}

    State validate(QString& input, int&) const override {
        for (QChar& c : input) {
            // Only the keys of the ASCII range need a rule; the others pass as typed.
            const char key = c.unicode() < 0x80 ? static_cast<char>(c.unicode()) : '\x80';
            if (!layout::AcceptsKey(item_, key)) {
                QApplication::beep();
                return Invalid;
            }
            if (c.unicode() < 0x80) {
                c = QChar(layout::ShownKey(item_, key));
            }
        }
        return item_.maxLength == 0 || input.size() <= item_.maxLength ||
                       input.size() < edit_->text().size()
                   ? Acceptable
                   : Invalid;
    }

  private:
    const layout::Item& item_;
    QLineEdit* edit_;
};

// What a factory needs to make one item.
struct ItemContext {
    const layout::Item& item;
    QString caption;
    QWidget* client;
    const NotifyFn& notify;
};

QWidget* NotifyOnClick(const ItemContext& c, QAbstractButton* button) {
    if (c.item.id != layout::kNoId) {
        QObject::connect(button, &QAbstractButton::clicked, button,
                         [notify = c.notify, id = c.item.id] { notify(id, ids::kNotifyClicked); });
    }
    return button;
}

QWidget* CreatePushButton(const ItemContext& c) {
    auto* button = new QPushButton(c.caption, c.client);
    button->setAutoDefault(false);
    button->setDefault(Has(c.item, layout::kDefaultButton));
    return NotifyOnClick(c, button);
}

QAbstractButton* Aligned(const ItemContext& c, QAbstractButton* button) {
    if (Has(c.item, layout::kLeftText)) {
        button->setLayoutDirection(Qt::RightToLeft);
    }
    return button;
}

QWidget* CreateRadioButton(const ItemContext& c) {
    auto* radio =
        new StateButton<QRadioButton>(c.caption, Has(c.item, layout::kAutoCheck), c.client);
    // An exclusive radio button could not be unchecked by the program.
    radio->setAutoExclusive(false);
    return NotifyOnClick(c, Aligned(c, radio));
}

QWidget* CreateCheckBox(const ItemContext& c) {
    auto* check = new StateButton<QCheckBox>(c.caption, Has(c.item, layout::kAutoCheck), c.client);
    return NotifyOnClick(c, Aligned(c, check));
}

QWidget* CreateDropDownList(const ItemContext& c) {
    auto* combo = new QComboBox(c.client);
    combo->setEditable(Has(c.item, layout::kEditable));
    if (combo->isEditable()) {
        // A typed rate or device is read when the port opens; it does not become an entry.
        combo->setInsertPolicy(QComboBox::NoInsert);
        if (Has(c.item, layout::kDigitsOnly)) {
            combo->setValidator(new QIntValidator(1, kMaxTypedNumber, combo));
        }
        // A long entry (a port with its adapter's name) shows its beginning, not its end.
        QObject::connect(combo, &QComboBox::currentIndexChanged, combo,
                         [combo] { combo->lineEdit()->setCursorPosition(0); });
        // A typed value (a pause) may take effect at once, as a chosen entry does.
        QObject::connect(
            combo->lineEdit(), &QLineEdit::textEdited, combo,
            [notify = c.notify, id = c.item.id] { notify(id, ids::kNotifyEditChange); });
    }
    QObject::connect(combo, &QComboBox::activated, combo,
                     [notify = c.notify, id = c.item.id] { notify(id, ids::kNotifySelChange); });
    return combo;
}

QWidget* CreateEdit(const ItemContext& c) {
    auto* edit = new QLineEdit(c.caption, c.client);
    edit->setReadOnly(Has(c.item, layout::kReadOnly));
    edit->setAlignment(Has(c.item, layout::kCentered) ? Qt::AlignCenter
                                                      : Qt::AlignLeft | Qt::AlignVCenter);
    if (c.item.maxLength > 0 || Has(c.item, layout::kHexDigits)) {
        edit->setValidator(new TypingLimit(c.item, edit));
    }
    if (edit->isReadOnly()) {
        // Read-only fields show the dialog's background, so the editable ones stand out.
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        edit->setPalette(palette);
    }
    QObject::connect(edit, &QLineEdit::textChanged, edit,
                     [notify = c.notify, id = c.item.id] { notify(id, ids::kNotifyEditChange); });
    return edit;
}

QWidget* CreateListBox(const ItemContext& c) {
    auto* list = new QListWidget(c.client);
    list->setFont(EvenWidthFont());
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setUniformItemSizes(true);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Has(c.item, layout::kVScroll) ? Qt::ScrollBarAsNeeded
                                                                   : Qt::ScrollBarAlwaysOff);
    return list;
}

QWidget* CreateLabel(const ItemContext& c) {
    auto* label = new QLabel(c.caption, c.client);
    label->setAlignment((Has(c.item, layout::kRightAligned) ? Qt::AlignRight : Qt::AlignLeft) |
                        (Has(c.item, layout::kVCentered) ? Qt::AlignVCenter : Qt::AlignTop));
    return label;
}

QWidget* CreateGroupBox(const ItemContext& c) {
    auto* group = new DialogGroupBox(c.caption, c.client);
    group->setFlat(Has(c.item, layout::kFlat));
    return group;
}

QWidget* CreateFrame(const ItemContext& c) {
    auto* frame = new QFrame(c.client);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    return frame;
}

struct ItemFactory {
    ItemKind kind;
    QWidget* (*create)(const ItemContext&);
};

constexpr ItemFactory kFactories[] = {
    {ItemKind::kPushButton, CreatePushButton},
    {ItemKind::kDropDownList, CreateDropDownList},
    {ItemKind::kRadioButton, CreateRadioButton},
    {ItemKind::kCheckBox, CreateCheckBox},
    {ItemKind::kEdit, CreateEdit},
    {ItemKind::kListBox, CreateListBox},
    {ItemKind::kLabel, CreateLabel},
    {ItemKind::kGroupBox, CreateGroupBox},
    {ItemKind::kFrame, CreateFrame},
};

QWidget* CreateItem(const ItemContext& c) {
    const auto* factory = std::find_if(std::begin(kFactories), std::end(kFactories),
                                       [&](const ItemFactory& f) { return f.kind == c.item.kind; });
    return (factory != std::end(kFactories) ? factory->create : CreateFrame)(c);
}

}  // namespace

QFont DialogFont(const layout::DialogLayout& dialog) {
    QFont font(ToQt(dialog.fontName));
    font.setPointSize(dialog.fontPointSize);
    // Where the font is missing (Arial on most Linux systems), the nearest sans-serif stands in.
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QSize DialogPixels(const layout::DialogLayout& dialog) {
    const layout::Rect r =
        layout::ToPixels({0, 0, dialog.width, dialog.height}, BaseUnitsOf(DialogFont(dialog)));
    return QSize(r.width, r.height);
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

void BuildItems(QWidget* client, const layout::DialogLayout& dialog, const NotifyFn& notify,
                std::map<int, BuiltControl>& controls) {
    const QFont font = DialogFont(dialog);
    client->setFont(font);
    const layout::BaseUnits base = BaseUnitsOf(font);
    client->resize(DialogPixels(dialog));

    QWidget* previousStop = nullptr;
    int index = 0;
    for (const layout::Item& item : dialog.items) {
        QWidget* widget = CreateItem({item, ToQt(item.caption), client, notify});
        QRect rect = ItemRect(item, base);
        if (item.kind == ItemKind::kDropDownList) {
            // A combo box's template height is that of its opened list.
            const int closed = widget->sizeHint().height();
            const int rows = (rect.height() - closed) / std::max(1, QFontMetrics(font).height());
            static_cast<QComboBox*>(widget)->setMaxVisibleItems(std::max(1, rows));
            rect.setHeight(closed);
        }
        widget->setGeometry(rect);
        widget->setProperty("templateRect", rect);
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
        controls[item.id] = BuiltControl{widget, &item};
        if (!layout::IsTabStop(item)) {
            // A click may still put the focus there, to select and copy a shown value.
            widget->setFocusPolicy(widget->focusPolicy() == Qt::NoFocus ? Qt::NoFocus
                                                                        : Qt::ClickFocus);
            continue;
        }
        if (previousStop != nullptr) {
            QWidget::setTabOrder(previousStop, widget);
        }
        previousStop = widget;
    }
}

std::map<int, QAction*> BuildMenu(QMenuBar* bar, const NotifyFn& notify) {
    std::map<int, QAction*> actions;
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
                QObject::connect(
                    action, &QAction::triggered, action,
                    [notify, id = entry.commandId] { notify(id, ids::kNotifyClicked); });
                actions[entry.commandId] = action;
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
    return actions;
}

}  // namespace velotrix
