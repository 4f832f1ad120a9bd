#include "tests/support/heif_boxes.hpp"

#include <cstring>
#include <functional>
#include <stdexcept>

namespace heif_boxes {
namespace {

struct Bad : std::runtime_error {
  Bad() : std::runtime_error("HEIF boxes do not fit") {}
};

// Reads within [pos, end) of the file, throwing Bad at the first read past the end.
struct Cursor {
  const std::string& f;
  size_t pos, end;
  uint64_t n(size_t bytes) {
    if (end - pos < bytes) throw Bad();
    uint64_t v = 0;
    for (size_t i = 0; i < bytes; ++i) v = v << 8 | uint8_t(f[pos + i]);
    pos += bytes;
    return v;
  }
  std::string text(size_t bytes) {
    if (end - pos < bytes) throw Bad();
    pos += bytes;
    return f.substr(pos - bytes, bytes);
  }
  // A string ended by a zero byte (the zero is passed over).
  std::string c_string() {
    const size_t zero = f.find('\0', pos);
    if (zero == std::string::npos || zero >= end) throw Bad();
    std::string s = f.substr(pos, zero - pos);
    pos = zero + 1;
    return s;
  }
};

struct Box {
  std::string type;
  size_t start, body, end;
};

// Calls fn(box) for every box within [from, to).
void each_box(const std::string& f, size_t from, size_t to, const std::function<void(const Box&)>& fn) {
  for (size_t pos = from; pos < to;) {
    Cursor c{f, pos, to};
    uint64_t length = c.n(4);
    const std::string type = c.text(4);
    if (length == 1) length = c.n(8);
    else if (length == 0) length = to - pos;
    if (length < c.pos - pos || length > to - pos) throw Bad();
    fn(Box{type, pos, c.pos, pos + size_t(length)});
    pos += size_t(length);
  }
}

// Version and flags of a full box.
std::pair<int, uint32_t> full_head(Cursor& c) {
  const uint32_t v = uint32_t(c.n(4));
  return {int(v >> 24), v & 0xFFFFFF};
}

struct Location {
  uint32_t id;
  int method;
  std::vector<std::pair<uint64_t, uint64_t>> extents;  // offset (base included), length
};

void read_meta(const std::string& f, const Box& meta, File& out) {
  std::vector<Location> locations;
  size_t idat_body = 0, idat_end = 0;
  each_box(f, meta.body + 4, meta.end, [&](const Box& b) {
    Cursor c{f, b.body, b.end};
    if (b.type == "hdlr") {
      full_head(c);
      c.n(4);
      out.handler = c.text(4);
    } else if (b.type == "pitm") {
      const int version = full_head(c).first;
      out.primary = uint32_t(c.n(version == 0 ? 2 : 4));
    } else if (b.type == "iinf") {
      const int version = full_head(c).first;
      c.n(version == 0 ? 2 : 4);
      each_box(f, c.pos, b.end, [&](const Box& e) {
        if (e.type != "infe") return;
        Cursor ec{f, e.body, e.end};
        const auto [v, flags] = full_head(ec);
        if (v < 2) return;
        Item item;
        item.id = uint32_t(ec.n(v == 2 ? 2 : 4));
        ec.n(2);  // protection
        item.type = ec.text(4);
        item.hidden = flags & 1;
        out.items.push_back(item);
      });
    } else if (b.type == "iref") {
      const int version = full_head(c).first;
      const size_t id = version == 0 ? 2 : 4;
      each_box(f, c.pos, b.end, [&](const Box& r) {
        Cursor rc{f, r.body, r.end};
        Reference ref;
        ref.type = r.type;
        ref.from = uint32_t(rc.n(id));
        const uint64_t count = rc.n(2);
        for (uint64_t i = 0; i < count; ++i) ref.to.push_back(uint32_t(rc.n(id)));
        out.references.push_back(ref);
      });
    } else if (b.type == "iprp") {
      each_box(f, b.body, b.end, [&](const Box& p) {
        if (p.type == "ipco") {
          each_box(f, p.body, p.end, [&](const Box& prop) { out.properties.push_back(f.substr(prop.start, prop.end - prop.start)); });
        } else if (p.type == "ipma") {
          Cursor pc{f, p.body, p.end};
          const auto [v, flags] = full_head(pc);
          const uint64_t entries = pc.n(4);
          for (uint64_t i = 0; i < entries; ++i) {
            const uint32_t id = uint32_t(pc.n(v < 1 ? 2 : 4));
            const uint64_t count = pc.n(1);
            std::vector<std::pair<int, bool>> props;
            for (uint64_t k = 0; k < count; ++k) {
              const uint64_t a = pc.n(flags & 1 ? 2 : 1);
              const uint64_t high = flags & 1 ? 0x8000 : 0x80;
              props.emplace_back(int(a & (high - 1)) - 1, (a & high) != 0);
            }
            // Kept aside until the items are known: the boxes may come in any order.
            out.items.push_back(Item{id, "", false, props, ""});
          }
        }
      });
    } else if (b.type == "iloc") {
      const int version = full_head(c).first;
      const uint64_t sizes = c.n(2);
      const size_t offset_size = sizes >> 12 & 15, length_size = sizes >> 8 & 15, base_size = sizes >> 4 & 15;
      const size_t index_size = version >= 1 ? sizes & 15 : 0;
      const uint64_t count = c.n(version < 2 ? 2 : 4);
      for (uint64_t i = 0; i < count; ++i) {
        Location l;
        l.id = uint32_t(c.n(version < 2 ? 2 : 4));
        l.method = version >= 1 ? int(c.n(2) & 15) : 0;
        c.n(2);  // data reference
        const uint64_t base = c.n(base_size);
        const uint64_t extents = c.n(2);
        for (uint64_t e = 0; e < extents; ++e) {
          c.n(index_size);
          const uint64_t offset = c.n(offset_size);
          l.extents.emplace_back(base + offset, c.n(length_size));
        }
        locations.push_back(l);
      }
    } else if (b.type == "idat") {
      idat_body = b.body, idat_end = b.end;
    }
  });
  // Gather the associations (stored above as items without a type) into the items.
  std::vector<Item> items, associations;
  for (Item& i : out.items) (i.type.empty() ? associations : items).push_back(std::move(i));
  for (const Item& a : associations)
    for (Item& i : items)
      if (i.id == a.id) i.properties.insert(i.properties.end(), a.properties.begin(), a.properties.end());
  for (Item& i : items)
    for (const auto& [index, essential] : i.properties)
      if (index < 0 || size_t(index) >= out.properties.size()) throw Bad();
  for (const Location& l : locations)
    for (Item& i : items) {
      if (i.id != l.id) continue;
      const size_t from = l.method == 1 ? idat_body : 0, to = l.method == 1 ? idat_end : f.size();
      for (const auto& [offset, length] : l.extents) {
        if (offset > to - from) throw Bad();
        const uint64_t n = length == 0 ? to - from - offset : length;
        if (n > to - from - offset) throw Bad();
        i.data += f.substr(from + size_t(offset), size_t(n));
      }
    }
  out.items = std::move(items);
}

}  // namespace

const Item* File::item(uint32_t id) const {
  for (const Item& i : items)
    if (i.id == id) return &i;
  return nullptr;
}

const std::string* File::property(uint32_t id, const char* type) const {
  const Item* i = item(id);
  if (!i) return nullptr;
  for (const auto& [index, essential] : i->properties)
    if (properties[size_t(index)].compare(4, 4, type) == 0) return &properties[size_t(index)];
  return nullptr;
}

std::vector<uint32_t> File::refers_to(uint32_t from, const char* type) const {
  std::vector<uint32_t> out;
  for (const Reference& r : references)
    if (r.from == from && r.type == type) out.insert(out.end(), r.to.begin(), r.to.end());
  return out;
}

std::vector<uint32_t> File::referred_by(uint32_t to, const char* type) const {
  std::vector<uint32_t> out;
  for (const Reference& r : references)
    for (uint32_t t : r.to)
      if (t == to && r.type == type) out.push_back(r.from);
  return out;
}

std::optional<File> read(const std::string& f) {
  try {
    File out;
    bool meta = false;
    each_box(f, 0, f.size(), [&](const Box& b) {
      if (b.type == "ftyp") {
        Cursor c{f, b.body, b.end};
        out.major_brand = c.text(4);
        c.n(4);
        while (c.end - c.pos >= 4) out.compatible_brands.push_back(c.text(4));
      } else if (b.type == "meta" && !meta) {
        meta = true;
        read_meta(f, b, out);
      }
    });
    if (!meta) return std::nullopt;
    return out;
  } catch (const Bad&) {
    return std::nullopt;
  }
}

std::pair<uint32_t, uint32_t> ispe_size(const std::string& box) {
  if (box.size() < 20) return {0, 0};
  Cursor c{box, 12, box.size()};
  const uint32_t w = uint32_t(c.n(4));
  return {w, uint32_t(c.n(4))};
}

std::vector<std::string> data_nals(const std::string& data) {
  std::vector<std::string> out;
  try {
    for (Cursor c{data, 0, data.size()}; c.pos < c.end;) out.push_back(c.text(size_t(c.n(4))));
  } catch (const Bad&) {
  }
  return out;
}

}  // namespace heif_boxes
