// The cost of text pouring into the Qt window's terminal as a console at 115200 baud sends it: 1
// to 16 bytes at a time at the line's pace, through a pty, the receive thread, the engine, the
// presenter and the terminal's screen, measured as bench_receive_qt measures the listing. Prints
// the window's share of a core and how long after the last byte the screen showed it.
#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/controller.h"
#include "frontends/qt/qt_loop.h"
#include "frontends/qt/qt_view.h"
#include "frontends/qt/terminal_frame.h"
#include "support/pty_pair.h"
#include "support/temp_dir.h"
#include "tests/bench/paced_line.h"
#include "ui-resources/ids.h"

namespace {

using namespace std::chrono_literals;
using velotrix::bench::Clock;

constexpr std::size_t kTextBytes = 65536;
const std::string kLastLine = "Ende der Ausgabe";

// What a monitor's listing looks like: numbered lines of text with umlauts, now and then a line
// erased and rewritten, a tab, and a bell; the last line says that it is the last.
std::vector<std::uint8_t> ConsoleText() {
    std::string text;
    for (int line = 0; text.size() < kTextBytes - 64; ++line) {
        text += std::to_string(1000 + line) + " DATA 4E,20,21,\t\xC4\xD6\xDC abcdefghijklmnop";
        text += line % 10 == 0 ? "\x1B[8D\x1B[Kqrstuvwx" : "";
        text += line % 100 == 0 ? "\a" : "";
        text += "\r\n";
    }
    text += kLastLine;
    return {text.begin(), text.end()};
}

// Notes when the screen is drawn with the last line on it.
class ShownWatch : public QObject {
  public:
    explicit ShownWatch(velotrix::TerminalScreenView* screen) : screen_(screen) {
        screen_->viewport()->installEventFilter(this);
    }
    Clock::time_point shown{};

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && shown == Clock::time_point{}) {
            const std::vector<std::string> lines = screen_->ShownLines();
            if (!lines.empty() && lines.back() == kLastLine) {
                shown = Clock::now();
            }
        }
        return false;
    }

  private:
    velotrix::TerminalScreenView* screen_;
};

}  // namespace

int main(int argc, char* argv[]) {
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
    controller.OnCommand(velotrix::ids::kMenuTerminal, velotrix::ids::kNotifyClicked);
    // Both windows are on the screen before the text comes, as when a user opens the terminal.
    QCoreApplication::processEvents();
    ShownWatch watch(view.Terminal()->Screen());

    const std::vector<std::uint8_t> sent = ConsoleText();
    velotrix::bench::FarEndTimes farEnd;
    const auto cpuBefore = velotrix::bench::CpuTime(CLOCK_PROCESS_CPUTIME_ID);
    const auto start = Clock::now();
    std::thread farEndThread = velotrix::bench::PacedFarEnd(pty, sent, start, farEnd);

    // The window waits for its events as it does for a person; a slow poll looks at the watch.
    QEventLoop wait;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &wait, [&] {
        if (watch.shown != Clock::time_point{} || Clock::now() - start > 30s) {
            wait.quit();
        }
    });
    poll.start(5);
    wait.exec();
    farEndThread.join();
    const auto wall = Clock::now() - start;
    const auto cpu = velotrix::bench::CpuTime(CLOCK_PROCESS_CPUTIME_ID) - cpuBefore - farEnd.cpu;

    const bool shown = watch.shown != Clock::time_point{};
    std::printf("Qt terminal, %zu bytes of text in 1-16 byte chunks at %.0f baud: %s\n",
                sent.size(), velotrix::bench::kBaud,
                shown ? "all shown" : "the last line never shown");
    std::printf("CPU share of one core:            %.1f %% (goal below 10 %%)\n",
                100.0 * std::chrono::duration<double>(cpu).count() /
                    std::chrono::duration<double>(wall).count());
    std::printf("last byte shown after it came:    %.1f ms (goal below 100 ms)\n",
                shown ? velotrix::bench::Milliseconds(watch.shown - farEnd.lastByte) : -1.0);
    return shown ? 0 : 1;
}
