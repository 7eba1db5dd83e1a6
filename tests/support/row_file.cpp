// Reads row files: a row is a paragraph whose first line is its name; '#' starts a comment line.
#include "support/row_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "text/cp1252.h"

namespace velotrix::test {

namespace {

[[noreturn]] void Refuse(const std::string& place, const std::string& why) {
    std::fprintf(stderr, "%s: %s\n", place.c_str(), why.c_str());
    std::exit(1);
}

std::ifstream Opened(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        Refuse(path, "cannot be read");
    }
    return in;
}

// \n, \r, \\ and \xNN (a byte as it is, after the conversion to code page 1252).
std::string Unescaped(const std::string& text, const std::string& place) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        const auto hex = [&](std::size_t at) {
            return at < text.size() && std::isxdigit(static_cast<unsigned char>(text[at])) != 0;
        };
        if (next == 'x' && hex(i + 2) && hex(i + 3)) {
            out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
            continue;
        }
        if (next != 'n' && next != 'r' && next != '\\') {
            Refuse(place, "unknown escape");
        }
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : '\\';
        ++i;
    }
    return out;
}

// "NAME: value" (or "NAME:" for an empty one) with NAME of small letters.
bool IsField(const std::string& line, std::size_t colon) {
    return colon != std::string::npos && colon > 0 &&
           (colon + 1 == line.size() || line[colon + 1] == ' ') &&
           line.find_first_not_of("abcdefghijklmnopqrstuvwxyz") == colon;
}

}  // namespace

std::vector<FileRow> ReadRows(std::string_view file, RowText text,
                              std::initializer_list<std::string_view> fields) {
    const std::string path = std::string(VELOTRIX_TEST_ROWS) + "/" + std::string(file);
    std::ifstream in = Opened(path);
    std::vector<FileRow> rows;
    bool inRow = false;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        const std::string place = path + ":" + std::to_string(++number);
        if (line.starts_with('#')) {
            continue;
        }
        if (line.empty()) {
            inRow = false;
            continue;
        }
        line = Unescaped(text == RowText::kCp1252 ? Utf8ToCp1252(line) : line, place);
        if (!inRow) {
            if (!rows.empty() && rows.back().expected.empty()) {
                Refuse(place, "the row before expects nothing");
            }
            rows.push_back({line, {}, {}});
            inRow = true;
            continue;
        }
        FileRow& row = rows.back();
        const std::size_t colon = line.find(':');
        if (IsField(line, colon)) {
            const std::string name = line.substr(0, colon);
            if (std::find(fields.begin(), fields.end(), name) == fields.end()) {
                Refuse(place, "no field \"" + name + "\" in this file");
            }
            const std::string value = line.substr(std::min(colon + 2, line.size()));
            std::string& field = row.fields[name];
            field += (field.empty() || value.empty() ? "" : "; ") + value;
        } else if (line.find('=') != std::string::npos) {
            row.expected += (row.expected.empty() ? "" : "\n") + line;
        } else {
            Refuse(place, "neither \"field: value\" nor \"key=value\"");
        }
    }
    if (!rows.empty() && rows.back().expected.empty()) {
        Refuse(path, "the last row expects nothing");
    }
    return rows;
}

const std::set<std::string>& DocumentedIn(std::string_view heading) {
    static std::map<std::string, std::set<std::string>, std::less<>> documented;
    if (documented.empty()) {
        std::ifstream in = Opened(std::string(VELOTRIX_TEST_ROWS) + "/support/STEPS.md");
        std::string section;
        for (std::string line; std::getline(in, line);) {
            if (line.starts_with("## ")) {
                section = line.substr(3);
            } else if (line.starts_with("| `")) {
                documented[section].insert(line.substr(3, line.find('`', 3) - 3));
            }
        }
    }
    return documented[std::string(heading)];
}

}  // namespace velotrix::test
