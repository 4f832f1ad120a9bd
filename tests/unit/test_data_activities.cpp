// The generated files of the frames, counting, kaleidoscope, colouring and pairs activities: the
// sizes and placements the activities rely on, transparency where a picture must show through,
// and the colours that would break masking or the colouring fill.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "media/decode/decode.hpp"
#include "media/decode/pixmap.hpp"

namespace {

const std::string kData = PIPKIN_DATA_DIR;

media::PixmapPtr load(const std::string& name) { return media::load_pixmap(kData + "/" + name); }

int alpha(uint32_t argb) { return static_cast<int>(argb >> 24); }
int red(uint32_t argb) { return argb >> 16 & 255; }
int green(uint32_t argb) { return argb >> 8 & 255; }
int blue(uint32_t argb) { return argb & 255; }
int light(uint32_t argb) { return red(argb) + green(argb) + blue(argb); }
bool pure_black(uint32_t argb) { return (argb & 0xFFFFFFu) == 0; }

int count_pure_black(const media::Pixmap& p) {
  int n = 0;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) n += pure_black(media::read_pixel(p, x, y));
  return n;
}

}  // namespace

TEST(DataActivities, FramesBackgroundOpensExactlyOnThePictureAreas) {
  auto bgd = load("frames4/bgd.jpg");
  ASSERT_TRUE(bgd);
  ASSERT_EQ(bgd->width, 1024);
  ASSERT_EQ(bgd->height, 768);
  EXPECT_EQ(count_pure_black(*bgd), 0) << "masked loading would punch holes in the wall";

  // Each 352 x 264 picture area is an opening in its frame: the pixel just outside each edge
  // is the frame's dark inner lip, clearly darker than the empty canvas just inside.
  const int spots[4][2] = {{94, 74}, {580, 74}, {94, 406}, {580, 406}};
  for (const auto& s : spots) {
    SCOPED_TRACE("frame at " + std::to_string(s[0]) + "," + std::to_string(s[1]));
    const int x0 = s[0], y0 = s[1], x1 = s[0] + 352, y1 = s[1] + 264;
    for (int t = 40; t <= 300; t += 20) {
      int x = x0 + t, y = y0 + std::min(t, 220);
      EXPECT_GT(light(media::read_pixel(*bgd, x, y0 + 12)) - light(media::read_pixel(*bgd, x, y0 - 1)), 120);
      EXPECT_GT(light(media::read_pixel(*bgd, x, y1 - 3)) - light(media::read_pixel(*bgd, x, y1)), 120);
      EXPECT_GT(light(media::read_pixel(*bgd, x0 + 12, y)) - light(media::read_pixel(*bgd, x0 - 1, y)), 120);
      EXPECT_GT(light(media::read_pixel(*bgd, x1 - 3, y)) - light(media::read_pixel(*bgd, x1, y)), 120);
    }
    // The moulding stays between the openings: no frame reaches into a neighbour's area.
    EXPECT_GT(light(media::read_pixel(*bgd, x0 + 176, y0 + 132)), 700) << "the opening is a pale canvas";
  }
}

TEST(DataActivities, CountingBallsShareOneSizeThatFitsTheSmallestCell) {
  const int size = load("count/20.png") ? load("count/20.png")->width : 0;
  ASSERT_GT(size, 0);
  // radius = width / 2 is kept from every cell edge; the 20-ball cells are 204 x 192.
  EXPECT_LE(size, 192);
  EXPECT_GE(size, 120) << "big enough for small hands";
  const double c = size / 2.0;
  std::set<uint32_t> body_colours;
  for (int n = 1; n <= 20; ++n) {
    SCOPED_TRACE("ball " + std::to_string(n));
    auto normal = load("count/" + std::to_string(n) + ".png");
    auto glow = load("count_glow/" + std::to_string(n) + ".png");
    auto wrong = load("count_red/" + std::to_string(n) + ".png");
    ASSERT_TRUE(normal && glow && wrong);
    for (const auto* p : {normal.get(), glow.get(), wrong.get()}) {
      ASSERT_EQ(p->width, size);
      ASSERT_EQ(p->height, size);
      ASSERT_TRUE(media::format_has_alpha(p->format));
      EXPECT_EQ(alpha(media::read_pixel(*p, 0, 0)), 0);
      EXPECT_EQ(alpha(media::read_pixel(*p, size - 1, size - 1)), 0);
      EXPECT_EQ(alpha(media::read_pixel(*p, size / 2, size / 2)), 255);
    }
    // The touch test uses the normal look: solid inside a round ball, see-through well outside it.
    int outside_solid = 0, inside_clear = 0;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        double d = std::hypot(x + 0.5 - c, y + 0.5 - c);
        int a = alpha(media::read_pixel(*normal, x, y));
        if (d < c * 0.7 && a < 255) ++inside_clear;
        if (d > c * 0.9 && a >= 128) ++outside_solid;
      }
    EXPECT_EQ(inside_clear, 0);
    EXPECT_EQ(outside_solid, 0);
    // Just outside the ball the glowing look shines while the normal look is clear.
    int halo = 0;
    for (int k = 0; k < 16; ++k) {
      double a = k * M_PI / 8;
      int x = static_cast<int>(c + c * 0.88 * std::cos(a)), y = static_cast<int>(c + c * 0.88 * std::sin(a));
      uint32_t g = media::read_pixel(*glow, x, y);
      if (alpha(g) > 60 && red(g) > 200 && green(g) > 150) ++halo;
    }
    EXPECT_EQ(halo, 16) << "a golden halo around the glowing ball";
    // The lower body (below the number, away from the highlight) shows the look's colour.
    uint32_t wrong_body = media::read_pixel(*wrong, size / 2, static_cast<int>(c + c * 0.7));
    EXPECT_GT(red(wrong_body), 150);
    EXPECT_LT(green(wrong_body), 90);
    EXPECT_LT(blue(wrong_body), 90);
    uint32_t body = media::read_pixel(*normal, size / 2, static_cast<int>(c + c * 0.7));
    EXPECT_FALSE(red(body) > 150 && green(body) < 90 && blue(body) < 90) << "only a wrong touch is red";
    body_colours.insert(body & 0xF0F0F0u);
  }
  EXPECT_EQ(body_colours.size(), 20u) << "each number its own colour";
}

