// The walk through a HEIC file's boxes before libheif sees it (heif_boxes.hpp says what it checks,
// decode_heif.cpp why).
#include "media/decode/heif_boxes.hpp"

#include "media/decode/decode.hpp"
#include "media/decode/heif_libavcodec.hpp"

namespace media::heif {
namespace {

// More tiles than a 64-megapixel picture cut into 256 x 256 tiles needs. Cameras use 512 x 512.
constexpr uint64_t kMaxGridTiles = 1024;
// Item extents in all: a grid of the most tiles, each with an alpha tile, needs about 2000.
constexpr uint64_t kMaxExtents = 65536;

}  // namespace

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

namespace {

// One NAL unit the HEVC decoder may be given. An SPS is read and held to the limits; a slice that
// starts a picture is counted in `pictures`.
bool check_nal(Walk& w, const uint8_t* nal, size_t size, int& pictures) {
  if (size < 2) return true;
  const int type = (nal[0] >> 1) & 63;
  if (type == 33) {
    HevcFrame f;
    switch (read_hevc_sps(nal, size, f)) {
      case SpsRead::Truncated: return w.fail("corrupt HEIF data: a cut-off sequence parameter set");
      case SpsRead::Corrupt: return w.fail("corrupt HEIF data: a bad sequence parameter set");
      case SpsRead::Ok: break;
    }
    if (!image_size_ok(f.width, f.height)) return w.fail("too large: " + size_text(f.width, f.height));
    w.largest_frame = std::max(w.largest_frame, uint64_t{f.width} * f.height);
    if (libavcodec_hevc_bytes(f, 0) > libavcodec_hevc_bytes(w.avcodec_frame, 0)) w.avcodec_frame = f;
    if (f.bit_depth > 8) w.deep = true;
  } else if (type < 32 && size >= 3 && (nal[2] & 0x80)) {  // first_slice_segment_in_pic_flag
    if (++pictures > 1) return w.fail("corrupt HEIF data: more than one picture in an image");
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

}  // namespace

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

}  // namespace media::heif
