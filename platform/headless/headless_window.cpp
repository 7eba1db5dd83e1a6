// The in-memory window's size and place, the text beside its progress bar and its "Ansicht".
#include "platform/headless/headless_view.h"
#include "ui-resources/window_rules.h"

namespace velotrix {

namespace {

// The in-memory window measures its font as a common 8 by 16 pixel one.
constexpr layout::BaseUnits kBaseUnits{8, 16};

layout::Rect TemplateRect() {
    return {0, 0, layout::MainDialog().width, layout::MainDialog().height};
}

}  // namespace

void HeadlessView::SetProgressText(std::string_view text) {
    progressText_ = text;
}

void HeadlessView::PlaceMainWindow(const layout::Rect& placement) {
    const layout::Rect screens[] = {kScreen};
    const layout::Placement restored = layout::PlacementToRestore(
        placement, layout::ToPixels(TemplateRect(), kBaseUnits), screens);
    placement_ = restored.rect;
    if (!restored.keepPosition) {
        placement_.x = (kScreen.width - placement_.width) / 2;
        placement_.y = (kScreen.height - placement_.height) / 2;
    }
}

layout::Rect HeadlessView::ControlRect(int id) const {
    const Control* control = Find(id);
    if (control == nullptr) {
        return {};
    }
    const layout::Item& item = *control->item;
    const layout::Rect minimum = layout::ToPixels(TemplateRect(), kBaseUnits);
    return layout::GrownRect(
        item, layout::ToPixels({item.x, item.y, item.width, item.height}, kBaseUnits),
        placement_.width - minimum.width, placement_.height - minimum.height);
}

void HeadlessView::ShowReceptionView(const HexDump& dump) {
    receptionView_ = dump;
}

}  // namespace velotrix
