// JPEG through libjpeg, reading from memory. Errors come back by longjmp from our error manager, so
// everything with a destructor lives in JpegState, owned by decode_jpeg, outside the setjmp frame.
// Damaged data is refused rather than shown half grey: a file that ends early is "truncated".
//
// Memory: before libjpeg sees the file, its markers are walked up to the first scan; every segment
// must fit in the bytes left and the frame size must be within the limits. No segment is kept by
// libjpeg; the EXIF block is read straight from the file with a capped allocator. libjpeg's own
// memory is capped at its working memory plus, for a multi-scan file, its coefficient store, and
// the whole is reserved from decode_budget() before decoding starts.
#include <libexif/exif-data.h>

#include <csetjmp>
#include <cstddef>
#include <cstdlib>
#include <string>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include <jpeglib.h>  // after cstdio: it needs FILE and size_t
#include <jerror.h>

#include "media/decode/decode.hpp"

namespace media {
namespace {

constexpr int kMaxScans = 1000;
constexpr size_t kMaxExifBytes = size_t{4} << 20;  // libexif's heap while reading one EXIF block

// What the marker walk learned.
struct Markers {
  const uint8_t* exif = nullptr;  // first APP1 "Exif" segment's content, after its length
  size_t exif_size = 0;
};

uint16_t be16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

bool is_frame_marker(int m) {
  return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

// Walks the segments from SOI to the first SOS as libjpeg will read them: bytes before a marker and
// fill bytes are skipped, lone markers have no length. Returns a message, or an empty string.
std::string walk_markers(const uint8_t* d, size_t size, Markers& found) {
  size_t pos = 2;
  for (;;) {
    while (pos < size && d[pos] != 0xFF) ++pos;  // libjpeg warns about such bytes and goes on
    while (pos < size && d[pos] == 0xFF) ++pos;
    if (pos >= size) return "truncated";
    const int m = d[pos++];
    if (m == 0x00 || m == 0x01 || (m >= 0xD0 && m <= 0xD7)) continue;  // no length
    if (m == 0xD8 || m == 0xD9) return std::string();  // libjpeg refuses these itself
    if (size - pos < 2) return "truncated";
    const size_t length = be16(d + pos);
    if (length < 2) return std::string();  // libjpeg's own message says what is wrong
    if (length > size - pos) return "truncated";
    const uint8_t* body = d + pos + 2;
    const size_t body_size = length - 2;
    if (is_frame_marker(m) && body_size >= 5) {
      const uint32_t h = be16(body + 1), w = be16(body + 3);
      if (h != 0 && !image_size_ok(w, h)) return "too large: " + std::to_string(w) + "x" + std::to_string(h);
    }
    if (m == 0xE1 && !found.exif && body_size >= 6 && std::memcmp(body, "Exif\0\0", 6) == 0) {
      found.exif = body;
      found.exif_size = body_size;
    }
    if (m == 0xDA) return std::string();
    pos += length;
  }
}

// libexif's allocator has no context pointer, so its running total is kept per thread.
thread_local size_t exif_heap = 0;

struct alignas(std::max_align_t) ExifBlock {
  size_t size;
};

void* exif_alloc(ExifLong n) {
  if (n > kMaxExifBytes - exif_heap) return nullptr;
  auto* b = static_cast<ExifBlock*>(std::calloc(1, sizeof(ExifBlock) + n));
  if (!b) return nullptr;
  b->size = n;
  exif_heap += n;
  return b + 1;
}

void exif_release(void* p) {
  if (!p) return;
  auto* b = static_cast<ExifBlock*>(p) - 1;
  exif_heap -= b->size;
  std::free(b);
}

void* exif_resize(void* p, ExifLong n) {
  if (!p) return exif_alloc(n);
  auto* b = static_cast<ExifBlock*>(p) - 1;
  if (n > b->size && n - b->size > kMaxExifBytes - exif_heap) return nullptr;
  auto* nb = static_cast<ExifBlock*>(std::realloc(b, sizeof(ExifBlock) + n));
  if (!nb) return nullptr;
  exif_heap = exif_heap - nb->size + n;
  nb->size = n;
  return nb + 1;
}

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
  BudgetLease lease;
  int orientation = 1;  // from the EXIF block, read before decoding: it decides the scale

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

// The orientation tag of an EXIF block (at most 64 KB, the largest segment there is).
int read_orientation(const uint8_t* data, size_t size) {
  if (!data) return 1;
  ExifMem* mem = exif_mem_new(exif_alloc, exif_resize, exif_release);
  if (!mem) return 1;
  ExifData* ed = exif_data_new_mem(mem);
  exif_mem_unref(mem);
  if (!ed) return 1;
  // Read only: every option off (no fixing-up that adds tags and memory), unknown tags still skipped.
  exif_data_unset_option(ed, static_cast<ExifDataOption>(~0u));
  exif_data_set_option(ed, EXIF_DATA_OPTION_IGNORE_UNKNOWN_TAGS);
  exif_data_load_data(ed, data, static_cast<unsigned>(size));
  int value = 1;
  ExifEntry* e = exif_data_get_entry(ed, EXIF_TAG_ORIENTATION);
  if (e && e->format == EXIF_FORMAT_SHORT && e->components >= 1 && e->data && e->size >= 2)
    value = exif_get_short(e->data, exif_data_get_byte_order(ed));
  exif_data_unref(ed);
  return value >= 1 && value <= 8 ? value : 1;
}

// Bytes libjpeg keeps for a multi-scan file: every coefficient block of every component.
size_t coefficient_bytes(j_decompress_ptr cinfo) {
  if (!jpeg_has_multiple_scans(cinfo)) return 0;
  size_t blocks = 0;
  for (int c = 0; c < cinfo->num_components; ++c) {
    const jpeg_component_info& comp = cinfo->comp_info[c];
    const size_t h = comp.h_samp_factor, v = comp.v_samp_factor;
    blocks += (comp.width_in_blocks + h - 1) / h * h * ((comp.height_in_blocks + v - 1) / v * v);
  }
  return blocks * sizeof(JBLOCK);
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
  cinfo->mem->max_memory_to_use = static_cast<long>(kDecodeWorkBytes);
  st.progress.progress_monitor = on_progress;
  cinfo->progress = &st.progress;
  jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(cinfo, TRUE);

  if (!image_size_ok(cinfo->image_width, cinfo->image_height)) {
    std::snprintf(st.err.message, sizeof st.err.message, "too large: %ux%u", cinfo->image_width,
                  cinfo->image_height);
    return false;
  }
  if (cinfo->data_precision != 8) fail(reinterpret_cast<j_common_ptr>(cinfo), "not an 8-bit JPEG");

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
  jpeg_calc_output_dimensions(cinfo);

  // Reserve the pixels, the coefficient store and the working memory; libjpeg may use only its part.
  const size_t coefficients = coefficient_bytes(cinfo);
  const size_t out_row = size_t{cinfo->output_width} * (cmyk ? 4 : grey ? 1 : 3);
  const size_t pixels = size_t{cinfo->output_width} * cinfo->output_height * (grey ? 1 : 3);
  st.lease = decode_budget().acquire(pixels + (cmyk ? out_row : 0) + coefficients + kDecodeWorkBytes);
  if (!st.lease) {
    std::snprintf(st.err.message, sizeof st.err.message, "too large: %ux%u", cinfo->image_width,
                  cinfo->image_height);
    return false;
  }
  cinfo->mem->max_memory_to_use = static_cast<long>(coefficients + kDecodeWorkBytes);
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
  Markers markers;
  res.error = walk_markers(data, size, markers);
  if (!res.error.empty()) return res;
  try {
    JpegState st;
    st.cinfo.err = jpeg_std_error(&st.err.mgr);
    st.err.mgr.error_exit = on_error_exit;
    st.err.mgr.output_message = on_output_message;
    st.err.mgr.emit_message = on_emit_message;
    st.orientation = read_orientation(markers.exif, markers.exif_size);
    if (!run_jpeg(st, data, size, opt)) {
      res.error = st.err.message;
      return res;
    }
    res.keep(std::move(st.pixmap), std::move(st.lease));
    res.orientation = st.orientation;
  } catch (const std::bad_alloc&) {
    res.error = "out of memory";
  }
  return res;
}

}  // namespace media
