// The Qt window's sends, timed as window_send_rounds.h times them, on a pseudo-terminal's port
// whose far end reads everything. scripts/test-windows sets its figures beside the Win32 window's.
#include <atomic>
#include <thread>

#include "tests/bench/qt_window_on_pty.h"
#include "tests/bench/window_send_rounds.h"

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    velotrix::bench::QtWindowOnPty window({});
    std::atomic<bool> reading{true};
    std::thread farEnd([&] {
        while (reading.load()) {
            window.pty.Read(std::chrono::milliseconds(20));
        }
    });
    // The window sleeps until something happens, as it does for a person; the tick bounds a wait.
    QTimer tick;
    tick.start(5);
    velotrix::Engine& engine = window.controller->GetEngine();
    const int status = velotrix::bench::MeasureWindowSends(
        "Qt window",
        {[&](const std::string& path) { window.controller->LoadFile(path); },
         [&] {
             window.controller->OnCommand(velotrix::ids::kSendFileButton,
                                          velotrix::ids::kNotifyClicked);
         },
         [&] { return engine.Sending(); },
         [] { QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); },
         [&](int ms) { engine.SetCharDelay(ms); }, [&](bool on) { engine.SetBinMode(on); },
         [&] {
             const std::string port = engine.OpenPath();
             window.controller->OnCommand(velotrix::ids::kComButton, velotrix::ids::kNotifyClicked);
             return port;
         }},
        window.dir.path());
    reading = false;
    farEnd.join();
    return status;
}
