// The whole window on the headless view, its terminal and its XMODEM menu included, in German and
// in English: what a person does, and what the window shows for it.
#include <gtest/gtest.h>

#include "app/event_presenter.h"
#include "platform/files.h"
#include "platform/ini_file.h"
#include "serial/xmodem.h"
#include "support/rig.h"
#include "ui-resources/ids.h"
#include "ui-resources/language.h"

namespace velotrix::test {
namespace {

class Window : public ::testing::TestWithParam<TableRow> {};

TEST_P(Window, ShowsWhatThePersonDidExactly) {
    RunRow(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Rows, Window, WindowRowsOf("controller/window.rows"), RowName<TableRow>);

// The window "Terminal": what a person does at it, what it shows and what goes out on the line.
class TerminalWindow : public ::testing::TestWithParam<TableRow> {};

TEST_P(TerminalWindow, ShowsAndSendsWhatThePersonDid) {
    RunRow(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Rows, TerminalWindow, WindowRowsOf("controller/terminal_window.rows"),
                         RowName<TableRow>);

// Sending the loaded file again when it is rewritten: the engine as every face uses it, and the
// window's check box.
class WatchTable : public ::testing::TestWithParam<TableRow> {};

TEST_P(WatchTable, SendsEachRewriteOnce) {
    RunRow(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Engine, WatchTable, TableRowsOf("controller/watch_engine.rows"),
                         RowName<TableRow>);

class WatchWindow : public ::testing::TestWithParam<TableRow> {};

TEST_P(WatchWindow, SendsEachRewriteOnce) {
    RunRow(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Window, WatchWindow, WindowRowsOf("controller/watch_window.rows"),
                         RowName<TableRow>);

// The window's XMODEM menu: offered while the port is open, a transfer holds the send controls
// until its end, each end is listed, a received file is saved with "Sichern", and the fill-byte
// switch is remembered.
class XmodemWindow : public ::testing::TestWithParam<TableRow> {};

TEST_P(XmodemWindow, ShowsWhatTheTransferDoes) {
    RunRow(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Window, XmodemWindow, WindowRowsOf("controller/xmodem_window.rows"),
                         RowName<TableRow>);

// A file received with the switch on: its progress in the status bar, its end listed, its fill
// bytes gone, and "Sichern" saves it, as the list says.
TEST(XmodemWindow, ReceivedFileIsSavedWithSichern) {
    Rig rig(Rig::Face::kWindow, {"ttyS0"});
    rig.Do("command xmodemTrim; click COM; command xmodemReceive");
    Bytes data = CountingBytes(100);
    Bytes frame;
    xmodem::AppendBlock(frame, 1, data, xmodem::kShortBlock, xmodem::Check::kCrc16);
    rig.Feed(frame);
    rig.Expect(
        "progressText=1 Bl\xF6"
        "cke \x96 128 Bytes \x96 0 Wiederholungen\npane3=Bytes empfangen: 128");
    rig.Do("eot; eot; idle");
    rig.Expect(
        "tail=XMODEM empfangen: warte auf den Sender...|XMODEM: Datei fertig empfangen (1 Bl\xF6"
        "cke \x96 128 Bytes \x96 0 Wiederholungen, CRC-16)|Sichern per "
        "Button\non:save=1\non:send=1\n"
        "rxBytes=0064\nprogressText=");
    rig.fed = data;
    rig.Do("save x.bin");
    rig.Expect("suggested=default.bin\nsaved=all");
}

// The window in English: the same rows as a German user's, in the other column of the table. The
// walk plays the window's rows in German: these are read past it.
class EnglishWindow : public ::testing::TestWithParam<TableRow> {
  protected:
    void SetUp() override { msg::SetLanguage(msg::Language::kEnglish); }
    void TearDown() override { msg::SetLanguage(msg::Language::kGerman); }
};

TEST_P(EnglishWindow, ShowsWhatThePersonDid) {
    RunRow(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Rows, EnglishWindow,
                         ::testing::ValuesIn(TableRowsIn("controller/english_window.rows",
                                                         Rig::Face::kWindow)),
                         RowName<TableRow>);

// The window comes back where it was left, at least at its template's size and at most the
// screen's, centred when no screen shows the remembered place; the user's settings file stays
// untouched.
TEST(Window, ComesBackWhereItWasLeftApartFromTheSettings) {
    TempDir dir;
    const ControllerEnvironment environment{dir.File("Velotrix.ini"),
                                            {[] { return std::vector<PortInfo>{}; }}};
    const struct {
        layout::Rect left;
        // A remembered value changed while the program was not running.
        const char* key;
        const char* value;
        layout::Rect back;
    } cases[] = {{{100, 80, 1280, 900}, nullptr, nullptr, {100, 80, 1280, 900}},
                 {{100, 80, 1280, 900}, "FENSTER_X", "-9000", {320, 90, 1280, 900}},
                 {{100, 80, 1280, 900}, "FENSTER_BREITE", "100000", {0, 80, 1920, 900}},
                 {{10, 20, 300, 200}, nullptr, nullptr, {10, 20, 852, 504}}};
    for (const auto& c : cases) {
        for (const bool first : {true, false}) {
            ManualLoop loop;
            HeadlessView view;
            MainController window(view, loop, environment);
            window.Start();
            if (first) {
                view.PlaceMainWindow(c.left);
                view.PressEscape();
                if (c.key != nullptr) {
                    IniWriteString(dir.File("Velotrix.state"), "Zustand", c.key, c.value);
                }
            } else {
                EXPECT_EQ(view.MainWindowPlacement(), c.back) << (c.key != nullptr ? c.key : "-");
            }
        }
    }
    EXPECT_EQ(FileExists(dir.File("Velotrix.ini")), 0);
}

// Percent of what has gone, the rate over the last seconds and the time left from it, on the
// loop's clock; a reception joins in once its header promises a length.
TEST(Window, ShowsTheProgressTextAtTheRateOfTheLastSeconds) {
    ManualLoop loop;
    HeadlessView view;
    Screen screen(view);
    EventPresenter presenter(screen, loop);
    using K = ProgressEvent::Kind;
    const RxHeaderInfo header{'P', 0x1000, 0x13C7, 0x1000, "X"};  // 32 + 968 bytes
    const struct {
        int afterMs;
        EngineEvent event;
        const char* text;
    } steps[] = {
        {0, ProgressEvent{K::kShow, 10000}, "0%"},
        {1000, ProgressEvent{K::kUpdate, 1234}, "12% \x96 1.234 B/s \x96 noch 0:08"},
        {1000, ProgressEvent{K::kUpdate, 2468}, "24% \x96 1.234 B/s \x96 noch 0:07"},
        {3000, ProgressEvent{K::kUpdate, 2468}, "24%"},  // three seconds without a byte
        {0, ProgressEvent{K::kHide, 0}, ""},
        {0, RxHeaderEvent{header}, ""},
        {1000, ReceivedEvent{500}, "50% \x96 467 B/s \x96 noch 0:02"},
        {0, ReceptionFinishedEvent{}, ""},
        {1000, ReceivedEvent{200}, ""},  // a plain reception after it promises nothing
    };
    for (const auto& step : steps) {
        loop.Advance(std::chrono::milliseconds(step.afterMs));
        presenter.Show(step.event);
        EXPECT_EQ(view.GetText(ids::kProgressText), step.text) << step.afterMs;
    }
}

}  // namespace
}  // namespace velotrix::test