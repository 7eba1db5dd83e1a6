// The promises every window (DialogView) and its event loop (UiLoop) keep, one suite for all of
// them. A test program includes this header in exactly one file and instantiates the suite, inside
// namespace velotrix::contract, with a factory for its rig:  VELOTRIX_VIEW_CONTRACT(Qt, MakeQtRig);
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/dialog_view.h"
#include "platform/ui_loop.h"
#include "text/terminal_input.h"
#include "text/terminal_screen.h"
#include "ui-resources/ids.h"
#include "ui-resources/layout.h"

namespace velotrix::contract {

using std::chrono::milliseconds;

// The close box is that of the dialog in front: the text dialog while it is open.
enum class Key { kEnter, kEscape, kCloseBox, kTab };

// One implementation's view and loop, with the hands and eyes of a person in front of the window,
// which is on the screen when the rig is made.
class Rig {
  public:
    virtual ~Rig() = default;
    virtual DialogView& View() = 0;
    virtual UiLoop& Loop() = 0;

    // A person's actions; each does nothing where a person could not act (a disabled or hidden
    // control, a grayed menu item, the main window while the modal text dialog is open).
    // Clicks a control or a menu command.
    virtual void Click(int id) = 0;
    // Selects all of an edit field and types text (code page 1252) over it, key by key; an empty
    // text deletes what was selected.
    virtual void Type(int id, std::string_view text) = 0;
    // Picks an entry of a combo box from its opened list.
    virtual void Pick(int id, int index) = 0;
    // Presses the key with the keyboard focus on focusId, or where the focus is for 0.
    virtual void Press(Key key, int focusId = 0) = 0;

    // The control with the focus in the dialog in front (0 for none).
    virtual int FocusId() = 0;
    // Where a control of the main window is in its client area, in pixels.
    virtual layout::Rect ControlRect(int id) = 0;
    virtual bool MainWindowOpen() = 0;
    // What the status bar's pane shows, and whether a menu item carries its check mark.
    virtual std::string PaneText(int pane) = 0;
    virtual bool MenuChecked(int id) = 0;

    // Lets time pass on the loop's clock and runs what falls due meanwhile.
    virtual void Let(milliseconds time) = 0;

    // In the terminal's screen, each nothing while the terminal is closed: characters typed
    // (UTF-8), a key, a paste of the text (through the system's clipboard where there is one), a
    // drag of the mouse from one place of the text to another, the close box.
    virtual void TypeInTerminal(std::string_view utf8) = 0;
    virtual void PressInTerminal(TerminalKey key) = 0;
    virtual void PasteInTerminal(std::string_view utf8) = 0;
    virtual void DragInTerminal(TerminalPlace from, TerminalPlace to) = 0;
    virtual void CloseTerminalByUser() = 0;
    // The lines the screen shows now, top to bottom; the clipboard's text (code page 1252).
    virtual std::vector<std::string> TerminalShownLines() = 0;
    virtual std::string Clipboard() = 0;
};

// The parameter: one implementation's name and the factory of its rig.
struct RigMaker {
    const char* name;
    std::unique_ptr<Rig> (*make)();
    friend void PrintTo(const RigMaker& maker, std::ostream* out) { *out << maker.name; }
};
using Commands = std::vector<std::pair<int, int>>;
using Texts = std::vector<std::string>;

class ViewContract : public ::testing::TestWithParam<RigMaker> {
  protected:
    ViewContract() : rig_(GetParam().make()), r(*rig_), v(rig_->View()) {
        v.SetCommandHandler([this](int id, int code) { commands.emplace_back(id, code); });
    }
    // Lets time pass in short steps until done holds; a generous real limit keeps a failure from
    // hanging the suite.
    bool LetUntil(const std::function<bool()>& done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!done() && std::chrono::steady_clock::now() < end) {
            r.Let(milliseconds(10));
        }
        return done();
    }
    static Commands Notified(std::initializer_list<int> ids, int code = ids::kNotifyClicked) {
        Commands notified;
        for (int id : ids) {
            notified.emplace_back(id, code);
        }
        return notified;
    }

    std::unique_ptr<Rig> rig_;
    Rig& r;
    DialogView& v;
    Commands commands;
};

