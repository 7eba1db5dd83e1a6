// The whole Qt window with its controller: the start state, the user's choices reaching the
// controller, quitting, and a picture of the window for people to look at.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "app/controller.h"
#include "frontends/qt/qt_loop.h"
#include "frontends/qt/qt_view.h"
#include "gui_helpers.h"
#include "ui-resources/ids.h"

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

    QTemporaryDir dir_;
    QtLoop loop_;
    QtView view_;
    std::unique_ptr<MainController> controller_;
};

TEST_F(QtWindowTest, StartsClosedWithDefaultsAndProgressDisplayOnAndLeavesAPicture) {
    EXPECT_EQ(view_.MainWindow()->windowTitle(), QStringLiteral("V.24 Velotrix V. 0.8"));
    EXPECT_TRUE(view_.IsChecked(ids::kProgressCheck));
    std::vector<std::string> texts;
    for (int id : {ids::kBaudCombo, ids::kParityCombo, ids::kDataBitsCombo, ids::kStopBitsCombo,
                   ids::kFlowCombo, ids::kPauseCombo, ids::kComButton}) {
        texts.push_back(view_.GetText(id));
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"4800", "keine", "8", "1", "keine", "keine",
                                               "COM \366ffnen"}));
    for (int id : {ids::kLoadButton, ids::kSendFileButton, ids::kRefreshButton, ids::kSaveButton,
                   ids::kRxType}) {
        EXPECT_FALSE(view_.IsEnabled(id)) << id;
    }
    EXPECT_FALSE(view_.IsVisible(ids::kCtsIndicator));
    EXPECT_FALSE(view_.MenuAction(ids::kMenuSendText)->isEnabled());
    EXPECT_EQ(view_.MainWindow()->findChild<QLabel*>("pane0")->text(), QStringLiteral("Puffer:"));
    test::PumpEvents();
    EXPECT_EQ(view_.MainWindow()->focusWidget(), view_.Widget(ids::kMessageList));
    // Beside the build tree's executables, where anyone can look at it.
    const QString picture =
        QDir(QCoreApplication::applicationDirPath()).filePath("../velotrix-window.png");
    EXPECT_TRUE(view_.MainWindow()->grab().save(picture));
}

TEST_F(QtWindowTest, ChoosingCtsListsWarningsAndEscapeQuits) {
    test::PressKey(view_.Widget(ids::kFlowCombo), Qt::Key_Down);
    EXPECT_EQ(view_.ListCount(ids::kMessageList), 3);
    test::PressKey(view_.Widget(ids::kMessageList), Qt::Key_Escape);
    EXPECT_TRUE(controller_->Finished());
    EXPECT_FALSE(view_.MainWindow()->isVisible());
}

}  // namespace
}  // namespace velotrix
