// WebP pictures: good files of each kind made with libwebp's encoder, animations put together chunk
// by chunk, damaged and cut files, and the words their refusals use (which the picture store turns
// into the reasons it shows the parent).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/pictures/picture_store.hpp"
#include "media/decode/decode.hpp"
#include "tests/unit/decode_refusals.hpp"
#include "tests/unit/webp_images.hpp"

using namespace media;
using namespace webp_images;

namespace {

DecodeResult decode(const std::string& s, const DecodeOptions& opt = {}) {
  return decode_image(reinterpret_cast<const uint8_t*>(s.data()), s.size(), opt);
}

// The largest difference of any channel between the pixmap and `want` (same channel count).
int worst_difference(const Pixmap& p, const std::vector<uint8_t>& want, int channels) {
  int worst = 0;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      for (int c = 0; c < channels; ++c)
        worst = std::max(worst, std::abs(int(p.row(y)[x * channels + c]) -
                                         int(want[(size_t(y) * p.width + x) * channels + c])));
  return worst;
}

std::vector<uint8_t> photo_px(int w, int h, int channels) {
  return pixels(w, h, channels, [channels](int x, int y, uint8_t* p) {
    samples::photo_pixel(x, y, p);
    // A gradient of transparency, never wholly transparent: the lossless encoder may change the
    // colour of a pixel nobody can see.
    if (channels == 4) p[3] = uint8_t(1 + x * 254 / 40);
  });
}

TEST(DecodeWebp, LossyAndLosslessWithAndWithoutAlpha) {
  const std::vector<uint8_t> rgb = photo_px(41, 29, 3), rgba = photo_px(41, 29, 4);
  struct Case {
    const char* what;
    std::string file;
    int format;
    const std::vector<uint8_t>& want;
    int tolerance;
  } cases[] = {
      {"lossy", encode(41, 29, 3, rgb, 90), PF_RGB, rgb, 40},
      {"lossless", encode(41, 29, 3, rgb, -1), PF_RGB, rgb, 0},
      {"lossless with alpha", encode(41, 29, 4, rgba, -1), PF_RGBA, rgba, 0},
      {"lossy with alpha", encode(41, 29, 4, rgba, 90), PF_RGBA, rgba, 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(c.file.compare(0, 4, "RIFF"), 0);
    DecodeResult r = decode(c.file);
    ASSERT_TRUE(r.pixmap) << r.error;
    EXPECT_EQ(r.pixmap->width, 41);
    EXPECT_EQ(r.pixmap->height, 29);
    EXPECT_EQ(r.pixmap->format, c.format);
    EXPECT_EQ(r.orientation, 1);
    EXPECT_TRUE(r.error.empty());
    EXPECT_LE(worst_difference(*r.pixmap, c.want, c.format == PF_RGBA ? 4 : 3), c.tolerance);
    // The pixmap's pixels stay counted in the budget while the result is held, no more.
    EXPECT_EQ(r.lease.bytes(), r.pixmap->pixels.size());
  }
  // Lossy alpha is kept exactly (the encoder stores it losslessly by default).
  DecodeResult r = decode(encode(41, 29, 4, rgba, 90));
  ASSERT_TRUE(r.pixmap);
  EXPECT_EQ(r.pixmap->row(5)[3], 1);
  EXPECT_EQ(r.pixmap->row(5)[40 * 4 + 3], 255);
}

TEST(DecodeWebp, ScaledWhileDecodingToCoverTheMinimum) {
  const std::string wide = photo(400, 300, 85), tall = photo(300, 400, 85);
  const std::string lossless = encode(400, 300, 3, photo_px(400, 300, 3), -1);
  struct Case {
    const char* what;
    const std::string& file;
    DecodeOptions opt;
    int w, h;
  } cases[] = {
      {"no minimum", wide, {}, 400, 300},
      {"4:3 into 100x75", wide, {100, 75}, 100, 75},
      {"covers a 100x60", wide, {100, 60}, 100, 75},
      {"covers a 80x75", wide, {80, 75}, 100, 75},
      {"portrait covers 100x60", tall, {100, 60}, 100, 134},
      {"lossless too", lossless, {100, 75}, 100, 75},
      {"never enlarged", wide, {800, 600}, 400, 300},
      {"taller than the minimum only", wide, {500, 100}, 400, 300},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DecodeResult r = decode(c.file, c.opt);
    ASSERT_TRUE(r.pixmap) << r.error;
    EXPECT_EQ(r.pixmap->width, c.w);
    EXPECT_EQ(r.pixmap->height, c.h);
  }
  // A scaled picture is the same picture: its middle pixel is close to the full one's.
  DecodeResult full = decode(wide), small = decode(wide, {100, 75});
  ASSERT_TRUE(full.pixmap && small.pixmap);
  const uint32_t a = read_pixel(*full.pixmap, 200, 150), b = read_pixel(*small.pixmap, 50, 37);
  for (int sh = 0; sh < 24; sh += 8) EXPECT_NEAR(int(a >> sh & 255), int(b >> sh & 255), 24) << sh;
}

TEST(DecodeWebp, AnimationShowsItsFirstFrameOnItsCanvas) {
  const std::vector<uint8_t> red = pixels(8, 6, 3, [](int, int, uint8_t* p) { p[0] = 255, p[1] = 0, p[2] = 0; });
  const std::vector<uint8_t> blue = pixels(8, 6, 3, [](int, int, uint8_t* p) { p[0] = 0, p[1] = 0, p[2] = 255; });
  const std::string red_frame = body(encode(8, 6, 3, red, -1)), blue_frame = body(encode(8, 6, 3, blue, -1));
  // The first frame fills the canvas: the picture is red, not blue.
  const std::string filling = riff(vp8x(0x02, 8, 6) + anim() + anmf(0, 0, 8, 6, red_frame) + anmf(0, 0, 8, 6, blue_frame));
  DecodeResult r = decode(filling);
  ASSERT_TRUE(r.pixmap) << r.error;
  EXPECT_EQ(r.pixmap->width, 8);
  EXPECT_EQ(r.pixmap->height, 6);
  EXPECT_EQ(read_pixel(*r.pixmap, 3, 3) & 0xFFFFFF, 0xFF0000u);
  // A smaller first frame sits at its place on a transparent canvas.
  const std::string placed = riff(vp8x(0x12, 20, 10) + anim() + anmf(4, 2, 8, 6, red_frame));
  r = decode(placed);
  ASSERT_TRUE(r.pixmap) << r.error;
  EXPECT_EQ(r.pixmap->width, 20);
  EXPECT_EQ(r.pixmap->height, 10);
  EXPECT_EQ(r.pixmap->format, PF_RGBA);
  EXPECT_EQ(read_pixel(*r.pixmap, 4, 2), 0xFFFF0000u);
  EXPECT_EQ(read_pixel(*r.pixmap, 11, 7), 0xFFFF0000u);
  EXPECT_EQ(read_pixel(*r.pixmap, 3, 2) >> 24, 0u);
  EXPECT_EQ(read_pixel(*r.pixmap, 12, 7) >> 24, 0u);
  EXPECT_EQ(read_pixel(*r.pixmap, 4, 8) >> 24, 0u);
  // Frames that do not fit their canvas, or whose picture is not the size they say, are damaged.
  EXPECT_EQ(decode(riff(vp8x(0x02, 10, 10) + anim() + anmf(4, 0, 8, 6, red_frame))).error, "corrupt data");
  EXPECT_EQ(decode(riff(vp8x(0x02, 10, 10) + anim() + anmf(0, 0, 9, 6, red_frame))).error, "corrupt data");
  EXPECT_EQ(decode(riff(vp8x(0x02, 10, 10) + anim())).error, "truncated");  // no frame at all
}

TEST(DecodeWebp, DamagedCutAndForeignFilesAreRefusedInWordsTheStoreKnows) {
  using app::LeftOutReason;
  const std::string lossy = photo(64, 48, 80);
  const std::string lossless = encode(64, 48, 4, photo_px(64, 48, 4), -1);
  auto expect = [](const std::string& file, const std::string& error, LeftOutReason reason, const std::string& what) {
    expect_refused_as(decode(file), error, reason, what);
  };
  // Cut anywhere: in the RIFF header, in the chunk header, in the picture's header, in its data.
  for (const std::string* f : {&lossy, &lossless})
    for (size_t cut : {size_t{3}, size_t{4}, size_t{9}, size_t{12}, size_t{16}, size_t{25}, f->size() / 2, f->size() - 1})
      expect(f->substr(0, cut), cut < 4 ? "not a PNG, JPEG, BMP, WebP, HEIC or AVIF file" : "truncated",
             cut < 4 ? LeftOutReason::NotAPicture : LeftOutReason::CutShort, "cut at " + std::to_string(cut));
  // A RIFF size that claims more than the file holds is a file cut short; one that claims less
  // than its own chunk says the file contradicts itself.
  expect(riff(body(lossy), 0xFFFFFFF0u), "truncated", LeftOutReason::CutShort, "RIFF size 4 GB");
  expect(riff(body(lossy), 20), "corrupt data", LeftOutReason::Damaged, "RIFF size 20");
  // Too large, by the header alone.
  expect(with_vp8_size(lossy, 16383, 16383), "too large: 16383x16383", LeftOutReason::TooLarge, "lossy");
  expect(with_vp8l_size(lossless, 16384, 16384), "too large: 16384x16384", LeftOutReason::TooLarge, "lossless");
  expect(with_vp8l_size(lossless, 9000, 1), "corrupt data", LeftOutReason::Damaged, "lossless data for fewer pixels");
  expect(riff(vp8x(0x02, 20000, 20000) + anim() + anmf(0, 0, 64, 48, body(lossy))), "too large: 20000x20000",
         LeftOutReason::TooLarge, "animation canvas");
  // An extended header whose canvas is not its picture's size.
  expect(riff(vp8x(0, 1 << 24, 1 << 24) + body(lossy)), "corrupt data", LeftOutReason::Damaged, "VP8X of 2^24 square");
  expect(riff(vp8x(0, 65, 48) + body(lossy)), "corrupt data", LeftOutReason::Damaged, "VP8X one wider");
  // Damage: the picture's chunk replaced by noise, an unknown kind of chunk in its place.
  std::string noise = lossless;
  for (size_t i = 21; i < noise.size(); ++i) noise[i] = char(i * 37 + 11);
  expect(noise, "corrupt data", LeftOutReason::Damaged, "lossless data replaced by noise");
  expect(riff(chunk("VP9 ", std::string(40, 'x'))), "corrupt data", LeftOutReason::Damaged, "unknown chunk");
  // Other contents: a letter named .webp, and other RIFF files.
  expect("Dear grandma, the photos are coming.\n", "not a PNG, JPEG, BMP, WebP, HEIC or AVIF file", LeftOutReason::NotAPicture, "text");
  expect(std::string("RIFF\x24\0\0\0WAVEfmt ", 16), "not a PNG, JPEG, BMP, WebP, HEIC or AVIF file", LeftOutReason::NotAPicture, "a sound");
  expect(std::string("RIFF\x24\0\0\0WA", 10), "not a PNG, JPEG, BMP, WebP, HEIC or AVIF file", LeftOutReason::NotAPicture, "a cut sound");
}

}  // namespace
