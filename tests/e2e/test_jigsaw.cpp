// The three jigsaw games played to the end in the real program. The picture is a coded one whose
// every pixel tells where it lies in the picture, so any piece seen anywhere on the screen (on
// the "where" card, or lying loose in "pj") tells where its home is.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/harness.hpp"
#include "tests/unit/sample_images.hpp"

using e2e::near;
using e2e::Pipkin;
using media::read_pixel;

namespace {

constexpr int kW = 1024, kH = 768;
constexpr int kParkX = 1000, kParkY = 20;

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
  media::PixmapPtr mask;         // the piece's mask (clear inside the shape), its top-left corner
  int left = 0, top = 0;         // at home:
  bool holds(int x, int y) const {
    int u = x - left, v = y - top;
    return u >= 0 && v >= 0 && u < mask->width && v < mask->height && (read_pixel(*mask, u, v) >> 24) < 128;
  }
};

// The piece whose shape at home holds picture point (x, y); -1 for none.
int piece_at(const std::vector<Piece>& pieces, int x, int y) {
  for (size_t i = 0; i < pieces.size(); ++i)
    if (pieces[i].holds(x, y)) return static_cast<int>(i);
  return -1;
}

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
    out.push_back({x0 - m->width / 2 + bu, y0 - m->height / 2 + bv, m, x0 - m->width / 2, y0 - m->height / 2});
  }
  return out;
}

// The cut whose template lines are seen on the screen, drawn on a background of the given colour.
// Only line pixels showing either the line or the background count, so a card lying over part of
// the template does not hide the answer.
int cut_on_screen(const Pipkin& app, const media::Pixmap& shot, int bg_r, int bg_g, int bg_b) {
  int best = 0;
  double best_share = 0;
  for (int n = 1; n <= 13; ++n) {
    media::PixmapPtr t = media::load_pixmap(app.data("templates/" + std::to_string(n) + ".png"));
    if (!t) continue;
    int seen = 0, background = 0;
    for (int y = 10; y < kH - 10; y += 2)
      for (int x = 10; x < kW - 10; x += 2) {
        if ((read_pixel(*t, x, y) >> 24) < 128) continue;
        uint32_t want = read_pixel(*t, x, y), got = read_pixel(shot, x, y);
        seen += near(got, (want >> 16) & 255, (want >> 8) & 255, want & 255, 8);
        background += near(got, bg_r, bg_g, bg_b, 8);
      }
    double share = seen > 500 ? double(seen) / (seen + background) : 0;
    if (share > best_share) best_share = share, best = n;
  }
  return best_share > 0.9 ? best : 0;
}

// A point well inside the piece's home where the screen shows the bare "where" background (dark
// red), so neither the card nor the pointer lies over it; the one nearest the piece's own click
// point.
bool open_point(const Piece& piece, const media::Pixmap& shot, const std::vector<Box>& skip, int& x, int& y) {
  auto bare = [&shot](int u, int v) { return near(read_pixel(shot, u, v), 150, 0, 0, 8); };
  long best = -1;
  for (int v = piece.top; v < piece.top + piece.mask->height; v += 3)
    for (int u = piece.left; u < piece.left + piece.mask->width; u += 3) {
      bool ok = bare(u, v) && bare(u - 3, v - 3);
      for (int d = -5; ok && d <= 5; d += 5)
        ok = piece.holds(u + d, v - 5) && piece.holds(u + d, v + 5) && piece.holds(u - 5, v + d) && piece.holds(u + 5, v + d);
      for (const Box& b : skip) ok = ok && !b.has(u, v) && !b.has(u - 3, v - 3);
      long dist = long(u - piece.click_x) * (u - piece.click_x) + long(v - piece.click_y) * (v - piece.click_y);
      if (ok && (best < 0 || dist < best)) best = dist, x = u, y = v;
    }
  return best >= 0;
}

// The piece on the "where" card as the screen shows it: the coded pixels shown away from their
// home, all shifted by the card's one offset; `home` marks where each of them belongs.
struct CardPiece {
  std::vector<uint8_t> home = std::vector<uint8_t>(static_cast<size_t>(kW) * kH, 0);
  int count = 0;
  int mid_x = 0, mid_y = 0;  // the middle of its home: tells the pieces apart
  bool has(int x, int y) const { return x >= 0 && y >= 0 && x < kW && y < kH && home[static_cast<size_t>(y) * kW + x]; }
};

