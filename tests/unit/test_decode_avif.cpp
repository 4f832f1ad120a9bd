// AVIF pictures: good files of each kind made with libavif's encoder (lossless and lossy, alpha,
// deeper samples, turned, mirrored, cropped, sequences), damaged, cut and lying files, the words
// their refusals use (which the picture store turns into the reasons it shows the parent), and the
// decode budget given back whatever happened.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/pictures/picture_store.hpp"
#include "media/decode/decode.hpp"
#include "media/decode/resample.hpp"
#include "tests/unit/avif_images.hpp"
#include "tests/unit/decode_refusals.hpp"

using namespace media;
using namespace avif_images;

namespace {

DecodeResult decode(const std::string& s, const DecodeOptions& opt = {}) {
  return decode_image(reinterpret_cast<const uint8_t*>(s.data()), s.size(), opt);
}

// The largest difference of any channel between the pixmap and `want` (same channel count); with
// `inside`, only of the pixels two or more from the edge of an 8 x 8 block (where halved chroma
// bleeds into the neighbour).
int worst_difference(const Pixmap& p, const std::vector<uint8_t>& want, int channels, bool inside = false) {
  int worst = 0;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      for (int c = 0; c < channels; ++c)
        if (!inside || (x % 8 >= 2 && x % 8 < 6 && y % 8 >= 2 && y % 8 < 6))
        worst = std::max(worst, std::abs(int(p.row(y)[x * channels + c]) -
                                         int(want[(size_t(y) * p.width + x) * channels + c])));
  return worst;
}

// Plain colours in blocks, and a gradient of transparency that is never wholly transparent.
std::vector<uint8_t> blocks(int w, int h, int channels) {
  return pixels(w, h, channels, [channels, w](int x, int y, uint8_t* p) {
    static const uint8_t colours[4][3] = {{230, 30, 40}, {20, 200, 60}, {30, 50, 220}, {250, 240, 20}};
    const uint8_t* c = colours[(x / 8 + y / 8) % 4];
    p[0] = c[0], p[1] = c[1], p[2] = c[2];
    if (channels == 4) p[3] = uint8_t(1 + x * 254 / (w - 1));
  });
}

TEST(DecodeAvif, PlainColoursWithAndWithoutAlphaLosslessOrNot) {
  const int w = 40, h = 24;
  const std::vector<uint8_t> rgb = blocks(w, h, 3), rgba = blocks(w, h, 4);
  Spec lossy;
  lossy.quantizer = 10;
  lossy.yuv = AVIF_PIXEL_FORMAT_YUV420;
  Spec deep;
  deep.depth = 10;
  Spec deep_lossy = lossy;
  deep_lossy.depth = 12;
  Spec chroma422 = lossy;
  chroma422.yuv = AVIF_PIXEL_FORMAT_YUV422;
  struct Case {
    const char* what;
    std::string file;
    int format;
    const std::vector<uint8_t>& want;
    int tolerance;  // inside the blocks when lossy
  } cases[] = {
      {"lossless", encode(w, h, 3, rgb), PF_RGB, rgb, 0},
      {"lossless with alpha", encode(w, h, 4, rgba), PF_RGBA, rgba, 0},
      {"lossless 10-bit", encode(w, h, 3, rgb, deep), PF_RGB, rgb, 1},
      {"lossy 4:2:0", encode(w, h, 3, rgb, lossy), PF_RGB, rgb, 12},
      {"lossy 4:2:2", encode(w, h, 3, rgb, chroma422), PF_RGB, rgb, 12},
      {"lossy with alpha", encode(w, h, 4, rgba, lossy), PF_RGBA, rgba, 12},
      {"lossy 12-bit", encode(w, h, 3, rgb, deep_lossy), PF_RGB, rgb, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(c.file.compare(4, 8, "ftypavif"), 0);
    DecodeResult r = decode(c.file);
    ASSERT_TRUE(r.pixmap) << r.error;
    EXPECT_EQ(r.pixmap->width, w);
    EXPECT_EQ(r.pixmap->height, h);
    EXPECT_EQ(r.pixmap->format, c.format);
    EXPECT_EQ(r.orientation, 1);
    EXPECT_TRUE(r.error.empty());
    const bool lossless = c.tolerance <= 1;
    EXPECT_LE(worst_difference(*r.pixmap, c.want, c.format == PF_RGBA ? 4 : 3, !lossless), c.tolerance);
    // The pixmap's pixels stay counted in the budget while the result is held, no more.
    EXPECT_EQ(r.lease.bytes(), r.pixmap->pixels.size());
  }
  // Alpha is kept exactly when lossless, nearly when the colour is lossy (its quantizer is 0).
  DecodeResult r = decode(encode(w, h, 4, rgba, lossy));
  ASSERT_TRUE(r.pixmap);
  EXPECT_NEAR(r.pixmap->row(5)[3], 1, 2);
  EXPECT_NEAR(r.pixmap->row(5)[(w - 1) * 4 + 3], 255, 2);
  // A grey picture (no chroma at all) is grey.
  Spec grey = lossy;
  grey.yuv = AVIF_PIXEL_FORMAT_YUV400;
  r = decode(encode(w, h, 3, pixels(w, h, 3, [](int x, int, uint8_t* p) { p[0] = p[1] = p[2] = uint8_t(x * 6); }), grey));
  ASSERT_TRUE(r.pixmap) << r.error;
  const uint8_t* px = r.pixmap->row(10) + 20 * 3;
  EXPECT_NEAR(px[0], 120, 8);
  EXPECT_EQ(px[0], px[1]);
  EXPECT_EQ(px[1], px[2]);
}

// The picture as the file's turn and mirror say to show it: pixel (x, y) of the upright picture
// from the stored one, whatever the decoder reports, by this test's own arithmetic.
std::vector<uint8_t> stored_for(const std::vector<uint8_t>& upright, int w, int h, int angle, int mirror, int& sw, int& sh) {
  // Shown = mirror(turn(stored)), so stored = turn back(mirror(shown)); mirrors are their own inverse.
  std::vector<uint8_t> m(upright.size());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int mx = mirror == 1 ? w - 1 - x : x, my = mirror == 0 ? h - 1 - y : y;
      std::copy_n(&upright[(size_t(my) * w + mx) * 3], 3, &m[(size_t(y) * w + x) * 3]);
    }
  // Turning it anticlockwise by `angle` quarters shows it; so it is stored turned as far clockwise.
  std::vector<uint8_t> s = m;
  int cw = w, ch = h;
  for (int q = 0; q < angle; ++q) {
    // A cw x ch picture P turned a quarter clockwise is the ch x cw picture Q(x, y) = P(y, ch - 1 - x).
    std::vector<uint8_t> t(s.size());
    for (int y = 0; y < cw; ++y)
      for (int x = 0; x < ch; ++x) std::copy_n(&s[(size_t(ch - 1 - x) * cw + y) * 3], 3, &t[(size_t(y) * ch + x) * 3]);
    s = t;
    std::swap(cw, ch);
  }
  sw = cw, sh = ch;
  return s;
}

TEST(DecodeAvif, TurnedAndMirroredPicturesStandUpright) {
  // A portrait with a red top-left corner and a distinct colour at each pixel.
  const int w = 12, h = 20;
  const std::vector<uint8_t> upright = pixels(w, h, 3, [](int x, int y, uint8_t* p) {
    p[0] = uint8_t(x * 20), p[1] = uint8_t(y * 12), p[2] = 100;
    if (x < 3 && y < 3) p[0] = 255, p[1] = 0, p[2] = 0;
  });
  for (int angle = -1; angle < 4; ++angle)
    for (int mirror = -1; mirror < 2; ++mirror) {
      SCOPED_TRACE("irot " + std::to_string(angle) + " imir " + std::to_string(mirror));
      int sw = 0, sh = 0;
      const std::vector<uint8_t> stored = stored_for(upright, w, h, angle, mirror, sw, sh);
      Spec s;
      s.irot = angle, s.imir = mirror;
      DecodeResult r = decode(encode(sw, sh, 3, stored, s));
      ASSERT_TRUE(r.pixmap) << r.error;
      // Decoded as stored; the orientation turns it as a JPEG's EXIF tag would.
      ASSERT_EQ(r.pixmap->width, sw);
      ASSERT_EQ(r.pixmap->height, sh);
      PixmapPtr shown = orient_pixmap(*r.pixmap, r.orientation);
      ASSERT_TRUE(shown);
      ASSERT_EQ(shown->width, w);
      ASSERT_EQ(shown->height, h);
      EXPECT_EQ(read_pixel(*shown, 1, 1), 0xFFFF0000u);
      EXPECT_EQ(read_pixel(*shown, w - 1, h - 1), 0xFF000000u | uint32_t(220) << 16 | uint32_t(228) << 8 | 100u);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const uint8_t* want = &upright[(size_t(y) * w + x) * 3];
          ASSERT_EQ(read_pixel(*shown, x, y) & 0xFFFFFF, uint32_t(want[0]) << 16 | uint32_t(want[1]) << 8 | want[2])
              << x << "," << y;
        }
    }
}

