// The dialog templates, the menu and the status bar as Qt widgets, laid out as Windows lays them.
#include "frontends/qt/dialog_builder.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QValidator>
#include <algorithm>
#include <vector>

#include "frontends/qt/qt_strings.h"
#include "ui-resources/dialog_units.h"
#include "ui-resources/ids.h"

namespace velotrix {

namespace {

// An editable list takes numbers (baud rates) of at most eight digits.
constexpr int kMaxTypedNumber = 99999999;

using layout::ItemKind;

// Status pane right edges in pixels; the last pane reaches the window's right edge.
constexpr int kPaneRightEdges[] = {50, 450, 550};

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
// longer text, and the user may still shorten it.
class TypingLimit : public QValidator {
  public:
    TypingLimit(int limit, QLineEdit* edit) : QValidator(edit), limit_(limit), edit_(edit) {}

    State validate(QString& input, int&) const override {
        return input.size() <= limit_ || input.size() < edit_->text().size() ? Acceptable : Invalid;
    }

  private:
    int limit_;
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
        // A typed rate is read when the port opens; it does not become an entry of the list.
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setValidator(new QIntValidator(1, kMaxTypedNumber, combo));
    }
    QObject::connect(combo, &QComboBox::activated, combo,
                     [notify = c.notify, id = c.item.id] { notify(id, ids::kNotifySelChange); });
    return combo;
}

QWidget* CreateEdit(const ItemContext& c) {
    auto* edit = new QLineEdit(c.client);
    edit->setReadOnly(Has(c.item, layout::kReadOnly));
    edit->setAlignment(Has(c.item, layout::kCentered) ? Qt::AlignCenter
                                                      : Qt::AlignLeft | Qt::AlignVCenter);
    if (c.item.maxLength > 0) {
        edit->setValidator(new TypingLimit(c.item.maxLength, edit));
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
    list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
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

StatusBar BuildStatusBar(QWidget* client) {
    // The status bar keeps the application font, as a Windows status window keeps the GUI font.
    StatusBar status;
    status.bar = new QWidget(client);
    status.bar->setObjectName(QStringLiteral("statusBar"));
    status.bar->setFont(QGuiApplication::font());
    const int height = std::max(22, QFontMetrics(status.bar->font()).height() + 6);
    status.bar->setGeometry(0, client->height() - height, client->width(), height);

    int left = 0;
    for (int pane = 0; pane < 4; ++pane) {
        const int right = pane < 3 ? kPaneRightEdges[pane] : client->width();
        auto* label = new QLabel(status.bar);
        label->setObjectName(QStringLiteral("pane%1").arg(pane));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setIndent(3);
        label->setGeometry(left, 2, right - left, height - 2);
        status.panes[pane] = label;
        left = right + 2;
    }
    status.progress = new QProgressBar(status.bar);
    status.progress->setObjectName(QStringLiteral("progress"));
    status.progress->setTextVisible(false);
    status.progress->setRange(0, kProgressScale);
    status.progress->setGeometry(status.panes[3]->geometry());
    status.progress->hide();
    return status;
}

}  // namespace velotrix
