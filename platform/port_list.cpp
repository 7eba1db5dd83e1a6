// Natural order of port names and the extra entries of the port lists.
#include "platform/port_list.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "platform/files.h"
#include "text/text_helpers.h"

namespace velotrix {

namespace {

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

bool NaturalLess(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            const std::size_t startA = i;
            const std::size_t startB = j;
            while (i < a.size() && IsDigit(a[i])) {
                ++i;
            }
            while (j < b.size() && IsDigit(b[j])) {
                ++j;
            }
            std::string_view runA = a.substr(startA, i - startA);
            std::string_view runB = b.substr(startB, j - startB);
            runA.remove_prefix(std::min(runA.find_first_not_of('0'), runA.size()));
            runB.remove_prefix(std::min(runB.find_first_not_of('0'), runB.size()));
            if (runA.size() != runB.size()) {
                return runA.size() < runB.size();
            }
            if (runA != runB) {
                return runA < runB;
            }
            continue;
        }
        if (a[i] != b[j]) {
            return a[i] < b[j];
        }
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

void AppendExtraPorts(std::vector<PortInfo>& ports, std::string_view list, char separator) {
    while (!list.empty()) {
        const std::size_t end = std::min(list.find(separator), list.size());
        const std::string path(list.substr(0, end));
        list.remove_prefix(std::min(end + 1, list.size()));
        const bool known = std::any_of(ports.begin(), ports.end(),
                                       [&](const PortInfo& port) { return port.path == path; });
        if (path.empty() || known) {
            continue;
        }
        std::string name;
        if (FileNameOfPath(path, name) != 0 || name.empty()) {
            name = path;
        }
        ports.push_back({name, path, {}, {}});
    }
}

}  // namespace velotrix