TEST_P(ViewContract, ControlsStartAsTheirTemplatesAndTextsCrossAsCodePage1252) {
    for (const layout::DialogLayout* dialog : {&layout::MainDialog(), &layout::TextDialog()}) {
        for (const layout::Item& item : dialog->items) {
            if (item.id != layout::kNoId) {
                EXPECT_EQ(v.GetText(item.id), item.caption) << item.id;
                EXPECT_EQ(v.IsEnabled(item.id), (item.style & layout::kDisabled) == 0) << item.id;
                EXPECT_TRUE(dialog != &layout::MainDialog() ||
                            v.IsVisible(item.id) == ((item.style & layout::kHidden) == 0))
                    << item.id;
            }
        }
    }
    v.SetText(ids::kComButton, "COM schlie\337en");
    v.ComboAdd(ids::kPortCombo, "\x80\x9F\xA4\xFF");
    v.SetText(4711, "x");  // an ID that names nothing is ignored and reads as empty
    EXPECT_EQ(v.GetText(ids::kComButton), "COM schlie\337en");
    EXPECT_EQ(v.ComboItem(ids::kPortCombo, 0), "\x80\x9F\xA4\xFF");
    EXPECT_EQ(v.GetText(4711), "");
}

// The program's writes notify every edit field, unchanged and read-only ones too, and pass the
// typing limit; the person's keys stop at the limit, and each accepted key notifies.
TEST_P(ViewContract, EditFieldsReportEveryChangeAndLimitOnlyTyping) {
    for (int id : {ids::kTxAadr, ids::kTxAadr, ids::kRxCrc, ids::kSaveButton, ids::kBaudCombo}) {
        v.SetText(id, "123456");
    }
    EXPECT_EQ(v.GetText(ids::kTxAadr), "123456");
    EXPECT_EQ(commands,
              Notified({ids::kTxAadr, ids::kTxAadr, ids::kRxCrc}, ids::kNotifyEditChange));
    const struct {
        int id;
        const char* typed;
        const char* kept;
        std::size_t notifications;
    } cases[] = {{ids::kTxAadr, "ABCDEF", "ABCD", 4},
                 {ids::kTxAadr, "FFFF", "FFFF", 4},
                 {ids::kTxName, "ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOP", 16},
                 {ids::kTxName, "PONMLKJIHGFEDCBA", "PONMLKJIHGFEDCBA", 16},
                 {ids::kRxAadr, "12", "", 0},  // read-only
                 {ids::kTxName, "Gr\374\337e", "Gr\374\337e", 5},
                 {ids::kTxName, "", "", 1},
                 {ids::kTxName, "", "", 0}};
    for (const auto& c : cases) {
        commands.clear();
        r.Type(c.id, c.typed);
        EXPECT_EQ(v.GetText(c.id), c.kept) << c.typed;
        EXPECT_EQ(commands.size(), c.notifications) << c.typed;
    }
}

TEST_P(ViewContract, BoxesKeepTheirOrderAndSelectionAndOnlyAPersonsPickNotifies) {
    Texts entries[2];  // the sorted data bits box, the unsorted stop bits box
    for (const char* entry : {"8", "7", "b", "A"}) {
        v.ComboAdd(ids::kDataBitsCombo, entry);
        v.ComboAdd(ids::kStopBitsCombo, entry);
        if (entry[0] == '8') {
            v.ComboSelect(ids::kDataBitsCombo, 0);
        }
    }
    for (int i = 0; i < 4; ++i) {
        entries[0].push_back(v.ComboItem(ids::kDataBitsCombo, i));
        entries[1].push_back(v.ComboItem(ids::kStopBitsCombo, i));
    }
    EXPECT_EQ(entries[0], (Texts{"7", "8", "A", "b"}));
    EXPECT_EQ(entries[1], (Texts{"8", "7", "b", "A"}));
    EXPECT_EQ(v.GetText(ids::kDataBitsCombo), "8") << "the selection stays on its entry";
    EXPECT_EQ(v.ComboSelection(ids::kStopBitsCombo), -1) << "a new box selects nothing";
    v.ComboSelect(ids::kDataBitsCombo, 4);
    EXPECT_EQ(v.ComboSelection(ids::kDataBitsCombo), -1);
    v.ComboAdd(ids::kBaudCombo, "4800");
    v.ComboSelect(ids::kBaudCombo, 0);
    v.ComboSelect(ids::kBaudCombo, -1);
    EXPECT_EQ(v.GetText(ids::kBaudCombo), "") << "the edit part empties with the selection";
    r.Pick(ids::kStopBitsCombo, 9);
    r.Pick(ids::kStopBitsCombo, 2);
    EXPECT_EQ(v.ComboSelection(ids::kStopBitsCombo), 2);
    EXPECT_EQ(commands, Notified({ids::kStopBitsCombo}, ids::kNotifySelChange));
}

