// The walk through a HEIC file's boxes (heif_boxes.cpp) that decides, before libheif sees the file,
// whether it may: every box fits, grids are of a sane number of tiles, and every frame and canvas
// the decoders would allocate is within the pixel limits, the largest of them noted so that the
// decode reserves for it. What the walk finds of the items and their properties is kept for
// decoding a grid at a reduced size (heif_grid.hpp). The box readers themselves are here too.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "media/decode/hevc_sps.hpp"

namespace media::heif {

// Bytes lying in the file, one piece after another.
using Pieces = std::vector<std::pair<const uint8_t*, size_t>>;

inline uint32_t be32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

// A big-endian number of n bytes (0 to 8), as item locations store their offsets and lengths.
inline uint64_t be_n(const uint8_t* p, size_t n) {
  uint64_t v = 0;
  for (size_t i = 0; i < n; ++i) v = v << 8 | p[i];
  return v;
}

// One box: its type, and where its content starts and ends in the file.
struct Box {
  char type[4];
  size_t body = 0, end = 0;
  bool is(const char* t) const { return std::memcmp(type, t, 4) == 0; }
};

// Reads the box at pos; false when it runs past limit.
bool read_box(const uint8_t* d, size_t pos, size_t limit, Box& box);

// Calls f(child) for each box within [from, to); false when one does not fit there. libheif
// refuses such a file too, but it is refused here first so that nothing inside it goes unread.
template <typename F>
bool each_box(const uint8_t* d, size_t from, size_t to, F&& f) {
  Box b;
  for (size_t pos = from; pos < to; pos = b.end) {
    if (!read_box(d, pos, to, b)) return false;
    if (!f(b)) return false;
  }
  return true;
}

// The coded data of one HEVC item: its extents, one after another, read where they lie.
class ItemData {
 public:
  void add(const uint8_t* at, size_t n) {
    if (n == 0) return;
    pieces_.push_back({at, n, size_});
    size_ += n;
  }
  size_t size() const { return size_; }
  Pieces pieces() const {
    Pieces out;
    for (const Piece& p : pieces_) out.emplace_back(p.at, p.size);
    return out;
  }
  // Copies n bytes from `from` on (all within size()).
  void read(size_t from, size_t n, uint8_t* out) const {
    // The last piece starting at or before `from`.
    auto it = std::upper_bound(pieces_.begin(), pieces_.end(), from, [](size_t v, const Piece& p) { return v < p.start; });
    for (--it; n > 0; ++it) {
      const size_t skip = from - it->start, take = std::min(n, it->size - skip);
      std::memcpy(out, it->at + skip, take);
      out += take, from += take, n -= take;
    }
  }

 private:
  struct Piece {
    const uint8_t* at;
    size_t size, start;
  };
  std::vector<Piece> pieces_;
  size_t size_ = 0;
};

// What the walk through the metadata learns, and the first reason to refuse the file.
struct Walk {
  const uint8_t* d = nullptr;
  size_t size = 0;
  std::string error;
  uint64_t most_tiles = 0;
  uint64_t largest_frame = 0;  // pixels of the largest SPS
  HevcFrame avcodec_frame{0, 0, 0, 8};  // the SPS whose frame takes libavcodec the most memory
  uint64_t largest_coded = 0;   // the most coded bytes one decoder is given: its configuration and data
  uint64_t largest_hvcc = 0;
  bool deep = false;           // some SPS has more than 8 bits a sample
  std::set<uint32_t> hevc_items;
  std::map<uint32_t, bool> canvas_items;  // grids (false) and overlays (true): their data size a canvas
  uint64_t largest_canvas = 0;             // pixels of the largest such canvas
  std::map<uint32_t, std::string> foreign_items;  // pictures coded otherwise, and how
  std::set<uint32_t> thumbnails;                  // items that are another item's thumbnail
  std::vector<std::pair<uint32_t, uint32_t>> parts;  // (item, one of its tiles or layers)
  std::vector<Box> ilocs;
  uint64_t extents = 0;     // item extents listed in all
  uint64_t item_bytes = 0;  // HEVC items' data in all
  size_t idat_body = 0;
  bool idat = false;
  // For decoding a grid straight at a reduced size (heif_grid.hpp): the primary item, the
  // properties in order (the first is number 1), each item's properties, and the data of every HEVC
  // item and grid (an item located twice is left out: its data is ambiguous).
  uint32_t primary = 0;
  std::vector<Box> properties;
  std::map<uint32_t, std::vector<uint32_t>> item_properties;
  std::map<uint32_t, ItemData> item_data;
  std::set<uint32_t> located_twice;

  bool fail(std::string why) {
    if (error.empty()) error = std::move(why);
    return false;
  }
};

inline std::string size_text(int64_t w, int64_t h) { return std::to_string(w) + "x" + std::to_string(h); }

// An 'hvcC' property: 22 bytes of settings, then arrays of NAL units, each with a 16-bit length.
// libheif puts all of them in front of the item's data, so none may be a slice of a picture.
// Calls f(unit, length) for each NAL unit in the arrays of an 'hvcC' property of at least 23 bytes;
// false when a unit runs past the box or f says stop.
template <typename F>
bool each_hvcc_unit(const uint8_t* d, const Box& b, F&& f) {
  size_t pos = b.body + 22;
  const int arrays = d[pos++];
  for (int a = 0; a < arrays; ++a) {
    if (b.end - pos < 3) return false;
    const int count = d[pos + 1] << 8 | d[pos + 2];
    pos += 3;
    for (int i = 0; i < count; ++i) {
      if (b.end - pos < 2) return false;
      const size_t length = size_t{d[pos]} << 8 | d[pos + 1];
      pos += 2;
      if (length > b.end - pos || !f(d + pos, length)) return false;
      pos += length;
    }
  }
  return true;
}

// Walks the boxes: w.error stays "" when the file may go to libheif, else it says why not.
void check_boxes(Walk& w);

}  // namespace media::heif
