// The Win32 window and loop under Wine's null display driver: the dialogs as the layout tables
// describe them, the notifications and keys as the controller expects them, posted work and timers.
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "frontends/win32/win32_loop.h"
#include "frontends/win32/win32_view.h"
#include "ui-resources/ids.h"

namespace velotrix {
namespace {

using namespace std::chrono_literals;
using Commands = std::vector<std::pair<int, int>>;

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// Runs the thread's messages through the view, as its message loop does, for a while.
void Pump(Win32View& view, std::chrono::milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    do {
        MSG msg{};
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!view.PreTranslate(msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        std::this_thread::sleep_for(5ms);
    } while (std::chrono::steady_clock::now() < end);
}

class Win32ViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls,
                                      ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        view_ = std::make_unique<Win32View>();
        view_->SetCommandHandler([this](int id, int code) { commands_.emplace_back(id, code); });
        ShowWindow(view_->MainWindow(), SW_SHOW);
    }

    // Sends a key to the window with the focus, through the view's dialog keys.
    void PressKey(HWND focus, WPARAM key) {
        MSG msg{focus, WM_KEYDOWN, key, 0, 0, {}};
        if (!view_->PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Pump(*view_, 20ms);
    }

    std::unique_ptr<Win32View> view_;
    Commands commands_;
};

TEST_F(Win32ViewTest, BuildsBothDialogsFromTheLayoutTables) {
    const struct {
        const layout::DialogLayout& dialog;
        HWND window;
    } dialogs[] = {{layout::MainDialog(), view_->MainWindow()},
                   {layout::TextDialog(), view_->TextDialogWindow()}};
    const wchar_t* classes[] = {L"Button", L"ComboBox", L"Button", L"Button", L"Edit", L"ListBox"};
    for (const auto& d : dialogs) {
        for (const layout::Item& item : d.dialog.items) {
            if (item.id == layout::kNoId) {
                continue;
            }
            const HWND control = view_->Control(item.id);
            ASSERT_NE(control, nullptr) << item.id;
            EXPECT_EQ(GetParent(control), d.window) << item.id;
            EXPECT_EQ(lstrcmpiW(ClassName(control).c_str(), classes[static_cast<int>(item.kind)]),
                      0)
                << item.id;
            EXPECT_EQ(view_->IsVisible(item.id), !(item.style & layout::kHidden)) << item.id;
            EXPECT_EQ(view_->IsEnabled(item.id), !(item.style & layout::kDisabled)) << item.id;
        }
        // The client area is the template's size in the dialog font's units, menu or not.
        RECT expected{0, 0, d.dialog.width, d.dialog.height};
        MapDialogRect(d.window, &expected);
        RECT client{};
        GetClientRect(d.window, &client);
        EXPECT_EQ(std::tuple(client.right, client.bottom),
                  std::tuple(expected.right, expected.bottom));
    }
    EXPECT_NE(GetMenu(view_->MainWindow()), nullptr);
    EXPECT_EQ(SendMessageW(view_->Control(ids::kStatusBar), SB_GETPARTS, 0, 0), 4);
}

TEST_F(Win32ViewTest, TextsCrossInCodePage1252AndEditFieldsReportEverySetText) {
    const std::string text =
        "schlie\xDF"
        "en \xC4\xD6\xDC \x80";
    view_->SetText(ids::kTxName, text);
    view_->SetText(ids::kTxName, text);  // unchanged, still a change as on Windows
    view_->SetText(ids::kComButton, text);
    EXPECT_EQ(view_->GetText(ids::kTxName), text);
    EXPECT_EQ(view_->GetText(ids::kComButton), text);
    EXPECT_EQ(commands_, (Commands{{ids::kTxName, ids::kNotifyEditChange},
                                   {ids::kTxName, ids::kNotifyEditChange}}));
    view_->SetText(ids::kTxName,
                   std::string(40, 'x'));  // the limit binds the user, not the program
    EXPECT_EQ(view_->GetText(ids::kTxName).size(), 40u);
}

TEST_F(Win32ViewTest, ComboAndListBoxesKeepTheProgramsOrderAndSelection) {
    for (const char* entry : {"8", "7", "\xE4", "A", "b"}) {
        view_->ComboAdd(ids::kDataBitsCombo, entry);  // sorted
        view_->ComboAdd(ids::kParityCombo, entry);
    }
    std::vector<std::string> sorted;
    std::vector<std::string> added;
    for (int i = 0; i < 5; ++i) {
        sorted.push_back(view_->ComboItem(ids::kDataBitsCombo, i));
        added.push_back(view_->ComboItem(ids::kParityCombo, i));
    }
    EXPECT_EQ(sorted, (std::vector<std::string>{"7", "8", "A", "b", "\xE4"}));
    EXPECT_EQ(added, (std::vector<std::string>{"8", "7", "\xE4", "A", "b"}));
    EXPECT_EQ(view_->ComboSelection(ids::kParityCombo), -1);
    view_->ComboSelect(ids::kParityCombo, 2);
    EXPECT_EQ(view_->GetText(ids::kParityCombo), "\xE4");
    view_->ComboSelect(ids::kParityCombo, 5);
    EXPECT_EQ(view_->ComboSelection(ids::kParityCombo), -1);
    view_->ListAdd(ids::kMessageList, "eins");
    view_->ListAdd(ids::kMessageList, "zwei");
    view_->ListSelect(ids::kMessageList, 1);
    EXPECT_EQ(view_->ListCount(ids::kMessageList), 2);
    EXPECT_EQ(SendMessageW(view_->Control(ids::kMessageList), LB_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(commands_.empty());  // nothing the program does is reported as the user's choice
}

TEST_F(Win32ViewTest, KeysAndCloseBoxesReachTheControllerAsItExpects) {
    const HWND main = view_->MainWindow();
    SetForegroundWindow(main);
    ::SetFocus(view_->Control(ids::kTxName));
    PressKey(view_->Control(ids::kTxName), VK_RETURN);  // not the default button
    ::SetFocus(view_->Control(ids::kBaudCombo));
    PressKey(view_->Control(ids::kBaudCombo), VK_RETURN);
    PressKey(view_->Control(ids::kBaudCombo), VK_ESCAPE);
    SendMessageW(main, WM_CLOSE, 0, 0);
    SendMessageW(main, WM_COMMAND, ids::kMenuSendText, 0);
    EXPECT_EQ(commands_, (Commands{{ids::kComButton, ids::kNotifyClicked},
                                   {ids::kCancel, ids::kNotifyClicked},
                                   {ids::kCloseBox, ids::kNotifyClicked},
                                   {ids::kMenuSendText, ids::kNotifyClicked}}));

    commands_.clear();
    view_->OpenTextDialog();
    EXPECT_TRUE(view_->IsTextDialogOpen());
    EXPECT_FALSE(IsWindowEnabled(main));  // modal to the main window
    ::SetFocus(view_->Control(ids::kTextEdit));
    PressKey(view_->Control(ids::kTextEdit), VK_ESCAPE);
    PressKey(view_->Control(ids::kTextEdit), VK_RETURN);
    SendMessageW(view_->TextDialogWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(commands_, (Commands{{ids::kTextClose, ids::kNotifyClicked}}));
    view_->CloseTextDialog();
    EXPECT_TRUE(!view_->IsTextDialogOpen() && IsWindowEnabled(main));
}

TEST_F(Win32ViewTest, TheProgressBarCoversTheLastPaneWhileShown) {
    view_->ShowProgress(65536);
    view_->SetProgress(32768);
    const HWND bar = view_->ProgressBar();
    RECT pane{};
    SendMessageW(view_->Control(ids::kStatusBar), SB_GETRECT, ids::kPaneReceived,
                 reinterpret_cast<LPARAM>(&pane));
    RECT shown{};
    GetWindowRect(bar, &shown);
    MapWindowPoints(nullptr, view_->Control(ids::kStatusBar), reinterpret_cast<POINT*>(&shown), 2);
    EXPECT_TRUE(IsWindowVisible(bar) && EqualRect(&shown, &pane));
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 5000);
    view_->HideProgress();
    EXPECT_FALSE(IsWindowVisible(bar));
}

TEST(Win32LoopTest, RunsPostedWorkInOrderAndTimersOnce) {
    Win32View view;
    Win32Loop loop;
    const DWORD uiThread = GetCurrentThreadId();
    std::vector<int> ran;
    bool elsewhere = false;
    std::thread poster([&] {
        for (int i = 0; i < 50; ++i) {
            loop.Post([&, i] {
                elsewhere = elsewhere || GetCurrentThreadId() != uiThread;
                ran.push_back(i);
            });
        }
    });
    poster.join();
    int fired = 0;
    loop.StartTimer(1, 30ms, [&] { fired += 100; });
    loop.StartTimer(1, 30ms, [&] { ++fired; });  // a restart replaces the task
    loop.StartTimer(2, 10ms, [&] { fired += 1000; });
    loop.StopTimer(2);
    Pump(view, 200ms);
    EXPECT_EQ(ran.size(), 50u);
    EXPECT_TRUE(std::is_sorted(ran.begin(), ran.end()));
    EXPECT_FALSE(elsewhere);
    EXPECT_EQ(fired, 1);
}

}  // namespace
}  // namespace velotrix
