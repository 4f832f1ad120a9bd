// The thirteen jigsaw cuts of a 1024 x 768 picture: for cut n, "pieces/n/pieces.txt" (rows,
// columns, cell size, then each piece's home centre), one mask per piece "pieces/n/i.png" and
// the outline picture "templates/n.png".
//
// A mask covers the piece's rectangle (its cell plus its tabs): transparent inside the piece's
// shape, so the picture shows there, opaque pure white outside it, and a cream edge line just
// inside the outline that stays on the cut piece. The template is cream lines on transparency.
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/kit/canvas.hpp"
#include "tools/cut_shape.hpp"
#include "tools/kit/gen.hpp"

namespace {

constexpr int kW = 1024, kH = 768;
constexpr uint32_t kEdge = 0xFFFAF5E6;   // the pale cream edge line, opaque
constexpr uint32_t kWhite = 0xFFFFFFFF;  // outside the piece: cut away
constexpr double kEdgeWidth = 2.0;       // edge line inside each piece, in pixels
constexpr double kTemplateWidth = 4.0;   // template lines: as wide as the seam of two pieces
constexpr int kPad = 2;                  // room around a piece's outline inside its rectangle

struct CutSize {
  int rows, cols;
};
// Easiest first: from four big pieces up to thirty.
constexpr CutSize kCuts[] = {{2, 2}, {2, 3}, {3, 2}, {2, 4}, {3, 3}, {3, 4}, {4, 3},
                             {3, 5}, {4, 4}, {4, 5}, {4, 6}, {5, 5}, {5, 6}};

// Coverage (0..255) of whatever draw() paints in a w x h alpha surface whose top-left is (x, y).
template <class Draw>
std::vector<uint8_t> coverage(int x, int y, int w, int h, Draw draw) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
  cairo_t* cr = cairo_create(s);
  cairo_translate(cr, -x, -y);
  draw(cr);
  cairo_destroy(cr);
  cairo_surface_flush(s);
  std::vector<uint8_t> out(static_cast<size_t>(w) * h);
  const unsigned char* data = cairo_image_surface_get_data(s);
  int stride = cairo_image_surface_get_stride(s);
  for (int j = 0; j < h; ++j) std::copy(data + j * stride, data + j * stride + w, out.begin() + j * w);
  cairo_surface_destroy(s);
  return out;
}

// Writes straight 0xAARRGGBB pixels (alpha only 0 or 255) into a canvas and saves it as PNG.
bool save_pixels(const std::vector<uint32_t>& px, int w, int h, const gen::fs::path& path) {
  gen::Canvas canvas(w, h);
  cairo_surface_flush(canvas.surface());
  unsigned char* data = cairo_image_surface_get_data(canvas.surface());
  int stride = cairo_image_surface_get_stride(canvas.surface());
  for (int j = 0; j < h; ++j) {
    auto* row = reinterpret_cast<uint32_t*>(data + j * stride);
    for (int i = 0; i < w; ++i) row[i] = px[j * w + i] >> 24 ? px[j * w + i] : 0;
  }
  cairo_surface_mark_dirty(canvas.surface());
  return canvas.save_png(path);
}

struct Rect {
  int left, top, w, h;
};

// The piece's rectangle: its outline's bounds plus a little room, kept on the screen, even-sized.
Rect piece_rect(const cuts::Cut& cut, int r, int c) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
  cairo_t* cr = cairo_create(s);
  cut.piece_path(cr, r, c);
  double x1, y1, x2, y2;
  cairo_path_extents(cr, &x1, &y1, &x2, &y2);
  cairo_destroy(cr);
  cairo_surface_destroy(s);
  int left = std::max(0, static_cast<int>(std::floor(x1)) - kPad);
  int top = std::max(0, static_cast<int>(std::floor(y1)) - kPad);
  int right = std::min(kW, static_cast<int>(std::ceil(x2)) + kPad);
  int bottom = std::min(kH, static_cast<int>(std::ceil(y2)) + kPad);
  // Even sizes: the mask's centre is then a whole pixel, so a mask drawn centred on its home
  // lines up texel for pixel with the rectangle read back around that home.
  if ((right - left) % 2) {
    if (right < kW) ++right; else --left;
  }
  if ((bottom - top) % 2) {
    if (bottom < kH) ++bottom; else --top;
  }
  return {left, top, right - left, bottom - top};
}

