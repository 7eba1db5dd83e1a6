// Saving a reception without asking: its name, a free name beside existing files, the line.
#include "serial/reception_files.h"

#include "image/rx_save.h"
#include "platform/files.h"
#include "serial/error_texts.h"
#include "text/cp1252.h"
#include "ui-resources/messages.h"

namespace velotrix {

std::string ReceptionFileName(const Engine& engine, bool incomplete) {
    const std::string name = SuggestedSaveName(engine.ReceptionName(), engine.ReceptionHasHeader());
    return incomplete ? IncompleteName(name) : name;
}

EngineResult SaveReceptionInFolder(Engine& engine, const std::string& folder,
                                   const ReceptionFinishedEvent& finished, std::string& file) {
    // The name comes from the line in code page 1252; made plain, it is ASCII and so UTF-8 too.
    file = PathInFolder(folder, Cp1252ToUtf8(ReceptionFileName(engine, Incomplete(finished))));
    if (engine.Reception().empty()) {
        return engine.SaveReception(file);  // says that there is nothing to save
    }
    const SaveResult saved = SaveRxBufferAsNew(file, engine.Reception());
    if (saved.status == SaveStatus::kWritten) {
        file = saved.path;
        return {ErrorKind::kNone, std::string(msg::kSavedAs) + Utf8ToCp1252(file), {}, {}};
    }
    return {ErrorKind::kFileError,
            std::string(msg::kNotSavedPrefix) + Utf8ToCp1252(file) + ": " +
                UserErrorText(OsError{saved.osError, {}}),
            std::string(msg::kErrorCaption),
            {}};
}

}  // namespace velotrix
