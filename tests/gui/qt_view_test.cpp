// The Qt window on its own: built from the layout tables, driven like a person would, texts in code
// page 1252 on the core's side.
#include "frontends/qt/qt_view.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/ids.h"
#include "gui_helpers.h"
#include "text/cp1252.h"
#include "ui-resources/layout.h"

namespace velotrix {
namespace {

using layout::ItemKind;
using test::ClickWidget;
using test::PressKey;
using test::PumpEvents;
using test::TypeText;

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class QtViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        view_ = std::make_unique<QtView>();
        view_->SetCommandHandler(log_.Handler());
    }

    template <class T>
    T* Get(int id) {
        return qobject_cast<T*>(view_->Widget(id));
    }

    std::unique_ptr<QtView> view_;
    test::CommandLog log_;
};

const char* ClassOf(ItemKind kind) {
    switch (kind) {
        case ItemKind::kPushButton:
            return "QPushButton";
        case ItemKind::kDropDownList:
            return "QComboBox";
        case ItemKind::kRadioButton:
            return "QRadioButton";
        case ItemKind::kCheckBox:
            return "QCheckBox";
        case ItemKind::kEdit:
            return "QLineEdit";
        case ItemKind::kListBox:
            return "QListWidget";
        case ItemKind::kLabel:
            return "QLabel";
        case ItemKind::kGroupBox:
            return "QGroupBox";
        case ItemKind::kFrame:
            return "QFrame";
    }
    return "";
}

QString CaptionOf(const QWidget* widget) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        return button->text();
    }
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text();
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
        return group->title();
    }
    return {};
}

TEST_F(QtViewTest, BuildsEveryItemOfTheMainDialogWithItsKindCaptionAndStartState) {
    std::map<int, QWidget*> built;
    for (QWidget* widget : view_->MainWindow()->findChildren<QWidget*>()) {
        const QVariant index = widget->property("layoutIndex");
        if (index.isValid() && widget->window() == view_->MainWindow()) {
            built[index.toInt()] = widget;
        }
    }
    const auto items = layout::MainDialog().items;
    ASSERT_EQ(items.size(), 61u);
    ASSERT_EQ(built.size(), 61u);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const layout::Item& item = items[i];
        const QWidget* widget = built[static_cast<int>(i)];
        SCOPED_TRACE(testing::Message() << "item " << i << " id " << item.id);
        EXPECT_STREQ(widget->metaObject()->className(), ClassOf(item.kind));
        EXPECT_EQ(CaptionOf(widget).toStdString(), Cp1252ToUtf8(item.caption));
        EXPECT_EQ(widget->isHidden(), (item.style & layout::kHidden) != 0);
        EXPECT_EQ(widget->isEnabled(), (item.style & layout::kDisabled) == 0);
        if (item.id != layout::kNoId) {
            EXPECT_EQ(view_->Widget(item.id), widget);
            EXPECT_EQ(widget->property("controlId").toInt(), item.id);
        }
    }
}

TEST_F(QtViewTest, StartsWithRxTypeDisabledAndTheCtsIndicatorHidden) {
    EXPECT_FALSE(view_->IsEnabled(ids::kRxType));
    EXPECT_FALSE(view_->IsVisible(ids::kCtsIndicator));
    EXPECT_TRUE(view_->IsEnabled(ids::kComButton));
    EXPECT_TRUE(view_->IsVisible(ids::kComButton));
    EXPECT_EQ(view_->MainWindow()->windowTitle(), U("V.24 Velotrix"));
    EXPECT_FALSE(view_->MainWindow()->windowIcon().isNull());
}

TEST_F(QtViewTest, TabOrderFollowsTheTable) {
    std::vector<int> expected;
    for (const layout::Item& item : layout::MainDialog().items) {
        if (item.id != layout::kNoId) {
            expected.push_back(item.id);
        }
    }
    std::vector<int> chain;
    QWidget* first = view_->Widget(expected.front());
    QWidget* widget = first;
    do {
        const QVariant id = widget->property("controlId");
        if (id.isValid() && widget->window() == view_->MainWindow()) {
            chain.push_back(id.toInt());
        }
        widget = widget->nextInFocusChain();
    } while (widget != first && chain.size() <= expected.size());
    EXPECT_EQ(chain, expected);
}

