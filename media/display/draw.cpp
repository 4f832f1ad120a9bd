#include "media/display/draw.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

#include "media/display/gl.hpp"
#include "media/input/screen.hpp"

namespace media {
namespace {

// Everything the drawing layer keeps between calls; used from the main thread only.
struct DrawingState {
  DrawState current;                    // what the next draw is drawn with
  std::optional<Blend> applied_blend;   // the mode last given to OpenGL (none: unknown)
};
DrawingState drawing;

void update_matrix() {
  DrawState& s = drawing.current;
  double rad = s.rotation * M_PI / 180.0;
  double c = std::cos(rad), sn = std::sin(rad);
  s.ix = static_cast<float>(c * s.scale_x);
  s.iy = static_cast<float>(-sn * s.scale_y);
  s.jx = static_cast<float>(sn * s.scale_x);
  s.jy = static_cast<float>(c * s.scale_y);
}

void apply_colour() {
  const DrawState& s = drawing.current;
  glColor4f(s.r / 255.0f, s.g / 255.0f, s.b / 255.0f, s.alpha);
}

// Gives OpenGL the whole drawing state that lives in it.
void apply_state() {
  if (!detail::gl_ready()) return;
  detail::apply_blend(drawing.current.blend);
  detail::apply_clip();
}

}  // namespace

const DrawState& draw_state() { return drawing.current; }

void reset_draw_state() {
  drawing.current = DrawState{};
  drawing.applied_blend.reset();
  apply_state();
}

void restore_draw_state(const DrawState& saved) {
  drawing.current = saved;
  apply_state();
}

void set_clip(int x, int y, int w, int h) {
  drawing.current.clip = ClipRect{x, y, std::max(w, 0), std::max(h, 0)};
  if (detail::gl_ready()) detail::apply_clip();
}

void clear_clip() {
  drawing.current.clip.reset();
  if (detail::gl_ready()) detail::apply_clip();
}

ScopedClip::ScopedClip(int x, int y, int w, int h) : saved_(drawing.current.clip) { set_clip(x, y, w, h); }

ScopedClip::~ScopedClip() {
  drawing.current.clip = saved_;
  if (detail::gl_ready()) detail::apply_clip();
}

namespace {

bool same_state(const DrawState& a, const DrawState& b) {
  return a.r == b.r && a.g == b.g && a.b == b.b && a.alpha == b.alpha && a.blend == b.blend && a.ix == b.ix &&
         a.iy == b.iy && a.jx == b.jx && a.jy == b.jy && a.clear_r == b.clear_r && a.clear_g == b.clear_g &&
         a.clear_b == b.clear_b;
}

}  // namespace

bool FrameCache::put_back(const Key& key) {
  if (!held_ || !detail::gl_ready() || !texture_ || !texture_->valid() || key != key_ ||
      !same_state(state_, drawing.current))
    return false;
  // The copy's rows run bottom-up like the framebuffer's; drawn plain, one texel per pixel.
  static const float uv[8] = {0, 1, 1, 1, 1, 0, 0, 0};
  static const float xy[8] = {0, 0, kScreenW, 0, kScreenW, kScreenH, 0, kScreenH};
  detail::apply_blend(Blend::Solid);
  glColor4f(1, 1, 1, 1);
  detail::draw_fan(texture_->id(), xy, uv);
  detail::apply_blend(drawing.current.blend);
  return true;
}

void FrameCache::keep(Key key) {
  held_ = false;
  if (!detail::gl_ready()) return;
  if (!texture_ || !texture_->valid()) texture_ = std::make_shared<Texture>(kScreenW, kScreenH, false);
  if (!texture_->id()) return;
  glBindTexture(GL_TEXTURE_2D, texture_->id());
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, kScreenW, kScreenH);
  glBindTexture(GL_TEXTURE_2D, 0);
  key_ = std::move(key);
  state_ = drawing.current;
  held_ = true;
}

void FrameCache::forget() {
  held_ = false;
  key_.clear();
}

void set_colour(int r, int g, int b) {
  drawing.current.r = r;
  drawing.current.g = g;
  drawing.current.b = b;
}

void set_alpha(float a) { drawing.current.alpha = a; }

void set_blend(Blend mode) {
  drawing.current.blend = mode;
  if (detail::gl_ready()) detail::apply_blend(mode);
}

Blend blend() { return drawing.current.blend; }

void set_rotation(float degrees) {
  drawing.current.rotation = degrees;
  update_matrix();
}

void set_scale(float sx, float sy) {
  drawing.current.scale_x = sx;
  drawing.current.scale_y = sy;
  update_matrix();
}

void set_transform(float degrees, float sx, float sy) {
  drawing.current.rotation = degrees;
  drawing.current.scale_x = sx;
  drawing.current.scale_y = sy;
  update_matrix();
}

void set_clear_colour(int r, int g, int b) {
  drawing.current.clear_r = r;
  drawing.current.clear_g = g;
  drawing.current.clear_b = b;
}

