// What only the Win32 window shows beyond the contract every view keeps: the dialogs as native
// dialogs of the layout tables (classes, dialog units, menu, status bar) and its progress bar.
#include "frontends/win32/windows_api.h"

#include <commctrl.h>

#include <memory>
#include <tuple>

#include <gtest/gtest.h>

#include "frontends/win32/reception_window.h"
#include "frontends/win32/win32_view.h"
#include "ui-resources/ids.h"
#include "ui-resources/messages.h"

namespace velotrix {
namespace {

class Win32ViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls,
                                      ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        view_ = std::make_unique<Win32View>();
        ShowWindow(view_->MainWindow(), SW_SHOW);
    }

    std::unique_ptr<Win32View> view_;
};

TEST_F(Win32ViewTest, BuildsBothDialogsFromTheLayoutTables) {
    const struct {
        const layout::DialogLayout& dialog;
        HWND window;
    } dialogs[] = {{layout::MainDialog(), view_->MainWindow()},
                   {layout::TextDialog(), view_->TextDialogWindow()}};
    const wchar_t* classes[] = {L"Button",  L"ComboBox", L"Button", L"Button", L"Edit",
                                L"ListBox", L"Static",   L"Button", L"Static"};
    for (const auto& d : dialogs) {
        for (const layout::Item& item : d.dialog.items) {
            if (item.id == layout::kNoId) {
                continue;
            }
            const HWND control = view_->Control(item.id);
            ASSERT_NE(control, nullptr) << item.id;
            EXPECT_EQ(GetParent(control), d.window) << item.id;
            wchar_t name[64] = {};
            GetClassNameW(control, name, 64);
            EXPECT_EQ(lstrcmpiW(name, classes[static_cast<int>(item.kind)]), 0) << item.id;
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

// The bar takes the left of the last pane, its text the right.
TEST_F(Win32ViewTest, TheProgressBarAndItsTextCoverTheLastPaneWhileShown) {
    view_->ShowProgress(65536);
    view_->SetProgress(32768);
    const HWND bar = view_->ProgressBar();
    RECT pane{};
    SendMessageW(view_->Control(ids::kStatusBar), SB_GETRECT, ids::kPaneReceived,
                 reinterpret_cast<LPARAM>(&pane));
    RECT shown{};
    GetWindowRect(bar, &shown);
    MapWindowPoints(nullptr, view_->Control(ids::kStatusBar), reinterpret_cast<POINT*>(&shown), 2);
    RECT text{};
    GetWindowRect(view_->Control(ids::kProgressText), &text);
    MapWindowPoints(nullptr, view_->Control(ids::kStatusBar), reinterpret_cast<POINT*>(&text), 2);
    EXPECT_TRUE(IsWindowVisible(bar) && shown.left == pane.left && shown.top == pane.top &&
                shown.right <= text.left && text.right <= pane.right);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 5000);
    view_->HideProgress();
    EXPECT_FALSE(IsWindowVisible(bar));
}

// A batch of lines goes into the list box after the task that listed it, without being asked for.
TEST_F(Win32ViewTest, ListedLinesReachTheListBoxAfterTheirBatch) {
    const HWND list = view_->Control(ids::kMessageList);
    view_->ListAdd(ids::kMessageList, "00 01 02 03");
    view_->ListAdd(ids::kMessageList, "04 05 06 07");
    EXPECT_EQ(view_->ListCount(ids::kMessageList), 2);
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&msg);
    }
    EXPECT_FALSE(view_->ListingPending());
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
}

// A closed box shows its entry from the start ("COM5: belegt"), not its end; "Ansicht" is as wide
// as a row, with no scroll bar sideways that it does not need.
TEST_F(Win32ViewTest, BoxesAndTheViewShowTheirTextFromTheStartWithoutScrollingSideways) {
    const HWND combo = view_->Control(ids::kPortCombo);
    view_->ComboAdd(ids::kPortCombo, "COM5: belegt (ein Programm, das den Port h\xE4lt)");
    view_->ComboSelect(ids::kPortCombo, 0);
    DWORD start = 1;
    DWORD end = 1;
    SendMessageW(combo, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(std::tuple(start, end), std::tuple(DWORD{0}, DWORD{0}));
    view_->ShowReceptionView(HexDump{std::vector<std::uint8_t>(4096, 0xE5), 0x4000, 32});
    const HWND rows = view_->ReceptionView()->Rows();
    EXPECT_EQ(GetWindowLongPtrW(rows, GWL_STYLE) & WS_HSCROLL, 0);
    // The longest row, a header's with its mark, fits: its last character's place lies within the
    // rows' client area.
    RECT client{};
    GetClientRect(rows, &client);
    const LRESULT lastOfRow =
        SendMessageW(rows, EM_POSFROMCHAR, kDumpLineLength + msg::kViewHeaderMark.size() - 1, 0);
    EXPECT_LT(static_cast<short>(LOWORD(lastOfRow)), client.right);
}

TEST_F(Win32ViewTest, TheDropDownIsAsWideAsItsWidestRow) {
    const HWND combo = view_->Control(ids::kPortCombo);
    view_->ComboAdd(ids::kPortCombo, "COM1: Unzul\xE4ssige Funktion. Ein sehr langer Grund");
    RECT box{};
    GetWindowRect(combo, &box);
    EXPECT_GT(SendMessageW(combo, CB_GETDROPPEDWIDTH, 0, 0), box.right - box.left);
    view_->ComboClear(ids::kPortCombo);
    EXPECT_LE(SendMessageW(combo, CB_GETDROPPEDWIDTH, 0, 0), box.right - box.left);
}

}  // namespace
}  // namespace velotrix
