#include "media/display/image.hpp"

#include <algorithm>
#include <cmath>

#include "media/decode/decode.hpp"
#include "media/display/draw.hpp"
#include "media/display/gl.hpp"
#include "media/files/log.hpp"

namespace media {
namespace {

int resolve_flags(int flags) { return flags == IMG_DEFAULT ? (IMG_MASKED | IMG_FILTERED) : flags; }

// The screen corners of an image drawn at (x, y) under the current transform, clockwise from the
// image's own top-left corner.
void corners(const DrawState& s, const Image& img, float x, float y, float xs[4], float ys[4]) {
  float us[4] = {-img.handle_x, img.width - img.handle_x, img.width - img.handle_x, -img.handle_x};
  float vs[4] = {-img.handle_y, -img.handle_y, img.height - img.handle_y, img.height - img.handle_y};
  for (int i = 0; i < 4; ++i) {
    transform_point(s, us[i], vs[i], xs[i], ys[i]);
    xs[i] += x;
    ys[i] += y;
  }
}

ImagePtr make_image(PixmapPtr rgba, int flags) {
  auto img = std::make_shared<Image>();
  img->width = rgba->width;
  img->height = rgba->height;
  img->flags = flags;
  img->source = std::move(rgba);
  detail::ensure_texture(*img);
  return img;
}

}  // namespace

namespace detail {

Texture* ensure_texture(Image& img) {
  if (!gl_ready()) return nullptr;
  if (img.texture && img.texture->valid()) return img.texture.get();
  if (!img.source) return nullptr;
  // The texture has the pixels' own size; a stretched image is always filtered.
  bool stretched = img.source->width != img.width || img.source->height != img.height;
  img.texture = std::make_shared<Texture>(img.source->width, img.source->height,
                                          stretched || (img.flags & IMG_FILTERED) != 0);
  img.texture->upload(*img.source);
  return img.texture.get();
}

}  // namespace detail

ImagePtr image_from_pixmap(const PixmapPtr& pixmap, int flags) {
  if (!pixmap || pixmap->width <= 0 || pixmap->height <= 0) return nullptr;
  flags = resolve_flags(flags);
  PixmapPtr rgba;
  if ((flags & IMG_MASKED) && !format_has_alpha(pixmap->format))
    rgba = mask_pixmap(*pixmap, 0, 0, 0);
  else
    rgba = convert_to_rgba(*pixmap);
  if (!rgba) return nullptr;
  return make_image(std::move(rgba), flags);
}

ImagePtr image_for_hits(PixmapPtr rgba) {
  if (!rgba || rgba->width <= 0 || rgba->height <= 0 || rgba->format != PF_RGBA) return nullptr;
  auto img = std::make_shared<Image>();
  img->width = rgba->width;
  img->height = rgba->height;
  img->source = std::move(rgba);
  return img;
}

ImagePtr image_stretched(const PixmapPtr& pixmap, int width, int height, int flags) {
  if (width <= 0 || height <= 0) return nullptr;
  ImagePtr img = image_from_pixmap(pixmap, flags);
  if (!img) return nullptr;
  img->width = width;
  img->height = height;
  if (img->texture && (width != pixmap->width || height != pixmap->height)) img->texture->set_filtered(true);
  return img;
}

ImagePtr load_image(const std::string& path, int flags) {
  PixmapPtr p = load_pixmap(path);
  return p ? image_from_pixmap(p, flags) : nullptr;
}

ImagePtr create_image(int width, int height, int flags) {
  PixmapPtr p = create_pixmap(width, height, PF_RGBA);
  if (!p) return nullptr;
  return make_image(std::move(p), resolve_flags(flags) | IMG_DYNAMIC);
}

void release_pixels(const ImagePtr& image) {
  if (image && image->texture && image->texture->valid()) image->source.reset();
}

void mid_handle(const ImagePtr& image) {
  if (!image) return;
  image->handle_x = 0.5f * image->width;
  image->handle_y = 0.5f * image->height;
}

int image_width(const ImagePtr& image) { return image ? image->width : 0; }
int image_height(const ImagePtr& image) { return image ? image->height : 0; }

void draw_image(const ImagePtr& image, float x, float y, int /*frame*/) {
  if (!image) return;
  Texture* t = detail::ensure_texture(*image);
  if (!t) return;
  float xs[4], ys[4];
  corners(draw_state(), *image, x, y, xs, ys);
  detail::draw_quad(t->id(), xs, ys, t->bottom_up());
}

void grab_image(const ImagePtr& image, int x, int y) {
  if (!image || !detail::gl_ready()) return;
  PixmapPtr p = detail::read_back(x, y, image->width, image->height);
  if (!p) return;
  if (image->flags & IMG_MASKED) p = mask_pixmap(*p, image->mask_r, image->mask_g, image->mask_b);
  image->source = p;
  if (Texture* t = detail::ensure_texture(*image)) t->upload(*p);
}

PixmapPtr grab_pixmap(int x, int y, int width, int height) { return detail::read_back(x, y, width, height); }

void draw_pixmap(const PixmapPtr& pixmap, int x, int y) {
  if (!pixmap || !detail::gl_ready()) return;
  Pixmap& pm = *pixmap;
  if (pm.width <= 0 || pm.height <= 0 || pm.pixels.size() < static_cast<size_t>(pm.pitch) * pm.height) return;
  PixmapTextureCache& cache = pm.texture_cache;
  // The texture made last time is kept while the pixels are the same: a full-screen drawing is
  // then drawn again without being uploaded again.
  bool fits = cache.texture && cache.texture->valid() && cache.texture->width() == pm.width &&
              cache.texture->height() == pm.height;
  if (!fits || cache.generation != pm.generation) {
    PixmapPtr converted;
    const Pixmap* rgba = &pm;
    if (pm.format != PF_RGBA || pm.pitch % 4 != 0) {
      converted = convert_to_rgba(pm);
      if (!converted) return;
      rgba = converted.get();
    }
    if (!fits) cache.texture = std::make_shared<Texture>(pm.width, pm.height, false);
    cache.texture->upload(*rgba);
    cache.generation = pm.generation;
  }
  // Opaque, unrotated, unscaled, uncoloured: the pixels as they are.
  const DrawState s = draw_state();
  set_colour(255, 255, 255);
  set_alpha(1.0f);
  detail::apply_blend(Blend::Solid);
  float xs[4] = {float(x), float(x + pm.width), float(x + pm.width), float(x)};
  float ys[4] = {float(y), float(y), float(y + pm.height), float(y + pm.height)};
  detail::draw_quad(cache.texture->id(), xs, ys);
  detail::apply_blend(s.blend);
  set_colour(s.r, s.g, s.b);
  set_alpha(s.alpha);
}

bool images_collide(const ImagePtr& a, float ax, float ay, const ImagePtr& b, float bx, float by) {
  if (!a || !b || !a->source || !b->source) return false;
  const DrawState& s = draw_state();
  double det = double(s.ix) * s.jy - double(s.iy) * s.jx;
  if (std::fabs(det) < 1e-12) return false;
  // Screen bounds of both, intersected.
  float axs[4], ays[4], bxs[4], bys[4];
  corners(s, *a, ax, ay, axs, ays);
  corners(s, *b, bx, by, bxs, bys);
  auto lo = [](const float* v) { return *std::min_element(v, v + 4); };
  auto hi = [](const float* v) { return *std::max_element(v, v + 4); };
  int x0 = static_cast<int>(std::floor(std::max(lo(axs), lo(bxs))));
  int x1 = static_cast<int>(std::ceil(std::min(hi(axs), hi(bxs))));
  int y0 = static_cast<int>(std::floor(std::max(lo(ays), lo(bys))));
  int y1 = static_cast<int>(std::ceil(std::min(hi(ays), hi(bys))));
  if (x0 >= x1 || y0 >= y1) return false;
  // Inverse of the transform maps a screen pixel centre back into each image.
  double i00 = s.jy / det, i01 = -s.iy / det, i10 = -s.jx / det, i11 = s.ix / det;
  auto opaque_at = [&](const Image& img, float ox, float oy, double px, double py) {
    double dx = px - ox, dy = py - oy;
    double u = i00 * dx + i01 * dy + img.handle_x;
    double v = i10 * dx + i11 * dy + img.handle_y;
    if (u < 0 || v < 0 || u >= img.width || v >= img.height) return false;
    // A stretched image's pixels are fewer than its size.
    u = u * img.source->width / img.width;
    v = v * img.source->height / img.height;
    const uint8_t* p = img.source->row(static_cast<int>(v)) + static_cast<int>(u) * 4;
    return p[3] >= 128;
  };
  for (int py = y0; py < y1; ++py)
    for (int px = x0; px < x1; ++px)
      if (opaque_at(*a, ax, ay, px + 0.5, py + 0.5) && opaque_at(*b, bx, by, px + 0.5, py + 0.5)) return true;
  return false;
}

}  // namespace media
