// Reading a text file for a text send: its lines, their line ends, code page 1252.
#include "serial/text_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <vector>

#include "platform/file_io.h"
#include "text/cp1252.h"
#include "text/text_helpers.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

EngineResult Refusal(std::string text) {
    return {ErrorKind::kFileError, std::move(text), std::string(msg::kErrorCaption), {}};
}

}  // namespace

const char* LineEndBytes(LineEnd end) {
    switch (end) {
        case LineEnd::kCr:
            return "\r";
        case LineEnd::kCrLf:
            return "\r\n";
        case LineEnd::kLf:
            return "\n";
        case LineEnd::kNone:
            break;
    }
    return "";
}

EngineResult TextFileBytes(std::string_view content, LineEnd end, TextFile& file,
                           std::string_view linePrefix) {
    file = {};
    if (content.starts_with(kByteOrderMark)) {
        content.remove_prefix(kByteOrderMark.size());
    }
    while (!content.empty()) {
        const std::size_t stop = std::min(content.find_first_of("\r\n"), content.size());
        const std::string_view line = content.substr(0, stop);
        ++file.lines;
        if (const Cp1252Fit fit = FitsCp1252(line); fit != Cp1252Fit::kFits) {
            return Refusal(std::string(linePrefix) + std::to_string(file.lines) +
                           std::string(fit == Cp1252Fit::kMalformed ? msg::kTextFileMalformed
                                                                    : msg::kTextFileNotInCodePage));
        }
        file.bytes += Utf8ToCp1252(line);
        file.bytes += LineEndBytes(end);
        const bool crLf = content.substr(stop).starts_with("\r\n");
        content.remove_prefix(std::min(stop + (crLf ? 2 : 1), content.size()));
    }
    return {};
}

EngineResult ReadTextFile(const std::string& path, LineEnd end, TextFile& file) {
    std::vector<std::uint8_t> buffer(kMaxTextFileSize);
    const FileReadResult read = ReadFileInto(path, buffer);
    switch (read.status) {
        case FileReadStatus::kRead:
            return TextFileBytes({reinterpret_cast<const char*>(buffer.data()), read.size}, end,
                                 file);
        case FileReadStatus::kTooBig:
            return Refusal(std::string(msg::kTextFileTooBig));
        case FileReadStatus::kNotRegular:
            return Refusal(Utf8ToCp1252(path) + std::string(msg::kNotRegularFile));
        case FileReadStatus::kMissing:
        case FileReadStatus::kCannotOpen:
            break;
    }
    const int code = read.osError != 0                         ? read.osError
                     : read.status == FileReadStatus::kMissing ? ENOENT
                                                               : EIO;
    return {ErrorKind::kFileError, {}, {}, OsError{code, {}}};
}

std::string LinesWouldJoinText(std::size_t lines) {
    return std::string(msg::kTextFileJoinPrefix) + CountToDecimal(lines) +
           std::string(msg::kTextFileJoinSuffix);
}

}  // namespace velotrix
