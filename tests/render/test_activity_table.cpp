// The screen of an activity the program does not have, registered at digit 3 in a table of three:
// the loop draws its number and its help page (page 3), and a data folder without that page shows
// the activity alone.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/start/assets.hpp"
#include "app/shell/furniture.hpp"
#include "app/shell/loop.hpp"
#include "media/input/clock.hpp"
#include "media/display/draw.hpp"
#include "media/decode/decode.hpp"
#include "media/decode/pixmap.hpp"
#include "media/sound/sound.hpp"
#include "tests/render/render_util.hpp"
#include "tests/unit/extra_activity.hpp"
#include "tests/unit/test_world.hpp"

using namespace app;

namespace {

const std::string kData = std::string(PIPKIN_DATA_DIR) + "/";

media::PixmapPtr drawn(Loop& loop) {
  rt::fresh();
  loop.draw_screen();
  return media::grab_pixmap(0, 0, 1024, 768);
}

// The swatch with an activity number in the corner, as the loop would draw it.
media::PixmapPtr swatch_numbered(const Assets& assets, int number) {
  rt::fresh();
  extra::Swatch().draw();
  draw_activity_number(assets, number);
  return media::grab_pixmap(0, 0, 1024, 768);
}

// Pixels of the area that differ between two pictures by more than 2 on some channel.
int differing(const media::Pixmap& a, int ax, int ay, const media::Pixmap& b, int bx, int by, int w, int h) {
  int n = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t p = media::read_pixel(a, ax + x, ay + y), q = media::read_pixel(b, bx + x, by + y);
      for (int s = 0; s < 24; s += 8)
        if (std::abs(static_cast<int>((p >> s) & 255) - static_cast<int>((q >> s) & 255)) > 2) {
          ++n;
          break;
        }
    }
  return n;
}

}  // namespace

TEST(ExtraActivityScreen, ItsNumberAndItsHelpPageAreTheThirdOfTheTable) {
  media::use_manual_clock(true);
  media::set_manual_clock(1000);
  {
    Assets assets = load_assets(kData);
    ASSERT_TRUE(assets.main_font);
    Loop loop(assets, extra::table_with_swatch(), "", 3);
    tw::press_digit(loop, 3);
    ASSERT_EQ(loop.state().activity, 3);

    // The corner says 3: the swatch's own colour everywhere else.
    media::PixmapPtr screen = drawn(loop);
    media::PixmapPtr three = swatch_numbered(assets, 3);
    EXPECT_EQ(differing(*screen, 0, 0, *three, 0, 0, 1024, 768), 0);
    EXPECT_GT(differing(*three, 990, 730, *swatch_numbered(assets, 9), 990, 730, 34, 38), 10) << "3 and 9 look apart";
    EXPECT_GT(differing(*three, 990, 730, *swatch_numbered(assets, 0), 990, 730, 34, 38), 10);
    const uint32_t plain = media::read_pixel(*screen, 500, 400);
    EXPECT_EQ(plain & 0xFFFFFF, static_cast<uint32_t>(extra::Swatch::kR << 16 | extra::Swatch::kG << 8 | extra::Swatch::kB));

    // H shows help page 3, centred, as the data folder has it.
    tw::press(loop, media::Key::H);
    ASSERT_TRUE(loop.state().help_shown);
    screen = drawn(loop);
    media::PixmapPtr page3 = media::load_pixmap(kData + "help/3.png");
    media::PixmapPtr page9 = media::load_pixmap(kData + "help/9.png");
    ASSERT_TRUE(page3 && page9);
    const int px = (1024 - page3->width) / 2, py = (768 - page3->height) / 2;
    const int area = page3->width * page3->height;
    EXPECT_LT(differing(*screen, px, py, *page3, 0, 0, page3->width, page3->height), area / 100);
    EXPECT_GT(differing(*screen, px, py, *page9, 0, 0, page9->width, page9->height), area / 10);
  }
  media::use_manual_clock(false);
  media::close_audio();
}

// A data folder with pages only for 0 to 2: the help page of the activity at 3 is none, and the
// loop draws the activity and its number as if no page were shown.
TEST(ExtraActivityScreen, AHelpPageTheDataFolderLacksDrawsNothing) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(testing::TempDir()) / ("table-help-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "help");
  for (int i = 0; i <= 2; ++i) fs::copy_file(kData + "help/" + std::to_string(i) + ".png", dir / "help" / (std::to_string(i) + ".png"));
  media::use_manual_clock(true);
  media::set_manual_clock(1000);
  {
    Assets assets = load_assets(kData);
    assets.data_dir = dir.string() + "/";  // help pages are read from here when first shown
    Loop loop(assets, extra::table_with_swatch(), "", 3);
    tw::press_digit(loop, 3);
    ASSERT_EQ(loop.state().activity, 3);
    tw::press(loop, media::Key::H);
    ASSERT_TRUE(loop.state().help_shown);
    EXPECT_FALSE(assets.help_page(3));
    media::PixmapPtr screen = drawn(loop);
    EXPECT_EQ(differing(*screen, 0, 0, *swatch_numbered(assets, 3), 0, 0, 1024, 768), 0);
    EXPECT_TRUE(assets.help_page(2)) << "the pages it has are there";
  }
  media::use_manual_clock(false);
  media::close_audio();
  fs::remove_all(dir);
}