TEST_P(ViewContract, ClicksReachOnlyWhatAPersonCanReachAndOnlyAutomaticButtonsToggle) {
    Commands seen;  // the clicked ID and whether it was checked when its command came
    v.SetCommandHandler([&](int id, int) { seen.emplace_back(id, v.IsChecked(id)); });
    r.Click(ids::kLoadButton);
    v.Enable(ids::kLoadButton, false);
    v.EnableMenuItem(ids::kMenuSendText, false);
    for (int id : {ids::kLoadButton, ids::kCtsIndicator, ids::kMenuSendText, ids::kTxName, 4711}) {
        r.Click(id);  // disabled, hidden, grayed, no command, unknown
    }
    v.Show(ids::kCtsIndicator, true);
    for (int id :
         {ids::kCtsIndicator, ids::kContinuousCheck, ids::kContinuousCheck, ids::kMenuInfo}) {
        r.Click(id);
    }
    v.OpenTextDialog();
    r.Click(ids::kComButton);  // the modal dialog blocks the main window
    r.Click(ids::kTextSend);
    EXPECT_EQ(seen, (Commands{{ids::kLoadButton, 0},
                              {ids::kCtsIndicator, 0},
                              {ids::kContinuousCheck, 1},
                              {ids::kContinuousCheck, 0},
                              {ids::kMenuInfo, 0},
                              {ids::kTextSend, 0}}));
}

// Enter presses the focused push button, else the default button (in the text dialog "Senden"),
// but never from an edit field of the main window; Escape cancels; the close boxes only ask.
TEST_P(ViewContract, KeysAndCloseBoxesActAsInADialogAndOnlyTheProgramCloses) {
    const struct {
        bool inTextDialog;
        int focus;
        Key key;
        Commands expected;
    } cases[] = {{false, ids::kTxName, Key::kEnter, {}},
                 {false, ids::kBaudCombo, Key::kEnter, Notified({ids::kComButton})},
                 {false, ids::kMessageList, Key::kEnter, Notified({ids::kComButton})},
                 {false, ids::kContinuousCheck, Key::kEnter, Notified({ids::kComButton})},
                 {false, ids::kLoadButton, Key::kEnter, Notified({ids::kLoadButton})},
                 {false, ids::kTxName, Key::kEscape, Notified({ids::kCancel})},
                 {false, ids::kLoadButton, Key::kEscape, Notified({ids::kCancel})},
                 {false, ids::kLoadButton, Key::kCloseBox, Notified({ids::kCloseBox})},
                 {true, ids::kTextEdit, Key::kEnter, Notified({ids::kTextSend})},
                 {true, ids::kTextClose, Key::kEnter, Notified({ids::kTextClose})},
                 {true, ids::kTextEdit, Key::kEscape, Notified({ids::kTextClose})},
                 {true, ids::kTextEdit, Key::kCloseBox, Notified({ids::kTextClose})}};
    for (const auto& c : cases) {
        if (c.inTextDialog) {
            v.OpenTextDialog();
        }
        commands.clear();
        r.Press(c.key, c.focus);
        EXPECT_EQ(commands, c.expected) << "focus on " << c.focus;
    }
    EXPECT_TRUE(v.IsTextDialogOpen() && r.MainWindowOpen()) << "the program decides";
    v.CloseTextDialog();
    EXPECT_FALSE(v.IsTextDialogOpen());
    v.SetCommandHandler([this](int, int) { v.CloseMainWindow(); });
    r.Press(Key::kCloseBox);
    EXPECT_FALSE(r.MainWindowOpen());
}

// Opening the text dialog again starts it as new: empty, with the focus where it first was, so
// "Senden" sends nothing until something is typed.
TEST_P(ViewContract, TheTextDialogStartsAnewAtEachOpeningAndFocusFollowsTheProgram) {
    Texts sent;
    v.SetCommandHandler([&](int id, int) {
        if (id == ids::kTextSend) {
            sent.push_back(v.GetText(ids::kTextEdit));
        } else if (id == ids::kLoadButton) {
            v.SetFocus(ids::kTxName);
        }
    });
    r.Click(ids::kLoadButton);
    EXPECT_TRUE(LetUntil([&] { return r.FocusId() == ids::kTxName; }));
    v.OpenTextDialog();
    r.Let(milliseconds(0));
    const int firstFocus = r.FocusId();
    r.Type(ids::kTextEdit, "Hallo");
    r.Press(Key::kEnter, ids::kTextEdit);
    v.SetFocus(ids::kTextClose);
    r.Let(milliseconds(0));
    v.CloseTextDialog();
    v.OpenTextDialog();
    r.Let(milliseconds(0));
    EXPECT_EQ(r.FocusId(), firstFocus);
    r.Press(Key::kEnter);
    EXPECT_EQ(sent, (Texts{"Hallo", ""}));
}

