#include "activities/still_frame.hpp"

namespace activities {

bool covers_screen(const media::ImagePtr& image, const app::Assets& assets) {
  static const media::Pixmap* seen = nullptr;
  static uint64_t seen_generation = 0;
  static bool seen_covers = false;
  if (!image || !image->source || image->width < assets.screen_w || image->height < assets.screen_h ||
      image->handle_x != 0.0f || image->handle_y != 0.0f)
    return false;
  // Drawn as it is: unturned, unscaled, opaque, not mixed with what lies below.
  const media::DrawState& st = media::draw_state();
  if (st.ix != 1.0f || st.iy != 0.0f || st.jx != 0.0f || st.jy != 1.0f || st.alpha != 1.0f ||
      (st.blend != media::Blend::Mask && st.blend != media::Blend::Solid && st.blend != media::Blend::Alpha))
    return false;
  const media::Pixmap& src = *image->source;
  if (&src == seen && src.generation == seen_generation && seen_generation != 0) return seen_covers;
  bool covers = src.format == media::PF_RGBA;
  for (int y = 0; covers && y < assets.screen_h; ++y) {
    const uint8_t* row = src.row(y);
    for (int x = 0; x < assets.screen_w; ++x)
      if (row[4 * x + 3] != 255) {
        covers = false;
        break;
      }
  }
  seen = &src;
  seen_generation = src.generation;
  seen_covers = covers;
  return covers;
}

}  // namespace activities
