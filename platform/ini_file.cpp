// INI files read and written like the Windows profile functions: every untouched line stays as it
// is.
#include "platform/ini_file.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <vector>

#include "platform/file_io.h"
#include "text/text_helpers.h"

namespace velotrix {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

struct Line {
    std::string_view text;  // without its line end
    std::string_view end;   // "\r\n", "\n", or empty for a last line without one
};

std::vector<Line> SplitLines(std::string_view content) {
    std::vector<Line> lines;
    while (!content.empty()) {
        const std::size_t newline = content.find('\n');
        if (newline == std::string_view::npos) {
            lines.push_back({content, {}});
            break;
        }
        std::size_t textEnd = newline;
        if (textEnd > 0 && content[textEnd - 1] == '\r') {
            --textEnd;
        }
        lines.push_back(
            {content.substr(0, textEnd), content.substr(textEnd, newline + 1 - textEnd)});
        content.remove_prefix(newline + 1);
    }
    // An editor's byte-order mark is not part of the first line's text.
    if (!lines.empty() && lines[0].text.starts_with(kUtf8Bom)) {
        lines[0].text.remove_prefix(kUtf8Bom.size());
    }
    return lines;
}

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

std::optional<std::string_view> SectionName(std::string_view line) {
    const std::string_view text = TrimBlanks(line);
    if (!text.starts_with('[')) {
        return std::nullopt;
    }
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return TrimBlanks(text.substr(1, close - 1));
}

// The key of a "key=value" line; nothing for other lines.
std::optional<std::string_view> KeyName(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view key = TrimBlanks(line.substr(0, equals));
    if (key.empty()) {
        return std::nullopt;
    }
    return key;
}

struct Location {
    std::optional<std::size_t> section;  // the first section of that name
    std::optional<std::size_t> key;      // the key's line
    std::size_t insertAfter = 0;         // the section's last key line, or its header
};

Location Locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    Location found;
    bool inSection = false;
    bool inFirstSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (const auto name = SectionName(lines[i].text)) {
            inSection = EqualIgnoringCase(*name, section);
            inFirstSection = inSection && !found.section;
            if (inFirstSection) {
                found.section = i;
                found.insertAfter = i;
            }
            continue;
        }
        const auto name = inSection ? KeyName(lines[i].text) : std::nullopt;
        if (!name) {
            continue;
        }
        if (EqualIgnoringCase(*name, key)) {
            found.key = i;
            break;
        }
        if (inFirstSection) {
            found.insertAfter = i;
        }
    }
    return found;
}

// Reads a value like GetPrivateProfileInt: an optional sign, then decimal digits as far as they go.
// A leading '+' is taken as a plain sign; values beyond the 32-bit range saturate.
int ParseInt(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > limit) {
            value = limit;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

std::optional<std::string> IniReadValue(const std::string& path, std::string_view section,
                                        std::string_view key) {
    std::string content;
    if (ReadWholeFile(path, content) != FileReadStatus::kRead) {
        return std::nullopt;
    }
    const std::vector<Line> lines = SplitLines(content);
    const Location found = Locate(lines, section, key);
    if (!found.key) {
        return std::nullopt;
    }
    const std::string_view text = lines[*found.key].text;
    return std::string(TrimBlanks(text.substr(text.find('=') + 1)));
}

std::string IniReadString(const std::string& path, std::string_view section, std::string_view key) {
    return IniReadValue(path, section, key).value_or(std::string());
}

int IniReadInt(const std::string& path, std::string_view section, std::string_view key,
               int defaultValue) {
    const std::string value = IniReadString(path, section, key);
    return value.empty() ? defaultValue : ParseInt(value);
}

bool IniWriteString(const std::string& path, std::string_view section, std::string_view key,
                    std::string_view value) {
    // Names and values that would break the line structure are refused rather than written.
    if (section.empty() || key.empty() || HasLineBreak(section) || HasLineBreak(key) ||
        HasLineBreak(value) || section.find(']') != std::string_view::npos ||
        key.find('=') != std::string_view::npos) {
        return false;
    }
    // A file that exists but cannot be read is left alone rather than replaced by a new one.
    std::string content;
    const FileReadStatus status = ReadWholeFile(path, content);
    if (status != FileReadStatus::kRead && status != FileReadStatus::kMissing) {
        return false;
    }
    const std::vector<Line> lines = SplitLines(content);
    const Location found = Locate(lines, section, key);
    const std::string_view lineEnd =
        !lines.empty() && !lines[0].end.empty() ? lines[0].end : std::string_view("\n");

    std::string updated;
    updated.reserve(content.size() + section.size() + key.size() + value.size() + 8);
    const auto appendLine = [&](std::string_view text, std::string_view end) {
        updated.append(text);
        updated.append(end);
    };
    // The byte-order mark went out of the first line's text; it comes back in front.
    if (content.starts_with(kUtf8Bom)) {
        updated.append(kUtf8Bom);
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (found.key && i == *found.key) {
            const std::size_t equals = line.text.find('=');
            const std::size_t valueStart = line.text.find_first_not_of(kBlanks, equals + 1);
            updated.append(line.text.substr(0, std::min(valueStart, line.text.size())));
            appendLine(value, line.end);
            continue;
        }
        const bool insertHere = !found.key && found.section && i == found.insertAfter;
        appendLine(line.text, insertHere && line.end.empty() ? lineEnd : line.end);
        if (insertHere) {
            AppendTexts(updated, {key, "=", value, lineEnd});
        }
    }
    if (!found.section) {
        if (!lines.empty() && lines.back().end.empty()) {
            updated.append(lineEnd);
        }
        AppendTexts(updated, {"[", section, "]", lineEnd, key, "=", value, lineEnd});
    }
    return ReplaceFileContents(path, updated);
}

}  // namespace velotrix
