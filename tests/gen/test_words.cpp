// The generator's words: the program's compiled catalogues by id, a language over English, its
// plural forms, and the pseudo-language the build makes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "tests/unit/mo_file.hpp"
#include "tools/kit/words.hpp"

namespace {

namespace fs = gen::fs;
using std::string_literals::operator""s;

// A locale folder with the build's English and one language, "xx", that translates two entries
// by a three-form plural rule.
class WordsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("pipkin-words-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    fs::copy_file(fs::path(PIPKIN_LOCALE_DIR) / "en.mo", dir_ / "en.mo");
    fs::copy_file(fs::path(PIPKIN_LOCALE_DIR) / "qps.mo", dir_ / "qps.mo");
    std::ofstream(dir_ / "xx.mo", std::ios::binary)
        << mo::catalogue("nplurals=3; plural=(n==1 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2);",
                         {{"break.title", "Time for a break", "Czas na przerwę"},
                          {"settings.open_all", "Open the {count}", "Otwórz {count}\0Otwórz {count} (kilka)\0Otwórz wszystkie {{{count}}}"s}});
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(WordsTest, EnglishComesFromTheBuildsCatalogue) {
  const gen::Words w = gen::Words::english(dir_);
  EXPECT_TRUE(w.is_english());
  EXPECT_EQ(w.text("break.title"), "Time for a break");
  EXPECT_EQ(w.text("help.frames.subtitle", 1), "Activity 1: always open");
  EXPECT_EQ(w.text("settings.open_all", 9), "Open all 9");
  EXPECT_EQ(w.text("settings.open_all", 1), "Open the 1");
  EXPECT_EQ(w.file("out", "help", "3.png", "cards"), fs::path("out/help/3.png"));
  EXPECT_THROW(w.text("help.nothing.title"), std::out_of_range);
}

TEST_F(WordsTest, ALanguageIsOverEnglishWithItsOwnPluralRule) {
  EXPECT_EQ(gen::Words::languages(dir_), std::vector<std::string>{"xx"});
  const gen::Words w = gen::Words::language(dir_, "xx");
  EXPECT_EQ(w.file("out", "help", "3.png", "cards"), fs::path("out/help/xx/cards.webp"));
  EXPECT_EQ(w.text("break.title"), "Czas na przerwę");
  EXPECT_EQ(w.text("help.jigsaw.title"), "Jigsaw") << "not translated: English";
  const std::pair<long, const char*> cases[] = {
      {1, "Otwórz 1"}, {3, "Otwórz 3 (kilka)"}, {5, "Otwórz wszystkie {5}"}, {12, "Otwórz wszystkie {12}"}, {22, "Otwórz 22 (kilka)"}};
  for (const auto& [n, expected] : cases) EXPECT_EQ(w.text("settings.open_all", n), expected) << n;
  EXPECT_THROW(gen::Words::language(dir_, "zz"), std::runtime_error) << "no catalogue";
}

TEST_F(WordsTest, AddedSentencesComeFirst) {
  gen::Words w = gen::Words::language(dir_, "xx");
  w.add("help.sky.title", {"Sky"});
  w.add("break.title", {"Pause"});
  w.add("help.sky.count", {"{n} cloud", "{n} clouds"});
  EXPECT_EQ(w.text("help.sky.title"), "Sky");
  EXPECT_EQ(w.text("break.title"), "Pause");
  EXPECT_EQ(w.text("help.sky.count", 1), "1 cloud");
  EXPECT_EQ(w.text("help.sky.count", 4), "4 clouds");
}

TEST_F(WordsTest, ThePseudoLanguageIsAccentedLongerAndBracketed) {
  const gen::Words english = gen::Words::english(dir_), pseudo = gen::Words::pseudo(dir_);
  EXPECT_EQ(pseudo.lang(), gen::Words::kPseudo);
  auto characters = [](const std::string& s) {
    return std::count_if(s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
  };
  const std::string id = "help.kaleid.does", text = pseudo.text(id);
  const double ratio = double(characters(text)) / double(characters(english.text(id)));
  EXPECT_GT(ratio, 1.3);
  EXPECT_LT(ratio, 1.5);
  EXPECT_EQ(text.front(), '[');
  EXPECT_EQ(text.back(), ']');
  EXPECT_EQ(pseudo.text("help.frames.subtitle", 4).find("{"), std::string::npos) << "its places filled";
}

}  // namespace
