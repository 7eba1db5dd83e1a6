// The in-memory window: its notifications and a person's actions behave as the real window's do.
#include "platform/headless/headless_view.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/ids.h"

namespace velotrix {
namespace {

using Command = std::pair<int, int>;
using Lines = std::vector<std::string>;

// A view whose commands are recorded in order.
struct Recorded {
    Recorded() {
        view.SetCommandHandler([this](int id, int code) { commands.emplace_back(id, code); });
    }
    // The commands' IDs; a command other than a click shows as its negated code.
    std::vector<int> Clicked() const {
        std::vector<int> result;
        for (auto [id, code] : commands) {
            result.push_back(code == ids::kNotifyClicked ? id : -code);
        }
        return result;
    }
    HeadlessView view;
    std::vector<Command> commands;
};

TEST(HeadlessView, WritingAnEditFieldRaisesItsChangeEveryTime) {
    Recorded r;
    // Unchanged text and read-only fields notify too; buttons and combo boxes never do.
    for (int id : {ids::kTxAadr, ids::kTxAadr, ids::kRxCrc, ids::kSaveButton, ids::kBaudCombo}) {
        r.view.SetText(id, "123456");
    }
    EXPECT_EQ(r.commands, (std::vector<Command>{{ids::kTxAadr, ids::kNotifyEditChange},
                                                {ids::kTxAadr, ids::kNotifyEditChange},
                                                {ids::kRxCrc, ids::kNotifyEditChange}}));
    // The typing limit does not bind the program.
    EXPECT_EQ(r.view.Text(ids::kTxAadr), "123456");
}

TEST(HeadlessView, ProgramSelectsSilentlyAndSortedBoxesKeepOrder) {
    Recorded r;
    for (const char* entry : {"8", "7", "b", "A"}) {
        r.view.ComboAdd(ids::kDataBitsCombo, entry);
        r.view.ComboAdd(ids::kStopBitsCombo, entry);
        if (entry[0] == '8') {
            r.view.ComboSelect(ids::kDataBitsCombo, 0);
        }
    }
    EXPECT_EQ(r.view.Lines(ids::kDataBitsCombo), (Lines{"7", "8", "A", "b"}));
    EXPECT_EQ(r.view.Lines(ids::kStopBitsCombo), (Lines{"8", "7", "b", "A"}));
    // The selection stays on its entry while others are sorted in before it.
    EXPECT_EQ(r.view.Text(ids::kDataBitsCombo), "8");
    r.view.ComboSelect(ids::kStopBitsCombo, 4);
    EXPECT_EQ(r.view.ComboSelection(ids::kStopBitsCombo), -1);
    EXPECT_TRUE(r.commands.empty());
    r.view.UserSelect(ids::kStopBitsCombo, 9);
    r.view.UserSelect(ids::kStopBitsCombo, 1);
    EXPECT_EQ(r.commands, (std::vector<Command>{{ids::kStopBitsCombo, ids::kNotifySelChange}}));
}

TEST(HeadlessView, ClicksReachOnlyWhatAPersonCouldReach) {
    Recorded r;
    HeadlessView& v = r.view;
    v.Click(ids::kLoadButton);
    v.Enable(ids::kLoadButton, false);
    v.EnableMenuItem(ids::kMenuSendText, false);
    for (int id : {ids::kLoadButton, ids::kCtsIndicator, ids::kMenuSendText, ids::kTxName,
                   ids::kTextSend, 4711}) {
        v.Click(id);  // disabled, hidden, grayed, no command, dialog closed, unknown
    }
    v.OpenTextDialog();
    for (int id : {ids::kComButton, ids::kMenuInfo, ids::kTextSend}) {
        v.Click(id);  // the modal dialog blocks the main window and its menu
    }
    v.CloseMainWindow();
    v.Click(ids::kTextSend);
    EXPECT_EQ(r.Clicked(), (std::vector<int>{ids::kLoadButton, ids::kTextSend}));
}

TEST(HeadlessView, CheckBoxesToggleBeforeTheirCommandTheIndicatorNever) {
    HeadlessView view;
    std::vector<bool> seen;
    view.SetCommandHandler([&](int id, int) { seen.push_back(view.IsChecked(id)); });
    view.Click(ids::kContinuousCheck);
    view.Click(ids::kContinuousCheck);
    view.Show(ids::kCtsIndicator, true);
    view.Click(ids::kCtsIndicator);
    EXPECT_EQ(seen, (std::vector<bool>{true, false, false}));
}

TEST(HeadlessView, TypingRespectsLimitsAndReadOnlyFields) {
    HeadlessView view;
    Lines texts;
    view.SetText(ids::kTxAadr, " ");
    view.SetCommandHandler([&](int id, int) { texts.push_back(view.Text(id)); });
    view.Type(ids::kTxAadr, "12345");
    view.Type(ids::kTxEadr, "FFFF");
    view.Type(ids::kTxAadr, "");
    view.Type(ids::kTxAadr, "");
    EXPECT_EQ(texts, (Lines{"1", "12", "123", "1234", ""}));
}

TEST(HeadlessView, KeysGoWhereWindowsSendsThem) {
    Recorded r;
    HeadlessView& v = r.view;
    v.SetFocus(ids::kMessageList);
    v.PressEnter();
    v.Click(ids::kLoadButton);  // a focused push button takes Enter, a check box does not
    v.PressEnter();
    v.Click(ids::kBinModeCheck);
    v.PressEnter();
    v.PressEscape();
    v.PressCloseBox();
    v.OpenTextDialog();  // which ignores Enter, Escape and the main window's close box
    v.PressEnter();
    v.PressEscape();
    v.PressCloseBox();
    v.CloseTextDialogByUser();
    v.CloseTextDialog();
    v.Enable(ids::kComButton, false);
    v.PressEnter();
    EXPECT_EQ(r.Clicked(), (std::vector<int>{ids::kComButton, ids::kLoadButton, ids::kLoadButton,
                                             ids::kBinModeCheck, ids::kComButton, ids::kCancel,
                                             ids::kCloseBox, ids::kTextClose}));
}

TEST(HeadlessView, TextDialogOpensFreshAndGivesTheFocusBack) {
    HeadlessView view;
    view.SetFocus(ids::kMessageList);
    view.OpenTextDialog();
    EXPECT_EQ(view.FocusId(), 0);
    view.Type(ids::kTextEdit, "HALLO");
    EXPECT_EQ(view.Text(ids::kTextEdit), "HALLO");
    view.CloseTextDialog();
    EXPECT_EQ(view.FocusId(), ids::kMessageList);
    view.OpenTextDialog();
    EXPECT_EQ(view.Text(ids::kTextEdit), "");
}

TEST(HeadlessView, FileDialogsAnswerFromTheQueueAndCancelWhenEmpty) {
    HeadlessView view;
    const std::vector<FileFilter> filters = {{"alle Dateien (*.*)", "*.*"}, {"BIN", "*.bin"}};
    view.QueueOpenFileAnswer("/tmp/a.bin", 1);
    view.QueueSaveFileAnswer("/tmp/b.z80");
    int index = 0;
    EXPECT_EQ(view.AskOpenFile("laden", filters, index), "/tmp/a.bin");
    EXPECT_EQ(view.AskOpenFile("laden", filters, index), std::nullopt);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(view.AskSaveFile("sichern", "NAME.Z80", filters), "/tmp/b.z80");
    EXPECT_EQ(view.AskSaveFile("sichern", "default.bin", filters), std::nullopt);
    const auto& calls = view.FileDialogCalls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(std::make_pair(calls[0].filterIndexIn, calls[0].filterIndexOut),
              std::make_pair(0, 1));
    EXPECT_EQ(calls[3].kind, HeadlessView::FileDialogKind::kSave);
    EXPECT_EQ(calls[3].suggestedName, "default.bin");
}

TEST(HeadlessView, UnknownIdsAndPanesReadEmptyAndChangeNothing) {
    Recorded r;
    HeadlessView& v = r.view;
    for (int id : {0, -1, 4711, ids::kStatusBar}) {
        v.SetText(id, "x");
        v.Show(id, true);
        v.ComboAdd(id, "x");
        v.ListAdd(id, "x");
        v.SetFocus(id);
        v.Type(id, "x");
        v.UserSelect(id, 0);
        EXPECT_EQ(v.GetText(id) + v.ComboItem(id, 0), "");
        EXPECT_FALSE(v.IsEnabled(id) || v.IsVisible(id) || v.IsChecked(id) || v.MenuEnabled(id));
        EXPECT_EQ(v.ComboCount(id) + v.ListCount(id) + v.ComboSelection(id), -1);
    }
    v.SetPaneText(7, "x");
    EXPECT_EQ(v.PaneText(7), "");
    EXPECT_EQ(v.FocusId(), 0);
    EXPECT_TRUE(r.commands.empty());
}

}  // namespace
}  // namespace velotrix
