// The cost of a 64 KiB reception in the real window when it arrives as a line delivers it: 1 to
// 16 bytes at a time at the pace of 115200 baud, through a pty, the receive thread, the controller
// and the Qt view. Prints the window's share of a core and how long after the last byte the
// listing was complete. With --full-speed it measures as bench_receive_win32 does (64 KiB in 1 KiB
// blocks as fast as the pty takes them, several receptions, the median), for the Win32 window's
// comparison.
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <string_view>
#include <thread>
#include <vector>

#include "app/controller.h"
#include "frontends/qt/qt_loop.h"
#include "frontends/qt/qt_view.h"
#include "support/pty_pair.h"
#include "support/temp_dir.h"
#include "tests/bench/listing_rounds.h"
#include "tests/bench/paced_line.h"
#include "ui-resources/ids.h"

namespace {

using namespace std::chrono_literals;
using velotrix::bench::Clock;

}  // namespace

int main(int argc, char* argv[]) {
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

    if (argc > 1 && std::string_view(argv[1]) == "--full-speed") {
        QTimer wake;  // the pump waits for an event or at most 5 ms, as the Win32 one does
        wake.start(5);
        return velotrix::bench::MeasureRounds(
            "Qt window",
            [&](const std::uint8_t* bytes, std::size_t count) {
                pty.Write({bytes, bytes + count}, 2s);
            },
            [&] { return view.ListCount(kMessageList); },
            [] { QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); });
    }

    const std::vector<std::uint8_t> sent = velotrix::bench::ListingBytes();
    const int expectedLines = static_cast<int>(sent.size() / 16);

    // The far end: chunks of 1 to 16 bytes, each written when the line would have carried it.
    velotrix::bench::FarEndTimes farEnd;
    const auto cpuBefore = velotrix::bench::CpuTime(CLOCK_PROCESS_CPUTIME_ID);
    const auto start = Clock::now();
    std::thread farEndThread = velotrix::bench::PacedFarEnd(pty, sent, start, farEnd);

    // The window waits for its events as it does for a person; a slow poll looks at the list.
    Clock::time_point complete{};
    QEventLoop wait;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &wait, [&] {
        if (view.ListCount(kMessageList) >= expectedLines) {
            complete = Clock::now();
            wait.quit();
        } else if (Clock::now() - start > 30s) {
            wait.quit();
        }
    });
    poll.start(5);
    wait.exec();
    farEndThread.join();
    const auto wall = Clock::now() - start;
    const auto cpu = velotrix::bench::CpuTime(CLOCK_PROCESS_CPUTIME_ID) - cpuBefore - farEnd.cpu;

    const int lines = view.ListCount(kMessageList);
    std::printf("Qt window, 64 KiB in 1-16 byte chunks at %.0f baud: %d of %d listing lines\n",
                velotrix::bench::kBaud, lines, expectedLines);
    std::printf("CPU share of one core:      %.1f %% (goal below 10 %%)\n",
                100.0 * std::chrono::duration<double>(cpu).count() /
                    std::chrono::duration<double>(wall).count());
    std::printf(
        "listing complete after the last byte: %.1f ms (goal below 100 ms)\n",
        lines == expectedLines ? velotrix::bench::Milliseconds(complete - farEnd.lastByte) : -1.0);
    return lines == expectedLines ? 0 : 1;
}
