// The command line of velotrix-cli: the command, its operands and its options, checked in order.
#include "frontends/cli/cli_options.h"

#include <string_view>
#include <utility>

#include "frontends/cli/cli_option_table.h"
#include "text/cp1252.h"
#include "ui-resources/messages.h"

namespace velotrix::cli {

namespace {

// "Option --x gibt es f\xFCr diesen Befehl nicht" and its kin.
std::string OptionError(const std::string& name, std::string_view what) {
    return std::string(msg::kCliOption) + Utf8ToCp1252(name) + std::string(what);
}

unsigned CommandBit(Command command) {
    switch (command) {
        case Command::kSend:
            return kForSend;
        case Command::kText:
            return kForText;
        case Command::kReceive:
            return kForReceive;
        case Command::kSelfTest:
            return kForSelfTest;
        default:
            return 0;
    }
}

std::optional<Command> CommandNamed(std::string_view word) {
    constexpr std::pair<std::string_view, Command> kCommands[] = {
        {"ports", Command::kPorts},       {"info", Command::kInfo},       {"send", Command::kSend},
        {"text", Command::kText},         {"receive", Command::kReceive}, {"help", Command::kHelp},
        {"selftest", Command::kSelfTest},
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
        case Command::kSelfTest:
            if (!operands.empty()) {
                return std::string(msg::kCliUnexpectedArgument) + Quoted(operands.front());
            }
            return {};
        case Command::kInfo:
            if (operands.empty()) {
                return std::string(msg::kCliInfoNeedsFiles);
            }
            options.files = std::move(operands);
            return {};
        case Command::kSend:
            if (operands.size() != 1) {
                return std::string(msg::kCliSendNeedsFile);
            }
            options.files = std::move(operands);
            return {};
        case Command::kText: {
            if (options.textFile) {
                if (!operands.empty()) {
                    return std::string(msg::kCliUnexpectedArgument) + Quoted(operands.front());
                }
                return options.continuous ? std::string(msg::kCliFileNotContinuous) : std::string();
            }
            if (operands.empty() && options.breakFirst) {
                return {};
            }
            if (operands.size() != 1) {
                return std::string(msg::kCliTextNeedsText);
            }
            options.textGiven = true;
            std::string text = Utf8ToCp1252(operands.front());
            if (text.size() > kTextChars) {
                return std::string(msg::kCliTextTooLong);
            }
            options.text = std::move(text);
            return {};
        }
    }
    return {};
}

// Options that mean nothing for the way the command was asked to work: the first pair found.
std::string Conflict(const Options& options) {
    const auto exclusive = [](std::string_view a, std::string_view b) {
        return std::string(a) + std::string(msg::kCliAnd) + std::string(b) +
               std::string(msg::kCliExcludeEachOther);
    };
    if (options.command == Command::kSend && options.sendAs != SendAs::kZ80) {
        const std::string_view as =
            options.sendAs == SendAs::kXmodem ? "--as xmodem" : "--as xmodem1k";
        const std::pair<bool, std::string_view> others[] = {
            {options.continuous, "--endlos"},
            {options.watch, "--watch"},
            {options.pauseIndex != 0, "--pause"},
            {options.charDelayMs != 0, "--char-delay"},
        };
        for (const auto& [given, name] : others) {
            if (given) {
                return exclusive(name, as);
            }
        }
    }
    if (options.command == Command::kReceive) {
        if (options.xmodem && options.all) {
            return exclusive("--all", "--xmodem");
        }
        if (options.xmodem && options.timeoutSeconds != kDefaultTimeoutSeconds) {
            return exclusive("--timeout", "--xmodem");
        }
        if (options.trimPadding && !options.xmodem) {
            return "--trim" + std::string(msg::kCliOnlyWith) + "--xmodem";
        }
    }
    return {};
}

}  // namespace

ParseResult ParseArguments(const std::vector<std::string>& arguments) {
    ParseResult result;
    Options& options = result.options;
    if (arguments.empty()) {
        result.error = msg::kCliNoCommand;
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
        result.error = std::string(msg::kCliUnknownCommand) + Quoted(arguments.front());
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
            result.error = OptionError(name, msg::kCliNotForCommand);
            return result;
        }
        std::string value;
        if (equals != std::string::npos) {
            if (!rule->takesValue) {
                result.error = OptionError(name, msg::kCliTakesNoValue);
                return result;
            }
            value = argument.substr(equals + 1);
        } else if (rule->takesValue) {
            if (i + 1 >= arguments.size()) {
                result.error = OptionError(name, msg::kCliNeedsValue);
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
    // A file of its own name leaves no choice of name or folder.
    if (result.ok() && options.output && (options.all || options.folder)) {
        result.error = "-o" + std::string(msg::kCliAnd) + (options.all ? "--all" : "-d") +
                       std::string(msg::kCliExcludeEachOther);
    }
    if (result.ok()) {
        result.error = Conflict(options);
    }
    if (result.ok() && CommandBit(options.command) != 0 && options.port.empty()) {
        result.error = msg::kCliPortMissing;
    }
    return result;
}

}  // namespace velotrix::cli
