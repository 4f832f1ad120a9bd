#include <gtest/gtest.h>

#include <cstdlib>

#include "activities/flood_fill.hpp"
#include "media/display/display.hpp"
#include "media/display/draw.hpp"
#include "media/display/target.hpp"
#include "media/display/saved_draw_state.hpp"
#include "media/display/font.hpp"
#include "media/display/image.hpp"
#include "tests/render/render_util.hpp"

using namespace media;

namespace {

int chan(uint32_t argb, int shift) { return (argb >> shift) & 255; }

void expect_rgb(uint32_t got, int r, int g, int b, int tol = 1) {
  EXPECT_LE(std::abs(chan(got, 16) - r), tol) << std::hex << got;
  EXPECT_LE(std::abs(chan(got, 8) - g), tol) << std::hex << got;
  EXPECT_LE(std::abs(chan(got, 0) - b), tol) << std::hex << got;
}

ImagePtr solid(int w, int h, uint32_t argb, int flags = 0) {
  return rt::make_image(w, h, [argb](int, int) { return argb; }, flags);
}

}  // namespace

TEST(Draw, BlendModesOnAKnownTexture) {
  // Texel (200, 50, 0) at alpha 128 over a (100, 100, 100) background.
  ImagePtr img = solid(4, 4, 0x80C83200);
  struct Case {
    Blend mode;
    int r, g, b;
  } cases[] = {
      {Blend::Solid, 200, 50, 0},
      {Blend::Mask, 200, 50, 0},     // alpha 128 passes the 0.5 test and is drawn opaque
      {Blend::Alpha, 150, 75, 50},   // src * a + dst * (1 - a)
      {Blend::Light, 200, 125, 100}, // src * a + dst
      {Blend::Shade, 78, 20, 0},     // src * dst
  };
  for (const Case& c : cases) {
    rt::fresh(100, 100, 100);
    set_blend(c.mode);
    draw_image(img, 10, 10, 0);
    SCOPED_TRACE(static_cast<int>(c.mode));
    expect_rgb(rt::screen_pixel(11, 11), c.r, c.g, c.b);
    expect_rgb(rt::screen_pixel(14, 14), 100, 100, 100, 0);  // just outside the 4x4 image
  }
  // Mask drops alpha below one half.
  rt::fresh(100, 100, 100);
  draw_image(solid(2, 2, 0x7FFF0000), 20, 20, 0);
  expect_rgb(rt::screen_pixel(20, 20), 100, 100, 100, 0);
  // Colour and alpha multiply the texels.
  rt::fresh();
  set_blend(Blend::Alpha);
  set_colour(128, 255, 0);
  set_alpha(0.5f);
  draw_image(solid(2, 2, 0xFFFFFFFF), 30, 30, 0);
  expect_rgb(rt::screen_pixel(30, 30), 64, 128, 0);
  rt::fresh();
}

TEST(Draw, RotationScaleAndMirroring) {
  // 4x2: top row red, bottom row blue; handle at the centre.
  ImagePtr img = rt::make_image(4, 2, [](int, int y) { return y == 0 ? 0xFFFF0000u : 0xFF0000FFu; }, 0);
  mid_handle(img);
  EXPECT_FLOAT_EQ(img->handle_x, 2.0f);
  rt::fresh();
  set_transform(90, 2, 2);
  draw_image(img, 100, 100, 0);
  set_transform(0, 1, 1);
  // A quarter turn clockwise, twice as large: 4 wide (98..101) and 8 tall (96..103); the top row
  // lands on the right.
  expect_rgb(rt::screen_pixel(101, 97), 255, 0, 0, 0);
  expect_rgb(rt::screen_pixel(100, 103), 255, 0, 0, 0);
  expect_rgb(rt::screen_pixel(98, 102), 0, 0, 255, 0);
  expect_rgb(rt::screen_pixel(99, 96), 0, 0, 255, 0);
  for (auto [x, y] : {std::pair{102, 100}, {97, 100}, {100, 95}, {100, 104}})
    expect_rgb(rt::screen_pixel(x, y), 0, 0, 0, 0);

  // A negative x scale mirrors about the handle (here the left edge).
  ImagePtr bar = rt::make_image(4, 1, [](int x, int) { return x == 0 ? 0xFFFF0000u : 0xFF0000FFu; }, 0);
  rt::fresh();
  set_scale(-1, 1);
  draw_image(bar, 200, 200, 0);
  set_scale(1, 1);
  expect_rgb(rt::screen_pixel(199, 200), 255, 0, 0, 0);
  expect_rgb(rt::screen_pixel(196, 200), 0, 0, 255, 0);
  expect_rgb(rt::screen_pixel(200, 200), 0, 0, 0, 0);

  // An odd width gives a fractional handle.
  ImagePtr odd = solid(101, 3, 0xFFFFFFFF);
  mid_handle(odd);
  EXPECT_FLOAT_EQ(odd->handle_x, 50.5f);
}

