// The shell's generated files: the font, the pointer and its probe, the title screen pictures, the
// corner button, the help pages and the five sound effects, checked for what the shell relies on.
#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "activities/register.hpp"
#include "media/decode/pixmap.hpp"
#include "media/sound/sound.hpp"
#include "tests/unit/data_files.hpp"

namespace {

using data_files::alpha;
using data_files::bytes_of;
using data_files::kData;
using data_files::light;
using data_files::load;

// Every pixel on the picture's border is fully transparent: nothing was cut off at the edges.
bool border_clear(const media::Pixmap& p) {
  for (int x = 0; x < p.width; ++x)
    if (alpha(media::read_pixel(p, x, 0)) || alpha(media::read_pixel(p, x, p.height - 1))) return false;
  for (int y = 0; y < p.height; ++y)
    if (alpha(media::read_pixel(p, 0, y)) || alpha(media::read_pixel(p, p.width - 1, y))) return false;
  return true;
}

// Share of pixels with alpha 128 or more: the pixels that count for drawing and for pointer tests.
double opaque_share(const media::Pixmap& p) {
  long n = 0;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) n += alpha(media::read_pixel(p, x, y)) >= 128;
  return static_cast<double>(n) / (static_cast<double>(p.width) * p.height);
}

}  // namespace

TEST(DataShell, FontCoversTheProgramsText) {
  FT_Library lib;
  ASSERT_EQ(FT_Init_FreeType(&lib), 0);
  FT_Face face;
  ASSERT_EQ(FT_New_Face(lib, (kData + "/fonts/Tahoma.ttf").c_str(), 0, &face), 0);
  EXPECT_TRUE(FT_IS_SCALABLE(face));
  // The activity number, the info label and the title screen's lines.
  const std::string text = "0123456789 Pipkin 2.1 1024,768,24,60 press H -.:/()";
  for (char ch : text) EXPECT_NE(FT_Get_Char_Index(face, static_cast<unsigned char>(ch)), 0u) << ch;
  FT_Done_Face(face);
  FT_Done_FreeType(lib);
  EXPECT_GT(bytes_of("fonts/LICENSE-font.txt").size(), 500u) << "the font's licence travels with it";
}

TEST(DataShell, ProbeIsOneOpaqueWhitePixel) {
  auto probe = load("images/white.bmp");
  ASSERT_TRUE(probe);
  EXPECT_EQ(probe->width, 1);
  EXPECT_EQ(probe->height, 1);
  EXPECT_EQ(media::read_pixel(probe, 0, 0), 0xFFFFFFFFu);
}

TEST(DataShell, PointerTipIsItsTopLeftPixel) {
  auto ptr = load("images/pointer.png");
  ASSERT_TRUE(ptr);
  ASSERT_TRUE(media::format_has_alpha(ptr->format));
  EXPECT_LE(ptr->width, 64);
  EXPECT_LE(ptr->height, 64);
  EXPECT_EQ(alpha(media::read_pixel(ptr, 0, 0)), 255) << "the hot spot must be a solid part of the arrow";
  // The arrow points up and to the left: the other three corners are empty.
  EXPECT_EQ(alpha(media::read_pixel(ptr, ptr->width - 1, 0)), 0);
  EXPECT_EQ(alpha(media::read_pixel(ptr, 0, ptr->height - 1)), 0);
  EXPECT_EQ(alpha(media::read_pixel(ptr, ptr->width - 1, ptr->height - 1)), 0);
  // Solid enough to see, with a dark outline and a light body.
  double share = opaque_share(*ptr);
  EXPECT_GT(share, 0.2);
  EXPECT_LT(share, 0.8);
  int dark = 0, pale = 0;
  for (int y = 0; y < ptr->height; ++y)
    for (int x = 0; x < ptr->width; ++x) {
      uint32_t p = media::read_pixel(ptr, x, y);
      if (alpha(p) < 128) continue;
      dark += light(p) < 200;
      pale += light(p) > 650;
    }
  EXPECT_GT(dark, 60);
  EXPECT_GT(pale, 60);
}

