// The one test rig: the engine (its events recorded) or the whole window (the presenter on the
// headless view), on a virtual-clock loop with fake serial devices, driven by steps and read back
// as texts, so that the tests are tables of steps and what they show.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "app/controller.h"
#include "platform/fake/fake_file_watch.h"
#include "platform/fake/fake_serial_device.h"
#include "platform/headless/headless_view.h"
#include "platform/manual_loop.h"
#include "serial/byte_taker.h"
#include "serial/engine.h"
#include "support/temp_dir.h"

namespace velotrix::test {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

// count bytes 0, 1, 2, ... wrapping at 256.
Bytes CountingBytes(std::size_t count);
// A z80 file: the header with these fields (the name cut to 16 bytes), then count counting bytes.
Bytes Z80File(std::uint16_t aadr, std::uint16_t eadr, std::uint16_t sadr, char type,
              std::string_view name, std::size_t count);
Bytes Concat(Bytes first, const Bytes& second);
// The header the program makes for a BIN file of that length: creator tag, the name filled with
// spaces.
Bytes Synthesized(std::uint16_t aadr, std::size_t length, std::uint16_t sadr, std::string name);

class Rig {
  public:
    enum class Face { kEngine, kWindow };

    // Fake devices "/dev/fake/NAME" under these names ("NAME console": listed as the kernel's
    // console), or the given devices instead.
    explicit Rig(Face face = Face::kEngine, const Lines& ports = {"ttyS0"},
                 std::optional<DeviceAccess> access = std::nullopt);
    ~Rig();

    Engine& engine() { return window ? window->GetEngine() : *own; }
    // Starts the window (again, as on a second day), with the settings file of that name in dir.
    void StartWindow(const std::string& settingsFile);
    FakeSerialDevice& line() { return *devices.at(0); }

    // Opens the port (by default the first fake one) at 9600 baud, 8N1, no flow control.
    EngineResult Open(std::string path = {});
    // The far end sends: the bytes are injected, read and handed to the UI thread (fake device).
    void Feed(const Bytes& bytes, const LineErrors& errors = {});
    // Pumps the loop until the condition holds or the real timeout has passed.
    bool Pump(const std::function<bool()>& until,
              std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Pumps until no send runs and its end has been shown.
    bool PumpUntilIdle();

    // Carries out steps separated by ';' (STEPS.md: each word, its arguments and what it does).
    void Do(std::string_view steps);
    // Each "key=value" line must hold for what the rig shows (STEPS.md: each key and what it
    // shows); "$DIR" stands for the rig's directory, a final '*' for any rest.
    void Expect(std::string_view expected);

    TempDir dir;
    std::string settingsPath;
    ManualLoop loop;
    std::vector<std::shared_ptr<FakeSerialDevice>> devices;
    HeadlessView view;
    FakeFileWatches watches;  // the engine's watches of the loaded file
    std::unique_ptr<Engine> own;
    std::unique_ptr<MainController> window;
    // A taker of the received bytes that notes what it is told in taken (see the step "take").
    std::unique_ptr<ByteTaker> taker;
    Lines taken;

    // What the engine's events said (engine face): the MessageList lines, the other events as
    // short texts, the last progress value and received total, and how far a progress value was
    // ever ahead of the bytes that had left the first fake device when it was shown.
    Lines lines;
    Lines log;
    Lines rewrites;        // what the engine reported of each rewrite of the loaded file
    std::string terminal;  // the bytes the terminal took (engine face)
    Lines receptions;      // the bytes of each reception as it finished
    std::uint32_t progress = 0;
    std::uint32_t received = 0;
    std::size_t progressAhead = 0;
    std::string modemEvent;   // the last ModemLinesEvent: "open DTR -" and the like
    std::string statusEvent;  // the last ModemStatusEvent: "CTS DSR - -" and the like
    // What the steps did: the bytes fed, the last engine call's result, the open refusal.
    Bytes fed;
    EngineResult result;
    int openFailure = 0;
    bool linked = true;           // the fake ports' names are links that stay with their device
    std::atomic<long> paused{0};  // the line-error pause asked for, in ms

  private:
    void Record(const EngineEvent& event);
    std::map<std::string, std::string> Show();

    Lines ports_;
    std::vector<bool> consoles_;  // the port is listed as the kernel's console
    DeviceAccess access_;
};

// A row of a table of cases (a row file, see STEPS.md), on the engine's face or on the whole
// window's with fake ports of these names ("ports:", ttyS0 by default); and its name as a test's
// name (what is not a letter or a digit becomes '_').
struct TableRow {
    std::string name;
    Lines ports;
    std::string steps;  // what is done
    std::string shown;  // what must be seen then
    Rig::Face face = Rig::Face::kWindow;
};
std::string TestNameOf(std::string_view text);
std::vector<TableRow> TableRowsIn(std::string_view file, Rig::Face face);
inline auto TableRowsOf(std::string_view file) {
    return ::testing::ValuesIn(TableRowsIn(file, Rig::Face::kEngine));
}
// The window's rows; each file read here is read again by the walk of the window's commands.
std::vector<TableRow> WindowRowsIn(std::string_view file);
inline auto WindowRowsOf(std::string_view file) {
    return ::testing::ValuesIn(WindowRowsIn(file));
}
// The rows of every file of the window read so far.
std::vector<TableRow> WindowRows();
// Runs the row's steps on its face, and expects what it shows.
void RunRow(const TableRow& row);
// A row shows as its name where a test's parameter is printed.
inline void PrintTo(const TableRow& row, std::ostream* os) {
    *os << row.name;
}
template <typename Row>
std::string RowName(const ::testing::TestParamInfo<Row>& info) {
    return TestNameOf(info.param.name);
}

}  // namespace velotrix::test