TEST_F(QtViewTest, MenuBarFollowsTheMenuTableAndDeliversCommands) {
    std::vector<std::string> titles;
    for (QAction* action : static_cast<QMainWindow*>(view_->MainWindow())->menuBar()->actions()) {
        titles.push_back(action->text().toStdString());
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"&Datei", "Test"}));
    for (const layout::MenuEntry& entry : layout::MainMenu()) {
        if (entry.kind == layout::MenuKind::kItem) {
            ASSERT_NE(view_->MenuAction(entry.commandId), nullptr) << entry.commandId;
            view_->MenuAction(entry.commandId)->trigger();
        }
    }
    EXPECT_EQ(log_.commands.size(), 6u);
    EXPECT_EQ(log_.commands.back(), std::make_pair(ids::kMenuSendText, ids::kNotifyClicked));

    view_->EnableMenuItem(ids::kMenuSendText, false);
    EXPECT_FALSE(view_->MenuAction(ids::kMenuSendText)->isEnabled());
}

TEST_F(QtViewTest, SortedComboKeepsOrderAndSelectionWhileOthersKeepInsertionOrder) {
    view_->ComboAdd(ids::kDataBitsCombo, "8");
    view_->ComboSelect(ids::kDataBitsCombo, 0);
    view_->ComboAdd(ids::kDataBitsCombo, "7");
    EXPECT_EQ(view_->ComboItem(ids::kDataBitsCombo, 0), "7");
    EXPECT_EQ(view_->ComboItem(ids::kDataBitsCombo, 1), "8");
    EXPECT_EQ(view_->ComboSelection(ids::kDataBitsCombo), 1);

    view_->ComboAdd(ids::kParityCombo, "keine");
    view_->ComboAdd(ids::kParityCombo, "gerade");
    EXPECT_EQ(view_->ComboItem(ids::kParityCombo, 0), "keine");
    EXPECT_EQ(view_->ComboItem(ids::kParityCombo, 1), "gerade");
}

TEST_F(QtViewTest, ComboSelectionIsOnlyWhatTheProgramOrTheUserChose) {
    // Qt would select the first entry of an empty box by itself; Windows leaves it unselected.
    view_->ComboAdd(ids::kBaudCombo, "300");
    view_->ComboAdd(ids::kBaudCombo, "4800");
    EXPECT_EQ(view_->ComboSelection(ids::kBaudCombo), -1);
    EXPECT_EQ(view_->GetText(ids::kBaudCombo), "");

    struct Case {
        int select;
        int expected;
    };
    for (const Case c : {Case{1, 1}, Case{2, -1}, Case{-1, -1}, Case{0, 0}}) {
        view_->ComboSelect(ids::kBaudCombo, c.select);
        EXPECT_EQ(view_->ComboSelection(ids::kBaudCombo), c.expected) << c.select;
    }
    EXPECT_TRUE(log_.commands.empty()) << "a selection by the program is not announced";

    PressKey(view_->Widget(ids::kBaudCombo), Qt::Key_Down);
    EXPECT_EQ(view_->ComboSelection(ids::kBaudCombo), 1);
    EXPECT_EQ(view_->GetText(ids::kBaudCombo), "4800");
    EXPECT_EQ(log_.commands,
              (std::vector<std::pair<int, int>>{{ids::kBaudCombo, ids::kNotifySelChange}}));

    view_->ComboClear(ids::kBaudCombo);
    EXPECT_EQ(view_->ComboCount(ids::kBaudCombo), 0);
    EXPECT_EQ(view_->ComboItem(ids::kBaudCombo, 0), "");
}

