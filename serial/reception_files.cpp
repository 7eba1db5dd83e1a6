// Saving the finished reception: where it goes, under which name, and what the save says.
#include "serial/reception_files.h"

#include "image/rx_save.h"
#include "platform/files.h"
#include "serial/error_texts.h"
#include "text/cp1252.h"
#include "ui-resources/messages.h"

namespace velotrix {

std::string ReceptionFileName(const SavableReception& reception) {
    const std::string name = SuggestedSaveName(reception.name, reception.hasHeader);
    return reception.incomplete ? IncompleteName(name) : name;
}

SavedReception SaveReceptionTo(const SavableReception& reception, const SaveTarget& target) {
    SavedReception saved;
    // The name comes from the line in code page 1252; made plain, it is ASCII and so UTF-8 too.
    saved.asked = target.kind == SaveTarget::Kind::kFolder
                      ? PathInFolder(target.path, Cp1252ToUtf8(ReceptionFileName(reception)))
                      : target.path;
    if (reception.bytes.empty()) {
        saved.result = {ErrorKind::kNothingToSave,
                        std::string(msg::kNothingToSave),
                        std::string(msg::kErrorCaption),
                        {}};
        saved.line = saved.result.text;
        return saved;
    }
    const SaveResult written =
        target.kind == SaveTarget::Kind::kFile
            ? SaveRxBuffer(saved.asked, reception.bytes)
            : SaveRxBufferAsNew(saved.asked, reception.bytes, target.privately);
    const std::string reason = UserErrorText(OsError{written.osError, {}});
    saved.result = {
        written.status == SaveStatus::kWritten ? ErrorKind::kNone : ErrorKind::kFileError,
        written.message + (written.osError != 0 ? "\r" + reason : ""),
        written.caption,
        {}};
    if (saved.result.ok()) {
        saved.written = written.path;
        saved.line = std::string(msg::kSavedAs) + Utf8ToCp1252(written.path);
    } else {
        saved.line = std::string(msg::kNotSavedPrefix) + Utf8ToCp1252(saved.asked) + ": " + reason;
    }
    return saved;
}

}  // namespace velotrix
