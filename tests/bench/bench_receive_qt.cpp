// Speed of a full reception through a pty into the real window: receive thread, controller, Qt
// view.
#include <time.h>

#include <QApplication>
#include <QEventLoop>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "app/controller.h"
#include "frontends/qt/qt_loop.h"
#include "frontends/qt/qt_view.h"
#include "support/pty_pair.h"
#include "support/temp_dir.h"
#include "ui-resources/ids.h"

namespace {

std::chrono::nanoseconds ProcessCpuTime() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace std::chrono_literals;
    using velotrix::ids::kMessageList;
    QApplication app(argc, argv);
    velotrix::test::PtyPair pty;
    velotrix::test::TempDir dir;
    const velotrix::PortInfo port{"pty", pty.SlavePath()};
    velotrix::ControllerEnvironment environment;
    environment.settingsPath = dir.File("Velotrix.ini");
    environment.devices.listPorts = [port] { return std::vector<velotrix::PortInfo>{port}; };

    velotrix::QtLoop loop;
    velotrix::QtView view;
    velotrix::MainController controller(view, loop, environment);
    controller.Start();
    view.MainWindow()->show();
    controller.OnCommand(velotrix::ids::kComButton, velotrix::ids::kNotifyClicked);
    // The window is on the screen before the data come, as when a user opens the port.
    QCoreApplication::processEvents();

    // Every byte value in every 256-byte block; 16 bytes make one listing line.
    std::vector<std::uint8_t> sent(65536);
    for (std::size_t i = 0; i < sent.size(); ++i) {
        sent[i] = static_cast<std::uint8_t>(i * 167 + (i >> 8));
    }
    const int expectedLines = static_cast<int>(sent.size() / 16);
    const auto cpuBefore = ProcessCpuTime();
    const auto wallBefore = std::chrono::steady_clock::now();
    std::thread farEnd([&] { pty.Write(sent, 20s); });
    while (view.ListCount(kMessageList) < expectedLines &&
           std::chrono::steady_clock::now() - wallBefore < 20s) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    const auto wall = std::chrono::steady_clock::now() - wallBefore;
    const auto cpu = ProcessCpuTime() - cpuBefore;
    farEnd.join();

    const int lines = view.ListCount(kMessageList);
    std::printf("Qt view: %d of %d listing lines\n", lines, expectedLines);
    std::printf(
        "CPU time per byte:     %.3f us (whole process, goal below 1 us)\n",
        std::chrono::duration<double, std::micro>(cpu).count() / static_cast<double>(sent.size()));
    std::printf("first write to last line: %.1f ms\n",
                std::chrono::duration<double, std::milli>(wall).count());
    return lines == expectedLines ? 0 : 1;
}
