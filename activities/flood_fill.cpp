#include "activities/flood_fill.hpp"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace activities {
namespace {

// A 32-bit pixel read or written in place in a byte buffer.
typedef uint32_t Word __attribute__((may_alias));

// Where a row's word run ends: the first x in [x, end) whose word is not v (or is v when `equal`
// is false), or end. 16 words at a time, then 4, then one.
template <bool equal>
int skip_right(const Word* r, int x, int end, uint32_t v) {
#if defined(__SSE2__)
  const __m128i vv = _mm_set1_epi32(static_cast<int>(v));
  const int stop = equal ? 0xFFFF : 0;
  auto mask = [&](int at) {
    return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(r + at)), vv));
  };
  for (; x + 16 <= end; x += 16) {
    const __m128i a = _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(r + x)), vv);
    const __m128i b = _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(r + x + 4)), vv);
    const __m128i c = _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(r + x + 8)), vv);
    const __m128i d = _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(r + x + 12)), vv);
    const __m128i all = equal ? _mm_and_si128(_mm_and_si128(a, b), _mm_and_si128(c, d))
                              : _mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d));
    if (_mm_movemask_epi8(all) != stop) break;
  }
  for (; x + 4 <= end; x += 4) {
    const int m = mask(x);
    if (m != stop) return x + __builtin_ctz(equal ? ~m : m) / 4;
  }
#endif
  while (x < end && (r[x] == v) == equal) ++x;
  return x;
}

// The same leftwards: the lowest x' <= x such that the words x'..x are all v, for x >= 0.
int skip_left(const Word* r, int x, uint32_t v) {
#if defined(__SSE2__)
  const __m128i vv = _mm_set1_epi32(static_cast<int>(v));
  for (; x >= 15; x -= 16) {
    const Word* at = r + x - 15;
    const __m128i a = _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)), vv);
    const __m128i b = _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 4)), vv);
    const __m128i c = _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 8)), vv);
    const __m128i d = _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 12)), vv);
    if (_mm_movemask_epi8(_mm_and_si128(_mm_and_si128(a, b), _mm_and_si128(c, d))) != 0xFFFF) break;
  }
  for (; x >= 3; x -= 4) {
    const int m = _mm_movemask_epi8(
        _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(r + x - 3)), vv));
    if (m != 0xFFFF) return x - 2 + (31 - __builtin_clz(~m & 0xFFFF)) / 4;  // after the last stranger
  }
#endif
  while (x >= 0 && r[x] == v) --x;
  return x + 1;
}

// Stores v in words [from, to).
void fill_words(Word* r, int from, int to, uint32_t v) {
#if defined(__SSE2__)
  const __m128i vv = _mm_set1_epi32(static_cast<int>(v));
  for (; from + 8 <= to; from += 8) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(r + from), vv);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(r + from + 4), vv);
  }
  if (from + 4 <= to) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(r + from), vv);
    from += 4;
  }
#endif
  for (; from < to; ++from) r[from] = v;
}

// A run of fillable pixels met in a row above or below: first and last x.
struct Run {
  int a, b;
};

// 32-bit formats with word-aligned rows: raw words stand one-to-one for ARGB values.
struct WordPixels {
  using Row = Word*;
  media::Pixmap& p;
  uint32_t old_word, new_word;
  Row row(int y) const { return reinterpret_cast<Word*>(p.row(y)); }
  // Fillable pixels from x leftwards (x itself first) and from x rightwards up to w.
  int count_left(Row r, int x) const { return x + 1 - skip_left(r, x, old_word); }
  int count_right(Row r, int x, int w) const { return skip_right<true>(r, x, w, old_word) - x; }
  void fill(Row r, int from, int to) const { fill_words(r, from, to, new_word); }
  void runs(Row r, int x, int end, std::vector<Run>& out) const {
    while (x < end) {
      x = skip_right<false>(r, x, end, old_word);
      if (x == end) return;
      const int e = skip_right<true>(r, x, end, old_word);
      out.push_back({x, e - 1});
      x = e;
    }
  }
};

