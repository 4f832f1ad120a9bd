// The parent's generated files: the settings page in its two versions and its folder button, help
// page 0 as the installed program shows it, and the break screen with its sound. The program
// draws onto these pictures and copies parts of one onto the other by the rectangles of
// app/parent/settings_layout.hpp, so the checks here hold the pictures to those rectangles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/parent/settings_layout.hpp"
#include "media/decode/pixmap.hpp"
#include "media/sound/sound.hpp"
#include "tests/unit/data_files.hpp"

namespace {

namespace layout = app::layout;
using layout::Rect;

using data_files::alpha;
using data_files::bytes_of;
using data_files::kData;
using data_files::light;
using data_files::load;
// The largest difference of one colour channel between two pixels.
int channel_gap(uint32_t a, uint32_t b) {
  int gap = 0;
  for (int shift : {0, 8, 16, 24}) gap = std::max(gap, std::abs(static_cast<int>((a >> shift & 255) - (b >> shift & 255))));
  return gap;
}

int see_through(const media::Pixmap& p) {
  int n = 0;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) n += alpha(media::read_pixel(p, x, y)) != 255;
  return n;
}

// The widest channel spread over a region: 0 for one flat colour.
int spread(const media::Pixmap& p, const Rect& r) {
  int lo[4] = {255, 255, 255, 255}, hi[4] = {0, 0, 0, 0};
  for (int y = r.y; y < r.y + r.h; ++y)
    for (int x = r.x; x < r.x + r.w; ++x) {
      uint32_t v = media::read_pixel(p, x, y);
      for (int c = 0; c < 4; ++c) {
        int ch = static_cast<int>(v >> (8 * c) & 255);
        lo[c] = std::min(lo[c], ch);
        hi[c] = std::max(hi[c], ch);
      }
    }
  int s = 0;
  for (int c = 0; c < 4; ++c) s = std::max(s, hi[c] - lo[c]);
  return s;
}

// Every button that may be drawn chosen.
std::vector<Rect> choice_buttons() {
  std::vector<Rect> all = {layout::kFullScreen, layout::kWindow, layout::kLockOn,
                           layout::kLockOff,    layout::kSoundOn, layout::kSoundOff};
  for (size_t i = 0; i < layout::kLimitMinutes.size(); ++i) all.push_back(layout::limit_button(static_cast<int>(i)));
  return all;
}

bool overlap(const Rect& a, const Rect& b) {
  return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

}  // namespace

// The rectangles the program clicks and paints by: buttons a finger can hit, on the page's cream
// (inside its 14-pixel rim and clear of its rounded corners), apart from each other with room for
// their shadows, and clear of the lines the program writes.
TEST(DataParent, SettingsLayoutLeavesEveryButtonRoomOnThePage) {
  std::vector<Rect> buttons = choice_buttons();
  buttons.push_back(layout::kStartAgain);
  buttons.push_back(layout::kOpenAll);
  buttons.push_back(layout::kClose);
  const Rect cream{14, 14, layout::kPageW - 28, layout::kPageH - 28};
  for (size_t i = 0; i < buttons.size(); ++i) {
    SCOPED_TRACE("button " + std::to_string(i));
    const Rect& b = buttons[i];
    EXPECT_GE(b.h, 44) << "too small for a finger";
    EXPECT_GE(b.w, 44);
    const Rect with_shadow{b.x, b.y, b.w, b.h + 4};
    EXPECT_TRUE(cream.contains(b.x, b.y) && cream.contains(b.x + b.w - 1, b.y + b.h + 3)) << "off the cream";
    EXPECT_FALSE(overlap(with_shadow, layout::kStatus));
    for (size_t j = i + 1; j < buttons.size(); ++j) EXPECT_FALSE(overlap(with_shadow, buttons[j])) << "and " << j;
  }
  EXPECT_GE(layout::kOpenFolderH, 44);
  EXPECT_LE(layout::kOpenFolderW, layout::kPicturesTextW);
  EXPECT_FALSE(overlap(layout::kStatus, layout::kChoicesCard));
  EXPECT_FALSE(overlap(layout::kStatus, layout::kPicturesCard));
}

