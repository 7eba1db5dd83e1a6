// Saving a reception: the name the save dialog suggests and the complete write of the bytes.
#include "image/rx_save.h"

#include <utility>

#include "platform/file_io.h"
#include "text/cp1252.h"
#include "text/text_helpers.h"

namespace velotrix {

namespace {

// The name field is read with room for 16 characters and a terminator: 15 characters.
constexpr std::size_t kSuggestedNameChars = 15;
constexpr char kErrorCaption[] = "Fehler!";

SaveResult Outcome(SaveStatus status, std::string message, std::string caption) {
    return SaveResult{status, std::move(message), std::move(caption)};
}

}  // namespace

std::string SuggestedSaveName(std::string_view nameFieldText, bool hasHeader) {
    if (!hasHeader) {
        return "default.bin";
    }
    std::string name = LeftChars(nameFieldText, kSuggestedNameChars);
    TrimText(name);
    return name + ".Z80";
}

SaveResult SaveRxBuffer(const std::string& path, std::span<const std::uint8_t> bytes) {
    switch (WriteWholeFile(path, bytes)) {
        case FileWriteStatus::kCannotCreate:
            return Outcome(SaveStatus::kCannotCreate, "Datei ist nicht zu erzeugen", kErrorCaption);
        case FileWriteStatus::kWriteError:
            return Outcome(SaveStatus::kWriteError, "Schreibfehler", kErrorCaption);
        case FileWriteStatus::kWritten:
            break;
    }
    return Outcome(SaveStatus::kWritten, Utf8ToCp1252(path),
                   "Datei wurde erfolgreich geschrieben.");
}

}  // namespace velotrix
