// The whole Qt window with its controller: the start state, the user's choices reaching the
// controller, quitting, and pictures of both windows for people to look at.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "app/controller.h"
#include "app/ids.h"
#include "frontends/qt/qt_loop.h"
#include "frontends/qt/qt_view.h"
#include "gui_helpers.h"

namespace velotrix {
namespace {

class QtWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ControllerEnvironment environment{dir_.filePath("Velotrix.ini").toStdString()};
        environment.listPorts = [] { return std::vector<PortInfo>{}; };
        controller_ = std::make_unique<MainController>(view_, loop_, std::move(environment));
        controller_->Start();
        test::ShowAndActivate(view_.MainWindow());
    }

    // Beside the build tree's executables, where anyone can look at it.
    static QString PicturePath(const char* name) {
        return QDir(QCoreApplication::applicationDirPath()).filePath(QLatin1String("../") + name);
    }

    QTemporaryDir dir_;
    QtLoop loop_;
    QtView view_;
    std::unique_ptr<MainController> controller_;
};

TEST_F(QtWindowTest, StartsClosedWithDefaultsAndProgressDisplayOn) {
    EXPECT_EQ(view_.MainWindow()->windowTitle(), QStringLiteral("V.24 Velotrix V. 0.8"));
    EXPECT_TRUE(view_.IsChecked(ids::kProgressCheck));
    EXPECT_FALSE(view_.IsChecked(ids::kContinuousCheck) || view_.IsChecked(ids::kBinModeCheck));
    EXPECT_EQ(view_.ComboCount(ids::kPortCombo), 0);
    const std::pair<int, const char*> shown[] = {{ids::kBaudCombo, "4800"},
                                                 {ids::kParityCombo, "keine"},
                                                 {ids::kDataBitsCombo, "8"},
                                                 {ids::kStopBitsCombo, "1"},
                                                 {ids::kFlowCombo, "keine"},
                                                 {ids::kPauseCombo, "keine"},
                                                 {ids::kComButton,
                                                  "COM \xF6"
                                                  "ffnen"}};
    for (const auto& [id, text] : shown) {
        EXPECT_EQ(view_.GetText(id), text) << id;
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

TEST_F(QtWindowTest, ChoosingCtsListsWarningsAndEscapeQuits) {
    test::PressKey(view_.Widget(ids::kFlowCombo), Qt::Key_Down);
    EXPECT_EQ(view_.ListCount(ids::kMessageList), 3);
    test::PressKey(view_.Widget(ids::kFlowCombo), Qt::Key_Up);
    EXPECT_EQ(view_.ListCount(ids::kMessageList), 0);
    test::PressKey(view_.Widget(ids::kMessageList), Qt::Key_Escape);
    EXPECT_TRUE(controller_->Finished());
    EXPECT_FALSE(view_.MainWindow()->isVisible());
}

TEST_F(QtWindowTest, PicturesOfTheWindows) {
    EXPECT_TRUE(view_.MainWindow()->grab().save(PicturePath("velotrix-window.png")));
    view_.OpenTextDialog();
    EXPECT_TRUE(view_.TextDialogWidget()->grab().save(PicturePath("velotrix-text-dialog.png")));
    view_.CloseTextDialog();
}

}  // namespace
}  // namespace velotrix
