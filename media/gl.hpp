// Private to the media layer: OpenGL declarations, the texture handle and the shared GL helpers.
#pragma once
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <vector>

#include "media/pixmap.hpp"

namespace media {

// An owning OpenGL texture. Deleting it after the context is gone does nothing.
class Texture {
 public:
  Texture(int width, int height, bool filtered);
  ~Texture();
  Texture(const Texture&) = delete;
  Texture& operator=(const Texture&) = delete;

  GLuint id() const { return id_; }
  bool valid() const;  // made in the context that is current now
  int width() const { return width_; }
  int height() const { return height_; }
  void upload(const Pixmap& rgba);                        // whole texture, RGBA pixels
  void upload_rect(const Pixmap& rgba, int x, int y);     // part of it
  void set_filtered(bool filtered);

 private:
  GLuint id_ = 0;
  int width_, height_;
  unsigned generation_;
};

namespace detail {

bool gl_ready();           // a context is current
unsigned gl_generation();  // changes whenever a context is destroyed
void bind_back_buffer();   // makes the back framebuffer the drawing target
void apply_blend(int mode);
// Reads back a rectangle of the back buffer (top-left origin) into an RGBA pixmap.
PixmapPtr read_back(int x, int y, int w, int h);

// Draws a textured (tex != 0) or plain quad given its four screen corners (clockwise from the
// local top-left) with the current colour and alpha.
void draw_quad(GLuint tex, const float xs[4], const float ys[4]);
// Draws four corners (x, y pairs) as one fan, textured with uv when tex != 0, in whatever colour
// is set; draw_quad and the frame cache both draw through it.
void draw_fan(GLuint tex, const float xy[8], const float uv[8]);
// Draws single pixels (their top-left corners) in the current colour.
void draw_points(const std::vector<float>& xy);

}  // namespace detail
}  // namespace media
