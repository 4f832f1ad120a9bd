// Colouring without a window: the layout taken from the palette's size, the click zones (palette,
// panel, the drawing's first column), picks that recolour the indicator, fills of the drawing, the
// unlock, and the drawing cycle of the right click.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "activities/register.hpp"
#include "activities/colour.hpp"
#include "app/activity.hpp"
#include "media/events.hpp"
#include "media/pixmap.hpp"
#include "tests/unit/test_world.hpp"

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
    c.init();
    c.setup();
    c.turtle.screen = split_drawing();
  }
  app::Outcome click(int x, int y) {
    
    return c.click(tw::at(x, y));
  }
  uint32_t drawing(int x, int y) const { return read_pixel(c.turtle.screen, x, y); }
  // 1: a colour was picked, 2: the drawing was clicked, 3: both.
  int progress() const { return (c.picked ? 1 : 0) | (c.filled ? 2 : 0); }

  tw::World world;
  TColour c{world.context};
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
  EXPECT_EQ(progress(), 0);
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
    EXPECT_EQ(progress(), 1);
  }
  EXPECT_EQ(click(c.sx + c.sw / 2, c.sy + c.sh / 2), app::Outcome::Nothing) << "a pick alone finishes nothing";

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
  EXPECT_EQ(progress(), 0);

  // Before any pick the fill is near-white, so a filled area stays apart from its white outline
  // and the next fill cannot run into the lines.
  click(257, 10);
  EXPECT_EQ(progress(), 2);
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

TEST_F(ColourTest, PickAndFillInEitherOrderFinish) {
  EXPECT_EQ(click(600, 300), app::Outcome::Nothing);
  EXPECT_EQ(click(700, 300), app::Outcome::Nothing) << "fills alone finish nothing";
  EXPECT_EQ(click(c.sx + 3, c.sy + 3), app::Outcome::Finished);
  EXPECT_EQ(progress(), 3);
  EXPECT_EQ(click(600, 300), app::Outcome::Finished) << "from then on every click counts";

  // The other order.
  TColour d{world.context};
  d.init();
  d.setup();
  
  EXPECT_EQ(d.click(tw::at(d.sx + 3, d.sy + 3)), app::Outcome::Nothing);
  
  EXPECT_EQ(d.click(tw::at(900, 700)), app::Outcome::Finished);
}

TEST_F(ColourTest, RightClickBringsTheNextDrawingUncoloured) {
  click(c.sx + 3, c.sy + 3);
  click(600, 300);
  const uint32_t picked = c.rgb;
  const media::PixmapPtr coloured = c.turtle.screen;
  c.click(tw::right_at(0, 0));
  EXPECT_EQ(c.pattern, 2);
  EXPECT_NE(c.turtle.screen, coloured) << "a fresh drawing";
  EXPECT_EQ(c.rgb, picked);
  EXPECT_EQ(progress(), 3);
  for (int i = 0; i < 5; ++i) c.click(tw::right_at(0, 0));
  EXPECT_EQ(c.pattern, 7);
  c.click(tw::right_at(0, 0));
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

TEST(ColourBuild, TheMakerAndAMissingDataFolder) {
  tw::World world;
  world.assets.data_dir = "/nonexistent-pipkin-data/";
  const app::ActivityMaker make = activities::activity_table()[7];
  ASSERT_TRUE(make);
  app::ActivityPtr a = make(world.context);
  ASSERT_TRUE(a);
  auto* c = dynamic_cast<TColour*>(a.get());
  ASSERT_TRUE(c);
  EXPECT_EQ(c->pattern, 1);
  // Without its pictures the activity still draws and takes clicks without touching anything.
  c->setup();
  a->draw();
  for (auto [x, y] : {std::pair{10, 10}, {128, 700}, {500, 500}}) {
    
    a->click(tw::at(x, y));
  }
  a->click(tw::right_at(0, 0));
  EXPECT_EQ(c->pattern, 2);
}
