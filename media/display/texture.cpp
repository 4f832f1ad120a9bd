#include "media/display/gl.hpp"

#include <algorithm>

namespace media {

Texture::Texture(int width, int height, bool filtered)
    : width_(width), height_(height), generation_(detail::gl_generation()) {
  if (!detail::gl_ready()) return;
  glGenTextures(1, &id_);
  glBindTexture(GL_TEXTURE_2D, id_);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  set_filtered(filtered);
}

Texture::~Texture() {
  if (!detail::gl_ready() || generation_ != detail::gl_generation()) return;
  if (fbo_) glDeleteFramebuffers(1, &fbo_);
  if (id_) glDeleteTextures(1, &id_);
}

bool Texture::valid() const { return id_ != 0 && generation_ == detail::gl_generation(); }

void Texture::set_filtered(bool filtered) {
  if (!id_) return;
  GLint f = filtered ? GL_LINEAR : GL_NEAREST;
  glBindTexture(GL_TEXTURE_2D, id_);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, f);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, f);
  glBindTexture(GL_TEXTURE_2D, 0);
}

void Texture::upload(const Pixmap& rgba) {
  bottom_up_ = false;
  upload_rect(rgba, 0, 0);
}

void Texture::upload_rect(const Pixmap& rgba, int x, int y) {
  if (!id_ || rgba.format != PF_RGBA) return;
  glBindTexture(GL_TEXTURE_2D, id_);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, rgba.pitch / 4);
  glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, rgba.width, rgba.height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.pixels.data());
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glBindTexture(GL_TEXTURE_2D, 0);
}

GLuint Texture::make_target(const Pixmap* shown) {
  if (!valid()) return 0;
  if (fbo_ && bottom_up_) return fbo_;
  // What the texture shows is turned bottom-up, so that drawing into it goes exactly as drawing
  // into the back buffer does, with the same projection, clip and read-back. (An upload since the
  // last use as a target turned it top-down again.)
  if (shown && shown->width == width_ && shown->height == height_ && shown->format == PF_RGBA) {
    Pixmap flipped = *shown;
    for (int y = 0; y < height_; ++y) {
      const uint8_t* src = shown->row(height_ - 1 - y);
      std::copy(src, src + width_ * 4, flipped.row(y));
    }
    upload(flipped);
  }
  bottom_up_ = true;
  GLint was_bound = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &was_bound);
  if (!fbo_) {
    glGenFramebuffers(1, &fbo_);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, id_, 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
      glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(was_bound));
      glDeleteFramebuffers(1, &fbo_);
      fbo_ = 0;
      return 0;
    }
  }
  glBindFramebuffer(GL_FRAMEBUFFER, fbo_);
  // Opaque like the screen: drawing never writes alpha, so it stays 255 from here on. The colour
  // mask and the clip are given back by the next binding of the drawing buffer.
  glDisable(GL_SCISSOR_TEST);
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_TRUE);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(was_bound));
  return fbo_;
}

}  // namespace media
