// Activities 1 to 4 drawn in a real window: frame pictures placed and scaled, ball looks, card
// trails in both buffers, and the kaleidoscope's cut and its eight copies.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>

#include "activities/bounce.hpp"
#include "activities/count.hpp"
#include "activities/frames.hpp"
#include "activities/kaleid.hpp"
#include "media/display/draw.hpp"
#include "tests/render/render_util.hpp"
#include "tests/unit/activities_1to4_fixture.hpp"

namespace {

int ch(uint32_t p, int s) { return static_cast<int>(p >> s & 255); }
bool close(uint32_t a, uint32_t b, int tol) {
  return std::abs(ch(a, 16) - ch(b, 16)) <= tol && std::abs(ch(a, 8) - ch(b, 8)) <= tol &&
         std::abs(ch(a, 0) - ch(b, 0)) <= tol;
}
uint32_t at(const media::Pixmap& p, int x, int y) { return media::read_pixel(p, x, y); }

class ActivityDraw : public act_test::ActivityTest {
 protected:
  void SetUp() override {
    ActivityTest::SetUp();
    rt::fresh();
  }
  void big_pictures(int n) {
    std::vector<media::ImagePtr> p;
    for (int i = 0; i < n; ++i) p.push_back(act_test::plain_picture(act_test::picture_colour(i)));
    world().set_pictures(std::move(p));
  }
  void expect_state_restored() {
    const media::DrawState& s = media::draw_state();
    EXPECT_EQ(s.blend, media::Blend::Mask);
    EXPECT_FLOAT_EQ(s.scale_x, 1);
    EXPECT_FLOAT_EQ(s.scale_y, 1);
    EXPECT_FLOAT_EQ(s.rotation, 0);
    EXPECT_EQ(s.r + s.g + s.b, 3 * 255);
  }
};

TEST_F(ActivityDraw, FramePictureFillsItsOpeningAtTheFramesCorner) {
  big_pictures(16);
  std::unique_ptr<activities::PictureFrames> made = activities::PictureFrames::make(context());
  ASSERT_TRUE(made);
  const activities::PictureFrames& f = *made;
  made->move(tw::at(300, 200));
  f.draw();
  expect_state_restored();
  media::PixmapPtr p = media::grab_pixmap(0, 0, 1024, 768);
  const uint32_t colour = act_test::picture_colour(1);
  // 1024 x 768 at 0.34375 is 352 x 264 from (94, 74); not clipped to the 233-pixel sensitive height.
  EXPECT_TRUE(close(at(*p, 95, 75), colour, 3));
  EXPECT_TRUE(close(at(*p, 444, 336), colour, 3));
  EXPECT_TRUE(close(at(*p, 300, 330), colour, 3));
  EXPECT_FALSE(close(at(*p, 92, 200), colour, 40)) << "left of the picture: the frame";
  EXPECT_FALSE(close(at(*p, 448, 200), colour, 40));
  EXPECT_FALSE(close(at(*p, 200, 340), colour, 40)) << "below the picture";
  // The other frames show the background's pale canvas.
  for (int i = 1; i < 4; ++i) {
    uint32_t q = at(*p, f.frame(i).left + 176, f.frame(i).top + 132);
    EXPECT_GT(ch(q, 16) + ch(q, 8) + ch(q, 0), 700) << "frame " << i;
  }
}

TEST_F(ActivityDraw, BallsAreDrawnCentredWithTheirLook) {
  std::unique_ptr<activities::CountingBalls> made = activities::CountingBalls::make(context());
  ASSERT_TRUE(made);
  activities::CountingBalls& c = *made;
  auto touch = [&](int k) { c.move(tw::at(c.ball(k)->centre_x, c.ball(k)->centre_y)); };
  // A point on each of balls 1 to 3, away from its number: the drawn pixel is the look's own.
  auto expect_looks = [&](const char* why, auto look_of) {
    SCOPED_TRACE(why);
    c.draw();
    expect_state_restored();
    for (int k = 1; k <= 3; ++k) {
      const activities::Ball& b = *c.ball(k);
      const media::ImagePtr look = look_of(b);
      int ox = -c.ball_radius() / 2, oy = c.ball_radius() / 2;
      uint32_t want = media::read_pixel(*look->source, look->width / 2 + ox, look->height / 2 + oy);
      ASSERT_EQ(want >> 24, 255u) << "an opaque point of ball " << k;
      EXPECT_TRUE(close(rt::screen_pixel(b.centre_x + ox, b.centre_y + oy), want, 4)) << "ball " << k;
    }
  };
  touch(1);
  expect_looks("ball 1 counted", [](const activities::Ball& b) { return b.number == 1 ? b.glowing : b.normal; });
  touch(3);
  expect_looks("ball 3 touched too soon", [](const activities::Ball& b) { return b.number == 3 ? b.wrong : b.normal; });
  // Balls out of play are not drawn: those never placed sit at (0, 0), where the sky shows.
  ASSERT_EQ(c.ball(20)->centre_x, 0);
  EXPECT_TRUE(close(rt::screen_pixel(3, 3), media::read_pixel(*assets().sky_image->source, 3, 3), 4));
}

// Every step paints the cards into the trail, which lasts however often the screen is presented.
TEST_F(ActivityDraw, CardTrailsLastThroughPresents) {
  big_pictures(1);
  std::unique_ptr<activities::BouncingCards> made = activities::BouncingCards::make(context());
  ASSERT_TRUE(made);
  activities::BouncingCards& b = *made;
  auto sky = [this](int x, int y) { return media::read_pixel(*assets().sky_image->source, x, y); };
  b.draw();
  EXPECT_TRUE(close(rt::screen_pixel(400, 300), sky(400, 300), 3));

  b.throw_card(activities::FlyingCard{assets().picture(0), 100, 200, 6, 0});
  b.draw();
  EXPECT_TRUE(close(rt::screen_pixel(101, 201), sky(101, 201), 3)) << "a card shows once a step has painted it";
  const uint32_t card = act_test::picture_colour(0);
  media::advance_manual_clock(21);
  b.update(media::millisecs());  // x 106, y 200
  media::advance_manual_clock(21);
  b.update(media::millisecs());  // x 112, y 200
  for (int redraw = 0; redraw < 3; ++redraw) {
    SCOPED_TRACE(redraw);
    b.draw();
    expect_state_restored();
    EXPECT_TRUE(close(rt::screen_pixel(107, 201), card, 3)) << "the trail of the first step";
    EXPECT_TRUE(close(rt::screen_pixel(112 + 172, 201), card, 3)) << "the card now";
    EXPECT_TRUE(close(rt::screen_pixel(112 + 100, 200 + 128), card, 3));
    EXPECT_TRUE(close(rt::screen_pixel(105, 250), sky(105, 250), 3));
    EXPECT_TRUE(close(rt::screen_pixel(200, 198), sky(200, 198), 3));
    media::present(0);
    media::present(0);
  }
  // Clearing takes the trails away.
  b.clear();
  b.draw();
  EXPECT_TRUE(close(rt::screen_pixel(107, 201), sky(107, 201), 3));
}

TEST_F(ActivityDraw, KaleidoscopeCutsThroughTheMaskAndRepeatsItEightTimes) {
  // A picture without pure black or pure white whose colour tells where a pixel came from.
  media::PixmapPtr pix = media::create_pixmap(1024, 768, media::PF_RGB);
  for (int y = 0; y < 768; ++y)
    for (int x = 0; x < 1024; ++x)
      media::write_pixel(*pix, x, y, 0xFF000000u | (20 + x / 5) << 16 | (20 + y / 4) << 8 | ((x * 7 + y * 3) % 200 + 20));
  world().set_pictures({media::image_from_pixmap(pix, 0), media::image_from_pixmap(pix, 0)});

  std::unique_ptr<activities::Kaleidoscope> made = activities::Kaleidoscope::make(context());
  ASSERT_TRUE(made);
  activities::Kaleidoscope& k = *made;
  ASSERT_EQ(k.cut_size(), 150);
  const int cx = 500, cy = 400;
  k.move(tw::at(cx, cy));
  k.draw();
  expect_state_restored();
  media::PixmapPtr p = media::grab_pixmap(0, 0, 1024, 768);
  const media::Pixmap& mask = *k.mask()->source;

  // What the cut holds u, v pixels up and left of the pointer: the picture where the mask is clear,
  // the mask's colour where it paints, nothing (0) where it paints pure white.
  auto cut = [&](int u, int v) -> uint32_t {
    uint32_t m = media::read_pixel(mask, 150 - u, 150 - v);
    if (m >> 24 < 128) return media::read_pixel(*pix, cx - u, cy - v);
    return (m & 0xFFFFFF) == 0xFFFFFF ? 0 : m;
  };
  int total = 0, clear_px = 0, right = 0, asym = 0;
  for (int v = 1; v <= 150; ++v)
    for (int u = 1; u <= 150; ++u) {
      if (u * u + v * v > 138 * 138) continue;  // the ring covers the rest
      ++total;
      clear_px += media::read_pixel(mask, 150 - u, 150 - v) >> 24 < 128;
      // The top-left quadrant holds the cut and, drawn over it, the cut mirrored about the diagonal;
      // where both have dropped out the black background shows.
      uint32_t want = cut(v, u) ? cut(v, u) : cut(u, v) ? cut(u, v) : 0xFF000000u;
      uint32_t got = at(*p, cx - u, cy - v);
      right += close(got, want, 6);
      // The other quadrants are its mirror images; it is its own diagonal mirror.
      asym += !close(got, at(*p, cx + u - 1, cy - v), 2) || !close(got, at(*p, cx - u, cy + v - 1), 2) ||
              !close(got, at(*p, cx + u - 1, cy + v - 1), 2) || !close(got, at(*p, cx - v, cy - u), 2);
    }
  EXPECT_GT(clear_px, 2000) << "the mask lets a good part of the picture through";
  EXPECT_GT(right, total * 97 / 100);
  EXPECT_LT(asym, total / 100) << "eight-fold symmetry";
  // Outside the ring the background is black.
  EXPECT_TRUE(close(at(*p, 50, 50), 0xFF000000, 0));

  // Shown behind: the upright picture fills the screen outside the ring.
  k.click(tw::right_at(0, 0));
  k.draw();
  EXPECT_TRUE(close(rt::screen_pixel(50, 50), media::read_pixel(*pix, 50, 50), 6));
}

}  // namespace
