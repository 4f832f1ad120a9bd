// HEIC pictures (HEVC-coded HEIF) through libheif, reading from memory; libheif reads the
// container (grids, turns, crops, colours) and hands each coded image to libavcodec's HEVC decoder
// (heif_libavcodec.cpp; libheif's own libde265 when asked, or when libavcodec has none), a grid's
// tiles on as many of libheif's threads as there are cores not busy with other pictures. Only the
// primary image is shown (its thumbnail only as a quick preview); depth maps and image sequences
// are left alone. AV1-coded files (AVIF) are not read here: is_heif_file leaves their brands out,
// and a file that calls itself HEIC but holds pictures coded otherwise than in HEVC is refused as
// unsupported before libheif sees it, unless they are only thumbnails (a camera's JPEG preview),
// which are never decoded.
//
// Before libheif sees the file, its boxes are walked:
// - every top-level box must fit in the bytes that are there (a cut-off file is "truncated" before
//   any decoder starts);
// - the item references are counted so that a grid made of thousands of tiles is refused before
//   one tile is decoded;
// - the HEVC decoder sizes its frames from the sequence parameter sets (SPS) it is given, not from
//   the size the file's 'ispe' property states and libheif checks. A file could state a small
//   size and carry an SPS of a huge one. So every SPS the decoder can be fed is read: those in
//   every 'hvcC' property, and those inside the coded data of every HEVC item (found through the
//   item locations). Each must be within our pixel limits, and the largest frame among them is
//   reserved from the budget, not just the stated size. An item's data holding more than one
//   picture (each would be a frame of its own) is refused too;
// - a grid or an overlay gives the size of its canvas in its own data, which libheif allocates
//   whole whatever size the item states: every such canvas must be within our limits, and the
//   largest is reserved for too.
// libheif then parses the boxes with its own limits (largest side, items, box nesting), and the
// primary image's size is checked against ours before anything is decoded.
//
// Rotation and mirroring: libheif applies the file's irot and imir transforms (and the clean
// aperture crop) while decoding, so a portrait comes out upright and its size as reported by the
// handle is already the turned one. An EXIF orientation tag in a HEIF file only describes what the
// transforms already do (cameras write both, and readers are meant to follow the transforms alone),
// so it is not applied again: doing so would turn such a photo twice. The result's orientation is
// 1, except for a grid decoded at a reduced size (below), whose transforms it carries instead.
//
// Reduced-size decoding: unlike JPEG's DCT scaling, HEVC cannot be decoded at a fraction of the
// size. But a camera stores its photo as a grid of tiles, and a grid shown at half its size or
// less is decoded tile by tile straight to 1/2, 1/4 or 1/8 of it (heif_grid.cpp), its turn and
// mirror then left to the caller like a JPEG's orientation; libheif still reads the container and
// the walk below still checks it first. Anything else is decoded whole and the caller's fitter
// scales it down. A phone's thumbnail (320x240 or so) is too small for the screen, but stands in
// for the photo in a small place until the full picture is decoded (decode_heif_preview).
#include "media/decode/decode_heif.hpp"

#include <libheif/heif.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "media/decode/decode.hpp"
#include "media/decode/resample.hpp"
#include "media/decode/heif_grid.hpp"
#include "media/decode/heif_libavcodec.hpp"

namespace media {

namespace heif {
namespace {

// Reads bits most significant first from a NAL unit's payload with emulation prevention removed.
// Any read past the end sets `short_` and yields zeros, so a caller checks once at the end.
class BitReader {
 public:
  BitReader(const uint8_t* d, size_t n) : d_(d), n_(n) {}
  uint32_t u(int bits) {
    uint32_t v = 0;
    for (int i = 0; i < bits; ++i) {
      if (pos_ >= n_ * 8) {
        short_ = true;
        return 0;
      }
      v = v << 1 | ((d_[pos_ >> 3] >> (7 - (pos_ & 7))) & 1u);
      ++pos_;
    }
    return v;
  }
  void skip(size_t bits) {
    if (bits > n_ * 8 - std::min(pos_, n_ * 8)) short_ = true, pos_ = n_ * 8;
    else pos_ += bits;
  }
  // Exp-Golomb: leading zeros, a one, then as many bits. More than 31 zeros is not a 32-bit value.
  uint32_t ue() {
    int zeros = 0;
    while (!short_ && u(1) == 0) {
      if (++zeros > 31) {
        too_big_ = true;
        return 0;
      }
    }
    if (short_) return 0;
    return uint32_t((uint64_t{1} << zeros) - 1 + u(zeros));
  }
  bool ran_short() const { return short_; }
  bool too_big() const { return too_big_; }

