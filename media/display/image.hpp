// Images: pictures held as textures (plus their source pixmap), drawn under the drawing state with
// their handle placed at the drawing position; grabs read back the frame being built.
#pragma once
#include <memory>
#include <string>

#include "media/decode/pixmap.hpp"

namespace media {

enum ImageFlags : int {
  IMG_MASKED = 1,    // pixels of the mask colour become transparent (when the source has no alpha)
  IMG_FILTERED = 2,  // bilinear filtering when scaled or rotated
  IMG_DYNAMIC = 8,   // may be grabbed into
  IMG_DEFAULT = -1,  // masked and filtered
};

class Texture;  // an owning OpenGL texture handle (media/display/gl.hpp)

struct Image {
  int width = 0;
  int height = 0;
  int flags = 0;
  int mask_r = 0, mask_g = 0, mask_b = 0;
  float handle_x = 0.0f, handle_y = 0.0f;
  PixmapPtr source;                  // RGBA pixels as uploaded
  std::shared_ptr<Texture> texture;  // created when a display is open
};
using ImagePtr = std::shared_ptr<Image>;

ImagePtr load_image(const std::string& path, int flags = IMG_DEFAULT);
ImagePtr image_from_pixmap(const PixmapPtr& pixmap, int flags = IMG_DEFAULT);
ImagePtr create_image(int width, int height, int flags = IMG_DEFAULT);
// An image of the RGBA pixels kept only to be tested (images_collide): it gets no texture unless it
// is drawn after all.
ImagePtr image_for_hits(PixmapPtr rgba);
// An image of width x height showing the pixmap stretched to that size (filtered when the sizes
// differ): a picture kept at a few percent under screen size still fills the screen.
ImagePtr image_stretched(const PixmapPtr& pixmap, int width, int height, int flags = 0);

// Frees the image's copy of its pixels once they are in video memory (for large pictures that are
// only ever drawn). Pixel-exact collisions then treat the image as transparent.
void release_pixels(const ImagePtr& image);

void mid_handle(const ImagePtr& image);
int image_width(const ImagePtr& image);
int image_height(const ImagePtr& image);

void draw_image(const ImagePtr& image, float x, float y, int frame = 0);
void grab_image(const ImagePtr& image, int x, int y);
PixmapPtr grab_pixmap(int x, int y, int width, int height);
void draw_pixmap(const PixmapPtr& pixmap, int x, int y);

// Pixel-exact overlap of two images placed as draw_image would place them under the current
// rotation and scale; a pixel counts only where its alpha is 128 or more.
bool images_collide(const ImagePtr& a, float ax, float ay, const ImagePtr& b, float bx, float by);

}  // namespace media
