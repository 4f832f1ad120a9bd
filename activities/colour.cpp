#include "activities/colour.hpp"

#include <memory>

#include "activities/flood_fill.hpp"
#include "app/assets.hpp"
#include "app/furniture.hpp"
#include "media/draw.hpp"

namespace activities {
namespace {

constexpr int kPanelGrey = 100;
constexpr int kCircleY = 18;       // the indicator's top edge; the ring sits one pixel up and left
constexpr int kSwatchBottom = 30;  // free panel below the palette
constexpr int kSeedY = 23;         // the indicator's fill starts at (sx + 5, 23) of its pixmap
constexpr int kSeedDx = 5;
constexpr uint32_t kStartColour = 0xFFFAFAFAu;

}  // namespace

void TColour::init() {
  const app::Assets& s = ctx_.assets;
  turtle.init();
  pattern = 1;
  swatch = media::load_pixmap(s.data_dir + "colour/swatch.bmp");
  sw = media::pixmap_width(swatch);
  sh = media::pixmap_height(swatch);
  sx = (s.screen_w - s.screen_h - sw) / 2;
  sy = s.screen_h - kSwatchBottom - sh;
  // Near-white until the first pick: a pure white fill would join an area to its white outlines, and
  // the next fill would then recolour the lines as well.
  rgb = kStartColour;
  circle = media::load_pixmap(s.data_dir + "colour/circle.bmp");
  ring = media::load_image(s.data_dir + "colour/circle.png", media::IMG_DEFAULT);
  picked = filled = false;
}

void TColour::setup() {
  turtle.pattern(pattern);
  turtle.finish();
}

void TColour::draw() const {
  const app::Assets& s = ctx_.assets;
  {
    media::SavedDrawState saved;
    media::set_clear_colour(kPanelGrey, kPanelGrey, kPanelGrey);
    media::cls();
  }
  media::draw_pixmap(circle, sx, kCircleY);
  media::draw_image(ring, static_cast<float>(sx - 1), static_cast<float>(kCircleY - 1), 0);
  media::draw_pixmap(swatch, sx, sy);
  media::draw_pixmap(turtle.screen, s.screen_w - s.screen_h, 0);
}

app::Outcome TColour::click(const app::PointerInput& at) {
  return at.button == media::Button::Right ? next_drawing() : colour_at(at.x, at.y);
}

// Once a colour was picked and the drawing clicked, every click counts as a finished game.
app::Outcome TColour::colour_at(int mx, int my) {
  const app::Assets& s = ctx_.assets;
  const int panel = s.screen_w - s.screen_h;
  const StopCheck stop = [this] { return ctx_.requests.stop_asked(); };
  if (mx >= sx && mx <= sx + sw - 1 && my >= sy && my <= sy + sh - 1) {
    rgb = media::read_pixel(swatch, mx - sx, my - sy);
    flood_fill(rgb, sx + kSeedDx, kSeedY, circle, stop);
    picked = true;
  } else if (mx > panel) {
    // The drawing's first column never takes a click.
    flood_fill(rgb, mx - panel, my, turtle.screen, stop);
    filled = true;
  }
  return picked && filled ? app::Outcome::Finished : app::Outcome::Nothing;
}

app::Outcome TColour::next_drawing() {
  ctx_.requests.show_thinking();
  pattern = pattern + 1;
  if (pattern > turtle.patterns) pattern = 1;
  setup();
  return app::Outcome::Nothing;
}

}  // namespace activities