// The program shows settings.png and copies each chosen button's rectangle from settings_on.png:
// the two pages must differ inside every choice button and nowhere else, or a copied rectangle
// would show a seam or miss part of its button.
TEST(DataParent, SettingsPagesDifferOnlyInsideTheChoiceButtons) {
  auto page = load("help/settings.png");
  auto on = load("help/settings_on.png");
  ASSERT_TRUE(page);
  ASSERT_TRUE(on);
  EXPECT_EQ(page->width, layout::kPageW);
  EXPECT_EQ(page->height, layout::kPageH);
  EXPECT_EQ(on->width, layout::kPageW);
  EXPECT_EQ(on->height, layout::kPageH);
  EXPECT_EQ(see_through(*page), 0);
  EXPECT_EQ(see_through(*on), 0);

  const std::vector<Rect> choices = choice_buttons();
  int outside_differs = 0;
  for (int y = 0; y < page->height; ++y)
    for (int x = 0; x < page->width; ++x) {
      bool inside = std::any_of(choices.begin(), choices.end(), [&](const Rect& r) { return r.contains(x, y); });
      if (!inside) outside_differs += media::read_pixel(page, x, y) != media::read_pixel(on, x, y);
    }
  EXPECT_EQ(outside_differs, 0) << "a chosen button is drawn outside its rectangle";

  for (size_t i = 0; i < choices.size(); ++i) {
    SCOPED_TRACE("choice " + std::to_string(i));
    const Rect& r = choices[i];
    int differs = 0, pale_unchosen = 0, darker_chosen = 0;
    for (int y = r.y; y < r.y + r.h; ++y)
      for (int x = r.x; x < r.x + r.w; ++x) {
        uint32_t a = media::read_pixel(page, x, y), b = media::read_pixel(on, x, y);
        differs += channel_gap(a, b) > 40;
        pale_unchosen += light(a) > 690;
        darker_chosen += light(b) + 150 < light(a);
      }
    const int area = r.w * r.h;
    // The face fills the rectangle but for its rounded corners and the label.
    EXPECT_GT(differs, area * 6 / 10) << "this button is not where the layout says";
    EXPECT_GT(pale_unchosen, area * 6 / 10) << "unchosen, a button is a light key";
    EXPECT_GT(darker_chosen, area * 6 / 10) << "chosen, it is filled with the accent";
  }
}

// The program writes the status line and the picture folders onto the page: those places are
// left as one plain colour, so its words read well.
TEST(DataParent, SettingsPageLeavesTheProgramsPlacesPlain) {
  auto page = load("help/settings.png");
  ASSERT_TRUE(page);
  EXPECT_EQ(spread(*page, layout::kStatus), 0) << "something is drawn where the status line goes";
  const Rect& card = layout::kPicturesCard;
  const Rect folders{layout::kPicturesTextX, layout::kPicturesTextY, layout::kPicturesTextW,
                     card.y + card.h - 16 - layout::kPicturesTextY};
  EXPECT_EQ(spread(*page, folders), 0) << "something is drawn where the folders go";
  EXPECT_LT(light(media::read_pixel(page, folders.x, folders.y)), 765) << "the card stands out from the page";
  EXPECT_GT(light(media::read_pixel(page, folders.x, folders.y)), 600) << "dark words read on it";
}

TEST(DataParent, FolderButtonIsARoundedKey) {
  auto button = load("help/settings_button.png");
  ASSERT_TRUE(button);
  ASSERT_TRUE(media::format_has_alpha(button->format));
  EXPECT_EQ(button->width, layout::kOpenFolderW);
  EXPECT_EQ(button->height, layout::kOpenFolderH);
  const int w = button->width, h = button->height;
  // Transparent at its rounded corners, solid through the middle and along its edges' middles.
  const int corners[4][2] = {{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}};
  for (const auto& [x, y] : corners) EXPECT_EQ(alpha(media::read_pixel(button, x, y)), 0) << x << "," << y;
  const int solid[5][2] = {{w / 2, h / 2}, {w / 2, 1}, {1, h / 2}, {w - 2, h / 2}, {w / 2, h - 2}};
  for (const auto& [x, y] : solid) EXPECT_EQ(alpha(media::read_pixel(button, x, y)), 255) << x << "," << y;
  // A light key with dark words on it.
  int pale = 0, dark = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint32_t p = media::read_pixel(button, x, y);
      if (alpha(p) < 255) continue;
      pale += light(p) > 720;
      dark += light(p) < 250;
    }
  EXPECT_GT(pale, w * h / 2);
  EXPECT_GT(dark, 150) << "the label";
}

