// What only the Qt window can get wrong beyond the contract: widgets, pictures of numbers, modal
// Qt dialogs, the end of the event loop with the main window, and the whole window with its
// controller as a person first sees it, with a picture of it for people to look at.
#include "frontends/qt/qt_view.h"

#include <gtest/gtest.h>
#include <xcb/xcb.h>
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <functional>
#include <map>
#include <numeric>
#include <utility>
#include <vector>

#include "app/controller.h"
#include "frontends/qt/even_font.h"
#include "frontends/qt/modal_dialogs.h"
#include "frontends/qt/qt_loop.h"
#include "frontends/qt/reception_window.h"
#include "gui_helpers.h"
#include "text/cp1252.h"
#include "ui-resources/ids.h"

namespace velotrix {
namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class QtViewTest : public ::testing::Test {
  protected:
    QtView view_;
};

// The contract covers the controls' behaviour; this pins what only Qt's widgets can get wrong.
TEST_F(QtViewTest, BuildsEveryItemOfTheTablesWithItsKindUnicodeCaptionAndTabOrder) {
    const char* classes[] = {"QPushButton", "QComboBox", "QRadioButton", "QCheckBox", "QLineEdit",
                             "QListWidget", "QLabel",    "QGroupBox",    "QFrame"};
    std::map<int, QWidget*> built;
    for (QWidget* widget : view_.MainWindow()->findChildren<QWidget*>()) {
        if (widget->property("layoutIndex").isValid() && widget->window() == view_.MainWindow()) {
            built[widget->property("layoutIndex").toInt()] = widget;
        }
    }
    const auto items = layout::MainDialog().items;
    ASSERT_EQ(built.size(), items.size());
    std::vector<int> tabStops;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const layout::Item& item = items[i];
        const QWidget* widget = built[static_cast<int>(i)];
        SCOPED_TRACE(testing::Message() << "item " << i << " id " << item.id);
        EXPECT_STREQ(widget->metaObject()->className(), classes[static_cast<int>(item.kind)]);
        QString caption =
            widget->property("text").toString() + widget->property("title").toString();
        EXPECT_EQ(caption.toStdString(), Cp1252ToUtf8(item.caption));
        // A drop-down list's template height is its opened list's; the closed box is its own.
        EXPECT_TRUE(item.kind != layout::ItemKind::kDropDownList ||
                    widget->height() == widget->sizeHint().height());
        if (item.id != layout::kNoId) {
            EXPECT_EQ(view_.Widget(item.id), widget);
        }
        if (layout::IsTabStop(item)) {
            tabStops.push_back(item.id);
        }
    }
    std::vector<int> chain;
    QWidget* widget = view_.Widget(tabStops.front());
    do {
        if (widget->property("controlId").isValid() && widget->window() == view_.MainWindow() &&
            (widget->focusPolicy() & Qt::TabFocus) != 0) {
            chain.push_back(widget->property("controlId").toInt());
        }
        widget = widget->nextInFocusChain();
    } while (widget != view_.Widget(tabStops.front()) && chain.size() <= tabStops.size());
    EXPECT_EQ(chain, tabStops);
}

TEST_F(QtViewTest, TheWindowStartsInTheMiddleOfItsScreen) {
    const QWidget* window = view_.MainWindow();
    const QPoint offset =
        window->frameGeometry().center() - window->screen()->availableGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << " " << offset.y();
}

TEST_F(QtViewTest, TheProgressBarLiesOverPaneThreeAndScalesBlocksOver16Bits) {
    QWidget* status = view_.Widget(ids::kStatusBar);
    auto* bar = status->findChild<QProgressBar*>();
    view_.ShowProgress(65536);
    view_.SetProgressText("43% \x96 1.234 B/s \x96 noch 0:12");
    const QRect pane = status->findChild<QLabel*>("pane3")->geometry();
    const QRect text = status->findChild<QLabel*>("progressText")->geometry();
    EXPECT_EQ(bar->geometry().topLeft(), pane.topLeft());
    EXPECT_TRUE(bar->geometry().right() < text.left() && pane.contains(text)) << "beside the bar";
    EXPECT_EQ(status->childAt(text.center()), status->findChild<QLabel*>("progressText"))
        << "over the pane, not under it";
    const std::pair<std::uint32_t, double> steps[] = {
        {0, 0.0}, {655, 0.01}, {32768, 0.5}, {65535, 1.0}, {70000, 1.0}};
    for (const auto& [value, fraction] : steps) {
        view_.SetProgress(value);
        EXPECT_NEAR(double(bar->value() - bar->minimum()) / (bar->maximum() - bar->minimum()),
                    fraction, 0.0002)
            << value;
    }
    EXPECT_FALSE(bar->isHidden());
    view_.HideProgress();
    EXPECT_TRUE(bar->isHidden());
}

