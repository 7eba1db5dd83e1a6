// Fuzz target: the main window's size and place as a state file remembers them, edited by hand or
// broken. Whatever it holds, the window comes back no smaller than its template, no larger than
// the screen it lands on, and within it.
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/window_memory.h"
#include "fuzz_folder.h"
#include "ui-resources/window_rules.h"

namespace {

bool Within(const velotrix::layout::Rect& window, const velotrix::layout::Rect& screen) {
    return window.x >= screen.x && window.y >= screen.y &&
           static_cast<long long>(window.x) + window.width <=
               static_cast<long long>(screen.x) + screen.width &&
           static_cast<long long>(window.y) + window.height <=
               static_cast<long long>(screen.y) + screen.height;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velotrix;
    static const std::string settings = FuzzFolder() + "/Velotrix.ini";
    {
        std::ofstream out(FuzzFolder() + "/Velotrix.state", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const std::optional<layout::Rect> remembered = WindowMemory(settings).Placement();
    if (!remembered) {
        return 0;
    }
    const layout::Rect screens[] = {{0, 0, 1920, 1080}, {1920, -200, 1280, 1024}};
    const layout::Rect least{0, 0, 852, 504};
    const layout::Placement placed = layout::PlacementToRestore(*remembered, least, screens);
    const bool onAScreen = Within(placed.rect, screens[0]) || Within(placed.rect, screens[1]);
    const bool centredFits =
        placed.rect.width <= screens[0].width && placed.rect.height <= screens[0].height;
    if (placed.rect.width < least.width || placed.rect.height < least.height ||
        (placed.keepPosition ? !onAScreen : !centredFits)) {
        std::abort();
    }
    return 0;
}
