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

// A window that is not put back where it was is centred on the screen.
layout::Rect HeadlessView::Placed(const layout::Rect& placement, const layout::Rect& least) {
    const layout::Rect screens[] = {kScreen};
    const layout::Placement restored = layout::PlacementToRestore(placement, least, screens);
    layout::Rect placed = restored.rect;
    if (!restored.keepPosition) {
        placed.x = (kScreen.width - placed.width) / 2;
        placed.y = (kScreen.height - placed.height) / 2;
    }
    return placed;
}

void HeadlessView::PlaceMainWindow(const layout::Rect& placement) {
    placement_ = Placed(placement, layout::ToPixels(TemplateRect(), kBaseUnits));
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

}  // namespace velotrix
