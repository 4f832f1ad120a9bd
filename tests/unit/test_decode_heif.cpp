// HEIC: good pictures made by libheif's encoder come back at their size, colours and orientation;
// damaged, lying and foreign files are refused in words the picture store sorts correctly; the
// HEVC parameter sets the decoder would size its frames by are read bit by bit and held to the
// limits. AVIF files are left to their own decoder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>

#include "app/pictures/picture_store.hpp"
#include "media/decode/decode.hpp"
#include "media/decode/decode_heif.hpp"
#include "media/decode/hevc_sps.hpp"
#include "media/decode/resample.hpp"
#include "tests/support/phone_photos.hpp"
#include "tests/unit/heif_grid.hpp"
#include "tests/unit/heif_images.hpp"
#include "tests/unit/sample_images.hpp"

using namespace media;
using heif_samples::HeifSpec;
using heif_samples::SpsFields;

namespace {

DecodeResult decode(const std::string& s) {
  return decode_image(reinterpret_cast<const uint8_t*>(s.data()), s.size());
}

// Left half red, right half blue; with alpha, the bottom half half-transparent.
void halves(int w, int h, int x, int y, uint8_t* px) {
  const bool left = x < w / 2;
  px[0] = left ? 220 : 20, px[1] = 30, px[2] = left ? 20 : 220, px[3] = y < h / 2 ? 255 : 128;
}

// Channel c of the pixel at (x, y) is within tolerance of want.
void expect_channel(const Pixmap& p, int x, int y, int shift, int want, const char* what) {
  const int got = int(read_pixel(p, x, y) >> shift & 255);
  EXPECT_NEAR(got, want, 24) << what << " at " << x << "," << y;
}

app::LeftOutReason reason_of(const std::string& f) {
  DecodeResult r = decode(f);
  EXPECT_FALSE(r.pixmap);
  return r.pixmap ? app::LeftOutReason::Damaged : app::left_out_reason(r.error);
}

void photo_pixel_of(int x, int y, uint8_t* px) { samples::photo_pixel(x, y, px); }

#define REQUIRE_HEVC_ENCODER()                                               \
  if (!heif_samples::can_encode(heif_compression_HEVC))                      \
  GTEST_SKIP() << "this libheif has no HEVC encoder"

TEST(DecodeHeif, GoodPictures) {
  REQUIRE_HEVC_ENCODER();
  for (bool alpha : {false, true}) {
    SCOPED_TRACE(alpha ? "alpha" : "opaque");
    HeifSpec s;
    s.width = 64, s.height = 48, s.alpha = alpha;
    const std::string f = heif_samples::encode_heif(s, [](int x, int y, uint8_t* px) { halves(64, 48, x, y, px); });
    ASSERT_FALSE(f.empty());
    DecodeResult r = decode(f);
    ASSERT_TRUE(r.pixmap) << r.error;
    EXPECT_EQ(r.pixmap->width, 64);
    EXPECT_EQ(r.pixmap->height, 48);
    EXPECT_EQ(r.pixmap->format, alpha ? PF_RGBA : PF_RGB);
    EXPECT_EQ(r.orientation, 1);
    EXPECT_EQ(r.lease.bytes(), r.pixmap->pixels.size());  // only the pixels stay reserved
    expect_channel(*r.pixmap, 8, 8, 16, 220, "red");
    expect_channel(*r.pixmap, 56, 8, 0, 220, "blue");
    if (alpha) {
      expect_channel(*r.pixmap, 8, 8, 24, 255, "opaque");
      expect_channel(*r.pixmap, 8, 40, 24, 128, "half transparent");
    }
  }
  // An odd size is stored as a grid of one cropped tile.
  HeifSpec odd;
  odd.width = 13, odd.height = 9;
  DecodeResult r = decode(heif_samples::photo_heif(odd));
  ASSERT_TRUE(r.pixmap) << r.error;
  EXPECT_EQ(r.pixmap->width, 13);
  EXPECT_EQ(r.pixmap->height, 9);
}

// A landscape stored with a quarter turn comes out as an upright portrait, turned once: left red,
// right blue becomes top red, bottom blue for a clockwise turn, the other way for anticlockwise.
TEST(DecodeHeif, RotationAndMirrorAreApplied) {
  REQUIRE_HEVC_ENCODER();
  struct Case {
    heif_orientation o;
    int w, h;
    bool red_first;  // red at the top (portrait) or left (landscape)
  };
  for (const Case c : {Case{heif_orientation_rotate_90_cw, 48, 64, true},
                       Case{heif_orientation_rotate_270_cw, 48, 64, false},
                       Case{heif_orientation_rotate_180, 64, 48, false},
                       Case{heif_orientation_flip_horizontally, 64, 48, false}}) {
    SCOPED_TRACE(int(c.o));
    HeifSpec s;
    s.orientation = c.o;
    DecodeResult r = decode(heif_samples::encode_heif(s, [](int x, int y, uint8_t* px) { halves(64, 48, x, y, px); }));
    ASSERT_TRUE(r.pixmap) << r.error;
    EXPECT_EQ(r.pixmap->width, c.w);
    EXPECT_EQ(r.pixmap->height, c.h);
    EXPECT_EQ(r.orientation, 1);  // already turned: nothing left for the caller to do
    const bool portrait = c.h > c.w;
    const int fx = portrait ? c.w / 2 : 8, fy = portrait ? 8 : c.h / 2;               // first half
    const int lx = portrait ? c.w / 2 : c.w - 8, ly = portrait ? c.h - 8 : c.h / 2;  // last half
    expect_channel(*r.pixmap, fx, fy, c.red_first ? 16 : 0, 220, "first half");
    expect_channel(*r.pixmap, lx, ly, c.red_first ? 0 : 16, 220, "last half");
  }
}

TEST(DecodeHeif, DamagedAndForeignFilesAreRefused) {
  using app::LeftOutReason;
  // A text file whatever its name: not a picture.
  EXPECT_EQ(reason_of("these are not the pictures you are looking for\n"), LeftOutReason::NotAPicture);
  // A video file's type box names other brands.
  EXPECT_EQ(reason_of(heif_samples::box("ftyp", std::string("isom\0\0\0\0isomavc1", 16)) + heif_samples::box("mdat", "x")),
            LeftOutReason::NotAPicture);
  EXPECT_EQ(reason_of(heif_samples::grid_of(4000)), LeftOutReason::TooLarge);
  REQUIRE_HEVC_ENCODER();
  const std::string good = heif_samples::photo_heif(HeifSpec{});
  ASSERT_TRUE(decode(good).pixmap);
  // Only the type box, then cuts inside the metadata, at the picture data and inside it.
  const size_t ftyp_end = (size_t(uint8_t(good[2])) << 8) | uint8_t(good[3]);
  const size_t mdat = heif_samples::find_box(good, "mdat");
  for (size_t cut : {ftyp_end, ftyp_end + 20, mdat / 2, mdat, mdat + 12, (mdat + good.size()) / 2, good.size() - 1}) {
    SCOPED_TRACE(cut);
    EXPECT_EQ(reason_of(good.substr(0, cut)), LeftOutReason::CutShort) << decode(good.substr(0, cut)).error;
  }
  // Picture data overwritten: the HEVC decoder takes almost any bits for a picture, so this is
  // either refused as damage or a picture of the declared size, never anything else.
  std::string garbled = good;
  for (size_t i = mdat + 16; i < good.size(); ++i) garbled[i] = char(i * 7);
  DecodeResult g = decode(garbled);
  if (g.pixmap) EXPECT_EQ(g.pixmap->width * 1000 + g.pixmap->height, 64 * 1000 + 48);
  else EXPECT_EQ(app::left_out_reason(g.error), LeftOutReason::Damaged) << g.error;
  // A size past the limits, in the header: too large.
  EXPECT_EQ(reason_of(heif_samples::with_ispe(good, 60000, 60000)), LeftOutReason::TooLarge);
  EXPECT_EQ(reason_of(heif_samples::with_ispe(good, 16000, 16000)), LeftOutReason::TooLarge);
  // A grid's canvas past the limits while the stated size is small (13 x 9): libheif would
  // allocate the canvas whole.
  HeifSpec odd;
  odd.width = 13, odd.height = 9;
  const std::string grid = heif_samples::photo_heif(odd);
  ASSERT_TRUE(decode(grid).pixmap);
  EXPECT_EQ(decode(heif_samples::with_grid_size(grid, 15616, 8448)).error, "too large: a canvas of 15616x8448");
  EXPECT_EQ(decode(heif_samples::with_grid_size(grid, 16385, 9)).error, "too large: a canvas of 16385x9");
  // A box inside the metadata that runs past it.
  std::string bad_box = good;
  const size_t iinf = heif_samples::find_box(good, "iinf");
  ASSERT_NE(iinf, std::string::npos);
  bad_box[iinf] = char(0x7F);
  EXPECT_EQ(reason_of(bad_box), LeftOutReason::Damaged) << decode(bad_box).error;
}

// The stated size says 64 x 48; the parameter sets the decoder sizes its frame by say otherwise.
TEST(DecodeHeif, ParameterSetsLargerThanTheStatedSizeAreRefused) {
  REQUIRE_HEVC_ENCODER();
  const std::string good = heif_samples::photo_heif(HeifSpec{});
  int sps = 0;
  for (const auto& n : heif_samples::hvcc_nals(good)) sps += heif_samples::nal_type(good, n) == 33;
  ASSERT_EQ(sps, 1) << "the encoder's decoder configuration holds one SPS";
  ASSERT_FALSE(heif_samples::data_nals(good).empty());
  struct Case {
    const char* what;
    std::string file;
    std::string error;
  };
  const Case cases[] = {
      {"SPS 16384 square", heif_samples::with_sps_size(good, 16384, 16384), "too large: 16384x16384"},
      {"SPS 60000 wide", heif_samples::with_sps_size(good, 60000, 16), "too large: 60000x16"},
      {"SPS of 2^32 - 2", heif_samples::with_sps_size(good, 0xFFFFFFFEu, 16), "too large: 4294967294x16"},
      {"SPS in the data", heif_samples::with_sps_in_data(good, 16000, 8000), "too large: 16000x8000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_NE(c.file, good) << "the file was patched";
    const DecodeResult r = decode(c.file);
    EXPECT_FALSE(r.pixmap);
    EXPECT_EQ(r.error, c.error);
  }
  // A whole parameter set, every field but the size as the encoder wrote it: the same size
  // decodes as before (so the rewriting is sound), a huge one is refused like the others.
  const DecodeResult whole = decode(heif_samples::with_whole_sps_size(good, 64, 48));
  ASSERT_TRUE(whole.pixmap) << whole.error;
  EXPECT_EQ(whole.pixmap->width * 1000 + whole.pixmap->height, 64 * 1000 + 48);
  EXPECT_EQ(decode(heif_samples::with_whole_sps_size(good, 16000, 8000)).error, "too large: 16000x8000");
  // Within the limits but past what the budget holds beside its decoder's memory: 64 M pixels.
  const DecodeResult big = decode(heif_samples::with_sps_size(good, 8000, 8000));
  EXPECT_FALSE(big.pixmap);
  EXPECT_EQ(big.error, "too large: a coded frame of 64000000 pixels");
  // The SPS of the encoded size itself, rewritten by our own writer, is not refused as too large.
  // (Only its head is ours, so the decoder may find the rest damaged; it is never too large.)
  const DecodeResult same = decode(heif_samples::with_sps_size(good, 64, 48));
  if (!same.pixmap) {
    EXPECT_EQ(app::left_out_reason(same.error), app::LeftOutReason::Damaged) << same.error;
  }
  // Item data listed many times over, which libheif would gather as often: refused at once.
  EXPECT_EQ(decode(heif_samples::with_overlapping_extents(good, 60000)).error,
            "corrupt HEIF data: items' data larger than the file");
  // More than one picture in an image's data, or a slice among the parameter sets.
  EXPECT_EQ(decode(heif_samples::with_two_pictures(good)).error, "corrupt HEIF data: more than one picture in an image");
  std::string slice_in_config = good;
  const auto nals = heif_samples::hvcc_nals(good);
  slice_in_config[nals.back().at] = char(1 << 1);  // the last parameter set becomes a slice
  EXPECT_EQ(decode(slice_in_config).error, "corrupt HEIF data: picture data in the decoder configuration");
}

TEST(DecodeHeif, AvifIsLeftToItsOwnDecoder) {
  if (!heif_samples::can_encode(heif_compression_AV1)) GTEST_SKIP() << "this libheif has no AV1 encoder";
  HeifSpec s;
  s.codec = heif_compression_AV1;
  const std::string avif = heif_samples::photo_heif(s);
  ASSERT_FALSE(avif.empty());
  const auto* d = reinterpret_cast<const uint8_t*>(avif.data());
  EXPECT_FALSE(is_heif_file(d, avif.size()));
  // The AVIF decoder reads it.
  const DecodeResult own = decode(avif);
  ASSERT_TRUE(own.pixmap) << own.error;
  EXPECT_EQ(own.pixmap->width * 1000 + own.pixmap->height, 64 * 1000 + 48);
  // The same file calling itself HEIC comes here, and is refused for its AV1 coding.
  std::string renamed = avif;
  const size_t ftyp_end = heif_samples::be32_at(avif, 0);
  for (size_t at = 8; at + 4 <= ftyp_end; at += 4)
    if (avif.compare(at, 4, "avif") == 0 || avif.compare(at, 4, "avis") == 0) renamed.replace(at, 4, "heic");
  ASSERT_TRUE(is_heif_file(reinterpret_cast<const uint8_t*>(renamed.data()), renamed.size()));
  const DecodeResult r = decode(renamed);
  EXPECT_FALSE(r.pixmap);
  EXPECT_EQ(r.error, "unsupported HEIF picture: coded as av01");
  EXPECT_EQ(app::left_out_reason(r.error), app::LeftOutReason::NotAPicture);
}

// A camera may keep a preview coded otherwise (JPEG) beside its HEVC picture: as a thumbnail it is
// never decoded, so the photo is read; the same coding on the picture itself is refused.
TEST(DecodeHeif, ThumbnailsCodedOtherwiseAreLeftAloneThePictureItselfIsNot) {
  heif_samples::HeifSpec spec;
  spec.thumbnail = 16;
  const std::string heic = heif_samples::photo_heif(spec);
  ASSERT_FALSE(heic.empty());
  // Item types sit 12 bytes into each version-2 'infe' box (after version, flags, the item's
  // number and its protection index). Two HEVC-coded items: the picture's own (its one tile) and
  // the thumbnail's, in that order.
  std::vector<size_t> types;
  for (size_t at = heic.find("infe"); at != std::string::npos; at = heic.find("infe", at + 4))
    if (heic.compare(at + 12, 4, "hvc1") == 0) types.push_back(at + 12);
  ASSERT_EQ(types.size(), 2u) << "a picture and its thumbnail";

  std::string preview = heic;
  preview.replace(types[1], 4, "jpeg");
  const DecodeResult shown = decode(preview);
  ASSERT_TRUE(shown.pixmap) << shown.error;
  EXPECT_EQ(shown.pixmap->width * 1000 + shown.pixmap->height, 64 * 1000 + 48);

  std::string picture = heic;
  picture.replace(types[0], 4, "jpeg");
  const DecodeResult refused = decode(picture);
  EXPECT_FALSE(refused.pixmap);
  EXPECT_EQ(refused.error, "unsupported HEIF picture: coded as jpeg");
}

// Item locations are read as libheif reads them, so that what the box walk checks is what libheif
// decodes: a version 1 box that names a size for extent indexes, which libheif reads none of
// (indexes come only in version 2 for it); an item whose data is said to be in another file, which
// libheif reads from this one. The picture decodes; its grid's canvas, when it is past the limits,
// is found and refused as in any other grid.
TEST(DecodeHeif, ItemLocationsAreReadAsLibheifReadsThem) {
  REQUIRE_HEVC_ENCODER();
  const std::string grid = heif_grid::encode_grid(160, 100, 64, heif_grid::Coding{}, photo_pixel_of);
  const size_t iloc = heif_samples::find_box(grid, "iloc");
  ASSERT_NE(iloc, std::string::npos);
  ASSERT_EQ(grid[iloc + 8], 1) << "version 1";
  ASSERT_EQ(heif_samples::be32_at(grid, iloc + 16), 0x00010001u) << "the grid (item 1) first, in the data box";
  std::string indexed = grid;
  indexed[iloc + 13] = 4;  // 4-byte indexes
  std::string elsewhere = grid;
  elsewhere[iloc + 21] = 1;  // the grid's data in the file of data reference 1
  for (const auto& [what, file] : {std::pair{"indexes", indexed}, std::pair{"another file", elsewhere}}) {
    SCOPED_TRACE(what);
    const DecodeResult r = decode(file);
    ASSERT_TRUE(r.pixmap) << r.error;
    EXPECT_EQ(r.pixmap->width * 1000 + r.pixmap->height, 160 * 1000 + 100);
    EXPECT_EQ(decode(heif_samples::with_grid_size(file, 15616, 8448)).error, "too large: a canvas of 15616x8448");
  }
}

// An extent of the metadata's data box may run past the box: libheif reads on into the file's next
// bytes (in this file the fuzzer made, they make the grid's canvas 3328 x 2304), so the walk reads
// the same bytes and reserves for that canvas before libheif allocates it.
TEST(DecodeHeif, DataBoxExtentsAreReadOnPastTheBoxAsLibheifReadsThem) {
  std::ifstream in(PIPKIN_TEST_DIR "/fuzz/findings/heif_grid_canvas_unreserved.heic", std::ios::binary);
  const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(file.size(), 570u);
  decode_budget().reset_most_in_use();
  EXPECT_FALSE(decode(file).pixmap);
  EXPECT_GE(decode_budget().most_in_use(), size_t{3328} * 2304 * 3);
}

// ---- HEVC by libavcodec ----

using heif::HevcDecoder;

DecodeResult decode_with(const std::string& f, HevcDecoder decoder, int tile_threads = 1, const DecodeOptions& opt = {}) {
  return heif::decode_heif(reinterpret_cast<const uint8_t*>(f.data()), f.size(), {decoder, tile_threads}, opt);
}

// The largest difference of any channel of any pixel; -1 when the sizes or layouts differ.
int largest_difference(const Pixmap& a, const Pixmap& b) {
  if (a.width != b.width || a.height != b.height || a.format != b.format) return -1;
  int most = 0;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.pitch; ++x) most = std::max(most, std::abs(int(a.row(y)[x]) - int(b.row(y)[x])));
  return most;
}

void photo(int x, int y, uint8_t* px) { samples::photo_pixel(x, y, px); }

// A photo of 200 x 130 in a grid of 64 x 64 tiles (4 x 3, the last column and row cropped), coded
// as cameras code theirs: libavcodec's picture is libde265's, whether the tiles are decoded one
// after another or two at once.
TEST(DecodeHeif, LibavcodecGivesLibde265sPixelsOnATileGrid) {
  REQUIRE_HEVC_ENCODER();
  heif_grid::Coding coding;
  coding.preset = "fast";
  const std::string grid = heif_grid::encode_grid(200, 130, 64, coding, photo);
  ASSERT_FALSE(grid.empty());
  const DecodeResult want = decode_with(grid, HevcDecoder::Libde265);
  ASSERT_TRUE(want.pixmap) << want.error;
  ASSERT_EQ(want.pixmap->width * 1000 + want.pixmap->height, 200 * 1000 + 130);
  for (int threads : {1, 2}) {
    SCOPED_TRACE(threads);
    const DecodeResult got = decode_with(grid, HevcDecoder::Libavcodec, threads);
    ASSERT_TRUE(got.pixmap) << got.error;
    const int difference = largest_difference(*got.pixmap, *want.pixmap);
    EXPECT_GE(difference, 0) << "a different size or layout";
    EXPECT_LE(difference, 1);
    EXPECT_EQ(got.lease.bytes(), got.pixmap->pixels.size());
  }
}

// The whole picture averaged over k x k blocks, in the pixmap's own layout (RGB or RGBA, 8 bits).
PixmapPtr average_down(const Pixmap& p, int k) {
  PixmapPtr out = create_pixmap(p.width / k, p.height / k, p.format);
  const int channels = p.format == PF_RGBA ? 4 : 3;
  for (int y = 0; y < out->height; ++y)
    for (int x = 0; x < out->width; ++x)
      for (int c = 0; c < channels; ++c) {
        int sum = 0;
        for (int j = 0; j < k; ++j)
          for (int i = 0; i < k; ++i) sum += p.row(y * k + j)[(x * k + i) * channels + c];
        out->row(y)[x * channels + c] = uint8_t((sum + k * k / 2) / (k * k));
      }
  return out;
}

std::string property(const char* type, std::string body) { return heif_samples::box(type, body); }

// A grid shown at half its size or less is decoded straight at 1/2, 1/4 or 1/8 of it (the least
// that still covers the size asked for), its turn and mirror left to the caller: turned as asked,
// it is the whole picture libheif gives, averaged down. A grid it cannot take so (a crop, deeper
// samples, a turn after a mirror) is decoded whole and turned, as before.
TEST(DecodeHeif, GridsShownSmallerAreDecodedStraightAtThatSize) {
  REQUIRE_HEVC_ENCODER();
  heif_grid::Coding coding;
  coding.preset = "fast", coding.quality = 90;
  std::vector<heif_grid::Coded> tiles, bare_tiles, deep_tiles;
  for (int y = 0; y < 192; y += 64)
    for (int x = 0; x < 256; x += 64) {
      tiles.push_back(heif_grid::code_picture(64, 64, x, y, coding, photo));
      bare_tiles.push_back(tiles.back()), bare_tiles.back().colr.clear();
      heif_grid::Coding deep = coding;
      deep.bit_depth = 10;
      deep_tiles.push_back(heif_grid::code_picture(64, 64, x, y, deep, photo));
    }
  std::string clap;
  for (uint32_t v : {256u, 1u, 192u, 1u, 0u, 1u, 0u, 1u}) test_bytes::put32be(clap, v);
  struct Case {
    const char* what;
    const std::vector<heif_grid::Coded>& tiles;
    std::vector<std::string> properties;
    DecodeOptions opt;
    int factor;       // 1: decoded whole
    int orientation;  // what the caller is left to do
  };
  const Case cases[] = {
      {"no size asked", tiles, {}, {}, 1, 1},
      {"half", tiles, {}, {100, 70}, 2, 1},
      {"a quarter", tiles, {}, {60, 44}, 4, 1},
      {"an eighth", tiles, {}, {30, 20}, 8, 1},
      {"not half", tiles, {}, {200, 150}, 1, 1},
      {"colours from the streams", bare_tiles, {}, {60, 44}, 4, 1},
      // libheif converts each tile by the tile's own colours, whatever the grid states (BT.709 here).
      {"colours of the grid alone", bare_tiles, {property("colr", std::string("nclx\0\1\0\1\0\1\0", 11))}, {60, 44}, 4, 1},
      {"turned a quarter", tiles, {property("irot", std::string(1, '\1'))}, {60, 44}, 4, 8},
      {"upright size asked of a turned one", tiles, {property("irot", std::string(1, '\3'))}, {44, 60, false, 0, true}, 4, 6},
      {"turned then mirrored", tiles, {property("irot", std::string(1, '\2')), property("imir", std::string(1, '\1'))}, {60, 44}, 4, 4},
      {"mirrored top to bottom", tiles, {property("imir", std::string(1, '\0'))}, {60, 44}, 4, 4},
      {"mirrored then turned", tiles, {property("imir", std::string(1, '\1')), property("irot", std::string(1, '\1'))}, {60, 44}, 1, 1},
      {"cropped", tiles, {property("clap", clap)}, {60, 44}, 1, 1},
      {"10-bit", deep_tiles, {}, {60, 44}, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string file = heif_grid::grid_file(256, 192, 64, 64, c.tiles, c.properties);
    ASSERT_FALSE(file.empty());
    const auto* d = reinterpret_cast<const uint8_t*>(file.data());
    const DecodeResult whole = heif::decode_heif(d, file.size(), {HevcDecoder::Libavcodec, 1});
    ASSERT_TRUE(whole.pixmap) << whole.error;
    for (int threads : {1, 2}) {
      const DecodeResult got = heif::decode_heif(d, file.size(), {HevcDecoder::Libavcodec, threads}, c.opt);
      ASSERT_TRUE(got.pixmap) << got.error;
      EXPECT_EQ(got.orientation, c.orientation);
      EXPECT_EQ(got.lease.bytes(), got.pixmap->pixels.size());
      // Both as RGBA, the result turned as it says.
      const PixmapPtr shown = orient_pixmap(*got.pixmap, got.orientation);
      const PixmapPtr want = orient_pixmap(c.factor == 1 ? *whole.pixmap : *average_down(*whole.pixmap, c.factor), 1);
      ASSERT_EQ(shown->width * 1000 + shown->height, want->width * 1000 + want->height);
      // Averaged before the colours are converted, not after: rounding apart.
      EXPECT_LE(largest_difference(*shown, *want), c.factor == 1 ? 0 : 3);
    }
  }
}

// Deeper samples and the other chroma layouts: the picture's halves keep their colours, and
// libavcodec gives what libde265 gives wherever libde265 reads the picture too.
TEST(DecodeHeif, DepthsAndChromaLayouts) {
  REQUIRE_HEVC_ENCODER();
  struct Case {
    const char* chroma;
    int depth;
  };
  for (const Case c : {Case{"420", 10}, Case{"422", 8}, Case{"422", 10}, Case{"444", 8}, Case{"444", 10},
                       Case{"400", 8}, Case{"400", 10}}) {
    SCOPED_TRACE(std::string(c.chroma) + " " + std::to_string(c.depth) + "-bit");
    heif_grid::Coding coding;
    coding.chroma = c.chroma, coding.bit_depth = c.depth, coding.quality = 90;
    const heif_grid::Coded picture =
        heif_grid::code_picture(64, 48, 0, 0, coding, [](int x, int y, uint8_t* px) { halves(64, 48, x, y, px); });
    ASSERT_TRUE(picture.ok()) << "the encoder made no picture";
    const std::string& file = picture.file;
    const DecodeResult got = decode_with(file, HevcDecoder::Libavcodec);
    ASSERT_TRUE(got.pixmap) << got.error;
    ASSERT_EQ(got.pixmap->width * 1000 + got.pixmap->height, 64 * 1000 + 48);
    if (std::string(c.chroma) == "400") {  // grey: the halves' lightness (86 and 48 of 255)
      expect_channel(*got.pixmap, 8, 8, 8, 86, "left");
      expect_channel(*got.pixmap, 56, 8, 8, 48, "right");
    } else {
      expect_channel(*got.pixmap, 8, 8, 16, 220, "red");
      expect_channel(*got.pixmap, 56, 8, 0, 220, "blue");
    }
    const DecodeResult want = decode_with(file, HevcDecoder::Libde265);
    if (want.pixmap) {
      EXPECT_LE(largest_difference(*got.pixmap, *want.pixmap), 1);
    }
  }
}

// A tile is refused, and the picture with it, when its coding is damaged in a way a decoder can
// tell: a checksum its picture does not match (the stream's MD5, whether the tile's slice or the
// checksum itself was hit), a slice naming a parameter set there is not, a picture that would need
// others, a tile without a picture. Never half a picture, never a grey tile, whether the grid is
// decoded whole or straight at a quarter of its size.
TEST(DecodeHeif, DamagedTilesAreRefused) {
  REQUIRE_HEVC_ENCODER();
  heif_grid::Coding coding;
  coding.checksums = true;
  std::vector<heif_grid::Coded> tiles;
  for (int y = 0; y < 128; y += 64)
    for (int x = 0; x < 192; x += 64) tiles.push_back(heif_grid::code_picture(64, 64, x, y, coding, photo));
  // The damaged tile's units: its slice, then the checksum after it.
  const std::string& data = tiles[4].data;
  ASSERT_TRUE(tiles[4].ok());
  const size_t slice = 4, slice_size = heif_samples::be32_at(data, 0);
  ASSERT_GT(data.size(), 4 + slice_size + 4);
  const int slice_type = uint8_t(data[slice]) >> 1 & 63;
  ASSERT_TRUE(slice_type >= 16 && slice_type <= 21) << "an intra picture's slice first, not " << slice_type;
  ASSERT_EQ(uint8_t(data[4 + slice_size + 4]) >> 1 & 63, 40) << "the checksum after it";
  const DecodeResult sound = decode_with(heif_grid::grid_file(160, 100, 64, 64, tiles), HevcDecoder::Libavcodec, 2, {40, 25});
  ASSERT_TRUE(sound.pixmap) << sound.error;
  ASSERT_EQ(sound.pixmap->width, 40) << "decoded at a quarter";
  struct Case {
    const char* what;
    std::function<void(std::string&)> damage;
  };
  const Case cases[] = {
      {"a byte of the slice data", [&](std::string& d) { d[slice + slice_size / 2] ^= 0x04; }},
      {"a byte of the checksum", [&](std::string& d) { d[d.size() - 3] ^= 0x01; }},
      {"the slice's parameter set", [&](std::string& d) { d[slice + 2] = char(0xC1); }},  // a number past 63
      {"a predicted picture", [&](std::string& d) { d[slice] = char(1 << 1); }},
      {"no picture", [&](std::string& d) { d.erase(0, 4 + slice_size); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<heif_grid::Coded> damaged = tiles;
    c.damage(damaged[4].data);
    for (const DecodeOptions& opt : {DecodeOptions{}, DecodeOptions{40, 25}}) {
      const DecodeResult r = decode_with(heif_grid::grid_file(160, 100, 64, 64, damaged), HevcDecoder::Libavcodec, 2, opt);
      EXPECT_FALSE(r.pixmap);
      EXPECT_EQ(app::left_out_reason(r.error), app::LeftOutReason::Damaged) << r.error;
    }
  }
}

// ---- The SPS reader ----

heif::SpsRead read(const std::string& nal, heif::HevcFrame& f) {
  // A copy of exactly the unit's size, so that a read past it is one past a heap block.
  std::vector<uint8_t> bytes(nal.begin(), nal.end());
  return heif::read_hevc_sps(bytes.data(), bytes.size(), f);
}

// A phone's thumbnail stands in for its photo only when it is large enough, of the photo's shape
// and coded at the size it states.
TEST(DecodeHeif, PreviewsAreTakenOnlyWhenLargeEnoughAndTrue) {
  using phone_photos::Preview;
  struct Case {
    Preview preview;
    int preview_w;  // 0: the kind's own
    const char* refusal;  // empty: taken
  };
  const Case cases[] = {{Preview::Normal, 0, ""},
                        {Preview::Normal, 256, "no preview large enough"},
                        {Preview::None, 0, "no preview"},
                        {Preview::Tiny, 0, "no preview large enough"},
                        {Preview::LyingSize, 0, "a preview of another size than it states"},
                        {Preview::LyingShape, 0, "no preview large enough"}};
  for (const Case& c : cases) {
    phone_photos::Options o;
    o.width = 1024, o.height = 768;
    o.preview = c.preview;
    if (c.preview_w) o.preview_width = c.preview_w, o.preview_height = c.preview_w * 3 / 4;
    const std::string file = phone_photos::make(o);
    const auto* d = reinterpret_cast<const uint8_t*>(file.data());
    media::DecodeResult r = media::decode_heif_preview(d, file.size(), 320, 240);
    const std::string what = "preview " + std::to_string(int(c.preview)) + " of width " + std::to_string(c.preview_w);
    EXPECT_EQ(r.error, c.refusal) << what;
    if (r.pixmap) {
      EXPECT_EQ(r.pixmap->width, 320) << what;
      EXPECT_EQ(r.pixmap->height, 240) << what;
    }
    EXPECT_TRUE(media::decode_heif(d, file.size()).pixmap) << what << ": the photo itself always decodes";
  }
}

TEST(HevcSps, SizesDepthsAndLayoutsAreRead) {
  struct Case {
    const char* what;
    SpsFields s;
    uint32_t chroma, depth;
  };
  SpsFields plain;
  plain.width = 4032, plain.height = 3024;
  SpsFields sub = plain;  // three sub-layers, profile and level present in some
  sub.sub_layers_minus1 = 3, sub.profile_present = 0b101, sub.level_present = 0b110;
  SpsFields all = plain;
  all.sub_layers_minus1 = 6, all.profile_present = 0x3F, all.level_present = 0x3F;
  SpsFields planes = plain;
  planes.chroma_format = 3, planes.separate_planes = true;
  SpsFields deep = plain;
  deep.window = true, deep.luma_depth = 10, deep.chroma_depth = 12, deep.chroma_format = 2;
  SpsFields grey = plain;
  grey.chroma_format = 0;
  for (const Case& c : {Case{"plain", plain, 1, 8}, Case{"sub-layers", sub, 1, 8}, Case{"all sub-layers", all, 1, 8},
                        Case{"separate planes", planes, 3, 8}, Case{"window and depths", deep, 2, 12},
                        Case{"grey", grey, 0, 8}}) {
    SCOPED_TRACE(c.what);
    heif::HevcFrame f;
    ASSERT_EQ(read(heif_samples::sps_nal(c.s), f), heif::SpsRead::Ok);
    EXPECT_EQ(f.width, 4032u);
    EXPECT_EQ(f.height, 3024u);
    EXPECT_EQ(f.chroma_format, c.chroma);
    EXPECT_EQ(f.bit_depth, c.depth);
  }
}

TEST(HevcSps, EmulationPreventionBytesAreTakenOut) {
  SpsFields s;
  s.compatibility = 0;  // with the zero constraint flags, a long run of zero bytes
  s.width = 3, s.height = 2;  // 00 00 followed by small bytes wherever the run ends
  const std::string nal = heif_samples::sps_nal(s);
  ASSERT_NE(nal.find(std::string("\0\0\3", 3)), std::string::npos) << "the unit holds 00 00 03";
  heif::HevcFrame f;
  ASSERT_EQ(read(nal, f), heif::SpsRead::Ok);
  EXPECT_EQ(f.width, 3u);
  EXPECT_EQ(f.height, 2u);
  // Escapes inside the size codes themselves: 65535 is 16 zeros, a one and 16 zeros.
  SpsFields wide;
  wide.width = 65535, wide.height = 131071;
  const std::string wide_nal = heif_samples::sps_nal(wide);
  ASSERT_NE(wide_nal.find(std::string("\0\0\3", 3), 15), std::string::npos) << "an escape after the profile";
  ASSERT_EQ(read(wide_nal, f), heif::SpsRead::Ok);
  EXPECT_EQ(f.width, 65535u);
  EXPECT_EQ(f.height, 131071u);
}

TEST(HevcSps, CutAndBadUnitsAreRefused) {
  SpsFields s;
  s.sub_layers_minus1 = 2, s.profile_present = 3, s.level_present = 1, s.width = 16000, s.height = 4000;
  s.window = true;
  const std::string nal = heif_samples::sps_nal(s);
  heif::HevcFrame f;
  ASSERT_EQ(read(nal, f), heif::SpsRead::Ok);
  // Cut anywhere before its last field's last bit (the stop bit's byte may go): never read as a size.
  for (size_t cut = 0; cut + 1 < nal.size(); ++cut) {
    SCOPED_TRACE(cut);
    EXPECT_EQ(read(nal.substr(0, cut), f), heif::SpsRead::Truncated);
  }
  EXPECT_EQ(read(heif_samples::BitWriter{}.nal(34) + std::string(40, '\x55'), f), heif::SpsRead::Corrupt) << "a PPS";
  // A code with 32 leading zeros is no 32-bit value.
  // The head of an SPS without sub-layers (15 bytes), the id 0, then 54 zeros before a one.
  std::string zeros = heif_samples::sps_nal(SpsFields{}).substr(0, 2 + 1 + 12);
  zeros += std::string("\x80\0\0\3\0\0\3\0\x01\xFF\xFF", 11);
  EXPECT_EQ(read(zeros, f), heif::SpsRead::Corrupt);
  SpsFields bad = s;
  bad.chroma_format = 4;
  EXPECT_EQ(read(heif_samples::sps_nal(bad), f), heif::SpsRead::Corrupt) << "chroma format 4";
  bad = s, bad.width = 0;
  EXPECT_EQ(read(heif_samples::sps_nal(bad), f), heif::SpsRead::Corrupt) << "no width";
  bad = s, bad.luma_depth = 17;
  EXPECT_EQ(read(heif_samples::sps_nal(bad), f), heif::SpsRead::Corrupt) << "17 bits";
  bad = s, bad.sub_layers_minus1 = 7;
  EXPECT_EQ(read(heif_samples::sps_nal(bad), f), heif::SpsRead::Corrupt) << "eight sub-layers";
}

}  // namespace