bool card_piece(const media::Pixmap& shot, const std::vector<Box>& skip, CardPiece& out) {
  auto skipped = [&skip](int x, int y) {
    for (const Box& b : skip)
      if (b.has(x, y)) return true;
    return false;
  };
  // The offset most of the stray pixels agree on (a stray match elsewhere cannot outvote the card).
  std::map<std::pair<int, int>, int> votes;
  for (int y = 0; y < kH; y += 3)
    for (int x = 0; x < kW; x += 3) {
      int hx = 0, hy = 0;
      if (!skipped(x, y) && decode(read_pixel(shot, x, y), hx, hy) && (hx != x || hy != y)) ++votes[{x - hx, y - hy}];
    }
  std::pair<int, int> offset{0, 0};
  int most = 0;
  for (const auto& [o, n] : votes)
    if (n > most) most = n, offset = o;
  if (most < 100) return false;
  out = CardPiece{};
  long sx = 0, sy = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      int hx = 0, hy = 0;
      if (skipped(x, y) || !decode(read_pixel(shot, x, y), hx, hy) || x - hx != offset.first || y - hy != offset.second)
        continue;
      out.home[static_cast<size_t>(hy) * kW + hx] = 1;
      ++out.count;
      sx += hx;
      sy += hy;
    }
  out.mid_x = static_cast<int>(sx / out.count);
  out.mid_y = static_cast<int>(sy / out.count);
  return true;
}

// A point of the card's piece's home that the screen shows as bare table all around (dark red:
// the piece is still hidden there, and neither the card, an outline nor the pointer lies over it),
// well inside the home: of those, the one nearest their middle.
bool point_in_sight(const media::Pixmap& shot, const CardPiece& piece, const std::vector<Box>& skip, int& x, int& y) {
  std::vector<std::pair<int, int>> ok;
  for (int v = 8; v < kH - 8; v += 2)
    for (int u = 8; u < kW - 8; u += 2) {
      bool good = piece.has(u, v);
      for (int dy = -6; good && dy <= 6; dy += 3)
        for (int dx = -6; good && dx <= 6; dx += 3)
          good = piece.has(u + dx, v + dy) && near(read_pixel(shot, u + dx, v + dy), 150, 0, 0, 8);
      for (const Box& b : skip) good = good && !b.has(u, v) && !b.has(u - 3, v - 3);
      if (good) ok.push_back({u, v});
    }
  if (ok.empty()) return false;
  long sx = 0, sy = 0;
  for (auto [u, v] : ok) sx += u, sy += v;
  const long mx = sx / static_cast<long>(ok.size()), my = sy / static_cast<long>(ok.size());
  long best = -1;
  for (auto [u, v] : ok) {
    const long d = (u - mx) * (u - mx) + (v - my) * (v - my);
    if (best < 0 || d < best) best = d, x = u, y = v;
  }
  return true;
}