TEST(DecodeAvif, CleanApertureCropsThePicture) {
  const int w = 40, h = 24;
  const std::vector<uint8_t> rgb = pixels(w, h, 3, [](int x, int y, uint8_t* p) { p[0] = uint8_t(x * 6), p[1] = uint8_t(y * 10), p[2] = 7; });
  Spec s;
  s.clap = {10, 4, 20, 16};  // centred, as the clean aperture must be
  DecodeResult r = decode(encode(w, h, 3, rgb, s));
  ASSERT_TRUE(r.pixmap) << r.error;
  EXPECT_EQ(r.pixmap->width, 20);
  EXPECT_EQ(r.pixmap->height, 16);
  EXPECT_EQ(read_pixel(*r.pixmap, 0, 0) & 0xFFFFFF, uint32_t(60) << 16 | uint32_t(40) << 8 | 7u);
  EXPECT_EQ(read_pixel(*r.pixmap, 19, 15) & 0xFFFFFF, uint32_t(174) << 16 | uint32_t(190) << 8 | 7u);
  EXPECT_EQ(r.lease.bytes(), r.pixmap->pixels.size());
  // Cropped before it is turned: the crop is of the stored picture.
  s.irot = 1;
  r = decode(encode(w, h, 3, rgb, s));
  ASSERT_TRUE(r.pixmap) << r.error;
  EXPECT_EQ(r.pixmap->width, 20);
  EXPECT_EQ(r.pixmap->height, 16);
  EXPECT_EQ(r.orientation, 8);
}