TEST_F(QtViewTest, TypingRespectsReadOnlyFieldsAndLimits) {
    struct Case {
        int id;
        const char* typed;
        const char* expected;
    };
    const Case cases[] = {
        {ids::kTxAadr, "ABCDEF", "ABCD"},
        {ids::kTxSadr, "123456", "1234"},
        {ids::kTxName, "ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOP"},
        {ids::kTextEdit, "Hallo Welt", "Hallo Welt"},
        {ids::kRxAadr, "12", ""},
        {ids::kTxKind, "x", ""},
    };
    for (const Case& c : cases) {
        TypeText(view_->Widget(c.id), U(c.typed));
        EXPECT_EQ(view_->GetText(c.id), c.expected) << c.id;
    }
}

TEST_F(QtViewTest, EditNotifiesEveryChangeAndEverySetText) {
    TypeText(view_->Widget(ids::kTxAadr), U("12"));
    EXPECT_EQ(log_.commands.size(), 2u);
    log_.commands.clear();

    view_->SetText(ids::kTxAadr, "12");
    view_->SetText(ids::kRxCrc, "BEEF");
    EXPECT_EQ(log_.commands,
              (std::vector<std::pair<int, int>>{{ids::kTxAadr, ids::kNotifyEditChange},
                                                {ids::kRxCrc, ids::kNotifyEditChange}}));
}

TEST_F(QtViewTest, TextsCrossTheBoundaryAsCodePage1252) {
    view_->SetText(ids::kComButton,
                   "COM schlie\xDF"
                   "en");
    EXPECT_EQ(Get<QPushButton>(ids::kComButton)->text(), U("COM schließen"));
    EXPECT_EQ(view_->GetText(ids::kComButton),
              "COM schlie\xDF"
              "en");

    TypeText(view_->Widget(ids::kTxName), U("Grüße"));
    EXPECT_EQ(view_->GetText(ids::kTxName),
              "Gr\xFC\xDF"
              "e");

    view_->ComboAdd(ids::kPortCombo, "\x80\x9F\xA4\xFF");
    EXPECT_EQ(Get<QComboBox>(ids::kPortCombo)->itemText(0), U("€Ÿ¤ÿ"));
    EXPECT_EQ(view_->ComboItem(ids::kPortCombo, 0), "\x80\x9F\xA4\xFF");

    view_->ListAdd(ids::kMessageList, "Parit\xE4t");
    EXPECT_EQ(Get<QListWidget>(ids::kMessageList)->item(0)->text(), U("Parität"));

    view_->SetPaneText(ids::kPanePath, "/home/j\xFCrgen/a.bin");
    EXPECT_EQ(view_->MainWindow()->findChild<QLabel*>("pane1")->text(), U("/home/jürgen/a.bin"));

    view_->SetWindowTitle(
        "Gr\xFC\xDF"
        "e");
    EXPECT_EQ(view_->MainWindow()->windowTitle(), U("Grüße"));
}

TEST_F(QtViewTest, MessageListSelectsAndScrollsToALineOrNone) {
    for (int i = 0; i < 50; ++i) {
        view_->ListAdd(ids::kMessageList, std::to_string(i));
    }
    EXPECT_EQ(view_->ListCount(ids::kMessageList), 50);
    auto* list = Get<QListWidget>(ids::kMessageList);
    view_->ListSelect(ids::kMessageList, 49);
    EXPECT_EQ(list->currentRow(), 49);
    EXPECT_EQ(list->selectedItems().size(), 1);
    view_->ListSelect(ids::kMessageList, -1);
    EXPECT_TRUE(list->selectedItems().isEmpty());
    view_->ListClear(ids::kMessageList);
    view_->ListSelect(ids::kMessageList, 0);
    EXPECT_EQ(view_->ListCount(ids::kMessageList), 0);
    EXPECT_TRUE(list->selectedItems().isEmpty());
}