// "Ansicht": the rows with the header's rows first, a hex search that selects the next place, and
// "Kopieren" of the selection as hex.
// Each search as a person makes it, in turn: what it selects and copies, and what the note beside
// it says. Searching again goes on behind the selection's first byte; what is not found, or is no
// hex where hex is asked for, leaves the selection and says so.
TEST_F(QtViewTest, TheReceptionViewShowsRowsFindsHexAndCopiesTheSelection) {
    HexDump dump{std::vector<std::uint8_t>(48, 0xE5), 0x3FE0, 32};
    dump.bytes[40] = 0xC3;
    dump.bytes[41] = 0x00;
    view_.ShowReceptionView(dump);
    ReceptionWindow& window = *view_.ReceptionView();
    EXPECT_EQ(window.Rows()->toPlainText().split('\n').value(2).toStdString(),
              Cp1252ToUtf8(DumpLine(dump, 2)));
    // The header's two rows are marked, the data's row is not.
    EXPECT_EQ(window.Rows()->extraSelections().size(), 2);
    const struct {
        const char* query;
        bool hex;
        ByteRange selected;
        const char* note;
        const char* copied;
    } searches[] = {
        {"c3 00", true, {40, 2}, "", "C3 00"},
        {"e5", true, {42, 1}, "", nullptr},
        {"e5", true, {43, 1}, "", "E5"},
        {"zz", true, {43, 1}, "Kein Hex: Ziffernpaare aus 0-9 und A-F erwartet", nullptr},
        {"c3 0", true, {43, 1}, "Kein Hex: Ziffernpaare aus 0-9 und A-F erwartet", nullptr},
        {"ff", true, {43, 1}, "Nicht gefunden", nullptr},
        {"zz", false, {43, 1}, "Nicht gefunden", nullptr},
    };
    for (const auto& search : searches) {
        window.Query()->setText(QString::fromUtf8(search.query));
        window.HexSearch()->setChecked(search.hex);
        window.SearchButton()->click();
        EXPECT_EQ(window.Selection(), search.selected) << search.query;
        EXPECT_EQ(window.Note()->text().toStdString(), search.note) << search.query;
        if (search.copied != nullptr) {
            window.CopyButton()->click();
            EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), search.copied);
        }
    }
}

// The listings line up in columns as a person sees them, whichever fixed font the system has (a
// system whose fixed font is proportional is played by its general font): a row of every
// character a listing shows is as wide as that many digits.
TEST_F(QtViewTest, TheListingsCharactersAllTakeOneWidth) {
    HexDump every{std::vector<std::uint8_t>(256), 0, 0};
    std::iota(every.bytes.begin(), every.bytes.end(), std::uint8_t{0});
    view_.ShowReceptionView(every);
    const QFont proportional = EvenWidthFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    const QFont fonts[] = {view_.ReceptionView()->Rows()->font(),
                           view_.Widget(ids::kMessageList)->font(), proportional};
    for (const QFont& font : fonts) {
        const QFontMetricsF metrics(font);
        const qreal digit = metrics.horizontalAdvance(QLatin1Char('0'));
        for (std::size_t row = 0; row < DumpRowCount(every); ++row) {
            const QString line = QString::fromStdString(Cp1252ToUtf8(DumpLine(every, row)));
            EXPECT_NEAR(metrics.horizontalAdvance(line), digit * line.size(), 0.5)
                << font.family().toStdString() << " row " << row;
        }
    }
}

