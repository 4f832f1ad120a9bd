#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "app/furniture.hpp"
#include "app/shell.hpp"
#include "media/events.hpp"

using namespace app;

TEST(Furniture, PointerTestsParityAndShuffle) {
  reset_shell();
  media::input_mouse_move(10, 20);
  EXPECT_TRUE(mouse_in(10, 10, 20, 20));
  media::input_mouse_move(21, 15);
  EXPECT_FALSE(mouse_in(10, 10, 20, 20));
  EXPECT_TRUE(is_even(-4));
  EXPECT_FALSE(is_even(-3));
  EXPECT_TRUE(is_even(0));

  // A probe of one white pixel under an image whose right half is transparent.
  shell().probe_image = media::image_from_pixmap(
      [] {
        auto p = media::create_pixmap(1, 1, media::PF_RGB);
        media::write_pixel(*p, 0, 0, 0xFFFFFFFF);
        return p;
      }(),
      0);
  auto half = media::create_pixmap(4, 4, media::PF_RGBA);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) media::write_pixel(*half, x, y, x < 2 ? 0xFF00FF00 : 0x0000FF00);
  media::ImagePtr img = media::image_from_pixmap(half, -1);
  media::input_mouse_move(101, 102);
  EXPECT_TRUE(mouse_over(img, 100, 100));
  media::input_mouse_move(102, 102);
  EXPECT_FALSE(mouse_over(img, 100, 100)) << "transparent parts never count";

  media::seed_random(99);
  std::vector<int> one = {5};
  std::vector<int> out = shuffle_list(one);
  EXPECT_EQ(out, std::vector<int>{5});
  EXPECT_TRUE(one.empty());
  // Every order of three comes up, and every object is kept.
  std::set<std::vector<int>> seen;
  for (int i = 0; i < 300; ++i) {
    std::vector<int> l = {1, 2, 3};
    std::vector<int> s = shuffle_list(l);
    EXPECT_TRUE(l.empty());
    std::vector<int> sorted = s;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<int>{1, 2, 3}));
    seen.insert(s);
  }
  EXPECT_EQ(seen.size(), 6u);
  reset_shell();
}

TEST(Furniture, SoundsLoadOnFirstPlayWithSoundOn) {
  reset_shell();
  forget_sounds();
  shell().data_dir = std::string(PIPKIN_DATA_DIR) + "/";
  shell().sound_on = false;
  play_magic();
  EXPECT_FALSE(sound_loaded(2)) << "with sound off no file is read";
  shell().sound_on = true;
  play_magic();
  EXPECT_TRUE(sound_loaded(2));
  EXPECT_FALSE(sound_loaded(0));
  play_bounce();
  EXPECT_TRUE(sound_loaded(0));
  // A missing file leaves the slot empty, and the next play tries again.
  forget_sounds();
  shell().data_dir = "/nonexistent/";
  play_ping();
  EXPECT_FALSE(sound_loaded(3));
  shell().data_dir = std::string(PIPKIN_DATA_DIR) + "/";
  play_ping();
  EXPECT_TRUE(sound_loaded(3));
  forget_sounds();
  reset_shell();
}
