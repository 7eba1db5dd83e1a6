#include "ui-resources/language.h"

#include <atomic>

namespace velotrix::msg {

namespace {

// Written once before any thread starts; atomic so that a late reader never tears it.
std::atomic<Language> current{Language::kGerman};

}  // namespace

Language ChooseLanguage(std::string_view override, std::string_view localeName) {
    if (override == "de") {
        return Language::kGerman;
    }
    if (override == "en") {
        return Language::kEnglish;
    }
    return localeName.starts_with("de") ? Language::kGerman : Language::kEnglish;
}

void SetLanguage(Language language) {
    current.store(language, std::memory_order_relaxed);
}

Language CurrentLanguage() {
    return current.load(std::memory_order_relaxed);
}

std::string_view LanguageName(Language language) {
    return language == Language::kGerman ? "Deutsch" : "English";
}

}  // namespace velotrix::msg
