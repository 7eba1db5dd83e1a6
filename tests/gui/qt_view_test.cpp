// The Qt window on its own: built from the layout tables, driven like a person would, texts in code
// page 1252 on the core's side.
#include "frontends/qt/qt_view.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <map>
#include <utility>
#include <vector>

#include "gui_helpers.h"
#include "text/cp1252.h"
#include "ui-resources/ids.h"

namespace velotrix {
namespace {

using test::ClickWidget;
using test::PressKey;
using test::TypeText;
using Commands = std::vector<std::pair<int, int>>;

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class QtViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        view_.SetCommandHandler([this](int id, int code) { commands_.emplace_back(id, code); });
    }
    QtView view_;
    Commands commands_;
};

TEST_F(QtViewTest, BuildsEveryItemOfTheTablesWithKindCaptionStateAndTabOrder) {
    const char* classes[] = {"QPushButton", "QComboBox", "QRadioButton", "QCheckBox", "QLineEdit",
                             "QListWidget", "QLabel",    "QGroupBox",    "QFrame"};
    std::map<int, QWidget*> built;
    for (QWidget* widget : view_.MainWindow()->findChildren<QWidget*>()) {
        if (widget->property("layoutIndex").isValid() && widget->window() == view_.MainWindow()) {
            built[widget->property("layoutIndex").toInt()] = widget;
        }
    }
    const auto items = layout::MainDialog().items;
    ASSERT_EQ(built.size(), 61u);
    std::vector<int> tabStops;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const layout::Item& item = items[i];
        const QWidget* widget = built[static_cast<int>(i)];
        SCOPED_TRACE(testing::Message() << "item " << i << " id " << item.id);
        EXPECT_STREQ(widget->metaObject()->className(), classes[static_cast<int>(item.kind)]);
        QString caption =
            widget->property("text").toString() + widget->property("title").toString();
        EXPECT_EQ(caption.toStdString(), Cp1252ToUtf8(item.caption));
        EXPECT_EQ(widget->isHidden(), (item.style & layout::kHidden) != 0);
        EXPECT_EQ(widget->isEnabled(), (item.style & layout::kDisabled) == 0);
        if (item.id != layout::kNoId) {
            EXPECT_EQ(view_.Widget(item.id), widget);
            tabStops.push_back(item.id);
        }
    }
    std::vector<int> chain;
    QWidget* widget = view_.Widget(tabStops.front());
    do {
        if (widget->property("controlId").isValid() && widget->window() == view_.MainWindow()) {
            chain.push_back(widget->property("controlId").toInt());
        }
        widget = widget->nextInFocusChain();
    } while (widget != view_.Widget(tabStops.front()) && chain.size() <= tabStops.size());
    EXPECT_EQ(chain, tabStops);
}

TEST_F(QtViewTest, MenuCommandsReachTheHandler) {
    for (int id : {ids::kMenuInfo, ids::kMenuLoadPrefs, ids::kMenuSavePrefs, ids::kMenuQuit,
                   ids::kMenuProbePorts, ids::kMenuSendText}) {
        view_.MenuAction(id)->trigger();
    }
    EXPECT_EQ(commands_.size(), 6u);
    view_.EnableMenuItem(ids::kMenuSendText, false);
    view_.MenuAction(ids::kMenuSendText)->trigger();
    EXPECT_EQ(commands_.size(), 6u);
}

