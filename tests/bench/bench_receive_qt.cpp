// The cost of a 64 KiB reception in the real window when it arrives as a line delivers it: 1 to
// 16 bytes at a time at the pace of 115200 baud, through a pty, the receive thread, the controller
// and the Qt view. Prints the window's share of a core and how long after the last byte the
// listing was complete. With --full-speed it measures as bench_receive_win32 does (64 KiB in 1 KiB
// blocks as fast as the pty takes them, several receptions, the median), for the Win32 window's
// comparison.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <string_view>
#include <vector>

#include "frontends/qt/qt_view.h"
#include "tests/bench/listing_rounds.h"
#include "tests/bench/paced_line.h"
#include "tests/bench/qt_window_on_pty.h"
#include "ui-resources/ids.h"

namespace {

using namespace std::chrono_literals;
using velotrix::bench::Clock;

}  // namespace

int main(int argc, char* argv[]) {
    using velotrix::ids::kMessageList;
    QApplication app(argc, argv);
    velotrix::bench::QtWindowOnPty window({});
    velotrix::test::PtyPair& pty = window.pty;
    velotrix::QtView& view = window.view;

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

    const velotrix::bench::PacedRun run = velotrix::bench::FeedPaced(
        pty, sent, [&] { return view.ListCount(kMessageList) >= expectedLines; });

    const int lines = view.ListCount(kMessageList);
    std::printf("Qt window, 64 KiB in 1-16 byte chunks at %.0f baud: %d of %d listing lines\n",
                velotrix::bench::kBaud, lines, expectedLines);
    std::printf("CPU share of one core:      %.1f %% (goal below 10 %%)\n", 100.0 * run.cpuShare);
    std::printf(
        "listing complete after the last byte: %.1f ms (goal below 100 ms)\n",
        lines == expectedLines ? velotrix::bench::Milliseconds(run.done - run.lastByte) : -1.0);
    return lines == expectedLines ? 0 : 1;
}