// A box, a question too, is wide enough for its title in the title bar with the bar's icon and
// buttons beside it: a window manager would cut it ("Datei wurde… eschrieben.").
TEST_F(QtViewTest, ABoxIsWideEnoughForItsTitle) {
    test::ModalAnswers answers;
    std::vector<std::pair<QString, int>> shown;
    for (int i = 0; i < 2; ++i) {
        answers.Expect([&](QDialog* dialog) {
            shown.emplace_back(dialog->windowTitle(), dialog->width());
            dialog->reject();
        });
    }
    view_.MessageBox("/tmp/x.bin", "Datei wurde erfolgreich geschrieben.", MessageIcon::kNone);
    view_.AskYesNo("Ja?", "Datei wurde erfolgreich geschrieben.");
    ASSERT_EQ(shown.size(), 2u);
    QFont bold = QApplication::font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    for (const auto& [title, width] : shown) {
        EXPECT_GE(width, metrics.horizontalAdvance(title) + 3 * metrics.height()) << width;
    }
}

// A file dropped on the window is handed over by its local path; anything else is not.
TEST_F(QtViewTest, AFileDroppedOnTheWindowIsHandedOverByItsPath) {
    std::vector<std::string> dropped;
    view_.SetFileDropHandler([&](const std::string& path) { dropped.push_back(path); });
    // A text without a file (dragged from an editor) is no drop either.
    for (const char* url : {"file:///tmp/HELLO.Z80", "http://example.org/A.bin", ""}) {
        QMimeData data;
        *url != '\0' ? data.setUrls({QUrl(QString::fromLatin1(url))}) : data.setText("10 PRINT");
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view_.MainWindow(), &enter);
        EXPECT_EQ(enter.isAccepted(), std::string(url).starts_with("file:")) << url;
        QCoreApplication::sendEvent(view_.MainWindow(), &drop);
    }
    EXPECT_EQ(dropped, std::vector<std::string>{"/tmp/HELLO.Z80"});
}

TEST(NameFilterTest, PatternsMatchRegardlessOfCase) {
    QTemporaryDir dir;
    for (const char* name :
         {"HELLO.BIN", "hello.bin", "prog.Z80", "progz80", "GAME.com", "a.txt"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QString filter =
        NameFilter({"unterst\xFCtzte Dateien (*.bin, *z80, *.COM)", "*.bin;*z80;*.COM"});
    // Qt takes a filter's patterns from its last parenthesis.
    const auto match = QRegularExpression(QStringLiteral("\\(([^()]*)\\)$")).match(filter);
    ASSERT_TRUE(match.hasMatch());
    EXPECT_EQ(QDir(dir.path()).entryList(match.captured(1).split(u' '), QDir::Files, QDir::Name),
              QStringList({"GAME.com", "HELLO.BIN", "hello.bin", "prog.Z80", "progz80"}));
}

// Message boxes show plain text lines, file dialogs their filters and name, the folder dialog its
// folder; all report the user's choice.
TEST_F(QtViewTest, ModalDialogsShowWhatTheProgramAsksAndReportTheChoice) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("HELLO.Z80"));
    ASSERT_TRUE(QFile(path).open(QIODevice::WriteOnly));
    test::ModalAnswers answers;
    answers.Expect([this](QDialog* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), U("1. wählen, <COM öffnen>\n\n    Zeile 3"));
        EXPECT_EQ(box->textFormat(), Qt::PlainText) << "no markup in \"<COM öffnen>\"";
        EXPECT_EQ(box->windowTitle(), U("Meldung:"));
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->parentWidget(), view_.MainWindow());
    });
    answers.Expect([&](QDialog* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        EXPECT_EQ(files->findChild<QComboBox*>("fileTypeCombo")->currentText(), U("alle (*.*)"));
        files->selectNameFilter(files->nameFilters().at(0));
        files->selectFile(path);
        dialog->accept();
    });
    answers.Expect([&](QDialog* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        EXPECT_EQ(files->windowTitle(), U("HELLO.Z80"));
        EXPECT_EQ(files->findChild<QLineEdit*>("fileNameEdit")->text(), U("HELLO.Z80"));
        files->setDirectory(dir.path());
        dialog->accept();  // the file exists: no question may follow
    });
    answers.Expect([](QDialog* dialog) { dialog->reject(); });
    answers.Expect([&](QDialog* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        EXPECT_EQ(files->windowTitle(), U("Jeden Empfang sichern in"));
        EXPECT_EQ(files->fileMode(), QFileDialog::Directory);
        EXPECT_EQ(files->directory().path(), dir.path());
        files->selectFile(dir.path());
        dialog->accept();
    });

    view_.MessageBox("1. w\344hlen, <COM \366ffnen>\r\r    Zeile 3",
                     "Meldung:", MessageIcon::kError);
    const std::vector<FileFilter> filters = {{"z80", "*.z80"}, {"alle (*.*)", "*.*"}};
    int filterIndex = 1;
    const std::optional<std::string> expected = QFile::encodeName(path).toStdString();
    EXPECT_EQ(view_.AskOpenFile("Datei ausw\xE4hlen:", filters, filterIndex), expected);
    EXPECT_EQ(filterIndex, 0);
    EXPECT_EQ(view_.AskSaveFile("HELLO.Z80", "HELLO.Z80", filters), expected);
    EXPECT_EQ(view_.AskOpenFile("Datei ausw\xE4hlen:", filters, filterIndex), std::nullopt);
    const std::string folder = QFile::encodeName(dir.path()).toStdString();
    EXPECT_EQ(view_.AskFolder("Jeden Empfang sichern in", folder), folder);
    EXPECT_EQ(answers.Unexpected(), 0);
}

