#include "activities/flood_fill.hpp"

#include <algorithm>
#include <cstring>
#include <vector>

namespace activities {
namespace {

constexpr int kEscape = 27;

// 32-bit formats: pixels compared and stored as raw words, which stand one-to-one for ARGB values.
// A row is its first byte.
struct WordPixels {
  using Row = uint8_t*;
  media::Pixmap& p;
  uint32_t old_word, new_word;
  Row row(int y) const { return p.row(y); }
  static bool is_old(Row r, int x, uint32_t old) {
    uint32_t w;
    std::memcpy(&w, r + static_cast<size_t>(x) * 4, 4);
    return w == old;
  }
  static void set(Row r, int x, uint32_t v) { std::memcpy(r + static_cast<size_t>(x) * 4, &v, 4); }
};

// Every other format, through the pixmap's own read and write. A row is its number.
struct AnyPixels {
  using Row = int;
  media::Pixmap& p;
  uint32_t old_word, new_word;  // the ARGB values themselves
  Row row(int y) const { return y; }
  bool is_old(Row y, int x, uint32_t old) const { return media::read_pixel(p, x, y) == old; }
  void set(Row y, int x, uint32_t v) { media::write_pixel(p, x, y, v); }
};

// The in-memory form of an ARGB value in a format, and what reading it back gives.
void stored_form(int format, uint32_t argb, uint32_t& word, uint32_t& reads_as) {
  media::Pixmap one;
  one.width = one.height = 1;
  one.format = format;
  one.pitch = 4;
  one.pixels.assign(4, 0);
  media::write_pixel(one, 0, 0, argb);
  std::memcpy(&word, one.pixels.data(), 4);
  reads_as = media::read_pixel(one, 0, 0);
}

// A seed queued by one side of a row scan, with the step of the scan that queued it.
struct Found {
  int step;
  Point at;
};

// One side of a row scan, run on its own: fills from x in direction dir while pixels are fillable,
// noting runs in the rows above and below. The two sides of a row touch different pixels and read
// rows the scan does not change, so each can run alone; scan_fill then puts their work in the order
// of the alternating scan. Returns the step at which the side ends (pixels filled + 1).
template <class Pixels>
int scan_side(Pixels& px, typename Pixels::Row cur, typename Pixels::Row above, typename Pixels::Row below,
              bool has_up, bool has_down, int x, int dir, int w, int y, std::vector<Found>& found) {
  const uint32_t old = px.old_word, colour = px.new_word;
  int up = -1, down = -1;  // the last pixel so far of the run met above and below, or -1
  int step = 1;
  for (; x >= 0 && x < w && px.is_old(cur, x, old); x += dir, ++step) {
    px.set(cur, x, colour);
    if (has_up) {
      if (px.is_old(above, x, old)) {
        up = x;
      } else if (up != -1) {
        found.push_back({step, {up, y - 1}});
        up = -1;
      }
    }
    if (has_down) {
      if (px.is_old(below, x, old)) {
        down = x;
      } else if (down != -1) {
        found.push_back({step, {down, y + 1}});
        down = -1;
      }
    }
  }
  // The side ends: the runs it still remembers are queued, the one above first.
  if (up != -1) found.push_back({step, {up, y - 1}});
  if (down != -1) found.push_back({step, {down, y + 1}});
  return step;
}

// The scan-line fill. Each pass takes the seed at the head of the queue and scans its row to the left
// (from the seed) and to the right (from the pixel after it), one pixel each per step, asking for
// Escape after every step while a side is still open. Seeds are served first in, first out.
template <class Pixels>
void scan_fill(Pixels& px, int w, int h, int sx, int sy, KeyProbe key) {
  std::vector<Point> queue;
  size_t head = 0;
  queue.push_back({sx, sy});
  std::vector<Found> left_found, right_found;

  for (;;) {
    const Point p = queue[head];
    const int y = p.y;
    const bool has_up = y > 0, has_down = y < h - 1;
    const typename Pixels::Row cur = px.row(y);
    const typename Pixels::Row above = px.row(has_up ? y - 1 : y);
    const typename Pixels::Row below = px.row(has_down ? y + 1 : y);
    left_found.clear();
    right_found.clear();
    const int left_end = scan_side(px, cur, above, below, has_up, has_down, p.x, -1, w, y, left_found);
    const int right_end = scan_side(px, cur, above, below, has_up, has_down, p.x + 1, 1, w, y, right_found);

    // The alternating scan asks after every step but the one that closes both sides. A press seen
    // after step j cuts the row there: pixels of later steps go back to the old colour and the runs
    // they found are dropped, as are the runs still remembered at step j.
    int last = std::max(left_end, right_end);
    for (int j = 1; j < last; ++j)
      if (key(kEscape)) {
        for (int s = j + 1; s < left_end; ++s) px.set(cur, p.x - (s - 1), px.old_word);
        for (int s = j + 1; s < right_end; ++s) px.set(cur, p.x + s, px.old_word);
        last = j;
        break;
      }

    // Queue the runs in the alternating order: by step, the left side's before the right side's.
    size_t l = 0, r = 0;
    for (;;) {
      const bool take_left = l < left_found.size() && left_found[l].step <= last &&
                             (r >= right_found.size() || left_found[l].step <= right_found[r].step);
      if (take_left) {
        queue.push_back(left_found[l++].at);
      } else if (r < right_found.size() && right_found[r].step <= last) {
        queue.push_back(right_found[r++].at);
      } else {
        break;
      }
    }

    ++head;
    if (head == queue.size()) return;
    if (key(kEscape)) return;  // between rows: the fill ends, queued seeds are dropped
    if (head >= 4096 && head * 2 >= queue.size()) {
      queue.erase(queue.begin(), queue.begin() + static_cast<std::ptrdiff_t>(head));
      head = 0;
    }
  }
}

}  // namespace

void flood_fill(uint32_t colour, int x, int y, media::Pixmap& pixmap, KeyProbe key) {
  const int w = pixmap.width, h = pixmap.height;
  if (x < 0 || y < 0 || x >= w || y >= h) return;
  const uint32_t old = media::read_pixel(pixmap, x, y);
  if (old == colour) return;
  uint32_t new_word, reads_as, old_word, unused;
  stored_form(pixmap.format, colour, new_word, reads_as);
  // A format that cannot tell the new colour from the old one: writing would change nothing.
  if (reads_as == old) return;
  const bool words = media::bytes_per_pixel(pixmap.format) == 4 && pixmap.pitch >= w * 4 &&
                     pixmap.pixels.size() >= static_cast<size_t>(pixmap.pitch) * h;
  if (words) {
    stored_form(pixmap.format, old, old_word, unused);
    WordPixels px{pixmap, old_word, new_word};
    scan_fill(px, w, h, x, y, key);
  } else {
    AnyPixels px{pixmap, old, colour};
    scan_fill(px, w, h, x, y, key);
  }
}

void flood_fill(uint32_t colour, int x, int y, const media::PixmapPtr& pixmap, KeyProbe key) {
  if (pixmap) flood_fill(colour, x, y, *pixmap, key);
}

}  // namespace activities
