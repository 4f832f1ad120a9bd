// HEIC pictures laid out as a camera stores them: a grid of HEVC tiles (512 x 512 in a phone),
// each tile coded on its own by libheif's encoder and the container written here, since this
// libheif writes no grids of its own. For the decoder tests and the HEVC decoders' benchmark.
#pragma once
#include <libheif/heif.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/bytes.hpp"
#include "tests/unit/heif_images.hpp"

namespace heif_grid {

// How the tiles are coded. chroma is the encoder's "420", "422" or "444", or "400" for grey.
struct Coding {
  int quality = 50;
  int bit_depth = 8;  // 8 or 10
  const char* chroma = "420";
  // x265's preset: "ultrafast" leaves out the loop filter's sample offsets and uses small coding
  // blocks; "fast" codes as cameras do (64 x 64 blocks, both loop filters).
  const char* preset = "ultrafast";
  // Each picture carries the MD5 checksum of its decoded planes (an SEI message after it).
  bool checksums = false;
};

// fill(x, y, px) writes R, G, B of the picture's pixel (x, y), 0 to 255.
using Fill = std::function<void(int, int, uint8_t*)>;

// One picture coded alone: its decoder configuration box ('hvcC', whole), its colour box ('colr',
// whole, or empty) and its coded data (NAL units, each after a 4-byte length); and the encoder's
// file of it, which may crop the coded picture to the size asked for.
struct Coded {
  std::string hvcc, colr, data;
  std::string file;
  bool ok() const { return !hvcc.empty() && !data.empty(); }
};

// The whole box of this type at the first place it appears (boxes nest, so a plain search).
inline std::string box_at(const std::string& f, const char* type) {
  const size_t at = heif_samples::find_box(f, type);
  if (at == std::string::npos) return {};
  const size_t n = heif_samples::be32_at(f, at);
  return n >= 8 && n <= f.size() - at ? f.substr(at, n) : std::string{};
}

// Codes a w x h picture whose top left corner is (x0, y0) of the picture fill draws.
inline Coded code_picture(int w, int h, int x0, int y0, const Coding& c, const Fill& fill) {
  Coded out;
  heif_context* ctx = heif_context_alloc();
  heif_encoder* enc = nullptr;
  heif_image* img = nullptr;
  heif_encoding_options* opt = heif_encoding_options_alloc();
  const bool grey = std::strcmp(c.chroma, "400") == 0;
  bool made = heif_context_get_encoder_for_format(ctx, heif_compression_HEVC, &enc).code == heif_error_Ok;
  if (made && grey) {
    made = heif_image_create(w, h, heif_colorspace_monochrome, heif_chroma_monochrome, &img).code == heif_error_Ok &&
           heif_image_add_plane(img, heif_channel_Y, w, h, c.bit_depth).code == heif_error_Ok;
  } else if (made) {
    made = heif_image_create(w, h, heif_colorspace_RGB, heif_chroma_444, &img).code == heif_error_Ok;
    for (heif_channel ch : {heif_channel_R, heif_channel_G, heif_channel_B})
      made = made && heif_image_add_plane(img, ch, w, h, c.bit_depth).code == heif_error_Ok;
  }
  if (made) {
    const int planes = grey ? 1 : 3;
    const heif_channel channels[3] = {grey ? heif_channel_Y : heif_channel_R, heif_channel_G, heif_channel_B};
    uint8_t* p[3] = {};
    int stride[3] = {};
    for (int k = 0; k < planes; ++k) p[k] = heif_image_get_plane(img, channels[k], &stride[k]);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        uint8_t px[4] = {0, 0, 0, 255};
        fill(x0 + x, y0 + y, px);
        if (grey) px[0] = uint8_t((px[0] * 77 + px[1] * 150 + px[2] * 29) >> 8);
        for (int k = 0; k < planes; ++k) {
          if (c.bit_depth == 8) {
            p[k][size_t(y) * stride[k] + x] = px[k];
          } else {
            const uint16_t v = uint16_t(px[k] << (c.bit_depth - 8) | px[k] >> (16 - c.bit_depth));
            std::memcpy(p[k] + size_t(y) * stride[k] + size_t(x) * 2, &v, 2);
          }
        }
      }
    heif_encoder_set_lossy_quality(enc, c.quality);
    heif_encoder_set_parameter(enc, "preset", c.preset);
    if (c.checksums) made = heif_encoder_set_parameter(enc, "x265:hash", "1").code == heif_error_Ok;
    if (!grey) heif_encoder_set_parameter(enc, "chroma", c.chroma);
    heif_image_handle* handle = nullptr;
    std::string file;
    if (made && heif_context_encode_image(ctx, img, enc, opt, &handle).code == heif_error_Ok) {
      heif_image_handle_release(handle);
      heif_writer wr{};
      wr.writer_api_version = 1;
      wr.write = [](heif_context*, const void* data, size_t size, void* user) {
        static_cast<std::string*>(user)->append(static_cast<const char*>(data), size);
        return heif_error{heif_error_Ok, heif_suberror_Unspecified, "ok"};
      };
      if (heif_context_write(ctx, &wr, &file).code != heif_error_Ok) file.clear();
    }
    // One picture, no thumbnail and no alpha: all of the media data box is its coded data.
    const std::string mdat = box_at(file, "mdat");
    out.hvcc = box_at(file, "hvcC");
    out.colr = box_at(file, "colr");
    if (mdat.size() > 8) out.data = mdat.substr(8);
    out.file = file;
  }
  if (img) heif_image_release(img);
  if (enc) heif_encoder_release(enc);
  heif_encoding_options_free(opt);
  heif_context_free(ctx);
  return out;
}

