// The person at the in-memory window: clicks, typing, keys, and the answers to modal dialogs.
#include "platform/headless/headless_view.h"

#include <algorithm>
#include <utility>

#include "platform/headless/item_traits.h"
#include "ui-resources/ids.h"

namespace velotrix {

using headless::HasStyle;
using headless::HoldsEntries;
using headless::IsButtonLike;
using headless::ValidIndex;
using layout::ItemKind;

void HeadlessView::MessageBox(std::string_view text, std::string_view caption, MessageIcon icon) {
    messages_.push_back({std::string(text), std::string(caption), icon});
}

bool HeadlessView::AskYesNo(std::string_view text, std::string_view caption) {
    messages_.push_back({std::string(text), std::string(caption), MessageIcon::kNone});
    if (yesNoAnswers_.empty()) {
        return true;
    }
    const bool yes = yesNoAnswers_.front();
    yesNoAnswers_.pop_front();
    return yes;
}

std::optional<std::string> HeadlessView::AskOpenFile(std::string_view,
                                                     const std::vector<FileFilter>&, int&) {
    return Answer(FileDialogKind::kOpen, "", DialogFolder(FileDialogUse::kOpen));
}

std::optional<std::string> HeadlessView::AskSaveFile(std::string_view,
                                                     std::string_view suggestedName,
                                                     const std::vector<FileFilter>&) {
    return Answer(FileDialogKind::kSave, suggestedName, DialogFolder(FileDialogUse::kSave));
}

std::optional<std::string> HeadlessView::AskFolder(std::string_view, std::string_view folder) {
    return Answer(FileDialogKind::kFolder, folder);
}

std::optional<std::string> HeadlessView::Answer(FileDialogKind kind, std::string_view suggested,
                                                std::string_view folder) {
    FileDialogCall call{kind, std::string(suggested), std::nullopt, std::string(folder)};
    auto& answers = answers_[static_cast<int>(kind)];
    if (!answers.empty()) {
        call.answer = std::move(answers.front());
        answers.pop_front();
    }
    fileDialogCalls_.push_back(call);
    return call.answer;
}

bool HeadlessView::PersonUses(int id) {
    trace_.used.insert(id);
    return trace_.ignored != id;
}

void HeadlessView::Click(int id) {
    if (!PersonUses(id)) {
        return;
    }
    if (menu_.count(id) != 0) {
        if (MainWindowReachable() && MenuEnabled(id)) {
            Raise(id, ids::kNotifyClicked);
        }
        return;
    }
    Control* control = Reachable(id);
    if (control == nullptr) {
        return;
    }
    focusId_ = id;
    if (!IsButtonLike(control->item->kind)) {
        return;
    }
    if (control->item->kind == ItemKind::kCheckBox &&
        HasStyle(*control->item, layout::kAutoCheck)) {
        control->checked = !control->checked;
    }
    Raise(id, ids::kNotifyClicked);
}

void HeadlessView::Type(int id, std::string_view text) {
    if (!PersonUses(id)) {
        return;
    }
    auto editable = [this](int fieldId) -> Control* {
        Control* field = Reachable(fieldId);
        const bool typable = field != nullptr && (field->item->kind == ItemKind::kEdit ||
                                                  (field->item->kind == ItemKind::kDropDownList &&
                                                   HasStyle(*field->item, layout::kEditable)));
        return typable && !HasStyle(*field->item, layout::kReadOnly) ? field : nullptr;
    };
    Control* field = editable(id);
    if (field == nullptr) {
        return;
    }
    focusId_ = id;
    if (text.empty()) {
        if (!field->text.empty()) {
            field->text.clear();
            Raise(id, ids::kNotifyEditChange);
        }
        return;
    }
    bool allSelected = true;
    for (char key : text) {
        // The handler of the previous key may have disabled or hidden the field.
        field = editable(id);
        if (field == nullptr) {
            return;
        }
        const auto limit = static_cast<std::size_t>(field->item->maxLength);
        if (!layout::AcceptsKey(*field->item, key)) {
            ++beeps_;
            continue;
        }
        key = layout::ShownKey(*field->item, key);
        if (allSelected) {
            field->text.assign(1, key);
            allSelected = false;
        } else if (limit != 0 && field->text.size() >= limit) {
            continue;
        } else {
            field->text.push_back(key);
        }
        Raise(id, ids::kNotifyEditChange);
    }
}

void HeadlessView::UserSelect(int id, int index) {
    if (!PersonUses(id)) {
        return;
    }
    Control* control = Reachable(id);
    if (control == nullptr || !HoldsEntries(control->item->kind) ||
        !ValidIndex(control->entries, index)) {
        return;
    }
    focusId_ = id;
    ComboSelect(id, index);
    control->selection = index;
    Raise(id, ids::kNotifySelChange);
}

void HeadlessView::PressEnter() {
    if (!PersonUses(kEnterKey)) {
        return;
    }
    const Control* focused = Reachable(focusId_);
    if (focused != nullptr && focused->item->kind == ItemKind::kPushButton) {
        Raise(focusId_, ids::kNotifyClicked);
        return;
    }
    if (textDialogOpen_ && !mainClosed_) {
        if (Reachable(ids::kTextSend) != nullptr) {
            Raise(ids::kTextSend, ids::kNotifyClicked);
        }
        return;
    }
    if (!MainWindowReachable() || (focused != nullptr && focused->item->kind == ItemKind::kEdit)) {
        return;
    }
    for (const layout::Item& item : layout::MainDialog().items) {
        if (HasStyle(item, layout::kDefaultButton) && Reachable(item.id) != nullptr) {
            Raise(item.id, ids::kNotifyClicked);
            return;
        }
    }
}

void HeadlessView::PressEscape() {
    if (!PersonUses(ids::kCancel)) {
        return;
    }
    if (textDialogOpen_ && !mainClosed_) {
        Raise(ids::kTextClose, ids::kNotifyClicked);
    } else if (MainWindowReachable()) {
        Raise(ids::kCancel, ids::kNotifyClicked);
    }
}

void HeadlessView::PressTab() {
    if (!PersonUses(kTabKey) || mainClosed_) {
        return;
    }
    const layout::DialogLayout& dialog =
        textDialogOpen_ ? layout::TextDialog() : layout::MainDialog();
    const auto items = dialog.items;
    auto current = std::find_if(items.begin(), items.end(),
                                [this](const layout::Item& item) { return item.id == focusId_; });
    for (std::size_t step = 1; step <= items.size(); ++step) {
        const std::size_t start = current == items.end()
                                      ? items.size() - 1
                                      : static_cast<std::size_t>(current - items.begin());
        const layout::Item& next = items[(start + step) % items.size()];
        if (layout::IsTabStop(next) && Reachable(next.id) != nullptr) {
            focusId_ = next.id;
            return;
        }
    }
}

void HeadlessView::PressCloseBox() {
    if (PersonUses(ids::kCloseBox) && !mainClosed_) {
        Raise(textDialogOpen_ ? ids::kTextClose : ids::kCloseBox, ids::kNotifyClicked);
    }
}

void HeadlessView::SendCommand(int id) {
    if (PersonUses(id) && !mainClosed_) {
        Raise(id, ids::kNotifyClicked);
    }
}

}  // namespace velotrix