TEST_F(QtViewTest, EnterPressesTheFocusedPushButtonElseTheDefaultButton) {
    test::ShowAndActivate(view_->MainWindow());
    view_->Enable(ids::kSaveButton, false);
    struct Case {
        int focus;
        int pressed;
    };
    const Case cases[] = {
        {ids::kTxName, ids::kComButton},      {ids::kMessageList, ids::kComButton},
        {ids::kBaudCombo, ids::kComButton},   {ids::kProgressCheck, ids::kComButton},
        {ids::kLoadButton, ids::kLoadButton}, {ids::kComButton, ids::kComButton},
        {ids::kSaveButton, ids::kComButton},  // disabled: cannot hold the focus
    };
    for (const Case& c : cases) {
        log_.commands.clear();
        view_->Widget(c.focus)->setFocus();
        PressKey(view_->MainWindow()->focusWidget(), Qt::Key_Return);
        EXPECT_EQ(log_.commands,
                  (std::vector<std::pair<int, int>>{{c.pressed, ids::kNotifyClicked}}))
            << "focus on " << c.focus;
    }
}

TEST_F(QtViewTest, EscapeSendsCancelAndTheCloseBoxOnlyAsks) {
    test::ShowAndActivate(view_->MainWindow());
    for (int focus : {ids::kTxName, ids::kMessageList, ids::kLoadButton}) {
        log_.commands.clear();
        view_->Widget(focus)->setFocus();
        PressKey(view_->MainWindow()->focusWidget(), Qt::Key_Escape);
        EXPECT_EQ(log_.commands, (std::vector<std::pair<int, int>>{{ids::kCancel, 0}})) << focus;
    }

    log_.commands.clear();
    view_->MainWindow()->close();
    EXPECT_TRUE(view_->MainWindow()->isVisible());
    EXPECT_EQ(log_.commands, (std::vector<std::pair<int, int>>{{ids::kCloseBox, 0}}));

    // The controller decides inside the close box's command that the window goes.
    view_->SetCommandHandler([this](int id, int) {
        if (id == ids::kCloseBox) {
            view_->CloseMainWindow();
        }
    });
    view_->MainWindow()->close();
    EXPECT_FALSE(view_->MainWindow()->isVisible());
}

TEST_F(QtViewTest, CtsIndicatorChangesOnlyWhenTheProgramSetsIt) {
    view_->Show(ids::kCtsIndicator, true);
    QWidget* indicator = view_->Widget(ids::kCtsIndicator);
    for (bool programState : {false, true, false}) {
        view_->SetCheck(ids::kCtsIndicator, programState);
        ClickWidget(indicator);
        EXPECT_EQ(view_->IsChecked(ids::kCtsIndicator), programState);
    }
    EXPECT_EQ(indicator->layoutDirection(), Qt::RightToLeft) << "text on the left";
}

TEST_F(QtViewTest, CheckBoxesToggleBeforeTheirCommandGoesOut) {
    std::vector<bool> statesSeen;
    view_->SetCommandHandler([&](int id, int code) {
        EXPECT_EQ(code, ids::kNotifyClicked);
        statesSeen.push_back(view_->IsChecked(id));
    });
    for (int id : {ids::kContinuousCheck, ids::kBinModeCheck, ids::kProgressCheck}) {
        statesSeen.clear();
        ClickWidget(view_->Widget(id));
        ClickWidget(view_->Widget(id));
        EXPECT_EQ(statesSeen, (std::vector<bool>{true, false})) << id;
    }
}

TEST_F(QtViewTest, StatusPanesEndAt50_450And550AndTheLastAtTheWindowEdge) {
    QWidget* status = view_->Widget(ids::kStatusBar);
    ASSERT_NE(status, nullptr);
    const int expected[] = {50, 450, 550, status->width()};
    int previousRight = 0;
    for (int pane = 0; pane < 4; ++pane) {
        const QRect rect =
            status->findChild<QLabel*>(QStringLiteral("pane%1").arg(pane))->geometry();
        EXPECT_EQ(rect.x() + rect.width(), expected[pane]) << pane;
        EXPECT_GE(rect.x(), previousRight) << pane;
        previousRight = rect.x() + rect.width();
    }
    const QWidget* client = status->parentWidget();
    EXPECT_EQ(status->geometry().bottom(), client->height() - 1) << "docked at the bottom";
    EXPECT_GE(status->y(), view_->Widget(ids::kMessageList)->geometry().bottom());
}

