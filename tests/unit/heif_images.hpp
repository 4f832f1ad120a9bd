// HEIC pictures made in memory with libheif's own encoders, for the decoder tests, the fuzz seeds
// and the benchmark; hostile ones built from them; and HEVC parameter sets written bit by bit.
#pragma once
#include <libheif/heif.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/bytes.hpp"
#include "tests/unit/sample_images.hpp"

namespace heif_samples {

struct HeifSpec {
  heif_compression_format codec = heif_compression_HEVC;  // AV1 only to check AVIF is left alone
  int width = 64, height = 48;
  int quality = 90;
  bool alpha = false;
  heif_orientation orientation = heif_orientation_normal;  // written as irot/imir boxes
  int thumbnail = 0;  // > 0: a thumbnail of at most this side is stored too (as item 2)
  // More of the encoder's settings by name, set last (x265's own as "x265:name").
  std::vector<std::pair<std::string, std::string>> parameters;
};

// Whether this libheif can encode the codec; tests that need it skip with a message otherwise.
inline bool can_encode(heif_compression_format codec) {
  const heif_encoder_descriptor* d = nullptr;
  return heif_context_get_encoder_descriptors(nullptr, codec, nullptr, &d, 1) > 0;
}

inline const char* codec_name(heif_compression_format codec) {
  return codec == heif_compression_AV1 ? "AV1 (AVIF)" : "HEVC (HEIC)";
}

// fill(x, y, px) writes R, G, B (and A) of one pixel. Empty when the encoder is missing or fails.
inline std::string encode_heif(const HeifSpec& s, const std::function<void(int, int, uint8_t*)>& fill) {
  std::string out;
  heif_context* ctx = heif_context_alloc();
  heif_encoder* enc = nullptr;
  heif_image* img = nullptr;
  heif_encoding_options* opt = heif_encoding_options_alloc();
  const int bpp = s.alpha ? 4 : 3;
  if (heif_context_get_encoder_for_format(ctx, s.codec, &enc).code == heif_error_Ok &&
      heif_image_create(s.width, s.height, heif_colorspace_RGB,
                        s.alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, &img).code == heif_error_Ok &&
      heif_image_add_plane(img, heif_channel_interleaved, s.width, s.height, 8).code == heif_error_Ok) {
    int stride = 0;
    uint8_t* p = heif_image_get_plane(img, heif_channel_interleaved, &stride);
    for (int y = 0; y < s.height; ++y)
      for (int x = 0; x < s.width; ++x) {
        uint8_t px[4] = {0, 0, 0, 255};
        fill(x, y, px);
        std::memcpy(p + size_t(y) * stride + size_t(x) * bpp, px, size_t(bpp));
      }
    heif_encoder_set_lossy_quality(enc, s.quality);
    // The quickest settings: these pictures are made on every test run.
    if (s.codec == heif_compression_AV1) heif_encoder_set_parameter(enc, "speed", "9");
    else heif_encoder_set_parameter(enc, "preset", "ultrafast");
    for (const auto& [name, value] : s.parameters) heif_encoder_set_parameter(enc, name.c_str(), value.c_str());
    opt->image_orientation = s.orientation;
    heif_image_handle* handle = nullptr;
    if (heif_context_encode_image(ctx, img, enc, opt, &handle).code == heif_error_Ok) {
      if (s.thumbnail > 0) heif_context_encode_thumbnail(ctx, img, handle, enc, opt, s.thumbnail, nullptr);
      heif_image_handle_release(handle);
      heif_writer w{};
      w.writer_api_version = 1;
      w.write = [](heif_context*, const void* data, size_t size, void* user) {
        static_cast<std::string*>(user)->append(static_cast<const char*>(data), size);
        return heif_error{heif_error_Ok, heif_suberror_Unspecified, "ok"};
      };
      if (heif_context_write(ctx, &w, &out).code != heif_error_Ok) out.clear();
    }
  }
  if (img) heif_image_release(img);
  if (enc) heif_encoder_release(enc);
  heif_encoding_options_free(opt);
  heif_context_free(ctx);
  return out;
}

inline std::string photo_heif(const HeifSpec& s) {
  return encode_heif(s, [](int x, int y, uint8_t* px) { samples::photo_pixel(x, y, px); });
}

// The offset of the first box of this type anywhere in the file (boxes nest, so a plain search).
inline size_t find_box(const std::string& f, const char* type) {
  const size_t at = f.find(type);
  return at == std::string::npos || at < 4 ? std::string::npos : at - 4;
}

// The same file with every 'ispe' box (a 20-byte box) declaring w x h: the primary image's, and in a
// grid its tiles'.
inline std::string with_ispe(std::string f, uint32_t w, uint32_t h) {
  for (size_t at = f.find("ispe"); at != std::string::npos; at = f.find("ispe", at + 4)) {
    if (at < 4 || f.compare(at - 4, 4, std::string("\0\0\0\x14", 4)) != 0 || f.size() - at < 16) continue;
    for (int i = 0; i < 4; ++i) {
      f[at + 8 + i] = char(w >> (24 - 8 * i));
      f[at + 12 + i] = char(h >> (24 - 8 * i));
    }
  }
  return f;
}

// The same file with the grid descriptor at the start of its 'idat' box (where libheif's encoder
// puts it, with 16-bit numbers) saying the canvas is w x h (each below 65536).
inline std::string with_grid_size(std::string f, uint32_t w, uint32_t h) {
  const size_t at = f.find("idat");
  if (at == std::string::npos || f.size() - at < 12 || (f[at + 5] & 1)) return f;
  f[at + 8] = char(w >> 8), f[at + 9] = char(w & 255);
  f[at + 10] = char(h >> 8), f[at + 11] = char(h & 255);
  return f;
}

using test_bytes::box;

// A file whose primary item is said to be a grid of `tiles` tiles: the item reference list really
// names that many tile items, none of which exists.
inline std::string grid_of(int tiles) {
  const std::string ftyp = box("ftyp", std::string("heic\0\0\0\0mif1heic", 16));
  std::string dimg("\0\x01", 2);  // from item 1
  dimg += char(tiles >> 8), dimg += char(tiles & 255);
  for (int i = 0; i < tiles; ++i) dimg += char((i + 2) >> 8), dimg += char((i + 2) & 255);
  const std::string iref = box("iref", std::string(4, '\0') + box("dimg", dimg));
  const std::string pitm = box("pitm", std::string(4, '\0') + std::string("\0\x01", 2));
  const std::string hdlr = box("hdlr", std::string(8, '\0') + "pict" + std::string(13, '\0'));
  return ftyp + box("meta", std::string(4, '\0') + hdlr + pitm + iref) + box("mdat", std::string(16, 'x'));
}


// ---- HEVC parameter sets ----

// Writes bits most significant first; nal() turns them into a NAL unit with its 2-byte header and
// an emulation-prevention byte after every 00 00 that is followed by a byte of 3 or less.
class BitWriter {
 public:
  void u(int bits, uint64_t v) {
    for (int i = bits - 1; i >= 0; --i) bit(int(v >> i & 1));
  }
  void ue(uint64_t v) {
    int len = 0;
    while ((v + 1) >> (len + 1)) ++len;
    u(len, 0);
    u(len + 1, v + 1);
  }
  // The stop bit and zeros to the byte's end.
  void trailing() {
    bit(1);
    while (n_ % 8) bit(0);
  }
  std::string nal(int type) const {
    std::string out{char(type << 1), char(1)};
    int zeros = 0;
    for (uint8_t b : bytes_) {
      if (zeros >= 2 && b <= 3) out += char(3), zeros = 0;
      out += char(b);
      zeros = b == 0 ? zeros + 1 : 0;
    }
    return out;
  }

