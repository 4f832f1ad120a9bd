// Shared helpers of the rendering tests: a real window under Xvfb, pixel read-back.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "media/display/draw.hpp"
#include "media/display/image.hpp"
#include "media/decode/pixmap.hpp"

namespace rt {

// The ARGB pixel of the back buffer at (x, y).
inline uint32_t screen_pixel(int x, int y) {
  media::PixmapPtr p = media::grab_pixmap(x, y, 1, 1);
  return media::read_pixel(*p, 0, 0);
}

// An image of w x h whose pixels are given by f(x, y) -> ARGB (RGBA source, so alpha is kept).
inline media::ImagePtr make_image(int w, int h, const std::function<uint32_t(int, int)>& f, int flags) {
  media::PixmapPtr p = media::create_pixmap(w, h, media::PF_RGBA);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) media::write_pixel(*p, x, y, f(x, y));
  return media::image_from_pixmap(p, flags);
}

// Clears the back buffer to a colour and puts the drawing state back to its start values.
inline void fresh(int r = 0, int g = 0, int b = 0) {
  media::reset_draw_state();
  media::set_clear_colour(r, g, b);
  media::cls();
}

}  // namespace rt
