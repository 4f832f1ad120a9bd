// The scan-line fill against a plain breadth-first reference on random line drawings and noise,
// in every pixel format, with guard pixels round the pixmap; corners and staircases that must hold;
// and the two Escape rules.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "activities/flood_fill.hpp"
#include "media/input/events.hpp"
#include "media/decode/pixmap.hpp"

using activities::flood_fill;
using media::Pixmap;
using media::read_pixel;
using media::write_pixel;

namespace {

constexpr uint32_t kBlue = 0xFF000046, kWhite = 0xFFFFFFFF, kRed = 0xFFEB2828;
constexpr int kGuardRows = 2;

Pixmap with_spares(const Pixmap& p) {
  Pixmap all = p;
  all.width = p.width + 3;
  all.height = p.height + kGuardRows;
  return all;
}

// A pixmap whose rows carry three spare pixels and which has spare rows after the last, all holding
// the given colour: a fill that strays outside would find them fillable and write them.
Pixmap guarded(int w, int h, int format, uint32_t fill, uint32_t guard) {
  Pixmap p;
  p.width = w;
  p.height = h;
  p.format = format;
  p.pitch = (w + 3) * media::bytes_per_pixel(format);
  p.pixels.assign(static_cast<size_t>(p.pitch) * (h + kGuardRows), 0);
  Pixmap all = with_spares(p);
  for (int y = 0; y < all.height; ++y)
    for (int x = 0; x < all.width; ++x) write_pixel(all, x, y, x < w && y < h ? fill : guard);
  p.pixels = all.pixels;
  return p;
}

// What a spare pixel reads as (the guard colour in the pixmap's format).
uint32_t spare(const Pixmap& p) { return read_pixel(with_spares(p), p.width, 0); }

bool guards_hold(const Pixmap& p, uint32_t guard) {
  Pixmap all = with_spares(p);
  for (int y = 0; y < all.height; ++y)
    for (int x = 0; x < all.width; ++x)
      if ((x >= p.width || y >= p.height) && read_pixel(all, x, y) != guard) return false;
  return true;
}

// Breadth-first reference: every pixel equal to the seed's, 4-connected to it.
void reference_fill(Pixmap& p, uint32_t colour, int sx, int sy) {
  uint32_t old = read_pixel(p, sx, sy);
  std::vector<char> seen(static_cast<size_t>(p.width) * p.height, 0);
  std::deque<std::pair<int, int>> q{{sx, sy}};
  seen[static_cast<size_t>(sy) * p.width + sx] = 1;
  std::vector<std::pair<int, int>> region;
  while (!q.empty()) {
    auto [x, y] = q.front();
    q.pop_front();
    region.push_back({x, y});
    const int nb[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
    for (auto& n : nb) {
      if (n[0] < 0 || n[1] < 0 || n[0] >= p.width || n[1] >= p.height) continue;
      size_t i = static_cast<size_t>(n[1]) * p.width + n[0];
      if (!seen[i] && read_pixel(p, n[0], n[1]) == old) {
        seen[i] = 1;
        q.push_back({n[0], n[1]});
      }
    }
  }
  for (auto [x, y] : region) write_pixel(p, x, y, colour);
}

// A simple line plotter of our own (any staircase will do).
void plot_line(Pixmap& p, int x1, int y1, int x2, int y2, uint32_t c) {
  int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1, dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
  for (int err = dx + dy;;) {
    write_pixel(p, x1, y1, c);
    if (x1 == x2 && y1 == y2) return;
    int e2 = 2 * err;
    if (e2 >= dy) err += dy, x1 += sx;
    if (e2 <= dx) err += dx, y1 += sy;
  }
}

bool same_pixels(const Pixmap& a, const Pixmap& b) {
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x)
      if (read_pixel(a, x, y) != read_pixel(b, x, y)) return false;
  return true;
}

bool never() { return false; }

// A scripted Escape key: answers 1 at the listed call numbers (from 1), counting every call.
std::vector<int> escape_at;
int calls = 0;
bool scripted() {
  ++calls;
  for (int c : escape_at)
    if (c == calls) return true;
  return false;
}

std::string rows(const Pixmap& p, uint32_t filled) {
  std::string s;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) s += read_pixel(p, x, y) == filled ? '#' : '.';
    s += '\n';
  }
  return s;
}

