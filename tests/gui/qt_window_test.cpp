// The whole Qt window with its controller as a person first sees it, and a picture of the window
// for people to look at.
#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>
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
        ControllerEnvironment environment{dir_.filePath("Velotrix.ini").toStdString(), {}};
        environment.devices.listPorts = [] { return std::vector<PortInfo>{}; };
        controller_ = std::make_unique<MainController>(view_, loop_, std::move(environment));
        controller_->Start();
        test::ShowAndActivate(view_.MainWindow());
    }

    QTemporaryDir dir_;
    QtLoop loop_;
    QtView view_;
    std::unique_ptr<MainController> controller_;
};

// What the window shows at start is the window table's first row, on a view held to the same
// contract; here the real window's title, focus and a picture of it.
TEST_F(QtWindowTest, StartsWithItsTitleAndTheFocusOnTheListAndLeavesAPicture) {
    EXPECT_EQ(view_.MainWindow()->windowTitle(), QStringLiteral("V.24 Velotrix V. 0.8"));
    test::PumpEvents();
    EXPECT_EQ(view_.MainWindow()->focusWidget(), view_.Widget(ids::kMessageList));
    // Beside the build tree's executables, where anyone can look at it.
    const QString picture =
        QDir(QCoreApplication::applicationDirPath()).filePath("../velotrix-window.png");
    EXPECT_TRUE(view_.MainWindow()->grab().save(picture));
}

}  // namespace
}  // namespace velotrix
