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

// A view whose commands are recorded in order.
struct Recorded {
    Recorded() {
        view.SetCommandHandler([this](int id, int code) { commands.emplace_back(id, code); });
    }
    void FillCombo(int id, std::initializer_list<const char*> entries) {
        for (const char* entry : entries) {
            view.ComboAdd(id, entry);
        }
    }

    HeadlessView view;
    std::vector<Command> commands;
};

TEST(HeadlessView, StartsAsTheTemplateSays) {
    HeadlessView view;
    EXPECT_EQ(view.Title(), "V.24 Velotrix");
    EXPECT_EQ(view.Text(ids::kComButton),
              "COM \xF6"
              "ffnen");
    EXPECT_FALSE(view.IsEnabled(ids::kRxType));
    EXPECT_FALSE(view.IsVisible(ids::kCtsIndicator));
    EXPECT_TRUE(view.IsEnabled(ids::kSaveButton));
    EXPECT_TRUE(view.MenuEnabled(ids::kMenuSendText));
    // The text dialog's controls exist but cannot be seen before it opens.
    EXPECT_EQ(view.Text(ids::kTextSend), "Senden");
    EXPECT_FALSE(view.IsVisible(ids::kTextSend));
    EXPECT_FALSE(view.TextDialogOpen());
}

TEST(HeadlessView, WritingAnEditFieldRaisesItsChangeEveryTime) {
    Recorded r;
    auto& view = r.view;
    auto& commands = r.commands;
    for (int id : {ids::kTxAadr, ids::kRxCrc, ids::kTxAadr}) {
        view.SetText(id, "1234");
    }
    // The limit binds typing only; the program may write more.
    view.SetText(ids::kTxSadr, "123456");
    view.SetText(ids::kSaveButton, "x");
    view.SetText(ids::kBaudCombo, "9600");
    EXPECT_EQ(commands, (std::vector<Command>{{ids::kTxAadr, ids::kNotifyEditChange},
                                              {ids::kRxCrc, ids::kNotifyEditChange},
                                              {ids::kTxAadr, ids::kNotifyEditChange},
                                              {ids::kTxSadr, ids::kNotifyEditChange}}));
    EXPECT_EQ(view.Text(ids::kTxSadr), "123456");
    EXPECT_EQ(view.Text(ids::kBaudCombo), "");
}

TEST(HeadlessView, AHandlerMayWriteOtherFieldsWhileNotified) {
    Recorded r;
    auto& view = r.view;
    auto& commands = r.commands;
    view.SetCommandHandler([&](int id, int code) {
        commands.emplace_back(id, code);
        if (id == ids::kTxAadr) {
            view.SetText(ids::kTxEadr, view.Text(ids::kTxAadr) + "!");
        }
    });
    view.SetText(ids::kTxAadr, "12");
    EXPECT_EQ(view.Text(ids::kTxEadr), "12!");
    EXPECT_EQ(commands.size(), 2u);
}

TEST(HeadlessView, ComboSelectionByProgramIsSilentByUserIsNotified) {
    Recorded r;
    auto& view = r.view;
    auto& commands = r.commands;
    r.FillCombo(ids::kParityCombo, {"keine", "gerade", "ungerade"});
    view.ComboSelect(ids::kParityCombo, 2);
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(view.Text(ids::kParityCombo), "ungerade");
    view.ComboSelect(ids::kParityCombo, 3);
    EXPECT_EQ(view.ComboSelection(ids::kParityCombo), -1);
    view.UserSelect(ids::kParityCombo, 1);
    view.UserSelect(ids::kParityCombo, 7);  // no such entry to pick
    EXPECT_EQ(commands, (std::vector<Command>{{ids::kParityCombo, ids::kNotifySelChange}}));
    EXPECT_EQ(view.ComboSelection(ids::kParityCombo), 1);
    view.UserSelect(ids::kRxType, 0);  // disabled
    EXPECT_EQ(commands.size(), 1u);
}

