// Colouring without a window: the layout taken from the palette's size, the click zones (palette,
// panel, the drawing's first column), picks that recolour the indicator, fills of the drawing, the
// unlock, and the drawing cycle of the right click.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "activities/register.hpp"
#include "activities/colour.hpp"
#include "app/shell/activity.hpp"
#include "media/input/events.hpp"
#include "media/decode/pixmap.hpp"
#include "tests/unit/test_world.hpp"

using activities::Colouring;
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
    c = Colouring::make(world.context);
    ASSERT_TRUE(c);
    c->colour_instead(split_drawing());
    px = c->palette_x();
    py = c->palette_y();
    pw = c->palette_width();
    ph = c->palette_height();
  }
  app::Outcome click(int x, int y) { return c->click(tw::at(x, y)); }
  uint32_t drawing(int x, int y) const { return read_pixel(c->drawing(), x, y); }
  // 1: a colour was picked, 2: the drawing was clicked, 3: both.
  int progress() const { return (c->colour_picked() ? 1 : 0) | (c->drawing_filled() ? 2 : 0); }

  tw::World world;
  std::unique_ptr<Colouring> c;
  int px = 0, py = 0, pw = 0, ph = 0;  // the palette's top-left corner on screen and its size
};

}  // namespace

TEST_F(ColourTest, MakePlacesPaletteAndIndicatorFromThePaletteSize) {
  ASSERT_TRUE(c->palette()) << "colour/swatch.bmp";
  ASSERT_TRUE(c->indicator()) << "colour/circle.bmp";
  EXPECT_TRUE(c->indicator_ring()) << "colour/circle.png";
  EXPECT_EQ(c->palette_width(), c->palette()->width);
  EXPECT_EQ(c->palette_height(), c->palette()->height);
  EXPECT_EQ(px, (256 - pw) / 2);
  EXPECT_EQ(py, 768 - 30 - ph);
  EXPECT_GE(px, 0);
  EXPECT_EQ(c->indicator_x(), px) << "the indicator is as far in as the palette";
  EXPECT_GT(py, Colouring::kIndicatorY + c->indicator()->height) << "the palette lies below the indicator";
  EXPECT_EQ(c->colour(), kNearWhite);
  EXPECT_EQ(progress(), 0);
  EXPECT_EQ(c->drawing_number(), 1);
  // The indicator's seed point lies inside it.
  EXPECT_GE(c->indicator()->width, px + 6);
  EXPECT_GE(c->indicator()->height, 24);
}

TEST_F(ColourTest, PicksTakeThePalettePixelAndRecolourTheIndicator) {
  // A point in the middle of each of a few patches, and the palette's four corner pixels.
  const int probes[][2] = {{px + pw / 6, py + ph / 10},
                           {px + pw / 2, py + ph / 2},
                           {px + 5 * pw / 6, py + 9 * ph / 10},
                           {px, py},
                           {px + pw - 1, py + ph - 1}};
  for (const auto& pr : probes) {
    SCOPED_TRACE(testing::Message() << pr[0] << "," << pr[1]);
    click(pr[0], pr[1]);
    const uint32_t want = read_pixel(c->palette(), pr[0] - px, pr[1] - py);
    EXPECT_EQ(c->colour(), want);
    // The indicator is one colour and takes the pick everywhere (its format keeps no alpha).
    EXPECT_EQ(read_pixel(c->indicator(), 0, 0), want | 0xFF000000u);
    EXPECT_EQ(read_pixel(c->indicator(), c->indicator()->width - 1, c->indicator()->height - 1), want | 0xFF000000u);
    EXPECT_EQ(progress(), 1);
  }
  EXPECT_EQ(click(px + pw / 2, py + ph / 2), app::Outcome::Nothing) << "a pick alone finishes nothing";

  // Just outside the palette on each side: no pick.
  click(px + pw / 2, py + ph / 2);
  const uint32_t kept = c->colour();
  media::PixmapPtr before = std::make_shared<media::Pixmap>(*c->indicator());
  for (auto [x, y] : {std::pair{px + pw, py + 10}, {px - 1, py + 10}, {px + 10, py - 1}, {px + 10, py + ph},
                      {px + 10, 40}}) {
    click(x, y);
    EXPECT_EQ(c->colour(), kept) << x << "," << y;
  }
  EXPECT_EQ(c->indicator()->pixels, before->pixels);
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
  click(px + pw / 2, py + ph / 2);
  click(257, 10);
  EXPECT_EQ(drawing(0, 0), c->colour());
  EXPECT_EQ(drawing(100, 0), kWhite) << "refilling the area leaves the line alone";

  // The area right of the line takes the picked colour, up to the screen's right edge.
  click(1023, 767);
  EXPECT_EQ(drawing(767, 767), c->colour());
  EXPECT_EQ(drawing(101, 0), c->colour());
  EXPECT_EQ(drawing(100, 0), kWhite);
}