// The window starts at its template's size, the least it can be; made larger, it gives the room
// to the MessageList and the width also to the port box, whose neighbours on the right move with
// it, and moves nothing else; it is not put where no screen shows it, nor larger than a screen.
TEST_P(ViewContract, TheWindowGrowsItsListAndPortBoxAndStaysWhereAScreenShowsIt) {
    const layout::Rect least = v.MainWindowPlacement();
    const struct {
        int id;
        int dx, dw, dh;  // moved right, made wider and higher by the extra room times these
    } items[] = {{ids::kMessageList, 0, 1, 1},  {ids::kPortCombo, 0, 1, 0},
                 {ids::kPortRowFrame, 0, 1, 0}, {ids::kBaudCombo, 1, 0, 0},
                 {ids::kBaudLabel, 1, 0, 0},    {ids::kFlowCombo, 1, 0, 0},
                 {ids::kCtsIndicator, 1, 0, 0}, {ids::kComButton, 0, 0, 0},
                 {ids::kDtrIndicator, 0, 0, 0}, {ids::kRxKind, 0, 0, 0}};
    std::vector<layout::Rect> before;
    for (const auto& item : items) {
        before.push_back(r.ControlRect(item.id));
    }
    // Within the least screen of the rigs (1024 by 768), which Windows lets no window outgrow.
    v.PlaceMainWindow({40, 30, least.width + 100, least.height + 60});
    r.Let(milliseconds(0));
    EXPECT_EQ(v.MainWindowPlacement(),
              (layout::Rect{40, 30, least.width + 100, least.height + 60}));
    for (std::size_t i = 0; i < std::size(items); ++i) {
        const layout::Rect& was = before[i];
        EXPECT_EQ(r.ControlRect(items[i].id),
                  (layout::Rect{was.x + 100 * items[i].dx, was.y, was.width + 100 * items[i].dw,
                                was.height + 60 * items[i].dh}))
            << items[i].id;
    }
    const layout::Rect list = before[0];
    // A size from a state file edited by hand is cut to the screen.
    v.PlaceMainWindow({0, 0, 100000, 100000});
    r.Let(milliseconds(0));
    const layout::Rect huge = v.MainWindowPlacement();
    EXPECT_TRUE(huge.width <= 10000 && huge.height <= 10000) << huge.width << "x" << huge.height;
    v.PlaceMainWindow({-30000, -30000, 10, 10});
    r.Let(milliseconds(0));
    const layout::Rect back = v.MainWindowPlacement();
    EXPECT_EQ(std::tuple(back.width, back.height), std::tuple(least.width, least.height));
    EXPECT_TRUE(back.x > -10000 && back.y > -10000) << back.x << "," << back.y;
    EXPECT_EQ(r.ControlRect(ids::kMessageList), list);
}

// Tab passes read-only fields, the display-only type box and the hidden CTS indicator; the text
// beside the progress bar reads back as written.
TEST_P(ViewContract, TabVisitsWhatAPersonCanChangeAndTheProgressTextReadsBack) {
    std::vector<int> expected;
    for (const layout::Item& item : layout::MainDialog().items) {
        if (layout::IsTabStop(item) && v.IsEnabled(item.id) && v.IsVisible(item.id)) {
            expected.push_back(item.id);
        }
    }
    r.Click(ids::kComButton);
    std::vector<int> visited{r.FocusId()};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        r.Press(Key::kTab);
        visited.push_back(r.FocusId());
    }
    expected.push_back(expected.front());
    EXPECT_EQ(visited, expected);
    v.SetProgressText("43% \x96 1.234 B/s \x96 noch 0:12");
    EXPECT_EQ(v.GetText(ids::kProgressText), "43% \x96 1.234 B/s \x96 noch 0:12");
    v.SetProgressText("");
    EXPECT_EQ(v.GetText(ids::kProgressText), "");
}