TEST(HeadlessView, SortedComboKeepsOrderAndTheSelectionFollowsItsEntry) {
    Recorded r;
    auto& view = r.view;
    r.FillCombo(ids::kDataBitsCombo, {"8"});
    view.ComboSelect(ids::kDataBitsCombo, 0);
    r.FillCombo(ids::kDataBitsCombo, {"7", "b", "A"});
    EXPECT_EQ(view.Lines(ids::kDataBitsCombo), (std::vector<std::string>{"7", "8", "A", "b"}));
    EXPECT_EQ(view.Text(ids::kDataBitsCombo), "8");
    r.FillCombo(ids::kStopBitsCombo, {"2", "1"});
    EXPECT_EQ(view.Lines(ids::kStopBitsCombo), (std::vector<std::string>{"2", "1"}));
    view.ComboClear(ids::kDataBitsCombo);
    EXPECT_EQ(view.ComboCount(ids::kDataBitsCombo), 0);
    EXPECT_EQ(view.ComboSelection(ids::kDataBitsCombo), -1);
}

TEST(HeadlessView, ListKeepsLinesInOrderAndReportsThem) {
    HeadlessView view;
    std::vector<std::string> seen;
    int clears = 0;
    view.onListAdd = [&](int, const std::string& line) { seen.push_back(line); };
    view.onListClear = [&](int) { ++clears; };
    view.ListAdd(ids::kMessageList, "b");
    view.ListAdd(ids::kMessageList, "a");
    view.ListSelect(ids::kMessageList, 1);
    EXPECT_EQ(view.Selection(ids::kMessageList), 1);
    view.ListSelect(ids::kMessageList, -1);
    EXPECT_EQ(view.Selection(ids::kMessageList), -1);
    EXPECT_EQ(view.Lines(ids::kMessageList), (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(seen, view.Lines(ids::kMessageList));
    view.ListClear(ids::kMessageList);
    EXPECT_EQ(view.ListCount(ids::kMessageList), 0);
    EXPECT_EQ(clears, 1);
}

// Each row: what to prepare, the click, and the commands that follow.
TEST(HeadlessView, ClicksReachOnlyWhatAPersonCouldReach) {
    struct Case {
        const char* name;
        void (*prepare)(HeadlessView&);
        int click;
        std::vector<Command> expected;
    };
    const Case cases[] = {
        {"button", [](HeadlessView&) {}, ids::kLoadButton, {{ids::kLoadButton, 0}}},
        {"disabled",
         [](HeadlessView& v) { v.Enable(ids::kLoadButton, false); },
         ids::kLoadButton,
         {}},
        {"hidden", [](HeadlessView&) {}, ids::kCtsIndicator, {}},
        {"grayed menu",
         [](HeadlessView& v) { v.EnableMenuItem(ids::kMenuSendText, false); },
         ids::kMenuSendText,
         {}},
        {"menu", [](HeadlessView&) {}, ids::kMenuInfo, {{ids::kMenuInfo, 0}}},
        {"main under text dialog",
         [](HeadlessView& v) { v.OpenTextDialog(); },
         ids::kComButton,
         {}},
        {"menu under text dialog", [](HeadlessView& v) { v.OpenTextDialog(); }, ids::kMenuInfo, {}},
        {"text dialog closed", [](HeadlessView&) {}, ids::kTextSend, {}},
        {"text dialog open",
         [](HeadlessView& v) { v.OpenTextDialog(); },
         ids::kTextSend,
         {{ids::kTextSend, 0}}},
        {"main window closed", [](HeadlessView& v) { v.CloseMainWindow(); }, ids::kComButton, {}},
        {"edit takes no command", [](HeadlessView&) {}, ids::kTxName, {}},
        {"unknown id", [](HeadlessView&) {}, 4711, {}},
    };
    for (const Case& c : cases) {
        HeadlessView fresh;
        std::vector<Command> got;
        fresh.SetCommandHandler([&](int id, int code) { got.emplace_back(id, code); });
        c.prepare(fresh);
        fresh.Click(c.click);
        EXPECT_EQ(got, c.expected) << c.name;
    }
}

TEST(HeadlessView, CheckBoxToggleIsVisibleToItsCommandButIndicatorStays) {
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
    std::vector<std::string> texts;
    view.SetCommandHandler([&](int id, int) { texts.push_back(view.Text(id)); });
    view.SetText(ids::kTxAadr, " ");
    texts.clear();
    view.Type(ids::kTxAadr, "12345");
    EXPECT_EQ(texts, (std::vector<std::string>{"1", "12", "123", "1234"}));
    view.Type(ids::kTxAadr, "");
    view.Type(ids::kTxAadr, "");
    EXPECT_EQ(texts.size(), 5u);
    EXPECT_EQ(view.Text(ids::kTxAadr), "");
    view.Type(ids::kTxEadr, "FFFF");
    EXPECT_EQ(texts.size(), 5u);
    EXPECT_EQ(view.FocusId(), ids::kTxAadr);
}

TEST(HeadlessView, KeysGoWhereWindowsSendsThem) {
    Recorded r;
    auto& view = r.view;
    auto& commands = r.commands;
    view.SetFocus(ids::kMessageList);
    view.PressEnter();
    view.Click(ids::kLoadButton);  // a push button with the focus takes Enter
    view.PressEnter();
    view.Click(ids::kBinModeCheck);  // a check box does not
    view.PressEnter();
    view.PressEscape();
    view.PressCloseBox();
    view.OpenTextDialog();
    view.PressEnter();
    view.PressEscape();
    view.PressCloseBox();
    view.CloseTextDialogByUser();
    EXPECT_EQ(commands, (std::vector<Command>{{ids::kComButton, 0},
                                              {ids::kLoadButton, 0},
                                              {ids::kLoadButton, 0},
                                              {ids::kBinModeCheck, 0},
                                              {ids::kComButton, 0},
                                              {ids::kCancel, 0},
                                              {ids::kCloseBox, 0},
                                              {ids::kTextClose, 0}}));
    commands.clear();
    view.CloseTextDialog();
    view.Enable(ids::kComButton, false);
    view.SetFocus(ids::kMessageList);
    view.PressEnter();
    EXPECT_TRUE(commands.empty());
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
    EXPECT_EQ(index, 1);
    EXPECT_EQ(view.AskOpenFile("laden", filters, index), std::nullopt);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(view.AskSaveFile("sichern", "NAME.Z80", filters), "/tmp/b.z80");
    EXPECT_EQ(view.AskSaveFile("sichern", "default.bin", filters), std::nullopt);
    const auto& calls = view.FileDialogCalls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].filterIndexIn, 0);
    EXPECT_EQ(calls[0].filterIndexOut, 1);
    EXPECT_EQ(calls[1].filterIndexIn, 1);
    EXPECT_EQ(calls[2].kind, HeadlessView::FileDialogKind::kSave);
    EXPECT_EQ(calls[3].suggestedName, "default.bin");
    EXPECT_EQ(calls[1].filters.size(), 2u);
}

