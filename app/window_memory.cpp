// The window's own memory and the reception for "Ansicht".
#include "app/window_memory.h"

#include <charconv>

#include "image/z80_header.h"
#include "platform/files.h"
#include "text/text_helpers.h"
#include "ui-resources/ids.h"

namespace velotrix {

std::optional<layout::Rect> WindowMemory::Placement() const {
    int values[4];
    for (std::size_t i = 0; i < 4; ++i) {
        // A value that is not a whole number (edited by hand) forgets the place.
        const std::optional<std::string> text = state_.Read(keys_[i]);
        if (!text) {
            return std::nullopt;
        }
        const char* end = text->data() + text->size();
        const auto [stop, error] = std::from_chars(text->data(), end, values[i]);
        if (error != std::errc() || stop != end) {
            return std::nullopt;
        }
    }
    if (values[2] <= 0 || values[3] <= 0) {
        return std::nullopt;
    }
    return layout::Rect{values[0], values[1], values[2], values[3]};
}

void WindowMemory::RestorePlacement(DialogView& view) const {
    if (const auto placement = Placement()) {
        view.PlaceMainWindow(*placement);
    }
}

void WindowMemory::RememberPlacement(const layout::Rect& placement) {
    const int values[] = {placement.x, placement.y, placement.width, placement.height};
    for (std::size_t i = 0; i < 4; ++i) {
        state_.Write(keys_[i], IntToDecimal(values[i]));
    }
}

HexDump ReceptionDump(const Engine& engine) {
    const auto bytes = engine.Reception();
    HexDump dump{{bytes.begin(), bytes.end()}, 0, 0};
    if (engine.ReceptionHasHeader() && bytes.size() >= kHeaderSize) {
        // The header's own bytes stand before the load address, as they did in the sender's
        // memory layout: the first data byte is at AADR.
        const ConstHeaderBytes header = bytes.first<kHeaderSize>();
        dump.firstAddress = static_cast<std::uint16_t>(HeaderAadr(header) - kHeaderSize);
        dump.headerLength = kHeaderSize;
    }
    return dump;
}

}  // namespace velotrix
