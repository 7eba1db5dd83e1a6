// The command line of velotrix-cli: the option table, the checks of every value, and the help text.
#include "frontends/cli/cli_options.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <functional>
#include <span>
#include <string_view>

#include "image/z80_header.h"
#include "serial/line_options.h"
#include "text/cp1252.h"
#include "text/text_helpers.h"

namespace velotrix::cli {

namespace {

// The header editor's fields take at most these many characters; longer values would be cut.
constexpr std::size_t kAddressDigits = 4;
constexpr std::size_t kNameChars = kHeaderNameSize;
// The text dialog's single send takes at most 31 characters.
constexpr std::size_t kTextChars = 31;
constexpr long long kMaxBaud = 2147483647;
constexpr long long kMaxTimeoutSeconds = 24 * 60 * 60;

// Which commands accept an option.
enum : unsigned {
    kForSend = 1u << 0,
    kForText = 1u << 1,
    kForReceive = 1u << 2,
    kForPort = kForSend | kForText | kForReceive,
};

using Setter = std::function<std::string(Options&, const std::string&)>;

struct OptionRule {
    std::string_view name;
    std::string_view shortName;  // empty where there is none
    bool takesValue;
    unsigned commands;
    Setter set;
};

// A value the user typed (UTF-8), quoted for a message in code page 1252.
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

bool IsHexAddress(const std::string& text) {
    return !text.empty() && text.size() <= kAddressDigits &&
           std::all_of(text.begin(), text.end(),
                       [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

// The refusal of a value: what the option takes instead.
std::string Expects(std::string_view option, const std::string& what, const std::string& value) {
    return std::string(option) + " erwartet " + what + ", nicht " + Quoted(value);
}

// The labels of an option list, as the refusal of a value names them.
template <typename Entry>
std::string ChoiceList(std::span<const Entry> entries) {
    std::string list;
    for (const Entry& entry : entries) {
        list += list.empty() ? "" : "|";
        list += entry.label;
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
    std::string list(PauseEntries()[0].label);
    for (const PauseEntry& pause : PauseEntries().subspan(1)) {
        list += '|';
        list += std::to_string(pause.duration.count());
    }
    return list;
}

Setter AddressSetter(std::optional<std::string> Options::*member, std::string_view option) {
    return [member, option](Options& options, const std::string& value) -> std::string {
        if (!IsHexAddress(value)) {
            return Expects(option, "1 bis 4 Hex-Ziffern", value);
        }
        options.*member = value;
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

const std::vector<OptionRule>& OptionTable() {
    static const std::vector<OptionRule> table = {
        {"--port", "-p", true, kForPort,
         NonEmptySetter(&Options::port, "--port erwartet einen Ger\xE4tenamen oder -pfad")},
        {"--baud", "-b", true, kForPort,
         [](Options& options, const std::string& value) -> std::string {
             const std::optional<long long> rate = PositiveNumber(value, kMaxBaud);
             if (!rate) {
                 return Expects("--baud", "eine positive Zahl", value);
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
        {"--aadr", "", true, kForSend, AddressSetter(&Options::aadr, "--aadr")},
        {"--sadr", "", true, kForSend, AddressSetter(&Options::sadr, "--sadr")},
        {"--name", "", true, kForSend,
         [](Options& options, const std::string& value) -> std::string {
             // The header holds code page 1252, as the window's field does.
             std::string name = Utf8ToCp1252(value);
             if (name.size() > kNameChars) {
                 return "--name erlaubt h\xF6"
                        "chstens 16 Zeichen";
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
                 return Expects("--type", "einen der Buchstaben " + letters, value);
             }
             options.typeLetter = letter;
             return {};
         }},
        {"--quiet", "-q", false, kForPort,
         [](Options& options, const std::string&) -> std::string {
             options.quiet = true;
             return {};
         }},
        {"--force", "", false, kForReceive,
         [](Options& options, const std::string&) -> std::string {
             options.force = true;
             return {};
         }},
        {"-o", "", true, kForReceive,
         NonEmptySetter(&Options::output, "-o erwartet einen Dateinamen")},
        {"--timeout", "", true, kForReceive,
         [](Options& options, const std::string& value) -> std::string {
             const std::optional<long long> seconds = PositiveNumber(value, kMaxTimeoutSeconds);
             if (!seconds) {
                 return Expects("--timeout", "Sekunden (1 bis 86400)", value);
             }
             options.timeoutSeconds = static_cast<int>(*seconds);
             return {};
         }},
    };
    return table;
}

unsigned CommandBit(Command command) {
    switch (command) {
        case Command::kSend:
            return kForSend;
        case Command::kText:
            return kForText;
        case Command::kReceive:
            return kForReceive;
        default:
            return 0;
    }
}

std::optional<Command> CommandNamed(std::string_view word) {
    constexpr std::pair<std::string_view, Command> kCommands[] = {
        {"ports", Command::kPorts}, {"info", Command::kInfo},       {"send", Command::kSend},
        {"text", Command::kText},   {"receive", Command::kReceive}, {"help", Command::kHelp},
    };
    for (const auto& [name, command] : kCommands) {
        if (word == name) {
            return command;
        }
    }
    return std::nullopt;
}

const OptionRule* FindOption(std::string_view name) {
    for (const OptionRule& rule : OptionTable()) {
        if (rule.name == name || (!rule.shortName.empty() && rule.shortName == name)) {
            return &rule;
        }
    }
    return nullptr;
}

// The operands after the command: their number and what they mean for each command.
std::string TakeOperands(Options& options, std::vector<std::string>& operands) {
    switch (options.command) {
        case Command::kHelp:
        case Command::kVersion:
        case Command::kPorts:
        case Command::kReceive:
            if (!operands.empty()) {
                return "unerwartetes Argument " + Quoted(operands.front());
            }
            return {};
        case Command::kInfo:
            if (operands.empty()) {
                return "info erwartet mindestens eine Datei";
            }
            options.files = std::move(operands);
            return {};
        case Command::kSend:
            if (operands.size() != 1) {
                return "send erwartet genau eine Datei";
            }
            options.files = std::move(operands);
            return {};
        case Command::kText: {
            if (operands.size() != 1) {
                return "text erwartet genau einen Text";
            }
            std::string text = Utf8ToCp1252(operands.front());
            if (text.size() > kTextChars) {
                return "text erlaubt h\xF6"
                       "chstens 31 Zeichen";
            }
            options.text = std::move(text);
            return {};
        }
    }
    return {};
}

}  // namespace

ParseResult ParseArguments(const std::vector<std::string>& arguments) {
    ParseResult result;
    Options& options = result.options;
    if (arguments.empty()) {
        result.error = "kein Befehl angegeben";
        return result;
    }
    for (const std::string& argument : arguments) {
        if (argument == "--") {
            break;
        }
        if (argument == "--help" || argument == "-h") {
            options.command = Command::kHelp;
            return result;
        }
        if (argument == "--version") {
            options.command = Command::kVersion;
            return result;
        }
    }
    const std::optional<Command> command = CommandNamed(arguments.front());
    if (!command) {
        result.error = "unbekannter Befehl " + Quoted(arguments.front());
        return result;
    }
    options.command = *command;

    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        // "--" ends the options, so that a text may begin with a dash.
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            operands.push_back(argument);
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const OptionRule* rule = FindOption(name);
        if (rule == nullptr || (rule->commands & CommandBit(options.command)) == 0) {
            result.error = "Option " + Utf8ToCp1252(name) + " gibt es f\xFCr diesen Befehl nicht";
            return result;
        }
        std::string value;
        if (equals != std::string::npos) {
            if (!rule->takesValue) {
                result.error = "Option " + Utf8ToCp1252(name) + " nimmt keinen Wert";
                return result;
            }
            value = argument.substr(equals + 1);
        } else if (rule->takesValue) {
            if (i + 1 >= arguments.size()) {
                result.error = "Option " + Utf8ToCp1252(name) + " erwartet einen Wert";
                return result;
            }
            value = arguments[++i];
        }
        result.error = rule->set(options, value);
        if (!result.ok()) {
            return result;
        }
    }
    result.error = TakeOperands(options, operands);
    if (result.ok() && CommandBit(options.command) != 0 && options.port.empty()) {
        result.error = "--port fehlt";
    }
    return result;
}

}  // namespace velotrix::cli