TEST(DataShell, TitleScreenPictures) {
  auto sky = load("images/sky.jpg");
  ASSERT_TRUE(sky);
  EXPECT_EQ(sky->width, 1024);
  EXPECT_EQ(sky->height, 768);

  // The logo is drawn at (160, 52): 704 wide centres it, and it must end above the notice lines
  // that start at y 680.
  auto title = load("images/title.png");
  ASSERT_TRUE(title);
  ASSERT_TRUE(media::format_has_alpha(title->format));
  EXPECT_EQ(title->width, 704);
  EXPECT_LE(52 + title->height, 680);
  EXPECT_TRUE(border_clear(*title));
  double share = opaque_share(*title);
  EXPECT_GT(share, 0.2) << "the letters fill the logo";
  EXPECT_LT(share, 0.8) << "the sky shows between the letters";

  // The wait picture is drawn centred over whatever is on screen.
  auto thinking = load("images/thinking.png");
  ASSERT_TRUE(thinking);
  ASSERT_TRUE(media::format_has_alpha(thinking->format));
  EXPECT_LE(thinking->width, 400);
  EXPECT_LE(thinking->height, 400);
  EXPECT_TRUE(border_clear(*thinking));
  EXPECT_GT(opaque_share(*thinking), 0.25);
}

TEST(DataShell, SmileyIsASquareButtonWithASolidFace) {
  auto smiley = load("images/smiley.png");
  ASSERT_TRUE(smiley);
  ASSERT_TRUE(media::format_has_alpha(smiley->format));
  // Placed at y = 768 - width - 5: a square keeps it on the screen.
  EXPECT_EQ(smiley->width, smiley->height);
  EXPECT_GE(smiley->width, 64);
  EXPECT_LE(smiley->width, 160);
  EXPECT_TRUE(border_clear(*smiley));
  // A click anywhere on the face counts: the whole disc is solid, centre included.
  EXPECT_GE(alpha(media::read_pixel(smiley, smiley->width / 2, smiley->height / 2)), 128);
  EXPECT_GT(opaque_share(*smiley), 0.6);
}

// One page for the title screen and one for each activity of the program's table, and no more: the
// generator's help table and the program's activity table list the same activities.
TEST(DataShell, HelpPagesAreOpaqueAndAlike) {
  auto first = load("help/0.png");
  ASSERT_TRUE(first);
  EXPECT_LE(first->width, 1024);
  EXPECT_LE(first->height, 768);
  const int activities = activities::activity_table().count();
  EXPECT_FALSE(std::ifstream(kData + "/help/" + std::to_string(activities + 1) + ".png").good())
      << "a help page for an activity the program does not have";
  for (int i = 0; i <= activities; ++i) {
    SCOPED_TRACE("help page " + std::to_string(i));
    auto page = load("help/" + std::to_string(i) + ".png");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->width, first->width);
    EXPECT_EQ(page->height, first->height);
    int see_through = 0, ink = 0, differs = 0;
    for (int y = 0; y < page->height; ++y)
      for (int x = 0; x < page->width; ++x) {
        uint32_t p = media::read_pixel(page, x, y);
        see_through += alpha(p) != 255;
        ink += x >= 40 && x < 380 && y >= 140 && y < 540 && light(p) < 300;  // the text column
        differs += i > 0 && std::abs(light(p) - light(media::read_pixel(first, x, y))) > 60;
      }
    EXPECT_EQ(see_through, 0);
    EXPECT_GT(ink, 3000) << "a page carries dark text";
    if (i > 0) {
      EXPECT_GT(differs, 50000) << "each activity has a page of its own";
    }
  }
}

TEST(DataShell, SoundEffectsDecodeWithTheirLengthsAndLevels) {
  struct Effect {
    const char* file;
    double min_seconds, max_seconds;
  };
  const Effect effects[] = {{"sound/bounce.wav", 0.15, 0.35},
                            {"sound/pop.wav", 0.08, 0.25},
                            {"sound/magic.ogg", 1.0, 2.0},
                            {"sound/ping.ogg", 0.4, 0.9},
                            {"sound/click.ogg", 0.04, 0.15}};
  for (const Effect& e : effects) {
    SCOPED_TRACE(e.file);
    std::vector<uint8_t> bytes = bytes_of(e.file);
    ASSERT_FALSE(bytes.empty());
    media::SoundResult r = media::decode_sound(bytes.data(), bytes.size());
    ASSERT_TRUE(r.sound) << r.error;
    const double seconds = static_cast<double>(r.sound->frames()) / media::kMixRate;
    EXPECT_GE(seconds, e.min_seconds);
    EXPECT_LE(seconds, e.max_seconds);
    // Loud enough to hear, with headroom for overlapping plays (about -6 dB full scale).
    int peak = 0;
    for (int16_t s : r.sound->samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
    EXPECT_GT(peak, 8000);
    EXPECT_LT(peak, 24000);
    // Faded in and out: no click at either end.
    const auto& s = r.sound->samples;
    EXPECT_LT(std::abs(s.front()), 300);
    int tail = 0;
    for (size_t i = s.size() - 40; i < s.size(); ++i) tail = std::max(tail, std::abs(static_cast<int>(s[i])));
    EXPECT_LT(tail, 200);
  }
}