// The installed program's page 0 is page 0 with other words on the right: the activity list and
// the keys are the same, and the box for the folders is framed and plain inside.
TEST(DataParent, InstalledHelpPageKeepsPageZeroAndFramesTheFolders) {
  auto portable = load("help/0.png");
  auto installed = load("help/0-installed.png");
  ASSERT_TRUE(portable);
  ASSERT_TRUE(installed);
  ASSERT_EQ(installed->width, portable->width);
  ASSERT_EQ(installed->height, portable->height);
  EXPECT_EQ(see_through(*installed), 0);

  // The right box (x 364 on, y 140 to 544) holds the words that differ.
  int same_elsewhere = 0, differs_elsewhere = 0, differs_right = 0;
  for (int y = 0; y < installed->height; ++y)
    for (int x = 0; x < installed->width; ++x) {
      const bool right = x >= 364 && y >= 140 && y < 544;
      const bool changed = media::read_pixel(installed, x, y) != media::read_pixel(portable, x, y);
      if (right) {
        differs_right += changed;
      } else {
        differs_elsewhere += changed;
        same_elsewhere += !changed;
      }
    }
  EXPECT_EQ(differs_elsewhere, 0) << "the activities, header and keys are page 0's";
  EXPECT_GT(differs_right, 10000) << "the installed program's words";

  const Rect box = layout::kHelpFoldersBox;
  ASSERT_GE(box.x, 364);
  ASSERT_LE(box.x + box.w, installed->width - 40);
  ASSERT_GE(box.y, 140);
  ASSERT_LE(box.y + box.h, 544);
  ASSERT_GE(box.h, 4 * 20) << "room for four lines of the program's text";
  const Rect inside{box.x + 5, box.y + 5, box.w - 10, box.h - 10};
  EXPECT_EQ(spread(*installed, inside), 0) << "the folders box is plain inside";
  const uint32_t fill = media::read_pixel(installed, inside.x, inside.y);
  EXPECT_GT(light(fill), 700) << "dark words read on it";
  // A rim darker than the fill runs round it: the middle of each side.
  const int mx = box.x + box.w / 2, my = box.y + box.h / 2;
  const int sides[4][4] = {{mx, box.y - 2, 0, 1}, {mx, box.y + box.h + 1, 0, -1}, {box.x - 2, my, 1, 0},
                           {box.x + box.w + 1, my, -1, 0}};
  for (const auto& [x0, y0, dx, dy] : sides) {
    int darkest = 765;
    for (int k = 0; k < 6; ++k) darkest = std::min(darkest, light(media::read_pixel(installed, x0 + k * dx, y0 + k * dy)));
    EXPECT_LT(darkest, light(fill) - 150) << "rim near " << x0 << "," << y0;
  }
}

// The break screen fills the picture; its bottom strip, where the program may write a line for the
// parent, is an even band without drawing in it.
TEST(DataParent, BreakScreenIsAFullPictureWithAQuietFoot) {
  auto pic = load("images/break.png");
  ASSERT_TRUE(pic);
  EXPECT_EQ(pic->width, 1024);
  EXPECT_EQ(pic->height, 768);
  EXPECT_EQ(see_through(*pic), 0);
  for (int y = 768 - 40; y < 768; ++y) EXPECT_LE(spread(*pic, Rect{0, y, 1024, 1}), 6) << "row " << y;
  EXPECT_LE(spread(*pic, Rect{0, 768 - 40, 1024, 40}), 30) << "the strip is one soft shade";
  // A picture, not a plain screen: the top half alone has many colours.
  std::vector<uint32_t> colours;
  for (int y = 0; y < 384; y += 3)
    for (int x = 0; x < 1024; x += 3) colours.push_back(media::read_pixel(pic, x, y) & 0xF0F0F0);
  std::sort(colours.begin(), colours.end());
  EXPECT_GT(std::unique(colours.begin(), colours.end()) - colours.begin(), 60);
}

TEST(DataParent, BreakSoundIsShortSoftAndQuieterThanMagic) {
  auto peak_of = [](const media::Sound& s) {
    int peak = 0;
    for (int16_t v : s.samples) peak = std::max(peak, std::abs(static_cast<int>(v)));
    return peak;
  };
  std::vector<uint8_t> magic_bytes = bytes_of("sound/magic.ogg"), bytes = bytes_of("sound/break.ogg");
  ASSERT_FALSE(magic_bytes.empty());
  ASSERT_FALSE(bytes.empty());
  media::SoundResult magic = media::decode_sound(magic_bytes.data(), magic_bytes.size());
  media::SoundResult r = media::decode_sound(bytes.data(), bytes.size());
  ASSERT_TRUE(magic.sound) << magic.error;
  ASSERT_TRUE(r.sound) << r.error;
  const double seconds = static_cast<double>(r.sound->frames()) / media::kMixRate;
  EXPECT_GE(seconds, 2.0);
  EXPECT_LE(seconds, 4.0);
  const int peak = peak_of(*r.sound);
  EXPECT_GT(peak, 2000) << "still heard";
  EXPECT_LT(peak, peak_of(*magic.sound) * 6 / 10) << "well under the magic sound";
  // No click at either end, and no hard strike: the first 5 ms stay far below the peak.
  const auto& s = r.sound->samples;
  EXPECT_LT(std::abs(s.front()), 100);
  int tail = 0;
  for (size_t i = s.size() - 40; i < s.size(); ++i) tail = std::max(tail, std::abs(static_cast<int>(s[i])));
  EXPECT_LT(tail, 100);
  int onset = 0;
  const size_t first = static_cast<size_t>(0.05 * media::kMixRate) * 2;  // the first note starts at 50 ms
  for (size_t i = first; i < first + static_cast<size_t>(0.005 * media::kMixRate) * 2; ++i)
    onset = std::max(onset, std::abs(static_cast<int>(s[i])));
  EXPECT_LT(onset, peak / 2) << "the notes swell in";
}
