// Which language a run speaks. The command line's --language comes first, then the language chosen
// on the parent's page (the configuration's sixth line), then, for the installed program only, the
// desktop's: its locale variables in gettext's order. The portable copy speaks English unless a
// language is chosen. A code is tried as it is and then without its country ("pt_BR", then "pt");
// the desktop's languages without a catalogue are passed over, and when none is left, or a language
// chosen by name has none, the run is in English.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "app/start/paths.hpp"
#include "media/display/font.hpp"

namespace app {

// The locale variables, as the desktop set them.
struct LocaleVariables {
  std::string language;     // LANGUAGE: a list by preference, "de:fr"
  std::string lc_all, lc_messages, lang;
};
LocaleVariables locale_variables();

// The language codes the desktop asks for, best first, each also without its country: the locale
// is the first set of LC_ALL, LC_MESSAGES and LANG, its encoding and modifier dropped
// ("de_AT.UTF-8@euro" is "de_AT", then "de"); LANGUAGE's list comes before it, except when the
// locale is C or POSIX (or unset), which means English whatever LANGUAGE says, as gettext has it.
std::vector<std::string> desktop_languages(const LocaleVariables& vars);

// What a run needs to choose its language.
struct LanguageAsked {
  std::string option;  // --language
  std::string chosen;  // from the parent's page (the configuration)
  RunMode mode = RunMode::Portable;
  LocaleVariables desktop;
};

// The code of the language to speak: the first asked for that has_catalogue accepts, tried with
// and without its country; "en" when none.
std::string choose_language(const LanguageAsked& asked, const std::function<bool(const std::string&)>& has_catalogue);

// Whether the data folder's locale folder has a catalogue for the code.
bool has_catalogue(const std::string& locale_dir, const std::string& code);

// Whether the font (and the system's fonts behind it) shows the words in use.
bool words_shown(const media::FontPtr& font);
// For words that are not shown: one line saying so, in their language, naming the font package
// that mends it.
std::string no_font_line();
// When the font does not show the words in use, says so on standard error (no_font_line) and turns
// the words back to English: boxes for letters help nobody. False then.
bool keep_language_if_shown(const std::string& locale_dir, const media::FontPtr& font);

}  // namespace app
