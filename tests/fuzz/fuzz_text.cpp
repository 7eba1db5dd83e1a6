// Fuzz target: the text and number helpers and the code page 1252 conversion on arbitrary text.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

#include "text/cp1252.h"
#include "text/text_helpers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velotrix;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    HexToValue(input);
    DecimalToInt(input);

    std::string trimmed(input);
    const std::int32_t length = TrimText(trimmed);
    if (length != static_cast<std::int32_t>(trimmed.size()) ||
        (!trimmed.empty() && (trimmed.front() == ' ' || trimmed.front() == '\t' ||
                              static_cast<unsigned char>(trimmed.back()) < '!'))) {
        std::abort();
    }

    // The first byte splits the input into a pattern and a text; a second one gives the start.
    if (size >= 2) {
        const std::size_t split = data[0] % size;
        // A zero byte ends a text, so the pattern searched for ends there too.
        std::string_view pattern = input.substr(2, split);
        pattern = pattern.substr(0, pattern.find('\0'));
        const std::string_view text = input.substr(std::min(size, 2 + split));
        const std::int32_t start = static_cast<std::int8_t>(data[1]);
        const std::int32_t found = FindText(start, text, pattern);
        if (found > 0 && (found < start || text.substr(static_cast<std::size_t>(found - 1),
                                                       pattern.size()) != pattern)) {
            std::abort();
        }
    }

    if (Utf8ToCp1252(Cp1252ToUtf8(input)) != input) {
        std::abort();
    }
    Utf8ToCp1252(input);
    return 0;
}
