// The jigsaw in a real window: pieces cut from the picture through their masks (edge lines kept,
// white cut away, rectangles cut at the screen's edge staying in place), the "where" card's
// pixels, and what draw shows for each kind and state.
#include <gtest/gtest.h>

#include <cstdlib>

#include "activities/jigsaw.hpp"
#include "media/display/draw.hpp"
#include "tests/render/render_util.hpp"
#include "tests/unit/test_jigsaw_files.hpp"
#include "tests/unit/test_jigsaw_util.hpp"

using activities::Jigsaw;
using activities::Uncover;
using activities::Piece;

namespace {

int chan(uint32_t argb, int shift) { return (argb >> shift) & 255; }

::testing::AssertionResult rgb_near(uint32_t got, int r, int g, int b, int tol = 2) {
  if (std::abs(chan(got, 16) - r) <= tol && std::abs(chan(got, 8) - g) <= tol && std::abs(chan(got, 0) - b) <= tol)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << std::hex << "got 0x" << got << std::dec << ", want " << r << "," << g << ","
                                       << b;
}

// The picture: every pixel different, one pure white pixel at (300, 200).
uint32_t picture_at(int x, int y) {
  if (x == 300 && y == 200) return 0xFFFFFFFFu;
  return 0xFF000000u | static_cast<uint32_t>(x & 255) << 16 | static_cast<uint32_t>(y & 255) << 8 |
         static_cast<uint32_t>(60 + (x >> 8) * 20 + (y >> 8) * 5);
}

// Piece masks: white outside a 4-pixel border, a 2-pixel red edge line inside it, clear inside.
uint32_t edged(int x, int y, int w, int h) {
  int d = std::min(std::min(x, y), std::min(w - 1 - x, h - 1 - y));
  return d < 4 ? 0xFFFFFFFFu : d < 6 ? 0xFFC80000u : 0x00000000u;
}

// Pixels of a piece cut through an edged mask (every step-th in both directions) that are not what
// the mask makes of the picture at the piece's place (left, top): cut away outside the shape and at
// the picture's white pixel, the edge line kept, the picture inside.
int wrong_piece_pixels(const media::Pixmap& piece, int left, int top, int step = 1) {
  int wrong = 0;
  for (int v = 0; v < piece.height; v += step)
    for (int u = 0; u < piece.width; u += step) {
      const uint32_t got = media::read_pixel(piece, u, v), m = edged(u, v, piece.width, piece.height);
      const int sx = left + u, sy = top + v;
      if (m == 0xFFFFFFFFu || (sx == 300 && sy == 200))
        wrong += (got >> 24) != 0;
      else if (m == 0xFFC80000u)
        wrong += got != 0xFFC80000u;
      else
        wrong += got != picture_at(sx, sy);
    }
  return wrong;
}
// Assets with the test picture and a cut 1 of two pieces: one around (300, 200), one at
// (1000, 750) reaching past the right and bottom edges; its template is one cream line at y 300.
struct Scene {
  Scene() : tmp("render") {
    app::Assets& s = jt::fresh_world(0).assets;
    s.data_dir = tmp.dir();
    media::PixmapPtr p = media::create_pixmap(1024, 768, media::PF_RGBA);
    for (int y = 0; y < 768; ++y)
      for (int x = 0; x < 1024; ++x) media::write_pixel(*p, x, y, picture_at(x, y));
    jt::world().set_pictures({media::image_from_pixmap(p, 0)});
    auto mask = [](int x, int y) { return edged(x, y, 100, 80); };
    jt::write_cut(tmp.dir(), 1, 1, 2, {{300, 200, 100, 80, mask}, {1000, 750, 100, 80, mask}});
    jt::write_png(tmp.dir() + "templates/1.png", 1024, 768,
                  [](int, int y) { return y >= 299 && y <= 301 ? 0xFFFAF5E6u : 0u; });
  }
  jt::TempDir tmp;
};

void expect_state_left_alone() {
  const media::DrawState& st = media::draw_state();
  EXPECT_EQ(st.r + st.g + st.b, 3 * 255);
  EXPECT_FLOAT_EQ(st.alpha, 1.0f);
  EXPECT_EQ(st.blend, media::Blend::Mask);
}

}  // namespace

