#include "app/start/language.hpp"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "media/files/log.hpp"
#include "media/text/words.hpp"

namespace app {
namespace {

std::string variable(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

// "de_AT.UTF-8@euro" -> "de_AT", then "de": the forms a catalogue may be named by.
void add_forms(const std::string& locale, std::vector<std::string>& out) {
  const std::string code = locale.substr(0, locale.find_first_of(".@"));
  if (code.empty()) return;
  auto add = [&out](const std::string& c) {
    for (const std::string& seen : out)
      if (seen == c) return;
    out.push_back(c);
  };
  add(code);
  if (const size_t country = code.find('_'); country != std::string::npos) add(code.substr(0, country));
}

}  // namespace

LocaleVariables locale_variables() {
  return {variable("LANGUAGE"), variable("LC_ALL"), variable("LC_MESSAGES"), variable("LANG")};
}

std::vector<std::string> desktop_languages(const LocaleVariables& vars) {
  const std::string& locale = !vars.lc_all.empty() ? vars.lc_all : !vars.lc_messages.empty() ? vars.lc_messages : vars.lang;
  std::vector<std::string> out;
  if (locale.empty() || locale == "C" || locale == "POSIX" || locale.rfind("C.", 0) == 0) return out;
  for (size_t start = 0; start <= vars.language.size();) {
    const size_t end = std::min(vars.language.find(':', start), vars.language.size());
    add_forms(vars.language.substr(start, end - start), out);
    start = end + 1;
  }
  add_forms(locale, out);
  return out;
}

std::string choose_language(const LanguageAsked& asked, const std::function<bool(const std::string&)>& has_catalogue) {
  // A language asked for by name (the command line, else the page) is the choice: the desktop is
  // not asked, and one without a catalogue leaves the run in English.
  std::vector<std::string> wanted;
  if (!asked.option.empty()) add_forms(asked.option, wanted);
  else if (!asked.chosen.empty()) add_forms(asked.chosen, wanted);
  else if (asked.mode == RunMode::Installed) wanted = desktop_languages(asked.desktop);
  for (const std::string& code : wanted) {
    // English is the template itself: asked for, it wins over the languages after it.
    if (code == media::kEnglish || has_catalogue(code)) return code;
  }
  return std::string(media::kEnglish);
}

bool has_catalogue(const std::string& locale_dir, const std::string& code) {
  std::error_code absent;
  // A code is a catalogue's name, never a path.
  if (code.empty() || code.find_first_of("/.") != std::string::npos) return false;
  return std::filesystem::is_regular_file(locale_dir + "/" + code + ".mo", absent);
}

bool words_shown(const media::FontPtr& font) {
  if (media::words_language() == media::kEnglish) return true;
  std::string sample = media::word("language.name");
  for (const char* id : {"settings.title", "help.close", "title.press_h", "parent.hint"}) sample += " " + media::word(id);
  const media::FontPtr before = media::current_font();
  media::set_font(font);
  const bool shown = media::missing_characters(sample).empty();
  media::set_font(before);
  return shown;
}

std::string no_font_line() {
  // The Debian package with the fonts of the language's script.
  const std::string code = media::words_language();
  const bool cjk = code.rfind("zh", 0) == 0 || code == "ja" || code == "ko";
  return media::fill(media::word("language.no_font"),
                     {{"language", media::word("language.name")}, {"fonts", cjk ? "fonts-noto-cjk" : "fonts-noto-core"}});
}

bool keep_language_if_shown(const std::string& locale_dir, const media::FontPtr& font) {
  if (words_shown(font)) return true;
  media::log_error("words", no_font_line());
  media::load_words(locale_dir, media::kEnglish);
  return false;
}

}  // namespace app
