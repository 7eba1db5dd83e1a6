// The real Qt window on a pseudo-terminal's port, opened as a user opens it, and one paced feed of
// its far end measured as the window's benchmarks measure it: the window waits for its events as
// it does for a person, while a slow poll looks whether it shows everything.
#pragma once

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "app/controller.h"
#include "frontends/qt/qt_loop.h"
#include "frontends/qt/qt_view.h"
#include "support/pty_pair.h"
#include "support/temp_dir.h"
#include "tests/bench/paced_line.h"
#include "ui-resources/ids.h"

namespace velotrix::bench {

struct QtWindowOnPty {
    explicit QtWindowOnPty(std::initializer_list<int> commands) {
        const PortInfo port{"pty", pty.SlavePath()};
        environment.settingsPath = dir.File("Velotrix.ini");
        environment.devices.listPorts = [port] { return std::vector<PortInfo>{port}; };
        controller = std::make_unique<MainController>(view, loop, environment);
        controller->Start();
        view.MainWindow()->show();
        controller->OnCommand(ids::kComButton, ids::kNotifyClicked);
        for (const int command : commands) {
            controller->OnCommand(command, ids::kNotifyClicked);
        }
        // On the screen before the bytes come, as when a user opens the port.
        QCoreApplication::processEvents();
    }

    test::PtyPair pty;
    test::TempDir dir;
    ControllerEnvironment environment;
    QtLoop loop;
    QtView view;
    std::unique_ptr<MainController> controller;
};

struct PacedRun {
    Clock::time_point lastByte;  // when the far end wrote the last byte
    Clock::time_point done;      // when the window showed everything; none after 30 s
    double cpuShare;             // the window's share of one core, the far end's CPU left out
};

// Feeds bytes at the line's pace (1 to 16 at a time) until shown() holds or 30 s have passed.
inline PacedRun FeedPaced(test::PtyPair& pty, const std::vector<std::uint8_t>& bytes,
                          const std::function<bool()>& shown) {
    using namespace std::chrono_literals;
    FarEndTimes farEnd;
    const auto cpuBefore = CpuTime(CLOCK_PROCESS_CPUTIME_ID);
    const auto start = Clock::now();
    std::thread farEndThread = PacedFarEnd(pty, bytes, start, farEnd);
    Clock::time_point done{};
    QEventLoop wait;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &wait, [&] {
        if (shown()) {
            done = Clock::now();
            wait.quit();
        } else if (Clock::now() - start > 30s) {
            wait.quit();
        }
    });
    poll.start(5);
    wait.exec();
    farEndThread.join();
    const auto wall = Clock::now() - start;
    const auto cpu = CpuTime(CLOCK_PROCESS_CPUTIME_ID) - cpuBefore - farEnd.cpu;
    return {
        farEnd.lastByte, done,
        std::chrono::duration<double>(cpu).count() / std::chrono::duration<double>(wall).count()};
}

}  // namespace velotrix::bench
