// The line options' entries and what they mean.
#include "serial/line_options.h"

#include <algorithm>
#include <array>

#include "text/text_helpers.h"

namespace velotrix {

namespace {

using std::chrono::milliseconds;

constexpr std::array<OptionEntry<std::uint32_t>, 14> kBaud = {{{"150", 150},
                                                               {"300", 300},
                                                               {"600", 600},
                                                               {"1200", 1200},
                                                               {"1800", 1800},
                                                               {"2400", 2400},
                                                               {"4800", 4800},
                                                               {"9600", 9600},
                                                               {"14400", 14400},
                                                               {"19200", 19200},
                                                               {"38400", 38400},
                                                               {"56000", 56000},
                                                               {"57600", 57600},
                                                               {"115200", 115200}}};
constexpr std::array<OptionEntry<Parity>, 3> kParity = {{{"gerade", Parity::kEven, "even"},
                                                         {"ungerade", Parity::kOdd, "odd"},
                                                         {"keine", Parity::kNone, "none"}}};
constexpr std::array<OptionEntry<int>, 2> kDataBits = {{{"7", 7}, {"8", 8}}};
constexpr std::array<OptionEntry<int>, 2> kStopBits = {{{"1", 1}, {"2", 2}}};
constexpr std::array<OptionEntry<bool>, 2> kFlow = {{{"keine", false, "none"}, {"CTS", true}}};
constexpr std::array<PauseEntry, 5> kPause = {{{"keine", milliseconds(0), "", "none"},
                                               {"50 ms", milliseconds(50), "Pause 50ms..."},
                                               {"100 ms", milliseconds(100), "Pause 100ms..."},
                                               {"500 ms", milliseconds(500), "Pause 500ms..."},
                                               {"1000 ms", milliseconds(1000), "Pause 1000ms..."}}};

}  // namespace

std::span<const OptionEntry<std::uint32_t>> BaudEntries() {
    return kBaud;
}
std::span<const OptionEntry<Parity>> ParityEntries() {
    return kParity;
}
std::span<const OptionEntry<int>> DataBitsEntries() {
    return kDataBits;
}
std::span<const OptionEntry<int>> StopBitsEntries() {
    return kStopBits;
}
std::span<const OptionEntry<bool>> FlowEntries() {
    return kFlow;
}
std::span<const PauseEntry> PauseEntries() {
    return kPause;
}

milliseconds LongestPause() {
    return std::max_element(kPause.begin(), kPause.end(),
                            [](const auto& a, const auto& b) { return a.duration < b.duration; })
        ->duration;
}

template <typename T>
int EntryIndex(std::span<const T> entries, std::string_view text) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const bool english =
            !entries[i].english.empty() && EqualIgnoringCase(entries[i].english, text);
        if (english || EqualIgnoringCase(entries[i].label, text)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

template int EntryIndex(std::span<const OptionEntry<std::uint32_t>>, std::string_view);
template int EntryIndex(std::span<const OptionEntry<Parity>>, std::string_view);
template int EntryIndex(std::span<const OptionEntry<int>>, std::string_view);
template int EntryIndex(std::span<const OptionEntry<bool>>, std::string_view);
template int EntryIndex(std::span<const PauseEntry>, std::string_view);

}  // namespace velotrix