void cls() {
  if (!detail::gl_ready()) return;
  const DrawState& s = drawing.current;
  glClearColor(s.clear_r / 255.0f, s.clear_g / 255.0f, s.clear_b / 255.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
}

void draw_rect(float x, float y, float w, float h) {
  if (!detail::gl_ready()) return;
  float us[4] = {0, w, w, 0}, vs[4] = {0, 0, h, h};
  float xs[4], ys[4];
  for (int i = 0; i < 4; ++i) {
    transform_point(drawing.current, us[i], vs[i], xs[i], ys[i]);
    xs[i] += x;
    ys[i] += y;
  }
  detail::draw_quad(0, xs, ys);
}

void draw_line(float x1, float y1, float x2, float y2, bool last_pixel) {
  if (!detail::gl_ready()) return;
  // The far end is placed through the transform, with the line's start as its anchor.
  float tx, ty;
  transform_point(drawing.current, x2 - x1, y2 - y1, tx, ty);
  int ax = static_cast<int>(x1), ay = static_cast<int>(y1);
  int bx = static_cast<int>(x1 + tx), by = static_cast<int>(y1 + ty);
  // Bresenham from a to b; b itself only when asked for.
  std::vector<float> pts;
  int dx = std::abs(bx - ax), sx = ax < bx ? 1 : -1;
  int dy = -std::abs(by - ay), sy = ay < by ? 1 : -1;
  int err = dx + dy;
  pts.reserve(2 * (dx - dy + 2));
  for (int px = ax, py = ay;;) {
    bool end = (px == bx && py == by);
    if (end && !last_pixel) break;
    pts.push_back(static_cast<float>(px));
    pts.push_back(static_cast<float>(py));
    if (end) break;
    int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      px += sx;
    }
    if (e2 <= dx) {
      err += dx;
      py += sy;
    }
  }
  detail::draw_points(pts);
}

namespace detail {

void apply_blend(Blend mode) {
  if (drawing.applied_blend == mode) return;
  drawing.applied_blend = mode;
  switch (mode) {
    case Blend::Mask:
      glDisable(GL_BLEND);
      glEnable(GL_ALPHA_TEST);
      glAlphaFunc(GL_GEQUAL, 0.5f);
      break;
    case Blend::Solid:
      glDisable(GL_BLEND);
      glDisable(GL_ALPHA_TEST);
      break;
    case Blend::Alpha:
      glEnable(GL_BLEND);
      glDisable(GL_ALPHA_TEST);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
      break;
    case Blend::Light:
      glEnable(GL_BLEND);
      glDisable(GL_ALPHA_TEST);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE);
      break;
    case Blend::Shade:
      glEnable(GL_BLEND);
      glDisable(GL_ALPHA_TEST);
      glBlendFunc(GL_DST_COLOR, GL_ZERO);
      break;
  }
}

void apply_clip() {
  const std::optional<ClipRect>& c = drawing.current.clip;
  if (!c) {
    glDisable(GL_SCISSOR_TEST);
    return;
  }
  glEnable(GL_SCISSOR_TEST);
  // OpenGL counts rows from the bottom, in the back buffer and in a target alike.
  glScissor(c->x, kScreenH - (c->y + c->h), c->w, c->h);
}

void draw_fan(GLuint tex, const float xy[8], const float uv[8]) {
  if (tex) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, tex);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, 0, uv);
  }
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(2, GL_FLOAT, 0, xy);
  glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
  glDisableClientState(GL_VERTEX_ARRAY);
  if (tex) {
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
  }
}

void draw_quad(GLuint tex, const float xs[4], const float ys[4], bool bottom_up) {
  static const float top_down[8] = {0, 0, 1, 0, 1, 1, 0, 1};
  static const float flipped[8] = {0, 1, 1, 1, 1, 0, 0, 0};
  const float* uv = bottom_up ? flipped : top_down;
  float xy[8];
  for (int i = 0; i < 4; ++i) {
    xy[2 * i] = xs[i];
    xy[2 * i + 1] = ys[i];
  }
  apply_colour();
  draw_fan(tex, xy, uv);
}

void draw_points(const std::vector<float>& xy) {
  if (xy.empty()) return;
  // Pixel centres, so each point lands on exactly one pixel.
  std::vector<float> centred(xy.size());
  for (size_t i = 0; i < xy.size(); ++i) centred[i] = xy[i] + 0.5f;
  apply_colour();
  glPointSize(1.0f);
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(2, GL_FLOAT, 0, centred.data());
  glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(centred.size() / 2));
  glDisableClientState(GL_VERTEX_ARRAY);
}

PixmapPtr read_back(int x, int y, int w, int h) {
  PixmapPtr p = create_pixmap(w, h, PF_RGBA);
  if (!p || !gl_ready()) return p;
  // Only the part inside the screen is read; the rest stays transparent black.
  int x0 = std::max(x, 0), y0 = std::max(y, 0);
  int x1 = std::min(x + w, kScreenW), y1 = std::min(y + h, kScreenH);
  if (x0 >= x1 || y0 >= y1) return p;
  int rw = x1 - x0, rh = y1 - y0;
  std::vector<uint8_t> buf(static_cast<size_t>(rw) * rh * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x0, kScreenH - y1, rw, rh, GL_RGBA, GL_UNSIGNED_BYTE, buf.data());
  for (int row = 0; row < rh; ++row) {
    const uint8_t* src = buf.data() + static_cast<size_t>(rh - 1 - row) * rw * 4;
    uint8_t* dst = p->row(y0 - y + row) + (x0 - x) * 4;
    std::copy(src, src + rw * 4, dst);
  }
  return p;
}

}  // namespace detail
}  // namespace media