TEST(HeadlessView, MessagesStatusAndProgressAreRecorded) {
    HeadlessView view;
    int observed = 0;
    view.onMessageBox = [&](const HeadlessView::Message&) { ++observed; };
    view.MessageBox("a\rb", "Fehler!", MessageIcon::kError);
    ASSERT_EQ(view.Messages().size(), 1u);
    EXPECT_EQ(view.Messages()[0].caption, "Fehler!");
    EXPECT_EQ(observed, 1);
    view.SetPaneText(ids::kPaneSent, "42");
    view.SetPaneText(7, "ignored");
    EXPECT_EQ(view.PaneText(ids::kPaneSent), "42");
    EXPECT_EQ(view.PaneText(7), "");
    view.ShowProgress(10);
    view.SetProgress(25);
    EXPECT_EQ(view.ProgressValue(), 10u);
    view.HideProgress();
    view.ShowProgress(5);
    EXPECT_EQ(view.ProgressValue(), 0u);
    EXPECT_EQ(view.ProgressShowCount(), 2);
}

TEST(HeadlessView, UnknownIdsReadEmptyAndChangeNothing) {
    Recorded r;
    auto& view = r.view;
    auto& commands = r.commands;
    for (int id : {0, -1, 4711, ids::kStatusBar}) {
        view.SetText(id, "x");
        view.Enable(id, true);
        view.Show(id, true);
        view.SetCheck(id, true);
        view.ComboAdd(id, "x");
        view.ComboSelect(id, 0);
        view.ListAdd(id, "x");
        view.ListSelect(id, 0);
        view.SetFocus(id);
        view.EnableMenuItem(id, true);
        view.Type(id, "x");
        view.UserSelect(id, 0);
        EXPECT_EQ(view.GetText(id), "");
        EXPECT_FALSE(view.IsEnabled(id) || view.IsVisible(id) || view.IsChecked(id));
        EXPECT_EQ(view.ComboCount(id) + view.ListCount(id), 0);
        EXPECT_EQ(view.ComboSelection(id), -1);
        EXPECT_EQ(view.ComboItem(id, 0), "");
        EXPECT_FALSE(view.MenuEnabled(id));
    }
    EXPECT_EQ(view.FocusId(), 0);
    EXPECT_TRUE(commands.empty());
}

}  // namespace
}  // namespace velotrix
