#include "media/decode/resample.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace media {
namespace {

// The source pixels (and weights summing to 1) that make up one output pixel along one axis.
struct Taps {
  std::vector<int> start;     // first source index per output index
  std::vector<int> count;     // number of taps
  std::vector<float> weight;  // count[i] weights per output, packed, at offset[i]
  std::vector<int> offset;
};

Taps make_taps(int src_len, int out_len, double scale, double first) {
  Taps t;
  t.start.resize(out_len);
  t.count.resize(out_len);
  t.offset.resize(out_len);
  double step = 1.0 / scale;  // source pixels per output pixel
  for (int o = 0; o < out_len; ++o) {
    t.offset[o] = static_cast<int>(t.weight.size());
    if (step > 1.0) {
      // Shrinking: average the covered source span, partial pixels by their share.
      double a = first + o * step, b = a + step;
      int i0 = std::clamp(static_cast<int>(std::floor(a)), 0, src_len - 1);
      int i1 = std::clamp(static_cast<int>(std::ceil(b)) - 1, i0, src_len - 1);
      t.start[o] = i0;
      t.count[o] = i1 - i0 + 1;
      double total = 0;
      for (int i = i0; i <= i1; ++i) {
        double w = std::min<double>(b, i + 1) - std::max<double>(a, i);
        w = std::max(w, 0.0);
        t.weight.push_back(static_cast<float>(w));
        total += w;
      }
      for (int k = 0; k < t.count[o]; ++k) t.weight[t.offset[o] + k] /= static_cast<float>(total > 0 ? total : 1);
    } else {
      // Growing: linear between the two nearest source pixel centres.
      double c = first + (o + 0.5) * step - 0.5;
      int i0 = static_cast<int>(std::floor(c));
      double f = c - i0;
      int a = std::clamp(i0, 0, src_len - 1), b = std::clamp(i0 + 1, 0, src_len - 1);
      t.start[o] = a;
      t.count[o] = b - a + 1;
      if (a == b) {
        t.weight.push_back(1.0f);
      } else {
        t.weight.push_back(static_cast<float>(1 - f));
        t.weight.push_back(static_cast<float>(f));
      }
    }
  }
  return t;
}

// One row of the horizontal pass for a source layout known at compile time (A < 0: opaque).
template <int BPP, int R, int G, int B, int A>
void horizontal_row(const uint8_t* s, int32_t* m, int width, const Taps& t, const std::vector<int32_t>& wx) {
  for (int x = 0; x < width; ++x) {
    int32_t r = 0, g = 0, b = 0, a = 0;
    const int32_t* w = &wx[t.offset[x]];
    const uint8_t* p = s + static_cast<size_t>(t.start[x]) * BPP;
    const int n = t.count[x];
    for (int k = 0; k < n; ++k, p += BPP) {
      r += w[k] * p[R];
      g += w[k] * p[G];
      b += w[k] * p[B];
      if constexpr (A >= 0) a += w[k] * p[A];
    }
    if constexpr (A < 0) a = 255 * 4096;
    m[x * 4] = r >> 8, m[x * 4 + 1] = g >> 8, m[x * 4 + 2] = b >> 8, m[x * 4 + 3] = a >> 8;
  }
}

}  // namespace

int orientation_of(int angle, int mirror) {
  static constexpr int turned[4] = {1, 8, 3, 6};
  static constexpr int turned_then_left_right[4] = {2, 7, 4, 5};
  angle &= 3;
  if (mirror < 0) return turned[angle];
  // Top and bottom exchanged is left and right exchanged after a half turn.
  if (mirror == 0) angle = (angle + 2) & 3;
  return turned_then_left_right[angle];
}

PixmapPtr orient_pixmap(const Pixmap& src, int o) {
  PixmapPtr rgba = convert_to_rgba(src);
  if (!rgba || o < 2 || o > 8) return rgba;
  bool swap = o >= 5;  // 5..8 turn a quarter
  int w = src.width, h = src.height;
  PixmapPtr out = create_pixmap(swap ? h : w, swap ? w : h, PF_RGBA);
  if (!out) return nullptr;
  for (int y = 0; y < h; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(rgba->row(y));
    for (int x = 0; x < w; ++x) {
      int dx = x, dy = y;
      switch (o) {
        case 2: dx = w - 1 - x; break;                       // mirrored
        case 3: dx = w - 1 - x, dy = h - 1 - y; break;       // upside down
        case 4: dy = h - 1 - y; break;                       // mirrored upside down
        case 5: dx = y, dy = x; break;                       // transposed
        case 6: dx = h - 1 - y, dy = x; break;               // turn clockwise
        case 7: dx = h - 1 - y, dy = w - 1 - x; break;       // transverse
        case 8: dx = y, dy = w - 1 - x; break;               // turn anticlockwise
      }
      reinterpret_cast<uint32_t*>(out->row(dy))[dx] = row[x];
    }
  }
  return out;
}

