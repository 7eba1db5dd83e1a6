// Drawing the terminal's lines, scrolling through them, selecting and typing.
#include "frontends/qt/terminal_screen_view.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <array>

#include "frontends/qt/qt_strings.h"

namespace velotrix {

namespace {

constexpr std::array<std::pair<int, TerminalKey>, 10> kKeys{{
    {Qt::Key_Return, TerminalKey::kEnter},
    {Qt::Key_Enter, TerminalKey::kEnter},
    {Qt::Key_Backspace, TerminalKey::kBackspace},
    {Qt::Key_Tab, TerminalKey::kTab},
    {Qt::Key_Escape, TerminalKey::kEscape},
    {Qt::Key_Up, TerminalKey::kUp},
    {Qt::Key_Down, TerminalKey::kDown},
    {Qt::Key_Right, TerminalKey::kRight},
    {Qt::Key_Left, TerminalKey::kLeft},
    {Qt::Key_Delete, TerminalKey::kDelete},
}};

}  // namespace

TerminalScreenView::TerminalScreenView(QWidget* parent) : QAbstractScrollArea(parent) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    setFont(font);
    const QFontMetrics metrics(font);
    cellWidth_ = std::max(1, metrics.horizontalAdvance(QLatin1Char('M')));
    lineHeight_ = std::max(1, metrics.lineSpacing());
    ascent_ = metrics.ascent();
    // A font that is not fixed-pitch after all is drawn a character to a cell.
    monospace_ = metrics.horizontalAdvance(QStringLiteral("iW.m")) == 4 * cellWidth_;
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    viewport()->setCursor(Qt::IBeamCursor);
    setMinimumSize(cellWidth_ * 20, lineHeight_ * 3);
}

void TerminalScreenView::SetScreen(const TerminalScreen* screen) {
    screen_ = screen;
    viewport_.Reset();
    Changed();
    if (screen_ != nullptr) {
        viewport_.TellRows(Rows());
    }
}

int TerminalScreenView::Rows() const {
    return std::max(1, viewport()->height() / lineHeight_);
}

void TerminalScreenView::UpdateScrollBars() {
    settingScroll_ = true;
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, screen_ == nullptr ? 0 : viewport_.ScrollRange(*screen_, Rows()));
    vertical->setPageStep(Rows());
    vertical->setValue(screen_ == nullptr ? 0 : viewport_.ScrollValue(*screen_, Rows()));
    const int columns = screen_ == nullptr ? 0 : static_cast<int>(screen_->Columns());
    horizontalScrollBar()->setRange(0, std::max(0, columns * cellWidth_ - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    settingScroll_ = false;
}

void TerminalScreenView::Changed() {
    UpdateScrollBars();
    viewport()->update();
}

void TerminalScreenView::scrollContentsBy(int, int) {
    if (!settingScroll_ && screen_ != nullptr) {
        viewport_.ScrollTo(*screen_, Rows(), verticalScrollBar()->value());
    }
    viewport()->update();
}

void TerminalScreenView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (screen_ != nullptr) {
        viewport_.TellRows(Rows());
    }
    Changed();
}

bool TerminalScreenView::focusNextPrevChild(bool) {
    return false;
}

void TerminalScreenView::Paste() {
    const QString text = QGuiApplication::clipboard()->text();
    if (!text.isEmpty()) {
        viewport_.Send({TerminalInput::Kind::kPaste, text.toStdString(), {}, 0});
    }
}

