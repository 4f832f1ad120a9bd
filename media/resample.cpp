#include "media/resample.hpp"

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

}  // namespace

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
  PixmapPtr rgba = convert_to_rgba(src);
  if (!rgba || width <= 0 || height <= 0) return nullptr;
  if (src.width == width && src.height == height) return rgba;
  double scale = std::max(double(width) / src.width, double(height) / src.height);
  // The covered source window, centred.
  double fx = (src.width - width / scale) / 2, fy = (src.height - height / scale) / 2;
  Taps tx = make_taps(src.width, width, scale, fx);
  Taps ty = make_taps(src.height, height, scale, fy);
  // Horizontal pass over the rows that are needed, then vertical.
  std::vector<float> mid(static_cast<size_t>(width) * src.height * 4, 0.0f);
  int row_lo = ty.start.front(), row_hi = ty.start.back() + ty.count.back() - 1;
  for (int y = row_lo; y <= row_hi; ++y) {
    const uint8_t* s = rgba->row(y);
    float* m = &mid[static_cast<size_t>(y) * width * 4];
    for (int x = 0; x < width; ++x) {
      float acc[4] = {0, 0, 0, 0};
      for (int k = 0; k < tx.count[x]; ++k) {
        float w = tx.weight[tx.offset[x] + k];
        const uint8_t* p = s + (tx.start[x] + k) * 4;
        for (int c = 0; c < 4; ++c) acc[c] += w * p[c];
      }
      for (int c = 0; c < 4; ++c) m[x * 4 + c] = acc[c];
    }
  }
  PixmapPtr out = create_pixmap(width, height, PF_RGBA);
  if (!out) return nullptr;
  for (int y = 0; y < height; ++y) {
    uint8_t* d = out->row(y);
    for (int x = 0; x < width; ++x) {
      float acc[4] = {0, 0, 0, 0};
      for (int k = 0; k < ty.count[y]; ++k) {
        float w = ty.weight[ty.offset[y] + k];
        const float* m = &mid[(static_cast<size_t>(ty.start[y] + k) * width + x) * 4];
        for (int c = 0; c < 4; ++c) acc[c] += w * m[c];
      }
      for (int c = 0; c < 4; ++c) d[x * 4 + c] = static_cast<uint8_t>(std::clamp(acc[c] + 0.5f, 0.0f, 255.0f));
    }
  }
  return out;
}

}  // namespace media