// A program with the coded picture as its only picture, at the given level.
struct Game {
  // finger: SDL's simulated touches, the left button held down being a finger (tests/e2e/test_touch.cpp).
  explicit Game(int level, bool finger = false) : app(Options(level, finger)) {
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
  static e2e::Options Options(int level, bool finger) {
    e2e::Options o;
    o.level = level;
    o.keep_pictures = false;
    if (finger) o.env.push_back({"SDL_MOUSE_TOUCH_EVENTS", "1"});
    return o;
  }
  // A click on (x, y); the pointer stays there.
  void click(int x, int y) {
    app.click(x, y);
    px = cx = x;
    py = cy = y;
  }
  // A click on (x, y) and at once a move on to a parking place, in one burst. The two parking
  // places take turns, so the pointer drawn at the new one shows the burst has been handled.
  void click_and_park(int x, int y) {
    int park_y = ++bursts % 2 ? kParkY + 100 : kParkY;
    app.click_then_move(x, y, kParkX, park_y);
    cx = x;
    cy = y;
    px = kParkX;
    py = park_y;
  }
  bool parked() { return app.move_and_see(px, py); }
  // The pointer is drawn where it rests; where the last click was too, until the move on from there
  // has been drawn (the program may take a burst of moves as one).
  std::vector<Box> furniture() const {
    return {{px - 3, py - 3, px + pointer_w + 3, py + pointer_h + 3},
            {cx - 3, cy - 3, cx + pointer_w + 3, cy + pointer_h + 3},
            {990, 735, kW, kH}};
  }
  // The corner button of a finished puzzle.
  Box corner() const { return {5, kH - smiley - 5, 5 + smiley, kH - smiley - 5 + smiley_h}; }
  // Moves the pointer out of the way and waits until it is drawn there: everything sent before has
  // then been handled.
  bool park() {
    px = cx = kParkX;
    py = cy = kParkY;
    return app.move_and_see(kParkX, kParkY);
  }
  // The whole picture in place, with the corner button drawn over it.
  bool is_finished(const media::Pixmap& p) const {
    std::vector<Box> skip = furniture();
    skip.push_back(corner());
    if (picture_share(p, skip) < 0.98) return false;
    Box c = corner();
    int differs = 0;
    for (int y = c.y0; y < c.y1; y += 2)
      for (int x = c.x0; x < c.x1; x += 2) differs += (read_pixel(p, x, y) & 0xFFFFFF) != (code(x, y) & 0xFFFFFF);
    return differs > 50;
  }
  bool finished() {
    return app.wait_for([this](const media::Pixmap& p) { return is_finished(p); });
  }
  // Waits until the piece holding picture point (x, y) is seen at home. (x, y) lies at least 5 pixels
  // inside the piece; the point checked is up and left of it, clear of the pointer resting there.
  bool at_home(int x, int y) {
    bool seen = app.wait_for([x, y](const media::Pixmap& p) {
      return (read_pixel(p, x - 3, y - 3) & 0xFFFFFF) == (code(x - 3, y - 3) & 0xFFFFFF);
    });
    if (!seen) app.screenshot("/tmp/pipkin_jigsaw_not_home.png");
    return seen;
  }
  // Waits for a stray piece (true, with its screen point and home) or the finished puzzle (true,
  // done set); false when neither shows in time.
  bool next_stray(int& sx, int& sy, int& hx, int& hy, bool& done) {
    done = false;
    return app.wait_for([&](const media::Pixmap& p) {
      if (find_stray(p, furniture(), sx, sy, hx, hy)) return true;
      done = is_finished(p);
      return done;
    });
  }
  Pipkin app;
  int smiley = 64, smiley_h = 64, pointer_w = 40, pointer_h = 40;
  int px = 0, py = 0;  // where the pointer rests
  int cx = 0, cy = 0;  // where the last click was
  int bursts = 0;
};

}  // namespace

TEST(Jigsaw, UncoverEveryPieceThenDealAgain) {
  Game g(5);
  ASSERT_TRUE(g.app.start()) << g.app.stderr_text();
  g.app.key("5");
  ASSERT_TRUE(g.park());
  ASSERT_TRUE(g.app.wait_for([](const media::Pixmap& p) { return colour_share(p, 0, 0, 100) > 0.8; }))
      << "the template on dark blue";
  media::PixmapPtr shot = g.app.screenshot("/tmp/pipkin_jigsaw_uncover_start.png");
  int n = cut_on_screen(g.app, *shot, 0, 0, 100);
  ASSERT_GT(n, 0) << "the template matches one of the cuts";
  std::vector<Piece> pieces = read_cut(g.app, n);
  ASSERT_FALSE(pieces.empty());
  for (size_t i = 0; i < pieces.size(); ++i) {
    g.click(pieces[i].click_x, pieces[i].click_y);
    if (i == pieces.size() / 2) {
      // The clicks are handled in order: once this one shows, so do all before it.
      ASSERT_TRUE(g.at_home(pieces[i].click_x, pieces[i].click_y)) << "piece " << i << " uncovered";
      media::PixmapPtr half = g.app.screenshot("/tmp/pipkin_jigsaw_uncover_half.png");
      double share = picture_share(*half, g.furniture());
      EXPECT_GT(share, 0.2) << "half the pieces show the picture";
      EXPECT_LT(share, 0.9);
    }
  }
  ASSERT_TRUE(g.park());
  ASSERT_TRUE(g.finished()) << "the whole picture with the corner button";
  g.app.screenshot("/tmp/pipkin_jigsaw_uncover_end.png");
  // The corner button deals a new puzzle.
  Box c = g.corner();
  g.click((c.x0 + c.x1) / 2, (c.y0 + c.y1) / 2);
  EXPECT_TRUE(g.app.wait_for([](const media::Pixmap& p) { return colour_share(p, 0, 0, 100) > 0.8; }));
  EXPECT_NE(cut_on_screen(g.app, *g.app.screenshot(), 0, 0, 100), n) << "another cut";
  g.app.key("Escape");
  ASSERT_TRUE(g.app.wait_exit());
  EXPECT_EQ(g.app.read_text("pipkin.txt"), "6\r\n") << "finishing uncover at the highest level unlocks 6";
}