TEST_F(QtViewTest, CombosKeepTheirOrderOnlyTheUserSelectsWithANotificationTextsAreCp1252) {
    for (const char* bits : {"8", "7"}) {
        view_.ComboAdd(ids::kDataBitsCombo, bits);
        view_.ComboAdd(ids::kParityCombo, bits);
    }
    EXPECT_EQ(view_.ComboItem(ids::kDataBitsCombo, 0), "7") << "sorted";
    EXPECT_EQ(view_.ComboItem(ids::kParityCombo, 0), "8") << "unsorted";
    // Qt would select the first entry of an empty box by itself; Windows leaves it unselected.
    EXPECT_EQ(view_.ComboSelection(ids::kDataBitsCombo), -1);
    view_.ComboSelect(ids::kDataBitsCombo, 2);
    EXPECT_EQ(view_.ComboSelection(ids::kDataBitsCombo), -1);
    view_.ComboSelect(ids::kDataBitsCombo, 0);
    EXPECT_TRUE(commands_.empty());
    PressKey(view_.Widget(ids::kDataBitsCombo), Qt::Key_Down);
    EXPECT_EQ(view_.GetText(ids::kDataBitsCombo), "8");
    EXPECT_EQ(commands_, (Commands{{ids::kDataBitsCombo, ids::kNotifySelChange}}));
    // Texts cross the boundary as code page 1252 both ways.
    view_.SetText(ids::kComButton, "COM schlie\337en");
    EXPECT_EQ(view_.Widget(ids::kComButton)->property("text").toString(), U("COM schließen"));
    EXPECT_EQ(view_.GetText(ids::kComButton), "COM schlie\337en");
    view_.ComboAdd(ids::kPortCombo, "\x80\x9F\xA4\xFF");
    EXPECT_EQ(qobject_cast<QComboBox*>(view_.Widget(ids::kPortCombo))->itemText(0), U("€Ÿ¤ÿ"));
    EXPECT_EQ(view_.ComboItem(ids::kPortCombo, 0), "\x80\x9F\xA4\xFF");
}

TEST_F(QtViewTest, EditsTakeWhatTheirLimitsAllowAndReportEveryChange) {
    const struct {
        int id;
        const char* typed;
        const char* kept;
    } cases[] = {{ids::kTxAadr, "ABCDEF", "ABCD"},
                 {ids::kTxSadr, "123456", "1234"},
                 {ids::kTxName, "ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOP"},
                 {ids::kRxAadr, "12", ""},
                 {ids::kTxName, "Grüße", "Gr\374\337e"}};
    for (const auto& c : cases) {
        view_.SetText(c.id, "");
        TypeText(view_.Widget(c.id), U(c.typed));
        EXPECT_EQ(view_.GetText(c.id), c.kept) << c.id;
    }
    commands_.clear();
    view_.SetText(ids::kTxAadr, "ABCD");  // unchanged: Windows still reports it
    EXPECT_EQ(commands_, (Commands{{ids::kTxAadr, ids::kNotifyEditChange}}));
}

TEST_F(QtViewTest, EnterEscapeAndTheCloseBoxActAsInADialog) {
    test::ShowAndActivate(view_.MainWindow());
    view_.Enable(ids::kSaveButton, false);
    const struct {
        int focus;
        int key;
        int command;
    } cases[] = {{ids::kTxName, Qt::Key_Return, ids::kComButton},
                 {ids::kSaveButton, Qt::Key_Return, ids::kComButton},  // disabled: no focus
                 {ids::kMessageList, Qt::Key_Enter, ids::kComButton},
                 {ids::kBaudCombo, Qt::Key_Return, ids::kComButton},
                 {ids::kLoadButton, Qt::Key_Return, ids::kLoadButton},
                 {ids::kTxName, Qt::Key_Escape, ids::kCancel},
                 {ids::kLoadButton, Qt::Key_Escape, ids::kCancel}};
    for (const auto& c : cases) {
        commands_.clear();
        view_.Widget(c.focus)->setFocus();
        PressKey(view_.MainWindow()->focusWidget(), c.key);
        EXPECT_EQ(commands_, (Commands{{c.command, ids::kNotifyClicked}})) << c.focus;
    }
    commands_.clear();
    view_.MainWindow()->close();
    EXPECT_TRUE(view_.MainWindow()->isVisible()) << "the controller decides";
    // A controller that ends the window from within the close box's command.
    view_.SetCommandHandler([this](int, int) { view_.CloseMainWindow(); });
    view_.MainWindow()->close();
    EXPECT_FALSE(view_.MainWindow()->isVisible());
}