TEST(Draw, RectanglesAndLines) {
  rt::fresh();
  set_colour(0, 255, 0);
  draw_rect(10, 10, 5, 3);
  draw_line(30, 10, 40, 10, false);
  draw_line(30, 20, 40, 25, true);
  set_colour(255, 255, 255);
  expect_rgb(rt::screen_pixel(10, 10), 0, 255, 0, 0);
  expect_rgb(rt::screen_pixel(14, 12), 0, 255, 0, 0);
  expect_rgb(rt::screen_pixel(15, 12), 0, 0, 0, 0);
  expect_rgb(rt::screen_pixel(14, 13), 0, 0, 0, 0);
  // A line leaves its end point out unless asked.
  expect_rgb(rt::screen_pixel(30, 10), 0, 255, 0, 0);
  expect_rgb(rt::screen_pixel(39, 10), 0, 255, 0, 0);
  expect_rgb(rt::screen_pixel(40, 10), 0, 0, 0, 0);
  expect_rgb(rt::screen_pixel(30, 20), 0, 255, 0, 0);
  expect_rgb(rt::screen_pixel(40, 25), 0, 255, 0, 0);
  // Exactly one pixel per column on a shallow line.
  PixmapPtr band = grab_pixmap(30, 19, 11, 8);
  for (int x = 0; x < 11; ++x) {
    int lit = 0;
    for (int y = 0; y < 8; ++y) lit += (read_pixel(*band, x, y) & 0xFFFFFF) != 0;
    EXPECT_EQ(lit, 1) << "column " << x;
  }
}

TEST(Draw, PixmapsAreWrittenOpaqueAndUntransformed) {
  rt::fresh(9, 9, 9);
  PixmapPtr p = create_pixmap(2, 2, PF_RGBA);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) write_pixel(*p, x, y, 0x00C86432);  // alpha 0
  set_blend(Blend::Alpha);
  set_alpha(0.2f);
  set_colour(10, 10, 10);
  set_transform(30, 3, 3);
  draw_pixmap(p, 50, 50);
  EXPECT_EQ(blend(), Blend::Alpha);  // the set mode is back in force
  set_transform(0, 1, 1);
  expect_rgb(rt::screen_pixel(50, 50), 200, 100, 50, 0);
  expect_rgb(rt::screen_pixel(51, 51), 200, 100, 50, 0);
  expect_rgb(rt::screen_pixel(52, 52), 9, 9, 9, 0);
  expect_rgb(rt::screen_pixel(49, 50), 9, 9, 9, 0);
  rt::fresh();
}

TEST(Draw, GrabIntoAMaskedImage) {
  rt::fresh();
  set_colour(255, 0, 0);
  draw_rect(101, 100, 3, 1);  // pixels 101..103 red, 100 stays black
  set_colour(255, 255, 255);
  ImagePtr img = create_image(4, 1, -1);
  ASSERT_TRUE(img);
  EXPECT_EQ(img->flags, 1 | 2 | 8);
  grab_image(img, 100, 100);
  // The black pixel became transparent, tinted by its one non-mask neighbour.
  EXPECT_EQ(read_pixel(*img->source, 0, 0), 0x00FF0000u);
  EXPECT_EQ(read_pixel(*img->source, 1, 0), 0xFFFF0000u);
  // Drawn under Mask the transparent pixel leaves the background alone.
  rt::fresh(0, 0, 255);
  draw_image(img, 10, 10, 0);
  expect_rgb(rt::screen_pixel(10, 10), 0, 0, 255, 0);
  expect_rgb(rt::screen_pixel(11, 10), 255, 0, 0, 0);
  // A grab of the whole screen and of a small square.
  EXPECT_EQ(grab_pixmap(0, 0, 1024, 768)->width, 1024);
  PixmapPtr sq = grab_pixmap(5, 5, 150, 150);
  EXPECT_EQ(read_pixel(*sq, 5, 5), 0xFF0000FFu);
  EXPECT_EQ(read_pixel(*sq, 6, 5), 0xFFFF0000u);
}