TEST(JigsawRender, PiecesAreCutThroughTheirMasks) {
  Scene scene;
  rt::fresh(10, 20, 30);
  media::set_blend(media::Blend::Alpha);  // building sets its own blend and gives back the one it found
  auto made_j = activities::puzzle_on_cut<activities::Uncover>(jt::context(), 1, 0);
  ASSERT_NE(made_j, nullptr);
  activities::Uncover& j = *made_j;
  EXPECT_EQ(media::blend(), media::Blend::Alpha);
  media::set_blend(media::Blend::Mask);

  const media::Pixmap& a = *j.pieces()[0]->picture->source;
  ASSERT_EQ(a.width, 100);
  ASSERT_EQ(a.height, 80);
  EXPECT_EQ(wrong_piece_pixels(a, 250, 160), 0);

  // The piece reaching past the corner is cut at the screen's edge and, drawn at its home, lies
  // exactly where it was taken from.
  const media::ImagePtr& b = j.pieces()[1]->picture;
  ASSERT_EQ(b->width, 74);
  ASSERT_EQ(b->height, 58);
  rt::fresh();
  media::draw_image(b, 1000, 750, 0);
  EXPECT_TRUE(rgb_near(rt::screen_pixel(960, 720), chan(picture_at(960, 720), 16), chan(picture_at(960, 720), 8),
                       chan(picture_at(960, 720), 0), 0));
  EXPECT_TRUE(rgb_near(rt::screen_pixel(1023, 767), chan(picture_at(1023, 767), 16), chan(picture_at(1023, 767), 8),
                       chan(picture_at(1023, 767), 0), 0));
  EXPECT_TRUE(rgb_near(rt::screen_pixel(955, 730), 200, 0, 0, 0)) << "its edge line, 5 pixels in";
  EXPECT_TRUE(rgb_near(rt::screen_pixel(952, 730), 0, 0, 0, 0)) << "outside its shape";
  expect_state_left_alone();
}

TEST(JigsawRender, PiecesTooLargeToReadBackTogetherAreEachCutFromTheirOwnPlace) {
  // Four pieces of 520x400 fill the screen: no two fit side by side for one read-back.
  Scene scene;
  auto mask = [](int x, int y) { return edged(x, y, 520, 400); };
  jt::write_cut(scene.tmp.dir(), 2, 2, 2,
                {{260, 200, 520, 400, mask}, {764, 200, 520, 400, mask}, {260, 568, 520, 400, mask},
                 {764, 568, 520, 400, mask}});
  jt::write_png(scene.tmp.dir() + "templates/2.png", 1024, 768, [](int, int) { return 0u; });
  rt::fresh(10, 20, 30);
  auto made_j = activities::puzzle_on_cut<activities::Uncover>(jt::context(), 2, 0);
  ASSERT_NE(made_j, nullptr);
  activities::Uncover& j = *made_j;
  ASSERT_EQ(j.pieces().size(), 4u);
  const int lefts[] = {0, 504, 0, 504}, tops[] = {0, 0, 368, 368};
  for (size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const media::Pixmap& a = *j.pieces()[i]->picture->source;
    ASSERT_EQ(a.width, 520);
    ASSERT_EQ(a.height, 400);
    EXPECT_EQ(wrong_piece_pixels(a, lefts[i], tops[i], 3), 0);
  }
  expect_state_left_alone();
}

TEST(JigsawRender, WhereCardIsFramedPinkWithAShadow) {
  Scene scene;
  auto j = jt::hand_made<activities::Where>(1, 1, 100, media::load_image(scene.tmp.dir() + "templates/1.png"));
  // A green 100 x 80 piece whose right 10 columns are clear, with one pure black pixel.
  j->pieces()[0]->picture = rt::make_image(
      100, 80,
      [](int x, int y) { return x >= 90 ? 0u : (x == 40 && y == 40) ? 0xFF000000u : 0xFF0AC81Eu; }, 0);
  media::mid_handle(j->pieces()[0]->picture);
  j->pieces()[0]->x = j->pieces()[0]->x0 = 300;
  j->pieces()[0]->y = j->pieces()[0]->y0 = 500;
  rt::fresh();
  j->make_card();
  expect_state_left_alone();
  const media::Pixmap& card = *j->card().image->source;
  ASSERT_EQ(card.width, 150);
  ASSERT_EQ(card.height, 130);
  EXPECT_EQ(j->card().left, 864);
  EXPECT_EQ(j->card().top, 628);
  EXPECT_TRUE(rgb_near(media::read_pixel(card, 2, 2), 255, 255, 255, 0)) << "white frame";
  EXPECT_TRUE(rgb_near(media::read_pixel(card, 147, 127), 255, 255, 255, 0));
  EXPECT_TRUE(rgb_near(media::read_pixel(card, 8, 8), 255, 192, 255, 0)) << "pink field";
  EXPECT_TRUE(rgb_near(media::read_pixel(card, 60, 60), 10, 200, 30, 0)) << "the piece, 25 pixels in";
  EXPECT_TRUE(rgb_near(media::read_pixel(card, 25, 25), 10, 200, 30, 0));
  EXPECT_TRUE(rgb_near(media::read_pixel(card, 24, 60), 255, 192, 255, 0));
  EXPECT_TRUE(rgb_near(media::read_pixel(card, 117, 60), 204, 154, 204, 2)) << "the shadow, 5 pixels right";
  EXPECT_TRUE(rgb_near(media::read_pixel(card, 121, 60), 255, 192, 255, 0));
  EXPECT_TRUE(rgb_near(media::read_pixel(card, 60, 107), 204, 154, 204, 2)) << "the shadow, 5 pixels down";
  EXPECT_EQ(media::read_pixel(card, 65, 65) >> 24, 0u) << "black on the card is transparent";
  EXPECT_EQ(media::read_pixel(card, 60, 60) >> 24, 255u);

  // Drawn: the template on dark red, the card in its corner on top.
  rt::fresh();
  j->draw();
  EXPECT_TRUE(rgb_near(rt::screen_pixel(500, 600), 150, 0, 0, 0));
  EXPECT_TRUE(rgb_near(rt::screen_pixel(500, 300), 250, 245, 230, 0));
  EXPECT_TRUE(rgb_near(rt::screen_pixel(864 + 60, 628 + 60), 10, 200, 30, 0));
  EXPECT_TRUE(rgb_near(rt::screen_pixel(864 + 65, 628 + 65), 150, 0, 0, 0)) << "through the card's hole";
  EXPECT_TRUE(rgb_near(rt::screen_pixel(300, 500), 150, 0, 0, 0)) << "the piece is still hidden";
  expect_state_left_alone();

}

