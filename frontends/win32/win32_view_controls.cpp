// The Win32 window's operations by control ID: texts, states, combo and list boxes, the status bar
// and its progress bar, the menu. Code page 1252 texts become UTF-16 here.
#include "frontends/win32/win32_view.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/wide_text.h"
#include "ui-resources/ids.h"

namespace velotrix {

namespace {

std::wstring WideWindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string ComboText(HWND combo, int index) {
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return WideToCp1252(text);
}

// The drop-down list is as wide as its widest row, however narrow the box is.
void WidenDropDown(HWND combo, const std::wstring& text) {
    const HDC dc = GetDC(combo);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(combo, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(combo, dc);
    const int width = size.cx + GetSystemMetrics(SM_CXVSCROLL) + 4 * GetSystemMetrics(SM_CXEDGE);
    if (width > SendMessageW(combo, CB_GETDROPPEDWIDTH, 0, 0)) {
        SendMessageW(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0);
    }
}

bool IsKind(int id, layout::ItemKind kind) {
    const layout::Item* item = layout::FindItem(id);
    return item != nullptr && item->kind == kind;
}

}  // namespace

void Win32View::SetWindowTitle(std::string_view text) {
    SetWindowTextW(main_, Cp1252ToWide(text).c_str());
}

void Win32View::SetText(int id, std::string_view text) {
    // A combo box's text is its selection, which only ComboSelect changes.
    const HWND control = IsKind(id, layout::ItemKind::kDropDownList) ? nullptr : Control(id);
    if (control == nullptr) {
        return;
    }
    const std::wstring wide = Cp1252ToWide(text);
    settingText_ = true;
    SetWindowTextW(control, wide.c_str());
    settingText_ = false;
    // An edit field reports every write, an unchanged text too, once and at once, as Windows does.
    if (IsKind(id, layout::ItemKind::kEdit)) {
        reportedTexts_[id] = wide;
        Notify(id, ids::kNotifyEditChange);
    }
}

bool Win32View::TakeTextChange(int id, HWND edit) {
    std::wstring text = WideWindowText(edit);
    std::wstring& reported = reportedTexts_[id];
    if (text == reported) {
        return false;
    }
    reported = std::move(text);
    return true;
}

std::string Win32View::GetText(int id) const {
    const HWND control = Control(id);
    if (control == nullptr || IsKind(id, layout::ItemKind::kListBox)) {
        return {};
    }
    return WideToCp1252(WideWindowText(control));
}

void Win32View::Enable(int id, bool enabled) {
    if (const HWND control = Control(id)) {
        EnableWindow(control, enabled);
    }
}

bool Win32View::IsEnabled(int id) const {
    const HWND control = Control(id);
    return control != nullptr && IsWindowEnabled(control);
}

void Win32View::Show(int id, bool visible) {
    if (const HWND control = Control(id)) {
        ShowWindow(control, visible ? SW_SHOW : SW_HIDE);
    }
}

// The control's own visibility, whether or not its dialog is on the screen.
bool Win32View::IsVisible(int id) const {
    const HWND control = Control(id);
    return control != nullptr && (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32View::SetCheck(int id, bool checked) {
    if (const HWND control = Control(id)) {
        SendMessageW(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

bool Win32View::IsChecked(int id) const {
    const HWND control = Control(id);
    return control != nullptr && SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int Win32View::ComboCount(int id) const {
    const HWND combo = IsKind(id, layout::ItemKind::kDropDownList) ? Control(id) : nullptr;
    return combo != nullptr ? static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0)) : 0;
}

std::string Win32View::ComboItem(int id, int index) const {
    const HWND combo = IsKind(id, layout::ItemKind::kDropDownList) ? Control(id) : nullptr;
    return combo != nullptr && index >= 0 ? ComboText(combo, index) : std::string();
}

int Win32View::ComboSelection(int id) const {
    const HWND combo = IsKind(id, layout::ItemKind::kDropDownList) ? Control(id) : nullptr;
    return combo != nullptr ? static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)) : -1;
}

void Win32View::ComboSelect(int id, int index) {
    if (const HWND combo = IsKind(id, layout::ItemKind::kDropDownList) ? Control(id) : nullptr) {
        const bool exists = index >= 0 && index < ComboCount(id);
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(exists ? index : -1), 0);
        // The edit part of a box shows the entry from its start ("COM5: belegt"), not its end,
        // which is where the selection of the whole text left it.
        SendMessageW(combo, CB_SETEDITSEL, 0, MAKELPARAM(0, 0));
    }
}

void Win32View::ComboClear(int id) {
    if (const HWND combo = IsKind(id, layout::ItemKind::kDropDownList) ? Control(id) : nullptr) {
        SendMessageW(combo, CB_RESETCONTENT, 0, 0);
        // As wide as the box again (Wine ignores a width of 0).
        RECT box{};
        GetWindowRect(combo, &box);
        SendMessageW(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(box.right - box.left), 0);
    }
}

void Win32View::ComboAdd(int id, std::string_view text) {
    const HWND combo = IsKind(id, layout::ItemKind::kDropDownList) ? Control(id) : nullptr;
    if (combo == nullptr) {
        return;
    }
    int position = ComboCount(id);
    if (layout::FindItem(id)->style & layout::kSorted) {
        position = 0;
        while (position < ComboCount(id) &&
               !layout::SortsBefore(text, ComboText(combo, position))) {
            ++position;
        }
    }
    const std::wstring wide = Cp1252ToWide(text);
    SendMessageW(combo, CB_INSERTSTRING, static_cast<WPARAM>(position),
                 reinterpret_cast<LPARAM>(wide.c_str()));
    WidenDropDown(combo, wide);
}

void Win32View::ListClear(int id) {
    if (const HWND list = IsKind(id, layout::ItemKind::kListBox) ? Control(id) : nullptr) {
        listLines_[id].clear();
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
    }
}

void Win32View::ListAdd(int id, std::string_view line) {
    if (!IsKind(id, layout::ItemKind::kListBox) || Control(id) == nullptr) {
        return;
    }
    listLines_[id].push_back(Cp1252ToWide(line));
    // The controller hands over a batch line by line within one task; the message comes after it.
    if (!flushPosted_) {
        flushPosted_ = PostMessageW(main_, kFlushListingMessage, 0, 0) != 0;
    }
}

void Win32View::FlushListing() {
    flushPosted_ = false;
    for (const auto& [id, lines] : listLines_) {
        const HWND list = Control(id);
        if (static_cast<std::size_t>(SendMessageW(list, LB_GETCOUNT, 0, 0)) != lines.size()) {
            SendMessageW(list, LB_SETCOUNT, static_cast<WPARAM>(lines.size()), 0);
            // Drawn with the window's next repaint, not here.
            InvalidateRect(list, nullptr, TRUE);
            ScheduleRepaint();
        }
    }
}

bool Win32View::ListingPending() const {
    return std::any_of(listLines_.begin(), listLines_.end(), [&](const auto& entry) {
        return static_cast<std::size_t>(SendMessageW(Control(entry.first), LB_GETCOUNT, 0, 0)) !=
               entry.second.size();
    });
}

void Win32View::FitListLineHeight(HWND list) const {
    SendMessageW(list, LB_SETITEMHEIGHT, 0, MAKELPARAM(MeasureFont(list, listFont_).tmHeight, 0));
}

bool Win32View::DrawListLine(const DRAWITEMSTRUCT& item) const {
    const auto found = listLines_.find(static_cast<int>(item.CtlID));
    if (item.CtlType != ODT_LISTBOX || found == listLines_.end()) {
        return false;
    }
    RECT rect = item.rcItem;
    if (item.itemAction != ODA_FOCUS && item.itemID < found->second.size()) {
        // Drawn as a list box draws its own lines: one pixel in, the selection highlighted.
        const bool selected = (item.itemState & ODS_SELECTED) != 0;
        const HGDIOBJ previous = SelectObject(item.hDC, listFont_);
        SetBkColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        SetTextColor(item.hDC, GetSysColor((item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT
                                           : selected                      ? COLOR_HIGHLIGHTTEXT
                                                                           : COLOR_WINDOWTEXT));
        const std::wstring& line = found->second[item.itemID];
        ExtTextOutW(item.hDC, rect.left + 1, rect.top, ETO_OPAQUE | ETO_CLIPPED, &rect,
                    line.c_str(), static_cast<UINT>(line.size()), nullptr);
        SelectObject(item.hDC, previous);
    }
    if (item.itemAction == ODA_FOCUS || (item.itemState & ODS_FOCUS) != 0) {
        DrawFocusRect(item.hDC, &rect);
    }
    return true;
}

// What the list box counts and what waits to be counted.
int Win32View::ListCount(int id) const {
    const auto found = listLines_.find(id);
    return found == listLines_.end() ? 0 : static_cast<int>(found->second.size());
}

void Win32View::ListSelect(int id, int index) {
    // LB_SETCURSEL scrolls the line into view; -1 removes the selection.
    if (const HWND list = IsKind(id, layout::ItemKind::kListBox) ? Control(id) : nullptr) {
        FlushListing();
        const bool exists = index >= 0 && index < ListCount(id);
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(exists ? index : -1), 0);
    }
}

void Win32View::SetPaneText(int pane, std::string_view text) {
    if (pane >= 0 && pane < 4) {
        SendMessageW(status_, SB_SETTEXTW, static_cast<WPARAM>(pane),
                     reinterpret_cast<LPARAM>(Cp1252ToWide(text).c_str()));
    }
}

void Win32View::ShowProgress(std::uint32_t maximum) {
    progressMaximum_ = maximum;
    PlaceProgressParts();
    SendMessageW(progress_, PBM_SETPOS, 0, 0);
    ShowWindow(progress_, SW_SHOWNOACTIVATE);
}

void Win32View::SetProgress(std::uint32_t value) {
    if (progressMaximum_ != 0) {
        const std::uint64_t shown = std::min(value, progressMaximum_);
        SendMessageW(progress_, PBM_SETPOS,
                     static_cast<WPARAM>(shown * kProgressScale / progressMaximum_), 0);
    }
}

void Win32View::HideProgress() {
    ShowWindow(progress_, SW_HIDE);
}

void Win32View::EnableMenuItem(int id, bool enabled) {
    ::EnableMenuItem(menu_, static_cast<UINT>(id),
                     MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    // An item of the menu bar itself ("Ansicht") shows its state only when the bar is redrawn.
    DrawMenuBar(main_);
}

void Win32View::CheckMenuItem(int id, bool checked) {
    ::CheckMenuItem(menu_, static_cast<UINT>(id),
                    MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void Win32View::Repaint() {
    ScheduleRepaint();
}

void Win32View::ScheduleRepaint() {
    // A timer's message comes only when no other message waits: while batches arrive without a
    // pause, the repaint that is due is made here.
    if (GetTickCount64() - lastRepaint_ >= kRepaintLimit) {
        RepaintNow();
    } else if (!repaintTimer_) {
        SetTimer(main_, kRepaintTimer, kRepaintInterval, nullptr);
        repaintTimer_ = true;
    }
}

void Win32View::RepaintNow() {
    if (repaintTimer_) {
        KillTimer(main_, kRepaintTimer);
        repaintTimer_ = false;
    }
    RedrawWindow(main_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (IsTextDialogOpen()) {
        RedrawWindow(text_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    lastRepaint_ = GetTickCount64();
}

}  // namespace velotrix
