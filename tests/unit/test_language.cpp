// Which language a run speaks: the command line, then the parent's choice, then (installed only)
// the desktop's locale variables in gettext's order, each code with and without its country.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/start/language.hpp"
#include "media/text/direction.hpp"
#include "media/text/words.hpp"

using app::LanguageAsked;
using app::LocaleVariables;
using app::RunMode;

TEST(Language, TheDesktopsLanguagesComeInGettextsOrder) {
  struct Case {
    LocaleVariables vars;
    std::vector<std::string> codes;
  };
  const Case cases[] = {
      {{"", "", "", "de_AT.UTF-8"}, {"de_AT", "de"}},
      {{"", "", "", "sr_RS@latin"}, {"sr_RS", "sr"}},
      {{"fr:de_CH", "", "", "en_US.UTF-8"}, {"fr", "de_CH", "de", "en_US", "en"}},
      {{"", "pt_BR.UTF-8", "de_DE.UTF-8", "ja_JP.UTF-8"}, {"pt_BR", "pt"}},  // LC_ALL first
      {{"", "", "uk_UA.UTF-8", "de_DE.UTF-8"}, {"uk_UA", "uk"}},           // then LC_MESSAGES
      {{"fr", "", "", "C.UTF-8"}, {}},                                     // C: English, LANGUAGE unread
      {{"fr", "", "", "POSIX"}, {}},
      {{"fr", "", "", ""}, {}},
      {{"de:de", "", "", "de_DE.UTF-8"}, {"de", "de_DE"}},  // each once
  };
  for (const Case& c : cases)
    EXPECT_EQ(app::desktop_languages(c.vars), c.codes) << c.vars.language << "|" << c.vars.lc_all << "|" << c.vars.lang;
}

TEST(Language, TheFirstLanguageAskedForWithACatalogueIsSpoken) {
  const std::set<std::string> catalogues = {"de", "pt_BR", "ar"};
  auto has = [&catalogues](const std::string& code) { return catalogues.count(code) > 0; };
  const LocaleVariables german{"", "", "", "de_DE.UTF-8"};
  struct Case {
    LanguageAsked asked;
    const char* spoken;
  };
  const Case cases[] = {
      {{"de", "", RunMode::Portable, {}}, "de"},
      {{"de_AT", "", RunMode::Portable, {}}, "de"},
      {{"xx", "", RunMode::Installed, german}, "en"},  // asked for by name: the desktop is not asked
      {{"", "pt_BR", RunMode::Portable, german}, "pt_BR"},
      {{"ar", "pt_BR", RunMode::Installed, german}, "ar"},  // the command line over the page
      {{"", "", RunMode::Portable, german}, "en"},          // portable: English unless chosen
      {{"", "", RunMode::Installed, german}, "de"},
      {{"", "", RunMode::Installed, {"", "", "", "pt_BR.UTF-8"}}, "pt_BR"},
      {{"", "", RunMode::Installed, {"", "", "", "pt_PT.UTF-8"}}, "en"},  // no pt_PT, no pt
      {{"", "", RunMode::Installed, {"xx:ar", "", "", "de_DE.UTF-8"}}, "ar"},
      {{"", "", RunMode::Installed, {"en:de", "", "", "de_DE.UTF-8"}}, "en"},
      {{"", "", RunMode::Installed, {"", "", "", "C"}}, "en"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(app::choose_language(c.asked, has), c.spoken) << c.asked.option << "|" << c.asked.chosen << "|" << c.asked.desktop.lang;
}

TEST(Language, ACatalogueIsAFileOfTheLocaleFolderNamedByItsCode) {
  const std::string locale = std::string(PIPKIN_DATA_DIR) + "/locale";
  EXPECT_TRUE(app::has_catalogue(locale, "qps"));
  EXPECT_FALSE(app::has_catalogue(locale, "xx"));
  EXPECT_FALSE(app::has_catalogue(locale, ""));
  EXPECT_FALSE(app::has_catalogue(locale, "../locale/qps"));
}

// A language whose letters the fonts cannot show is not spoken: the run goes back to English.
TEST(Language, ALanguageTheFontsCannotShowGivesWayToEnglish) {
  const std::string locale = std::string(PIPKIN_DATA_DIR) + "/locale";
  const media::FontPtr font = media::load_font(std::string(PIPKIN_DATA_DIR) + "/fonts/Tahoma.ttf", 20);
  ASSERT_TRUE(font);
  ASSERT_TRUE(media::load_words(locale, "qps"));
  EXPECT_TRUE(app::keep_language_if_shown(locale, font)) << "the data font and the system's show every accent";
  EXPECT_EQ(media::words_language(), "qps");
  EXPECT_FALSE(app::keep_language_if_shown(locale, nullptr)) << "the built-in font has plain letters only";
  EXPECT_EQ(media::words_language(), "en");
  EXPECT_EQ(media::word("language.name"), "English");
}

// A language's own name says which way its pages run: by its first letter that has a direction.
TEST(Language, ThePagesDirectionIsThatOfTheFirstLetterWithOne) {
  const std::pair<const char*, bool> cases[] = {{"العربية", true}, {"עברית", true}, {"Deutsch", false},
                                                {"123 العربية", true}, {"(Pipkin) العربية", false}, {"", false},
                                                {"日本語", false}};
  for (const auto& [text, rtl] : cases) EXPECT_EQ(media::right_to_left(text), rtl) << text;
}
