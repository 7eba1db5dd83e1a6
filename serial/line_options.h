// The one table of line options: the entries of the port settings and the pause, what each entry
// means, and the defaults. The window's lists, the settings file, the engine and the command line
// all read it.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "platform/serial_device.h"
#include "ui-resources/language.h"

namespace velotrix {

template <typename T>
struct OptionEntry {
    std::string_view label;  // as the list shows it (code page 1252)
    T value;
    std::string_view english = {};  // the word serial tools use, where it differs
};

struct PauseEntry {
    std::string_view label;
    std::chrono::milliseconds duration;
    std::string_view line;  // the MessageList line of the pause, empty for none
    std::string_view english = {};
};

std::span<const OptionEntry<std::uint32_t>> BaudEntries();
std::span<const OptionEntry<Parity>> ParityEntries();
std::span<const OptionEntry<int>> DataBitsEntries();
std::span<const OptionEntry<int>> StopBitsEntries();
std::span<const OptionEntry<bool>> FlowEntries();  // true: CTS flow control
std::span<const PauseEntry> PauseEntries();

// The settings a new installation starts with, as entry labels (the port as a name prefix).
struct DefaultLineLabels {
    std::string_view port = "COM4";
    std::string_view baud = "4800";
    std::string_view parity = "keine";
    std::string_view dataBits = "8";
    std::string_view stopBits = "1";
    std::string_view flow = "keine";
};
inline constexpr DefaultLineLabels kDefaultLine{};

// The longest pause a sender makes between header and data.
std::chrono::milliseconds LongestPause();

// The value of the entry at index, or nothing for an index outside the list (no selection).
template <typename T>
std::optional<T> EntryValue(std::span<const OptionEntry<T>> entries, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= entries.size()) {
        return std::nullopt;
    }
    return entries[static_cast<std::size_t>(index)].value;
}

// The index of the entry whose label or English word is text (ignoring case), or -1.
template <typename T>
int EntryIndex(std::span<const T> entries, std::string_view text);

// An entry as the lists show it: in English by its English word, where it has one.
template <typename Entry>
std::string_view ShownLabel(const Entry& entry) {
    return msg::CurrentLanguage() == msg::Language::kGerman || entry.english.empty()
               ? entry.label
               : entry.english;
}

}  // namespace velotrix
