// The three jigsaw games played to the end in the real program. The picture is a coded one whose
// every pixel tells where it lies in the picture, so any piece seen anywhere on the screen (on
// the "where" card, or lying loose in "pj") tells where its home is.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/harness.hpp"
#include "tests/unit/sample_images.hpp"

using e2e::near;
using e2e::Pipkin;
using media::read_pixel;

namespace {

constexpr int kW = 1024, kH = 768;

// The coded picture: red and green are the low bytes of x and y, blue tells their high bits.
// No pixel is black, white, cream, pink or dark blue, so none is mistaken for the background.
uint32_t code(int x, int y) {
  uint32_t b = 40 + 40 * (x >> 8) + 12 * (y >> 8);
  return 0xFF000000u | static_cast<uint32_t>(x & 255) << 16 | static_cast<uint32_t>(y & 255) << 8 | b;
}

bool decode(uint32_t argb, int& x, int& y) {
  int r = (argb >> 16) & 255, g = (argb >> 8) & 255, b = argb & 255;
  for (int hx = 0; hx < 4; ++hx)
    for (int hy = 0; hy < 3; ++hy)
      if (b == 40 + 40 * hx + 12 * hy) {
        x = hx * 256 + r;
        y = hy * 256 + g;
        return true;
      }
  return false;
}

// The picture position shown at screen pixel (sx, sy), when the pixels around it agree, so that
// (sx, sy) lies inside a piece rather than on its edge line.
bool home_of(const media::Pixmap& shot, int sx, int sy, int& hx, int& hy) {
  if (sx < 4 || sy < 4 || sx >= kW - 4 || sy >= kH - 4) return false;
  if (!decode(read_pixel(shot, sx, sy), hx, hy)) return false;
  for (auto [dx, dy] : {std::pair{4, 0}, {-4, 0}, {0, 4}, {0, -4}, {3, 3}, {-3, -3}}) {
    int x = 0, y = 0;
    if (!decode(read_pixel(shot, sx + dx, sy + dy), x, y) || x != hx + dx || y != hy + dy) return false;
  }
  return true;
}

// A rectangle of the screen the search leaves out (the pointer, the activity number).
struct Box {
  int x0, y0, x1, y1;
  bool has(int x, int y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};

// A piece seen away from its home: its screen pixel and that pixel's home.
bool find_stray(const media::Pixmap& shot, const std::vector<Box>& skip, int& sx, int& sy, int& hx, int& hy) {
  for (int y = 6; y < kH - 6; y += 5)
    for (int x = 6; x < kW - 6; x += 5) {
      bool skipped = false;
      for (const Box& b : skip) skipped = skipped || b.has(x, y);
      if (skipped || !home_of(shot, x, y, hx, hy) || (hx == x && hy == y)) continue;
      sx = x;
      sy = y;
      return true;
    }
  return false;
}

// Share of sampled pixels showing the whole coded picture in place, outside the boxes.
double picture_share(const media::Pixmap& shot, const std::vector<Box>& skip) {
  int in = 0, all = 0;
  for (int y = 2; y < kH; y += 7)
    for (int x = 2; x < kW; x += 7) {
      bool skipped = false;
      for (const Box& b : skip) skipped = skipped || b.has(x, y);
      if (skipped) continue;
      ++all;
      in += (read_pixel(shot, x, y) & 0xFFFFFF) == (code(x, y) & 0xFFFFFF);
    }
  return all ? double(in) / all : 0;
}

double colour_share(const media::Pixmap& shot, int r, int g, int b) {
  int in = 0, all = 0;
  for (int y = 3; y < kH; y += 11)
    for (int x = 3; x < kW; x += 11, ++all) in += near(read_pixel(shot, x, y), r, g, b, 6);
  return double(in) / all;
}

struct Piece {
  int click_x = 0, click_y = 0;  // a screen point well inside the piece at home
};

// Reads cut n from the program's data: for each piece, the point inside its shape nearest the
// centre of its mask, at least 5 pixels from the shape's edge.
std::vector<Piece> read_cut(const Pipkin& app, int n) {
  std::string dir = app.data("pieces/" + std::to_string(n) + "/");
  std::string text = app.read_text("pieces/" + std::to_string(n) + "/pieces.txt");
  std::vector<int> v;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    v.push_back(std::atoi(text.substr(at, end - at).c_str()));
    at = end + 1;
  }
  std::vector<Piece> out;
  if (v.size() < 4) return out;
  int count = v[0] * v[1];
  for (int i = 1; i <= count && 3 + 2 * i < static_cast<int>(v.size()); ++i) {
    media::PixmapPtr m = media::load_pixmap(dir + std::to_string(i) + ".png");
    if (!m) return {};
    int x0 = v[2 + 2 * i], y0 = v[3 + 2 * i];
    auto inside = [&](int u, int v2) {
      for (int dy = -5; dy <= 5; ++dy)
        for (int dx = -5; dx <= 5; ++dx)
          if (u + dx < 0 || v2 + dy < 0 || u + dx >= m->width || v2 + dy >= m->height ||
              (read_pixel(*m, u + dx, v2 + dy) >> 24) >= 128)
            return false;
      return true;
    };
    int best = -1, bu = 0, bv = 0;
    for (int v2 = 0; v2 < m->height; v2 += 2)
      for (int u = 0; u < m->width; u += 2) {
        int d = (u - m->width / 2) * (u - m->width / 2) + (v2 - m->height / 2) * (v2 - m->height / 2);
        if ((best < 0 || d < best) && inside(u, v2)) best = d, bu = u, bv = v2;
      }
    out.push_back({x0 - m->width / 2 + bu, y0 - m->height / 2 + bv});
  }
  return out;
}

// The cut whose template lines are seen on the screen.
int cut_on_screen(const Pipkin& app, const media::Pixmap& shot) {
  int best = 0;
  double best_share = 0;
  for (int n = 1; n <= 13; ++n) {
    media::PixmapPtr t = media::load_pixmap(app.data("templates/" + std::to_string(n) + ".png"));
    if (!t) continue;
    int lines = 0, seen = 0;
    for (int y = 10; y < kH - 10; y += 2)
      for (int x = 10; x < kW - 10; x += 2) {
        if ((read_pixel(*t, x, y) >> 24) < 128) continue;
        ++lines;
        uint32_t want = read_pixel(*t, x, y);
        seen += near(read_pixel(shot, x, y), (want >> 16) & 255, (want >> 8) & 255, want & 255, 8);
      }
    double share = lines ? double(seen) / lines : 0;
    if (share > best_share) best_share = share, best = n;
  }
  return best_share > 0.9 ? best : 0;
}

// A program with the coded picture as its only picture, at the given level.
struct Game {
  explicit Game(int level) : app(Options(level)) {
    samples::PngSpec spec;
    spec.width = kW;
    spec.height = kH;
    std::string png = samples::encode_png(spec, [](int x, int y, uint8_t* px) {
      uint32_t c = code(x, y);
      px[0] = static_cast<uint8_t>(c >> 16);
      px[1] = static_cast<uint8_t>(c >> 8);
      px[2] = static_cast<uint8_t>(c);
    });
    FILE* f = std::fopen(app.data("pics/coded.png").c_str(), "wb");
    if (f) {
      std::fwrite(png.data(), 1, png.size(), f);
      std::fclose(f);
    }
    media::PixmapPtr s = media::load_pixmap(app.data("images/smiley.png"));
    media::PixmapPtr p = media::load_pixmap(app.data("images/pointer.png"));
    smiley = s ? s->width : 64;
    smiley_h = s ? s->height : 64;
    pointer_w = p ? p->width : 40;
    pointer_h = p ? p->height : 40;
  }
  static e2e::Options Options(int level) {
    e2e::Options o;
    o.level = level;
    o.keep_pictures = false;
    return o;
  }
  // Moves the pointer and remembers where it is drawn.
  void click(int x, int y) {
    app.click(x, y);
    px = x;
    py = y;
  }
  std::vector<Box> furniture() const {
    return {{px - 3, py - 3, px + pointer_w + 3, py + pointer_h + 3}, {990, 735, kW, kH}};
  }
  // The corner button of a finished puzzle.
  Box corner() const { return {5, kH - smiley - 5, 5 + smiley, kH - smiley - 5 + smiley_h}; }
  void park() {
    app.move(1000, 20);
    px = 1000;
    py = 20;
  }
  bool finished() {
    return app.wait_for([this](const media::Pixmap& p) {
      std::vector<Box> skip = furniture();
      skip.push_back(corner());
      if (picture_share(p, skip) < 0.98) return false;
      // The button is drawn over the picture.
      Box c = corner();
      int differs = 0;
      for (int y = c.y0; y < c.y1; y += 2)
        for (int x = c.x0; x < c.x1; x += 2) differs += (read_pixel(p, x, y) & 0xFFFFFF) != (code(x, y) & 0xFFFFFF);
      return differs > 50;
    });
  }
  Pipkin app;
  int smiley = 64, smiley_h = 64, pointer_w = 40, pointer_h = 40;
  int px = 0, py = 0;
};

}  // namespace