TEST_F(QtViewTest, ProgressBarOverPaneThreeShowsRealProgressOfA64KiBBlock) {
    auto* bar = view_->MainWindow()->findChild<QProgressBar*>("progress");
    const QLabel* pane3 = view_->MainWindow()->findChild<QLabel*>("pane3");
    EXPECT_TRUE(bar->isHidden());
    view_->ShowProgress(65536);
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(bar->geometry(), pane3->geometry());
    auto fraction = [bar] {
        return double(bar->value() - bar->minimum()) / double(bar->maximum() - bar->minimum());
    };
    struct Case {
        std::uint32_t value;
        double expected;
    };
    for (const Case c : {Case{0, 0.0}, Case{655, 0.01}, Case{32768, 0.5}, Case{65535, 1.0},
                         Case{65536, 1.0}, Case{70000, 1.0}}) {
        view_->SetProgress(c.value);
        EXPECT_NEAR(fraction(), c.expected, 0.0002) << c.value;
    }
    view_->ShowProgress(32);
    EXPECT_EQ(fraction(), 0.0) << "a new send starts empty";
    view_->SetProgress(16);
    EXPECT_NEAR(fraction(), 0.5, 0.0002);
    view_->HideProgress();
    EXPECT_TRUE(bar->isHidden());
}

TEST_F(QtViewTest, MessageBoxShowsPlainTextLinesWithCaptionAndIcon) {
    struct Case {
        MessageIcon icon;
        QMessageBox::Icon shown;
    };
    for (const Case c : {Case{MessageIcon::kError, QMessageBox::Critical},
                         Case{MessageIcon::kNone, QMessageBox::NoIcon},
                         Case{MessageIcon::kInformation, QMessageBox::Information}}) {
        test::ModalAnswers answers;
        answers.Expect([&](QDialog* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text(), U("1. wählen, <COM öffnen>\n\n    Zeile 3"));
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            EXPECT_EQ(box->windowTitle(), U("Meldung:"));
            EXPECT_EQ(box->icon(), c.shown);
            EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
            EXPECT_EQ(box->parentWidget(), view_->MainWindow());
            box->accept();
        });
        view_->MessageBox(
            "1. w\xE4hlen, <COM \xF6"
            "ffnen>\r\r    Zeile 3",
            "Meldung:", c.icon);
        EXPECT_EQ(answers.Answered(), 1);
        EXPECT_EQ(answers.Unexpected(), 0);
    }
}

