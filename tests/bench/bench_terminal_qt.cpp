// The cost of text pouring into the Qt window's terminal as a console at 115200 baud sends it: 1
// to 16 bytes at a time at the line's pace, through a pty, the receive thread, the engine, the
// presenter and the terminal's screen, measured as bench_receive_qt measures the listing. Prints
// the window's share of a core and how long after the last byte the screen showed it.
#include <QApplication>
#include <QEvent>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "frontends/qt/qt_view.h"
#include "frontends/qt/terminal_frame.h"
#include "tests/bench/paced_line.h"
#include "tests/bench/qt_window_on_pty.h"
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
    velotrix::bench::QtWindowOnPty window({velotrix::ids::kMenuTerminal});
    ShownWatch watch(window.view.Terminal()->Screen());

    const std::vector<std::uint8_t> sent = ConsoleText();
    const velotrix::bench::PacedRun run = velotrix::bench::FeedPaced(
        window.pty, sent, [&] { return watch.shown != Clock::time_point{}; });

    const bool shown = watch.shown != Clock::time_point{};
    std::printf("Qt terminal, %zu bytes of text in 1-16 byte chunks at %.0f baud: %s\n",
                sent.size(), velotrix::bench::kBaud,
                shown ? "all shown" : "the last line never shown");
    std::printf("CPU share of one core:            %.1f %% (goal below 10 %%)\n",
                100.0 * run.cpuShare);
    std::printf("last byte shown after it came:    %.1f ms (goal below 100 ms)\n",
                shown ? velotrix::bench::Milliseconds(watch.shown - run.lastByte) : -1.0);
    return shown ? 0 : 1;
}
