// Text in any script: accents, Cyrillic, Hebrew laid right to left, Chinese from a system font, and
// the characters no font has reported.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "media/display/draw.hpp"
#include "media/display/font.hpp"
#include "media/input/screen.hpp"
#include "media/text/utf8.hpp"
#include "tests/render/render_util.hpp"

using namespace media;

namespace {

constexpr int kSize = 40;

class Text : public testing::Test {
 protected:
  void SetUp() override {
    font_ = load_font(std::string(PIPKIN_DATA_DIR) + "/fonts/Tahoma.ttf", kSize, FONT_SMOOTH);
    ASSERT_TRUE(font_);
    set_font(font_);
    rt::fresh();
  }
  void TearDown() override {
    set_font(nullptr);
    rt::fresh();
  }

  // The ink of a text drawn alone at (x, y), as a strip of the screen as wide as the text.
  static PixmapPtr drawn(const std::string& text, int x = 100, int y = 100) {
    rt::fresh();
    draw_text(text, static_cast<float>(x), static_cast<float>(y));
    return grab_pixmap(x - 10, y, text_width(text) + 20, 2 * kSize);
  }
  static int ink(const PixmapPtr& p, int x0, int x1, int y0, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += (read_pixel(*p, x, y) & 0xFF) > 0x40;
    return n;
  }

  FontPtr font_;
};

TEST_F(Text, EveryScriptIsShownByOneFontOrAnother) {
  for (const char* text : {"Bücher", "Вода", "שלום", "مرحبا", "水", "Ünïcødé → ☺"})
    EXPECT_EQ(missing_characters(text), U"") << text;
}

TEST_F(Text, AccentedLettersAreOneCharacterEachWithTheirMarks) {
  // Bytes drawn one by one would make "ü" two wide characters of another alphabet.
  EXPECT_EQ(text_width("Bücher"), text_width("Bucher"));
  const PixmapPtr plain = drawn("Bucher"), accented = drawn("Bücher");
  // The dots above the u: ink over its place, above the plain u's top, where the plain word has none.
  const int u0 = 10 + text_width("B"), u1 = 10 + text_width("Bu");
  int u_top = 0;
  while (u_top < 2 * kSize && ink(plain, u0, u1, u_top, u_top + 1) == 0) ++u_top;
  ASSERT_LT(u_top, 2 * kSize);
  EXPECT_GT(ink(accented, u0, u1, 0, u_top - 1), 4);
}

TEST_F(Text, CyrillicIsDrawnInItsOwnLetters) {
  const int w = text_width("Вода");
  EXPECT_GT(w, 2 * kSize);  // four letters, not eight byte-boxes of nothing and not four blanks
  EXPECT_LT(w, 4 * kSize);
  const PixmapPtr p = drawn("Вода");
  // Every letter has ink: each quarter of the word.
  for (int q = 0; q < 4; ++q) EXPECT_GT(ink(p, 10 + q * w / 4, 10 + (q + 1) * w / 4, 0, 2 * kSize), 10) << q;
}

TEST_F(Text, HebrewRunsRightToLeft) {
  // The first letter written, shin, is drawn at the right end of the word, exactly as it is alone.
  const std::string word = "שלום", shin = "ש";
  const int w = text_width(word), ws = text_width(shin);
  ASSERT_GT(ws, 0);
  ASSERT_GT(w, 3 * ws / 2);
  const PixmapPtr whole = drawn(word, 100, 100);
  const PixmapPtr alone = drawn(shin, 100 + w - ws, 100);
  // The same columns of the screen: the word's strip starts at 90, the letter's at 90 + w - ws.
  int differing = 0, inked = 0;
  for (int y = 0; y < 2 * kSize; ++y)
    for (int x = 0; x < ws; ++x) {
      const uint32_t a = read_pixel(*whole, 10 + w - ws + x, y), b = read_pixel(*alone, 10 + x, y);
      differing += a != b;
      inked += (b & 0xFF) > 0x40;
    }
  EXPECT_GT(inked, 20);
  EXPECT_LT(differing, inked / 10);
  // Left to right, the shin would stand at the left end: there the word looks otherwise.
  const PixmapPtr at_left = drawn(shin, 100, 100);
  int differing_at_left = 0;
  for (int y = 0; y < 2 * kSize; ++y)
    for (int x = 0; x < ws; ++x) differing_at_left += read_pixel(*at_left, 10 + x, y) != read_pixel(*whole, 10 + x, y);
  EXPECT_GT(differing_at_left, inked / 2);
}

TEST_F(Text, RightToLeftWordsKeepTheirPlaceInALeftToRightLine) {
  // "a שלום b": the Hebrew word sits between a and b, its letters reversed, the line's order kept.
  const int wa = text_width("a "), wh = text_width("שלום");
  EXPECT_GT(text_width("a שלום b"), wa + wh);
  const PixmapPtr line = drawn("a שלום b");
  const PixmapPtr shin = drawn("ש", 100 + wa + wh - text_width("ש"), 100);
  const int ws = text_width("ש");
  int differing = 0;
  for (int y = 0; y < 2 * kSize; ++y)
    for (int x = 0; x < ws; ++x)
      differing += read_pixel(*line, 10 + wa + wh - ws + x, y) != read_pixel(*shin, 10 + x, y);
  EXPECT_LT(differing, 2 * kSize * ws / 20);
}

TEST_F(Text, ChineseComesFromASystemFont) {
  const int w = text_width("水");
  EXPECT_GE(w, kSize * 3 / 4);  // one square character an em wide, not a blank or a box of bytes
  EXPECT_LE(w, kSize * 5 / 4);
  EXPECT_GT(ink(drawn("水"), 10, 10 + w, 0, 2 * kSize), 40);
}

TEST_F(Text, CharactersNoFontHasAreListedOnce) {
  // U+0378 is no character at all; U+10FFFD is private use that no system font fills.
  EXPECT_EQ(missing_characters("a\u0378b\u0378 \U0010FFFD"), U"\u0378\U0010FFFD");
  // A broken byte sequence is shown as the replacement character, which the font has.
  EXPECT_EQ(missing_characters("caf\xC3"), U"");
  EXPECT_GT(text_width("caf\xC3"), text_width("caf"));
  // The built-in font shows only printable ASCII.
  set_font(nullptr);
  EXPECT_EQ(missing_characters("aü"), U"ü");
}

}  // namespace

