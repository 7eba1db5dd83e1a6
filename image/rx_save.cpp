// Saving a reception: the name the save dialog suggests, the numbered names beside existing
// files, and the complete write of the bytes.
#include "image/rx_save.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "platform/file_io.h"
#include "platform/files.h"
#include "text/cp1252.h"
#include "text/text_helpers.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

// The name field is read with room for 16 characters and a terminator: 15 characters.
constexpr std::size_t kSuggestedNameChars = 15;
// Enough for every reception of a long evening; a folder beyond it is not a place to save in.
constexpr int kMostNumberedNames = 100000;

SaveResult Outcome(SaveStatus status, std::string message, std::string caption) {
    return SaveResult{status, std::move(message), std::move(caption), 0, {}};
}

SaveResult Outcome(FileWriteStatus status, const std::string& path) {
    switch (status) {
        case FileWriteStatus::kCannotCreate:
        case FileWriteStatus::kExists:
            return Outcome(SaveStatus::kCannotCreate,
                           std::string(msg::kCannotCreate) + "\r" + Utf8ToCp1252(path),
                           std::string(msg::kErrorCaption));
        case FileWriteStatus::kWriteError:
            return Outcome(SaveStatus::kWriteError,
                           std::string(msg::kWriteError) + "\r" + Utf8ToCp1252(path),
                           std::string(msg::kErrorCaption));
        case FileWriteStatus::kWritten:
            break;
    }
    SaveResult written =
        Outcome(SaveStatus::kWritten, Utf8ToCp1252(path), std::string(msg::kSavedCaption));
    written.path = path;
    return written;
}

// Where the file name begins: behind the last directory separator.
std::size_t NameStart(const std::string& path) {
    std::string folder;
    return FolderOfPath(path, folder) == 0 ? folder.size() : 0;
}

}  // namespace

std::string SuggestedSaveName(std::string_view nameFieldText, bool hasHeader) {
    if (!hasHeader) {
        return "default.bin";
    }
    std::string name = LeftChars(nameFieldText, kSuggestedNameChars);
    TrimText(name);
    return PlainFileName(name) + ".Z80";
}

std::string PlainFileName(std::string_view text) {
    constexpr std::string_view kForbidden = "/\\:*?\"<>|";
    std::string name(text);
    for (char& c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F || kForbidden.find(c) != std::string_view::npos) {
            c = '_';
        }
    }
    // "." and ".." lead elsewhere, and a leading dot hides the file.
    if (!name.empty() && name.front() == '.') {
        name.front() = '_';
    }
    if (name.empty()) {
        return "default";
    }
    // Windows gives these names to devices, whatever extension follows and however many spaces
    // stand before it.
    constexpr std::string_view kReserved[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    std::string base = name.substr(0, name.find('.'));
    base.erase(base.find_last_not_of(' ') + 1);
    const bool numberedDevice =
        base.size() == 4 &&
        (StartsWithIgnoringCase(base, "COM") || StartsWithIgnoringCase(base, "LPT")) &&
        base[3] >= '0' && base[3] <= '9';
    const bool reserved =
        std::any_of(std::begin(kReserved), std::end(kReserved),
                    [&](std::string_view r) { return EqualIgnoringCase(base, r); });
    return reserved || numberedDevice ? "_" + name : name;
}

std::string IncompleteName(std::string name) {
    const std::size_t dot = name.rfind('.');
    name.insert(dot == std::string::npos ? name.size() : dot, msg::kIncompleteName);
    return name;
}

std::string NumberedPath(const std::string& path, int n) {
    if (n < 2) {
        return path;
    }
    const std::size_t dot = path.rfind('.');
    const std::size_t cut = dot != std::string::npos && dot > NameStart(path) ? dot : path.size();
    return path.substr(0, cut) + "-" + std::to_string(n) + path.substr(cut);
}

SaveResult SaveRxBuffer(const std::string& path, std::span<const std::uint8_t> bytes) {
    int osError = 0;
    const FileWriteStatus status = WriteWholeFile(path, bytes, osError);
    SaveResult result = Outcome(status, path);
    result.osError = status == FileWriteStatus::kWritten ? 0 : osError;
    return result;
}

SaveResult SaveRxBufferAsNew(const std::string& path, std::span<const std::uint8_t> bytes,
                             bool privately) {
    int osError = 0;
    FileWriteStatus status = FileWriteStatus::kExists;
    std::string candidate;
    for (int n = 1; status == FileWriteStatus::kExists && n <= kMostNumberedNames; ++n) {
        candidate = NumberedPath(path, n);
        status = WriteNewFile(candidate, bytes, osError, privately);
    }
    SaveResult result = Outcome(status, candidate);
    result.osError = status == FileWriteStatus::kWritten ? 0 : osError;
    return result;
}

}  // namespace velotrix