void TerminalScreenView::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool ctrl = (modifiers & Qt::ControlModifier) != 0;
    const bool shift = (modifiers & Qt::ShiftModifier) != 0;
    const int key = event->key();
    if ((ctrl && shift && key == Qt::Key_C) || (ctrl && key == Qt::Key_Insert)) {
        if (copy_) {
            copy_();
        }
        return;
    }
    if ((ctrl && shift && key == Qt::Key_V) || (shift && key == Qt::Key_Insert)) {
        Paste();
        return;
    }
    if (shift && (key == Qt::Key_PageUp || key == Qt::Key_PageDown)) {
        QScrollBar* vertical = verticalScrollBar();
        vertical->setValue(vertical->value() +
                           (key == Qt::Key_PageUp ? -vertical->pageStep() : vertical->pageStep()));
        return;
    }
    for (const auto& [qtKey, terminalKey] : kKeys) {
        if (key == qtKey) {
            viewport_.Send({TerminalInput::Kind::kKey, {}, terminalKey, 0});
            return;
        }
    }
    QString text = event->text();
    // Ctrl with a letter is its control character, whatever the platform made of it.
    if (ctrl && key >= Qt::Key_A && key <= Qt::Key_Z) {
        text = QChar(key - Qt::Key_A + 1);
    }
    if (text.isEmpty()) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    viewport_.Send({TerminalInput::Kind::kText, text.toStdString(), {}, 0});
}

TerminalPlace TerminalScreenView::PlaceAt(const QPoint& point) const {
    return viewport_.PlaceAt(*screen_, Rows(), point.x() + horizontalScrollBar()->value(),
                             point.y(), cellWidth_, lineHeight_);
}

void TerminalScreenView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton && screen_ != nullptr) {
        viewport_.Press(PlaceAt(event->position().toPoint()));
        viewport()->update();
    }
}

void TerminalScreenView::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) != 0 && screen_ != nullptr) {
        viewport_.Drag(PlaceAt(event->position().toPoint()));
        viewport()->update();
    }
}

QPoint TerminalScreenView::PointOf(TerminalPlace place) const {
    const auto row = static_cast<int>(place.line - viewport_.Top(*screen_, Rows()));
    return {static_cast<int>(place.column) * cellWidth_ - horizontalScrollBar()->value(),
            row * lineHeight_ + lineHeight_ / 2};
}

std::optional<std::pair<TerminalPlace, TerminalPlace>> TerminalScreenView::Selection() const {
    return viewport_.Selection();
}

std::vector<std::string> TerminalScreenView::ShownLines() const {
    return screen_ != nullptr ? viewport_.ShownLines(*screen_, Rows()) : std::vector<std::string>();
}

void TerminalScreenView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Base));
    if (screen_ == nullptr) {
        return;
    }
    painter.setFont(font());
    const std::uint64_t top = viewport_.Top(*screen_, Rows());
    for (int row = 0; row <= Rows() && top + static_cast<std::uint64_t>(row) < screen_->EndLine();
         ++row) {
        DrawLine(painter, top + static_cast<std::uint64_t>(row), row * lineHeight_);
    }
}

void TerminalScreenView::DrawLine(QPainter& painter, std::uint64_t line, int y) const {
    const int left = -horizontalScrollBar()->value();
    const QPalette& colours = palette();
    const std::size_t cells = viewport_.CellsToDraw(*screen_, line);
    std::string plain;
    for (std::size_t column = 0; column < cells; ++column) {
        const TerminalPlace place{line, column};
        plain +=
            viewport_.Inverted(*screen_, place) ? ' ' : TerminalViewport::Shown(*screen_, place);
    }
    painter.setPen(colours.color(QPalette::Text));
    if (monospace_) {
        painter.drawText(left, y + ascent_, ToQt(plain));
    }
    for (std::size_t column = 0; column < cells; ++column) {
        const int x = left + static_cast<int>(column) * cellWidth_;
        const TerminalPlace place{line, column};
        const char shown = TerminalViewport::Shown(*screen_, place);
        if (viewport_.Inverted(*screen_, place)) {
            painter.fillRect(x, y, cellWidth_, lineHeight_, colours.color(QPalette::Highlight));
            painter.setPen(colours.color(QPalette::HighlightedText));
            painter.drawText(x, y + ascent_, ToQt(std::string_view(&shown, 1)));
            painter.setPen(colours.color(QPalette::Text));
        } else if (!monospace_) {
            painter.drawText(x, y + ascent_, ToQt(std::string_view(&shown, 1)));
        }
    }
}

}  // namespace velotrix