// A text cut short to a width ends in "..." after a whole character, in any script, so a long
// folder name never ends in a broken character.
TEST_F(Text, CutShortAtAWholeCharacter) {
  EXPECT_EQ(fit_text("Bücher", 1000), "Bücher");
  for (const std::string text : {"Bücher für Kinder", "Вода и молоко", "水水水水水水水水"}) {
    const int width = text_width(text) / 2;
    const std::string cut = fit_text(text, width);
    EXPECT_LE(text_width(cut), width) << text;
    ASSERT_GT(cut.size(), 3u) << text;
    EXPECT_EQ(cut.substr(cut.size() - 3), "...") << text;
    EXPECT_EQ(utf8_to_code_points(cut).find(U'\uFFFD'), std::u32string::npos) << cut;
  }
}

// A line too long for its width is drawn narrower, down to four fifths, and cut short past that;
// while a TextCheck lives, each text that does not show whole is listed with why.
TEST_F(Text, TextThatDoesNotShowWholeIsListed) {
  const std::string line = "Bücher für Kinder";
  const int w = text_width(line);
  struct Case {
    std::function<void()> draw;
    std::string what;  // the start of the problem listed; empty: none
  };
  const Case cases[] = {
      {[&] { draw_text_within(line, 0, 100, w); }, ""},
      {[&] { draw_text_within(line, 0, 100, w * 9 / 10); }, ""},  // narrower, whole
      {[&] { draw_text_within(line, 0, 100, w / 2); }, "cut short"},
      {[&] { draw_text(line, static_cast<float>(kScreenW - w / 2), 100); }, "runs past the screen's edge"},
      {[&] { draw_text(line, 10, static_cast<float>(kScreenH - kSize / 2)); }, "runs past the screen's edge"},
      {[&] { draw_text("a\u0378", 10, 100); }, "has characters no font shows: U+0378"},
  };
  for (const Case& c : cases) {
    rt::fresh();
    TextCheck check;
    c.draw();
    if (c.what.empty()) {
      EXPECT_TRUE(check.problems().empty()) << check.problems().front().what;
    } else {
      ASSERT_EQ(check.problems().size(), 1u) << c.what;
      EXPECT_EQ(check.problems()[0].what.substr(0, c.what.size()), c.what);
    }
  }
  // Narrower: the ink of the 9/10 line ends within its width.
  rt::fresh();
  draw_text_within(line, 0, 100, w * 9 / 10);
  const PixmapPtr p = grab_pixmap(0, 100, w + 10, 2 * kSize);
  EXPECT_EQ(ink(p, w * 9 / 10 + 1, w + 10, 0, 2 * kSize), 0);
  EXPECT_GT(ink(p, 0, w * 9 / 10, 0, 2 * kSize), 0);
}