PixmapPtr cover_pixmap(const Pixmap& src, int width, int height) {
  if (width <= 0 || height <= 0 || src.width <= 0 || src.height <= 0) return nullptr;
  if (src.width == width && src.height == height) return convert_to_rgba(src);
  void (*row_pass)(const uint8_t*, int32_t*, int, const Taps&, const std::vector<int32_t>&) = nullptr;
  switch (src.format) {
    case PF_GREY: row_pass = horizontal_row<1, 0, 0, 0, -1>; break;
    case PF_BGR: row_pass = horizontal_row<3, 2, 1, 0, -1>; break;
    case PF_RGB: row_pass = horizontal_row<3, 0, 1, 2, -1>; break;
    case PF_BGRA: row_pass = horizontal_row<4, 2, 1, 0, 3>; break;
    case PF_RGBA: row_pass = horizontal_row<4, 0, 1, 2, 3>; break;
    default: return nullptr;
  }
  double scale = std::max(double(width) / src.width, double(height) / src.height);
  // The covered source window, centred.
  double fx = (src.width - width / scale) / 2, fy = (src.height - height / scale) / 2;
  Taps tx = make_taps(src.width, width, scale, fx);
  Taps ty = make_taps(src.height, height, scale, fy);
  // Weights in 1/4096ths; the horizontal pass keeps 4 extra bits of precision.
  auto fixed = [](const Taps& t) {
    std::vector<int32_t> w(t.weight.size());
    for (size_t i = 0; i < w.size(); ++i) w[i] = static_cast<int32_t>(std::lround(t.weight[i] * 4096));
    return w;
  };
  std::vector<int32_t> wx = fixed(tx), wy = fixed(ty);
  int row_lo = ty.start.front(), row_hi = ty.start.back() + ty.count.back() - 1;
  std::vector<int32_t> mid(static_cast<size_t>(width) * (row_hi - row_lo + 1) * 4);
  for (int y = row_lo; y <= row_hi; ++y) {
    row_pass(src.row(y), &mid[static_cast<size_t>(y - row_lo) * width * 4], width, tx, wx);
  }
  PixmapPtr out = create_pixmap(width, height, PF_RGBA);
  if (!out) return nullptr;
  std::vector<int32_t> acc(static_cast<size_t>(width) * 4);
  for (int y = 0; y < height; ++y) {
    std::fill(acc.begin(), acc.end(), 0);
    for (int k = 0; k < ty.count[y]; ++k) {
      const int32_t w = wy[ty.offset[y] + k];
      const int32_t* m = &mid[static_cast<size_t>(ty.start[y] + k - row_lo) * width * 4];
      for (int x = 0; x < width * 4; ++x) acc[x] += w * m[x];
    }
    uint8_t* d = out->row(y);
    for (int x = 0; x < width * 4; ++x) d[x] = static_cast<uint8_t>(std::clamp((acc[x] + (1 << 15)) >> 16, 0, 255));
  }
  return out;
}

PixmapPtr fit_pixmap(const PixmapPtr& src, int width, int height) {
  if (!src || width <= 0 || height <= 0 || src->width <= 0 || src->height <= 0) return nullptr;
  double scale = std::max(double(width) / src->width, double(height) / src->height);
  if (scale < 1.0) return cover_pixmap(*src, width, height);
  int cw = std::clamp(static_cast<int>(std::lround(width / scale)), 1, src->width);
  int ch = std::clamp(static_cast<int>(std::lround(height / scale)), 1, src->height);
  if (cw == src->width && ch == src->height) return src;
  PixmapPtr out = create_pixmap(cw, ch, src->format);
  if (!out) return nullptr;
  int x0 = (src->width - cw) / 2, y0 = (src->height - ch) / 2;
  size_t bpp = static_cast<size_t>(bytes_per_pixel(src->format));
  for (int y = 0; y < ch; ++y)
    std::copy_n(src->row(y0 + y) + x0 * bpp, cw * bpp, out->row(y));
  return out;
}

}  // namespace media
