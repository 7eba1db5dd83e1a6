// The in-memory window: its notifications and a person's actions behave as the real window's do.
// The controller suites drive it throughout; these cases pin what they rely on.
#include "platform/headless/headless_view.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ui-resources/ids.h"

namespace velotrix {
namespace {

using Command = std::pair<int, int>;
using Lines = std::vector<std::string>;

TEST(HeadlessView, ProgramWritesNotifyEditsOnlyAndSortedBoxesKeepOrder) {
    HeadlessView view;
    std::vector<Command> commands;
    view.SetCommandHandler([&](int id, int code) { commands.emplace_back(id, code); });
    // Unchanged text and read-only fields notify too; buttons and combo boxes never do.
    for (int id : {ids::kTxAadr, ids::kTxAadr, ids::kRxCrc, ids::kSaveButton, ids::kBaudCombo}) {
        view.SetText(id, "123456");
    }
    EXPECT_EQ(view.Text(ids::kTxAadr), "123456") << "the typing limit does not bind the program";
    for (const char* entry : {"8", "7", "b", "A"}) {
        view.ComboAdd(ids::kDataBitsCombo, entry);
        view.ComboAdd(ids::kStopBitsCombo, entry);
        if (entry[0] == '8') {
            view.ComboSelect(ids::kDataBitsCombo, 0);
        }
    }
    EXPECT_EQ(view.Lines(ids::kDataBitsCombo), (Lines{"7", "8", "A", "b"}));
    EXPECT_EQ(view.Lines(ids::kStopBitsCombo), (Lines{"8", "7", "b", "A"}));
    EXPECT_EQ(view.Text(ids::kDataBitsCombo), "8") << "the selection stays on its entry";
    view.UserSelect(ids::kStopBitsCombo, 9);
    view.UserSelect(ids::kStopBitsCombo, 1);
    EXPECT_EQ(commands, (std::vector<Command>{{ids::kTxAadr, ids::kNotifyEditChange},
                                              {ids::kTxAadr, ids::kNotifyEditChange},
                                              {ids::kRxCrc, ids::kNotifyEditChange},
                                              {ids::kStopBitsCombo, ids::kNotifySelChange}}));
}

TEST(HeadlessView, ClicksReachOnlyWhatAPersonCouldReachAndTheIndicatorNeverToggles) {
    HeadlessView v;
    std::vector<Command> seen;  // the clicked ID and whether it was checked at its command
    v.SetCommandHandler([&](int id, int) { seen.emplace_back(id, v.IsChecked(id)); });
    v.Click(ids::kLoadButton);
    v.Enable(ids::kLoadButton, false);
    v.EnableMenuItem(ids::kMenuSendText, false);
    for (int id : {ids::kLoadButton, ids::kCtsIndicator, ids::kMenuSendText, ids::kTxName, 4711}) {
        v.Click(id);  // disabled, hidden, grayed, no command, unknown
    }
    v.Show(ids::kCtsIndicator, true);
    for (int id : {ids::kCtsIndicator, ids::kContinuousCheck, ids::kContinuousCheck}) {
        v.Click(id);
    }
    v.OpenTextDialog();
    v.Click(ids::kComButton);  // the modal dialog blocks the main window
    EXPECT_EQ(seen, (std::vector<Command>{{ids::kLoadButton, 0},
                                          {ids::kCtsIndicator, 0},
                                          {ids::kContinuousCheck, 1},
                                          {ids::kContinuousCheck, 0}}));
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

}  // namespace
}  // namespace velotrix
