// Colouring without a window: the layout taken from the palette's size, the click zones (palette,
// panel, the drawing's first column), picks that recolour the indicator, fills of the drawing, the
// unlock, and the drawing cycle of the right click.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "activities/register.hpp"
#include "activities/colour.hpp"
#include "app/activity.hpp"
#include "app/shell.hpp"
#include "media/events.hpp"
#include "media/pixmap.hpp"

using activities::TColour;
using media::read_pixel;

namespace {

constexpr uint32_t kBlue = 0xFF000046, kWhite = 0xFFFFFFFF, kNearWhite = 0xFFFAFAFA;

// A drawing of our own: dark blue with one white column at x = 100 splitting it in two.
media::PixmapPtr split_drawing() {
  auto p = media::create_pixmap(768, 768, media::PF_RGBA);
  for (int y = 0; y < 768; ++y)
    for (int x = 0; x < 768; ++x) media::write_pixel(*p, x, y, x == 100 ? kWhite : kBlue);
  return p;
}

class ColourTest : public testing::Test {
 protected:
  void SetUp() override {
    app::reset_shell();
    app::shell().data_dir = std::string(PIPKIN_DATA_DIR) + "/";
    app::shell().activity = 7;
    app::shell().level = 7;
    c.init();
    c.setup();
    c.turtle.screen = split_drawing();
  }
  void click(int x, int y) {
    media::move_pointer(x, y);
    c.left_click();
  }
  uint32_t drawing(int x, int y) const { return read_pixel(c.turtle.screen, x, y); }
  TColour c;
};

}  // namespace

TEST_F(ColourTest, InitPlacesPaletteAndIndicatorFromThePaletteSize) {
  ASSERT_TRUE(c.swatch) << "colour/swatch.bmp";
  ASSERT_TRUE(c.circle) << "colour/circle.bmp";
  EXPECT_TRUE(c.ring) << "colour/circle.png";
  EXPECT_EQ(c.sw, c.swatch->width);
  EXPECT_EQ(c.sh, c.swatch->height);
  EXPECT_EQ(c.sx, (256 - c.sw) / 2);
  EXPECT_EQ(c.sy, 768 - 30 - c.sh);
  EXPECT_GE(c.sx, 0);
  EXPECT_GT(c.sy, 18 + c.circle->height) << "the palette lies below the indicator";
  EXPECT_EQ(c.rgb, kNearWhite);
  EXPECT_EQ(c.progress, 0);
  EXPECT_EQ(c.pattern, 1);
  EXPECT_EQ(c.turtle.patterns, 7);
  // The indicator's seed point lies inside it.
  EXPECT_GE(c.circle->width, c.sx + 6);
  EXPECT_GE(c.circle->height, 24);
}

TEST_F(ColourTest, PicksTakeThePalettePixelAndRecolourTheIndicator) {
  // A point in the middle of each of a few patches, and the palette's four corner pixels.
  const int probes[][2] = {{c.sx + c.sw / 6, c.sy + c.sh / 10},
                           {c.sx + c.sw / 2, c.sy + c.sh / 2},
                           {c.sx + 5 * c.sw / 6, c.sy + 9 * c.sh / 10},
                           {c.sx, c.sy},
                           {c.sx + c.sw - 1, c.sy + c.sh - 1}};
  for (const auto& pr : probes) {
    SCOPED_TRACE(testing::Message() << pr[0] << "," << pr[1]);
    click(pr[0], pr[1]);
    const uint32_t want = read_pixel(c.swatch, pr[0] - c.sx, pr[1] - c.sy);
    EXPECT_EQ(c.rgb, want);
    // The indicator is one colour and takes the pick everywhere (its format keeps no alpha).
    EXPECT_EQ(read_pixel(c.circle, 0, 0), want | 0xFF000000u);
    EXPECT_EQ(read_pixel(c.circle, c.circle->width - 1, c.circle->height - 1), want | 0xFF000000u);
    EXPECT_EQ(c.progress, 1);
  }
  EXPECT_EQ(app::shell().level, 7) << "a pick alone unlocks nothing";

  // Just outside the palette on each side: no pick.
  click(c.sx + c.sw / 2, c.sy + c.sh / 2);
  const uint32_t kept = c.rgb;
  media::PixmapPtr before = std::make_shared<media::Pixmap>(*c.circle);
  for (auto [x, y] : {std::pair{c.sx + c.sw, c.sy + 10}, {c.sx - 1, c.sy + 10}, {c.sx + 10, c.sy - 1},
                      {c.sx + 10, c.sy + c.sh}, {c.sx + 10, 40}}) {
    click(x, y);
    EXPECT_EQ(c.rgb, kept) << x << "," << y;
  }
  EXPECT_EQ(c.circle->pixels, before->pixels);
  EXPECT_EQ(drawing(1, 10), kBlue);
}

