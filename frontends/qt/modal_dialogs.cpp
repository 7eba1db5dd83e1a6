// Message boxes, file and folder dialogs on Qt: plain texts, native paths, filters that ignore
// case.
#include "frontends/qt/modal_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <QStringList>

#include "frontends/qt/qt_strings.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

std::string NativePath(const QString& path) {
    return QFile::encodeName(QDir::toNativeSeparators(path)).toStdString();
}

// Settings shared by the open and the save dialog: Qt's own dialog (its filters can be made to
// ignore case), the filter details hidden because the descriptions already name the patterns.
void PrepareFileDialog(QFileDialog& dialog, std::string_view title,
                       const std::vector<FileFilter>& filters, std::string_view folder) {
    dialog.setWindowTitle(ToQt(title));
    if (!folder.empty()) {
        dialog.setDirectory(
            QFile::decodeName(QByteArray(folder.data(), static_cast<qsizetype>(folder.size()))));
    }
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (filters.empty()) {
        return;
    }
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    QStringList names;
    for (const FileFilter& filter : filters) {
        names.append(NameFilter(filter));
    }
    dialog.setNameFilters(names);
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

// A box is at least as wide as its title needs in the title bar, with room for the bar's icon and
// buttons: a window manager cuts a longer title ("Datei wurde… eschrieben.").
void FitTitle(QMessageBox& box) {
    QFont font = QApplication::font();
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int needed = metrics.horizontalAdvance(box.windowTitle()) + 10 * metrics.height();
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(needed, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
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

void ShowMessageBox(QWidget* owner, std::string_view text, std::string_view caption,
                    MessageIcon icon) {
    // The core separates lines with a lone carriage return.
    QString shown = ToQt(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    QMessageBox box(BoxIcon(icon), ToQt(caption), shown, QMessageBox::Ok, owner);
    // Texts such as "<COM öffnen>" must not be taken for markup.
    box.setTextFormat(Qt::PlainText);
    FitTitle(box);
    box.exec();
}

bool AskQuestion(QWidget* owner, std::string_view text, std::string_view caption) {
    QMessageBox box(QMessageBox::Question, ToQt(caption), ToQt(text),
                    QMessageBox::Yes | QMessageBox::No, owner);
    box.setTextFormat(Qt::PlainText);
    box.button(QMessageBox::Yes)->setText(ToQt(msg::kYes));
    box.button(QMessageBox::No)->setText(ToQt(msg::kNo));
    box.setDefaultButton(QMessageBox::No);
    FitTitle(box);
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> RunOpenFileDialog(QWidget* owner, std::string_view title,
                                             const std::vector<FileFilter>& filters,
                                             int& filterIndex, std::string_view folder) {
    QFileDialog dialog(owner);
    PrepareFileDialog(dialog, title, filters, folder);
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

std::optional<std::string> RunSaveFileDialog(QWidget* owner, std::string_view title,
                                             std::string_view suggestedName,
                                             const std::vector<FileFilter>& filters,
                                             std::string_view folder) {
    QFileDialog dialog(owner);
    PrepareFileDialog(dialog, title, filters, folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(ToQt(suggestedName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return NativePath(dialog.selectedFiles().first());
}

std::optional<std::string> RunFolderDialog(QWidget* owner, std::string_view title,
                                           std::string_view folder) {
    QFileDialog dialog(owner);
    PrepareFileDialog(dialog, title, {}, folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return NativePath(dialog.selectedFiles().first());
}

}  // namespace velotrix
