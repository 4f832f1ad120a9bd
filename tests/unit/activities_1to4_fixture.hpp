// Shared set-up of the tests of activities 1 to 4: assets on the generated data folder with
// plain-colour pictures, recorded sound effects, a stopped clock and a fixed random seed.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/shell/activity.hpp"
#include "app/shell/furniture.hpp"
#include "media/input/clock.hpp"
#include "media/input/events.hpp"
#include "media/display/image.hpp"
#include "media/decode/pixmap.hpp"
#include "tests/unit/test_world.hpp"

namespace act_test {

using app::Effect;
using app::Outcome;

// A 1024x768 picture of one colour, loaded the way pictures are loaded (flags 0).
inline media::ImagePtr plain_picture(uint32_t argb, int w = 1024, int h = 768) {
  media::PixmapPtr p = media::create_pixmap(w, h, media::PF_RGB);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) media::write_pixel(*p, x, y, argb);
  return media::image_from_pixmap(p, 0);
}

// Distinct, bright colours for picture i.
inline uint32_t picture_colour(int i) {
  static const uint32_t c[] = {0xFFE02020, 0xFF20C020, 0xFF2040E0, 0xFFE0E020, 0xFFE020E0, 0xFF20E0E0,
                               0xFFF08020, 0xFF8020F0, 0xFF208080, 0xFF808020, 0xFF802020, 0xFF202080,
                               0xFFF0A0A0, 0xFFA0F0A0, 0xFFA0A0F0, 0xFF606060};
  return c[i % 16];
}

class ActivityTest : public ::testing::Test {
 protected:
  ActivityTest() {
    ok_ = media::load_image(world_.assets.data_dir + "images/white.bmp", 0) != nullptr;
    world_.assets.probe_image = media::load_image(world_.assets.data_dir + "images/white.bmp", 0);
    world_.assets.sky_image = media::load_image(world_.assets.data_dir + "images/sky.jpg", 0);
    set_pictures(16);
    media::use_manual_clock(true);
    media::set_manual_clock(1000);
    media::seed_random(12345);
    media::flush_events();
  }

  void SetUp() override { ASSERT_TRUE(ok_) << "the generated data folder is missing"; }

  void TearDown() override {
    media::use_manual_clock(false);
    media::flush_events();
  }

  void set_pictures(int n) {
    std::vector<media::ImagePtr> list;
    for (int i = 0; i < n; ++i) list.push_back(plain_picture(picture_colour(i), 64, 48));
    world_.set_pictures(std::move(list));
  }

  // Which picture of the list an image is; -1 for none or a stranger.
  int picture_number(const media::ImagePtr& img) const { return world_.picture_number(img); }

  // True when the effect played since the last call, and forgets what played.
  bool played(Effect e) { return world_.effects.take(e); }

  const app::Context& context() { return world_.context; }
  tw::World& world() { return world_; }
  const app::Assets& assets() const { return world_.assets; }

 private:
  tw::World world_;
  bool ok_ = false;
};

}  // namespace act_test