 private:
  void bit(int b) {
    if (n_ % 8 == 0) bytes_.push_back(0);
    if (b) bytes_.back() |= uint8_t(0x80 >> (n_ % 8));
    ++n_;
  }
  std::vector<uint8_t> bytes_;
  size_t n_ = 0;
};

struct SpsFields {
  int sub_layers_minus1 = 0;
  unsigned profile_present = 0, level_present = 0;  // a bit per sub-layer
  int chroma_format = 1;
  bool separate_planes = false;
  uint64_t width = 64, height = 48;
  bool window = false;
  int luma_depth = 8, chroma_depth = 8;
  uint32_t compatibility = 0x60000000;  // profiles 1 and 2; 0 gives runs of zero bytes
};

// The head of an SPS as far as the bit depths, then the stop bit; `pad_to` fills it to that many
// bytes with 0xAA (what follows the bit depths is never read by the decoder's size check).
inline std::string sps_nal(const SpsFields& f, size_t pad_to = 0) {
  BitWriter w;
  w.u(4, 0);
  w.u(3, uint64_t(f.sub_layers_minus1));
  w.u(1, 1);
  w.u(2, 0), w.u(1, 0), w.u(5, 1);  // profile space, tier, Main profile
  w.u(32, f.compatibility);
  w.u(4, 0b1001), w.u(43, 0), w.u(1, 0);  // progressive, frame only; no constraints
  w.u(8, 93);  // level 3.1
  for (int i = 0; i < f.sub_layers_minus1; ++i) w.u(1, f.profile_present >> i & 1), w.u(1, f.level_present >> i & 1);
  if (f.sub_layers_minus1 > 0)
    for (int i = f.sub_layers_minus1; i < 8; ++i) w.u(2, 0);
  for (int i = 0; i < f.sub_layers_minus1; ++i) {
    if (f.profile_present >> i & 1) w.u(8, 0x01), w.u(32, f.compatibility), w.u(48, 0x900000000000);
    if (f.level_present >> i & 1) w.u(8, 90);
  }
  w.ue(0);  // sps_seq_parameter_set_id
  w.ue(uint64_t(f.chroma_format));
  if (f.chroma_format == 3) w.u(1, f.separate_planes);
  w.ue(f.width), w.ue(f.height);
  w.u(1, f.window);
  if (f.window) w.ue(1), w.ue(2), w.ue(3), w.ue(4);
  w.ue(uint64_t(f.luma_depth - 8)), w.ue(uint64_t(f.chroma_depth - 8));
  w.trailing();
  std::string nal = w.nal(33);
  if (nal.size() < pad_to) nal.resize(pad_to, char(0xAA));
  return nal;
}

using test_bytes::be32_at;

// A NAL unit inside a file: where its bytes start and how many there are.
struct NalAt {
  size_t at = std::string::npos, size = 0;
};

// The NAL units of the first 'hvcC' box.
inline std::vector<NalAt> hvcc_nals(const std::string& f) {
  std::vector<NalAt> out;
  const size_t box = find_box(f, "hvcC");
  if (box == std::string::npos) return out;
  size_t pos = box + 8 + 22;
  const int arrays = uint8_t(f[pos++]);
  for (int a = 0; a < arrays; ++a) {
    const int count = uint8_t(f[pos + 1]) << 8 | uint8_t(f[pos + 2]);
    pos += 3;
    for (int i = 0; i < count; ++i) {
      const size_t n = size_t(uint8_t(f[pos])) << 8 | uint8_t(f[pos + 1]);
      out.push_back({pos + 2, n});
      pos += 2 + n;
    }
  }
  return out;
}

inline int nal_type(const std::string& f, const NalAt& n) { return uint8_t(f[n.at]) >> 1 & 63; }

// The NAL units of a one-image file's coded data, which is all of its 'mdat' (libheif writes no
// other item there for a picture without alpha), each after a 4-byte length.
inline std::vector<NalAt> data_nals(const std::string& f) {
  std::vector<NalAt> out;
  const size_t mdat = find_box(f, "mdat");
  if (mdat == std::string::npos) return out;
  for (size_t pos = mdat + 8; pos + 4 <= f.size();) {
    const size_t n = be32_at(f, pos);
    if (n > f.size() - pos - 4) break;
    out.push_back({pos + 4, n});
    pos += 4 + n;
  }
  return out;
}

// The same file with the hvcC's SPS replaced by one of w x h and the same length: the 'ispe'
// property still states the encoded size.
inline std::string with_sps_size(std::string f, uint64_t w, uint64_t h) {
  for (const NalAt& n : hvcc_nals(f)) {
    if (nal_type(f, n) != 33) continue;
    SpsFields s;
    s.width = w, s.height = h;
    const std::string sps = sps_nal(s, n.size);
    if (sps.size() == n.size) f.replace(n.at, n.size, sps);
  }
  return f;
}

// The same file with the first unit of its coded data overwritten by an SPS of w x h (of the same
// length): a parameter set the decoder meets in the data itself.
inline std::string with_sps_in_data(std::string f, uint64_t w, uint64_t h) {
  const std::vector<NalAt> nals = data_nals(f);
  SpsFields s;
  s.width = w, s.height = h;
  if (!nals.empty()) {
    const std::string sps = sps_nal(s, nals[0].size);
    if (sps.size() == nals[0].size) f.replace(nals[0].at, nals[0].size, sps);
  }
  return f;
}

// The same file with its picture's first slice split into two slices that each start a picture.
inline std::string with_two_pictures(std::string f) {
  NalAt n;
  for (const NalAt& u : data_nals(f))
    if (n.at == std::string::npos && nal_type(f, u) < 32) n = u;
  if (n.at == std::string::npos || n.size < 16) return f;
  const char header[2] = {f[n.at], f[n.at + 1]};
  // [3][header, first-slice bit][rest - 7][header, first-slice bit, the rest of the old slice]
  std::string first(header, 2);
  first += char(0x80);
  std::string first_length;
  samples::put32be(first_length, 3);
  f.replace(n.at, 3, first);
  const size_t second = n.at + 3;
  std::string len2;
  samples::put32be(len2, uint32_t(n.size - 3 - 4));
  f.replace(second, 4, len2);
  f[second + 4] = header[0], f[second + 5] = header[1], f[second + 6] = char(f[second + 6] | 0x80);
  f.replace(n.at - 4, 4, first_length);
  return f;
}

// Reads bits of an unescaped parameter set, most significant first (the tests' own, plain reader).
struct BitSource {
  const std::string& bytes;
  size_t pos = 0;
  uint64_t u(int n) {
    uint64_t v = 0;
    for (int i = 0; i < n; ++i, ++pos) v = v << 1 | (pos / 8 < bytes.size() ? uint8_t(bytes[pos / 8]) >> (7 - pos % 8) & 1 : 0);
    return v;
  }
  uint64_t ue() {
    int zeros = 0;
    while (u(1) == 0 && zeros < 40) ++zeros;
    return (uint64_t{1} << zeros) - 1 + u(zeros);
  }
};

// The SPS of the file's decoder configuration made for a picture of w x h, every other field kept
// as the encoder wrote it, so that the decoder takes it in full; the boxes around it and the item
// locations after it are moved to fit its new length. The 'ispe' property keeps the old size.
inline std::string with_whole_sps_size(std::string f, uint64_t w, uint64_t h) {
  NalAt sps;
  for (const NalAt& n : hvcc_nals(f))
    if (nal_type(f, n) == 33) sps = n;
  if (sps.at == std::string::npos) return f;
  // The payload without its emulation-prevention bytes.
  std::string rbsp;
  int zeros = 0;
  for (size_t i = sps.at + 2; i < sps.at + sps.size; ++i) {
    const uint8_t b = uint8_t(f[i]);
    if (zeros >= 2 && b == 3) {
      zeros = 0;
      continue;
    }
    zeros = b == 0 ? zeros + 1 : 0;
    rbsp += char(b);
  }
  BitSource in{rbsp};
  BitWriter out;
  auto copy = [&](int n) { out.u(n, in.u(n)); };
  auto copy_ue = [&] { out.ue(in.ue()); };
  copy(4);
  const int sub = int(in.u(3));
  out.u(3, uint64_t(sub));
  copy(1);
  copy(88), copy(8);
  unsigned prof = 0, lev = 0;
  for (int i = 0; i < sub; ++i) {
    prof |= unsigned(in.u(1)) << i, lev |= unsigned(in.u(1)) << i;
    out.u(1, prof >> i & 1), out.u(1, lev >> i & 1);
  }
  if (sub > 0)
    for (int i = sub; i < 8; ++i) copy(2);
  for (int i = 0; i < sub; ++i) {
    if (prof >> i & 1) copy(88);
    if (lev >> i & 1) copy(8);
  }
  copy_ue();
  const uint64_t chroma = in.ue();
  out.ue(chroma);
  if (chroma == 3) copy(1);
  in.ue(), in.ue();
  out.ue(w), out.ue(h);
  // The rest up to the stop bit (the last one bit), then a stop bit of our own.
  size_t last_one = rbsp.size() * 8;
  while (last_one > 0 && !(uint8_t(rbsp[(last_one - 1) / 8]) >> (7 - (last_one - 1) % 8) & 1)) --last_one;
  while (in.pos + 1 < last_one) copy(1);
  out.trailing();
  const std::string nal = std::string(f, sps.at, 2) + out.nal(33).substr(2);
  const long delta = long(nal.size()) - long(sps.size);
  const size_t at = sps.at;
  f.replace(at, sps.size, nal);
  f[at - 2] = char(nal.size() >> 8), f[at - 1] = char(nal.size() & 255);
  // Every box that holds the parameter set grows with it.
  auto grow = [&](size_t box) {
    const uint32_t n = be32_at(f, box) + uint32_t(delta);
    for (int i = 0; i < 4; ++i) f[box + i] = char(n >> (24 - 8 * i));
  };
  for (const char* type : {"meta", "iprp", "ipco", "hvcC"}) grow(find_box(f, type));
  // Item data after it moves by as much: the file offsets of item locations (version 0 or 1) that
  // lie after it, whether in an item's base offset or in an extent's.
  const size_t iloc = find_box(f, "iloc");
  const int version = uint8_t(f[iloc + 8]);
  const int offset_size = uint8_t(f[iloc + 12]) >> 4, length_size = uint8_t(f[iloc + 12]) & 15;
  const int base_size = uint8_t(f[iloc + 13]) >> 4, index_size = version >= 1 ? uint8_t(f[iloc + 13]) & 15 : 0;
  size_t pos = iloc + 14;
  auto get = [&](int n) {
    uint64_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 8 | uint8_t(f[pos + size_t(i)]);
    return v;
  };
  auto put = [&](int n, uint64_t v) {
    for (int i = 0; i < n; ++i) f[pos + size_t(i)] = char(v >> (8 * (n - 1 - i)));
  };
  const uint64_t items = get(2);
  pos += 2;
  for (uint64_t i = 0; i < items; ++i) {
    pos += 2;  // item id
    int method = 0;
    if (version >= 1) method = int(get(2) & 15), pos += 2;
    pos += 2;  // data reference
    const uint64_t base = get(base_size);
    const bool in_file = method == 0;
    if (in_file && base > at) put(base_size, base + uint64_t(delta));
    pos += size_t(base_size);
    const uint64_t extents = get(2);
    pos += 2;
    for (uint64_t e = 0; e < extents; ++e) {
      pos += size_t(index_size);
      const uint64_t offset = get(offset_size);
      if (in_file && base <= at && base + offset > at) put(offset_size, offset + uint64_t(delta));
      pos += size_t(offset_size + length_size);
    }
  }
  return f;
}

// The same file with its item locations replaced (in the same number of bytes) by one entry for
// item 1, the picture, of `count` extents each running from the item's data to the end of the file:
// the extents take no bytes of their own (offsets and lengths of size 0), so a small file can list
// thousands, each a copy of the same bytes.
inline std::string with_overlapping_extents(std::string f, uint16_t count) {
  const size_t iloc = find_box(f, "iloc");
  const size_t mdat = find_box(f, "mdat");
  if (iloc == std::string::npos || mdat == std::string::npos) return f;
  const size_t length = be32_at(f, iloc);
  std::string body("\x01\0\0\0\x00\x40\0\x01\0\x01\0\0\0\0", 14);  // v1; no offsets; base 4; 1 item: 1
  samples::put32be(body, uint32_t(mdat + 8));
  body += char(count >> 8), body += char(count & 255);
  if (body.size() + 8 > length) return f;
  body.resize(length - 8, '\0');
  f.replace(iloc + 8, body.size(), body);
  return f;
}

}  // namespace heif_samples
