// Fuzz target: the name the save dialog suggests for a received header's name field, which the far
// end chooses. It must be one plain file name in the folder: no separator, no control character,
// no leading dot, no device name of Windows, ending in ".Z80".
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>

#include "image/rx_save.h"
#include "text/text_helpers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velotrix;
    const std::string field(reinterpret_cast<const char*>(data), std::min<std::size_t>(size, 16));
    const std::string name = SuggestedSaveName(field, true);
    std::string stem = name.substr(0, name.find('.'));
    stem.erase(stem.find_last_not_of(' ') + 1);
    const bool device =
        EqualIgnoringCase(stem, "CON") || EqualIgnoringCase(stem, "CONIN$") ||
        EqualIgnoringCase(stem, "CONOUT$") || EqualIgnoringCase(stem, "NUL") ||
        EqualIgnoringCase(stem, "AUX") || EqualIgnoringCase(stem, "PRN") ||
        (stem.size() == 4 && std::isdigit(static_cast<unsigned char>(stem[3])) != 0 &&
         (StartsWithIgnoringCase(stem, "COM") || StartsWithIgnoringCase(stem, "LPT")));
    const bool bad = name.size() < 5 || !name.ends_with(".Z80") || name.front() == '.' || device ||
                     name.find_first_of("/\\:*?\"<>|") != std::string::npos ||
                     std::any_of(name.begin(), name.end(), [](char c) {
                         return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
                     });
    if (bad) {
        std::abort();
    }
    return 0;
}
