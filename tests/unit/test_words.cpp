// The words: compiled catalogues read by id, plural rules, English under a language, the
// pseudo-language made at build time, and damaged catalogues refused.
#include <gtest/gtest.h>

#include <string>

#include "media/text/words.hpp"
#include "mo_file.hpp"

namespace {

const std::string kLocale = std::string(PIPKIN_DATA_DIR) + "/locale";

media::Catalogue parsed(const std::string& bytes) {
  std::string why;
  std::optional<media::Catalogue> c = media::Catalogue::parse(bytes, &why);
  EXPECT_TRUE(c) << why;
  return c ? std::move(*c) : media::Catalogue{};
}

// Puts the build's own words back, whatever a test used.
class Words : public testing::Test {
 protected:
  void TearDown() override { ASSERT_TRUE(media::load_words(kLocale, "en")); }
};

TEST(PluralRule, ChoosesEachLanguagesForm) {
  struct Case {
    const char* forms;
    std::vector<std::pair<unsigned long, unsigned long>> n_form;
  } cases[] = {
      {"nplurals=2; plural=(n != 1);", {{0, 1}, {1, 0}, {2, 1}, {101, 1}}},
      {"nplurals=2; plural=(n > 1);", {{0, 0}, {1, 0}, {2, 1}}},
      {"nplurals=1; plural=0;", {{0, 0}, {7, 0}}},
      {"nplurals=3; plural=(n==1 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2);",
       {{1, 0}, {2, 1}, {4, 1}, {5, 2}, {12, 2}, {22, 1}, {25, 2}, {112, 2}}},
      {"nplurals=6; plural=n==0 ? 0 : n==1 ? 1 : n==2 ? 2 : n%100>=3 && n%100<=10 ? 3 : n%100>=11 ? 4 : 5;",
       {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {11, 4}, {100, 5}, {102, 5}}},
      {"nplurals=2; plural=!(n % 10 == 1);", {{1, 0}, {11, 0}, {12, 1}}},
      {"nplurals=2; plural=n/0 + n%0;", {{5, 0}}},  // division by zero: a broken rule, form 0
      {"nplurals=2; plural=n+7;", {{0, 0}, {5, 0}}},  // past the forms: form 0
  };
  for (const Case& c : cases) {
    media::PluralRule r;
    ASSERT_TRUE(r.parse(c.forms)) << c.forms;
    for (const auto& [n, form] : c.n_form) EXPECT_EQ(r.form(n), form) << c.forms << " n=" << n;
  }
}

TEST(PluralRule, RefusesWhatIsNotARuleAndKeepsEnglish) {
  const std::string deep = "nplurals=2; plural=" + std::string(10000, '(') + "n" + std::string(10000, ')') + ";";
  std::string chain = "nplurals=2; plural=n";
  for (int i = 0; i < 10000; ++i) chain += "+n";
  for (const std::string& bad : {std::string("nplurals=2;"), std::string("plural=n;"), std::string("nplurals=0; plural=0;"),
                                 std::string("nplurals=2; plural=(n;"), std::string("nplurals=2; plural=n ? 1;"),
                                 std::string("nplurals=2; plural=x;"), std::string("nplurals=99999; plural=n;"), deep, chain}) {
    media::PluralRule r;
    EXPECT_FALSE(r.parse(bad)) << bad.substr(0, 60);
    EXPECT_EQ(r.form(1), 0u);
    EXPECT_EQ(r.form(3), 1u);
  }
}

TEST(Catalogue, FindsTextsAndFormsById) {
  const media::Catalogue c = parsed(mo::catalogue(
      "nplurals=3; plural=n==1 ? 0 : n==2 ? 1 : 2;",
      {{"a.one", "One", "Eins"}, {"a.count", "{count} cat", std::string("{count} Katze\0{count} Katzen\0{count} Katzenz", 44)}}));
  EXPECT_EQ(c.size(), 2u);
  EXPECT_EQ(c.find("a.one"), "Eins");
  EXPECT_EQ(c.find("a.count"), "{count} Katze");
  EXPECT_EQ(c.find("a.count", 2), "{count} Katzen");
  EXPECT_EQ(c.find("a.count", 9), "{count} Katzenz");
  EXPECT_EQ(c.find("a.one", 9), "Eins");  // a text with one form has it for every count
  EXPECT_FALSE(c.find("a.none"));
}

TEST(Catalogue, RefusesEveryCutOfARealOneAndPointersPastTheEnd) {
  const std::string whole = mo::catalogue("nplurals=2; plural=(n != 1);", {{"x.y", "Word", "Wort"}});
  for (size_t len = 0; len < whole.size(); ++len) {
    std::string why;
    EXPECT_FALSE(media::Catalogue::parse(whole.substr(0, len), &why)) << len;
    EXPECT_FALSE(why.empty());
  }
  std::string far = whole;
  far[36] = '\x7f';  // the header's translation now starts past the end
  EXPECT_FALSE(media::Catalogue::parse(far));
  std::string many = whole;
  many[8] = many[9] = many[10] = '\xff';  // millions of entries in a few bytes
  EXPECT_FALSE(media::Catalogue::parse(many));
  EXPECT_FALSE(media::Catalogue::parse(std::string(media::Catalogue::kMaxBytes + 1, '\0')));
}

TEST_F(Words, LanguageFirstThenEnglishThenNothing) {
  media::use_words(parsed(mo::catalogue("nplurals=2; plural=(n != 1);",
                                        {{"t.both", "Both", "Both"}, {"t.english", "English only", "English only"},
                                         {"t.count", "{count} dog", std::string("{count} dog\0{count} dogs", 23)}})),
                   parsed(mo::catalogue("nplurals=1; plural=0;", {{"t.both", "Both", "Beide"}, {"t.count", "", "{count} chien"}})));
  EXPECT_EQ(media::word("t.both"), "Beide");
  EXPECT_EQ(media::word("t.english"), "English only");
  EXPECT_EQ(media::words("t.count", 3), "{count} chien");
  EXPECT_EQ(media::word("t.missing"), "");
}

TEST_F(Words, BuiltCataloguesHoldEnglishAndThePseudoLanguage) {
  ASSERT_TRUE(media::load_words(kLocale, "en"));
  const std::string english = media::word("usage.text");
  EXPECT_EQ(english.rfind("Usage: pipkin", 0), 0u);
  EXPECT_EQ(media::fill(media::words("pictures.count", 1), {{"count", "1"}}), "1 picture");
  EXPECT_EQ(media::fill(media::words("pictures.count", 4), {{"count", "4"}}), "4 pictures");
  ASSERT_TRUE(media::load_words(kLocale, "qps"));
  const std::string pseudo = media::word("pictures.left_out.damaged");
  EXPECT_EQ(pseudo.rfind("[đáɱáĝéđ ~", 0), 0u) << pseudo;
  EXPECT_EQ(pseudo.back(), ']');
  EXPECT_EQ(media::fill(media::words("pictures.count", 4), {{"count", "4"}}).rfind("[4 þîçţûŕéš ~", 0), 0u);
  ASSERT_TRUE(media::load_words(kLocale, "xx"));  // no such language: English
  EXPECT_EQ(media::word("usage.text"), english);
  EXPECT_FALSE(media::load_words("/nonexistent", "en"));
}

TEST(Fill, PutsValuesInByNameAndKeepsTheRest) {
  EXPECT_EQ(media::fill("{a} and {b}", {{"a", "1"}, {"b", "{a}"}}), "1 and {a}");
  EXPECT_EQ(media::fill("{{a}} {c} {", {{"a", "1"}}), "{a} {c} {");
}

}  // namespace