TEST(Draw, PresentLeavesTheEarlierFrameInTheBackBuffer) {
  rt::fresh(255, 0, 0);
  present(0);
  rt::fresh(0, 255, 0);
  present(0);
  expect_rgb(rt::screen_pixel(500, 400), 255, 0, 0, 0);
  present(0);
  expect_rgb(rt::screen_pixel(500, 400), 0, 255, 0, 0);
}

TEST(Draw, ImagesCollideOnTheTopAlphaBit) {
  reset_draw_state();
  ImagePtr probe = solid(1, 1, 0xFFFFFFFF);
  ImagePtr half = rt::make_image(2, 2, [](int x, int y) { return x == 0 && y == 0 ? 0x80FFFFFFu : 0u; }, 0);
  ImagePtr below = rt::make_image(2, 2, [](int x, int y) { return x == 0 && y == 0 ? 0x7FFFFFFFu : 0u; }, 0);
  EXPECT_TRUE(images_collide(half, 10, 10, probe, 10, 10));
  EXPECT_FALSE(images_collide(half, 10, 10, probe, 11, 10));  // transparent part
  EXPECT_FALSE(images_collide(below, 10, 10, probe, 10, 10));
  EXPECT_FALSE(images_collide(probe, 10, 10, below, 10, 10));  // either side counts

  // Under a quarter turn a 10x2 bar at (100, 100) covers x 98..99, y 100..109.
  ImagePtr bar = solid(10, 2, 0xFFFFFFFF);
  EXPECT_TRUE(images_collide(bar, 100, 100, probe, 105, 100));
  set_rotation(90);
  EXPECT_TRUE(images_collide(bar, 100, 100, probe, 99, 105));
  EXPECT_FALSE(images_collide(bar, 100, 100, probe, 101, 105));
  EXPECT_FALSE(images_collide(bar, 100, 100, probe, 99, 112));
  set_rotation(0);
  // Handles count.
  mid_handle(bar);
  EXPECT_TRUE(images_collide(bar, 100, 100, probe, 95, 99));
  EXPECT_FALSE(images_collide(bar, 100, 100, probe, 105, 99));
}

TEST(Draw, TextWidthHeightAndPlacement) {
  const char* path = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  FontPtr f = load_font(path, 20, FONT_SMOOTH);
  ASSERT_TRUE(f);
  set_font(f);
  int w = text_width("Pipkin 2.1");
  EXPECT_GT(w, 60);
  EXPECT_LT(w, 140);
  EXPECT_EQ(text_width("ab"), text_width("a") + text_width("b"));
  EXPECT_GE(text_height(), 20);
  EXPECT_LE(text_height(), 30);
  rt::fresh();
  set_colour(255, 255, 0);
  draw_text("HHHH", 300, 300);
  set_colour(255, 255, 255);
  int hw = text_width("HHHH");
  PixmapPtr area = grab_pixmap(290, 290, hw + 30, 50);
  int minx = 1000, maxx = -1, miny = 1000, maxy = -1;
  for (int y = 0; y < area->height; ++y)
    for (int x = 0; x < area->width; ++x)
      if (read_pixel(*area, x, y) & 0xFFFFFF) {
        minx = std::min(minx, x), maxx = std::max(maxx, x);
        miny = std::min(miny, y), maxy = std::max(maxy, y);
      }
  // The text's top-left corner is at (300, 300): ink starts just right of and below it.
  EXPECT_GE(minx, 10);
  EXPECT_LE(minx, 14);
  EXPECT_LE(maxx, 10 + hw);
  EXPECT_GE(miny, 10);
  EXPECT_LE(maxy, 10 + text_height());
  set_font(nullptr);
}

TEST(Draw, BuiltInFontWhenNoFontIsSet) {
  set_font(nullptr);
  EXPECT_EQ(text_width("AB"), 24);
  EXPECT_EQ(text_height(), 18);
  rt::fresh();
  draw_text("|", 100, 100);
  // The bar is column 2 of the 5x7 glyph, doubled: x 104..105, rows 102..115.
  expect_rgb(rt::screen_pixel(104, 102), 255, 255, 255, 0);
  expect_rgb(rt::screen_pixel(105, 115), 255, 255, 255, 0);
  expect_rgb(rt::screen_pixel(103, 108), 0, 0, 0, 0);
  expect_rgb(rt::screen_pixel(104, 116), 0, 0, 0, 0);
}