TEST(DataActivities, KaleidoscopeMaskCutsOneWedgeAndTheRingFramesThePattern) {
  auto mask = load("kaleid/mask.png");
  auto ring = load("kaleid/ring.png");
  ASSERT_TRUE(mask && ring);
  ASSERT_TRUE(media::format_has_alpha(mask->format));
  ASSERT_TRUE(media::format_has_alpha(ring->format));
  const int r = mask->width;
  ASSERT_EQ(mask->height, r);
  EXPECT_EQ(r % 2, 0) << "the piece's centre handle falls on a whole pixel";
  EXPECT_LE(2 * (r + 30), 768) << "the pointer's allowed area must not be empty";

  // Drawn with a half-alpha cut-off: alpha is all or nothing. The picture shows only on or below
  // the diagonal from the far corner to the pointer; the copy mirrored across it fills the rest,
  // so anything painted must be the same on both sides of the diagonal.
  int picture = 0, wrong_side = 0, half_alpha = 0, asymmetric = 0;
  for (int y = 0; y < r; ++y)
    for (int x = 0; x < r; ++x) {
      uint32_t p = media::read_pixel(*mask, x, y);
      if (alpha(p) != 0 && alpha(p) != 255) ++half_alpha;
      if (alpha(p) == 0) {
        ++picture;
        if (y < x) ++wrong_side;
      } else if (p != 0xFFFFFFFFu && media::read_pixel(*mask, y, x) != p) {
        ++asymmetric;
      }
    }
  EXPECT_EQ(half_alpha, 0);
  EXPECT_EQ(wrong_side, 0);
  EXPECT_EQ(asymmetric, 0);
  EXPECT_GT(picture, r * r / 4) << "most of the wedge shows the picture";
  EXPECT_EQ(media::read_pixel(*mask, 0, 0), 0xFFFFFFFFu) << "the square's far corner drops out";
  uint32_t centre = media::read_pixel(*mask, r - 1, r - 1);
  EXPECT_EQ(alpha(centre), 255);
  EXPECT_NE(centre, 0xFFFFFFFFu) << "a jewel marks the pointer";

  // The ring: square, centred on the pointer, on screen at the pointer's limits (r + 30 from the
  // edges), clear over the pattern and solid around it in every direction.
  const int w = ring->width;
  ASSERT_EQ(ring->height, w);
  EXPECT_LE(w, 2 * (r + 30));
  EXPECT_GE(w, 2 * r);
  const double c = w / 2.0;
  for (int k = 0; k < 32; ++k) {
    double a = k * M_PI / 16;
    bool clear_inside = true, solid_around = false;
    for (double d = 0; d < c; d += 0.5) {
      int x = static_cast<int>(c + d * std::cos(a)), y = static_cast<int>(c + d * std::sin(a));
      int al = alpha(media::read_pixel(*ring, x, y));
      EXPECT_TRUE(al == 0 || al == 255);
      if (d < r - 12 && al != 0) clear_inside = false;
      if (d >= r - 12 && al == 255) solid_around = true;
    }
    EXPECT_TRUE(clear_inside) << "direction " << k;
    EXPECT_TRUE(solid_around) << "direction " << k;
  }
  EXPECT_EQ(alpha(media::read_pixel(*ring, 0, 0)), 0);
}