using test_bytes::full_box;
using test_bytes::put16be;
using test_bytes::put32be;

// A picture's units as libheif hands them to a decoder: its configuration's (parameter sets), then
// its data's, each after a 4-byte length.
inline std::string units(const Coded& picture) {
  std::string out;
  const std::string& h = picture.hvcc;
  size_t pos = 8 + 22;
  const int arrays = h.size() > pos ? uint8_t(h[pos++]) : 0;
  for (int a = 0; a < arrays && h.size() - pos >= 3; ++a) {
    const int count = uint8_t(h[pos + 1]) << 8 | uint8_t(h[pos + 2]);
    pos += 3;
    for (int i = 0; i < count && h.size() - pos >= 2; ++i) {
      const size_t n = size_t(uint8_t(h[pos])) << 8 | uint8_t(h[pos + 1]);
      put32be(out, uint32_t(n));
      out += h.substr(pos + 2, n);
      pos += 2 + n;
    }
  }
  return out + picture.data;
}

// A decoder configuration box holding no units: its 22 bytes of settings give the chroma format
// (0 grey to 3 for 4:4:4) and the bit depth libheif expects the pictures to have, and 4-byte lengths.
inline std::string empty_hvcc(int chroma_format = 1, int bit_depth = 8) {
  std::string b(22, '\0');
  b[0] = 1;
  b[16] = char(0xFC | (chroma_format & 3));
  b[17] = b[18] = char(0xF8 | ((bit_depth - 8) & 7));
  b[21] = char(0xFF);
  return heif_samples::box("hvcC", b + '\0');
}

inline std::string ispe(uint32_t w, uint32_t h) {
  std::string b;
  put32be(b, w), put32be(b, h);
  return full_box("ispe", 0, 0, b);
}

inline std::string infe(uint32_t id, const char* type, bool hidden) {
  std::string b;
  put16be(b, id), put16be(b, 0);
  b += type;
  b += '\0';
  return full_box("infe", 2, hidden ? 1 : 0, b);
}