 private:
  const uint8_t* d_;
  size_t n_;
  size_t pos_ = 0;
  bool short_ = false;
  bool too_big_ = false;
};

// An SPS head needs fewer than 200 bytes even with every sub-layer present and the longest codes;
// what lies past this is not read.
constexpr size_t kSpsHeadBytes = 512;

}  // namespace

SpsRead read_hevc_sps(const uint8_t* nal, size_t size, HevcFrame& frame) {
  if (size < 2) return SpsRead::Truncated;
  if (((nal[0] >> 1) & 63) != 33) return SpsRead::Corrupt;
  // The payload after the NAL header, without the 03 of every 00 00 03.
  uint8_t rbsp[kSpsHeadBytes];
  size_t n = 0;
  int zeros = 0;
  for (size_t i = 2; i < size && n < sizeof rbsp; ++i) {
    if (zeros >= 2 && nal[i] == 3) {
      zeros = 0;
      continue;
    }
    zeros = nal[i] == 0 ? zeros + 1 : 0;
    rbsp[n++] = nal[i];
  }
  BitReader br(rbsp, n);
  br.u(4);  // sps_video_parameter_set_id
  const uint32_t sub_layers = br.u(3);  // sps_max_sub_layers_minus1
  br.u(1);  // sps_temporal_id_nesting_flag
  // profile_tier_level: the general profile (88 bits) and level (8), then per sub-layer flags.
  br.skip(88 + 8);
  bool profile_present[8] = {}, level_present[8] = {};
  for (uint32_t i = 0; i < sub_layers; ++i) {
    profile_present[i] = br.u(1) != 0;
    level_present[i] = br.u(1) != 0;
  }
  if (sub_layers > 0)
    for (uint32_t i = sub_layers; i < 8; ++i) br.u(2);  // reserved_zero_2bits
  for (uint32_t i = 0; i < sub_layers; ++i) br.skip((profile_present[i] ? 88 : 0) + (level_present[i] ? 8 : 0));
  const uint32_t sps_id = br.ue();
  const uint32_t chroma = br.ue();
  if (chroma == 3) br.u(1);  // separate_colour_plane_flag: three grey planes, as big as 4:4:4
  const uint32_t width = br.ue();
  const uint32_t height = br.ue();
  if (br.u(1)) {  // conformance_window_flag: four offsets
    for (int i = 0; i < 4; ++i) br.ue();
  }
  const uint32_t luma_depth = br.ue() + 8;
  const uint32_t chroma_depth = br.ue() + 8;
  if (br.too_big()) return SpsRead::Corrupt;
  if (br.ran_short()) return SpsRead::Truncated;
  if (sub_layers > 6 || sps_id > 15 || chroma > 3 || luma_depth > 16 || chroma_depth > 16 || width == 0 || height == 0)
    return SpsRead::Corrupt;
  frame.width = width;
  frame.height = height;
  frame.chroma_format = chroma;
  frame.bit_depth = std::max(luma_depth, chroma_depth);
  return SpsRead::Ok;
}

}  // namespace heif

namespace {

using heif::HevcFrame;
using heif::SpsRead;

// More tiles than a 64-megapixel picture cut into 256 x 256 tiles needs. Cameras use 512 x 512.
constexpr uint64_t kMaxGridTiles = 1024;
// Item extents in all: a grid of the most tiles, each with an alpha tile, needs about 2000.
constexpr uint64_t kMaxExtents = 65536;

uint32_t be32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

// A big-endian number of n bytes (0 to 8), as item locations store their offsets and lengths.
uint64_t be_n(const uint8_t* p, size_t n) {
  uint64_t v = 0;
  for (size_t i = 0; i < n; ++i) v = v << 8 | p[i];
  return v;
}

// Brands of HEVC-coded HEIF files, and the plain image brand they share with other codecs.
bool brand_is_heic(const uint8_t* b) {
  for (const char* known : {"heic", "heix", "hevc", "hevx", "heim", "heis", "mif1", "msf1"})
    if (std::memcmp(b, known, 4) == 0) return true;
  return false;
}

// AV1-coded files, which go to their own decoder even when they also list the plain image brand.
bool brand_is_avif(const uint8_t* b) { return std::memcmp(b, "avif", 4) == 0 || std::memcmp(b, "avis", 4) == 0; }

// One box: where its content starts and ends within [0, size), or false when it runs past the end.
struct Box {
  char type[4];
  size_t body = 0, end = 0;
  bool is(const char* t) const { return std::memcmp(type, t, 4) == 0; }
};

bool read_box(const uint8_t* d, size_t pos, size_t limit, Box& box) {
  if (limit - pos < 8) return false;
  uint64_t length = be32(d + pos);
  std::memcpy(box.type, d + pos + 4, 4);
  size_t header = 8;
  if (length == 1) {  // a 64-bit length follows
    if (limit - pos < 16) return false;
    length = uint64_t{be32(d + pos + 8)} << 32 | be32(d + pos + 12);
    header = 16;
  } else if (length == 0) {  // to the end
    length = limit - pos;
  }
  if (length < header || length > limit - pos) return false;
  box.body = pos + header;
  box.end = pos + static_cast<size_t>(length);
  return true;
}

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
  heif::Pieces pieces() const {
    heif::Pieces out;
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

std::string size_text(int64_t w, int64_t h) { return std::to_string(w) + "x" + std::to_string(h); }

// One NAL unit the HEVC decoder may be given. An SPS is read and held to the limits; a slice that
// starts a picture is counted in `pictures`.
bool check_nal(Walk& w, const uint8_t* nal, size_t size, int& pictures) {
  if (size < 2) return true;
  const int type = (nal[0] >> 1) & 63;
  if (type == 33) {
    HevcFrame f;
    switch (heif::read_hevc_sps(nal, size, f)) {
      case SpsRead::Truncated: return w.fail("corrupt HEIF data: a cut-off sequence parameter set");
      case SpsRead::Corrupt: return w.fail("corrupt HEIF data: a bad sequence parameter set");
      case SpsRead::Ok: break;
    }
    if (!image_size_ok(f.width, f.height)) return w.fail("too large: " + size_text(f.width, f.height));
    w.largest_frame = std::max(w.largest_frame, uint64_t{f.width} * f.height);
    if (heif::libavcodec_hevc_bytes(f, 0) > heif::libavcodec_hevc_bytes(w.avcodec_frame, 0)) w.avcodec_frame = f;
    if (f.bit_depth > 8) w.deep = true;
  } else if (type < 32 && size >= 3 && (nal[2] & 0x80)) {  // first_slice_segment_in_pic_flag
    if (++pictures > 1) return w.fail("corrupt HEIF data: more than one picture in an image");
  }
  return true;
}

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

bool check_hvcc(Walk& w, const Box& b) {
  if (b.end - b.body < 23) return w.fail("corrupt HEIF data: a short decoder configuration");
  w.largest_hvcc = std::max<uint64_t>(w.largest_hvcc, b.end - b.body);
  // A unit's own fault is the first reason given (fail keeps the first).
  const bool whole = each_hvcc_unit(w.d, b, [&](const uint8_t* nal, size_t length) {
    if (length > 0 && ((nal[0] >> 1) & 63) < 32) return w.fail("corrupt HEIF data: picture data in the decoder configuration");
    int pictures = 0;
    return check_nal(w, nal, length, pictures);
  });
  return whole || w.fail("corrupt HEIF data: a short decoder configuration");
}

// The item information: which items are HEVC-coded images (type 'hvc1').
bool read_iinf(Walk& w, const Box& b) {
  const uint8_t* d = w.d;
  if (b.end - b.body < 4) return w.fail("corrupt HEIF data: item information");
  const size_t first = b.body + 4 + (d[b.body] == 0 ? 2 : 4);  // the entry count, then the entries
  if (first > b.end) return w.fail("corrupt HEIF data: item information");
  return each_box(d, first, b.end, [&](const Box& e) {
    if (!e.is("infe") || e.end - e.body < 4) return true;
    const int version = d[e.body];
    if (version < 2) return true;  // old entries name no item type
    const size_t id_bytes = version == 2 ? 2 : 4;
    if (e.end - e.body < 4 + id_bytes + 2 + 4) return w.fail("corrupt HEIF data: item information");
    const uint8_t* p = d + e.body + 4;
    const uint8_t* type = p + id_bytes + 2;
    const uint32_t id = uint32_t(be_n(p, id_bytes));
    if (std::memcmp(type, "hvc1", 4) == 0) w.hevc_items.insert(id);
    if (std::memcmp(type, "grid", 4) == 0 || std::memcmp(type, "iovl", 4) == 0) w.canvas_items[id] = type[0] == 'i';
    // Pictures coded otherwise than in HEVC: their decoders size frames from their own streams,
    // which are not checked here, so they may only be thumbnails (never decoded; see check_foreign).
    for (const char* foreign : {"av01", "jpeg", "j2k1", "avc1", "vvc1", "evc1", "unci"})
      if (std::memcmp(type, foreign, 4) == 0) w.foreign_items[id] = foreign;
    return true;
  });
}

// The most 'dimg' references one item has: the tiles of a grid image (an overlay's layers count
// the same way).
bool read_iref(Walk& w, const Box& b) {
  const uint8_t* d = w.d;
  if (b.end - b.body < 4) return w.fail("corrupt HEIF data: item references");
  const size_t id_bytes = d[b.body] == 0 ? 2 : 4;  // version 0: 16-bit item numbers
  return each_box(d, b.body + 4, b.end, [&](const Box& ref) {
    if (ref.is("dimg") && ref.end - ref.body >= id_bytes + 2) {
      const uint8_t* c = d + ref.body + id_bytes;
      w.most_tiles = std::max<uint64_t>(w.most_tiles, uint64_t{c[0]} << 8 | c[1]);
    }
    if (ref.is("thmb") && ref.end - ref.body >= id_bytes) w.thumbnails.insert(uint32_t(be_n(d + ref.body, id_bytes)));
    if (ref.is("dimg") && ref.end - ref.body >= id_bytes + 2) {
      const uint32_t from = uint32_t(be_n(d + ref.body, id_bytes));
      const size_t count = size_t(be_n(d + ref.body + id_bytes, 2));
      for (size_t k = 0, at = ref.body + id_bytes + 2; k < count && at + id_bytes <= ref.end; ++k, at += id_bytes)
        w.parts.emplace_back(from, uint32_t(be_n(d + at, id_bytes)));
    }
    return true;
  });
}

// Only the primary picture is decoded (with its tiles and its alpha), never a thumbnail: a
// thumbnail coded otherwise (a camera's JPEG preview), or a tile of one, does no harm; any other
// such item, or a tile that a picture other than a thumbnail uses too, is refused.
bool check_foreign(Walk& w) {
  std::set<uint32_t> thumbnail_only, used_elsewhere;
  for (const auto& [from, part] : w.parts) (w.thumbnails.count(from) ? thumbnail_only : used_elsewhere).insert(part);
  for (const auto& [id, coding] : w.foreign_items) {
    const bool thumbnail = w.thumbnails.count(id) || (thumbnail_only.count(id) && !used_elsewhere.count(id));
    if (!thumbnail || used_elsewhere.count(id)) return w.fail("unsupported HEIF picture: coded as " + coding);
  }
  return true;
}

// Walks an item's data NAL unit by NAL unit, each after a 4-byte length, as libheif hands them to
// the decoder. Only the head of each unit is copied out: an SPS's sizes lie in its first few
// hundred bytes, a slice's picture flag in its third.
bool check_item_data(Walk& w, const ItemData& data) {
  const size_t n = data.size();
  int pictures = 0;
  uint8_t head[1024];
  for (size_t pos = 0; n - pos >= 4;) {
    data.read(pos, 4, head);
    const size_t length = be32(head);
    pos += 4;
    // A unit running past the data: the decoder is not given it (nor anything after it).
    if (length > n - pos) break;
    const size_t copied = std::min(length, sizeof head);
    data.read(pos, copied, head);
    if (!check_nal(w, head, copied, pictures)) return false;
    pos += length;
  }
  return true;
}

// A grid's or an overlay's own data: its version and flags, then (after a grid's rows and columns,
// or an overlay's fill colour) the size of the canvas that libheif allocates whole before any tile
// or layer is decoded, whatever size the item states in its properties: 16-bit numbers, or 32-bit
// when the flags say so. It is held to the limits and reserved for like the stated size. Data too
// short to hold it is left to libheif, which refuses the item.
bool check_canvas(Walk& w, const ItemData& data, bool overlay) {
  uint8_t head[8];
  if (data.size() < 2) return true;
  data.read(0, 2, head);
  const size_t field = (head[1] & 1) ? 4 : 2;
  const size_t at = overlay ? 2 + 4 * 2 : 2 + 2;
  if (data.size() < at + 2 * field) return true;
  data.read(at, 2 * field, head);
  const uint64_t cw = be_n(head, field), ch = be_n(head + field, field);
  if (!image_size_ok(int64_t(cw), int64_t(ch))) return w.fail("too large: a canvas of " + size_text(int64_t(cw), int64_t(ch)));
  w.largest_canvas = std::max(w.largest_canvas, cw * ch);
  return true;
}

// Item locations: for every HEVC item, its data in the file (or in the 'idat' box) is checked, and
// every grid's and overlay's canvas size.
bool read_iloc(Walk& w, const Box& b) {
  const uint8_t* d = w.d;
  size_t pos = b.body;
  auto need = [&](size_t n) { return b.end - pos >= n; };
  auto take = [&](size_t n) {
    const uint64_t v = be_n(d + pos, n);
    pos += n;
    return v;
  };
  const char* bad = "corrupt HEIF data: item locations";
  if (!need(6)) return w.fail(bad);
  // Read as this libheif (1.15) reads it, whatever the format says, so that the data checked here
  // is the data it decodes: a field of 4 or 8 bytes is read, one of any other size reads as 0
  // and takes no room; an extent's index is there only from version 2 on (libheif reads none in
  // version 1); versions past 2 are read as 2; the data reference is not heeded.
  const int version = d[pos];
  pos += 4;
  auto field = [](size_t size) { return size == 4 || size == 8 ? size : size_t{0}; };
  const size_t offset_size = field(d[pos] >> 4), length_size = field(d[pos] & 15), base_size = field(d[pos + 1] >> 4);
  const size_t index_size = version >= 2 ? field(d[pos + 1] & 15) : 0;
  pos += 2;
  if (!need(version < 2 ? 2 : 4)) return w.fail(bad);
  const uint64_t items = take(version < 2 ? 2 : 4);
  for (uint64_t i = 0; i < items; ++i) {
    if (!need(version < 2 ? 2 : 4)) return w.fail(bad);
    const uint32_t id = uint32_t(take(version < 2 ? 2 : 4));
    int method = 0;
    if (version >= 1) {
      if (!need(2)) return w.fail(bad);
      method = int(take(2) & 15);
    }
    if (!need(2 + base_size + 2)) return w.fail(bad);
    take(2);  // the data reference: libheif reads the data from this file whatever it says
    const uint64_t base = take(base_size);
    const uint64_t extents = take(2);
    w.extents += extents;
    if (w.extents > kMaxExtents) return w.fail("corrupt HEIF data: too many item extents");
    // Data made from other items is not read by libheif; nor is any but HEVC items' data and
    // grids' and overlays' own data read here.
    const bool hevc = method <= 1 && w.hevc_items.count(id);
    const auto canvas = method <= 1 ? w.canvas_items.find(id) : w.canvas_items.end();
    ItemData data;
    for (uint64_t e = 0; e < extents; ++e) {
      if (!need(index_size + offset_size + length_size)) return w.fail(bad);
      take(index_size);
      const uint64_t offset = take(offset_size);
      const uint64_t length = take(length_size);
      // Where the extent's bytes are: the file itself, or the metadata's own data box.
      size_t from = 0, to = w.size;
      // libheif reads an extent of the data box from where the box's content starts, on past its
      // end if the extent says so, up to the end of the file.
      if (method == 1) {
        if (!w.idat) continue;
        from = w.idat_body, to = w.size;
      }
      const uint64_t start = base + offset;
      if (start < base || start > to - from) continue;  // nowhere: libheif refuses the item
      const uint64_t room = to - from - start;
      const uint64_t bytes = length == 0 ? room : std::min(length, room);
      if (hevc) {
        // Items' data do not overlap, so all of it together is no more than the file (counting an
        // empty extent as a byte). More would have libheif gather many copies of the same bytes.
        w.item_bytes += std::max<uint64_t>(bytes, 1);
        if (w.item_bytes > w.size) return w.fail("corrupt HEIF data: items' data larger than the file");
      } else if (canvas == w.canvas_items.end()) {
        continue;
      }
      data.add(d + from + start, static_cast<size_t>(bytes));
    }
    if (hevc) w.largest_coded = std::max<uint64_t>(w.largest_coded, data.size());
    if ((hevc || canvas != w.canvas_items.end()) && !w.item_data.emplace(id, data).second) w.located_twice.insert(id);
    if (hevc && !check_item_data(w, data)) return false;
    if (canvas != w.canvas_items.end() && !check_canvas(w, data, canvas->second)) return false;
  }
  return true;
}

bool read_ipco(Walk& w, const Box& b) {
  return each_box(w.d, b.body, b.end, [&](const Box& p) {
    w.properties.push_back(p);
    return p.is("hvcC") ? check_hvcc(w, p) : true;
  });
}

// Which properties each item has, in order. Only kept for the reduced decoding of a grid: a box
// that does not read whole is left to libheif to judge, and nothing is kept of it.
void read_ipma(Walk& w, const Box& b) {
  const uint8_t* d = w.d;
  size_t pos = b.body;
  if (b.end - pos < 8) return;
  const int version = d[pos];
  const bool wide = d[pos + 3] & 1;
  const uint64_t entries = be32(d + pos + 4);
  pos += 8;
  std::map<uint32_t, std::vector<uint32_t>> found;
  for (uint64_t e = 0; e < entries; ++e) {
    const size_t id_bytes = version < 1 ? 2 : 4;
    if (b.end - pos < id_bytes + 1) return;
    const uint32_t id = uint32_t(be_n(d + pos, id_bytes));
    const size_t count = d[pos + id_bytes];
    pos += id_bytes + 1;
    if (b.end - pos < count * (wide ? 2 : 1)) return;
    std::vector<uint32_t>& list = found[id];
    for (size_t i = 0; i < count; ++i, pos += wide ? 2 : 1)
      list.push_back(wide ? uint32_t(be_n(d + pos, 2) & 0x7FFF) : uint32_t(d[pos] & 0x7F));
  }
  for (auto& [id, list] : found) {
    auto& mine = w.item_properties[id];
    mine.insert(mine.end(), list.begin(), list.end());
  }
}

bool read_meta(Walk& w, const Box& meta) {
  if (meta.end - meta.body < 4) return w.fail("corrupt HEIF data: metadata");
  const bool fits = each_box(w.d, meta.body + 4, meta.end, [&](const Box& b) {
    if (b.is("iref")) return read_iref(w, b);
    if (b.is("iinf")) return read_iinf(w, b);
    if (b.is("iloc")) w.ilocs.push_back(b);
    if (b.is("idat") && !w.idat) w.idat = true, w.idat_body = b.body;
    if (b.is("pitm") && b.end - b.body >= 4) {
      const size_t id_bytes = w.d[b.body] == 0 ? 2 : 4;
      if (b.end - b.body >= 4 + id_bytes) w.primary = uint32_t(be_n(w.d + b.body + 4, id_bytes));
    }
    if (b.is("iprp"))
      return each_box(w.d, b.body, b.end, [&](const Box& c) {
        if (c.is("ipma")) read_ipma(w, c);
        return c.is("ipco") ? read_ipco(w, c) : true;
      });
    return true;
  });
  if (!fits) return w.fail("corrupt HEIF data: metadata");
  if (!check_foreign(w)) return false;
  // The locations last: they need to know which items are HEVC-coded and where the data box is.
  for (const Box& iloc : w.ilocs)
    if (!read_iloc(w, iloc)) return false;
  w.largest_coded += w.largest_hvcc;
  return true;
}

// Walks the boxes; "" when the file may go to libheif, else why not.
void check_boxes(Walk& w) {
  bool meta = false;
  Box b;
  for (size_t pos = 0; pos < w.size; pos = b.end) {
    if (!read_box(w.d, pos, w.size, b)) {
      w.fail("truncated");
      return;
    }
    if (b.is("meta") && !meta) {
      meta = true;
      if (!read_meta(w, b)) return;
      if (w.most_tiles > kMaxGridTiles) {
        w.fail("too large: a grid of " + std::to_string(w.most_tiles) + " tiles");
        return;
      }
    }
  }
  // A file that stops after its type box (or any box before the metadata) was cut short.
  if (!meta) w.fail("truncated");
}

struct HeifState {
  heif_context* ctx = nullptr;
  heif_image_handle* handle = nullptr;
  heif_image* image = nullptr;
  heif_decoding_options* options = nullptr;
  ~HeifState() {
    if (image) heif_image_release(image);
    if (handle) heif_image_handle_release(handle);
    if (options) heif_decoding_options_free(options);
    if (ctx) heif_context_free(ctx);
  }
};

// libheif's error in the words the picture store sorts by (app/pictures/picture_store.cpp, left_out_reason).
std::string reason(const heif_error& e) {
  std::string detail = e.message ? e.message : "";
  while (!detail.empty() && std::isspace(static_cast<unsigned char>(detail.back()))) detail.pop_back();
  if (e.subcode == heif_suberror_Security_limit_exceeded) return "too large: " + detail;
  if (e.code == heif_error_Memory_allocation_error) return "out of memory";
  if (e.subcode == heif_suberror_End_of_data) return "truncated";
  if (e.code == heif_error_Unsupported_filetype || e.code == heif_error_Unsupported_feature ||
      e.code == heif_error_Plugin_loading_error ||
      (e.code == heif_error_Decoder_plugin_error && e.subcode == heif_suberror_Unsupported_codec))
    return "unsupported HEIF picture: " + detail;
  return "corrupt HEIF data: " + detail;
}

}  // namespace

bool is_heif_file(const uint8_t* data, size_t size) {
  if (size < 16 || std::memcmp(data + 4, "ftyp", 4) != 0) return false;
  const size_t box = std::min<size_t>(be32(data), size);
  bool heic = brand_is_heic(data + 8);
  for (size_t at = 16; at + 4 <= box; at += 4) {
    if (brand_is_avif(data + at)) return false;
    heic = heic || brand_is_heic(data + at);
  }
  return heic && !brand_is_avif(data + 8);
}

DecodeResult decode_heif(const uint8_t* data, size_t size, const DecodeOptions& opt) {
  return heif::decode_part(data, size, heif::default_settings(), nullptr, opt);
}

DecodeResult decode_heif_preview(const uint8_t* data, size_t size, int min_width, int min_height) {
  const int wanted[2] = {min_width, min_height};
  return heif::decode_part(data, size, heif::default_settings(), wanted);
}

namespace heif {
namespace {

std::atomic<HevcDecoder> default_decoder{DecodeSettings{}.decoder};
std::atomic<int> default_tile_threads{DecodeSettings{}.tile_threads};

int tile_threads(const DecodeSettings& settings) {
  if (settings.tile_threads > 0) return settings.tile_threads;
  const int cores = int(std::clamp<unsigned>(std::thread::hardware_concurrency(), 1, kMaxTileThreads));
  return std::max(1, cores / std::max(1, busy_cores()));
}

// What a tile being decoded holds beside the canvas: its decoder (`decoder` bytes, for a frame of
// `frame` pixels), libheif's copy of the frame, and the RGB planes libheif converts the copy to
// before pasting it.
uint64_t tile_bytes(uint64_t decoder, uint64_t frame, uint64_t sample) { return decoder + frame * sample * 3 * 2; }

// Replaces the primary picture's handle with its largest thumbnail's, when that is a plain HEVC
// picture (not a grid) at least min_w x min_h and of the primary's shape (within 2% either way).
// False with the reason otherwise.
bool take_thumbnail(HeifState& st, const Walk& walk, int min_w, int min_h, std::string& error) {
  const int n = heif_image_handle_get_number_of_thumbnails(st.handle);
  if (n <= 0) {
    error = "no preview";
    return false;
  }
  std::vector<heif_item_id> ids(static_cast<size_t>(std::min(n, 16)));
  heif_image_handle_get_list_of_thumbnail_IDs(st.handle, ids.data(), static_cast<int>(ids.size()));
  const double shape = double(heif_image_handle_get_width(st.handle)) / std::max(1, heif_image_handle_get_height(st.handle));
  heif_image_handle* best = nullptr;
  int best_w = 0;
  for (heif_item_id id : ids) {
    if (!walk.hevc_items.count(id) || walk.canvas_items.count(id)) continue;
    heif_image_handle* t = nullptr;
    if (heif_image_handle_get_thumbnail(st.handle, id, &t).code != heif_error_Ok || !t) continue;
    const int w = heif_image_handle_get_width(t), h = heif_image_handle_get_height(t);
    const double s = double(w) / std::max(1, h);
    if (w >= min_w && h >= min_h && w > best_w && std::abs(s / shape - 1.0) <= 0.02 && image_size_ok(w, h)) {
      if (best) heif_image_handle_release(best);
      best = t, best_w = w;
    } else {
      heif_image_handle_release(t);
    }
  }
  if (!best) {
    error = "no preview large enough";
    return false;
  }
  heif_image_handle_release(st.handle);
  st.handle = best;
  return true;
}

// A property's content, when the item has exactly one of this type and it holds at least `need`
// bytes; -1 when it has none, -2 when more than one (or too short).
int one_property(const Walk& w, uint32_t item, const char* type, size_t need, const Box** out) {
  auto it = w.item_properties.find(item);
  if (it == w.item_properties.end()) return -1;
  int found = 0;
  for (uint32_t index : it->second) {
    if (index == 0 || index > w.properties.size() || !w.properties[index - 1].is(type)) continue;
    const Box& b = w.properties[index - 1];
    if (++found > 1 || b.end - b.body < need) return -2;
    *out = &b;
  }
  return found == 1 ? 0 : -1;
}

// The primary picture laid out for decode_grid_reduced, when it is a grid of HEVC tiles alike, of
// one size, turned and mirrored at most by one 'irot' then one 'imir', and not cropped: false for
// anything else, which libheif decodes whole. canvas_w x canvas_h is the size libheif states.
bool plan_grid(const Walk& w, int canvas_w, int canvas_h, GridPlan& plan) {
  const uint8_t* d = w.d;
  const auto grid = w.canvas_items.find(w.primary);
  const auto grid_data = w.item_data.find(w.primary);
  if (grid == w.canvas_items.end() || grid->second || grid_data == w.item_data.end() || w.located_twice.count(w.primary))
    return false;
  uint8_t head[12] = {};
  const ItemData& gd = grid_data->second;
  if (gd.size() < 8) return false;
  gd.read(0, std::min<size_t>(gd.size(), 12), head);
  const size_t field = (head[1] & 1) ? 4 : 2;
  if (head[0] != 0 || gd.size() < 4 + 2 * field) return false;
  plan.rows = head[2] + 1, plan.columns = head[3] + 1;
  plan.width = uint32_t(be_n(head + 4, field)), plan.height = uint32_t(be_n(head + 4 + field, field));
  if (plan.width != uint32_t(canvas_w) || plan.height != uint32_t(canvas_h)) return false;
  // The grid's transforms, in the order they apply.
  int angle = 0, mirror = -1;
  bool turned = false;
  const auto grid_properties = w.item_properties.find(w.primary);
  if (grid_properties == w.item_properties.end()) return false;  // not even the canvas size
  for (uint32_t index : grid_properties->second) {
    if (index == 0 || index > w.properties.size()) continue;
    const Box& p = w.properties[index - 1];
    if (p.is("clap") || ((p.is("irot") || p.is("imir")) && p.end == p.body)) return false;
    if (p.is("irot")) {
      if (turned || mirror >= 0) return false;
      turned = true, angle = d[p.body] & 3;
    } else if (p.is("imir")) {
      if (mirror >= 0) return false;
      mirror = d[p.body] & 1;
    }
  }
  plan.orientation = orientation_of(angle, mirror);
  // The tiles, each with one configuration, one size (the same for all), no transforms of its own,
  // and the same colours.
  std::vector<uint32_t> ids;
  for (const auto& [from, part] : w.parts)
    if (from == w.primary) ids.push_back(part);
  if (ids.size() != size_t(plan.rows) * size_t(plan.columns)) return false;
  for (size_t i = 0; i < ids.size(); ++i) {
    const uint32_t id = ids[i];
    const auto data = w.item_data.find(id);
    const Box *hvcc = nullptr, *ispe = nullptr, *colr = nullptr, *other = nullptr;
    if (!w.hevc_items.count(id) || w.located_twice.count(id) || data == w.item_data.end()) return false;
    if (one_property(w, id, "hvcC", 23, &hvcc) != 0 || one_property(w, id, "ispe", 12, &ispe) != 0) return false;
    for (const char* t : {"irot", "imir", "clap"})
      if (one_property(w, id, t, 0, &other) != -1) return false;
    const uint32_t tw = be32(d + ispe->body + 4), th = be32(d + ispe->body + 8);
    bool stated = false, full = false;
    int matrix = 2;
    if (one_property(w, id, "colr", 4, &colr) == 0 && std::memcmp(d + colr->body, "nclx", 4) == 0) {
      if (colr->end - colr->body < 11) return false;
      stated = true, matrix = int(be_n(d + colr->body + 8, 2)), full = d[colr->body + 10] & 0x80;
    }
    if (i == 0) {
      plan.tile_width = tw, plan.tile_height = th;
      plan.colour_stated = stated, plan.matrix = matrix, plan.full_range = full;
    } else if (tw != plan.tile_width || th != plan.tile_height || stated != plan.colour_stated ||
               (stated && (matrix != plan.matrix || full != plan.full_range))) {
      return false;
    }
    // The configuration's units (check_hvcc read them whole).
    GridPlan::Tile tile;
    each_hvcc_unit(d, *hvcc, [&](const uint8_t* nal, size_t length) {
      tile.config.emplace_back(nal, length);
      return true;
    });
    tile.data = data->second.pieces();
    plan.tiles.push_back(std::move(tile));
  }
  plan.decoder_bytes = libavcodec_hevc_bytes(w.avcodec_frame, w.largest_coded);
  const uint64_t tw = plan.tile_width, th = plan.tile_height;
  return tw > 0 && th > 0 && tw * uint64_t(plan.columns) >= plan.width && tw * uint64_t(plan.columns - 1) < plan.width &&
         th * uint64_t(plan.rows) >= plan.height && th * uint64_t(plan.rows - 1) < plan.height;
}

}  // namespace

void set_default_settings(const DecodeSettings& settings) {
  default_decoder = settings.decoder;
  default_tile_threads = settings.tile_threads;
}

DecodeSettings default_settings() { return {default_decoder.load(), default_tile_threads.load()}; }

DecodeResult decode_heif(const uint8_t* data, size_t size, const DecodeSettings& settings, const DecodeOptions& opt) {
  return decode_part(data, size, settings, nullptr, opt);
}

DecodeResult decode_part(const uint8_t* data, size_t size, const DecodeSettings& settings, const int* preview,
                         const DecodeOptions& opt) {
  DecodeResult res;
  if (!is_heif_file(data, size)) {
    res.error = "not a HEIC file";
    return res;
  }
  Walk walk;
  walk.d = data, walk.size = size;
  check_boxes(walk);
  if (!walk.error.empty()) {
    res.error = walk.error;
    return res;
  }
  try {
    HeifState st;
    st.ctx = heif_context_alloc();
    if (!st.ctx) {
      res.error = "out of memory";
      return res;
    }
    const bool avcodec = settings.decoder == HevcDecoder::Libavcodec && use_libavcodec_hevc(st.ctx);
    if (!avcodec && !heif_have_decoder_for_format(heif_compression_HEVC)) {
      res.error = "unsupported HEIF picture: no HEVC decoder";
      return res;
    }
    // libheif refuses a side of this many pixels or more in any image of the file, tiles too.
    heif_context_set_maximum_image_size_limit(st.ctx, kMaxImageSide + 1);
    // A grid's tiles: one at a time on this thread, or a few at once on libheif's threads (each
    // tile decoder reserved for below).
    const int threads = tile_threads(settings);
    heif_context_set_max_decoding_threads(st.ctx, threads > 1 ? threads : 0);
    heif_error e = heif_context_read_from_memory_without_copy(st.ctx, data, size, nullptr);
    if (e.code == heif_error_Ok) e = heif_context_get_primary_image_handle(st.ctx, &st.handle);
    if (e.code != heif_error_Ok) {
      res.error = reason(e);
      return res;
    }
    if (preview && !take_thumbnail(st, walk, preview[0], preview[1], res.error)) return res;
    // The size after rotation, and the coded size before it: both must be within the limits.
    const int w = heif_image_handle_get_width(st.handle), h = heif_image_handle_get_height(st.handle);
    const int iw = heif_image_handle_get_ispe_width(st.handle), ih = heif_image_handle_get_ispe_height(st.handle);
    if (!image_size_ok(w, h) || (iw != 0 && !image_size_ok(iw, ih))) {
      res.error = "too large: " + size_text(std::max(w, iw), std::max(h, ih));
      return res;
    }
    const bool alpha = heif_image_handle_has_alpha_channel(st.handle) != 0;
    const int bits = std::max(heif_image_handle_get_luma_bits_per_pixel(st.handle),
                              heif_image_handle_get_chroma_bits_per_pixel(st.handle));
    // A camera's grid shown smaller than it is: its tiles decoded straight to that size.
    if (!preview && opt.min_width > 0 && opt.min_height > 0 && avcodec && !alpha && bits == 8 && !walk.deep) {
      GridPlan plan;
      if (plan_grid(walk, iw, ih, plan))
        if (auto reduced = decode_grid_reduced(plan, opt, threads, size)) return std::move(*reduced);
    }

    // The peak, reserved before decoding, for the largest of the stated size, the frames the
    // parameter sets ask the decoder for and the canvases grids and overlays ask libheif for. The
    // planes are counted as full-size (4:4:4) at one byte a sample, two past 8 bits. Decoding goes
    // in three steps, each freeing the one before:
    //  1. the decoder decodes into its own frame, with its per-block data, and libheif copies the
    //     frame into its planes. libde265 is counted for the whole picture: its frame and up to 4
    //     bytes a pixel of motion, modes, filter flags and padded borders. libavcodec is counted as
    //     measured (libavcodec_hevc_bytes) for the largest frame. A grid's tiles (an overlay's
    //     layers) go through this beside the canvas, as many at once as there are tile threads,
    //     each with libheif's copy of its frame and the RGB planes the copy becomes before it is
    //     pasted (tile_bytes);
    //  2. libheif converts the planes to interleaved 8-bit RGB(A), past 8 bits through a 16-bit
    //     RGBA picture in between;
    //  3. we copy that into our pixmap.
    // The coded stream libheif gathers from the file is at most the file's size.
    // A thumbnail is a plain picture (take_thumbnail): no canvas of the file's is its.
    const uint64_t canvas = std::max({uint64_t(w) * uint64_t(h), uint64_t(iw) * uint64_t(ih), preview ? 0 : walk.largest_canvas});
    const uint64_t px = std::max(canvas, walk.largest_frame);
    const bool deep = bits > 8 || walk.deep;
    const uint64_t sample = deep ? 2 : 1;
    const uint64_t channels = alpha ? 4 : 3;
    const uint64_t planes = px * sample * channels;
    const uint64_t out = px * (alpha ? 4 : 3);
    const bool derived = !preview && walk.most_tiles > 0;
    const uint64_t at_once = derived ? std::min<uint64_t>(uint64_t(threads), walk.most_tiles) : 1;
    uint64_t step1 = 0;
    if (avcodec) {
      const uint64_t decoder = libavcodec_hevc_bytes(walk.avcodec_frame, walk.largest_coded);
      step1 = derived ? canvas * sample * channels + at_once * tile_bytes(decoder, walk.largest_frame, sample) : planes + decoder;
    } else {
      const uint64_t decoder = walk.largest_frame * (sample * 3 + 4);
      step1 = planes * 2 + px * 4 + (at_once - 1) * tile_bytes(decoder, walk.largest_frame, sample);
    }
    const uint64_t step2 = planes + (deep ? px * 8 : 0) + out;
    const uint64_t step3 = out * 2;
    const uint64_t peak = std::max({step1, step2, step3}) + size + kDecodeWorkBytes;
    BudgetLease lease = decode_budget().acquire(static_cast<size_t>(peak));
    if (!lease) {
      const bool frame = walk.largest_frame > uint64_t(w) * uint64_t(h);
      res.error = frame ? "too large: a coded frame of " + std::to_string(walk.largest_frame) + " pixels"
                        : "too large: " + size_text(w, h);
      return res;
    }

    st.options = heif_decoding_options_alloc();
    if (!st.options) {
      res.error = "out of memory";
      return res;
    }
    st.options->ignore_transformations = 0;  // turn and mirror as the file says
    st.options->convert_hdr_to_8bit = 1;
    st.options->strict_decoding = 1;  // missing tiles or damaged data: refused, not shown half grey
    e = heif_decode_image(st.handle, &st.image, heif_colorspace_RGB,
                          alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, st.options);
    if (e.code != heif_error_Ok) {
      res.error = reason(e);
      return res;
    }
    const int ow = heif_image_get_width(st.image, heif_channel_interleaved);
    const int oh = heif_image_get_height(st.image, heif_channel_interleaved);
    int stride = 0;
    const uint8_t* src = heif_image_get_plane_readonly(st.image, heif_channel_interleaved, &stride);
    PixmapPtr pixmap = image_size_ok(ow, oh) && uint64_t(ow) * oh <= px ? create_pixmap(ow, oh, alpha ? PF_RGBA : PF_RGB) : nullptr;
    if (!src || !pixmap || stride < pixmap->pitch) {
      res.error = "unsupported HEIF picture layout";
      return res;
    }
    // A thumbnail that comes out another size than it states is not trusted to show the photo.
    if (preview && (ow != w || oh != h)) {
      res.error = "a preview of another size than it states";
      return res;
    }
    for (int y = 0; y < oh; ++y) std::memcpy(pixmap->row(y), src + size_t(y) * stride, size_t(pixmap->pitch));
    res.keep(std::move(pixmap), std::move(lease));
  } catch (const std::bad_alloc&) {
    res.error = "out of memory";
  }
  return res;
}

}  // namespace heif
}  // namespace media