// Every other format, through the pixmap's own read and write. A row is its number.
struct AnyPixels {
  using Row = int;
  media::Pixmap& p;
  uint32_t old_word, new_word;  // the ARGB values themselves
  Row row(int y) const { return y; }
  bool is_old(Row y, int x) const { return media::read_pixel(p, x, y) == old_word; }
  int count_left(Row y, int x) const {
    int i = x;
    while (i >= 0 && is_old(y, i)) --i;
    return x - i;
  }
  int count_right(Row y, int x, int w) const {
    int i = x;
    while (i < w && is_old(y, i)) ++i;
    return i - x;
  }
  void fill(Row y, int from, int to) const {
    for (int x = from; x < to; ++x) media::write_pixel(p, x, y, new_word);
  }
  void runs(Row y, int x, int end, std::vector<Run>& out) const {
    while (x < end) {
      while (x < end && !is_old(y, x)) ++x;
      if (x == end) return;
      const int a = x;
      while (x < end && is_old(y, x)) ++x;
      out.push_back({a, x - 1});
    }
  }
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

// A seed queued by a row scan, with the step of the scan that queued it.
struct Found {
  int step;
  Point at;
};

// Asks whether to stop after steps 1 to `asks` in turn; the number of the step whose question said
// yes, or 0.
int stop_within(const StopCheck& stop, int asks) {
  if (!stop) return 0;
  for (int j = 1; j <= asks; ++j)
    if (stop()) return j;
  return 0;
}

// The seeds of one side of a row scan, in the order the side queues them, up to step `last`.
// The scan meets a run above or below and keeps its marker on the run's last pixel in the scan's
// direction; the seed is queued at the step that meets the pixel after the run (or closes the side,
// which is the same step). Leftwards from x0: pixel x at step x0 - x + 1, a run [a, b] queued at
// step x0 - a + 2 and seeded at a. Rightwards: pixel x at step x - x0, seeded at b at step b + 1 - x0.
// At the same step the run above comes first.
void side_seeds(const std::vector<Run>& above, const std::vector<Run>& below, bool leftwards, int x0, int y,
                int last, std::vector<Found>& out) {
  auto step_of = [&](const Run& r) { return leftwards ? x0 - r.a + 2 : r.b + 1 - x0; };
  auto seed_of = [&](const Run& r) { return leftwards ? r.a : r.b; };
  // Leftwards the runs were found rightmost last: walk them backwards.
  const int n_up = static_cast<int>(above.size()), n_down = static_cast<int>(below.size());
  auto up_at = [&](int i) -> const Run& { return leftwards ? above[n_up - 1 - i] : above[i]; };
  auto down_at = [&](int i) -> const Run& { return leftwards ? below[n_down - 1 - i] : below[i]; };
  int u = 0, d = 0;
  for (;;) {
    const int su = u < n_up ? step_of(up_at(u)) : last + 1;
    const int sd = d < n_down ? step_of(down_at(d)) : last + 1;
    if (su > last && sd > last) return;
    if (su <= sd) {
      out.push_back({su, {seed_of(up_at(u++)), y - 1}});
    } else {
      out.push_back({sd, {seed_of(down_at(d++)), y + 1}});
    }
  }
}

// The scan-line fill. Each pass takes the seed at the head of the queue and scans its row to the left
// (from the seed) and to the right (from the pixel after it), one pixel each per step, asking
// whether to stop after every step while a side is still open. Seeds are served first in, first out.
//
// The pass is worked out rather than stepped: the two sides touch different pixels and read rows the
// pass does not change, so the row's extent on each side fixes how many steps ask whether to stop, an
// answer fixes where the row is cut, and the runs above and below, found over the filled span, carry
// their step numbers in their positions.
template <class Pixels>
void scan_fill(Pixels& px, int width, int height, int seed_x, int seed_y, const StopCheck& stop) {
  std::vector<Point> queue;
  size_t head = 0;
  queue.push_back({seed_x, seed_y});
  std::vector<Run> above_left, above_right, below_left, below_right;
  std::vector<Found> left_found, right_found;

  for (;;) {
    const Point p = queue[head];
    const int x0 = p.x, y = p.y;
    const typename Pixels::Row cur = px.row(y);
    const int left = px.count_left(cur, x0);
    const int right = px.count_right(cur, x0 + 1, width);

    // A side ends at step count + 1; the step that closes the second side asks nothing. The
    // questions are asked before the row is written (their answers do not depend on it). A press
    // seen after step j cuts the row there: pixels of later steps keep their colour, and only seeds
    // queued by step j go into the queue (the runs still remembered are dropped).
    int last = std::max(left, right) + 1;
    if (const int j = stop_within(stop, last - 1)) last = j;
    const int lo = x0 + 1 - std::min(left, last), hi = x0 + 1 + std::min(right, last);
    px.fill(cur, lo, hi);

    above_left.clear();
    above_right.clear();
    below_left.clear();
    below_right.clear();
    if (y > 0) {
      const typename Pixels::Row up = px.row(y - 1);
      px.runs(up, lo, x0 + 1, above_left);
      px.runs(up, x0 + 1, hi, above_right);
    }
    if (y < height - 1) {
      const typename Pixels::Row down = px.row(y + 1);
      px.runs(down, lo, x0 + 1, below_left);
      px.runs(down, x0 + 1, hi, below_right);
    }
    left_found.clear();
    right_found.clear();
    side_seeds(above_left, below_left, true, x0, y, last, left_found);
    side_seeds(above_right, below_right, false, x0, y, last, right_found);

    // Queue the seeds in the alternating order: by step, the left side's before the right side's.
    size_t l = 0, r = 0;
    while (l < left_found.size() || r < right_found.size()) {
      if (r == right_found.size() || (l < left_found.size() && left_found[l].step <= right_found[r].step))
        queue.push_back(left_found[l++].at);
      else
        queue.push_back(right_found[r++].at);
    }

    ++head;
    if (head == queue.size()) return;
    if (stop && stop()) return;  // between rows: the fill ends, queued seeds are dropped
    if (head >= 4096 && head * 2 >= queue.size()) {
      queue.erase(queue.begin(), queue.begin() + static_cast<std::ptrdiff_t>(head));
      head = 0;
    }
  }
}

}  // namespace

