// The user's language, on every platform: VELOTRIX_LANG first, then the platform's locale.
#include <cstdlib>

#include "platform/process.h"

namespace velotrix {

msg::Language UserLanguage() {
    const char* override = std::getenv("VELOTRIX_LANG");
    return msg::ChooseLanguage(override != nullptr ? override : "", UserLocaleName());
}

}  // namespace velotrix
