// The program's entry: the Qt window and its controller.
#include <QApplication>
#include <QWidget>

#include "app/controller.h"
#include "frontends/qt/qt_loop.h"
#include "frontends/qt/qt_view.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("velotrix"));
    velotrix::QtLoop loop;
    velotrix::QtView view;
    velotrix::MainController controller(
        view, loop, velotrix::ControllerEnvironment{velotrix::DefaultSettingsPath()});
    controller.Start();
    view.MainWindow()->show();
    QApplication::exec();
    return 0;
}
