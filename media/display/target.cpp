#include "media/display/target.hpp"

#include "media/display/gl.hpp"
#include "media/display/image.hpp"
#include "media/files/log.hpp"
#include "media/input/screen.hpp"

namespace media {
namespace {

// The ScopedTarget's texture in force (none: the back buffer); main thread only.
std::shared_ptr<Texture> target;

}  // namespace

ScopedTarget::ScopedTarget(const ImagePtr& image) {
  if (!image || !detail::gl_ready()) return;
  if (image->width != kScreenW || image->height != kScreenH) {
    log_error("draw", "a drawing target must be the size of the screen");
    return;
  }
  // The image's texture, made from its pixels if it has none yet.
  std::shared_ptr<Texture> t = detail::ensure_texture(*image) ? image->texture : nullptr;
  if (!t || !t->valid() || t->width() != kScreenW || t->height() != kScreenH ||
      !t->make_target(image->source.get())) {
    log_error("draw", "this image cannot be drawn into");
    return;
  }
  active_ = true;
  texture_ = std::move(t);
  previous_ = target;
  target = texture_;
  detail::bind_drawing_buffer();
}

ScopedTarget::~ScopedTarget() {
  if (!active_) return;
  target = previous_;
  if (detail::gl_ready()) detail::bind_drawing_buffer();
}

GLuint detail::target_buffer() {
  if (!target || !target->valid()) return 0;
  return target->framebuffer();
}

}  // namespace media
