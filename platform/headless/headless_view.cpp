// The in-memory window that stands in for the dialogs in the tests.
#include "platform/headless/headless_view.h"

#include <algorithm>
#include <utility>

#include "platform/headless/item_traits.h"
#include "ui-resources/ids.h"

namespace velotrix {

using headless::HasStyle;
using headless::HoldsEntries;
using headless::ValidIndex;
using layout::ItemKind;

HeadlessView::HeadlessView() {
    PlaceMainWindow({});
    for (const auto& [dialog, window] : {std::pair(&layout::MainDialog(), Window::kMain),
                                         std::pair(&layout::TextDialog(), Window::kText),
                                         std::pair(&layout::TerminalBar(), Window::kTerminal)}) {
        for (const layout::Item& item : dialog->items) {
            if (item.id != layout::kNoId) {
                controls_.emplace(item.id, FromTemplate(item, window));
            }
        }
    }
    for (const layout::MenuEntry& entry : layout::MainMenu()) {
        if (entry.kind == layout::MenuKind::kItem) {
            menu_.emplace(entry.commandId, true);
        }
    }
}

HeadlessView::Control HeadlessView::FromTemplate(const layout::Item& item, Window window) {
    Control control;
    control.item = &item;
    control.window = window;
    // Combo and list boxes show no caption; a template caption there would be meaningless.
    if (!HoldsEntries(item.kind)) {
        control.text = item.caption;
    }
    control.enabled = !HasStyle(item, layout::kDisabled);
    control.visible = !HasStyle(item, layout::kHidden);
    return control;
}

HeadlessView::Control* HeadlessView::Find(int id) {
    return const_cast<Control*>(std::as_const(*this).Find(id));
}

const HeadlessView::Control* HeadlessView::Find(int id) const {
    auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : &found->second;
}

HeadlessView::Control* HeadlessView::FindOfKind(int id, ItemKind kind) {
    return const_cast<Control*>(std::as_const(*this).FindOfKind(id, kind));
}

const HeadlessView::Control* HeadlessView::FindOfKind(int id, ItemKind kind) const {
    const Control* control = Find(id);
    return control != nullptr && control->item->kind == kind ? control : nullptr;
}

HeadlessView::Control* HeadlessView::Reachable(int id) {
    Control* control = Find(id);
    if (control == nullptr || mainClosed_) {
        return nullptr;
    }
    // A modal dialog disables its owner (the terminal has an owner of its own); a closed dialog
    // has no controls to reach.
    const bool blocked = control->window == Window::kMain && textDialogOpen_;
    if (blocked || !WindowOpen(control->window)) {
        return nullptr;
    }
    return control->enabled && control->visible ? control : nullptr;
}

void HeadlessView::Raise(int id, int code) {
    // A copy, so that a handler that replaces itself finishes the call it is in.
    if (CommandHandler handler = handler_) {
        handler(id, code);
    }
}

void HeadlessView::SetText(int id, std::string_view text) {
    Control* control = Find(id);
    if (control == nullptr || HoldsEntries(control->item->kind)) {
        return;
    }
    control->text = text;
    // Windows raises EN_CHANGE on every WM_SETTEXT, unchanged text and read-only fields included.
    if (control->item->kind == ItemKind::kEdit) {
        Raise(id, ids::kNotifyEditChange);
    }
}

std::string HeadlessView::GetText(int id) const {
    if (id == ids::kProgressText) {
        return progressText_;
    }
    const Control* control = Find(id);
    if (control == nullptr || control->item->kind == ItemKind::kListBox) {
        return {};
    }
    // A drop-down list without edit part reads as its selected entry.
    const bool pickOnly = control->item->kind == ItemKind::kDropDownList &&
                          !HasStyle(*control->item, layout::kEditable);
    return pickOnly ? EntryAt(control, control->selection) : control->text;
}

bool HeadlessView::Flag(int id, bool Control::*flag) const {
    const Control* control = Find(id);
    return control != nullptr && control->*flag;
}

void HeadlessView::SetFlag(int id, bool Control::*flag, bool on) {
    if (Control* control = Find(id)) {
        control->*flag = on;
    }
}

bool HeadlessView::IsVisible(int id) const {
    const Control* control = Find(id);
    return control != nullptr && control->visible && WindowOpen(control->window);
}

void HeadlessView::SetCheck(int id, bool checked) {
    Control* control = Find(id);
    if (control != nullptr && (control->item->kind == ItemKind::kCheckBox ||
                               control->item->kind == ItemKind::kRadioButton)) {
        control->checked = checked;
    }
}

void HeadlessView::SetFocus(int id) {
    if (Find(id) != nullptr) {
        focusId_ = id;
    }
}

int HeadlessView::ComboCount(int id) const {
    const Control* control = FindOfKind(id, ItemKind::kDropDownList);
    return control == nullptr ? 0 : static_cast<int>(control->entries.size());
}

std::string HeadlessView::EntryAt(const Control* box, int index) {
    return box != nullptr && ValidIndex(box->entries, index)
               ? box->entries[static_cast<std::size_t>(index)]
               : std::string();
}

std::string HeadlessView::ComboItem(int id, int index) const {
    return EntryAt(FindOfKind(id, ItemKind::kDropDownList), index);
}

int HeadlessView::ComboSelection(int id) const {
    const Control* control = FindOfKind(id, ItemKind::kDropDownList);
    return control == nullptr ? -1 : control->selection;
}

void HeadlessView::ComboSelect(int id, int index) {
    if (Control* control = FindOfKind(id, ItemKind::kDropDownList)) {
        control->selection = ValidIndex(control->entries, index) ? index : -1;
        // An edit part shows the entry chosen, and empties when none is, as Windows' does.
        control->text = EntryAt(control, control->selection);
    }
}

void HeadlessView::ComboClear(int id) {
    ClearEntries(FindOfKind(id, ItemKind::kDropDownList));
}

void HeadlessView::ClearEntries(Control* box) {
    if (box != nullptr) {
        box->entries.clear();
        box->selection = -1;
    }
}

// Adds an entry where the box keeps it; the selection stays on the entry it was on.
void HeadlessView::AddEntry(Control* box, std::string_view text) {
    if (box == nullptr) {
        return;
    }
    std::vector<std::string>& entries = box->entries;
    auto position = entries.end();
    if (HasStyle(*box->item, layout::kSorted)) {
        position = std::upper_bound(entries.begin(), entries.end(), text,
                                    [](std::string_view value, const std::string& entry) {
                                        return layout::SortsBefore(value, entry);
                                    });
    }
    const int index = static_cast<int>(position - entries.begin());
    entries.insert(position, std::string(text));
    if (box->selection >= index) {
        ++box->selection;
    }
}

void HeadlessView::ComboAdd(int id, std::string_view text) {
    AddEntry(FindOfKind(id, ItemKind::kDropDownList), text);
}

void HeadlessView::ListClear(int id) {
    ClearEntries(FindOfKind(id, ItemKind::kListBox));
}

void HeadlessView::ListAdd(int id, std::string_view line) {
    AddEntry(FindOfKind(id, ItemKind::kListBox), line);
}

int HeadlessView::ListCount(int id) const {
    const Control* control = FindOfKind(id, ItemKind::kListBox);
    return control == nullptr ? 0 : static_cast<int>(control->entries.size());
}

void HeadlessView::ListSelect(int id, int index) {
    if (Control* control = FindOfKind(id, ItemKind::kListBox)) {
        control->selection = ValidIndex(control->entries, index) ? index : -1;
    }
}

int HeadlessView::ListSelection(int id) const {
    const Control* control = FindOfKind(id, ItemKind::kListBox);
    return control == nullptr ? -1 : control->selection;
}

void HeadlessView::SetPaneText(int pane, std::string_view text) {
    if (pane >= 0 && static_cast<std::size_t>(pane) < panes_.size()) {
        panes_[static_cast<std::size_t>(pane)] = text;
    }
}

void HeadlessView::EnableMenuItem(int id, bool enabled) {
    auto found = menu_.find(id);
    if (found != menu_.end()) {
        found->second = enabled;
    }
}

void HeadlessView::OpenTextDialog() {
    if (textDialogOpen_ || mainClosed_) {
        return;
    }
    // Each opening builds the dialog anew from its template, so the text field starts empty.
    for (const layout::Item& item : layout::TextDialog().items) {
        controls_[item.id] = FromTemplate(item, Window::kText);
    }
    textDialogOpen_ = true;
    // Its initialisation sets no focus; the owner gets its focus back when the dialog ends.
    focusBeforeTextDialog_ = focusId_;
    focusId_ = 0;
}

void HeadlessView::CloseTextDialog() {
    if (!textDialogOpen_) {
        return;
    }
    textDialogOpen_ = false;
    focusId_ = focusBeforeTextDialog_;
}

bool HeadlessView::WindowOpen(Window window) const {
    switch (window) {
        case Window::kText:
            return textDialogOpen_ && !mainClosed_;
        case Window::kTerminal:
            return terminal_ != nullptr && !mainClosed_;
        case Window::kMain:
            break;
    }
    return !mainClosed_;
}

void HeadlessView::CloseMainWindow() {
    mainClosed_ = true;
    textDialogOpen_ = false;
    terminal_ = nullptr;
}

std::vector<std::string> HeadlessView::Lines(int id) const {
    const Control* control = Find(id);
    return control != nullptr && HoldsEntries(control->item->kind) ? control->entries
                                                                   : std::vector<std::string>();
}

std::string HeadlessView::PaneText(int pane) const {
    if (pane < 0 || static_cast<std::size_t>(pane) >= panes_.size()) {
        return {};
    }
    return panes_[static_cast<std::size_t>(pane)];
}

void HeadlessView::CheckMenuItem(int id, bool checked) {
    if (menu_.count(id) != 0) {
        menuChecked_[id] = checked;
    }
}

}  // namespace velotrix