TEST(NameFilterTest, PatternsMatchRegardlessOfCase) {
    QTemporaryDir dir;
    for (const char* name :
         {"HELLO.BIN", "hello.bin", "prog.Z80", "progz80", "GAME.com", "a.txt", "bin.txt"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    struct Case {
        FileFilter filter;
        QStringList shown;
    };
    const Case cases[] = {
        {{"unterst\xFCtzte Dateien (*.bin, *z80, *.COM)", "*.bin;*z80;*.COM"},
         {"GAME.com", "HELLO.BIN", "hello.bin", "prog.Z80", "progz80"}},
        {{"alle Dateien (*.*)", "*.*"},
         {"GAME.com", "HELLO.BIN", "a.txt", "bin.txt", "hello.bin", "prog.Z80"}},
    };
    // Qt takes a filter's patterns from its last parenthesis.
    const QRegularExpression lastParenthesis(QStringLiteral("\\(([^()]*)\\)$"));
    for (const Case& c : cases) {
        const QString filter = NameFilter(c.filter);
        const QRegularExpressionMatch match = lastParenthesis.match(filter);
        ASSERT_TRUE(match.hasMatch()) << filter.toStdString();
        const QStringList patterns = match.captured(1).split(u' ');
        const QStringList found = QDir(dir.path()).entryList(patterns, QDir::Files, QDir::Name);
        EXPECT_EQ(found, c.shown) << filter.toStdString();
    }
}

TEST_F(QtViewTest, OpenDialogShowsTheChosenFilterAndReportsTheOneUsed) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("HELLO.BIN"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const std::vector<FileFilter> filters = {{"unterst\xFCtzte Dateien (*.bin)", "*.bin"},
                                             {"alle Dateien (*.*)", "*.*"}};
    test::ModalAnswers answers;
    answers.Expect([&](QDialog* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        ASSERT_NE(files, nullptr);
        EXPECT_EQ(files->windowTitle(), U("Datei auswählen:"));
        EXPECT_EQ(files->fileMode(), QFileDialog::ExistingFile);
        const auto* shownFilter = files->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(shownFilter, nullptr);
        EXPECT_EQ(shownFilter->currentText(), U("alle Dateien (*.*)"));
        files->selectNameFilter(files->nameFilters().at(0));
        files->setDirectory(dir.path());
        files->selectFile(path);
        dialog->accept();
    });
    answers.Expect([](QDialog* dialog) { dialog->reject(); });

    int filterIndex = 1;
    const auto chosen = view_->AskOpenFile("Datei ausw\xE4hlen:", filters, filterIndex);
    EXPECT_EQ(chosen, std::optional<std::string>(QFile::encodeName(path).toStdString()));
    EXPECT_EQ(filterIndex, 0);

    EXPECT_EQ(view_->AskOpenFile("Datei ausw\xE4hlen:", filters, filterIndex), std::nullopt);
    EXPECT_EQ(filterIndex, 0) << "a cancelled dialog leaves the filter index";
    EXPECT_EQ(answers.Unexpected(), 0);
}

TEST_F(QtViewTest, SaveDialogSuggestsTheNameAndReplacesWithoutAsking) {
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("HELLO.Z80"));
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    test::ModalAnswers answers;
    answers.Expect([&](QDialog* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        ASSERT_NE(files, nullptr);
        EXPECT_EQ(files->windowTitle(), U("HELLO.Z80"));
        EXPECT_EQ(files->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_TRUE(files->testOption(QFileDialog::DontConfirmOverwrite));
        const auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->text(), U("HELLO.Z80"));
        files->setDirectory(dir.path());
        files->selectFile(existing);
        dialog->accept();
    });
    const auto chosen = view_->AskSaveFile("HELLO.Z80", "HELLO.Z80", {{"Alle Dateien", "*.*"}});
    EXPECT_EQ(chosen, std::optional<std::string>(QFile::encodeName(existing).toStdString()));
    EXPECT_EQ(answers.Unexpected(), 0) << "no question about replacing the file";
}

TEST_F(QtViewTest, TextDialogOpensWithoutWaitingAndItsCloseBoxIsACommand) {
    test::ShowAndActivate(view_->MainWindow());
    view_->OpenTextDialog();
    QDialog* dialog = view_->TextDialogWidget();
    ASSERT_TRUE(view_->IsTextDialogOpen());
    EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
    EXPECT_EQ(dialog->parentWidget(), view_->MainWindow());
    EXPECT_EQ(dialog->windowTitle(), U("String senden"));
    EXPECT_EQ(view_->GetText(ids::kTextClose),
              "schlie\xDF"
              "en");

    ClickWidget(view_->Widget(ids::kTextSend));
    dialog->close();
    EXPECT_TRUE(view_->IsTextDialogOpen()) << "only the controller closes it";
    view_->Widget(ids::kTextEdit)->setFocus();
    PressKey(view_->Widget(ids::kTextEdit), Qt::Key_Escape);
    PressKey(view_->Widget(ids::kTextEdit), Qt::Key_Return);
    EXPECT_TRUE(view_->IsTextDialogOpen());
    EXPECT_EQ(log_.commands,
              (std::vector<std::pair<int, int>>{{ids::kTextSend, ids::kNotifyClicked},
                                                {ids::kTextClose, ids::kNotifyClicked}}));

    view_->CloseTextDialog();
    EXPECT_FALSE(view_->IsTextDialogOpen());
}

}  // namespace
}  // namespace velotrix
