#include "media/decode/encode.hpp"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>  // after cstdio: it needs FILE and size_t
#include <zlib.h>

namespace media {
namespace {

struct EncodeError {
  jpeg_error_mgr mgr;  // first, so the libjpeg pointer converts back
  jmp_buf jump;
};

[[noreturn]] void on_error_exit(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<EncodeError*>(cinfo->err)->jump, 1); }
void on_output_message(j_common_ptr) {}

// Everything with a destructor stays outside the setjmp frame.
struct EncodeState {
  jpeg_compress_struct cinfo{};
  EncodeError err{};
  unsigned char* out = nullptr;
  unsigned long out_size = 0;
  bool created = false;
  ~EncodeState() {
    if (created) jpeg_destroy_compress(&cinfo);
    std::free(out);
  }
};

J_COLOR_SPACE colour_space(int format) {
  switch (format) {
    case PF_GREY: return JCS_GRAYSCALE;
    case PF_RGB: return JCS_RGB;
    case PF_BGR: return JCS_EXT_BGR;
    case PF_RGBA: return JCS_EXT_RGBX;
    case PF_BGRA: return JCS_EXT_BGRX;
    default: return JCS_UNKNOWN;
  }
}

bool run_encode(EncodeState& st, const Pixmap& p, J_COLOR_SPACE space, int quality) {
  if (setjmp(st.err.jump)) return false;
  j_compress_ptr c = &st.cinfo;
  st.created = true;
  jpeg_create_compress(c);
  jpeg_mem_dest(c, &st.out, &st.out_size);
  c->image_width = static_cast<JDIMENSION>(p.width);
  c->image_height = static_cast<JDIMENSION>(p.height);
  c->input_components = bytes_per_pixel(p.format);
  c->in_color_space = space;
  jpeg_set_defaults(c);
  jpeg_set_quality(c, quality, TRUE);
  jpeg_start_compress(c, TRUE);
  while (c->next_scanline < c->image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(p.row(static_cast<int>(c->next_scanline)));
    jpeg_write_scanlines(c, &row, 1);
  }
  jpeg_finish_compress(c);
  return true;
}

}  // namespace

std::string encode_jpeg(const Pixmap& pixmap, int quality) {
  J_COLOR_SPACE space = colour_space(pixmap.format);
  if (space == JCS_UNKNOWN || pixmap.width <= 0 || pixmap.height <= 0) return {};
  EncodeState st;
  st.cinfo.err = jpeg_std_error(&st.err.mgr);
  st.err.mgr.error_exit = on_error_exit;
  st.err.mgr.output_message = on_output_message;
  if (!run_encode(st, pixmap, space, quality) || !st.out) return {};
  return std::string(reinterpret_cast<const char*>(st.out), st.out_size);
}

PackedPixmap pack_pixmap(const Pixmap& pixmap, int level) {
  PackedPixmap out;
  const uLong size = static_cast<uLong>(pixmap.pixels.size());
  if (size == 0) return out;
  std::string bytes(compressBound(size), '\0');
  uLongf packed = static_cast<uLongf>(bytes.size());
  if (compress2(reinterpret_cast<Bytef*>(bytes.data()), &packed, pixmap.pixels.data(), size, level) != Z_OK) return out;
  bytes.resize(packed);
  bytes.shrink_to_fit();
  out.bytes = std::move(bytes);
  out.width = pixmap.width;
  out.height = pixmap.height;
  out.pitch = pixmap.pitch;
  out.format = pixmap.format;
  return out;
}

PixmapPtr unpack_pixmap(const PackedPixmap& packed) {
  if (packed.bytes.empty()) return nullptr;
  PixmapPtr p = create_pixmap(packed.width, packed.height, packed.format);
  if (!p || p->pitch != packed.pitch) return nullptr;
  uLongf size = static_cast<uLongf>(p->pixels.size());
  if (uncompress(p->pixels.data(), &size, reinterpret_cast<const Bytef*>(packed.bytes.data()),
                 static_cast<uLong>(packed.bytes.size())) != Z_OK ||
      size != p->pixels.size())
    return nullptr;
  return p;
}

}  // namespace media