// Every click is sent in one burst with a move away right after it: the program may take in the
// move before it handles the click, and the click must still act where it was made. Each
// click on a home uncovers its piece, so the game takes exactly one round per piece.
TEST(Jigsaw, WhereFindsEveryShownPiece) {
  Game g(6);
  ASSERT_TRUE(g.app.start()) << g.app.stderr_text();
  g.app.key("6");
  ASSERT_TRUE(g.park());
  ASSERT_TRUE(g.app.wait_for([](const media::Pixmap& p) { return colour_share(p, 150, 0, 0) > 0.5; }))
      << "the template on dark red";
  media::PixmapPtr start = g.app.screenshot("/tmp/pipkin_jigsaw_where_start.png");
  int n = cut_on_screen(g.app, *start, 150, 0, 0);
  ASSERT_GT(n, 0) << "the template matches one of the cuts";
  const std::vector<Piece> cut = read_cut(g.app, n);
  const int pieces = static_cast<int>(cut.size());
  ASSERT_GE(pieces, 4);
  for (int i = 0; i < pieces; ++i) ASSERT_EQ(piece_at(cut, cut[i].click_x, cut[i].click_y), i) << "the shapes tell the pieces apart";
  int rounds = 0;
  bool done = false;
  for (; rounds <= pieces; ++rounds) {
    int sx = 0, sy = 0, hx = 0, hy = 0;
    ASSERT_TRUE(g.next_stray(sx, sy, hx, hy, done)) << "a piece on the card, or the whole picture";
    if (done) break;
    const int shown = piece_at(cut, hx, hy);
    ASSERT_GE(shown, 0);
    // The card may lie over part of the piece's home (a click there takes another card): click
    // where the home is seen uncovered.
    media::PixmapPtr now = g.app.screenshot();
    int cx = 0, cy = 0;
    ASSERT_TRUE(open_point(cut[static_cast<size_t>(shown)], *now, g.furniture(), cx, cy)) << "round " << rounds;
    g.click_and_park(cx, cy);
    // The piece shows at home, or the card shows another piece (it may lie over the home just
    // uncovered).
    ASSERT_TRUE(g.app.wait_for([&](const media::Pixmap& p) {
      int x = 0, y = 0, hx2 = 0, hy2 = 0;
      if ((read_pixel(p, cx - 3, cy - 3) & 0xFFFFFF) == (code(cx - 3, cy - 3) & 0xFFFFFF)) return true;
      return g.is_finished(p) || (find_stray(p, g.furniture(), x, y, hx2, hy2) && piece_at(cut, hx2, hy2) != shown);
    })) << "round " << rounds << ": after a click at (" << cx << ", " << cy << ") on the home of the piece shown at ("
        << sx << ", " << sy << ")";
  }
  EXPECT_TRUE(done);
  EXPECT_EQ(rounds, pieces) << "every click uncovered the piece on the card";
  ASSERT_TRUE(g.park());
  ASSERT_TRUE(g.finished());
  g.app.key("Escape");
  ASSERT_TRUE(g.app.wait_exit());
  EXPECT_EQ(g.app.read_text("pipkin.txt"), "7\r\n");
}