TEST_P(ViewContract, PostsFromOtherThreadsRunCompleteAndInOrderOnTheUiThread) {
    constexpr int kThreads = 4;
    constexpr int kPosts = 500;
    const std::thread::id ui = std::this_thread::get_id();
    std::vector<int> next(kThreads, 0);  // touched only by the tasks, on the UI thread
    int inOrder = 0;
    std::vector<std::thread> workers;
    for (std::size_t t = 0; t < kThreads; ++t) {
        workers.emplace_back([&, t] {
            for (int i = 0; i < kPosts; ++i) {
                r.Loop().Post(
                    [&, t, i] { inOrder += next[t]++ == i && std::this_thread::get_id() == ui; });
            }
        });
    }
    EXPECT_TRUE(LetUntil([&] { return inOrder == kThreads * kPosts; }));
    for (std::thread& worker : workers) {
        worker.join();
    }
}

// Nothing fires inside StartTimer; the rest is order, not real time, so it holds on a busy machine.
TEST_P(ViewContract, TimersFireByDeadlineRestartReplacesStopCancelsAndAFiringTimerMayRestart) {
    Texts log;
    for (auto [id, delayMs, name] :
         {std::tuple(1, 120, "late"), std::tuple(2, 40, "early"), std::tuple(3, 60, "stopped"),
          std::tuple(4, 30, "replaced"), std::tuple(4, 80, "restarted")}) {
        r.Loop().StartTimer(id, milliseconds(delayMs), [&log, name] { log.push_back(name); });
    }
    r.Loop().StopTimer(3);
    r.Loop().StopTimer(99);
    int again = 0;
    r.Loop().StartTimer(5, milliseconds(10), [&] {
        log.push_back("restarts");
        r.Loop().StartTimer(5, milliseconds(10), [&] { ++again; });
    });
    EXPECT_TRUE(log.empty());
    LetUntil([&] { return log.size() >= 4 && again > 0; });
    r.Let(milliseconds(50));
    EXPECT_EQ(log, (Texts{"restarts", "early", "restarted", "late"}));
    EXPECT_EQ(again, 1);
}

TEST_P(ViewContract, EveryPaneAndEveryMenuCheckReadsBackAsSet) {
    for (int pane = 0; pane < 4; ++pane) {
        v.SetPaneText(pane, "Bytes empfangen: " + std::to_string(pane) + " \xE4");
        EXPECT_EQ(r.PaneText(pane), "Bytes empfangen: " + std::to_string(pane) + " \xE4");
    }
    for (const layout::MenuEntry& entry : layout::MainMenu()) {
        for (bool checked : {true, false, true}) {
            if (entry.kind == layout::MenuKind::kItem) {
                v.CheckMenuItem(entry.commandId, checked);
                EXPECT_EQ(r.MenuChecked(entry.commandId), checked) << entry.commandId;
            }
        }
    }
}

// The terminal's bar is reached only while it is open; its close box only asks; the program opens
// and closes it, and puts it where a screen shows it.
TEST_P(ViewContract, TheTerminalOpensAsTheProgramSaysAndItsBarReportsLikeTheMainWindow) {
    TerminalScreen screen;
    r.Click(ids::kTerminalBreak);
    EXPECT_FALSE(v.IsTerminalOpen());
    v.OpenTerminal(screen);
    r.Let(milliseconds(0));
    EXPECT_TRUE(v.IsTerminalOpen());
    EXPECT_EQ(v.GetText(ids::kTerminalTimeout), "10");
    EXPECT_EQ(v.GetText(ids::kTerminalReceive), "Empfang starten");
    r.Click(ids::kTerminalBreak);
    r.Click(ids::kTerminalExpectCheck);
    EXPECT_TRUE(v.IsChecked(ids::kTerminalExpectCheck));
    r.Type(ids::kTerminalExpect, "A>");
    r.CloseTerminalByUser();
    EXPECT_TRUE(v.IsTerminalOpen()) << "the program decides";
    Commands expected = Notified({ids::kTerminalBreak, ids::kTerminalExpectCheck});
    expected.emplace_back(ids::kTerminalExpect, ids::kNotifyEditChange);
    expected.emplace_back(ids::kTerminalExpect, ids::kNotifyEditChange);
    expected.emplace_back(ids::kTerminalCloseBox, ids::kNotifyClicked);
    EXPECT_EQ(commands, expected);
    EXPECT_EQ(v.GetText(ids::kTerminalExpect), "A>");
    const layout::Rect least = v.TerminalPlacement();
    v.PlaceTerminal({40, 30, least.width + 50, least.height + 40});
    r.Let(milliseconds(0));
    EXPECT_EQ(v.TerminalPlacement(), (layout::Rect{40, 30, least.width + 50, least.height + 40}));
    v.PlaceTerminal({-30000, -30000, least.width, least.height});
    r.Let(milliseconds(0));
    EXPECT_TRUE(v.TerminalPlacement().x > -10000) << v.TerminalPlacement().x;
    v.CloseTerminal();
    r.Let(milliseconds(0));
    EXPECT_FALSE(v.IsTerminalOpen());
    commands.clear();
    r.Click(ids::kTerminalBreak);
    r.TypeInTerminal("x");
    EXPECT_TRUE(commands.empty());
}

