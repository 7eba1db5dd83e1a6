// The program's entry: the Qt window and its controller.
#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "app/controller.h"
#include "frontends/qt/qt_loop.h"
#include "frontends/qt/qt_view.h"
#include "platform/process.h"
#include "text/cp1252.h"
#include "ui-resources/messages.h"

namespace {

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Qt's own texts (standard buttons, file dialogs) in the window's language: German from Qt's
// translation, English as Qt has them.
void LoadQtTranslation(QTranslator& translator) {
    if (velotrix::msg::CurrentLanguage() != velotrix::msg::Language::kGerman) {
        return;
    }
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (translator.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                        folder)) {
        QCoreApplication::installTranslator(&translator);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    velotrix::UseUserLanguage();
    // Asked from a terminal: answered there, without a window.
    const std::string_view option = argc > 1 ? argv[1] : "";
    if (option == "--help" || option == "-h") {
        std::fputs(velotrix::Cp1252ToUtf8(velotrix::msg::kWindowUsage).c_str(), stdout);
        return EXIT_SUCCESS;
    }
    if (option == "--version") {
        std::puts("velotrix " VELOTRIX_VERSION);
        return EXIT_SUCCESS;
    }
    // Without a display Qt would abort with a hint about reinstalling; say what helps instead.
    if (!IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY") && !IsSet("QT_QPA_PLATFORM")) {
        std::fputs(velotrix::Cp1252ToUtf8(velotrix::msg::kNoDisplay).c_str(), stderr);
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);
    // Begun once Qt has set up the process's environment (it unsets variables meant for itself),
    // which the port list reads.
    velotrix::ControllerEnvironment environment{velotrix::DefaultSettingsPath(),
                                                velotrix::DevicesListedAhead()};
    QGuiApplication::setDesktopFileName(QStringLiteral("velotrix"));
    QTranslator qtTranslator;
    LoadQtTranslation(qtTranslator);
    velotrix::QtLoop loop;
    velotrix::QtView view;
    velotrix::MainController controller(view, loop, std::move(environment));
    controller.Start();
    // "velotrix FILE" (and "Open with" from a file manager) loads the file for sending.
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1) {
        controller.LoadFile(QFile::encodeName(arguments.at(1)).toStdString());
    }
    view.MainWindow()->show();
    QApplication::exec();
    return 0;
}