// Whole games of "where" on several cuts, played as a child plays them: the piece is known only by
// its picture on the card, and the click goes where that picture belongs and the table still shows
// dark red, whether the card lies over part of the home or not. Every such click places the piece:
// it shows there, or a card for another piece comes (it may lie over the place just clicked), and a
// piece clicked once never comes back on a card. The corner button then deals the next game, on
// another cut.
TEST(Jigsaw, WherePlayedFromTheScreenOnSeveralCuts) {
  constexpr int kGames = 4;
  Game g(6);
  ASSERT_TRUE(g.app.start()) << g.app.stderr_text();
  g.app.key("6");
  ASSERT_TRUE(g.park());
  auto same_piece = [](const CardPiece& a, int mid_x, int mid_y) {
    return std::abs(a.mid_x - mid_x) <= 3 && std::abs(a.mid_y - mid_y) <= 3;
  };
  for (int game = 0; game < kGames; ++game) {
    SCOPED_TRACE("game " + std::to_string(game + 1));
    ASSERT_TRUE(g.app.wait_for([](const media::Pixmap& p) { return colour_share(p, 150, 0, 0) > 0.3; }))
        << "a new table on dark red";
    const int cut = cut_on_screen(g.app, *g.app.screenshot(), 150, 0, 0);  // for the messages only
    SCOPED_TRACE("cut " + std::to_string(cut));
    std::vector<std::pair<int, int>> clicked;  // the middles of the homes clicked so far
    bool done = false;
    for (int round = 0; round < 40 && !done; ++round) {
      CardPiece piece;
      int x = 0, y = 0;
      ASSERT_TRUE(g.app.wait_for([&](const media::Pixmap& p) {
        done = g.is_finished(p);
        return done || (card_piece(p, g.furniture(), piece) && point_in_sight(p, piece, g.furniture(), x, y));
      })) << "round " << round << ": a card whose piece's home shows, or the whole picture";
      if (done) break;
      for (size_t k = 0; k < clicked.size(); ++k)
        ASSERT_FALSE(same_piece(piece, clicked[k].first, clicked[k].second))
            << "round " << round << ": the piece clicked in round " << k << " is on the card again";
      g.click_and_park(x, y);
      const bool placed = g.app.wait_for([&](const media::Pixmap& p) {
        if ((read_pixel(p, x - 3, y - 3) & 0xFFFFFF) == (code(x - 3, y - 3) & 0xFFFFFF) || g.is_finished(p)) return true;
        CardPiece next;
        return card_piece(p, g.furniture(), next) && !same_piece(next, piece.mid_x, piece.mid_y);
      });
      if (!placed) g.app.screenshot("/tmp/pipkin_where_not_placed.png");
      ASSERT_TRUE(placed) << "round " << round << ": the piece on the card placed by a click at (" << x << ", " << y
                          << ") on its home (" << piece.count << " pixels of it seen on the card)";
      clicked.push_back({piece.mid_x, piece.mid_y});
    }
    ASSERT_TRUE(done) << clicked.size() << " pieces clicked";
    EXPECT_GE(clicked.size(), 4u) << "one click per piece";
    std::printf("where: game %d on cut %d finished, %zu pieces placed with one click each\n", game + 1, cut,
                clicked.size());
    if (game == 0) g.app.screenshot("/tmp/pipkin_where_played_end.png");
    const Box c = g.corner();
    g.click((c.x0 + c.x1) / 2, (c.y0 + c.y1) / 2);  // the next game
  }
  g.app.key("Escape");
  ASSERT_TRUE(g.app.wait_exit());
  EXPECT_EQ(g.app.read_text("pipkin.txt"), "7\r\n") << "finishing where at the highest level unlocks 7";
}

TEST(Jigsaw, CarryEveryPieceHome) {
  Game g(9);
  ASSERT_TRUE(g.app.start()) << g.app.stderr_text();
  g.app.key("9");
  ASSERT_TRUE(g.park());
  ASSERT_TRUE(g.app.wait_for([](const media::Pixmap& p) { return colour_share(p, 255, 192, 255) > 0.1; }))
      << "pieces on pink";
  g.app.screenshot("/tmp/pipkin_jigsaw_pj_start.png");
  // The right button hides every loose piece, and shows them again.
  g.app.click(kParkX, kParkY, 3);
  EXPECT_TRUE(g.app.wait_for([](const media::Pixmap& p) { return colour_share(p, 255, 192, 255) > 0.97; }));
  g.app.click(kParkX, kParkY, 3);
  EXPECT_TRUE(g.app.wait_for([](const media::Pixmap& p) { return colour_share(p, 255, 192, 255) < 0.9; }));

  int moves = 0;
  bool done = false;
  for (; moves < 80; ++moves) {
    int sx = 0, sy = 0, hx = 0, hy = 0;
    ASSERT_TRUE(g.next_stray(sx, sy, hx, hy, done)) << "a loose piece, or the whole picture";
    if (done) break;
    g.click(sx, sy);  // picks the piece up
    if (moves == 0) {
      // The carried piece follows the pointer.
      ASSERT_TRUE(g.app.move_and_see(sx + 40, sy + 30));
      EXPECT_TRUE(g.app.wait_for([&](const media::Pixmap& p) {
        int x = 0, y = 0;
        // (The pointer may rest one pixel right of where it was sent.)
        return decode(read_pixel(p, sx + 40 - 3, sy + 30 - 3), x, y) && (x == hx - 3 || x == hx - 4) && y == hy - 3;
      })) << "carried 40 right and 30 down";
      g.app.screenshot("/tmp/pipkin_jigsaw_pj_carry.png");
    }
    g.click_and_park(hx, hy);  // puts it down exactly at home, and moves on at once
    // (A piece fixed at home lies under the loose ones, so it may not show yet: the check that
    // every piece went home is the finished picture.)
    ASSERT_TRUE(g.parked()) << "move " << moves;
  }
  EXPECT_TRUE(done);
  EXPECT_GE(moves, 4);
  ASSERT_TRUE(g.park());
  ASSERT_TRUE(g.finished()) << "every piece fixed: the picture with the corner button";
  g.app.screenshot("/tmp/pipkin_jigsaw_pj_end.png");
  g.app.key("Escape");
  ASSERT_TRUE(g.app.wait_exit());
  EXPECT_EQ(g.app.read_text("pipkin.txt"), "9\r\n");
}

