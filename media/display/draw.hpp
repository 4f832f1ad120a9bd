// Drawing: one global drawing state (colour, alpha, blend, transform, clear colour, clip) applied
// to every draw into the back buffer of a fixed 1024x768 logical screen (or, inside a ScopedTarget,
// target.hpp, into an image of that size), and present(), which exchanges the back and front
// buffers and shows the front one. Neither buffer is ever cleared by present: after it the back
// buffer holds the frame shown before, so whatever must last from frame to frame belongs in a
// target image of its own. saved_draw_state.hpp keeps the state for the length of a scope.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace media {

// How a draw's pixels meet the pixels already there.
enum class Blend {
  Mask,   // no blending; pixels with alpha below 0.5 dropped
  Solid,  // no blending, no alpha test
  Alpha,  // source-alpha, one-minus-source-alpha
  Light,  // source-alpha, one (additive)
  Shade,  // destination colour, zero (multiply)
};

// A rectangle of the logical screen, top-left origin.
struct ClipRect {
  int x = 0, y = 0, w = 0, h = 0;
  bool operator==(const ClipRect&) const = default;
};

struct DrawState {
  // What a draw looks like
  int r = 255, g = 255, b = 255;  // colour multiplying every texel and plain shape
  float alpha = 1.0f;             // opacity multiplying every texel and plain shape
  Blend blend = Blend::Mask;      // how the draw meets the pixels below
  // Where it lands
  float rotation = 0.0f;                  // degrees clockwise about the drawing position
  float scale_x = 1.0f, scale_y = 1.0f;  // size factors along the local axes (negative mirrors)
  // The matrix made from rotation and scale: a local (u, v) lands at (u*ix + v*iy, u*jx + v*jy).
  float ix = 1.0f, iy = 0.0f, jx = 0.0f, jy = 1.0f;
  // What cls() fills with
  int clear_r = 0, clear_g = 0, clear_b = 0;
  // The rectangle every draw and clear is limited to; none: the whole screen.
  std::optional<ClipRect> clip;
};

const DrawState& draw_state();
void reset_draw_state();  // the start values
// Puts the whole drawing state back to a saved copy.
void restore_draw_state(const DrawState& saved);

// Limits every draw and clear to a screen rectangle for the length of the scope, in place of any
// limit in force before, which comes back at its end. Pixels inside come out exactly as without the limit, and the renderer skips the work
// outside, so a draw whose result is only read back in part costs only that part.
class ScopedClip {
 public:
  ScopedClip(int x, int y, int w, int h);
  ~ScopedClip();
  ScopedClip(const ScopedClip&) = delete;
  ScopedClip& operator=(const ScopedClip&) = delete;

 private:
  std::optional<ClipRect> saved_;
};

// Limits every draw and clear to a screen rectangle until changed (a SavedDrawState scope puts the
// limit before it back); clear_clip() lifts it.
void set_clip(int x, int y, int w, int h);
void clear_clip();

class Texture;  // an owning OpenGL texture handle (media/display/gl.hpp)

// A whole drawn frame kept in video memory under a key that says what was drawn (and the drawing
// state it was drawn in): a redraw with the same key and state copies it back in one plain draw
// instead of drawing everything again. Keep the frame at a point where it covers the whole screen.
class FrameCache {
 public:
  using Key = std::vector<std::intptr_t>;
  FrameCache() = default;
  // A copy starts empty: two owners must not refill one texture under each other's keys.
  FrameCache(const FrameCache&) {}
  FrameCache& operator=(const FrameCache&) {
    forget();
    return *this;
  }
  // Puts the kept frame into the back buffer when it was kept under this key in the current
  // drawing state; false (and nothing drawn) otherwise.
  bool put_back(const Key& key);
  // Keeps the back buffer as it is now under the key.
  void keep(Key key);
  void forget();

 private:
  std::shared_ptr<Texture> texture_;
  Key key_;
  DrawState state_;
  bool held_ = false;
};

void set_colour(int r, int g, int b);
void set_alpha(float a);
void set_blend(Blend mode);
Blend blend();
void set_rotation(float degrees);
void set_scale(float sx, float sy);
void set_transform(float degrees, float sx, float sy);
void set_clear_colour(int r, int g, int b);

void cls();
void draw_rect(float x, float y, float w, float h);
// A one-pixel line; the end point itself is plotted only when last_pixel is set.
void draw_line(float x1, float y1, float x2, float y2, bool last_pixel);
void present(int vsync);

// Maps a local point (u, v) relative to an anchor through the current matrix.
inline void transform_point(const DrawState& s, float u, float v, float& x, float& y) {
  x = u * s.ix + v * s.iy;
  y = u * s.jx + v * s.jy;
}

}  // namespace media
