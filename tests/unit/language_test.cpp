// The message table in both languages, and the language a user's environment chooses.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/process.h"
#include "support/rig.h"
#include "support/scoped_variable.h"
#include "ui-resources/layout.h"
#include "ui-resources/messages.h"

namespace velotrix::test {
namespace {

using msg::Language;

TEST(MessageTable, EveryEntryHasBothTextsAndTheGermanAreTodays) {
    // FNV-1a over each entry's name and German text: it changes when a German text changes (or an
    // entry comes or goes, which then updates the value here).
    std::uint64_t hash = 14695981039346656037ull;
    const auto add = [&hash](std::string_view bytes) {
        for (const char byte : bytes) {
            hash = (hash ^ static_cast<unsigned char>(byte)) * 1099511628211ull;
        }
        hash = (hash ^ 0xFFu) * 1099511628211ull;
    };
    int entries = 0;
    msg::ForEachMessage([&](std::string_view name, const msg::Text& text) {
        EXPECT_FALSE(text.German().empty()) << name;
        EXPECT_FALSE(text.English().empty()) << name;
        add(name);
        add(text.German());
        ++entries;
    });
    EXPECT_GT(entries, 300);
    EXPECT_EQ(hash, 17599221928244246741u) << "the German column changed";
}

// The captions of the dialogs and the menu: English where there is German, and none where none.
TEST(MessageTable, EveryCaptionHasBothTexts) {
    const auto check = [](const msg::Text& caption, int id) {
        EXPECT_EQ(caption.German().empty(), caption.English().empty()) << id;
    };
    for (const layout::DialogLayout* dialog :
         {&layout::MainDialog(), &layout::TextDialog(), &layout::TerminalBar()}) {
        check(dialog->caption, 0);
        for (const layout::Item& item : dialog->items) {
            check(item.caption, item.id);
        }
    }
    for (const layout::MenuEntry& entry : layout::MainMenu()) {
        check(entry.caption, entry.commandId);
    }
    for (const msg::Text& line : msg::kInfoLines) {
        check(line, 0);
    }
}

struct EnvironmentRow {
    const char* name;
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    const char* velotrixLang;
    Language expected;
};

constexpr Language kDe = Language::kGerman;
constexpr Language kEn = Language::kEnglish;

// nullptr: the variable is not set. An empty value counts as not set, as for the locale itself.
const EnvironmentRow kEnvironments[] = {
    {"nothing set", nullptr, nullptr, nullptr, nullptr, kEn},
    {"German LANG", nullptr, nullptr, "de_DE.UTF-8", nullptr, kDe},
    {"Austrian LANG without codeset", nullptr, nullptr, "de_AT", nullptr, kDe},
    {"English LANG", nullptr, nullptr, "en_US.UTF-8", nullptr, kEn},
    {"C locale", nullptr, nullptr, "C", nullptr, kEn},
    {"Danish is not German", nullptr, nullptr, "da_DK.UTF-8", nullptr, kEn},
    {"LC_ALL before LANG", "en_GB.UTF-8", nullptr, "de_DE.UTF-8", nullptr, kEn},
    {"LC_ALL before LC_MESSAGES", "de_CH.UTF-8", "en_US.UTF-8", nullptr, nullptr, kDe},
    {"LC_MESSAGES before LANG", nullptr, "de_DE.UTF-8", "en_US.UTF-8", nullptr, kDe},
    {"empty LC_ALL is not set", "", "de_DE.UTF-8", "C", nullptr, kDe},
    {"VELOTRIX_LANG=en over a German locale", "de_DE.UTF-8", nullptr, "de_DE", "en", kEn},
    {"VELOTRIX_LANG=de over C", "C", nullptr, nullptr, "de", kDe},
    {"unknown VELOTRIX_LANG leaves the locale", nullptr, nullptr, "de_DE.UTF-8", "fr", kDe},
    {"empty VELOTRIX_LANG leaves the locale", nullptr, nullptr, "en_US.UTF-8", "", kEn},
};

class LanguageChoice : public ::testing::TestWithParam<EnvironmentRow> {};

TEST_P(LanguageChoice, FollowsTheEnvironment) {
    const EnvironmentRow& row = GetParam();
    const ScopedVariable all("LC_ALL", row.lcAll);
    const ScopedVariable messages("LC_MESSAGES", row.lcMessages);
    const ScopedVariable lang("LANG", row.lang);
    const ScopedVariable velotrix("VELOTRIX_LANG", row.velotrixLang);
    EXPECT_EQ(UserLanguage(), row.expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, LanguageChoice, ::testing::ValuesIn(kEnvironments),
                         RowName<EnvironmentRow>);

}  // namespace
}  // namespace velotrix::test
