#include "activities/kaleid.hpp"

#include <algorithm>
#include <memory>

#include "app/assets.hpp"
#include "media/clock.hpp"
#include "media/draw.hpp"

namespace activities {
namespace {

constexpr int kStepMs = 50;    // one degree per step, steps strictly more than this apart
constexpr int kPickTries = 1000;

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

void TKaleid::init() {
  const app::Assets& s = ctx_.assets;
  img = media::create_image(s.screen_w, s.screen_h, media::IMG_DEFAULT);
  ms = media::millisecs();
  mask = media::load_image(s.data_dir + "kaleid/mask.png", media::IMG_DEFAULT);
  ring = media::load_image(s.data_dir + "kaleid/ring.png", media::IMG_DEFAULT);
  media::mid_handle(ring);
  r = media::image_width(mask);
  r2 = r / 2;
  ind = 0;
  rot = 0;
  ring_w = 30;
  show = false;
  take_picture();
  // The pattern starts in the middle, and the pointer with it.
  at_x_ = s.screen_w / 2;
  at_y_ = s.screen_h / 2;
  ctx_.requests.move_pointer(at_x_, at_y_);
}

// Every left click takes another picture and counts as a finished game.
app::Outcome TKaleid::click(const app::PointerInput& at) {
  if (at.button == media::Button::Right) {
    show = !show;
    return app::Outcome::Nothing;
  }
  take_picture();
  return app::Outcome::Finished;
}

app::Outcome TKaleid::move(const app::PointerInput& to) {
  const app::Assets& s = ctx_.assets;
  const int m = r + ring_w;
  at_x_ = std::clamp(to.x, m, std::max(m, s.screen_w - m));
  at_y_ = std::clamp(to.y, m, std::max(m, s.screen_h - m));
  if (at_x_ != to.x || at_y_ != to.y) ctx_.requests.move_pointer(at_x_, at_y_);
  return app::Outcome::Redraw;
}

void TKaleid::take_picture() {
  const app::Assets& s = ctx_.assets;
  int count = static_cast<int>(s.picture_count());
  if (count == 0) return;  // nothing to show: the screen stays black
  int p = 0;
  if (count >= 2) {
    // Never the same picture twice in a row; the bound only guards a broken generator.
    int tries = 0;
    do p = media::rand(0, count - 1);
    while (p == ind && ++tries < kPickTries);
    if (p == ind) p = (ind + 1) % count;
  }
  ind = p;
  media::draw_image(s.picture(static_cast<size_t>(p)), 0, 0, 0);
  media::grab_image(img, 0, 0);
  media::mid_handle(img);
  taken = true;
}

const TKaleid::Box& TKaleid::holes() const {
  const app::Assets& s = ctx_.assets;
  const media::Pixmap* src = img ? img->source.get() : nullptr;
  if (src && src == holes_source_ && src->generation == holes_of_) return holes_;
  holes_source_ = src;
  holes_of_ = src ? src->generation : 0;
  holes_ = {0, 0, s.screen_w, s.screen_h};
  // Only an opaque-where-set RGBA copy laid exactly over the screen tells where it is transparent.
  if (!src || src->format != media::PF_RGBA || src->width != s.screen_w || src->height != s.screen_h ||
      img->handle_x != 0.5f * s.screen_w || img->handle_y != 0.5f * s.screen_h || s.screen_w % 2 || s.screen_h % 2)
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

app::Outcome TKaleid::update(int now_ms) {
  if (now_ms - ms <= kStepMs) return app::Outcome::Nothing;
  rot = (rot + 1) % 360;
  ms = now_ms;
  return app::Outcome::Redraw;
}

// One frame with the pattern at the pointer.
void TKaleid::draw() const {
  const app::Assets& s = ctx_.assets;
  const int sw = s.screen_w, sh = s.screen_h;
  const int mx = at_x_, my = at_y_;
  media::SavedDrawState saved;
  media::set_blend(media::Blend::Mask);

  // The turning picture, then the piece: the square whose bottom-right corner is the pointer, cut
  // through the mask (the mask's pure white drops out). Nothing is cleared first: where the turned
  // picture leaves gaps, the previous frame shows through.
  media::ImagePtr piece;
  if (taken) {
    {
      // Of the turned picture only two parts can ever be seen: the square cut out, and what shows
      // through the holes of the upright picture. The rest is cleared or covered below, so it is
      // not drawn at all (drawing the same thing twice where the two overlap changes nothing).
      media::SavedDrawState turned;
      media::set_rotation(static_cast<float>(rot));
      auto draw_turned = [&] { media::draw_image(img, static_cast<float>(sw / 2), static_cast<float>(sh / 2), 0); };
      {
        media::ScopedClip square(mx - r, my - r, r, r);
        draw_turned();
      }
      if (show) {
        const Box& box = holes();
        if (box.w > 0 && box.h > 0) {
          media::ScopedClip behind(box.x, box.y, box.w, box.h);
          draw_turned();
        }
      }
    }
    media::draw_image(mask, static_cast<float>(mx - r), static_cast<float>(my - r), 0);
    piece = media::image_from_pixmap(media::mask_pixmap(media::grab_pixmap(mx - r, my - r, r, r), 255, 255, 255),
                                     media::IMG_DEFAULT);
    media::mid_handle(piece);
  }

  if (show && taken) {
    media::draw_image(img, static_cast<float>(sw / 2), static_cast<float>(sh / 2), 0);
  } else {
    media::set_clear_colour(0, 0, 0);
    media::cls();
  }
  if (piece) {
    media::SavedDrawState copies;
    for (const Copy& c : kCopies) {
      media::set_transform(c.rot, c.sx, c.sy);
      float x = static_cast<float>(c.qx ? mx + r - r2 : mx - r2);
      float y = static_cast<float>(c.qy ? my + r - r2 : my - r2);
      media::draw_image(piece, x, y, 0);
    }
  }
  media::draw_image(ring, static_cast<float>(mx), static_cast<float>(my), 0);
}

}  // namespace activities