TEST(DecodeAvif, SequenceShowsItsFirstFrame) {
  const std::vector<uint8_t> red = pixels(16, 12, 3, [](int, int, uint8_t* p) { p[0] = 255, p[1] = 0, p[2] = 0; });
  const std::vector<uint8_t> blue = pixels(16, 12, 3, [](int, int, uint8_t* p) { p[0] = 0, p[1] = 0, p[2] = 255; });
  for (const auto& frames : {std::vector<std::vector<uint8_t>>{red, blue, blue}, {blue, red}}) {
    const std::string file = sequence(16, 12, 3, frames);
    ASSERT_EQ(file.compare(4, 8, "ftypavis"), 0);
    DecodeResult r = decode(file);
    ASSERT_TRUE(r.pixmap) << r.error;
    EXPECT_EQ(r.pixmap->width, 16);
    EXPECT_EQ(r.pixmap->height, 12);
    EXPECT_EQ(read_pixel(*r.pixmap, 8, 6), read_pixel(*r.pixmap, 0, 0));
    EXPECT_EQ(read_pixel(*r.pixmap, 8, 6) & 0xFFFFFF, frames[0] == red ? 0xFF0000u : 0x0000FFu);
  }
}

TEST(DecodeAvif, GridOfCellsIsOnePicture) {
  // Cells are at least 64 x 64.
  const std::vector<uint8_t> rgb = blocks(192, 128, 3), rgba = blocks(192, 128, 4);
  for (const auto& [channels, want] : {std::pair{3, &rgb}, {4, &rgba}}) {
    SCOPED_TRACE(channels);
    DecodeResult r = decode(grid(3, 2, 64, 64, channels, *want));
    ASSERT_TRUE(r.pixmap) << r.error;
    EXPECT_EQ(r.pixmap->width, 192);
    EXPECT_EQ(r.pixmap->height, 128);
    EXPECT_EQ(worst_difference(*r.pixmap, *want, channels), 0);
    EXPECT_EQ(r.lease.bytes(), r.pixmap->pixels.size());
  }
}

TEST(DecodeAvif, RecognisedByItsTypeBoxAlone) {
  const std::string file = encode(8, 8, 3, blocks(8, 8, 3));
  const uint8_t* p = reinterpret_cast<const uint8_t*>(file.data());
  EXPECT_TRUE(is_avif(p, file.size()));
  EXPECT_TRUE(is_avif(p, 12));
  EXPECT_FALSE(is_avif(p, 11));
  // A compatible brand is enough; another major brand without it is not ours.
  auto ftyp = [](const std::string& major, const std::string& compatible) {
    std::string s(4, '\0');
    s += "ftyp" + major + std::string(4, '\0') + compatible;
    put32(s, 0, uint32_t(s.size()));
    return s;
  };
  for (const auto& [major, compatible, ours] : {std::tuple{"mif1", "mif1avifmiaf", true}, {"mif1", "mif1heic", false},
                                                {"avis", "", true}, {"isom", "isomavc1", false}, {"heic", "mif1", false}}) {
    SCOPED_TRACE(std::string(major) + " " + compatible);
    const std::string box = ftyp(major, compatible);
    EXPECT_EQ(is_avif(reinterpret_cast<const uint8_t*>(box.data()), box.size()), ours);
  }
  // A brand past the end of the type box is not one of its brands.
  std::string after = ftyp("mif1", "mif1") + "avif";
  EXPECT_FALSE(is_avif(reinterpret_cast<const uint8_t*>(after.data()), after.size()));
}

