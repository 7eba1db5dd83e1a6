// Benchmark of the window's start, as a ratio against its yardstick measured in the same run: the
// time from the process's start until the main window's first paint, and the CPU time spent until
// then, against a Qt window that shows one label. Each start is a process of its own (this
// program started again), the two by turns; a start of the window also tells where its time went.
#include <sys/resource.h>
#include <time.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <QTranslator>
#include <QWidget>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/controller.h"
#include "bench/bench_child.h"
#include "frontends/qt/qt_loop.h"
#include "frontends/qt/qt_view.h"

namespace {

using velotrix::bench::Median;

constexpr int kPairs = 11;

double MonotonicMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double CpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Shows the window and waits for its first paint; false when it was not exposed in time.
bool FirstPaint(QWidget& window) {
    window.show();
    const QDeadlineTimer deadline(10000);
    while (!window.windowHandle()->isExposed() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    QCoreApplication::processEvents();
    return window.windowHandle()->isExposed();
}

// One start: prints "ms-since-start cpu-ms" and, for the window, its phases.
int Start(int argc, char* argv[], bool window, double startedMs) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const double entered = MonotonicMs();
    QApplication app(argc, argv);
    const double appMade = MonotonicMs();
    if (!window) {
        QLabel label(QStringLiteral("Hallo"));
        if (!FirstPaint(label)) {
            return 1;
        }
        std::printf("%.2f %.2f\n", MonotonicMs() - startedMs, CpuMs());
        return 0;
    }
    // As the program's main does it, with a settings file that does not exist: the defaults; the
    // port list begins at once.
    velotrix::DeviceAccess devices = velotrix::DevicesListedAhead();
    QGuiApplication::setDesktopFileName(QStringLiteral("velotrix"));
    QTranslator translator;
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (translator.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
        QCoreApplication::installTranslator(&translator);
    }
    const QTemporaryDir settings;
    velotrix::QtLoop loop;
    velotrix::QtView view;
    const double viewMade = MonotonicMs();
    velotrix::MainController controller(
        view, loop,
        velotrix::ControllerEnvironment{
            settings.filePath(QStringLiteral("Velotrix.ini")).toStdString(), std::move(devices)});
    controller.Start();
    const double started = MonotonicMs();
    if (!FirstPaint(*view.MainWindow())) {
        return 1;
    }
    const double painted = MonotonicMs();
    std::printf("%.2f %.2f %.2f %.2f %.2f %.2f %.2f\n", painted - startedMs, CpuMs(),
                entered - startedMs, appMade - entered, viewMade - appMade, started - viewMade,
                painted - started);
    return 0;
}

std::vector<double> Figures(const std::string& path) {
    std::ifstream in(path);
    std::vector<double> figures;
    for (double figure = 0; in >> figure;) {
        figures.push_back(figure);
    }
    return figures;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc == 3 &&
        (std::strcmp(argv[1], "--window") == 0 || std::strcmp(argv[1], "--hello") == 0)) {
        return Start(argc, argv, std::strcmp(argv[1], "--window") == 0, std::atof(argv[2]));
    }
    const QTemporaryDir dir;
    const std::string output = (dir.path() + QStringLiteral("/start.out")).toStdString();
    const auto run = [&](const char* kind) {
        char started[32];
        std::snprintf(started, sizeof started, "%.3f", MonotonicMs());
        velotrix::bench::Child child({"/proc/self/exe", kind, started}, output, false);
        return child.Wait().ok() ? Figures(output) : std::vector<double>{};
    };
    std::vector<double> wallRatios;
    std::vector<double> cpuRatios;
    std::vector<std::vector<double>> phases(5);
    for (int pair = 1; pair <= kPairs; ++pair) {
        // By turns which goes first, so that a load that grows or shrinks favours neither.
        const bool windowFirst = pair % 2 == 1;
        const std::vector<double> first = run(windowFirst ? "--window" : "--hello");
        const std::vector<double> second = run(windowFirst ? "--hello" : "--window");
        const std::vector<double>& window = windowFirst ? first : second;
        const std::vector<double>& hello = windowFirst ? second : first;
        if (window.size() != 7 || hello.size() != 2) {
            std::printf("pair %d: a start failed\n", pair);
            return 1;
        }
        wallRatios.push_back(window[0] / hello[0]);
        cpuRatios.push_back(window[1] / hello[1]);
        for (std::size_t phase = 0; phase < phases.size(); ++phase) {
            phases[phase].push_back(window[2 + phase]);
        }
        std::printf(
            "pair %d: first paint of the window %6.1f ms (CPU %6.1f ms), of the label "
            "%6.1f ms (CPU %6.1f ms): ratio %.2f (CPU %.2f)\n",
            pair, window[0], window[1], hello[0], hello[1], wallRatios.back(), cpuRatios.back());
    }
    std::printf(
        "the window's start until its first paint, against a Qt window with one label: "
        "median ratio %.2f, of the CPU time %.2f (goal <= 1.2)\n",
        Median(wallRatios), Median(cpuRatios));
    std::printf(
        "where the window's start goes (medians): to main %.1f ms, QApplication %.1f ms, "
        "the view %.1f ms, the controller's start (settings, ports, lists) %.1f ms, show "
        "until the first paint %.1f ms\n",
        Median(phases[0]), Median(phases[1]), Median(phases[2]), Median(phases[3]),
        Median(phases[4]));
    return 0;
}