// The scan written step by step, the left and right sides alternating one pixel each: the oracle
// for where an Escape press leaves the fill. Asks probe(27) as the fill does.
void stepwise_fill(Pixmap& p, uint32_t colour, int sx, int sy, const std::function<int()>& probe) {
  const uint32_t old = read_pixel(p, sx, sy);
  if (old == colour) return;
  std::deque<std::pair<int, int>> q{{sx, sy}};
  while (true) {
    auto [px, y] = q.front();
    int pos[2] = {px, px + 1}, up[2] = {-1, -1}, down[2] = {-1, -1};
    bool done[2] = {false, false};
    while (!(done[0] && done[1])) {
      for (int s = 0; s < 2; ++s) {
        bool inside = s == 0 ? pos[s] >= 0 : pos[s] <= p.width - 1;
        if (!done[s] && inside && read_pixel(p, pos[s], y) == old) {
          write_pixel(p, pos[s], y, colour);
          if (y > 0) {
            if (read_pixel(p, pos[s], y - 1) == old) up[s] = pos[s];
            else if (up[s] != -1) q.push_back({up[s], y - 1}), up[s] = -1;
          }
          if (y < p.height - 1) {
            if (read_pixel(p, pos[s], y + 1) == old) down[s] = pos[s];
            else if (down[s] != -1) q.push_back({down[s], y + 1}), down[s] = -1;
          }
          pos[s] += s == 0 ? -1 : 1;
        } else {
          done[s] = true;
          if (up[s] != -1) q.push_back({up[s], y - 1}), up[s] = -1;
          if (down[s] != -1) q.push_back({down[s], y + 1}), down[s] = -1;
        }
      }
      if (!(done[0] && done[1]) && probe()) break;
    }
    q.pop_front();
    if (q.empty() || probe()) return;
  }
}

}  // namespace

TEST(FloodFill, MatchesTheReferenceOnRandomLineDrawings) {
  std::mt19937 rng(1234);
  for (int round = 0; round < 60; ++round) {
    SCOPED_TRACE(round);
    const int w = 5 + static_cast<int>(rng() % 120), h = 5 + static_cast<int>(rng() % 90);
    const int format = round % 3 == 0 ? media::PF_BGRA : media::PF_RGBA;
    Pixmap p = guarded(w, h, format, kBlue, kBlue);
    const int n_lines = 1 + static_cast<int>(rng() % 12);
    for (int i = 0; i < n_lines; ++i)
      plot_line(p, rng() % w, rng() % h, rng() % w, rng() % h, kWhite);
    for (int fill = 0; fill < 6; ++fill) {
      int x = rng() % w, y = rng() % h;
      uint32_t colour = fill % 3 == 2 ? kWhite : 0xFF000000u | (rng() & 0xFFFFFFu);
      Pixmap want = p;
      reference_fill(want, colour, x, y);
      flood_fill(colour, x, y, p, never);
      ASSERT_TRUE(same_pixels(p, want)) << "fill " << fill << " at " << x << "," << y;
      ASSERT_TRUE(guards_hold(p, kBlue)) << "wrote outside the pixmap";
    }
  }
}

TEST(FloodFill, MatchesTheReferenceOnNoiseInEveryFormat) {
  std::mt19937 rng(99);
  const int formats[] = {media::PF_GREY, media::PF_ALPHA, media::PF_BGR, media::PF_RGB, media::PF_BGRA,
                         media::PF_RGBA};
  const uint32_t palette[3] = {0xFF101010, 0xFF808080, 0x80808080};
  for (int format : formats)
    for (int round = 0; round < 40; ++round) {
      SCOPED_TRACE(testing::Message() << "format " << format << " round " << round);
      const int w = 1 + static_cast<int>(rng() % 40), h = 1 + static_cast<int>(rng() % 30);
      Pixmap p = guarded(w, h, format, 0, palette[0]);
      const uint32_t guard = spare(p);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) write_pixel(p, x, y, palette[rng() % 3]);
      for (int fill = 0; fill < 5; ++fill) {
        int x = rng() % w, y = rng() % h;
        uint32_t colour = palette[rng() % 3] ^ (fill == 4 ? 0x00202020u : 0);
        Pixmap want = p;
        // The reference writes and reads the format's own way; skip the cases where the written
        // value reads back as the old one (the fill then rightly leaves the pixmap alone).
        Pixmap probe = want;
        write_pixel(probe, x, y, colour);
        if (read_pixel(probe, x, y) != read_pixel(want, x, y)) reference_fill(want, colour, x, y);
        flood_fill(colour, x, y, p, never);
        ASSERT_TRUE(same_pixels(p, want));
        ASSERT_TRUE(guards_hold(p, guard));
      }
    }
}