TEST(JigsawRender, WhereRedrawShowsEachNewCard) {
  Scene scene;
  auto made_j = activities::puzzle_on_cut<activities::Where>(jt::context(), 1, 0);
  ASSERT_NE(made_j, nullptr);
  activities::Where& j = *made_j;
  rt::fresh();
  j.draw();
  const int x = j.card().left, y = j.card().top;
  EXPECT_TRUE(rgb_near(rt::screen_pixel(x + 8, y + 8), 255, 192, 255, 0));
  // A card for the other piece, nothing else changed: drawn again, the card is in its own corner.
  const Piece* first = j.shown_piece();
  for (int i = 0; i < 1000 && j.shown_piece() == first; ++i) j.make_card();
  ASSERT_NE(j.shown_piece(), first);
  ASSERT_NE(j.card().left, x);
  j.draw();
  EXPECT_TRUE(rgb_near(rt::screen_pixel(x + 8, y + 8), 150, 0, 0, 0)) << "the old card is gone";
  EXPECT_TRUE(rgb_near(rt::screen_pixel(j.card().left + 8, j.card().top + 8), 255, 192, 255, 0)) << "the new card";
  expect_state_left_alone();
}

TEST(JigsawRender, DrawShowsEachKindAndState) {
  Scene scene;
  auto made_j = activities::puzzle_on_cut<activities::Uncover>(jt::context(), 1, 0);
  ASSERT_NE(made_j, nullptr);
  activities::Uncover& j = *made_j;
  rt::fresh(1, 2, 3);
  j.draw();
  EXPECT_TRUE(rgb_near(rt::screen_pixel(300, 200), 0, 0, 100, 0)) << "dark blue";
  EXPECT_TRUE(rgb_near(rt::screen_pixel(10, 300), 250, 245, 230, 0)) << "the template";
  j.pieces()[0]->visible = 1;
  j.draw();
  EXPECT_TRUE(rgb_near(rt::screen_pixel(280, 190), chan(picture_at(280, 190), 16), 190, chan(picture_at(280, 190), 0), 0));
  EXPECT_TRUE(rgb_near(rt::screen_pixel(300, 200), 0, 0, 100, 0)) << "the white pixel was cut away";
  expect_state_left_alone();

  // The jigsaw: pink, pieces where they lie; hide leaves out the loose ones; a carried one has a shadow.
  auto made_k = activities::puzzle_on_cut<activities::Jigsaw>(jt::context(), 1, 0);
  ASSERT_NE(made_k, nullptr);
  activities::Jigsaw& k = *made_k;
  Piece& a = *k.pieces()[0];
  Piece& b = *k.pieces()[1];
  a.x = 600;
  a.y = 400;
  b.x = 150;
  b.y = 600;
  k.draw();
  EXPECT_TRUE(rgb_near(rt::screen_pixel(1000, 20), 255, 192, 255, 0));
  EXPECT_TRUE(rgb_near(rt::screen_pixel(600 - 20, 400 - 10), chan(picture_at(280, 190), 16), 190,
                       chan(picture_at(280, 190), 0), 0));
  k.click(tw::right_at(0, 0));
  k.draw();
  EXPECT_TRUE(rgb_near(rt::screen_pixel(580, 390), 255, 192, 255, 0)) << "hidden";
  b.fixed = 1;
  b.x = b.x0;
  b.y = b.y0;
  k.draw();
  EXPECT_TRUE(rgb_near(rt::screen_pixel(960, 720), chan(picture_at(960, 720), 16), chan(picture_at(960, 720), 8),
                       chan(picture_at(960, 720), 0), 0))
      << "fixed pieces always show";
  // Carried (hide still on): drawn at the pointer with a shadow 5 pixels down and right.
    // not at its centre: the white pixel was cut out there
  k.click(tw::at(590, 395));
  ASSERT_EQ(k.carried(), &a);
  EXPECT_EQ(k.carry_dx(), 10);
  EXPECT_EQ(k.carry_dy(), 5);
  k.move(tw::at(490, 295));
  k.draw();
  EXPECT_EQ(a.x, 500);
  EXPECT_TRUE(rgb_near(rt::screen_pixel(500 - 20, 300 - 10), chan(picture_at(280, 190), 16), 190,
                       chan(picture_at(280, 190), 0), 0));
  EXPECT_TRUE(rgb_near(rt::screen_pixel(500 + 47, 300 + 20), 153, 115, 153, 2)) << "shadow on pink";
  EXPECT_TRUE(rgb_near(rt::screen_pixel(500 + 47, 300 - 38), 255, 192, 255, 0)) << "no shadow above";
  expect_state_left_alone();

  // Finished: only the picture and the corner button.
  k.click(tw::at(490, 295));
  a.fixed = 1;
  k.click(tw::at(10, 10));  // the next click finds every piece done
  rt::fresh();
  k.draw();
  EXPECT_EQ(k.finished(), 1);
  EXPECT_TRUE(rgb_near(rt::screen_pixel(700, 100), chan(picture_at(700, 100), 16), chan(picture_at(700, 100), 8),
                       chan(picture_at(700, 100), 0), 0));
  const app::Assets& s = jt::world().assets;
  int corner_y = 768 - s.smiley_image->width - 5;
  int cx = 5 + s.smiley_image->width / 2, cy = corner_y + s.smiley_image->height / 2;
  EXPECT_FALSE(rgb_near(rt::screen_pixel(cx, cy), chan(picture_at(cx, cy), 16), chan(picture_at(cx, cy), 8),
                        chan(picture_at(cx, cy), 0), 8))
      << "the corner button";
  expect_state_left_alone();
}