TEST(DataActivities, ColouringPaletteAndIndicator) {
  auto swatch = load("colour/swatch.bmp");
  auto circle = load("colour/circle.bmp");
  auto ring = load("colour/circle.png");
  ASSERT_TRUE(swatch && circle && ring);
  const int sw = swatch->width, sh = swatch->height;
  const int sx = (256 - sw) / 2, sy = 768 - 30 - sh;
  EXPECT_LE(sw, 256);
  EXPECT_GT(sy, 18 + circle->height) << "the palette lies below the indicator";

  // Every pick is opaque and never the drawing's white line colour (a fill with it would join an
  // area to its outlines). Count the flat patches: the big areas of one colour.
  std::map<uint32_t, int> area;
  int line_white = 0, see_through = 0;
  for (int y = 0; y < sh; ++y)
    for (int x = 0; x < sw; ++x) {
      uint32_t p = media::read_pixel(*swatch, x, y);
      line_white += p == 0xFFFFFFFFu;
      see_through += alpha(p) != 255;
      ++area[p];
    }
  EXPECT_EQ(line_white, 0);
  EXPECT_EQ(see_through, 0);
  std::set<uint32_t> patches;
  for (const auto& [colour, n] : area)
    if (n >= 3000) patches.insert(colour);
  EXPECT_GE(patches.size(), 13u) << "a dozen and more big patches";
  EXPECT_TRUE(patches.count(0xFF646464u)) << "the gaps are the panel's grey";
  EXPECT_TRUE(patches.count(0xFF000046u)) << "the drawing's own blue undoes a fill";
  auto has = [&](auto pred) {
    for (uint32_t p : patches)
      if (pred(p)) return true;
    return false;
  };
  EXPECT_TRUE(has([](uint32_t p) { return red(p) >= 245 && green(p) >= 245 && blue(p) >= 245; })) << "white";
  EXPECT_TRUE(has([](uint32_t p) { return red(p) > 200 && green(p) < 80 && blue(p) < 80; })) << "red";
  EXPECT_TRUE(has([](uint32_t p) { return red(p) > 200 && green(p) > 200 && blue(p) < 80; })) << "yellow";
  EXPECT_TRUE(has([](uint32_t p) { return green(p) > 140 && red(p) < 80 && blue(p) < 100; })) << "green";
  EXPECT_TRUE(has([](uint32_t p) { return blue(p) > 200 && red(p) < 80; })) << "blue";

  // The indicator: one colour everywhere, so a fill from (sx + 5, 23) recolours all of it.
  ASSERT_GE(circle->width, sx + 6);
  ASSERT_GE(circle->height, 24);
  uint32_t first = media::read_pixel(*circle, 0, 0);
  EXPECT_EQ(first, 0xFFFFFFFFu) << "shows the starting colour, white";
  int other = 0;
  for (int y = 0; y < circle->height; ++y)
    for (int x = 0; x < circle->width; ++x) other += media::read_pixel(*circle, x, y) != first;
  EXPECT_EQ(other, 0);

  // Its ring is drawn one pixel up and left, covers the indicator's square corners with the
  // panel's grey, and leaves a round window (all-or-nothing alpha) over the seed point.
  ASSERT_TRUE(media::format_has_alpha(ring->format));
  ASSERT_EQ(ring->width, circle->width + 2);
  ASSERT_EQ(ring->height, circle->height + 2);
  EXPECT_EQ(media::read_pixel(*ring, 0, 0), 0xFF646464u);
  EXPECT_EQ(media::read_pixel(*ring, ring->width - 1, ring->height - 1), 0xFF646464u);
  int window = 0, half = 0;
  for (int y = 0; y < ring->height; ++y)
    for (int x = 0; x < ring->width; ++x) {
      int a = alpha(media::read_pixel(*ring, x, y));
      window += a == 0;
      half += a != 0 && a != 255;
    }
  EXPECT_EQ(half, 0);
  EXPECT_GT(window, 100 * 100) << "a big window onto the current colour";
  EXPECT_EQ(alpha(media::read_pixel(*ring, ring->width / 2, ring->height / 2)), 0);
}

TEST(DataActivities, PairsBackCoversACardAndTheFrameBordersIt) {
  auto back = load("pairs/back.jpg");
  auto frame = load("pairs/frame.png");
  ASSERT_TRUE(back && frame);
  EXPECT_EQ(back->width, 215);
  EXPECT_EQ(back->height, 161);
  EXPECT_EQ(count_pure_black(*back), 0) << "masked loading would make holes in the back";

  ASSERT_EQ(frame->width, 225);
  ASSERT_EQ(frame->height, 171);
  ASSERT_TRUE(media::format_has_alpha(frame->format));
  // The card (5 px in from each side) shows through, apart from the rounded inner corners.
  int covered = 0;
  for (int y = 5; y < 166; ++y)
    for (int x = 5; x < 220; ++x) {
      bool corner = (x < 14 || x >= 211) && (y < 14 || y >= 157);
      if (!corner && alpha(media::read_pixel(*frame, x, y)) != 0) ++covered;
    }
  EXPECT_EQ(covered, 0);
  // The 5 px border is solid along every side (away from the rounded corners).
  for (int i = 1; i < 4; ++i) {
    for (int t = 20; t < 150; t += 10) {
      EXPECT_EQ(alpha(media::read_pixel(*frame, 10 + t, i)), 255);
      EXPECT_EQ(alpha(media::read_pixel(*frame, 10 + t, 170 - i)), 255);
      EXPECT_EQ(alpha(media::read_pixel(*frame, i, t)), 255);
      EXPECT_EQ(alpha(media::read_pixel(*frame, 224 - i, t)), 255);
    }
  }
  EXPECT_EQ(alpha(media::read_pixel(*frame, 0, 0)), 0) << "rounded outer corners";
}
