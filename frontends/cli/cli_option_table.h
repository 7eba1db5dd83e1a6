// The options of velotrix-cli as a table: which commands take each one, and how its value is
// checked and stored. Shared by the parser and nothing else.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frontends/cli/cli_options.h"

namespace velotrix::cli {

// The text command's single send takes at most 31 characters, as the text dialog does.
inline constexpr std::size_t kTextChars = 31;

// Which commands accept an option.
enum : unsigned {
    kForSend = 1u << 0,
    kForText = 1u << 1,
    kForReceive = 1u << 2,
    kForSelfTest = 1u << 3,
    kForPort = kForSend | kForText | kForReceive | kForSelfTest,
};

// Stores a value in the options; returns why the value is refused, empty when it is taken.
using Setter = std::function<std::string(Options&, const std::string&)>;

struct OptionRule {
    std::string_view name;
    std::string_view shortName;  // empty where there is none
    bool takesValue;
    unsigned commands;
    Setter set;
};

const std::vector<OptionRule>& OptionTable();
// The name --as gives the form ("hex32").
std::string_view SendAsName(SendAs as);
// The kFor... bit of a command; 0 for those that open no port.
unsigned CommandBit(Command command);

// A value the user typed (UTF-8), quoted for a message in code page 1252.
std::string Quoted(const std::string& value);
// The refusal of a value: what the option takes instead.
std::string Expects(std::string_view option, const std::string& what, const std::string& value);
// A whole number from 1 to maximum, written in digits only.
std::optional<long long> PositiveNumber(const std::string& text, long long maximum);

}  // namespace velotrix::cli
