#include "activities/colour.hpp"

#include <memory>

#include "activities/flood_fill.hpp"
#include "app/start/assets.hpp"
#include "media/decode/decode.hpp"
#include "media/display/draw.hpp"
#include "media/display/saved_draw_state.hpp"
#include "media/files/log.hpp"

namespace activities {
namespace {

constexpr int kPanelGrey = 100;
constexpr int kPaletteBottom = 30;  // free panel below the palette
constexpr int kSeedY = 23;          // the indicator's fill starts at (palette x + 5, 23) of its pixmap
constexpr int kSeedDx = 5;
constexpr uint32_t kStartColour = 0xFFFAFAFAu;

}  // namespace

Colouring::Colouring(const app::Context& context) : ctx_(context) {
  const app::Assets& s = ctx_.assets;
  palette_ = media::load_pixmap(s.data_dir + "colour/swatch.bmp");
  palette_w_ = media::pixmap_width(palette_);
  palette_h_ = media::pixmap_height(palette_);
  palette_x_ = (s.screen_w - s.screen_h - palette_w_) / 2;
  palette_y_ = s.screen_h - kPaletteBottom - palette_h_;
  // Near-white until the first pick: a pure white fill would join an area to its white outlines, and
  // the next fill would then recolour the lines as well.
  colour_ = kStartColour;
  indicator_ = media::load_pixmap(s.data_dir + "colour/circle.bmp");
  ring_ = media::load_image(s.data_dir + "colour/circle.png", media::IMG_DEFAULT);
}

std::unique_ptr<Colouring> Colouring::make(const app::Context& context) {
  std::unique_ptr<Colouring> colouring(new Colouring(context));
  colouring->setup();
  if (!colouring->drawing_) {
    media::log_error("colour", "the drawing to colour cannot be made");
    return nullptr;
  }
  return colouring;
}

void Colouring::setup() {
  turtle_.draw_pattern(drawing_number_);
  turtle_.finish();
  drawing_ = turtle_.drawing();
}

void Colouring::draw() const {
  const app::Assets& s = ctx_.assets;
  {
    media::SavedDrawState saved;
    media::set_clear_colour(kPanelGrey, kPanelGrey, kPanelGrey);
    media::cls();
  }
  media::draw_pixmap(indicator_, indicator_x(), kIndicatorY);
  media::draw_image(ring_, static_cast<float>(indicator_x() - 1), static_cast<float>(kIndicatorY - 1), 0);
  media::draw_pixmap(palette_, palette_x_, palette_y_);
  media::draw_pixmap(drawing_, s.screen_w - s.screen_h, 0);
}

app::Outcome Colouring::click(const app::PointerInput& at) {
  return at.button == media::Button::Right ? next_drawing() : colour_at(at.x, at.y);
}

// Once a colour was picked and the drawing clicked, every click counts as a finished game.
app::Outcome Colouring::colour_at(int x, int y) {
  const app::Assets& s = ctx_.assets;
  const int panel = s.screen_w - s.screen_h;
  const StopCheck stop = [this] { return ctx_.requests.stop_asked(); };
  if (x >= palette_x_ && x <= palette_x_ + palette_w_ - 1 && y >= palette_y_ && y <= palette_y_ + palette_h_ - 1) {
    colour_ = media::read_pixel(palette_, x - palette_x_, y - palette_y_);
    flood_fill(colour_, palette_x_ + kSeedDx, kSeedY, indicator_, stop);
    picked_ = true;
  } else if (x > panel) {
    // The drawing's first column never takes a click.
    flood_fill(colour_, x - panel, y, drawing_, stop);
    filled_ = true;
  }
  return picked_ && filled_ ? app::Outcome::Finished : app::Outcome::Nothing;
}

app::Outcome Colouring::next_drawing() {
  ctx_.requests.show_thinking();
  drawing_number_ = drawing_number_ % Turtle::kPatterns + 1;
  setup();
  return app::Outcome::Nothing;
}

}  // namespace activities