TEST(Jigsaw, UncoverEveryPieceThenDealAgain) {
  Game g(5);
  ASSERT_TRUE(g.app.start()) << g.app.stderr_text();
  g.app.key("5");
  g.park();
  ASSERT_TRUE(g.app.wait_for([](const media::Pixmap& p) { return colour_share(p, 0, 0, 100) > 0.8; }))
      << "the template on dark blue";
  media::PixmapPtr shot = g.app.screenshot("/tmp/pipkin_jigsaw_uncover_start.png");
  int n = cut_on_screen(g.app, *shot);
  ASSERT_GT(n, 0) << "the template matches one of the cuts";
  std::vector<Piece> pieces = read_cut(g.app, n);
  ASSERT_FALSE(pieces.empty());
  for (size_t i = 0; i < pieces.size(); ++i) {
    g.click(pieces[i].click_x, pieces[i].click_y);
    if (i == pieces.size() / 2) {
      g.app.settle(100);
      media::PixmapPtr half = g.app.screenshot("/tmp/pipkin_jigsaw_uncover_half.png");
      double share = picture_share(*half, g.furniture());
      EXPECT_GT(share, 0.2) << "half the pieces show the picture";
      EXPECT_LT(share, 0.9);
    }
  }
  g.park();
  ASSERT_TRUE(g.finished()) << "the whole picture with the corner button";
  g.app.screenshot("/tmp/pipkin_jigsaw_uncover_end.png");
  // The corner button deals a new puzzle.
  Box c = g.corner();
  g.click((c.x0 + c.x1) / 2, (c.y0 + c.y1) / 2);
  EXPECT_TRUE(g.app.wait_for([](const media::Pixmap& p) { return colour_share(p, 0, 0, 100) > 0.8; }));
  EXPECT_NE(cut_on_screen(g.app, *g.app.screenshot()), n) << "another cut";
  g.app.key("Escape");
  ASSERT_TRUE(g.app.wait_exit(5000));
  EXPECT_EQ(g.app.read_text("pipkin.txt"), "6\r\n") << "finishing uncover at the highest level unlocks 6";
}

