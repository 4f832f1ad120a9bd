// Drawing into an image instead of the back buffer. It stands above the drawing state (draw.hpp)
// and the images (image.hpp): the target is an image, and every draw goes to it.
#pragma once
#include <memory>

namespace media {

struct Image;    // media/display/image.hpp
class Texture;   // an owning OpenGL texture handle (media/display/gl.hpp)

// For the length of the scope every draw, clear and grab (draw_image, draw_text, draw_rect,
// draw_line, draw_pixmap, cls, grab_image, grab_pixmap, FrameCache) goes to the image's texture
// instead of the back buffer, in the same 1024x768 coordinates and with the same results pixel for
// pixel; presenting inside the scope shows the screen but drawing stays on the image. After the
// scope, drawing the image at (0, 0) unscaled shows what was drawn; it keeps it across presents.
// - The image must be 1024x768 with a texture of that size (create_image(kScreenW, kScreenH, 0));
//   any other image is refused (logged) and draws go on to the back buffer.
// - Like the screen, the image is opaque from its first use as a target: its alpha reads 255.
// - Its pixel copy (Image::source) is not updated: collisions and a texture made again after the
//   display reopens see the pixels from before the image was first drawn into.
// - Do not draw the image into itself, nor grab into it, inside its scope. Scopes nest: the target
//   before comes back at the end.
class ScopedTarget {
 public:
  explicit ScopedTarget(const std::shared_ptr<Image>& screen_sized_image);
  ~ScopedTarget();
  ScopedTarget(const ScopedTarget&) = delete;
  ScopedTarget& operator=(const ScopedTarget&) = delete;

 private:
  bool active_ = false;                  // this scope changed the target
  std::shared_ptr<Texture> texture_;     // the image's texture, kept alive while drawn into
  std::shared_ptr<Texture> previous_;    // the target in force before (none: the back buffer)
};

}  // namespace media