// The file around the metadata's other boxes: its items' data, each (item, bytes) in the
// metadata's data box ('idat') or in 'mdat', located by an item location box (version 1, 4-byte
// offsets and lengths). The metadata's size does not depend on where 'mdat' starts, so it is made
// once to learn it.
using ItemBytes = std::vector<std::pair<uint32_t, std::string>>;
inline std::string whole_file(const std::string& meta_boxes, const ItemBytes& in_idat, const ItemBytes& in_mdat) {
  const std::string ftyp = heif_samples::box("ftyp", std::string("heic\0\0\0\0mif1heic", 16));
  const std::string hdlr = full_box("hdlr", 0, 0, std::string(4, '\0') + "pict" + std::string(13, '\0'));
  std::string idat, mdat;
  for (const auto& [id, bytes] : in_idat) idat += bytes;
  for (const auto& [id, bytes] : in_mdat) mdat += bytes;
  auto iloc_for = [&](uint32_t mdat_data) {
    std::string b;
    b += char(0x44), b += char(0x00);  // 4-byte offsets and lengths; no base offset, no index
    put16be(b, uint32_t(in_idat.size() + in_mdat.size()));
    uint32_t at = 0;
    for (const auto& [id, bytes] : in_idat) {
      put16be(b, id), put16be(b, 1), put16be(b, 0), put16be(b, 1), put32be(b, at), put32be(b, uint32_t(bytes.size()));
      at += uint32_t(bytes.size());
    }
    at = mdat_data;
    for (const auto& [id, bytes] : in_mdat) {
      put16be(b, id), put16be(b, 0), put16be(b, 0), put16be(b, 1), put32be(b, at), put32be(b, uint32_t(bytes.size()));
      at += uint32_t(bytes.size());
    }
    return full_box("iloc", 1, 0, b);
  };
  auto meta_for = [&](uint32_t mdat_data) {
    return full_box("meta", 0, 0, hdlr + meta_boxes + (idat.empty() ? "" : heif_samples::box("idat", idat)) + iloc_for(mdat_data));
  };
  const uint32_t mdat_data = uint32_t(ftyp.size() + meta_for(0).size() + 8);
  return ftyp + meta_for(mdat_data) + heif_samples::box("mdat", mdat);
}

inline std::string pitm(uint32_t id) {
  std::string b;
  put16be(b, id);
  return full_box("pitm", 0, 0, b);
}

// A grid of coded tiles, each tile_w x tile_h, laid out row by row, cropped to width x height.
// Item 1 is the grid; the tiles are items 2 on. Tiles coded with the same decoder configuration
// share one 'hvcC' property, as a camera's do. `grid_properties` are whole property boxes the grid
// has besides (turns, mirrors, crops), in order.
inline std::string grid_file(int width, int height, int tile_w, int tile_h, const std::vector<Coded>& tiles,
                             const std::vector<std::string>& grid_properties = {}) {
  const int columns = (width + tile_w - 1) / tile_w, rows = (height + tile_h - 1) / tile_h;
  if (tiles.empty() || int(tiles.size()) != columns * rows || columns > 256 || rows > 256) return {};
  for (const Coded& t : tiles)
    if (!t.ok()) return {};
  const int n = int(tiles.size());
  // Properties: the distinct configurations, then the tile size, the canvas size and the colour.
  std::vector<std::string> configs;
  std::vector<int> config_of(tiles.size());
  for (size_t i = 0; i < tiles.size(); ++i) {
    auto at = std::find(configs.begin(), configs.end(), tiles[i].hvcc);
    if (at == configs.end()) at = configs.insert(configs.end(), tiles[i].hvcc);
    config_of[i] = int(at - configs.begin()) + 1;
  }
  std::string ipco;
  for (const std::string& c : configs) ipco += c;
  const int tile_size = int(configs.size()) + 1, canvas_size = tile_size + 1, colour = canvas_size + 1;
  ipco += ispe(uint32_t(tile_w), uint32_t(tile_h)) + ispe(uint32_t(width), uint32_t(height));
  const bool has_colour = !tiles[0].colr.empty();
  if (has_colour) ipco += tiles[0].colr;
  const int extra = colour + (has_colour ? 1 : 0);
  for (const std::string& p : grid_properties) ipco += p;
  // Associations (version 0, 7-bit indices; the decoder configuration is essential).
  std::string ipma;
  put32be(ipma, uint32_t(n + 1));
  put16be(ipma, 1);
  ipma += char((has_colour ? 2 : 1) + grid_properties.size()), ipma += char(canvas_size);
  if (has_colour) ipma += char(colour);
  for (size_t i = 0; i < grid_properties.size(); ++i) ipma += char(0x80 | (extra + int(i)));
  for (int i = 0; i < n; ++i) {
    put16be(ipma, uint32_t(i + 2));
    ipma += char(has_colour ? 3 : 2), ipma += char(0x80 | config_of[size_t(i)]), ipma += char(tile_size);
    if (has_colour) ipma += char(colour);
  }
  const std::string iprp = heif_samples::box("iprp", heif_samples::box("ipco", ipco) + full_box("ipma", 0, 0, ipma));
  // Items: the grid, then the tiles, hidden.
  std::string iinf;
  put16be(iinf, uint32_t(n + 1));
  iinf += infe(1, "grid", false);
  for (int i = 0; i < n; ++i) iinf += infe(uint32_t(i + 2), "hvc1", true);
  std::string dimg;
  put16be(dimg, 1), put16be(dimg, uint32_t(n));
  for (int i = 0; i < n; ++i) put16be(dimg, uint32_t(i + 2));
  const std::string iref = full_box("iref", 0, 0, heif_samples::box("dimg", dimg));
  // The grid's own data: rows, columns and the canvas, 16-bit.
  std::string grid;
  grid += char(0), grid += char(0), grid += char(rows - 1), grid += char(columns - 1);
  put16be(grid, uint32_t(width)), put16be(grid, uint32_t(height));
  ItemBytes data;
  for (int i = 0; i < n; ++i) data.emplace_back(uint32_t(i + 2), tiles[size_t(i)].data);
  return whole_file(pitm(1) + full_box("iinf", 0, 0, iinf) + iref + iprp, {{1, grid}}, data);
}

