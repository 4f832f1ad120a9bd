#include "activities/kaleid.hpp"

#include <algorithm>
#include <memory>
#include <string>

#include "app/start/assets.hpp"
#include "media/input/clock.hpp"
#include "media/display/draw.hpp"
#include "media/display/saved_draw_state.hpp"
#include "media/files/log.hpp"

namespace activities {
namespace {

constexpr int kStepMs = 50;    // one degree per step, steps strictly more than this apart
constexpr int kPickTries = 1000;
constexpr int kRingMargin = 30;  // kept beyond the cut between the pointer and every screen edge

// The eight copies of the piece: rotation, scale x, scale y, and which quadrant centre (0 left or
// top, 1 right or bottom) across and down.
struct Copy {
  float rot, sx, sy;
  int qx, qy;
};
constexpr Copy kCopies[8] = {
    {0, 1, 1, 0, 0},  {0, -1, 1, 1, 0},  {0, 1, -1, 0, 1},  {0, -1, -1, 1, 1},
    {90, 1, 1, 1, 0}, {90, -1, 1, 1, 1}, {-90, 1, 1, 0, 1}, {-90, -1, 1, 0, 0},
};

}  // namespace

std::unique_ptr<Kaleidoscope> Kaleidoscope::make(const app::Context& context) {
  const app::Assets& s = context.assets;
  std::unique_ptr<Kaleidoscope> k(new Kaleidoscope(context));
  k->turning_ = media::create_image(s.screen_w, s.screen_h, media::IMG_DEFAULT);
  k->last_turn_ms_ = media::millisecs();
  k->mask_ = media::load_image(s.data_dir + "kaleid/mask.png", media::IMG_DEFAULT);
  k->ring_ = media::load_image(s.data_dir + "kaleid/ring.png", media::IMG_DEFAULT);
  if (!k->mask_ || !k->ring_) {
    media::log_error("kaleidoscope", "cannot start without kaleid/mask.png and kaleid/ring.png in " + s.data_dir);
    return nullptr;
  }
  if (!k->turning_) {
    media::log_error("kaleidoscope", "cannot start without a screen-sized image to hold the picture");
    return nullptr;
  }
  media::mid_handle(k->ring_);
  k->cut_size_ = media::image_width(k->mask_);
  k->take_picture();
  // The pattern starts in the middle, and the pointer with it.
  k->at_x_ = s.screen_w / 2;
  k->at_y_ = s.screen_h / 2;
  context.requests.move_pointer(k->at_x_, k->at_y_);
  return k;
}

// Every left click takes another picture and counts as a finished game.
app::Outcome Kaleidoscope::click(const app::PointerInput& at) {
  if (at.button == media::Button::Right) {
    show_behind_ = !show_behind_;
    return app::Outcome::Nothing;
  }
  take_picture();
  return app::Outcome::Finished;
}

app::Outcome Kaleidoscope::move(const app::PointerInput& to) {
  const app::Assets& s = ctx_.assets;
  const int m = cut_size_ + kRingMargin;
  at_x_ = std::clamp(to.x, m, std::max(m, s.screen_w - m));
  at_y_ = std::clamp(to.y, m, std::max(m, s.screen_h - m));
  if (at_x_ != to.x || at_y_ != to.y) ctx_.requests.move_pointer(at_x_, at_y_);
  return app::Outcome::Redraw;
}

void Kaleidoscope::take_picture() {
  const app::Assets& s = ctx_.assets;
  int count = static_cast<int>(s.picture_count());
  if (count == 0) return;  // nothing to show: the screen stays black
  int p = 0;
  if (count >= 2) {
    // Never the same picture twice in a row; the bound only guards a broken generator.
    int tries = 0;
    do p = media::rand(0, count - 1);
    while (p == picture_index_ && ++tries < kPickTries);
    if (p == picture_index_) p = (picture_index_ + 1) % count;
  }
  picture_index_ = p;
  media::draw_image(s.picture(static_cast<size_t>(p)), 0, 0, 0);
  media::grab_image(turning_, 0, 0);
  media::mid_handle(turning_);
  has_picture_ = true;
}

const Kaleidoscope::Box& Kaleidoscope::holes() const {
  const app::Assets& s = ctx_.assets;
  const media::Pixmap* src = turning_ ? turning_->source.get() : nullptr;
  if (src && src == holes_source_ && src->generation == holes_of_) return holes_;
  holes_source_ = src;
  holes_of_ = src ? src->generation : 0;
  holes_ = {0, 0, s.screen_w, s.screen_h};
  // Only an opaque-where-set RGBA copy laid exactly over the screen tells where it is transparent.
  if (!src || src->format != media::PF_RGBA || src->width != s.screen_w || src->height != s.screen_h ||
      turning_->handle_x != 0.5f * s.screen_w || turning_->handle_y != 0.5f * s.screen_h || s.screen_w % 2 ||
      s.screen_h % 2)
    return holes_;
  int x0 = src->width, y0 = src->height, x1 = -1, y1 = -1;
  for (int y = 0; y < src->height; ++y) {
    const uint8_t* row = src->row(y);
    for (int x = 0; x < src->width; ++x) {
      if (row[4 * x + 3] >= 128) continue;  // drawn: it passes the mask test
      x0 = std::min(x0, x);
      x1 = std::max(x1, x);
      y0 = std::min(y0, y);
      y1 = y;
    }
  }
  holes_ = x1 < 0 ? Box{} : Box{x0, y0, x1 - x0 + 1, y1 - y0 + 1};
  return holes_;
}

app::Outcome Kaleidoscope::update(int now_ms) {
  if (now_ms - last_turn_ms_ <= kStepMs) return app::Outcome::Nothing;
  turn_degrees_ = (turn_degrees_ + 1) % 360;
  last_turn_ms_ = now_ms;
  return app::Outcome::Redraw;
}

// One frame with the pattern at the pointer.
void Kaleidoscope::draw() const {
  const app::Assets& s = ctx_.assets;
  const int sw = s.screen_w, sh = s.screen_h;
  const int mx = at_x_, my = at_y_;
  const int r = cut_size_, half = r / 2;
  media::SavedDrawState saved;
  media::set_blend(media::Blend::Mask);

  // The turning picture, then the piece: the square whose bottom-right corner is the pointer, cut
  // through the mask (the mask's pure white drops out). Nothing is cleared first: where the turned
  // picture leaves gaps, the previous frame shows through.
  media::ImagePtr piece;
  if (has_picture_) {
    {
      // Of the turned picture only two parts can ever be seen: the square cut out, and what shows
      // through the holes of the upright picture. The rest is cleared or covered below, so it is
      // not drawn at all (drawing the same thing twice where the two overlap changes nothing).
      media::SavedDrawState turned;
      media::set_rotation(static_cast<float>(turn_degrees_));
      auto draw_turned = [&] {
        media::draw_image(turning_, static_cast<float>(sw / 2), static_cast<float>(sh / 2), 0);
      };
      {
        media::ScopedClip square(mx - r, my - r, r, r);
        draw_turned();
      }
      if (show_behind_) {
        const Box& box = holes();
        if (box.w > 0 && box.h > 0) {
          media::ScopedClip behind(box.x, box.y, box.w, box.h);
          draw_turned();
        }
      }
    }
    media::draw_image(mask_, static_cast<float>(mx - r), static_cast<float>(my - r), 0);
    piece = media::image_from_pixmap(media::mask_pixmap(media::grab_pixmap(mx - r, my - r, r, r), 255, 255, 255),
                                     media::IMG_DEFAULT);
    media::mid_handle(piece);
  }

  if (show_behind_ && has_picture_) {
    media::draw_image(turning_, static_cast<float>(sw / 2), static_cast<float>(sh / 2), 0);
  } else {
    media::set_clear_colour(0, 0, 0);
    media::cls();
  }
  if (piece) {
    media::SavedDrawState copies;
    for (const Copy& c : kCopies) {
      media::set_transform(c.rot, c.sx, c.sy);
      float x = static_cast<float>(c.qx ? mx + r - half : mx - half);
      float y = static_cast<float>(c.qy ? my + r - half : my - half);
      media::draw_image(piece, x, y, 0);
    }
  }
  media::draw_image(ring_, static_cast<float>(mx), static_cast<float>(my), 0);
}

}  // namespace activities
