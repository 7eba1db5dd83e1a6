// The language of the program's texts: German, as the program always spoke, or English. Chosen
// once at start, before any thread runs, and read by every text of the message table.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velotrix::msg {

enum class Language : unsigned char { kGerman, kEnglish };

// The language the user asks for: VELOTRIX_LANG ("de" or "en") when it names one, otherwise the
// locale's name ("de_DE.UTF-8", "C", "en_US"; empty when none is set): German for "de..." and
// English for anything else.
Language ChooseLanguage(std::string_view override, std::string_view localeName);

// Set at start; German until then, so that a program or test that never asks speaks German.
void SetLanguage(Language language);
Language CurrentLanguage();
// "Deutsch" or "English", for the info box.
std::string_view LanguageName(Language language);

// One text of the table in both languages; it reads as the current language's text wherever a
// std::string_view is taken.
class Text {
  public:
    constexpr Text() = default;
    constexpr Text(std::string_view german, std::string_view english)
        : german_(german), english_(english) {}
    // A text that reads the same in both languages: a name ("CTS", "AADR") or none ("").
    constexpr Text(const char* both)  // NOLINT: a caption table writes such texts plainly
        : german_(both), english_(both) {}

    constexpr std::string_view German() const { return german_; }
    constexpr std::string_view English() const { return english_; }
    std::string_view In(Language language) const {
        return language == Language::kGerman ? german_ : english_;
    }
    std::string_view View() const { return In(CurrentLanguage()); }
    operator std::string_view() const { return View(); }  // NOLINT: reads as the text itself

    std::size_t size() const { return View().size(); }
    bool empty() const { return View().empty(); }
    const char* data() const { return View().data(); }
    const char* begin() const { return data(); }
    const char* end() const { return data() + size(); }
    char operator[](std::size_t index) const { return View()[index]; }

    friend bool operator==(const Text& text, std::string_view other) {
        return text.View() == other;
    }
    friend std::string operator+(const Text& text, std::string_view tail) {
        std::string joined(text.View());
        joined += tail;
        return joined;
    }
    friend std::string operator+(std::string head, const Text& text) {
        head += text.View();
        return head;
    }
    template <class Stream>
    friend Stream& operator<<(Stream& stream, const Text& text) {
        stream << text.View();
        return stream;
    }

  private:
    std::string_view german_;
    std::string_view english_;
};

}  // namespace velotrix::msg
