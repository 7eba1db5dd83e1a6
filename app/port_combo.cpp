// The port box: filled from the port rows, read back as the port to open.
#include "app/port_combo.h"

#include "text/text_helpers.h"
#include "ui-resources/ids.h"

namespace velotrix {

std::string FillPortCombo(DialogView& view, const std::vector<PortRow>& ports,
                          const std::string& keep) {
    view.ComboClear(ids::kPortCombo);
    std::string texts;
    // The port to keep, else the first that can be opened now; none rather than the console or a
    // port that is busy or forbidden.
    int selected = -1;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const std::string text = PortRowText(ports[i]);
        view.ComboAdd(ids::kPortCombo, text);
        AppendTexts(texts, {text, "\r\n"});
        if (!keep.empty() && ports[i].port.path == keep) {
            selected = static_cast<int>(i);
        }
    }
    for (std::size_t i = 0; i < ports.size() && selected < 0; ++i) {
        if (ports[i].state == PortState::kFree) {
            selected = static_cast<int>(i);
        }
    }
    view.ComboSelect(ids::kPortCombo, selected);
    return texts;
}

const PortRow* SelectedPortRow(const DialogView& view, const std::vector<PortRow>& ports) {
    const int index = view.ComboSelection(ids::kPortCombo);
    return index >= 0 && static_cast<std::size_t>(index) < ports.size()
               ? &ports[static_cast<std::size_t>(index)]
               : nullptr;
}

PortInfo PortToOpen(const DialogView& view, const std::vector<PortRow>& ports) {
    std::string typed = view.GetText(ids::kPortCombo);
    TrimText(typed);
    const int index = view.ComboSelection(ids::kPortCombo);
    if (index >= 0 && static_cast<std::size_t>(index) < ports.size()) {
        const PortRow& row = ports[static_cast<std::size_t>(index)];
        if (typed.empty() || typed == PortRowText(row)) {
            return row.port;
        }
    }
    for (const PortRow& row : ports) {
        if (row.port.name == typed || row.port.path == typed || PortRowText(row) == typed) {
            return row.port;
        }
    }
    return PortInfo{typed, typed};
}

}  // namespace velotrix
