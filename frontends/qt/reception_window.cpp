// The reception in rows, its search and its copy to the clipboard.
#include "frontends/qt/reception_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QVBoxLayout>

#include "frontends/qt/even_font.h"
#include "frontends/qt/qt_strings.h"
#include "ui-resources/ids.h"
#include "ui-resources/messages.h"
#include "ui-resources/window_rules.h"

namespace velotrix {

namespace {

// A row of the text and its line break.
constexpr std::size_t kStride = kDumpLineLength + 1;
constexpr int kVisibleRows = 24;

}  // namespace

ReceptionWindow::ReceptionWindow(QWidget* owner)
    : QDialog(owner),
      rows_(new QPlainTextEdit(this)),
      query_(new QLineEdit(this)),
      hex_(new QCheckBox(ToQt(msg::kViewHex), this)),
      search_(new QPushButton(ToQt(msg::kViewSearch), this)),
      copy_(new QPushButton(ToQt(msg::kViewCopy), this)),
      note_(new QLabel(this)) {
    setWindowTitle(ToQt(msg::kViewTitle));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    rows_->setReadOnly(true);
    rows_->setLineWrapMode(QPlainTextEdit::NoWrap);
    rows_->setFont(EvenWidthFont());
    rows_->setObjectName(QStringLiteral("id%1").arg(ids::kViewDump));
    query_->setObjectName(QStringLiteral("id%1").arg(ids::kViewSearchText));
    search_->setDefault(true);
    auto* bar = new QHBoxLayout;
    for (QWidget* widget : {static_cast<QWidget*>(query_), static_cast<QWidget*>(hex_),
                            static_cast<QWidget*>(search_), static_cast<QWidget*>(note_)}) {
        bar->addWidget(widget);
    }
    bar->addStretch();
    bar->addWidget(copy_);
    auto* column = new QVBoxLayout(this);
    column->addWidget(rows_);
    column->addLayout(bar);
    connect(search_, &QPushButton::clicked, this, [this] { Search(); });
    connect(query_, &QLineEdit::returnPressed, this, [this] { Search(); });
    connect(copy_, &QPushButton::clicked, this, [this] { Copy(); });
    const QFontMetrics metrics(rows_->font());
    resize(metrics.horizontalAdvance(QString(kDumpLineLength + 6, QLatin1Char('0'))) + 40,
           metrics.lineSpacing() * kVisibleRows + 60);
}

void ReceptionWindow::Show(const HexDump& dump) {
    dump_ = dump;
    QString text;
    for (std::size_t row = 0; row < DumpRowCount(dump_); ++row) {
        text += (row == 0 ? QString() : QStringLiteral("\n")) + ToQt(DumpLine(dump_, row));
    }
    rows_->setPlainText(text);
    // The header's rows stand out from the data behind them.
    QList<QTextEdit::ExtraSelection> marks;
    const auto headerRows = static_cast<int>(dump_.headerLength / kDumpBytesPerRow);
    for (int row = 0; row < headerRows; ++row) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(rows_->document()->findBlockByNumber(row));
        mark.format.setBackground(palette().color(QPalette::AlternateBase).darker(115));
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        marks.append(mark);
    }
    rows_->setExtraSelections(marks);
    note_->clear();
    show();
    raise();
    activateWindow();
}

ByteRange ReceptionWindow::Selection() const {
    const QTextCursor cursor = rows_->textCursor();
    return DumpSelection(dump_, static_cast<std::size_t>(cursor.selectionStart()),
                         static_cast<std::size_t>(cursor.selectionEnd()), kStride);
}

void ReceptionWindow::SelectBytes(const ByteRange& range) {
    QTextCursor cursor(rows_->document());
    cursor.setPosition(static_cast<int>(DumpHexOffset(range.first, kStride)));
    cursor.setPosition(static_cast<int>(DumpHexOffset(range.first + range.count - 1, kStride) + 2),
                       QTextCursor::KeepAnchor);
    rows_->setTextCursor(cursor);
    rows_->ensureCursorVisible();
}

void ReceptionWindow::Search() {
    // From behind the start of the selection, so that searching again finds the next place.
    const ByteRange selected = Selection();
    const std::size_t from = selected.count > 0 ? selected.first + 1 : 0;
    const std::string query = FromQt(query_->text());
    const auto found = DumpFind(dump_, query, hex_->isChecked(), from);
    if (!found) {
        note_->setText(ToQt(layout::SearchFailedNote(query, hex_->isChecked())));
        QApplication::beep();
        return;
    }
    note_->clear();
    SelectBytes(*found);
}

void ReceptionWindow::Copy() {
    const ByteRange selected = Selection();
    if (selected.count == 0) {
        return;
    }
    const std::span<const std::uint8_t> bytes(dump_.bytes);
    QGuiApplication::clipboard()->setText(
        ToQt(BytesAsHex(bytes.subspan(selected.first, selected.count))));
}

}  // namespace velotrix
