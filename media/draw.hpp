// Drawing: one global drawing state (colour, alpha, blend, rotation, scale, clear colour) applied
// to every draw into the back buffer of a fixed 1024x768 logical screen, and present(), which
// exchanges the back and front buffers and shows the front one. Neither buffer is ever cleared by
// present: after it the back buffer holds the frame shown before.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

namespace media {

enum BlendMode : int {
  MASK = 1,   // no blending; pixels with alpha below 0.5 dropped
  SOLID = 2,  // no blending, no alpha test
  ALPHA = 3,  // source-alpha, one-minus-source-alpha
  LIGHT = 4,  // source-alpha, one (additive)
  SHADE = 5,  // destination colour, zero (multiply)
};

struct DrawState {
  int r = 255, g = 255, b = 255;
  float alpha = 1.0f;
  int blend = MASK;
  float rotation = 0.0f;
  float scale_x = 1.0f, scale_y = 1.0f;
  int clear_r = 0, clear_g = 0, clear_b = 0;
  // The transform matrix kept from rotation and scale.
  float ix = 1.0f, iy = 0.0f, jx = 0.0f, jy = 1.0f;
  float origin_x = 0.0f, origin_y = 0.0f;  // exist, always 0
  float handle_x = 0.0f, handle_y = 0.0f;  // exist, always 0
};

const DrawState& draw_state();
void reset_draw_state();  // the start values
// Puts the whole drawing state back to a saved copy.
void restore_draw_state(const DrawState& saved);

// Saves the drawing state and puts it back at the end of the scope, so no change of colour, alpha,
// blend, rotation, scale or clear colour made inside leaks into later draws.
class SavedDrawState {
 public:
  SavedDrawState() : saved_(draw_state()) {}
  ~SavedDrawState() { restore_draw_state(saved_); }
  SavedDrawState(const SavedDrawState&) = delete;
  SavedDrawState& operator=(const SavedDrawState&) = delete;

 private:
  DrawState saved_;
};

// Limits every draw and clear to a screen rectangle (top-left origin) for the length of the scope;
// the limit in force before comes back at its end. Pixels inside come out exactly as without the
// limit, and the renderer skips the work outside, so a draw whose result is only read back in part
// costs only that part. Present nothing inside the scope.
class ScopedClip {
 public:
  ScopedClip(int x, int y, int w, int h);
  ~ScopedClip();
  ScopedClip(const ScopedClip&) = delete;
  ScopedClip& operator=(const ScopedClip&) = delete;

 private:
  bool active_ = false;  // a display was open when the scope began
  bool was_on_ = false;
  int saved_[4] = {0, 0, 0, 0};
};

class Texture;  // an owning OpenGL texture handle (media/gl.hpp)

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
void set_blend(int mode);
int get_blend();
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