TEST(Draw, ClipKeepsDrawsAndClearsInsideItsRectangle) {
  rt::fresh(10, 20, 30);
  {
    ScopedClip outer(100, 50, 40, 30);
    {
      ScopedClip inner(120, 60, 5, 5);
      set_clear_colour(0, 255, 0);
      cls();
    }
    // The outer limit is back: the draw fills its rectangle but nothing outside it.
    draw_image(solid(200, 200, 0xFFFF0000), 90, 40, 0);
  }
  expect_rgb(rt::screen_pixel(100, 50), 255, 0, 0, 0);
  expect_rgb(rt::screen_pixel(139, 79), 255, 0, 0, 0);
  expect_rgb(rt::screen_pixel(99, 50), 10, 20, 30, 0);
  expect_rgb(rt::screen_pixel(140, 79), 10, 20, 30, 0);
  expect_rgb(rt::screen_pixel(100, 80), 10, 20, 30, 0);
  // The inner clear was overdrawn; the clear colour outside any limit reaches everywhere again.
  expect_rgb(rt::screen_pixel(122, 62), 255, 0, 0, 0);
  set_clear_colour(0, 0, 255);
  cls();
  expect_rgb(rt::screen_pixel(0, 0), 0, 0, 255, 0);
  expect_rgb(rt::screen_pixel(1023, 767), 0, 0, 255, 0);
  rt::fresh();
}

// draw_pixmap keeps one texture per pixmap while its pixels stay the same; every way of changing
// them shows on the next draw.
TEST(Draw, PixmapTextureIsKeptUntilThePixelsChange) {
  rt::fresh();
  PixmapPtr p = create_pixmap(8, 8, PF_RGBA);
  activities::flood_fill(0xFF102030u, 0, 0, p);
  draw_pixmap(p, 10, 10);
  expect_rgb(rt::screen_pixel(13, 13), 0x10, 0x20, 0x30, 0);
  const void* first = p->texture_cache.texture.get();
  ASSERT_NE(first, nullptr);
  draw_pixmap(p, 10, 10);
  EXPECT_EQ(p->texture_cache.texture.get(), first);  // unchanged: no new texture
  EXPECT_EQ(p->texture_cache.generation, p->generation);

  write_pixel(*p, 3, 3, 0xFFFF0000u);
  uint64_t before_fill = p->generation;
  draw_pixmap(p, 10, 10);
  expect_rgb(rt::screen_pixel(13, 13), 255, 0, 0, 0);
  expect_rgb(rt::screen_pixel(14, 13), 0x10, 0x20, 0x30, 0);

  activities::flood_fill(0xFF00FF00u, 0, 0, p);
  EXPECT_NE(p->generation, before_fill);
  draw_pixmap(p, 10, 10);
  expect_rgb(rt::screen_pixel(10, 10), 0, 255, 0, 0);
  expect_rgb(rt::screen_pixel(13, 13), 255, 0, 0, 0);

  // Written directly, then marked.
  p->row(0)[0] = 0;
  p->row(0)[1] = 0;
  p->row(0)[2] = 255;
  p->changed();
  draw_pixmap(p, 10, 10);
  expect_rgb(rt::screen_pixel(10, 10), 0, 0, 255, 0);
  EXPECT_EQ(p->texture_cache.texture.get(), first);  // same size: the texture is filled again

  // A copy has pixels of its own and its own texture; a grey pixmap is drawn through RGBA.
  auto copy = std::make_shared<Pixmap>(*p);
  EXPECT_EQ(copy->texture_cache.texture, nullptr);
  write_pixel(*copy, 0, 0, 0xFFFFFFFFu);
  draw_pixmap(copy, 30, 10);
  draw_pixmap(p, 10, 10);
  expect_rgb(rt::screen_pixel(30, 10), 255, 255, 255, 0);
  expect_rgb(rt::screen_pixel(10, 10), 0, 0, 255, 0);
  PixmapPtr grey = create_pixmap(3, 3, PF_GREY);
  write_pixel(*grey, 1, 1, 0xFF808080u);
  draw_pixmap(grey, 50, 10);
  expect_rgb(rt::screen_pixel(51, 11), 128, 128, 128, 0);
  expect_rgb(rt::screen_pixel(50, 10), 0, 0, 0, 0);
  rt::fresh();
}

