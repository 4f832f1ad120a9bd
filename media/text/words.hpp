// The words of this run: the English catalogue and, when another language was chosen, its
// catalogue in front of it. Chosen once at start-up (before any thread that shows text begins),
// read from anywhere afterwards. A text the language lacks is English; an id neither has is
// logged once and comes back empty, so it shows as nothing.
#pragma once
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "media/text/catalogue.hpp"

namespace media {

// The code of the English catalogue, which is made from the template itself.
constexpr std::string_view kEnglish = "en";
// The pseudo-language the build makes for the tests (accented, longer, bracketed).
constexpr std::string_view kPseudoLanguage = "qps";

// code: the language's code, for words_language().
void use_words(Catalogue english, std::optional<Catalogue> language = std::nullopt, std::string code = "");
// Reads <locale_dir>/en.mo and <locale_dir>/<language>.mo (none for English) and uses them; false
// (with the reason logged) when the English one cannot be read. A language without a catalogue
// is logged and the run carries on in English.
bool load_words(const std::string& locale_dir, std::string_view language);

// The code of the language the words are in: the one loaded, or "en" when none was (or it could
// not be read).
std::string words_language();

// A language a parent may choose: its code and its own name (its catalogue's "language.name").
struct LanguageName {
  std::string code, name;
};
// The languages with a catalogue in locale_dir: English first, then the others by code. The
// pseudo-language, which is for testing, is not among them, nor a catalogue that cannot be read.
std::vector<LanguageName> available_languages(const std::string& locale_dir);

std::string word(std::string_view id);
// The form of a counted text for n, by the language's plural rule.
std::string words(std::string_view id, unsigned long n);

// Puts values into a text's {name} places; "{{" and "}}" are braces. A place with no value given
// is left as it is, so the mistake shows.
std::string fill(std::string_view text, std::initializer_list<std::pair<std::string_view, std::string_view>> values);

}  // namespace media