TEST_F(QtViewTest, OnlyAutomaticButtonsToggleAndBeforeTheirCommand) {
    view_.Show(ids::kCtsIndicator, true);
    std::vector<bool> seen;
    view_.SetCommandHandler([&](int id, int) { seen.push_back(view_.IsChecked(id)); });
    for (int id : {ids::kContinuousCheck, ids::kBinModeCheck, ids::kProgressCheck}) {
        ClickWidget(view_.Widget(id));
        ClickWidget(view_.Widget(id));
    }
    EXPECT_EQ(seen, (std::vector<bool>{true, false, true, false, true, false}));
    view_.SetCheck(ids::kCtsIndicator, true);
    ClickWidget(view_.Widget(ids::kCtsIndicator));
    EXPECT_TRUE(view_.IsChecked(ids::kCtsIndicator));
}

TEST_F(QtViewTest, StatusPanesAndTheProgressBarOverPaneThree) {
    QWidget* status = view_.Widget(ids::kStatusBar);
    const int rightEdges[] = {50, 450, 550, status->width()};
    for (int pane = 0; pane < 4; ++pane) {
        const QRect rect =
            status->findChild<QLabel*>(QStringLiteral("pane%1").arg(pane))->geometry();
        EXPECT_EQ(rect.x() + rect.width(), rightEdges[pane]) << pane;
    }
    EXPECT_EQ(status->geometry().bottom(), status->parentWidget()->height() - 1);

    auto* bar = status->findChild<QProgressBar*>();
    view_.ShowProgress(65536);
    EXPECT_EQ(bar->geometry(), status->findChild<QLabel*>("pane3")->geometry());
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

TEST_F(QtViewTest, MessageBoxShowsPlainTextLinesWithCaptionAndIcon) {
    test::ModalAnswers answers;
    answers.Expect([this](QDialog* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), U("1. wählen, <COM öffnen>\n\n    Zeile 3"));
        EXPECT_EQ(box->textFormat(), Qt::PlainText) << "no markup in \"<COM öffnen>\"";
        EXPECT_EQ(box->windowTitle(), U("Meldung:"));
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->parentWidget(), view_.MainWindow());
        box->accept();
    });
    view_.MessageBox("1. w\344hlen, <COM \366ffnen>\r\r    Zeile 3",
                     "Meldung:", MessageIcon::kError);
    EXPECT_EQ(answers.Unexpected(), 0);
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

TEST_F(QtViewTest, FileDialogsShowTheirFilterAndNameAndReportTheChoice) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("HELLO.Z80"));
    ASSERT_TRUE(QFile(path).open(QIODevice::WriteOnly));
    test::ModalAnswers answers;
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

    const std::vector<FileFilter> filters = {{"z80", "*.z80"}, {"alle (*.*)", "*.*"}};
    int filterIndex = 1;
    const std::optional<std::string> expected = QFile::encodeName(path).toStdString();
    EXPECT_EQ(view_.AskOpenFile("Datei ausw\xE4hlen:", filters, filterIndex), expected);
    EXPECT_EQ(filterIndex, 0);
    EXPECT_EQ(view_.AskSaveFile("HELLO.Z80", "HELLO.Z80", filters), expected);
    EXPECT_EQ(view_.AskOpenFile("Datei ausw\xE4hlen:", filters, filterIndex), std::nullopt);
    EXPECT_EQ(answers.Unexpected(), 0);
}

TEST_F(QtViewTest, TextDialogOpensWithoutWaitingAndOnlyTheControllerClosesIt) {
    test::ShowAndActivate(view_.MainWindow());
    view_.OpenTextDialog();
    QDialog* dialog = view_.TextDialogWidget();
    ASSERT_TRUE(view_.IsTextDialogOpen());
    EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
    ClickWidget(view_.Widget(ids::kTextSend));
    dialog->close();
    PressKey(view_.Widget(ids::kTextEdit), Qt::Key_Escape);
    PressKey(view_.Widget(ids::kTextEdit), Qt::Key_Return);
    EXPECT_TRUE(view_.IsTextDialogOpen());
    EXPECT_EQ(commands_, (Commands{{ids::kTextSend, ids::kNotifyClicked},
                                   {ids::kTextClose, ids::kNotifyClicked}}));
    view_.CloseTextDialog();
    EXPECT_FALSE(view_.IsTextDialogOpen());
}

}  // namespace
}  // namespace velotrix