TEST(Draw, FrameCachePutsBackTheKeptFrameForTheSameKeyAndState) {
  rt::fresh(10, 20, 30);
  draw_image(rt::make_image(64, 48, [](int x, int y) { return 0xFF000000u | uint32_t(x * 4) << 16 | uint32_t(y * 5); }, 0),
             100, 200, 0);
  FrameCache cache;
  EXPECT_FALSE(cache.put_back({1, 2}));  // nothing kept yet
  cache.keep({1, 2});
  const uint32_t corner = rt::screen_pixel(163, 247), inside = rt::screen_pixel(130, 210);

  rt::fresh(200, 0, 0);
  set_clear_colour(10, 20, 30);  // the state the frame was kept in
  EXPECT_FALSE(cache.put_back({1, 3}));  // another key: nothing drawn
  expect_rgb(rt::screen_pixel(130, 210), 200, 0, 0, 0);
  set_blend(Blend::Alpha);
  EXPECT_FALSE(cache.put_back({1, 2}));  // another drawing state
  set_blend(Blend::Mask);
  ASSERT_TRUE(cache.put_back({1, 2}));
  EXPECT_EQ(rt::screen_pixel(163, 247), corner);  // right way up, pixel for pixel
  EXPECT_EQ(rt::screen_pixel(130, 210), inside);
  expect_rgb(rt::screen_pixel(0, 0), 10, 20, 30, 0);
  expect_rgb(rt::screen_pixel(1023, 767), 10, 20, 30, 0);
  EXPECT_EQ(blend(), Blend::Mask);

  FrameCache copy = cache;  // starts empty
  EXPECT_FALSE(copy.put_back({1, 2}));
  cache.forget();
  EXPECT_FALSE(cache.put_back({1, 2}));
  rt::fresh();
}

