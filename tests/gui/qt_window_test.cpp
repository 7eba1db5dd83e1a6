// The whole Qt window with its controller: the start state, quitting, the info box, the CTS
// warnings, and a picture of the window for people to look at.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "app/controller.h"
#include "app/ids.h"
#include "frontends/qt/qt_loop.h"
#include "frontends/qt/qt_view.h"
#include "gui_helpers.h"

namespace velotrix {
namespace {

using test::PressKey;

class QtWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ControllerEnvironment environment{
            dir_.filePath(QStringLiteral("Velotrix.ini")).toStdString()};
        environment.listPorts = [] { return std::vector<PortInfo>{}; };
        controller_ = std::make_unique<MainController>(view_, loop_, std::move(environment));
        controller_->Start();
        test::ShowAndActivate(view_.MainWindow());
    }

    void TearDown() override { controller_.reset(); }

    // Next to the build tree's executables, where anyone can look at it.
    static QString PicturePath(const char* name) {
        return QDir(QCoreApplication::applicationDirPath())
            .filePath(QStringLiteral("../%1").arg(QLatin1String(name)));
    }

    QTemporaryDir dir_;
    QtLoop loop_;
    QtView view_;
    std::unique_ptr<MainController> controller_;
};

TEST_F(QtWindowTest, StartsClosedWithDefaultsAndProgressDisplayOn) {
    EXPECT_EQ(view_.MainWindow()->windowTitle(), QStringLiteral("V.24 Velotrix V. 0.8"));
    EXPECT_TRUE(view_.IsChecked(ids::kProgressCheck));
    EXPECT_FALSE(view_.IsChecked(ids::kContinuousCheck));
    EXPECT_FALSE(view_.IsChecked(ids::kBinModeCheck));
    EXPECT_EQ(view_.ComboCount(ids::kPortCombo), 0);
    EXPECT_EQ(view_.ComboSelection(ids::kPortCombo), -1);

    struct Shown {
        int id;
        const char* text;
    };
    for (const Shown s : {Shown{ids::kBaudCombo, "4800"}, Shown{ids::kParityCombo, "keine"},
                          Shown{ids::kDataBitsCombo, "8"}, Shown{ids::kStopBitsCombo, "1"},
                          Shown{ids::kFlowCombo, "keine"}, Shown{ids::kPauseCombo, "keine"},
                          Shown{ids::kComButton,
                                "COM \xF6"
                                "ffnen"},
                          Shown{ids::kTxName, " "}}) {
        EXPECT_EQ(view_.GetText(s.id), s.text) << s.id;
    }
    EXPECT_EQ(view_.ComboItem(ids::kDataBitsCombo, 0), "7");

    for (int id : {ids::kPortCombo, ids::kBaudCombo, ids::kFlowCombo, ids::kComButton}) {
        EXPECT_TRUE(view_.IsEnabled(id)) << id;
    }
    for (int id : {ids::kLoadButton, ids::kSendFileButton, ids::kRefreshButton, ids::kSaveButton,
                   ids::kRxType}) {
        EXPECT_FALSE(view_.IsEnabled(id)) << id;
    }
    EXPECT_FALSE(view_.IsVisible(ids::kCtsIndicator));
    EXPECT_FALSE(view_.MenuAction(ids::kMenuSendText)->isEnabled());
    EXPECT_EQ(view_.MainWindow()->findChild<QLabel*>("pane0")->text(), QStringLiteral("Puffer:"));
    test::PumpEvents();
    EXPECT_EQ(view_.MainWindow()->focusWidget(), view_.Widget(ids::kMessageList));
}

TEST_F(QtWindowTest, EscapeEndsTheWindow) {
    PressKey(view_.MainWindow()->focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(controller_->Finished());
    EXPECT_FALSE(view_.MainWindow()->isVisible());
}

TEST_F(QtWindowTest, CloseBoxEndsTheWindow) {
    view_.MainWindow()->close();
    EXPECT_TRUE(controller_->Finished());
    EXPECT_FALSE(view_.MainWindow()->isVisible());
}

TEST_F(QtWindowTest, InfoBoxShowsElevenPlainLines) {
    test::ModalAnswers answers;
    answers.Expect([](QDialog* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        ASSERT_NE(box, nullptr);
        const QStringList lines = box->text().split(u'\n');
        ASSERT_EQ(lines.size(), 11);
        EXPECT_EQ(lines[4], QString::fromUtf8("1. Protokoll-Einstellungen wählen, <COM öffnen>"));
        EXPECT_EQ(
            lines[7],
            QStringLiteral("    geschlossen und kann als Datei mit <SICHERN> abgelegt werden."));
        EXPECT_EQ(box->windowTitle(), QStringLiteral("V.24 Velotrix V. 0.8"));
        box->accept();
    });
    view_.MenuAction(ids::kMenuInfo)->trigger();
    EXPECT_EQ(answers.Answered(), 1);
}

TEST_F(QtWindowTest, ChoosingCtsListsWarningsAndChoosingNoneClearsThem) {
    QWidget* flow = view_.Widget(ids::kFlowCombo);
    PressKey(flow, Qt::Key_Down);
    ASSERT_EQ(view_.GetText(ids::kFlowCombo), "CTS");
    EXPECT_EQ(view_.ListCount(ids::kMessageList), 3);
    PressKey(flow, Qt::Key_Up);
    EXPECT_EQ(view_.ListCount(ids::kMessageList), 0);
}

TEST_F(QtWindowTest, PicturesOfTheWindows) {
    const QPixmap window = view_.MainWindow()->grab();
    EXPECT_EQ(window.size(), view_.MainWindow()->size());
    EXPECT_TRUE(window.save(PicturePath("velotrix-window.png")));

    view_.MenuAction(ids::kMenuSendText)->setEnabled(true);
    view_.OpenTextDialog();
    EXPECT_TRUE(view_.TextDialogWidget()->grab().save(PicturePath("velotrix-text-dialog.png")));
    view_.CloseTextDialog();
}

}  // namespace
}  // namespace velotrix
