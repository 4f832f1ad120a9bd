#include "activities/flood_fill.hpp"

#include <cstring>
#include <vector>

namespace activities {
namespace {

constexpr int kEscape = 27;

// 32-bit formats: pixels compared and stored as raw words, which stand one-to-one for ARGB values.
struct WordPixels {
  media::Pixmap& p;
  uint32_t old_word, new_word;
  bool is_old(int x, int y) const {
    uint32_t w;
    std::memcpy(&w, p.row(y) + static_cast<size_t>(x) * 4, 4);
    return w == old_word;
  }
  void set(int x, int y) { std::memcpy(p.row(y) + static_cast<size_t>(x) * 4, &new_word, 4); }
};

// Every other format, through the pixmap's own read and write.
struct AnyPixels {
  media::Pixmap& p;
  uint32_t old, colour;
  bool is_old(int x, int y) const { return media::read_pixel(p, x, y) == old; }
  void set(int x, int y) { media::write_pixel(p, x, y, colour); }
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

template <class Pixels>
void scan_fill(Pixels& px, int w, int h, int sx, int sy, KeyProbe key) {
  std::vector<Point> queue;  // first in, first out: seeds are served from head
  size_t head = 0;
  queue.push_back({sx, sy});
  auto push = [&queue](int x, int y) { queue.push_back({x, y}); };

  for (;;) {
    const Point p = queue[head];
    const int y = p.y;
    int left = p.x, right = p.x + 1;
    bool left_done = false, right_done = false;
    int up_left = -1, down_left = -1, up_right = -1, down_right = -1;

    // One pixel of one side: fill it and note the runs above and below, or end that side and queue
    // the runs it still remembers. A marker holds the run's last pixel in the scan's direction.
    auto side = [&](int& pos, bool& done, int& up, int& down, bool inside, int step) {
      if (!done && inside && px.is_old(pos, y)) {
        px.set(pos, y);
        if (y > 0) {
          if (px.is_old(pos, y - 1)) {
            up = pos;
          } else if (up != -1) {
            push(up, y - 1);
            up = -1;
          }
        }
        if (y < h - 1) {
          if (px.is_old(pos, y + 1)) {
            down = pos;
          } else if (down != -1) {
            push(down, y + 1);
            down = -1;
          }
        }
        pos += step;
        return;
      }
      done = true;
      if (up != -1) {
        push(up, y - 1);
        up = -1;
      }
      if (down != -1) {
        push(down, y + 1);
        down = -1;
      }
    };

    while (!(left_done && right_done)) {
      side(left, left_done, up_left, down_left, left >= 0, -1);
      side(right, right_done, up_right, down_right, right <= w - 1, 1);
      // Escape during the row: the rest of it stays, and its remembered runs are dropped.
      if (!(left_done && right_done) && key(kEscape)) break;
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