TEST_F(ColourTest, ClicksRightOfThePanelFillTheDrawing) {
  // The drawing's first column never takes a click.
  click(256, 300);
  EXPECT_EQ(drawing(0, 300), kBlue);
  EXPECT_EQ(c.progress, 0);

  // Before any pick the fill is near-white, so a filled area stays apart from its white outline
  // and the next fill cannot run into the lines.
  click(257, 10);
  EXPECT_EQ(c.progress, 2);
  EXPECT_EQ(drawing(0, 0), kNearWhite);
  EXPECT_EQ(drawing(99, 767), kNearWhite);
  EXPECT_EQ(drawing(100, 0), kWhite) << "the area stays apart from its outline";
  EXPECT_EQ(drawing(101, 0), kBlue) << "the line holds the fill";
  click(c.sx + c.sw / 2, c.sy + c.sh / 2);
  click(257, 10);
  EXPECT_EQ(drawing(0, 0), c.rgb);
  EXPECT_EQ(drawing(100, 0), kWhite) << "refilling the area leaves the line alone";

  // The area right of the line takes the picked colour, up to the screen's right edge.
  click(1023, 767);
  EXPECT_EQ(drawing(767, 767), c.rgb);
  EXPECT_EQ(drawing(101, 0), c.rgb);
  EXPECT_EQ(drawing(100, 0), kWhite);
}

TEST_F(ColourTest, PickAndFillInEitherOrderUnlockOnce) {
  app::Shell& s = app::shell();
  click(600, 300);
  click(700, 300);
  EXPECT_EQ(s.level, 7) << "fills alone unlock nothing";
  click(c.sx + 3, c.sy + 3);
  EXPECT_EQ(s.level, 8);
  EXPECT_EQ(c.progress, 3);
  click(600, 300);
  click(c.sx + 3, c.sy + 3);
  EXPECT_EQ(s.level, 8) << "activity 7 no longer equals the level";

  // The other order, and a level beyond 7 that stays as it is.
  for (int level : {7, 9}) {
    SCOPED_TRACE(level);
    TColour d;
    d.init();
    d.setup();
    s.level = level;
    media::move_pointer(d.sx + 3, d.sy + 3);
    d.left_click();
    EXPECT_EQ(s.level, level);
    media::move_pointer(900, 700);
    d.left_click();
    EXPECT_EQ(s.level, level == 7 ? 8 : 9);
  }
}

TEST_F(ColourTest, RightClickBringsTheNextDrawingUncoloured) {
  click(c.sx + 3, c.sy + 3);
  click(600, 300);
  const uint32_t picked = c.rgb;
  const media::PixmapPtr coloured = c.turtle.screen;
  c.right_click();
  EXPECT_EQ(c.pattern, 2);
  EXPECT_NE(c.turtle.screen, coloured) << "a fresh drawing";
  EXPECT_EQ(c.rgb, picked);
  EXPECT_EQ(c.progress, 3);
  for (int i = 0; i < 5; ++i) c.right_click();
  EXPECT_EQ(c.pattern, 7);
  c.right_click();
  EXPECT_EQ(c.pattern, 1) << "seven drawings, then the first again";

  // setup makes the same drawing afresh, leaving colour and progress alone.
  c.turtle.screen = split_drawing();
  click(600, 300);
  const media::PixmapPtr filled = c.turtle.screen;
  c.setup();
  EXPECT_NE(c.turtle.screen, filled);
  EXPECT_EQ(c.pattern, 1);
  EXPECT_EQ(c.rgb, picked);
}

TEST(ColourBuild, TheShellsMakerAndAMissingDataFolder) {
  app::reset_shell();
  app::shell().data_dir = "/nonexistent-pipkin-data/";
  activities::register_plain<activities::TColour>(7);
  const app::ActivityMaker* make = app::activity_maker(7);
  ASSERT_TRUE(make);
  app::ActivityPtr a = (*make)(0, 0);
  ASSERT_TRUE(a);
  auto* c = dynamic_cast<TColour*>(a.get());
  ASSERT_TRUE(c);
  EXPECT_EQ(c->pattern, 1);
  // Without its pictures the activity still draws and takes clicks without touching anything.
  c->setup();
  a->draw();
  for (auto [x, y] : {std::pair{10, 10}, {128, 700}, {500, 500}}) {
    media::move_pointer(x, y);
    a->left_click();
  }
  a->right_click();
  EXPECT_EQ(c->pattern, 2);
}
