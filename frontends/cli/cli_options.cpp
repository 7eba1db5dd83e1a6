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
    bool takesValue;
    unsigned commands;
    Setter set;
};

// A value the user typed (UTF-8), quoted for a message in code page 1252.
std::string Quoted(const std::string& value) {
    return "\"" + Utf8ToCp1252(value) + "\"";
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
    for (std::size_t i = 0; i < pauses.size(); ++i) {
        const bool namesMilliseconds = i > 0 && value == std::to_string(pauses[i].duration.count());
        if (namesMilliseconds || EqualIgnoringCase(value, pauses[i].label)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string PauseList() {
    std::string list(PauseEntries()[0].label);
    for (const PauseEntry& pause : PauseEntries().subspan(1)) {
        list += "|" + std::to_string(pause.duration.count());
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
        {"--port", true, kForPort,
         NonEmptySetter(&Options::port, "--port erwartet einen Ger\xE4tenamen oder -pfad")},
        {"--baud", true, kForPort,
         [](Options& options, const std::string& value) -> std::string {
             const std::optional<long long> rate = PositiveNumber(value, kMaxBaud);
             if (!rate) {
                 return Expects("--baud", "eine positive Zahl", value);
             }
             options.line.baud = std::to_string(*rate);
             return {};
         }},
        {"--parity", true, kForPort,
         ChoiceSetter(&LineOptions::parity, ParityEntries(), "--parity")},
        {"--data", true, kForPort,
         ChoiceSetter(&LineOptions::dataBits, DataBitsEntries(), "--data")},
        {"--stop", true, kForPort,
         ChoiceSetter(&LineOptions::stopBits, StopBitsEntries(), "--stop")},
        {"--flow", true, kForPort, ChoiceSetter(&LineOptions::flow, FlowEntries(), "--flow")},
        {"--bin", false, kForSend,
         [](Options& options, const std::string&) -> std::string {
             options.binMode = true;
             return {};
         }},
        {"--no-progress", false, kForSend,
         [](Options& options, const std::string&) -> std::string {
             options.showProgress = false;
             return {};
         }},
        {"--pause", true, kForSend,
         [](Options& options, const std::string& value) -> std::string {
             const int index = PauseIndex(value);
             if (index < 0) {
                 return Expects("--pause", PauseList(), value);
             }
             options.pauseIndex = index;
             return {};
         }},
        {"--aadr", true, kForSend, AddressSetter(&Options::aadr, "--aadr")},
        {"--sadr", true, kForSend, AddressSetter(&Options::sadr, "--sadr")},
        {"--name", true, kForSend,
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
        {"--type", true, kForSend,
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
        {"-o", true, kForReceive, NonEmptySetter(&Options::output, "-o erwartet einen Dateinamen")},
        {"--timeout", true, kForReceive,
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
        if (rule.name == name) {
            return &rule;
        }
    }
    return nullptr;
}

// The operands after the command: their number and what they mean for each command.
std::string TakeOperands(Options& options, std::vector<std::string>& operands) {
    switch (options.command) {
        case Command::kHelp:
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

std::string UsageHint() {
    return "Aufruf: velotrix-cli ports | info DATEI... | send DATEI --port PORT [Optionen] |\n"
           "        text TEXT --port PORT [Optionen] | receive --port PORT [Optionen]\n"
           "Mehr mit: velotrix-cli --help\n";
}

std::string HelpText() {
    return "velotrix-cli: Dateien \xFC"
           "ber RS-232 mit Z80-Heimcomputern (AC1, LLC2) austauschen,\n"
           "mit denselben Regeln und Meldungen wie das Fenster von Velotrix.\n"
           "\n"
           "Befehle:\n"
           "  ports                 die freien Ports: Name und Ger\xE4tepfad, einer je Zeile\n"
           "  info DATEI...         l\xE4"
           "dt jede Datei wie \"BIN/Z80 laden\" und zeigt ihren\n"
           "                        Header: Art, AADR, EADR, SADR, CRC, Bytes, Name, Typ\n"
           "  send DATEI            \xF6"
           "ffnet den Port, l\xE4"
           "dt die Datei und sendet sie einmal\n"
           "                        wie \"Datei senden\"\n"
           "  text TEXT             sendet einen Text (h\xF6"
           "chstens 31 Zeichen) wie \"Senden\"\n"
           "                        im Dialog \"String senden\"\n"
           "  receive               wartet auf eine Sendung, empf\xE4ngt sie bis zu einer\n"
           "                        Sekunde Stille, zeigt ihren Header und sichert sie\n"
           "\n"
           "Leitung (send, text, receive):\n"
           "  --port PORT           Ger\xE4tename aus \"ports\" (z. B. ttyUSB0) oder "
           "Ger\xE4tepfad\n"
           "  --baud N              Baudrate, Vorgabe 4800; auch Raten au\xDF"
           "erhalb der Liste\n"
           "                        des Fensters (z. B. 8065), wenn der Treiber sie kann\n"
           "  --parity keine|gerade|ungerade   Vorgabe keine\n"
           "  --data 7|8            Datenbits, Vorgabe 8\n"
           "  --stop 1|2            Stoppbits, Vorgabe 1\n"
           "  --flow keine|CTS      Flusskontrolle, Vorgabe keine\n"
           "\n"
           "send:\n"
           "  --bin                 als BIN senden (ohne Header)\n"
           "  --pause keine|50|100|500|1000   Pause nach dem Header in ms, Vorgabe keine\n"
           "  --no-progress         ohne Fortschrittsanzeige: jeder Block in einem St\xFC"
           "ck\n"
           "  --aadr HEX            Ladeadresse (1-4 Hex-Ziffern); EADR folgt aus der L\xE4nge\n"
           "  --sadr HEX            Startadresse (1-4 Hex-Ziffern)\n"
           "  --name TEXT           Name im Header (h\xF6"
           "chstens 16 Zeichen)\n"
           "  --type BUCHSTABE      Typ im Header: P B F Q T D A C U\n"
           "\n"
           "receive:\n"
           "  -o DATEI              sichert unter diesem Namen; ohne -o unter dem\n"
           "                        vorgeschlagenen Namen (NAME.Z80 oder default.bin) im\n"
           "                        aktuellen Verzeichnis\n"
           "  --timeout SEKUNDEN    wie lange auf das erste Byte gewartet wird, Vorgabe 60\n"
           "\n"
           "Optionen k\xF6nnen auch als --option=WERT stehen. Die Meldungen des Fensters stehen\n"
           "auf stdout, Fehlermeldungen auf stderr; den Fortschritt zeigt send auf stderr,\n"
           "wenn stderr ein Terminal ist.\n"
           "\n"
           "Exit-Status: 0 Erfolg, 1 \xDC"
           "bertragung oder Datei fehlgeschlagen, 2 falscher Aufruf.\n"
           "\n"
           "Beispiel:\n"
           "  velotrix-cli send hello_4000.bin --port ttyUSB0 --baud 9600 --pause 500\n";
}

}  // namespace velotrix::cli
