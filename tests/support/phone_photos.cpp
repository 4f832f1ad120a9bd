#include "tests/support/phone_photos.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <tuple>

#include <webp/encode.h>

#include "tests/support/bytes.hpp"
#include "tests/support/heif_boxes.hpp"
#include "tests/unit/avif_images.hpp"
#include "tests/unit/heif_images.hpp"
#include "tests/unit/sample_images.hpp"

namespace phone_photos {
namespace {

using test_bytes::box;
using test_bytes::full_box;
using test_bytes::put16be;
using test_bytes::put32be;

// Qualities that give files of the size phones save (a 12-megapixel HEIC of 2 to 3 MB).
constexpr int kHeicQuality = 55;
constexpr int kWebpQuality = 85;
constexpr int kAvifQuantizer = 18;  // 0 best .. 63 worst
constexpr int kThumbnailJpegQuality = 85;

// ---- The scene ----

// splitmix64: the same numbers on every platform, unlike the standard library's distributions.
struct Rng {
  uint64_t s;
  uint64_t next() {
    uint64_t z = (s += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  float uniform(float a, float b) { return a + (b - a) * float(double(next() >> 11) * 0x1.0p-53); }
};

uint32_t hash3(uint32_t x, uint32_t y, uint32_t z) {
  uint32_t h = x * 0x8DA6B343u ^ y * 0xD8163841u ^ z * 0xCB1AB31Fu;
  h ^= h >> 15, h *= 0x2C1B3C6Du;
  h ^= h >> 12, h *= 0x297A2D39u;
  return h ^ (h >> 15);
}

struct Rgb {
  float r, g, b;
};
Rgb mix(const Rgb& a, const Rgb& b, float t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
uint8_t to_byte(float v) { return uint8_t(std::clamp(v, 0.0f, 255.0f) + 0.5f); }

// A soft ellipse: a cloud in the sky or a bush, a rock, a tree's crown on the ground.
struct Shape {
  float cx, cy, rx, ry;
  float soft;       // width of the edge's fall-off, in shares of the radius
  float alpha;      // cover at the middle
  Rgb colour;
  float texture;    // strength of the leaf speckle
  float wobble;     // phase of the edge's waves
  bool sky;         // drawn only where the sky shows (behind the hills)
};

void draw_shape(Picture& p, const Shape& s, const std::vector<float>& ridge, uint32_t seed) {
  const float reach = 1.0f + s.soft;
  const int x0 = std::max(0, int(s.cx - s.rx * reach)), x1 = std::min(p.width - 1, int(s.cx + s.rx * reach));
  const int y0 = std::max(0, int(s.cy - s.ry * reach)), y1 = std::min(p.height - 1, int(s.cy + s.ry * reach));
  for (int y = y0; y <= y1; ++y) {
    const float dy = (float(y) - s.cy) / s.ry;
    // Lit from above: the top of the shape lighter than its bottom.
    const float shade = s.sky ? 1.0f - 0.08f * dy : 1.08f - 0.3f * dy;
    const float wave_y = std::cos(dy * 2.3f + s.wobble);
    uint8_t* row = &p.rgb[size_t(y) * size_t(p.width) * 3];
    for (int x = x0; x <= x1; ++x) {
      if (s.sky && float(y) >= ridge[size_t(x)]) continue;
      const float dx = (float(x) - s.cx) / s.rx;
      const float d2 = dx * dx + dy * dy;
      if (d2 >= reach * reach) continue;
      const float d = std::sqrt(d2) + 0.07f * std::sin(dx * 3.1f + s.wobble) * wave_y;
      const float a = s.alpha * std::clamp((reach - d) / (2 * s.soft), 0.0f, 1.0f);
      if (a <= 0) continue;
      // Speckle in 2x2 pixel cells: leaves and pebbles, detail a preview cannot hold.
      const float speckle = s.texture * (float(hash3(uint32_t(x) >> 1, uint32_t(y) >> 1, seed) & 255) / 255.0f - 0.5f);
      uint8_t* px = row + size_t(x) * 3;
      px[0] = to_byte(px[0] + (s.colour.r * shade + speckle - px[0]) * a);
      px[1] = to_byte(px[1] + (s.colour.g * shade + speckle - px[1]) * a);
      px[2] = to_byte(px[2] + (s.colour.b * shade + speckle * 0.6f - px[2]) * a);
    }
  }
}

// ---- HEIC ----

// A property box and whether a reader must understand it.
struct Property {
  std::string box;
  bool essential;
};

// One picture coded on its own by libheif: its properties but its size, and its coded data.
struct Coded {
  std::vector<Property> properties;
  std::string data;
};

// Codes w x h pixels of `src` from (x0, y0) (the picture's last row and column repeated past its
// edges) as a one-picture file of its own, and takes it apart.
Coded code_alone(const Picture& src, int x0, int y0, int w, int h) {
  heif_samples::HeifSpec spec;
  spec.width = w, spec.height = h, spec.quality = kHeicQuality;
  // One thread: a tile is too small to share out, and starting x265's threads for each of 48 tiles
  // costs more than it saves (and far more on a busy machine). Blocks of 32x32 at the least, split
  // for the transform down to 8x8, and the quickest mode decision: half the time of the quickest
  // preset as libheif sets it up, for a file of the same size.
  spec.parameters = {{"x265:pools", "none"},      {"x265:frame-threads", "1"}, {"x265:lookahead-slices", "0"},
                     {"x265:min-cu-size", "32"}, {"x265:tu-intra-depth", "2"}, {"x265:rd", "1"}};
  const std::string file = heif_samples::encode_heif(spec, [&](int x, int y, uint8_t* px) {
    std::memcpy(px, src.at(std::min(x0 + x, src.width - 1), std::min(y0 + y, src.height - 1)), 3);
  });
  const std::optional<heif_boxes::File> f = heif_boxes::read(file);
  const heif_boxes::Item* item = f ? f->item(f->primary) : nullptr;
  if (!item || item->type != "hvc1")
    throw std::runtime_error("libheif did not write one HEVC picture of " + std::to_string(w) + "x" + std::to_string(h));
  Coded c;
  for (const auto& [index, essential] : item->properties) {
    const std::string& b = f->properties[size_t(index)];
    if (b.compare(4, 4, "ispe") != 0) c.properties.push_back({b, essential});
  }
  // The encoder's notes about itself (SEI units) are left out: a phone writes none into each tile.
  for (const std::string& nal : heif_boxes::data_nals(item->data)) {
    const int type = nal.empty() ? 0 : uint8_t(nal[0]) >> 1 & 63;
    if (type == 39 || type == 40) continue;
    put32be(c.data, uint32_t(nal.size()));
    c.data += nal;
  }
  return c;
}

std::string ispe(int w, int h) {
  std::string body;
  put32be(body, uint32_t(w)), put32be(body, uint32_t(h));
  return full_box("ispe", 0, 0, body);
}

// The file's items, as they go into its boxes.
struct Entry {
  uint32_t id;
  std::string type;
  bool hidden;
  std::vector<std::pair<int, bool>> properties;  // index into the property list (from 1), essential
  std::string data;
  bool in_idat;
};

class HeicWriter {
 public:
  // The index (from 1) of this property box, added once however many items share it.
  int property(const std::string& b) {
    const auto it = std::find(properties_.begin(), properties_.end(), b);
    if (it != properties_.end()) return int(it - properties_.begin()) + 1;
    properties_.push_back(b);
    if (properties_.size() > 127) throw std::runtime_error("too many HEIF properties");
    return int(properties_.size());
  }
  uint32_t add(const std::string& type, bool hidden, std::vector<std::pair<int, bool>> props, std::string data,
               bool in_idat = false) {
    const uint32_t id = uint32_t(entries_.size() + 1);
    entries_.push_back({id, type, hidden, std::move(props), std::move(data), in_idat});
    return id;
  }
  void refer(const std::string& type, uint32_t from, std::vector<uint32_t> to) { refs_.emplace_back(type, from, std::move(to)); }

  std::string write(uint32_t primary) const {
    const std::string ftyp = box("ftyp", std::string("heic\0\0\0\0mif1heic", 16));
    // The item locations' size does not depend on the offsets they hold: the metadata is made once
    // to learn where the data box starts, then again with the offsets.
    const size_t data_start = ftyp.size() + meta(primary, 0).size() + 8;
    std::string mdat;
    for (const Entry& e : entries_)
      if (!e.in_idat) mdat += e.data;
    return ftyp + meta(primary, data_start) + box("mdat", mdat);
  }

 private:
  std::string meta(uint32_t primary, size_t data_start) const {
    std::string hdlr_body(4, '\0');
    hdlr_body += "pict" + std::string(12, '\0') + std::string(1, '\0');
    std::string pitm;
    put16be(pitm, primary);

    std::string infos;
    put16be(infos, uint32_t(entries_.size()));
    for (const Entry& e : entries_) {
      std::string b;
      put16be(b, e.id), put16be(b, 0);
      b += e.type + std::string(1, '\0');  // no name
      infos += full_box("infe", 2, e.hidden ? 1 : 0, b);
    }

    std::string refs;
    for (const auto& [type, from, to] : refs_) {
      std::string b;
      put16be(b, from), put16be(b, uint32_t(to.size()));
      for (uint32_t t : to) put16be(b, t);
      refs += box(type, b);
    }

    std::string ipco, ipma;
    for (const std::string& p : properties_) ipco += p;
    put32be(ipma, uint32_t(entries_.size()));
    for (const Entry& e : entries_) {
      put16be(ipma, e.id);
      ipma += char(e.properties.size());
      for (const auto& [index, essential] : e.properties) ipma += char((essential ? 0x80 : 0) | index);
    }

    // Version 1 (for data in 'idat'): 4-byte offsets and lengths, no base offsets, one extent each.
    std::string iloc("\x44\x00", 2), idat;
    put16be(iloc, uint32_t(entries_.size()));
    size_t in_mdat = 0;
    for (const Entry& e : entries_) {
      put16be(iloc, e.id), put16be(iloc, e.in_idat ? 1 : 0), put16be(iloc, 0), put16be(iloc, 1);
      if (e.in_idat) {
        put32be(iloc, uint32_t(idat.size()));
        idat += e.data;
      } else {
        put32be(iloc, uint32_t(data_start + in_mdat));
        in_mdat += e.data.size();
      }
      put32be(iloc, uint32_t(e.data.size()));
    }
    if (data_start + in_mdat > UINT32_MAX) throw std::runtime_error("HEIC file too large for 32-bit offsets");

    std::string body = full_box("hdlr", 0, 0, hdlr_body) + full_box("pitm", 0, 0, pitm) + full_box("iinf", 0, 0, infos) +
                       full_box("iref", 0, 0, refs) + box("iprp", box("ipco", ipco) + full_box("ipma", 0, 0, ipma)) +
                       full_box("iloc", 1, 0, iloc) + box("idat", idat);
    return full_box("meta", 0, 0, body);
  }

  std::vector<std::string> properties_;
  std::vector<Entry> entries_;
  std::vector<std::tuple<std::string, uint32_t, std::vector<uint32_t>>> refs_;
};

// A tile's or the thumbnail's properties: its own from the encoder, and its size.
std::vector<std::pair<int, bool>> properties_of(HeicWriter& w, const Coded& c, int width, int height) {
  std::vector<std::pair<int, bool>> out;
  for (const Property& p : c.properties) out.emplace_back(w.property(p.box), p.essential);
  out.emplace_back(w.property(ispe(width, height)), false);
  return out;
}

std::string grid_descriptor(int cols, int rows, int w, int h) {
  const bool wide = w > 65535 || h > 65535;
  std::string d(1, '\0');
  d += char(wide ? 1 : 0), d += char(rows - 1), d += char(cols - 1);
  if (wide) put32be(d, uint32_t(w)), put32be(d, uint32_t(h));
  else put16be(d, uint32_t(w)), put16be(d, uint32_t(h));
  return d;
}

Picture preview_picture(const Picture& p, const PreviewSize& s, Preview kind) {
  Picture small = scaled(p, s.coded_width, s.coded_height);
  if (kind == Preview::Marked) mark(small);
  return small;
}

std::string heic(const Picture& p, const Options& o) {
  // libheif sets up its codecs once, before photos are made on several threads at once.
  static const bool ready = heif_init(nullptr).code == heif_error_Ok;
  if (!ready) throw std::runtime_error("libheif cannot start");
  const int cols = (p.width + kTileSide - 1) / kTileSide, rows = (p.height + kTileSide - 1) / kTileSide;
  if (cols > 256 || rows > 256) throw std::runtime_error("too large for a grid of 512x512 tiles");
  HeicWriter w;
  std::vector<Coded> tiles;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) tiles.push_back(code_alone(p, c * kTileSide, r * kTileSide, kTileSide, kTileSide));
  // The grid: its size, and the colour properties its tiles have (all the same).
  std::vector<std::pair<int, bool>> grid_props{{w.property(ispe(p.width, p.height)), false}};
  for (const Property& prop : tiles.front().properties)
    if (prop.box.compare(4, 4, "hvcC") != 0) grid_props.emplace_back(w.property(prop.box), prop.essential);
  const uint32_t grid = w.add("grid", false, grid_props, grid_descriptor(cols, rows, p.width, p.height), true);
  std::vector<uint32_t> tile_ids;
  for (const Coded& t : tiles) tile_ids.push_back(w.add("hvc1", true, properties_of(w, t, kTileSide, kTileSide), t.data));
  w.refer("dimg", grid, tile_ids);
  const PreviewSize s = preview_size(o);
  if (s.coded_width > 0) {
    // libheif pads a picture with a side under 64 or of odd length and crops it again with a
    // transform of its own, which a plain preview does not have.
    if (std::min(s.coded_width, s.coded_height) < 64 || s.coded_width % 2 || s.coded_height % 2)
      throw std::runtime_error("an HEVC preview needs even sides of 64 or more, not " + std::to_string(s.coded_width) +
                               "x" + std::to_string(s.coded_height));
    const Coded t = code_alone(preview_picture(p, s, o.preview), 0, 0, s.coded_width, s.coded_height);
    const uint32_t thumb = w.add("hvc1", false, properties_of(w, t, s.stated_width, s.stated_height), t.data);
    w.refer("thmb", thumb, {grid});
  }
  return w.write(grid);
}

// ---- JPEG ----

// The APP1 segment a phone writes: "Exif", then a TIFF structure (Intel order) whose first
// directory holds the orientation and whose second, when there is a preview, points at its JPEG.
std::string exif_app1(const std::string& thumb) {
  using test_bytes::put16;
  using test_bytes::put32;
  std::string t = "II";
  put16(t, 42), put32(t, 8);
  constexpr uint32_t kIfd1 = 8 + 2 + 12 + 4, kThumb = kIfd1 + 2 + 3 * 12 + 4;
  put16(t, 1);
  put16(t, 0x0112), put16(t, 3), put32(t, 1), put16(t, 1), put16(t, 0);  // orientation: upright
  put32(t, thumb.empty() ? 0 : kIfd1);
  if (!thumb.empty()) {
    put16(t, 3);
    put16(t, 0x0103), put16(t, 3), put32(t, 1), put16(t, 6), put16(t, 0);  // compression: JPEG
    put16(t, 0x0201), put16(t, 4), put32(t, 1), put32(t, kThumb);        // where the JPEG starts
    put16(t, 0x0202), put16(t, 4), put32(t, 1), put32(t, uint32_t(thumb.size()));
    put32(t, 0);
    t += thumb;
  }
  return std::string("Exif\0\0", 6) + t;
}

std::string jpeg_of(const Picture& p, int quality, const std::string& app1 = "") {
  samples::JpegSpec spec;
  spec.width = p.width, spec.height = p.height, spec.quality = quality, spec.app1 = app1;
  return samples::encode_jpeg(spec, [&](int x, int y, uint8_t* px) { std::memcpy(px, p.at(x, y), 3); });
}

std::string jpeg(const Picture& p, const Options& o) {
  const PreviewSize s = preview_size(o);
  std::string thumb;
  if (s.coded_width > 0) {
    const Picture small = preview_picture(p, s, o.preview);
    // The segment holds at most 65533 bytes: a large preview is coded more coarsely until it fits.
    for (int q = kThumbnailJpegQuality; q > 0; q -= 15) {
      thumb = jpeg_of(small, q);
      if (exif_app1(thumb).size() <= 65533) break;
    }
    if (exif_app1(thumb).size() > 65533) throw std::runtime_error("the preview does not fit in an EXIF segment");
  }
  return jpeg_of(p, kJpegQuality, exif_app1(thumb));
}

// ---- WebP ----

std::string webp(const Picture& p) {
  WebPConfig config;
  WebPPicture pic;
  if (!WebPConfigInit(&config) || !WebPPictureInit(&pic)) throw std::runtime_error("libwebp's version does not match");
  config.quality = kWebpQuality;
  config.method = 2;  // a quarter of the default's time, for a file a percent larger
  pic.width = p.width, pic.height = p.height;
  std::string out;
  pic.writer = [](const uint8_t* data, size_t size, const WebPPicture* w) {
    static_cast<std::string*>(w->custom_ptr)->append(reinterpret_cast<const char*>(data), size);
    return 1;
  };
  pic.custom_ptr = &out;
  const bool ok = WebPPictureImportRGB(&pic, p.rgb.data(), p.width * 3) && WebPEncode(&config, &pic);
  WebPPictureFree(&pic);
  if (!ok) throw std::runtime_error("libwebp could not encode the photo");
  return out;
}

}  // namespace

Picture picture(int w, int h, uint32_t seed) {
  if (w < 1 || h < 1) throw std::runtime_error("a photo needs a size");
  Rng r{uint64_t(seed) * 0x2545F4914F6CDD1Dull + 7};
  Picture p;
  p.width = w, p.height = h;
  p.rgb.resize(size_t(w) * size_t(h) * 3);
  const float W = float(w), H = float(h);

  // Sky: deep at the top, pale (or, for some seeds, warm) at the horizon, and a sun with its glow.
  const Rgb sky_top{r.uniform(20, 70), r.uniform(60, 120), r.uniform(150, 230)};
  const bool evening = r.uniform(0, 1) < 0.3f;
  const Rgb sky_low = evening ? Rgb{r.uniform(230, 250), r.uniform(160, 200), r.uniform(110, 150)}
                              : Rgb{r.uniform(175, 225), r.uniform(195, 228), r.uniform(215, 248)};
  const float horizon = H * r.uniform(0.42f, 0.6f);
  const float sun_x = W * r.uniform(0.1f, 0.9f), sun_y = horizon * r.uniform(0.2f, 0.7f);
  const float sun_r = H * r.uniform(0.02f, 0.035f), glow_r = H * 0.22f;
  const Rgb sun{255, evening ? 215.0f : 250.0f, evening ? 170.0f : 235.0f};

  // Hills along the horizon: three waves of different lengths.
  float amp[3], freq[3], phase[3];
  for (int i = 0; i < 3; ++i)
    amp[i] = H * r.uniform(0.01f, 0.07f) / float(i + 1), freq[i] = r.uniform(1.0f, 3.0f) * float(i + 1) * 6.2832f / W,
    phase[i] = r.uniform(0, 6.2832f);
  std::vector<float> ridge(static_cast<size_t>(w));
  for (int x = 0; x < w; ++x) {
    float lift = 0;
    for (int i = 0; i < 3; ++i) lift += amp[i] * (0.5f + 0.5f * std::sin(freq[i] * float(x) + phase[i]));
    ridge[size_t(x)] = horizon - lift;
  }
  // Ground: hazy far off, a field of some green or ochre near by.
  const Rgb near_ground{r.uniform(60, 130), r.uniform(95, 150), r.uniform(25, 70)};
  const Rgb far_ground = mix(near_ground, sky_low, 0.45f);
  const uint32_t grass_seed = uint32_t(r.next());
  // Each column's grass blades start at their own height.
  std::vector<uint32_t> blade_shift(static_cast<size_t>(w));
  for (int x = 0; x < w; ++x) blade_shift[size_t(x)] = hash3(uint32_t(x), 17, grass_seed) & 31;

  for (int y = 0; y < h; ++y) {
    const float t = std::clamp(float(y) / horizon, 0.0f, 1.0f);
    const Rgb sky_row = mix(sky_top, sky_low, std::pow(t, 1.5f));
    const float gy = (float(y) - sun_y) / glow_r;
    uint8_t* row = &p.rgb[size_t(y) * size_t(w) * 3];
    for (int x = 0; x < w; ++x) {
      Rgb c;
      const float ridge_y = ridge[size_t(x)];
      if (float(y) < ridge_y) {
        c = sky_row;
        if (std::fabs(gy) < 3) {
          const float gx = (float(x) - sun_x) / glow_r;
          const float d2 = gx * gx + gy * gy;
          const float glow = 0.55f / (1 + 12 * d2);
          const float disc = std::clamp((sun_r - std::sqrt(d2) * glow_r) / 3.0f + 0.5f, 0.0f, 1.0f);
          c = mix(c, sun, std::min(1.0f, glow + disc));
        }
      } else {
        const float depth = (float(y) - ridge_y) / std::max(1.0f, H - ridge_y);
        c = mix(far_ground, near_ground, std::sqrt(depth));
        // Grass: blades a pixel wide, longer and stronger near by.
        const uint32_t len = 2 + uint32_t(6 * depth);
        const uint32_t blade = hash3(uint32_t(x), (uint32_t(y) + blade_shift[size_t(x)]) / len, grass_seed);
        const float g = (float(blade & 255) / 255.0f - 0.5f) * (10 + 46 * depth);
        const float light = 1.0f - 0.25f * depth;
        c = {c.r * light + g, c.g * light + g * 1.2f, c.b * light + g * 0.5f};
      }
      uint8_t* px = row + size_t(x) * 3;
      px[0] = to_byte(c.r), px[1] = to_byte(c.g), px[2] = to_byte(c.b);
    }
  }

  // Clouds, behind the hills, then bushes, rocks and trees on the ground.
  const int clouds = 2 + int(r.next() % 4);
  for (int i = 0; i < clouds; ++i) {
    const float v = r.uniform(230, 252);
    const Shape s{W * r.uniform(0, 1), horizon * r.uniform(0.1f, 0.75f), W * r.uniform(0.06f, 0.18f),
                  H * r.uniform(0.015f, 0.045f), 0.6f, r.uniform(0.5f, 0.85f), mix(Rgb{v, v, v}, sky_low, 0.2f),
                  6.0f, r.uniform(0, 6.2832f), true};
    draw_shape(p, s, ridge, uint32_t(r.next()));
  }
  const int shapes = 3 + int(r.next() % 3);
  for (int i = 0; i < shapes; ++i) {
    const float cy = r.uniform(horizon + 0.05f * H, 0.95f * H);
    const float near = (cy - horizon) / (H - horizon);  // nearer shapes are larger
    const bool rock = r.uniform(0, 1) < 0.3f;
    const Rgb colour = rock ? Rgb{r.uniform(110, 160), r.uniform(105, 150), r.uniform(95, 140)}
                            : Rgb{r.uniform(25, 70), r.uniform(60, 110), r.uniform(15, 50)};
    const float size = 0.4f + near;
    const Shape s{W * r.uniform(0, 1), cy, W * r.uniform(0.03f, 0.09f) * size, H * r.uniform(0.03f, 0.08f) * size,
                  0.04f, 1.0f, colour, rock ? 30.0f : 55.0f, r.uniform(0, 6.2832f), false};
    draw_shape(p, s, ridge, uint32_t(r.next()));
  }

  // Grain: the sensor's noise, mostly in brightness.
  for (int y = 0; y < h; ++y) {
    uint32_t n = hash3(uint32_t(y), 99, seed) | 1;
    uint8_t* row = &p.rgb[size_t(y) * size_t(w) * 3];
    for (size_t i = 0; i < size_t(w) * 3; i += 3) {
      n ^= n << 13, n ^= n >> 17, n ^= n << 5;
      const int luma = int(n & 7) - 3;
      const int tint = int(n >> 8 & 3) - 1;
      row[i] = uint8_t(std::clamp(row[i] + luma + tint, 0, 255));
      row[i + 1] = uint8_t(std::clamp(row[i + 1] + luma, 0, 255));
      row[i + 2] = uint8_t(std::clamp(row[i + 2] + luma - tint, 0, 255));
    }
  }
  return p;
}

Picture scaled(const Picture& p, int w, int h) {
  Picture out;
  out.width = w, out.height = h;
  out.rgb.resize(size_t(w) * size_t(h) * 3);
  std::vector<uint32_t> sums(size_t(w) * 3);
  for (int j = 0; j < h; ++j) {
    const int y0 = int(int64_t(j) * p.height / h), y1 = std::max(y0 + 1, int(int64_t(j + 1) * p.height / h));
    std::fill(sums.begin(), sums.end(), 0);
    for (int i = 0; i < w; ++i) {
      const int x0 = int(int64_t(i) * p.width / w), x1 = std::max(x0 + 1, int(int64_t(i + 1) * p.width / w));
      for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
          for (int k = 0; k < 3; ++k) sums[size_t(i) * 3 + size_t(k)] += p.at(x, y)[k];
      const uint32_t n = uint32_t((x1 - x0) * (y1 - y0));
      for (int k = 0; k < 3; ++k) out.rgb[(size_t(j) * size_t(w) + size_t(i)) * 3 + size_t(k)] = uint8_t((sums[size_t(i) * 3 + size_t(k)] + n / 2) / n);
    }
  }
  return out;
}

void mark(Picture& p) {
  for (size_t i = 0; i < p.rgb.size(); i += 3) {
    p.rgb[i] = uint8_t(p.rgb[i] * 3 / 10);
    p.rgb[i + 1] = uint8_t(110 + p.rgb[i + 1] * 57 / 100);
    p.rgb[i + 2] = uint8_t(p.rgb[i + 2] * 3 / 10);
  }
}

PreviewSize preview_size(const Options& o) {
  if (o.preview == Preview::None || o.format == Format::Webp || o.format == Format::Avif) return {};
  int w = o.preview_width, h = o.preview_height;
  if (w <= 0 || h <= 0) {
    if (o.preview == Preview::Tiny) w = o.format == Format::Heic ? 96 : 64, h = o.format == Format::Heic ? 72 : 48;
    else if (o.format == Format::Jpeg) w = 160, h = 120;
    else w = 320, h = 240;
  }
  PreviewSize s{w, h, w, h};
  if (o.format == Format::Heic && o.preview == Preview::LyingSize) s.coded_width = w / 2, s.coded_height = h / 2;
  if (o.format == Format::Heic && o.preview == Preview::LyingShape) s.stated_height = w;
  return s;
}

std::string encode(const Picture& p, const Options& o) {
  if (p.width != o.width || p.height != o.height) throw std::runtime_error("the picture is not the size the options give");
  switch (o.format) {
    case Format::Heic: return heic(p, o);
    case Format::Jpeg: return jpeg(p, o);
    case Format::Webp: return webp(p);
    case Format::Avif: {
      avif_images::Spec spec;
      spec.quantizer = kAvifQuantizer;
      spec.yuv = AVIF_PIXEL_FORMAT_YUV420;
      spec.speed = AVIF_SPEED_FASTEST;
      return avif_images::encode(p.width, p.height, 3, p.rgb, spec);
    }
  }
  throw std::runtime_error("no such format");
}

std::string make(const Options& o) { return encode(picture(o.width, o.height, o.seed), o); }

const char* extension(Format f) {
  switch (f) {
    case Format::Heic: return "heic";
    case Format::Jpeg: return "jpg";
    case Format::Webp: return "webp";
    case Format::Avif: return "avif";
  }
  return "";
}

std::string file_name(Format f, int number) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04d", number);
  return std::string("IMG_") + digits + "." + extension(f);
}

std::optional<Format> format_named(std::string_view name) {
  if (name == "heic") return Format::Heic;
  if (name == "jpeg" || name == "jpg") return Format::Jpeg;
  if (name == "webp") return Format::Webp;
  if (name == "avif") return Format::Avif;
  return std::nullopt;
}

std::optional<Preview> preview_named(std::string_view name) {
  if (name == "normal") return Preview::Normal;
  if (name == "none") return Preview::None;
  if (name == "tiny") return Preview::Tiny;
  if (name == "lying-size" || name == "lying") return Preview::LyingSize;
  if (name == "lying-shape") return Preview::LyingShape;
  if (name == "marked") return Preview::Marked;
  return std::nullopt;
}

}  // namespace phone_photos
