// The help pages for any table of activities: one page each, keyed by the activity's name, the
// title screen's page listing them all, and nothing that counts on there being nine.
#include <gtest/gtest.h>
#include <webp/decode.h>

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "tools/help.hpp"
#include "tools/kit/text.hpp"
#include "tools/kit/words.hpp"

namespace {

namespace fs = gen::fs;

std::string read_bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The words of two more activities than the program has.
const std::pair<const char*, const char*> kMoreWords[] = {
    {"help.sky.title", "Sky"},
    {"help.sky.subtitle", "Activity {number}: clouds drift by"},
    {"help.sky.summary", "clouds drift by"},
    {"help.sky.does", "Clouds drift over the screen."},
    {"help.sky.finish", "There is no game to finish here."},
    {"help.sky.tips", "Press *{number}* for new clouds."},
    {"help.boats.title", "Boats"},
    {"help.boats.subtitle", "Activity {number}: boats on the sea"},
    {"help.boats.summary", "boats on the sea"},
    {"help.boats.does", "A click sends a boat over the sea."},
    {"help.boats.finish", "When every boat is home, a magic sound plays."},
    {"help.boats.tips", "Press *{number}* for a calm sea."},
};

class ElevenActivities : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const help::ActivityPage& p : help::activity_pages()) pages_.push_back(p);
    pages_.push_back({"sky", help::Unlock::AnyClick, {0.4, 0.7, 0.9}});
    pages_.push_back({"boats", help::Unlock::Finishing, {0.2, 0.5, 0.8}});
    out_ = fs::temp_directory_path() / ("pipkin-help-" + std::to_string(::getpid()));
    gen::text_problems().clear();
  }
  void TearDown() override { fs::remove_all(out_); }

  gen::Words with_more(gen::Words words) const {
    for (const auto& [id, text] : kMoreWords) words.add(id, {text});
    return words;
  }

  std::vector<help::ActivityPage> pages_;
  fs::path out_;
};

TEST_F(ElevenActivities, GetElevenPagesInEnglishByNumber) {
  ASSERT_EQ(pages_.size(), 11u);
  ASSERT_TRUE(help::draw_help_pages(out_, with_more(gen::Words::english(PIPKIN_LOCALE_DIR)), pages_));
  for (const char* page : {"0.png", "0-installed.png", "1.png", "9.png", "10.png", "11.png"})
    EXPECT_TRUE(fs::exists(out_ / "help" / page)) << page;
  EXPECT_FALSE(fs::exists(out_ / "help/12.png"));
  for (const gen::TextProblem& p : gen::text_problems()) ADD_FAILURE() << p.picture << ": " << p.text << " " << p.what;
}

TEST_F(ElevenActivities, GetElevenPagesInALanguageByName) {
  ASSERT_TRUE(help::draw_help_pages(out_, with_more(gen::Words::pseudo(PIPKIN_LOCALE_DIR)), pages_));
  size_t files = 0;
  for (const auto& f : fs::directory_iterator(out_ / "help" / gen::Words::kPseudo)) files += f.is_regular_file();
  EXPECT_EQ(files, 13u);
  for (const help::ActivityPage& p : pages_)
    EXPECT_TRUE(fs::exists(out_ / "help" / gen::Words::kPseudo / (std::string(p.id) + ".webp"))) << p.id;
  EXPECT_TRUE(fs::exists(out_ / "help" / gen::Words::kPseudo / "title.webp"));
}

TEST_F(ElevenActivities, EachPageNamesItsNumberAndTheNextOne) {
  const gen::Words words = with_more(gen::Words::english(PIPKIN_LOCALE_DIR));
  const help::PageWords jigsaw = help::page_words(words, pages_, 8), sky = help::page_words(words, pages_, 9),
                        boats = help::page_words(words, pages_, 10);
  EXPECT_EQ(jigsaw.subtitle, "Activity 9: carry the pieces into place");
  EXPECT_NE(jigsaw.finish.find("*activity 10*"), std::string::npos) << jigsaw.finish;
  EXPECT_NE(sky.finish.find("Any left click unlocks *activity 11*"), std::string::npos) << sky.finish;
  EXPECT_NE(boats.finish.find("This is the last activity"), std::string::npos) << boats.finish;
  EXPECT_EQ(boats.tips, "Press *11* for a calm sea.");
  const help::KeyHint digits = help::key_row(words, 0, pages_.size()).front();
  EXPECT_EQ(digits.caps, (std::vector<std::string>{"1", "11"}));
  EXPECT_NE(help::overview(words, pages_.size(), false).sections[2].paragraph.find("Ctrl+1\u00A0to\u00A011 choose"),
            std::string::npos);
}

// A right-to-left language's pages are mirrored: the badge with the page's number stands at the
// top right, where a reader of the language starts.
TEST_F(ElevenActivities, ARightToLeftLanguagesPagesAreMirrored) {
  for (const bool rtl : {false, true}) {
    gen::Words words = with_more(gen::Words::language(PIPKIN_LOCALE_DIR, gen::Words::kPseudo));
    if (rtl) words.add("language.name", {"العربية"});
    ASSERT_TRUE(help::draw_help_pages(out_, words, pages_));
    int w = 0, h = 0;
    const std::string bytes = read_bytes(out_ / "help/qps/frames.webp");
    uint8_t* px = WebPDecodeRGBA(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &w, &h);
    ASSERT_TRUE(px);
    // The badge is the accent colour, saturated; the page around it is cream.
    auto saturated = [&](int x, int y) {
      const uint8_t* p = px + (y * w + x) * 4;
      return std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]}) > 100;
    };
    EXPECT_EQ(saturated(50, 76), !rtl) << rtl;
    EXPECT_EQ(saturated(900 - 50, 76), rtl) << rtl;
    WebPFree(px);
    fs::remove_all(out_);
  }
}

}  // namespace