// The font and the clip set inside a SavedDrawState are gone from the screen's point of view after it.
TEST(Draw, SavedStateBringsTheFontAndTheClipBack) {
  rt::fresh(10, 20, 30);
  set_font(nullptr);
  FontPtr big = load_font("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 40, FONT_SMOOTH);
  ASSERT_TRUE(big);
  {
    SavedDrawState saved;
    set_font(big);
    set_clip(100, 100, 10, 10);
    set_clear_colour(0, 255, 0);
    cls();
    expect_rgb(rt::screen_pixel(100, 100), 0, 255, 0, 0);
    expect_rgb(rt::screen_pixel(99, 100), 10, 20, 30, 0);
    expect_rgb(rt::screen_pixel(110, 105), 10, 20, 30, 0);
  }
  // No limit and the clear colour from before: the clear reaches the corner and the green square.
  cls();
  expect_rgb(rt::screen_pixel(100, 100), 10, 20, 30, 0);
  expect_rgb(rt::screen_pixel(1023, 767), 10, 20, 30, 0);
  // The built-in font again: its bar lands where BuiltInFontWhenNoFontIsSet finds it.
  draw_text("|", 100, 100);
  expect_rgb(rt::screen_pixel(104, 102), 255, 255, 255, 0);
  expect_rgb(rt::screen_pixel(103, 108), 10, 20, 30, 0);
  rt::fresh();
}

namespace {

// One of every kind of draw, in every blend, at fractional places, turned, clipped and over text.
void draw_mixed_scene() {
  set_clear_colour(30, 60, 90);
  cls();
  ImagePtr ramp = rt::make_image(64, 48, [](int x, int y) {
    return (x + y) % 7 == 0 ? 0x40FFFFFFu : 0xFF000000u | uint32_t(x * 4) << 16 | uint32_t(y * 5) << 8 | 0x30u;
  }, IMG_FILTERED);
  draw_image(ramp, 100.5f, 200.25f, 0);
  set_blend(Blend::Alpha);
  set_alpha(0.5f);
  set_colour(250, 120, 10);
  draw_rect(300, 300, 100, 50);
  set_alpha(1.0f);
  set_colour(255, 255, 255);
  mid_handle(ramp);
  set_transform(30, 1.5f, 0.75f);
  draw_image(ramp, 500, 400, 0);
  set_transform(-70, 2, 2);
  set_blend(Blend::Light);
  draw_image(ramp, 320, 320, 0);
  set_transform(0, 1, 1);
  set_blend(Blend::Shade);
  draw_image(ramp, 120, 210, 0);
  set_blend(Blend::Mask);
  set_colour(0, 255, 0);
  draw_line(10, 10, 300, 130, true);
  {
    ScopedClip clip(600, 100, 50, 50);
    set_clear_colour(200, 0, 200);
    cls();
    draw_rect(590, 90, 40, 40);
  }
  set_colour(255, 255, 0);
  set_font(load_font("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 30, FONT_SMOOTH));
  draw_text("Pipkin", 700, 600);
  set_font(nullptr);
  set_colour(255, 255, 255);
  PixmapPtr p = create_pixmap(3, 2, PF_RGBA);
  for (int i = 0; i < 6; ++i) write_pixel(*p, i % 3, i / 3, 0xFF000000u | uint32_t(i * 40) << 16);
  draw_pixmap(p, 20, 700);
}

int differing_pixels(const PixmapPtr& a, const PixmapPtr& b) {
  int n = 0;
  for (int y = 0; y < a->height; ++y)
    for (int x = 0; x < a->width; ++x) n += read_pixel(*a, x, y) != read_pixel(*b, x, y);
  return n;
}

}  // namespace

// Drawn into a target, the scene comes out exactly as in the back buffer, and it stays on the image
// through presents that reuse both buffers.
TEST(Draw, TargetImageHoldsWhatTheBackBufferWouldShowPixelForPixel) {
  rt::fresh();
  draw_mixed_scene();
  PixmapPtr direct = grab_pixmap(0, 0, kScreenW, kScreenH);
  EXPECT_EQ(read_pixel(*direct, 640, 140), 0xFFC800C8u) << "the clipped clear is in the scene";

  ImagePtr trail = create_image(kScreenW, kScreenH, 0);
  ASSERT_TRUE(trail);
  rt::fresh(255, 0, 0);
  {
    ScopedTarget target(trail);
    reset_draw_state();
    draw_mixed_scene();
    EXPECT_EQ(differing_pixels(grab_pixmap(0, 0, kScreenW, kScreenH), direct), 0) << "grabs read the target";
  }
  expect_rgb(rt::screen_pixel(640, 140), 255, 0, 0, 0);  // the back buffer was left alone
  for (int i = 0; i < 3; ++i) {
    rt::fresh(0, 0, 255 - i);
    present(0);
  }
  rt::fresh(0, 0, 200);
  draw_image(trail, 0, 0, 0);  // under Mask: the target is opaque everywhere
  PixmapPtr shown = grab_pixmap(0, 0, kScreenW, kScreenH);
  EXPECT_EQ(differing_pixels(shown, direct), 0);
  EXPECT_EQ(read_pixel(*shown, 0, 767), 0xFF1E3C5Au) << "right way up";
  rt::fresh();
}

// Presenting inside the scope shows the screen but drawing stays on the image; scopes nest; an image
// of another size is refused and the draws go on to the back buffer.
TEST(Draw, TargetScopesNestAndOutlastPresents) {
  ImagePtr outer = create_image(kScreenW, kScreenH, 0), inner = create_image(kScreenW, kScreenH, 0);
  ImagePtr small = create_image(100, 100, 0);
  rt::fresh(0, 0, 255);
  present(0);
  rt::fresh(0, 0, 255);  // both buffers blue
  {
    ScopedTarget a(outer);
    set_clear_colour(40, 40, 40);
    cls();
    set_colour(0, 255, 0);
    draw_rect(0, 0, 10, 10);
    present(0);
    draw_rect(20, 0, 10, 10);
    {
      ScopedTarget b(inner);
      cls();
      draw_rect(40, 0, 10, 10);
    }
    draw_rect(60, 0, 10, 10);  // the outer target is back
    set_colour(255, 255, 255);
  }
  for (int x : {5, 25, 45, 65}) expect_rgb(rt::screen_pixel(x, 5), 0, 0, 255, 0);
  present(0);
  for (int x : {5, 25, 45, 65}) expect_rgb(rt::screen_pixel(x, 5), 0, 0, 255, 0);
  draw_image(outer, 0, 0, 0);
  expect_rgb(rt::screen_pixel(5, 5), 0, 255, 0, 0);
  expect_rgb(rt::screen_pixel(25, 5), 0, 255, 0, 0);
  expect_rgb(rt::screen_pixel(45, 5), 40, 40, 40, 0);
  expect_rgb(rt::screen_pixel(65, 5), 0, 255, 0, 0);
  draw_image(inner, 0, 0, 0);
  expect_rgb(rt::screen_pixel(45, 5), 0, 255, 0, 0);
  expect_rgb(rt::screen_pixel(65, 5), 40, 40, 40, 0);

  rt::fresh(0, 0, 255);
  {
    ScopedTarget refused(small);
    set_colour(255, 0, 0);
    draw_rect(0, 0, 10, 10);
  }
  expect_rgb(rt::screen_pixel(5, 5), 255, 0, 0, 0);
  rt::fresh();
}