// A file of one coded picture (item 1), said to be width x height.
inline std::string picture_file(uint32_t width, uint32_t height, const Coded& picture) {
  const std::string ipco = picture.hvcc + ispe(width, height) + picture.colr;
  std::string ipma;
  put32be(ipma, 1), put16be(ipma, 1);
  ipma += char(picture.colr.empty() ? 2 : 3), ipma += char(0x81), ipma += char(2);
  if (!picture.colr.empty()) ipma += char(3);
  const std::string iprp = heif_samples::box("iprp", heif_samples::box("ipco", ipco) + full_box("ipma", 0, 0, ipma));
  std::string iinf;
  put16be(iinf, 1);
  iinf += infe(1, "hvc1", false);
  return whole_file(pitm(1) + full_box("iinf", 0, 0, iinf) + iprp, {}, {{1, picture.data}});
}

// A width x height picture cut into tile x tile tiles (the last row and column cropped), each coded
// on its own.
inline std::string encode_grid(int width, int height, int tile, const Coding& c, const Fill& fill) {
  std::vector<Coded> tiles;
  for (int y = 0; y < height; y += tile)
    for (int x = 0; x < width; x += tile) {
      tiles.push_back(code_picture(tile, tile, x, y, c, fill));
      if (!tiles.back().ok()) return {};
    }
  return grid_file(width, height, tile, tile, tiles);
}

// The tiles of a file grid_file wrote, in order: each with the (first) decoder configuration and
// its coded data. Empty when the file is not laid out so.
inline std::vector<Coded> tiles_of(const std::string& f) {
  std::vector<Coded> out;
  const std::string hvcc = box_at(f, "hvcC");
  const size_t iloc = heif_samples::find_box(f, "iloc");
  if (hvcc.empty() || iloc == std::string::npos || f.size() - iloc < 16 || uint8_t(f[iloc + 8]) != 1 ||
      uint8_t(f[iloc + 12]) != 0x44 || uint8_t(f[iloc + 13]) != 0)
    return out;
  size_t pos = iloc + 14;
  const uint32_t items = uint32_t(uint8_t(f[pos])) << 8 | uint8_t(f[pos + 1]);
  pos += 2;
  for (uint32_t i = 0; i < items && f.size() - pos >= 16; ++i, pos += 16) {
    const bool in_file = (uint8_t(f[pos + 3]) & 15) == 0;
    const uint32_t offset = heif_samples::be32_at(f, pos + 8), length = heif_samples::be32_at(f, pos + 12);
    if (!in_file) continue;
    if (offset > f.size() || length > f.size() - offset) return {};
    out.push_back({hvcc, {}, f.substr(offset, length), {}});
  }
  return out;
}

}  // namespace heif_grid
