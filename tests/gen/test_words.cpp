// The generator's catalogue reader: PO entries by id, translations over English, plural forms and
// the pseudo-language.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <utility>
#include <vector>

#include "tools/kit/words.hpp"

namespace {

const char* kTranslation = R"po(msgid ""
msgstr ""
"Plural-Forms: nplurals=3; plural=(n==1 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2);\n"

#. translated, over two lines
msgctxt "help.close"
msgid "click or press H to close"
msgstr "kliknij lub "
"naciśnij H"

#, fuzzy
msgctxt "help.does"
msgid "What your child does"
msgstr "Co robi"

msgctxt "help.tips"
msgid "Good to know"
msgstr ""

#, c-format
msgctxt "settings.open_all"
msgid "Open the {count}"
msgid_plural "Open all {count}"
msgstr[0] "Otwórz {count}"
msgstr[1] "Otwórz {count} (kilka)"
msgstr[2] "Otwórz wszystkie {{{count}}}"

msgctxt "break.title"
msgid "Time for a break"
msgstr "Czas na \"przerwę\""
)po";

// A catalogue folder with the real template and one language, "xx", translated as above.
class WordsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = gen::fs::temp_directory_path() / ("pipkin-words-" + std::to_string(::getpid()));
    gen::fs::create_directories(dir_);
    gen::fs::copy_file(gen::fs::path(PIPKIN_PO_DIR) / "pipkin.pot", dir_ / "pipkin.pot");
    std::ofstream(dir_ / "xx.po") << kTranslation;
  }
  void TearDown() override { gen::fs::remove_all(dir_); }
  gen::fs::path dir_;
};

TEST_F(WordsTest, EnglishComesFromTheTemplate) {
  const gen::Words w = gen::Words::english(dir_);
  EXPECT_TRUE(w.is_english());
  EXPECT_EQ(w.text("break.title"), "Time for a break");
  EXPECT_EQ(w.text("help.frames.subtitle", 1), "Activity 1: always open");
  EXPECT_EQ(w.text("settings.open_all", 9), "Open all 9");
  EXPECT_EQ(w.text("settings.open_all", 1), "Open the 1");
  EXPECT_EQ(w.file("out", "help", "3.png", "cards"), gen::fs::path("out/help/3.png"));
}

TEST_F(WordsTest, ALanguageIsAFileOfTheFolder) {
  EXPECT_EQ(gen::Words::languages(dir_), std::vector<std::string>{"xx"});
  const gen::Words w = gen::Words::language(dir_, "xx");
  EXPECT_EQ(w.file("out", "help", "3.png", "cards"), gen::fs::path("out/help/xx/cards.png"));
}

TEST_F(WordsTest, TranslationsReplaceEnglishButNotWhenFuzzyOrEmpty) {
  const gen::Words w = gen::Words::language(dir_, "xx");
  EXPECT_EQ(w.text("help.close"), "kliknij lub naciśnij H");
  EXPECT_EQ(w.text("help.does"), "What your child does");
  EXPECT_EQ(w.text("help.tips"), "Good to know");
  EXPECT_EQ(w.text("break.title"), "Czas na \"przerwę\"");
  EXPECT_EQ(w.text("help.jigsaw.title"), "Jigsaw");
}

TEST_F(WordsTest, PluralFormsFollowTheLanguagesRule) {
  const gen::Words w = gen::Words::language(dir_, "xx");
  const std::pair<long, const char*> cases[] = {
      {1, "Otwórz 1"}, {3, "Otwórz 3 (kilka)"}, {5, "Otwórz wszystkie {5}"}, {12, "Otwórz wszystkie {12}"}, {22, "Otwórz 22 (kilka)"}};
  for (const auto& [n, expected] : cases) EXPECT_EQ(w.text("settings.open_all", n), expected) << n;
}

TEST(Words, MissingIdsAndUnreadableLinesAreErrors) {
  EXPECT_THROW(gen::Words::english(PIPKIN_PO_DIR).text("help.nothing.title"), std::out_of_range);
  gen::Words w;
  EXPECT_THROW(w.add("msgctxt \"a\"\nmsgid \"b\"\nwhat is this\n", false), std::runtime_error);
}

TEST(Words, PluralRulesReadAsC) {
  struct Case {
    const char* rule;
    long n, form;
  };
  const Case cases[] = {{"n != 1", 1, 0},
                        {"n != 1", 0, 1},
                        {"0", 7, 0},
                        {"n>1", 1, 0},
                        {"(n==0) ? 0 : (n==1) ? 1 : (n==2) ? 2 : (n%100>=3 && n%100<=10) ? 3 : (n%100>=11) ? 4 : 5", 103, 3},
                        {"(n==0) ? 0 : (n==1) ? 1 : (n==2) ? 2 : (n%100>=3 && n%100<=10) ? 3 : (n%100>=11) ? 4 : 5", 111, 4},
                        {"n%10==1 && n%100!=11 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2", 21, 0},
                        {"n%10==1 && n%100!=11 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2", 11, 2},
                        {"!(n <= 2) + 1 - 1 * 2 / 2", 3, 1}};
  for (const Case& c : cases) EXPECT_EQ(gen::plural_index(c.rule, c.n), c.form) << c.rule << " n=" << c.n;
  EXPECT_THROW(gen::plural_index("n ==", 1), std::invalid_argument);
  EXPECT_THROW(gen::plural_index("n % 0", 1), std::invalid_argument);
}

TEST(Words, PseudoLanguageIsAccentedLongerAndBracketed) {
  EXPECT_EQ(gen::pseudo_text("Press *{number}* to go, {{Zz}}"), "[Þŕéšš *{number}* ţö ĝö, {{Žž}} ~~~~~~~~~]");
  // About 40 % longer in characters.
  const gen::Words english = gen::Words::english(PIPKIN_PO_DIR), pseudo = gen::Words::pseudo(PIPKIN_PO_DIR);
  EXPECT_EQ(pseudo.lang(), gen::Words::kPseudo);
  auto characters = [](const std::string& s) {
    return std::count_if(s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
  };
  const std::string id = "help.kaleid.does";
  const double ratio = double(characters(pseudo.text(id))) / double(characters(english.text(id)));
  EXPECT_GT(ratio, 1.3);
  EXPECT_LT(ratio, 1.5);
}

}  // namespace
