// Private to the media layer: OpenGL declarations, the texture handle and the shared GL helpers.
#pragma once
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <vector>

#include "media/decode/pixmap.hpp"

namespace media {

enum class Blend;  // media/display/draw.hpp
struct Image;      // media/display/image.hpp

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
  // Whole texture, RGBA pixels, top row first; the texture's rows then run top-down again.
  void upload(const Pixmap& rgba);
  void upload_rect(const Pixmap& rgba, int x, int y);  // part of a top-down texture
  void set_filtered(bool filtered);
  // The rows run bottom-up, the framebuffer's way: the texture has been drawn into as a target.
  bool bottom_up() const { return bottom_up_; }
  // Turns the texture into a drawing target, if it is not one already, and returns the framebuffer
  // drawing into it (0 when none can be made): the pixels uploaded from `shown` (what the texture
  // shows now, if known) are put back bottom-up and the alpha is made opaque, as the back buffer's is.
  GLuint make_target(const Pixmap* shown);
  GLuint framebuffer() const { return fbo_; }  // as make_target made it (0: none yet)

 private:
  GLuint id_ = 0;
  GLuint fbo_ = 0;  // made on the first use as a target
  int width_, height_;
  unsigned generation_;
  bool bottom_up_ = false;
};

namespace detail {

bool gl_ready();           // a context is current
unsigned gl_generation();  // changes whenever a context is destroyed
// Makes the drawing target current: the framebuffer of the ScopedTarget in force, else the back
// buffer; both with the logical screen's projection, the blend and the clip of the drawing state.
void bind_drawing_buffer();
GLuint target_buffer();   // the ScopedTarget's framebuffer in force (0: none)
void apply_blend(Blend mode);
void apply_clip();        // gives OpenGL the drawing state's clip
// Makes (or makes again, after the display was reopened) the image's texture from its pixels; none
// without a display or pixels.
Texture* ensure_texture(Image& image);
// Reads back a rectangle of the drawing target (top-left origin) into an RGBA pixmap.
PixmapPtr read_back(int x, int y, int w, int h);

// Draws a textured (tex != 0) or plain quad given its four screen corners (clockwise from the
// local top-left) with the current colour and alpha; a bottom-up texture is turned the right way.
void draw_quad(GLuint tex, const float xs[4], const float ys[4], bool bottom_up = false);
// Draws four corners (x, y pairs) as one fan, textured with uv when tex != 0, in whatever colour
// is set; draw_quad and the frame cache both draw through it.
void draw_fan(GLuint tex, const float xy[8], const float uv[8]);
// Draws single pixels (their top-left corners) in the current colour.
void draw_points(const std::vector<float>& xy);

}  // namespace detail
}  // namespace media
