// The whole Qt window with its controller as a person first sees it, and a picture of the window
// for people to look at.
#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>
#include <QWidget>
#include <vector>

#include "app/controller.h"
#include "frontends/qt/qt_loop.h"
#include "frontends/qt/qt_view.h"
#include "gui_helpers.h"
#include "ui-resources/ids.h"

namespace velotrix {
namespace {

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