TEST(Jigsaw, WhereFindsEveryShownPiece) {
  Game g(6);
  ASSERT_TRUE(g.app.start()) << g.app.stderr_text();
  g.app.key("6");
  g.park();
  ASSERT_TRUE(g.app.wait_for([](const media::Pixmap& p) { return colour_share(p, 150, 0, 0) > 0.5; }))
      << "the template on dark red";
  g.app.screenshot("/tmp/pipkin_jigsaw_where_start.png");
  int rounds = 0;
  for (; rounds < 40; ++rounds) {
    media::PixmapPtr shot = g.app.screenshot();
    int sx = 0, sy = 0, hx = 0, hy = 0;
    if (!find_stray(*shot, g.furniture(), sx, sy, hx, hy)) break;
    g.click(hx, hy);
  }
  EXPECT_GE(rounds, 4);
  g.park();
  ASSERT_TRUE(g.finished());
  g.app.key("Escape");
  ASSERT_TRUE(g.app.wait_exit(5000));
  EXPECT_EQ(g.app.read_text("pipkin.txt"), "7\r\n");
}

TEST(Jigsaw, CarryEveryPieceHome) {
  Game g(9);
  ASSERT_TRUE(g.app.start()) << g.app.stderr_text();
  g.app.key("9");
  g.park();
  ASSERT_TRUE(g.app.wait_for([](const media::Pixmap& p) { return colour_share(p, 255, 192, 255) > 0.1; }))
      << "pieces on pink";
  media::PixmapPtr start = g.app.screenshot("/tmp/pipkin_jigsaw_pj_start.png");
  // The right button hides every loose piece, and shows them again.
  g.app.click(1000, 20, 3);
  EXPECT_GT(colour_share(*g.app.screenshot(), 255, 192, 255), 0.97);
  g.app.click(1000, 20, 3);
  EXPECT_LT(colour_share(*g.app.screenshot(), 255, 192, 255), 0.9);

  int moves = 0;
  for (; moves < 80; ++moves) {
    media::PixmapPtr shot = g.app.screenshot();
    int sx = 0, sy = 0, hx = 0, hy = 0;
    if (!find_stray(*shot, g.furniture(), sx, sy, hx, hy)) break;
    g.click(sx, sy);  // picks the piece up
    if (moves == 0) {
      g.app.move(sx + 40, sy + 30);
      g.app.screenshot("/tmp/pipkin_jigsaw_pj_carry.png");
    }
    g.click(hx, hy);  // puts it down exactly at home
  }
  EXPECT_GE(moves, 4);
  g.park();
  ASSERT_TRUE(g.finished()) << "every piece fixed: the picture with the corner button";
  g.app.screenshot("/tmp/pipkin_jigsaw_pj_end.png");
  g.app.key("Escape");
  ASSERT_TRUE(g.app.wait_exit(5000));
  EXPECT_EQ(g.app.read_text("pipkin.txt"), "9\r\n");
}
