#include "media/gl.hpp"

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
  if (id_ && detail::gl_ready() && generation_ == detail::gl_generation()) glDeleteTextures(1, &id_);
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

void Texture::upload(const Pixmap& rgba) { upload_rect(rgba, 0, 0); }

void Texture::upload_rect(const Pixmap& rgba, int x, int y) {
  if (!id_ || rgba.format != PF_RGBA) return;
  glBindTexture(GL_TEXTURE_2D, id_);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, rgba.pitch / 4);
  glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, rgba.width, rgba.height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.pixels.data());
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glBindTexture(GL_TEXTURE_2D, 0);
}

}  // namespace media
