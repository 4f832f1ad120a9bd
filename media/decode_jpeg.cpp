// JPEG through libjpeg, reading from memory. Errors come back by longjmp from our error manager, so
// everything with a destructor lives in JpegState, owned by decode_jpeg, outside the setjmp frame.
// Damaged data is refused rather than shown half grey: a file that ends early is "truncated".
#include <libexif/exif-data.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include <jpeglib.h>  // after cstdio: it needs FILE and size_t
#include <jerror.h>

#include "media/decode.hpp"

namespace media {
namespace {

constexpr int kMaxScans = 1000;

struct JpegError {
  jpeg_error_mgr mgr;  // first, so the libjpeg pointer converts back
  jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

struct JpegState {
  jpeg_decompress_struct cinfo{};
  JpegError err{};
  jpeg_progress_mgr progress{};
  bool created = false;
  PixmapPtr pixmap;
  std::vector<uint8_t> cmyk_row;
  int orientation = 1;

  ~JpegState() {
    if (created) jpeg_destroy_decompress(&cinfo);
  }
};

[[noreturn]] void fail(j_common_ptr cinfo, const char* why) {
  auto* e = reinterpret_cast<JpegError*>(cinfo->err);
  std::snprintf(e->message, sizeof e->message, "%s", why);
  std::longjmp(e->jump, 1);
}

[[noreturn]] void on_error_exit(j_common_ptr cinfo) {
  auto* e = reinterpret_cast<JpegError*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, e->message);
  std::longjmp(e->jump, 1);
}

void on_output_message(j_common_ptr) {}

// Warnings about damaged data stop decoding at once; harmless ones (unknown JFIF revision, bad ICC
// marker, padding before a marker) are counted and ignored.
void on_emit_message(j_common_ptr cinfo, int level) {
  if (level >= 0) return;  // trace messages
  cinfo->err->num_warnings++;
  switch (cinfo->err->msg_code) {
    case JWRN_JPEG_EOF: fail(cinfo, "truncated");
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_BOGUS_PROGRESSION: fail(cinfo, "corrupt data");
    default: break;
  }
}

void on_progress(j_common_ptr cinfo) {
  if (cinfo->is_decompressor &&
      reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
    fail(cinfo, "too many scans");
}

int read_orientation(j_decompress_ptr cinfo) {
  for (jpeg_saved_marker_ptr m = cinfo->marker_list; m; m = m->next) {
    if (m->marker != JPEG_APP0 + 1 || m->data_length < 6 || std::memcmp(m->data, "Exif\0\0", 6) != 0)
      continue;
    ExifData* ed = exif_data_new_from_data(m->data, m->data_length);
    if (!ed) return 1;
    int value = 1;
    ExifEntry* e = exif_data_get_entry(ed, EXIF_TAG_ORIENTATION);
    if (e && e->format == EXIF_FORMAT_SHORT && e->components >= 1 && e->data && e->size >= 2)
      value = exif_get_short(e->data, exif_data_get_byte_order(ed));
    exif_data_unref(ed);
    return value >= 1 && value <= 8 ? value : 1;
  }
  return 1;
}

// Inverted CMYK (Adobe) stores 255 for "no ink"; plain CMYK stores 0.
void cmyk_to_rgb(const uint8_t* in, uint8_t* out, int width, bool inverted) {
  for (int x = 0; x < width; ++x, in += 4, out += 3) {
    int c = in[0], m = in[1], y = in[2], k = in[3];
    if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
    out[0] = static_cast<uint8_t>(c * k / 255);
    out[1] = static_cast<uint8_t>(m * k / 255);
    out[2] = static_cast<uint8_t>(y * k / 255);
  }
}

// Runs libjpeg; false with st.err.message set on failure. No object with a destructor lives here.
bool run_jpeg(JpegState& st, const uint8_t* data, size_t size, const DecodeOptions& opt) {
  j_decompress_ptr cinfo = &st.cinfo;
  if (setjmp(st.err.jump)) return false;

  st.created = true;  // safe to destroy even if creation stops half way
  jpeg_create_decompress(cinfo);
  cinfo->mem->max_memory_to_use = 700L << 20;
  st.progress.progress_monitor = on_progress;
  cinfo->progress = &st.progress;
  jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
  jpeg_save_markers(cinfo, JPEG_APP0 + 1, 0xFFFF);
  jpeg_read_header(cinfo, TRUE);

  if (!image_size_ok(cinfo->image_width, cinfo->image_height)) {
    std::snprintf(st.err.message, sizeof st.err.message, "too large: %ux%u", cinfo->image_width,
                  cinfo->image_height);
    return false;
  }
  if (cinfo->data_precision != 8) fail(reinterpret_cast<j_common_ptr>(cinfo), "not an 8-bit JPEG");
  st.orientation = read_orientation(cinfo);

  const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
  const bool grey = cinfo->jpeg_color_space == JCS_GRAYSCALE;
  cinfo->out_color_space = cmyk ? JCS_CMYK : grey ? JCS_GRAYSCALE : JCS_RGB;

  if (opt.min_width > 0 && opt.min_height > 0) {
    const bool turned = opt.upright && st.orientation >= 5;
    const double need_w = (turned ? opt.min_height : opt.min_width) * (1.0 - opt.slack);
    const double need_h = (turned ? opt.min_width : opt.min_height) * (1.0 - opt.slack);
    // Scales as eighths, smallest first: 1/8, 1/4, 1/2, 1 (and the other eighths when asked for).
    for (unsigned num = 1; num <= 8; ++num) {
      if (!opt.eighths && num != 1 && num != 2 && num != 4 && num != 8) continue;
      cinfo->scale_num = num;
      cinfo->scale_denom = 8;
      jpeg_calc_output_dimensions(cinfo);
      if (cinfo->output_width >= need_w && cinfo->output_height >= need_h) break;
    }
  }
  jpeg_start_decompress(cinfo);

  const int w = static_cast<int>(cinfo->output_width), h = static_cast<int>(cinfo->output_height);
  const int want = cmyk ? 4 : grey ? 1 : 3;
  if (cinfo->output_components != want) fail(reinterpret_cast<j_common_ptr>(cinfo), "unsupported colour space");
  st.pixmap = create_pixmap(w, h, grey ? PF_GREY : PF_RGB);
  if (!st.pixmap) fail(reinterpret_cast<j_common_ptr>(cinfo), "bad size");
  if (cmyk) st.cmyk_row.resize(static_cast<size_t>(w) * 4);

  while (cinfo->output_scanline < cinfo->output_height) {
    const int y = static_cast<int>(cinfo->output_scanline);
    JSAMPROW row = cmyk ? st.cmyk_row.data() : st.pixmap->row(y);
    if (jpeg_read_scanlines(cinfo, &row, 1) != 1) fail(reinterpret_cast<j_common_ptr>(cinfo), "truncated");
    if (cmyk) cmyk_to_rgb(st.cmyk_row.data(), st.pixmap->row(y), w, cinfo->saw_Adobe_marker);
  }
  jpeg_finish_decompress(cinfo);
  return true;
}

}  // namespace

DecodeResult decode_jpeg(const uint8_t* data, size_t size, const DecodeOptions& opt) {
  DecodeResult res;
  if (size < 3 || data[0] != 0xFF || data[1] != 0xD8) {
    res.error = "not a JPEG file";
    return res;
  }
  try {
    JpegState st;
    st.cinfo.err = jpeg_std_error(&st.err.mgr);
    st.err.mgr.error_exit = on_error_exit;
    st.err.mgr.output_message = on_output_message;
    st.err.mgr.emit_message = on_emit_message;
    if (!run_jpeg(st, data, size, opt)) {
      res.error = st.err.message;
      return res;
    }
    res.pixmap = std::move(st.pixmap);
    res.orientation = st.orientation;
  } catch (const std::bad_alloc&) {
    res.error = "out of memory";
  }
  return res;
}

}  // namespace media
