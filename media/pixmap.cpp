#include "media/pixmap.hpp"

#include <algorithm>

#include "media/decode.hpp"
#include "media/log.hpp"

namespace media {

namespace {
uint64_t last_generation = 0;
}  // namespace

void Pixmap::changed() { generation = ++last_generation; }

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

PixmapPtr mask_pixmap(const Pixmap& p, int r, int g, int b) {
  auto out = create_pixmap(p.width, p.height, PF_RGBA);
  if (!out) return nullptr;
  const int w = p.width, h = p.height;
  const uint32_t mask = static_cast<uint32_t>((r & 255) << 16 | (g & 255) << 8 | (b & 255));
  // Colours only: the source alpha plays no part.
  std::vector<uint32_t> rgb(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    uint32_t* d = &rgb[static_cast<size_t>(y) * w];
    const uint8_t* s = p.row(y);
    if (p.format == PF_RGBA) {  // what grabs give: read directly, it is most of the work
      for (int x = 0; x < w; ++x, s += 4) d[x] = uint32_t(s[0]) << 16 | uint32_t(s[1]) << 8 | s[2];
    } else {
      for (int x = 0; x < w; ++x) d[x] = read_pixel(p, x, y) & 0xFFFFFFu;
    }
  }

  auto put = [](uint8_t* d, uint32_t a, uint32_t c) {
    d[0] = static_cast<uint8_t>(c >> 16);
    d[1] = static_cast<uint8_t>(c >> 8);
    d[2] = static_cast<uint8_t>(c);
    d[3] = static_cast<uint8_t>(a);
  };
  for (int y = 0; y < h; ++y) {
    uint8_t* row = out->row(y);
    for (int x = 0; x < w; ++x) {
      uint32_t c = rgb[static_cast<size_t>(y) * w + x];
      if (c != mask) {
        put(row + 4 * x, 255, c);
        continue;
      }
      uint32_t sr = 0, sg = 0, sb = 0, n = 0;
      for (int ny = y - 1; ny <= y + 1; ++ny) {
        if (ny < 0 || ny >= h) continue;
        for (int nx = x - 1; nx <= x + 1; ++nx) {
          if (nx < 0 || nx >= w || (nx == x && ny == y)) continue;
          uint32_t q = rgb[static_cast<size_t>(ny) * w + nx];
          if (q == mask) continue;
          sr += q >> 16;
          sg += (q >> 8) & 255;
          sb += q & 255;
          ++n;
        }
      }
      uint32_t tint = n ? (sr / n) << 16 | (sg / n) << 8 | sb / n : 0;
      put(row + 4 * x, 0, tint);
    }
  }
  return out;
}

PixmapPtr load_pixmap(const std::string& path) {
  std::string bytes, error;
  if (!read_whole_file(path, bytes, error)) {
    log_error("image", path + ": " + error);
    return nullptr;
  }
  DecodeResult res = decode_image(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  if (!res.pixmap) log_error("image", path + ": " + res.error);
  return res.pixmap;
}

}  // namespace media