TEST(FloodFill, EdgesCornersStaircasesAndNoOps) {
  // One colour everywhere: every pixel changes; the edges stop it, the guards stay.
  Pixmap p = guarded(9, 7, media::PF_RGBA, kBlue, kBlue);
  flood_fill(kRed, 8, 6, p, never);
  std::string all_red;
  for (int y = 0; y < 7; ++y) all_red += "#########\n";
  EXPECT_EQ(rows(p, kRed), all_red);
  EXPECT_TRUE(guards_hold(p, kBlue));

  // Two areas touching only at a corner are separate; so are the sides of a 45 degree line.
  Pixmap c = guarded(6, 6, media::PF_RGBA, kBlue, kBlue);
  for (int i = 0; i < 6; ++i) write_pixel(c, i, i, kWhite);
  flood_fill(kRed, 5, 0, c, never);
  EXPECT_EQ(rows(c, kRed),
            ".#####\n"
            "..####\n"
            "...###\n"
            "....##\n"
            ".....#\n"
            "......\n");
  // A seed on the diagonal line recolours that one pixel only.
  flood_fill(kRed, 2, 2, c, never);
  EXPECT_EQ(read_pixel(c, 2, 2), kRed);
  EXPECT_EQ(read_pixel(c, 1, 1), kWhite);
  EXPECT_EQ(read_pixel(c, 3, 3), kWhite);

  // The seed's colour already: nothing is read further, written or asked.
  Pixmap same = c;
  escape_at.clear();
  calls = 0;
  flood_fill(kRed, 4, 0, c, scripted);
  EXPECT_TRUE(same_pixels(c, same));
  EXPECT_EQ(calls, 0);

  // A seed outside the pixmap changes nothing; a missing pixmap is no fault.
  flood_fill(kRed, -1, 0, c, never);
  flood_fill(kRed, 6, 0, c, never);
  flood_fill(kRed, 0, 6, c, never);
  EXPECT_TRUE(same_pixels(c, same));
  EXPECT_TRUE(guards_hold(c, kBlue));
  flood_fill(kRed, 0, 0, media::PixmapPtr(), never);

  // A grey pixmap cannot tell a colour from its grey: a fill that writes back the same grey ends.
  Pixmap g = guarded(4, 4, media::PF_GREY, 0xFF808080, 0xFF808080);
  flood_fill(0xFF7F8081, 0, 0, g, never);  // (127 + 128 + 129) / 3 = 128: reads as before
  EXPECT_EQ(read_pixel(g, 3, 3), 0xFF808080u);
  flood_fill(0xFF000000, 0, 0, g, never);
  EXPECT_EQ(read_pixel(g, 3, 3), 0xFF000000u);
  EXPECT_TRUE(guards_hold(g, 0xFF808080u));
}

TEST(FloodFill, EscapeCutsARowOrEndsTheFill) {
  // A press seen during the first row: the seed and its right neighbour are all that change.
  Pixmap p = guarded(10, 3, media::PF_RGBA, kBlue, kBlue);
  escape_at = {1};
  calls = 0;
  flood_fill(kRed, 5, 1, p, scripted);
  EXPECT_EQ(rows(p, kRed), "..........\n.....##...\n..........\n");
  EXPECT_EQ(calls, 1) << "the row's runs were not queued, so there is no second pass to ask before";

  // A press seen between rows: the seed row is done (six questions during it), nothing more.
  p = guarded(10, 3, media::PF_RGBA, kBlue, kBlue);
  escape_at = {7};
  calls = 0;
  flood_fill(kRed, 5, 1, p, scripted);
  EXPECT_EQ(rows(p, kRed), "..........\n##########\n..........\n");
  EXPECT_EQ(calls, 7);

  // A press during a row cuts only that row: runs already closed go on and can reach some of the
  // skipped pixels. Row 0 has a wall at x = 8; the seed row is cut after its third step.
  p = guarded(12, 2, media::PF_RGBA, kBlue, kBlue);
  write_pixel(p, 8, 0, kWhite);
  escape_at = {3};
  calls = 0;
  flood_fill(kRed, 6, 1, p, scripted);
  EXPECT_EQ(rows(p, kRed),
            "########....\n"
            "##########..\n");
  EXPECT_EQ(calls, 16) << "asked after every step while a side is open, and once between rows";

  // The platform's Escape watch: a press made after it began stops the fill at its first question;
  // one made before does not.
  media::flush_events();
  media::input_key_down(media::Key::Escape, false);
  media::EscapeWatch watch;
  p = guarded(10, 3, media::PF_RGBA, kBlue, kBlue);
  flood_fill(kRed, 5, 1, p, [&] { return watch.pressed(); });
  EXPECT_EQ(rows(p, kRed), "##########\n##########\n##########\n");
  media::input_key_down(media::Key::Escape, false);
  p = guarded(10, 3, media::PF_RGBA, kBlue, kBlue);
  flood_fill(kRed, 5, 1, p, [&] { return watch.pressed(); });
  EXPECT_EQ(rows(p, kRed), "..........\n.....##...\n..........\n");
  media::flush_events();
  flood_fill(kRed, 0, 0, p);  // no check: the whole region
  EXPECT_EQ(rows(p, kRed), "##########\n##########\n##########\n");
}