// However the main window goes, Qt's event loop must end, so that main() returns and the port is
// closed: the program closing it, or the window system destroying it unasked (a window manager's
// kill, "xdotool windowclose"), which Qt itself does not report.
TEST(QtWindowEnd, TheEventLoopEndsWithTheMainWindow) {
    const struct {
        const char* how;
        std::function<void(QtView&)> end;
    } cases[] = {
        {"closed by the program", [](QtView& view) { view.CloseMainWindow(); }},
        {"native window destroyed",
         [](QtView& view) { view.MainWindow()->windowHandle()->destroy(); }},
        {"destroyed on the X server",
         [](QtView& view) {
             xcb_destroy_notify_event_t event{};
             event.response_type = XCB_DESTROY_NOTIFY;
             event.event = event.window = static_cast<xcb_window_t>(view.MainWindow()->winId());
             qintptr result = 0;
             QAbstractEventDispatcher::instance()->filterNativeEvent("xcb_generic_event_t", &event,
                                                                     &result);
         }},
    };
    for (const auto& c : cases) {
        QtView view;
        test::ShowAndActivate(view.MainWindow());
        QTimer::singleShot(0, view.MainWindow(), [&] { c.end(view); });
        QTimer::singleShot(30000, view.MainWindow(), [] { QCoreApplication::exit(1); });
        EXPECT_EQ(QCoreApplication::exec(), 0) << c.how;
    }
}

// What the window shows at start is the window table's first row, on a view held to the same
// contract; here the real window's title, focus and a picture of it.
TEST(QtWindowTest, StartsWithItsTitleAndTheFocusOnTheListAndLeavesAPicture) {
    QTemporaryDir dir;
    QtLoop loop;
    QtView view;
    MainController controller(
        view, loop,
        {dir.filePath("Velotrix.ini").toStdString(), {[] { return std::vector<PortInfo>{}; }}});
    controller.Start();
    test::ShowAndActivate(view.MainWindow());
    EXPECT_EQ(view.MainWindow()->windowTitle(), QStringLiteral("V.24 Velotrix V. 0.8"));
    test::PumpEvents();
    EXPECT_EQ(view.MainWindow()->focusWidget(), view.Widget(ids::kMessageList));
    // Beside the build tree's executables, where anyone can look at it.
    const QString picture =
        QDir(QCoreApplication::applicationDirPath()).filePath("../velotrix-window.png");
    EXPECT_TRUE(view.MainWindow()->grab().save(picture));
}

}  // namespace
}  // namespace velotrix