void flood_fill(uint32_t colour, int x, int y, media::Pixmap& pixmap, const StopCheck& stop) {
  const int w = pixmap.width, h = pixmap.height;
  if (x < 0 || y < 0 || x >= w || y >= h) return;
  const uint32_t old = media::read_pixel(pixmap, x, y);
  if (old == colour) return;
  uint32_t new_word, reads_as, old_word, unused;
  stored_form(pixmap.format, colour, new_word, reads_as);
  // A format that cannot tell the new colour from the old one: writing would change nothing.
  if (reads_as == old) return;
  const bool words = media::bytes_per_pixel(pixmap.format) == 4 && pixmap.pitch >= w * 4 &&
                     pixmap.pitch % 4 == 0 && reinterpret_cast<uintptr_t>(pixmap.pixels.data()) % 4 == 0 &&
                     pixmap.pixels.size() >= static_cast<size_t>(pixmap.pitch) * h;
  if (words) {
    stored_form(pixmap.format, old, old_word, unused);
    WordPixels px{pixmap, old_word, new_word};
    scan_fill(px, w, h, x, y, stop);
    pixmap.changed();  // written word by word, past write_pixel
  } else {
    AnyPixels px{pixmap, old, colour};
    scan_fill(px, w, h, x, y, stop);
  }
}

void flood_fill(uint32_t colour, int x, int y, const media::PixmapPtr& pixmap, const StopCheck& stop) {
  if (pixmap) flood_fill(colour, x, y, *pixmap, stop);
}

}  // namespace activities
