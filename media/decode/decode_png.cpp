// PNG through libpng, reading from memory. libpng reports errors by longjmp, so everything with a
// destructor lives in PngState, owned by decode_png, outside the frame that calls setjmp.
//
// Memory: before libpng sees the file, every chunk's declared length is checked against the bytes
// that follow it, so no length can make anything allocate more than the file holds. libpng then
// skips every ancillary chunk except tRNS (we use no text, profile or gamma), and all its own
// allocations come from a counted allocator that refuses to pass kDecodeWorkBytes.
#include <png.h>

#include <csetjmp>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "media/decode/decode.hpp"

namespace media {
namespace {

struct PngState {
  size_t heap_used = 0;  // bytes libpng holds through png_alloc, at most kDecodeWorkBytes
  png_structp png = nullptr;
  png_infop info = nullptr;
  const uint8_t* data = nullptr;
  size_t size = 0;
  size_t pos = 0;
  char message[160] = {};
  PixmapPtr pixmap;
  std::vector<png_bytep> rows;

  ~PngState() {
    if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  }
};

void on_error(png_structp png, png_const_charp msg) {
  auto* st = static_cast<PngState*>(png_get_error_ptr(png));
  std::strncpy(st->message, msg ? msg : "decode error", sizeof st->message - 1);
  png_longjmp(png, 1);
}

void on_warning(png_structp, png_const_charp) {}

// libpng's allocator: each block carries its size in front, so the running total stays exact.
struct alignas(std::max_align_t) BlockHead {
  size_t size;
};

png_voidp png_alloc(png_structp png, png_alloc_size_t size) {
  auto* st = static_cast<PngState*>(png_get_mem_ptr(png));
  if (size > kDecodeWorkBytes - st->heap_used) return nullptr;  // libpng reports "Out of memory"
  auto* head = static_cast<BlockHead*>(std::malloc(sizeof(BlockHead) + size));
  if (!head) return nullptr;
  head->size = size;
  st->heap_used += size;
  return head + 1;
}

void png_release(png_structp png, png_voidp p) {
  if (!p) return;
  auto* st = static_cast<PngState*>(png_get_mem_ptr(png));
  auto* head = static_cast<BlockHead*>(p) - 1;
  st->heap_used -= head->size;
  std::free(head);
}

void on_read(png_structp png, png_bytep out, size_t length) {
  auto* st = static_cast<PngState*>(png_get_io_ptr(png));
  if (length > st->size - st->pos) png_error(png, "truncated");
  std::memcpy(out, st->data + st->pos, length);
  st->pos += length;
}

uint32_t be32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

// Walks the chunk list up to IEND: every chunk must fit in the bytes left. Returns the message for
// a file that breaks off or whose lengths lie, or nullptr.
const char* check_chunks(const uint8_t* data, size_t size) {
  size_t pos = 8;
  for (;;) {
    if (size - pos < 12) return "truncated";
    const uint32_t length = be32(data + pos);
    if (length > size - pos - 12) return "truncated";
    if (std::memcmp(data + pos + 4, "IEND", 4) == 0) return nullptr;
    pos += 12 + size_t{length};
  }
}

// Runs libpng; false with st.message set on failure. No object with a destructor lives here.
bool run_png(PngState& st) {
  if (setjmp(png_jmpbuf(st.png))) return false;

  png_set_read_fn(st.png, &st, on_read);
  png_set_user_limits(st.png, kMaxImageSide, kMaxImageSide);
  png_set_chunk_malloc_max(st.png, kDecodeWorkBytes / 4);
  png_set_chunk_cache_max(st.png, 256);
  // IHDR, PLTE, tRNS, IDAT and IEND are read; every other chunk is skipped unread.
  png_set_keep_unknown_chunks(st.png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  png_read_info(st.png, st.info);

  png_uint_32 w = 0, h = 0;
  int depth = 0, colour = 0, interlace = 0;
  png_get_IHDR(st.png, st.info, &w, &h, &depth, &colour, &interlace, nullptr, nullptr);
  if (!image_size_ok(w, h)) {
    std::snprintf(st.message, sizeof st.message, "too large: %ux%u", w, h);
    return false;
  }

  const bool trns = png_get_valid(st.png, st.info, PNG_INFO_tRNS) != 0;
  if (depth == 16) png_set_strip_16(st.png);
  if (colour == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(st.png);
  if (colour == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(st.png);
  if (trns) png_set_tRNS_to_alpha(st.png);
  if ((colour == PNG_COLOR_TYPE_GRAY && trns) || colour == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(st.png);
  png_set_interlace_handling(st.png);
  png_read_update_info(st.png, st.info);

  int format = 0;
  switch (png_get_channels(st.png, st.info)) {
    case 1: format = PF_GREY; break;
    case 3: format = PF_RGB; break;
    case 4: format = PF_RGBA; break;
    default: std::strcpy(st.message, "unsupported colour type"); return false;
  }
  st.pixmap = create_pixmap(static_cast<int>(w), static_cast<int>(h), format);
  if (!st.pixmap || png_get_rowbytes(st.png, st.info) != static_cast<size_t>(st.pixmap->pitch)) {
    std::strcpy(st.message, "unsupported pixel layout");
    return false;
  }
  st.rows.resize(h);
  for (png_uint_32 y = 0; y < h; ++y) st.rows[y] = st.pixmap->row(static_cast<int>(y));
  png_read_image(st.png, st.rows.data());
  png_read_end(st.png, nullptr);
  return true;
}

}  // namespace

DecodeResult decode_png(const uint8_t* data, size_t size) {
  DecodeResult res;
  if (size < 8 || png_sig_cmp(data, 0, 8) != 0) {
    res.error = "not a PNG file";
    return res;
  }
  if (const char* why = check_chunks(data, size)) {
    res.error = why;
    return res;
  }
  // Refuse lying sizes from the header itself, before libpng sets anything up.
  uint32_t w = 0, h = 0;
  if (size >= 24 && std::memcmp(data + 12, "IHDR", 4) == 0) {
    w = be32(data + 16), h = be32(data + 20);
    if (!image_size_ok(w, h)) {
      res.error = "too large: " + std::to_string(w) + "x" + std::to_string(h);
      return res;
    }
  }
  // At most four bytes a pixel come out; a file without IHDR first fails in libpng's first call.
  BudgetLease lease = decode_budget().acquire(size_t{w} * h * 4 + kDecodeWorkBytes);
  if (!lease) {
    res.error = "too large: " + std::to_string(w) + "x" + std::to_string(h);
    return res;
  }
  try {
    PngState st;
    st.data = data;
    st.size = size;
    st.pos = 0;
    st.png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, &st, on_error, on_warning, &st, png_alloc,
                                      png_release);
    if (st.png) st.info = png_create_info_struct(st.png);
    if (!st.png || !st.info) {
      res.error = "out of memory";
      return res;
    }
    if (!run_png(st)) {
      res.error = std::strstr(st.message, "CRC error") ? "bad CRC" : st.message;
      return res;
    }
    res.keep(std::move(st.pixmap), std::move(lease));
  } catch (const std::bad_alloc&) {
    res.error = "out of memory";
  }
  return res;
}

}  // namespace media