// The mask of piece (r, c) in rect: a pixel counts as inside when at least a quarter of it is,
// so the pixels along a shared edge are inside one piece or the other (never neither), and
// every pixel within the edge width of the outline is edge line rather than picture.
std::vector<uint32_t> piece_mask(const cuts::Cut& cut, int r, int c, const Rect& rect) {
  auto shape = coverage(rect.left, rect.top, rect.w, rect.h, [&](cairo_t* cr) {
    cut.piece_path(cr, r, c);
    cairo_fill(cr);
  });
  auto band = coverage(rect.left, rect.top, rect.w, rect.h, [&](cairo_t* cr) {
    cut.piece_path(cr, r, c);
    cairo_set_line_width(cr, 2 * kEdgeWidth);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
  });
  std::vector<uint32_t> px(shape.size());
  for (size_t i = 0; i < px.size(); ++i) {
    if (shape[i] < 64)
      px[i] = kWhite;
    else
      px[i] = band[i] >= 128 ? kEdge : 0;
  }
  return px;
}

// Every piece outline as cream lines on transparency, the picture's border included.
std::vector<uint32_t> template_pixels(const cuts::Cut& cut) {
  auto lines = coverage(0, 0, kW, kH, [&](cairo_t* cr) {
    cut.inner_paths(cr);
    cairo_set_line_width(cr, kTemplateWidth);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
    cairo_rectangle(cr, 0, 0, kW, kH);
    cairo_set_line_width(cr, 2 * kTemplateWidth - 2);
    cairo_stroke(cr);
  });
  std::vector<uint32_t> px(lines.size());
  for (size_t i = 0; i < px.size(); ++i) px[i] = lines[i] >= 128 ? kEdge : 0;
  return px;
}

bool make_cut(const gen::fs::path& out, int n, CutSize size) {
  cuts::Cut cut(size.rows, size.cols, kW, kH, 0x5EED0000u + 7919u * n);
  gen::fs::path dir = out / "pieces" / std::to_string(n);
  std::string list;
  auto line = [&list](int v) { list += std::to_string(v) + "\r\n"; };
  line(cut.rows());
  line(cut.cols());
  line(cut.cell_width());
  line(cut.cell_height());
  int i = 0;
  for (int r = 0; r < cut.rows(); ++r)
    for (int c = 0; c < cut.cols(); ++c) {
      Rect rect = piece_rect(cut, r, c);
      line(rect.left + rect.w / 2);
      line(rect.top + rect.h / 2);
      if (!save_pixels(piece_mask(cut, r, c, rect), rect.w, rect.h, dir / (std::to_string(++i) + ".png")))
        return false;
    }
  gen::fs::path list_path = dir / "pieces.txt";
  FILE* f = std::fopen(list_path.c_str(), "wb");
  if (!f || std::fwrite(list.data(), 1, list.size(), f) != list.size()) {
    if (f) std::fclose(f);
    std::fprintf(stderr, "pipkin_gen: cannot write %s\n", list_path.c_str());
    return false;
  }
  if (std::fclose(f) != 0) return false;
  return save_pixels(template_pixels(cut), kW, kH, out / "templates" / (std::to_string(n) + ".png"));
}

gen::Register reg("cuts", [](const gen::fs::path& out) {
  int n = 0;
  for (CutSize size : kCuts)
    if (!make_cut(out, ++n, size)) return false;
  return true;
});

}  // namespace