// Every key reaches the terminal, Tab and Escape included (neither moves the focus nor closes);
// characters as UTF-8, the clipboard's text as a paste; the screen's height when it opens.
TEST_P(ViewContract, TheTerminalsKeysAndPastesReachItsHandler) {
    TerminalScreen screen;
    std::vector<std::string> got;
    v.SetTerminalInputHandler([&](const TerminalInput& input) {
        using Kind = TerminalInput::Kind;
        got.push_back(input.kind == Kind::kText    ? "text " + input.text
                      : input.kind == Kind::kPaste ? "paste " + input.text
                      : input.kind == Kind::kKey
                          ? "key " + std::to_string(static_cast<int>(input.key))
                          : (input.rows > 0 ? "rows" : "no rows"));
    });
    v.OpenTerminal(screen);
    r.Let(milliseconds(0));
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.front(), "rows");
    got.clear();
    r.TypeInTerminal("a\xC3\xA4");
    for (TerminalKey key :
         {TerminalKey::kEnter, TerminalKey::kBackspace, TerminalKey::kTab, TerminalKey::kEscape,
          TerminalKey::kUp, TerminalKey::kLeft, TerminalKey::kDelete}) {
        r.PressInTerminal(key);
    }
    r.PasteInTerminal("10 PRINT\n20 END\n");
    EXPECT_EQ(got, (Texts{"text a", "text \xC3\xA4", "key 0", "key 1", "key 2", "key 3", "key 4",
                          "key 7", "key 8", "paste 10 PRINT\n20 END\n"}));
    EXPECT_TRUE(v.IsTerminalOpen()) << "Escape is the terminal's";
    EXPECT_TRUE(commands.empty());
}

// The screen shows its last lines and follows them as more come; a selection made with the mouse
// reads back as places of the text; the clipboard takes code page 1252 text.
TEST_P(ViewContract, TheTerminalShowsItsEndAndReadsBackSelectionAndClipboard) {
    TerminalScreen screen(80, 1000, 4);
    v.SetTerminalInputHandler([&](const TerminalInput& input) {
        if (input.kind == TerminalInput::Kind::kRows) {
            screen.SetRows(static_cast<std::size_t>(input.rows));
            v.TerminalChanged();
        }
    });
    std::string text;
    for (int i = 0; i < 100; ++i) {
        text += "Zeile " + std::to_string(i) + "\r\n";
    }
    text += "ABCDEF";
    screen.Feed({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    v.OpenTerminal(screen);
    r.Let(milliseconds(0));
    Texts shown = r.TerminalShownLines();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), "ABCDEF");
    EXPECT_EQ(shown.size(), screen.Rows());
    const std::string more = "\r\nweiter";
    screen.Feed({reinterpret_cast<const std::uint8_t*>(more.data()), more.size()});
    v.TerminalChanged();
    r.Let(milliseconds(0));
    shown = r.TerminalShownLines();
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown.back(), "weiter");
    EXPECT_EQ(shown[shown.size() - 2], "ABCDEF");
    const std::uint64_t line = screen.Cursor().line - 1;
    r.DragInTerminal({line, 4}, {line, 1});
    const auto selection = v.TerminalSelection();
    ASSERT_TRUE(selection.has_value());
    EXPECT_EQ(screen.Text(selection->first, selection->second), "BCD");
    v.CopyToClipboard("Gr\xFC\xDF \x80");
    EXPECT_EQ(r.Clipboard(), "Gr\xFC\xDF \x80");
}

}  // namespace velotrix::contract

#define VELOTRIX_VIEW_CONTRACT(name, factory) \
    INSTANTIATE_TEST_SUITE_P(name, ViewContract, ::testing::Values(RigMaker{#name, factory}))
