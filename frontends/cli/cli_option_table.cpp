// The options of velotrix-cli: each one's commands and the check of its value.
#include "frontends/cli/cli_option_table.h"

#include <algorithm>
#include <cctype>
#include <span>
#include <utility>

#include "image/z80_header.h"
#include "serial/line_options.h"
#include "serial/terminal_keys.h"
#include "serial/terminal_link.h"
#include "text/cp1252.h"
#include "text/text_helpers.h"
#include "ui-resources/messages.h"

namespace velotrix::cli {

namespace {

// The header editor's fields take at most these many characters; longer values would be cut.
constexpr std::size_t kAddressDigits = 4;
constexpr std::size_t kNameChars = kHeaderNameSize;
constexpr long long kMaxBaud = 2147483647;
constexpr long long kMaxTimeoutSeconds = 24 * 60 * 60;

bool IsHexAddress(const std::string& text) {
    return !text.empty() && text.size() <= kAddressDigits &&
           std::all_of(text.begin(), text.end(),
                       [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

// The labels of an option list, as the refusal of a value names them.
template <typename Entry>
std::string ChoiceList(std::span<const Entry> entries) {
    std::string list;
    for (const Entry& entry : entries) {
        list += list.empty() ? "" : "|";
        list += ShownLabel(entry);
    }
    return list;
}

template <typename Entry>
Setter ChoiceSetter(std::string LineOptions::*member, std::span<const Entry> entries,
                    std::string_view option) {
    return [member, entries, option](Options& options, const std::string& value) -> std::string {
        const int index = EntryIndex(entries, value);
        if (index < 0) {
            return Expects(option, ChoiceList(entries), value);
        }
        options.line.*member = entries[static_cast<std::size_t>(index)].label;
        return {};
    };
}

// A pause by its milliseconds ("500") or the list's own label ("keine", "500 ms").
int PauseIndex(const std::string& value) {
    const std::span<const PauseEntry> pauses = PauseEntries();
    for (std::size_t i = 1; i < pauses.size(); ++i) {
        if (value == std::to_string(pauses[i].duration.count())) {
            return static_cast<int>(i);
        }
    }
    return EntryIndex(pauses, value);
}

std::string PauseList() {
    std::string list(ShownLabel(PauseEntries()[0]));
    for (const PauseEntry& pause : PauseEntries().subspan(1)) {
        list += '|';
        list += std::to_string(pause.duration.count());
    }
    return list;
}

Setter AddressSetter(std::optional<std::string> Options::*member, std::string_view option) {
    return [member, option](Options& options, const std::string& value) -> std::string {
        if (!IsHexAddress(value)) {
            return Expects(option, std::string(msg::kCliHexDigits), value);
        }
        options.*member = value;
        return {};
    };
}

// A modem line after the open: on or off (an or aus).
Setter ModemLineSetter(bool LineOptions::*member, std::string_view option) {
    return [member, option](Options& options, const std::string& value) -> std::string {
        if (value != "on" && value != "off" && value != "an" && value != "aus") {
            return Expects(option, std::string(msg::kCliDtrRtsValue), value);
        }
        options.line.*member = value == "on" || value == "an";
        return {};
    };
}

template <typename Member>
Setter NonEmptySetter(Member Options::*member, std::string_view refusal) {
    return [member, refusal](Options& options, const std::string& value) -> std::string {
        if (value.empty()) {
            return std::string(refusal);
        }
        options.*member = value;
        return {};
    };
}

// A pause in ms, 0 to kMaxDelayMs.
Setter DelaySetter(int Options::*member, std::string_view option) {
    return [member, option](Options& options, const std::string& value) -> std::string {
        const std::optional<long long> delay =
            value == "0" ? std::optional<long long>(0) : PositiveNumber(value, kMaxDelayMs);
        if (!delay) {
            return Expects(option, std::string(msg::kCliDelayMs), value);
        }
        options.*member = static_cast<int>(*delay);
        return {};
    };
}

// The forms --as names, and the commands that take each.
struct FormName {
    std::string_view name;
    unsigned commands;
    SendAs as;
    bool bin;  // the data alone, as --bin
};
constexpr FormName kForms[] = {
    {"z80", kForSend, SendAs::kZ80, false},
    {"bin", kForSend, SendAs::kZ80, true},
    {"hex", kForSend | kForReceive, SendAs::kHex, false},
    {"hex32", kForSend, SendAs::kHex32, false},
    {"xmodem", kForSend, SendAs::kXmodem, false},
    {"xmodem1k", kForSend, SendAs::kXmodem1k, false},
};

std::string FormSetter(Options& options, const std::string& value) {
    const unsigned command = CommandBit(options.command);
    std::string names;
    for (const FormName& form : kForms) {
        if ((form.commands & command) == 0) {
            continue;
        }
        if (value == form.name) {
            options.sendAs = form.as;
            options.binMode = options.binMode || form.bin;
            return {};
        }
        names += names.empty() ? "" : "|";
        names += form.name;
    }
    return Expects("--as", names, value);
}

}  // namespace

std::string_view SendAsName(SendAs as) {
    for (const FormName& form : kForms) {
        if (form.as == as && !form.bin) {
            return form.name;
        }
    }
    return {};
}

std::string Quoted(const std::string& value) {
    // Appended, not "\"" + text: GCC 12 takes the inserting operator+ for overlapping copies.
    std::string quoted(1, '"');
    quoted += Utf8ToCp1252(value);
    quoted += '"';
    return quoted;
}

std::optional<long long> PositiveNumber(const std::string& text, long long maximum) {
    if (text.empty() || text.size() > 10 || !std::all_of(text.begin(), text.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c)) != 0;
        })) {
        return std::nullopt;
    }
    const long long value = std::stoll(text);
    if (value < 1 || value > maximum) {
        return std::nullopt;
    }
    return value;
}

std::string Expects(std::string_view option, const std::string& what, const std::string& value) {
    return std::string(option) + std::string(msg::kCliExpects) + what + std::string(msg::kCliNot) +
           Quoted(value);
}

const std::vector<OptionRule>& OptionTable() {
    static const std::vector<OptionRule> table = {
        {"--port", "-p", true, kForPort, NonEmptySetter(&Options::port, msg::kCliPortExpects)},
        {"--baud", "-b", true, kForPort,
         [](Options& options, const std::string& value) -> std::string {
             const std::optional<long long> rate = PositiveNumber(value, kMaxBaud);
             if (!rate) {
                 return Expects("--baud", std::string(msg::kCliPositiveNumber), value);
             }
             options.line.baud = std::to_string(*rate);
             return {};
         }},
        {"--parity", "", true, kForPort,
         ChoiceSetter(&LineOptions::parity, ParityEntries(), "--parity")},
        {"--data", "", true, kForPort,
         ChoiceSetter(&LineOptions::dataBits, DataBitsEntries(), "--data")},
        {"--stop", "", true, kForPort,
         ChoiceSetter(&LineOptions::stopBits, StopBitsEntries(), "--stop")},
        {"--flow", "", true, kForPort, ChoiceSetter(&LineOptions::flow, FlowEntries(), "--flow")},
        {"--dtr", "", true, kForPort, ModemLineSetter(&LineOptions::dtr, "--dtr")},
        {"--rts", "", true, kForPort, ModemLineSetter(&LineOptions::rts, "--rts")},
        {"--bin", "", false, kForSend,
         [](Options& options, const std::string&) -> std::string {
             options.binMode = true;
             return {};
         }},
        {"--endlos", "", false, kForSend | kForText,
         [](Options& options, const std::string&) -> std::string {
             options.continuous = true;
             return {};
         }},
        {"--no-progress", "", false, kForSend,
         [](Options& options, const std::string&) -> std::string {
             options.showProgress = false;
             return {};
         }},
        {"--pause", "", true, kForSend,
         [](Options& options, const std::string& value) -> std::string {
             const int index = PauseIndex(value);
             if (index < 0) {
                 return Expects("--pause", PauseList(), value);
             }
             options.pauseIndex = index;
             return {};
         }},
        {"--char-delay", "", true, kForSend | kForText,
         DelaySetter(&Options::charDelayMs, "--char-delay")},
        {"--line-delay", "", true, kForSend | kForText,
         DelaySetter(&Options::lineDelayMs, "--line-delay")},
        {"--as", "", true, kForSend | kForReceive, FormSetter},
        {"--eol", "", true, kForSend | kForText,
         [](Options& options, const std::string& value) -> std::string {
             constexpr std::string_view kNames[] = {"none", "cr", "crlf", "lf"};
             const auto* found = std::find(std::begin(kNames), std::end(kNames), value);
             if (found == std::end(kNames)) {
                 return Expects("--eol", "none|cr|crlf|lf", value);
             }
             options.lineEnd = static_cast<LineEnd>(found - std::begin(kNames));
             return {};
         }},
        {"--file", "", true, kForText, NonEmptySetter(&Options::textFile, msg::kCliFileExpects)},
        {"--aadr", "", true, kForSend, AddressSetter(&Options::aadr, "--aadr")},
        {"--sadr", "", true, kForSend, AddressSetter(&Options::sadr, "--sadr")},
        {"--name", "", true, kForSend,
         [](Options& options, const std::string& value) -> std::string {
             // The header holds code page 1252, as the window's field does.
             std::string name = Utf8ToCp1252(value);
             if (name.size() > kNameChars) {
                 return std::string(msg::kCliNameTooLong);
             }
             options.name = std::move(name);
             return {};
         }},
        {"--type", "", true, kForSend,
         [](Options& options, const std::string& value) -> std::string {
             const char letter =
                 value.size() == 1
                     ? static_cast<char>(std::toupper(static_cast<unsigned char>(value[0])))
                     : '\0';
             if (letter == '\0' || TypeIndexOfLetter(letter) < 0) {
                 std::string letters;
                 for (std::size_t i = 0; i < kFileTypeCount; ++i) {
                     letters += TypeLetterAt(i);
                 }
                 return Expects("--type", std::string(msg::kCliOneLetterOf) + letters, value);
             }
             options.typeLetter = letter;
             return {};
         }},
        {"--watch", "", false, kForSend,
         [](Options& options, const std::string&) -> std::string {
             options.watch = true;
             return {};
         }},
        {"--quiet", "-q", false, kForPort,
         [](Options& options, const std::string&) -> std::string {
             options.quiet = true;
             return {};
         }},
        {"--log", "", true, kForPort, NonEmptySetter(&Options::log, msg::kCliLogExpects)},
        {"--force", "", false, kForReceive,
         [](Options& options, const std::string&) -> std::string {
             options.force = true;
             return {};
         }},
        {"-o", "", true, kForReceive, NonEmptySetter(&Options::output, msg::kCliOutputExpects)},
        {"--all", "", false, kForReceive,
         [](Options& options, const std::string&) -> std::string {
             options.all = true;
             return {};
         }},
        {"--dir", "-d", true, kForReceive,
         NonEmptySetter(&Options::folder, msg::kCliFolderExpects)},
        {"--xmodem", "", false, kForReceive,
         [](Options& options, const std::string&) -> std::string {
             options.xmodem = true;
             return {};
         }},
        {"--trim", "", false, kForReceive,
         [](Options& options, const std::string&) -> std::string {
             options.trimPadding = true;
             return {};
         }},
        {"--timeout", "", true, kForSend | kForReceive,
         [](Options& options, const std::string& value) -> std::string {
             const std::optional<long long> seconds = PositiveNumber(value, kMaxTimeoutSeconds);
             if (!seconds) {
                 return Expects("--timeout", std::string(msg::kCliTimeoutSeconds), value);
             }
             // send: how long the prompt may take
             (options.command == Command::kSend ? options.promptSeconds : options.timeoutSeconds) =
                 static_cast<int>(*seconds);
             return {};
         }},
        {"--command", "", true, kForSend,
         [](Options& options, const std::string& value) -> std::string {
             // Typed as keys are typed: nothing goes out in place of a character.
             std::optional<std::string> typed = TypedBytes(value);
             if (!typed || typed->empty()) {
                 return Expects("--command", std::string(msg::kCliCommandText), value);
             }
             options.typedCommand = std::move(typed);
             return {};
         }},
        {"--expect", "", true, kForSend,
         [](Options& options, const std::string& value) -> std::string {
             std::string prompt = Utf8ToCp1252(value);
             if (prompt.empty() || prompt.size() > kMaxPromptLength) {
                 return std::string(msg::kPromptTooLong);
             }
             options.expect = std::move(prompt);
             return {};
         }},
        {"--break", "", false, kForText,
         [](Options& options, const std::string&) -> std::string {
             options.breakFirst = true;
             return {};
         }},
    };
    return table;
}

}  // namespace velotrix::cli