TEST(DecodeAvif, DamagedCutLyingAndForeignFilesAreRefusedInWordsTheStoreKnows) {
  using app::LeftOutReason;
  const std::string still = encode(40, 24, 4, blocks(40, 24, 4));
  const std::string seq = sequence(16, 12, 3, {blocks(16, 12, 3), blocks(16, 12, 3)});
  auto expect = [](const std::string& file, const std::string& error, LeftOutReason reason, const std::string& what) {
    expect_refused_as(decode(file), error, reason, what);
  };
  // Cut anywhere: in the type box, in the metadata, in the frame's data.
  for (const std::string* f : {&still, &seq})
    for (size_t cut : {size_t{12}, size_t{20}, size_t{33}, size_t{60}, size_t{150}, f->size() / 2, f->size() - 1})
      expect(f->substr(0, cut), "truncated", LeftOutReason::CutShort, "cut at " + std::to_string(cut));
  expect("", "empty file", LeftOutReason::CutShort, "empty");
  // The container lies about the picture's size: past the limits, refused before any frame is
  // decoded (16384 x 16384 is past libavif's own largest and so damage to it).
  expect(with_ispe(still, 16384, 16384), "too large: 16384x16384", LeftOutReason::TooLarge, "16384 square");
  expect(with_ispe(still, 40000, 1), "too large: 40000x1", LeftOutReason::TooLarge, "40000 wide");
  expect(with_ispe(still, 20000, 20000), "corrupt data", LeftOutReason::Damaged, "20000 square");
  expect(with_ispe(still, 8000, 8000), "too large: 8000x8000", LeftOutReason::TooLarge, "64 M pixels: past the budget");
  expect(with_ispe(still, 0, 0), "corrupt data", LeftOutReason::Damaged, "no size");
  // Garbage after the type box: as boxes that claim more than the file holds, or a box of noise.
  const size_t ftyp = (size_t(uint8_t(still[2])) << 8) | uint8_t(still[3]);
  std::string noise = still;
  for (size_t i = ftyp; i < noise.size(); ++i) noise[i] = char(i * 37 + 11);
  expect(noise, "truncated", LeftOutReason::CutShort, "noise after the type box");
  std::string meta_noise = still.substr(0, ftyp) + std::string(4, '\0') + "meta" + std::string(200, '\x5a');
  put32(meta_noise, ftyp, 208);
  expect(meta_noise, "corrupt data", LeftOutReason::Damaged, "a metadata box of noise");
  expect(still.substr(0, ftyp), "truncated", LeftOutReason::CutShort, "the type box alone");
  // Other contents: a letter, and a video's type box.
  expect("Dear grandma, the photos are coming.\n", "not a PNG, JPEG, BMP, WebP, HEIC or AVIF file", LeftOutReason::NotAPicture, "text");
  std::string video = still;
  video.replace(8, 4, "isom");
  for (size_t at = 16; at + 4 <= ftyp; at += 4) video.replace(at, 4, "isom");
  expect(video, "not a PNG, JPEG, BMP, WebP, HEIC or AVIF file", LeftOutReason::NotAPicture, "a video");
}

TEST(DecodeAvif, ALyingSizeWithinTheLimitsIsTheFrameScaledToIt) {
  // libavif scales a frame to the size its container gives; the reservation counts those planes.
  const std::string file = encode(40, 24, 3, blocks(40, 24, 3));
  DecodeResult r = decode(with_ispe(file, 400, 240));
  ASSERT_TRUE(r.pixmap) << r.error;
  EXPECT_EQ(r.pixmap->width, 400);
  EXPECT_EQ(r.pixmap->height, 240);
  EXPECT_EQ(r.lease.bytes(), r.pixmap->pixels.size());
  r = DecodeResult{};
  EXPECT_EQ(decode_budget().in_use(), 0u);
}

}  // namespace