TEST_F(ColourTest, PickAndFillInEitherOrderFinish) {
  EXPECT_EQ(click(600, 300), app::Outcome::Nothing);
  EXPECT_EQ(click(700, 300), app::Outcome::Nothing) << "fills alone finish nothing";
  EXPECT_EQ(click(px + 3, py + 3), app::Outcome::Finished);
  EXPECT_EQ(progress(), 3);
  EXPECT_EQ(click(600, 300), app::Outcome::Finished) << "from then on every click counts";

  // The other order.
  std::unique_ptr<Colouring> d = Colouring::make(world.context);
  ASSERT_TRUE(d);
  EXPECT_EQ(d->click(tw::at(px + 3, py + 3)), app::Outcome::Nothing);
  EXPECT_EQ(d->click(tw::at(900, 700)), app::Outcome::Finished);
}

TEST_F(ColourTest, RightClickBringsTheNextDrawingUncoloured) {
  click(px + 3, py + 3);
  click(600, 300);
  const uint32_t picked = c->colour();
  const media::PixmapPtr coloured = c->drawing();
  c->click(tw::right_at(0, 0));
  EXPECT_EQ(c->drawing_number(), 2);
  EXPECT_NE(c->drawing(), coloured) << "a fresh drawing";
  EXPECT_EQ(c->colour(), picked);
  EXPECT_EQ(progress(), 3);
  for (int i = 0; i < 5; ++i) c->click(tw::right_at(0, 0));
  EXPECT_EQ(c->drawing_number(), 7);
  c->click(tw::right_at(0, 0));
  EXPECT_EQ(c->drawing_number(), 1) << "seven drawings, then the first again";

  // setup makes the same drawing afresh, leaving colour and progress alone.
  c->colour_instead(split_drawing());
  click(600, 300);
  const media::PixmapPtr filled = c->drawing();
  c->setup();
  EXPECT_NE(c->drawing(), filled);
  EXPECT_EQ(c->drawing_number(), 1);
  EXPECT_EQ(c->colour(), picked);
}

// The maker builds the activity ready on its first drawing, with the thinking image shown meanwhile;
// without its pictures it is still built, draws, and takes clicks and right clicks.
TEST(ColourBuild, TheMakerYieldsItReadyEvenWithoutTheDataFolder) {
  tw::World world;
  const app::ActivityMaker make = activities::activity_table()[7];
  ASSERT_TRUE(make);
  app::ActivityPtr ready = make(world.context);
  ASSERT_TRUE(ready);
  EXPECT_EQ(world.requests.thinking, 1);
  auto* colouring = dynamic_cast<Colouring*>(ready.get());
  ASSERT_TRUE(colouring);
  EXPECT_EQ(colouring->drawing_number(), 1);
  ASSERT_TRUE(colouring->drawing()) << "the first drawing is made";
  EXPECT_EQ(colouring->drawing()->width, 768);
  EXPECT_EQ(colouring->drawing()->height, 768);
  EXPECT_TRUE(colouring->palette());

  world.assets.data_dir = "/nonexistent-pipkin-data/";
  app::ActivityPtr a = make(world.context);
  ASSERT_TRUE(a);
  auto* c = dynamic_cast<Colouring*>(a.get());
  ASSERT_TRUE(c);
  EXPECT_EQ(c->drawing_number(), 1);
  EXPECT_FALSE(c->palette());
  ASSERT_TRUE(c->drawing());
  // Without its pictures the activity still draws and takes clicks without touching anything.
  a->draw();
  for (auto [x, y] : {std::pair{10, 10}, {128, 700}, {500, 500}}) a->click(tw::at(x, y));
  a->click(tw::right_at(0, 0));
  EXPECT_EQ(c->drawing_number(), 2);
}
