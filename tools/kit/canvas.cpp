#include "tools/kit/canvas.hpp"

#include <jpeglib.h>
#include <webp/encode.h>

#include <cstdio>
#include <vector>

#include "tools/kit/text.hpp"

namespace gen {

namespace {

// Before a picture is written: its folder, and its name on the text problems drawing it found.
bool prepare(const fs::path& path) {
  name_text_problems(path);
  return make_parent(path);
}

}  // namespace

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {}

Canvas::~Canvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

uint32_t Canvas::pixel(int x, int y) const {
  cairo_surface_flush(surface_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  int stride = cairo_image_surface_get_stride(surface_);
  uint32_t p = *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4);
  uint32_t a = p >> 24;
  if (a == 0) return 0;
  auto un = [a](uint32_t c) { return (c * 255 + a / 2) / a; };
  return (a << 24) | (un((p >> 16) & 255) << 16) | (un((p >> 8) & 255) << 8) | un(p & 255);
}

void Canvas::set_pixel(int x, int y, uint32_t argb) {
  cairo_surface_flush(surface_);
  unsigned char* data = cairo_image_surface_get_data(surface_);
  int stride = cairo_image_surface_get_stride(surface_);
  uint32_t a = argb >> 24;
  auto pre = [a](uint32_t c) { return (c * a + 127) / 255; };
  *reinterpret_cast<uint32_t*>(data + y * stride + x * 4) =
      (a << 24) | (pre((argb >> 16) & 255) << 16) | (pre((argb >> 8) & 255) << 8) | pre(argb & 255);
  cairo_surface_mark_dirty(surface_);
}

bool make_parent(const fs::path& file) {
  std::error_code ec;
  if (file.has_parent_path()) fs::create_directories(file.parent_path(), ec);
  if (ec) std::fprintf(stderr, "pipkin_gen: cannot make %s: %s\n", file.parent_path().c_str(), ec.message().c_str());
  return !ec;
}

bool Canvas::save_png(const fs::path& path) const {
  if (!prepare(path)) return false;
  cairo_surface_flush(surface_);
  if (cairo_surface_write_to_png(surface_, path.c_str()) != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "pipkin_gen: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

bool Canvas::save_webp(const fs::path& path) const {
  if (!prepare(path)) return false;
  // WebP takes straight RGBA; cairo keeps premultiplied BGRA words.
  std::vector<uint8_t> rgba(static_cast<size_t>(width_) * height_ * 4);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      const uint32_t c = pixel(x, y);
      uint8_t* o = &rgba[(static_cast<size_t>(y) * width_ + x) * 4];
      o[0] = (c >> 16) & 255, o[1] = (c >> 8) & 255, o[2] = c & 255, o[3] = c >> 24;
    }
  WebPConfig config;
  WebPPicture picture;
  WebPMemoryWriter writer;
  if (!WebPConfigInit(&config) || !WebPConfigLosslessPreset(&config, 6) || !WebPPictureInit(&picture)) return false;
  WebPMemoryWriterInit(&writer);
  picture.use_argb = 1;
  picture.width = width_;
  picture.height = height_;
  picture.writer = WebPMemoryWrite;
  picture.custom_ptr = &writer;
  const bool encoded = WebPPictureImportRGBA(&picture, rgba.data(), width_ * 4) && WebPEncode(&config, &picture);
  WebPPictureFree(&picture);
  bool written = false;
  if (encoded)
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
      written = std::fwrite(writer.mem, 1, writer.size, f) == writer.size;
      written = std::fclose(f) == 0 && written;
    }
  WebPMemoryWriterClear(&writer);
  if (!written) std::fprintf(stderr, "pipkin_gen: cannot write %s\n", path.c_str());
  return written;
}

bool Canvas::save_jpeg(const fs::path& path, int quality) const {
  if (!prepare(path)) return false;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    std::fprintf(stderr, "pipkin_gen: cannot write %s\n", path.c_str());
    return false;
  }
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  jpeg_stdio_dest(&c, f);
  c.image_width = width_;
  c.image_height = height_;
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, quality, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<unsigned char> row(width_ * 3);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      uint32_t p = pixel(x, y);
      uint32_t a = p >> 24;  // composite over black
      row[x * 3] = ((p >> 16) & 255) * a / 255;
      row[x * 3 + 1] = ((p >> 8) & 255) * a / 255;
      row[x * 3 + 2] = (p & 255) * a / 255;
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  return std::fclose(f) == 0;
}

bool Canvas::save_bmp(const fs::path& path) const {
  if (!prepare(path)) return false;
  int stride = (width_ * 3 + 3) & ~3;
  uint32_t image_size = stride * height_;
  std::vector<unsigned char> out(54 + image_size, 0);
  auto put32 = [&](int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = (v >> (8 * i)) & 255;
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, static_cast<uint32_t>(out.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, width_);
  put32(22, height_);
  out[26] = 1;
  out[28] = 24;
  put32(34, image_size);
  put32(38, 2835);
  put32(42, 2835);
  for (int y = 0; y < height_; ++y) {
    unsigned char* row = out.data() + 54 + (height_ - 1 - y) * stride;  // bottom-up
    for (int x = 0; x < width_; ++x) {
      uint32_t p = pixel(x, y);
      uint32_t a = p >> 24;
      row[x * 3] = (p & 255) * a / 255;
      row[x * 3 + 1] = ((p >> 8) & 255) * a / 255;
      row[x * 3 + 2] = ((p >> 16) & 255) * a / 255;
    }
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f || std::fwrite(out.data(), 1, out.size(), f) != out.size()) {
    if (f) std::fclose(f);
    std::fprintf(stderr, "pipkin_gen: cannot write %s\n", path.c_str());
    return false;
  }
  return std::fclose(f) == 0;
}

}  // namespace gen