namespace {

// Fills p from (x, y) with the scripted Escape presses (escape_at) and expects what the stepwise
// scan leaves with the same presses, asked as often.
void expect_stepwise_result(Pixmap& p, int x, int y) {
  Pixmap want = p;
  int oracle_calls = 0;
  stepwise_fill(want, kRed, x, y, [&] {
    ++oracle_calls;
    for (int c : escape_at)
      if (c == oracle_calls) return 1;
    return 0;
  });
  calls = 0;
  flood_fill(kRed, x, y, p, scripted);
  ASSERT_TRUE(same_pixels(p, want)) << rows(p, kRed) << "\n" << rows(want, kRed);
  ASSERT_EQ(calls, oracle_calls);
}

}  // namespace

TEST(FloodFill, EscapeAnywhereLeavesWhatTheStepwiseScanLeaves) {
  std::mt19937 rng(77);
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE(round);
    const int w = 3 + static_cast<int>(rng() % 50), h = 3 + static_cast<int>(rng() % 40);
    Pixmap p = guarded(w, h, round % 2 ? media::PF_RGBA : media::PF_RGB, kBlue, kBlue);
    for (int i = 0, n = static_cast<int>(rng() % 8); i < n; ++i)
      plot_line(p, rng() % w, rng() % h, rng() % w, rng() % h, kWhite);
    // One to three presses at random questions (some never reached).
    escape_at.clear();
    for (int i = 0, n = 1 + static_cast<int>(rng() % 3); i < n; ++i) escape_at.push_back(1 + rng() % 150);
    const int x = rng() % w, y = rng() % h;
    ASSERT_NO_FATAL_FAILURE(expect_stepwise_result(p, x, y));
    ASSERT_TRUE(guards_hold(p, kBlue));
  }
}

TEST(FloodFill, EscapeOnWideRowsWithManyRunsLeavesWhatTheStepwiseScanLeaves) {
  // Rows long enough for the fill's word-at-a-time scans, speckled so the rows above and below hold
  // runs of every length; some pixmaps have a pitch that is no whole number of words.
  std::mt19937 rng(2024);
  for (int round = 0; round < 120; ++round) {
    SCOPED_TRACE(round);
    const int w = 40 + static_cast<int>(rng() % 300), h = 2 + static_cast<int>(rng() % 24);
    const int format = round % 2 ? media::PF_BGRA : media::PF_RGBA;
    Pixmap p;
    if (round % 5 == 4) {
      p.width = w;
      p.height = h;
      p.format = format;
      p.pitch = w * 4 + 2;
      p.pixels.assign(static_cast<size_t>(p.pitch) * h, 0);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) write_pixel(p, x, y, kBlue);
    } else {
      p = guarded(w, h, format, kBlue, kBlue);
    }
    const unsigned density = 1 + rng() % 40;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (rng() % 100 < density) write_pixel(p, x, y, kWhite);
    escape_at.clear();
    for (int i = 0, n = static_cast<int>(rng() % 4); i < n; ++i) escape_at.push_back(1 + rng() % 2000);
    const int x = rng() % w, y = rng() % h;
    ASSERT_NO_FATAL_FAILURE(expect_stepwise_result(p, x, y));
    if (round % 5 != 4) {
      ASSERT_TRUE(guards_hold(p, kBlue));
    }
  }
}
