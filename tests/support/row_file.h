// Row files: the tables of cases as text beside their tests (the format is in
// tests/support/STEPS.md).
#pragma once

#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace velotrix::test {

struct FileRow {
    std::string name;
    std::map<std::string, std::string> fields;  // "steps", "args", ...: each "NAME: value" line
    std::string expected;                       // the "key=value" lines, joined by '\n'
};

// kCp1252 for the rows of the window and the engine, whose texts are the core's code page 1252.
enum class RowText { kUtf8, kCp1252 };

// The rows of the file, a path below tests/, with those fields. A file that cannot be read, a line
// that is neither a field of those nor a key, and a row that expects nothing end the program with
// their place: a mistyped row must not pass unseen.
std::vector<FileRow> ReadRows(std::string_view file, RowText text,
                              std::initializer_list<std::string_view> fields);

// The words that tests/support/STEPS.md documents under that heading ("Step words", "Keys"): the
// first column of its table.
const std::set<std::string>& DocumentedIn(std::string_view heading);

}  // namespace velotrix::test