// The table under a carried piece is kept between redraws; every change to it still shows.
TEST(JigsawRender, RedrawsFollowEveryMoveOfThePieces) {
  Scene scene;
  auto made_k = activities::puzzle_on_cut<activities::Jigsaw>(jt::context(), 1, 0);
  ASSERT_NE(made_k, nullptr);
  activities::Jigsaw& k = *made_k;
  Piece& a = *k.pieces()[0];
  Piece& b = *k.pieces()[1];
  b.x = 150;
  b.y = 600;
  auto piece_a_at = [](int cx, int cy) {
    return rgb_near(rt::screen_pixel(cx - 20, cy - 10), chan(picture_at(280, 190), 16), 190,
                    chan(picture_at(280, 190), 0), 0);
  };
  auto pink_at = [](int x, int y) { return rgb_near(rt::screen_pixel(x, y), 255, 192, 255, 0); };
  a.x = 600;
  a.y = 400;
  rt::fresh();
  k.draw();
  EXPECT_TRUE(piece_a_at(600, 400));
  a.x = 300;
  a.y = 300;
  rt::fresh(1, 2, 3);
  k.draw();
  EXPECT_TRUE(piece_a_at(300, 300));
  EXPECT_TRUE(pink_at(580, 390)) << "the old place";
  EXPECT_TRUE(pink_at(1000, 20)) << "the whole table, whatever the back buffer held";

  
  k.click(tw::at(290, 295));
  ASSERT_EQ(k.carried(), &a);
  const int moves[3][2] = {{690, 495}, {390, 195}, {690, 495}};
  int last_x = 300, last_y = 300;
  for (const auto& m : moves) {
    k.move(tw::at(m[0], m[1]));
    k.draw();
    EXPECT_TRUE(piece_a_at(m[0] + 10, m[1] + 5));
    EXPECT_TRUE(pink_at(last_x - 20, last_y - 10)) << "left behind at " << last_x << "," << last_y;
    last_x = m[0] + 10;
    last_y = m[1] + 5;
  }
  k.click(tw::at(690, 495));  // put down where it was carried last
  k.move(tw::at(10, 10));
  k.draw();
  EXPECT_TRUE(piece_a_at(700, 500));
  expect_state_left_alone();
}
