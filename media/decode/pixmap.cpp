#include "media/decode/pixmap.hpp"

#include <algorithm>
#include <atomic>

#include "media/decode/decode_limits.hpp"

namespace media {

namespace {
// Pixmaps are made on any thread (the picture store's workers decode on their own), so the counter
// is atomic. Only that each value is new matters (the caches keyed by a pixmap's address and
// generation rely on it), and every increment of one atomic gives a different value whatever the
// order, so relaxed is enough: the pixels reach another thread through whatever hands the pixmap
// over, with its generation.
std::atomic<uint64_t> last_generation{0};
}  // namespace

void Pixmap::changed() { generation = last_generation.fetch_add(1, std::memory_order_relaxed) + 1; }

int bytes_per_pixel(int format) {
  switch (format) {
    case PF_GREY:
    case PF_ALPHA: return 1;
    case PF_BGR:
    case PF_RGB: return 3;
    case PF_BGRA:
    case PF_RGBA: return 4;
    default: return 0;
  }
}

bool format_has_alpha(int format) { return format == PF_ALPHA || format == PF_BGRA || format == PF_RGBA; }

PixmapPtr create_pixmap(int width, int height, int format) {
  int bpp = bytes_per_pixel(format);
  if (bpp == 0 || !image_size_ok(width, height)) return nullptr;
  auto p = std::make_shared<Pixmap>();
  p->width = width;
  p->height = height;
  p->pitch = width * bpp;
  p->format = format;
  p->pixels.assign(static_cast<size_t>(p->pitch) * height, 0);
  p->changed();
  return p;
}

int pixmap_width(const PixmapPtr& p) { return p ? p->width : 0; }
int pixmap_height(const PixmapPtr& p) { return p ? p->height : 0; }

static inline uint32_t argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  return a << 24 | r << 16 | g << 8 | b;
}

uint32_t read_pixel(const Pixmap& p, int x, int y) {
  if (x < 0 || y < 0 || x >= p.width || y >= p.height) return 0;
  const uint8_t* s = p.row(y) + static_cast<size_t>(x) * bytes_per_pixel(p.format);
  switch (p.format) {
    case PF_GREY: return argb(255, s[0], s[0], s[0]);
    case PF_ALPHA: return static_cast<uint32_t>(s[0]) << 24 | 0xFFFFFFu;
    case PF_BGR: return argb(255, s[2], s[1], s[0]);
    case PF_RGB: return argb(255, s[0], s[1], s[2]);
    case PF_BGRA: return argb(s[3], s[2], s[1], s[0]);
    case PF_RGBA: return argb(s[3], s[0], s[1], s[2]);
    default: return 0;
  }
}

void write_pixel(Pixmap& p, int x, int y, uint32_t v) {
  if (x < 0 || y < 0 || x >= p.width || y >= p.height) return;
  p.changed();
  uint8_t a = v >> 24, r = v >> 16, g = v >> 8, b = v;
  uint8_t* d = p.row(y) + static_cast<size_t>(x) * bytes_per_pixel(p.format);
  switch (p.format) {
    case PF_GREY: d[0] = static_cast<uint8_t>((r + g + b) / 3); break;
    case PF_ALPHA: d[0] = a; break;
    case PF_BGR: d[0] = b; d[1] = g; d[2] = r; break;
    case PF_RGB: d[0] = r; d[1] = g; d[2] = b; break;
    case PF_BGRA: d[0] = b; d[1] = g; d[2] = r; d[3] = a; break;
    case PF_RGBA: d[0] = r; d[1] = g; d[2] = b; d[3] = a; break;
    default: break;
  }
}

PixmapPtr convert_to_rgba(const Pixmap& p) {
  auto out = create_pixmap(p.width, p.height, PF_RGBA);
  if (!out) return nullptr;
  if (p.format == PF_RGBA) {
    for (int y = 0; y < p.height; ++y) std::copy_n(p.row(y), p.width * 4, out->row(y));
    return out;
  }
  // The common formats row by row; the rest through the pixel rules.
  for (int y = 0; y < p.height; ++y) {
    const uint8_t* s = p.row(y);
    uint8_t* d = out->row(y);
    switch (p.format) {
      case PF_RGB:
        for (int x = 0; x < p.width; ++x, s += 3, d += 4) d[0] = s[0], d[1] = s[1], d[2] = s[2], d[3] = 255;
        break;
      case PF_BGR:
        for (int x = 0; x < p.width; ++x, s += 3, d += 4) d[0] = s[2], d[1] = s[1], d[2] = s[0], d[3] = 255;
        break;
      case PF_BGRA:
        for (int x = 0; x < p.width; ++x, s += 4, d += 4) d[0] = s[2], d[1] = s[1], d[2] = s[0], d[3] = s[3];
        break;
      case PF_GREY:
        for (int x = 0; x < p.width; ++x, ++s, d += 4) d[0] = d[1] = d[2] = s[0], d[3] = 255;
        break;
      default:
        for (int x = 0; x < p.width; ++x) write_pixel(*out, x, y, read_pixel(p, x, y));
        break;
    }
  }
  return out;
}

PixmapPtr mask_pixmap(const Pixmap& source, int r, int g, int b) {
  // Read as RGBA (what grabs give already, and most of the work); colours only: the source alpha
  // plays no part.
  PixmapPtr converted;
  const Pixmap* p = &source;
  if (source.format != PF_RGBA) {
    converted = convert_to_rgba(source);
    if (!converted) return nullptr;
    p = converted.get();
  }
  auto out = create_pixmap(p->width, p->height, PF_RGBA);
  if (!out) return nullptr;
  const int w = p->width, h = p->height;
  const uint8_t mr = static_cast<uint8_t>(r), mg = static_cast<uint8_t>(g), mb = static_cast<uint8_t>(b);
  auto is_mask = [=](const uint8_t* q) { return q[0] == mr && q[1] == mg && q[2] == mb; };
  for (int y = 0; y < h; ++y) {
    const uint8_t* src = p->row(y);
    uint8_t* dst = out->row(y);
    for (int x = 0; x < w; ++x) {
      const uint8_t* q = src + 4 * x;
      uint8_t* d = dst + 4 * x;
      if (!is_mask(q)) {
        d[0] = q[0], d[1] = q[1], d[2] = q[2], d[3] = 255;
        continue;
      }
      // A transparent pixel takes the average colour of its opaque neighbours, so that filtering at
      // the edge blends towards the picture rather than towards the mask colour.
      uint32_t sr = 0, sg = 0, sb = 0, n = 0;
      for (int ny = std::max(y - 1, 0); ny <= std::min(y + 1, h - 1); ++ny) {
        const uint8_t* nrow = p->row(ny);
        for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, w - 1); ++nx) {
          const uint8_t* nq = nrow + 4 * nx;
          if ((nx == x && ny == y) || is_mask(nq)) continue;
          sr += nq[0], sg += nq[1], sb += nq[2];
          ++n;
        }
      }
      d[0] = static_cast<uint8_t>(n ? sr / n : 0);
      d[1] = static_cast<uint8_t>(n ? sg / n : 0);
      d[2] = static_cast<uint8_t>(n ? sb / n : 0);
      d[3] = 0;
    }
  }
  return out;
}

}  // namespace media