// Played with a finger: a press on a piece picks it up, the piece follows the finger, and lifting
// the finger a few pixels off its home puts it down and fixes it there (it snaps home). A long press
// on the bare table is a right click: the loose pieces hide and the fixed one stays. The pointer
// image is not drawn while a finger plays.
TEST(Jigsaw, AFingerCarriesAPieceHomeWhereItStaysFixed) {
  Game g(9, true);
  ASSERT_TRUE(g.app.start()) << g.app.stderr_text();
  g.app.key("9");
  ASSERT_TRUE(g.app.wait_for([](const media::Pixmap& p) { return colour_share(p, 255, 192, 255) > 0.1; }))
      << "pieces on pink";
  // Until a finger touches, the pointer image lies where the program put the pointer; left out.
  const std::vector<Box> skip{{0, 0, 60, 60}, {kW / 2 - 5, kH / 2 - 5, kW / 2 + 60, kH / 2 + 60}, {990, 735, kW, kH}};
  int sx = 0, sy = 0, hx = 0, hy = 0;
  ASSERT_TRUE(g.app.wait_for([&](const media::Pixmap& p) { return find_stray(p, skip, sx, sy, hx, hy); }));
  auto xdo = [](const std::string& args) { e2e::sh("xdotool " + args); };
  auto at = [](int x, int y) { return std::to_string(x) + " " + std::to_string(y); };
  // Pressed, dragged in steps and lifted 5 right and 4 down of home.
  xdo("mousemove " + at(sx, sy) + " mousedown 1 mousemove " + at((sx + hx) / 2, (sy + hy) / 2) + " mousemove " +
      at(hx + 5, hy + 4) + " mouseup 1");
  // A spot of bare table, well away from every piece, for the long press.
  int tx = -1, ty = -1;
  ASSERT_TRUE(g.app.wait_for([&](const media::Pixmap& p) {
    for (int y = 40; y < kH - 80 && tx < 0; y += 10)
      for (int x = 40; x < kW - 80 && tx < 0; x += 10) {
        bool bare = std::abs(x - hx) > 80 || std::abs(y - hy) > 80;
        for (int v = -30; bare && v <= 30; v += 6)
          for (int u = -30; bare && u <= 30; u += 6) bare = near(read_pixel(p, x + u, y + v), 255, 192, 255, 6);
        if (bare) tx = x, ty = y;
      }
    return tx >= 0;
  })) << "some bare table";
  xdo("mousemove " + at(tx, ty) + " mousedown 1");
  const bool hidden = g.app.wait_for([&](const media::Pixmap& p) {
    int x = 0, y = 0, h1 = 0, h2 = 0;
    return !find_stray(p, {}, x, y, h1, h2) && (read_pixel(p, hx, hy) & 0xFFFFFF) == (code(hx, hy) & 0xFFFFFF);
  });
  xdo("mouseup 1");
  media::PixmapPtr shot = g.app.screenshot(e2e::shot("jigsaw_finger_fixed"));
  ASSERT_TRUE(hidden) << "the loose pieces hidden, the carried one fixed exactly at home";
  EXPECT_FALSE(g.app.pointer_at(*shot, tx, ty)) << "no pointer image under the finger";
  g.app.key("Escape");
  ASSERT_TRUE(g.app.wait_exit());
}
