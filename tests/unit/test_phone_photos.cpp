// Photos as phones save them (tests/support/phone_photos.*), which tests and benchmarks rely on: each
// format is read by the program's own decoder at the phone's size and is built as phones build it,
// each kind of preview is what it says it is, and a seed always gives the same photo.
#include <avif/avif.h>
#include <gtest/gtest.h>
#include <libexif/exif-data.h>
#include <libheif/heif.h>
#include <webp/decode.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "media/decode/decode.hpp"
#include "tests/support/heif_boxes.hpp"
#include "tests/support/phone_photos.hpp"

namespace {

using phone_photos::Format;
using phone_photos::Preview;

// ---- Reading the files back ----

struct Size {
  int w = 0, h = 0;
  bool operator==(const Size&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Size& s) { return o << s.w << "x" << s.h; }

// Whether a picture carries the marked preview's green cast: nearly every pixel far greener than
// it is red or blue, which no picture of sky and field is.
bool tinted(const media::Pixmap& p) {
  size_t green = 0;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const uint32_t px = media::read_pixel(p, x, y);
      const int r = int(px >> 16 & 255), g = int(px >> 8 & 255), b = int(px & 255);
      if (g > r + 60 && g > b + 60) ++green;
    }
  return green > size_t(p.width) * size_t(p.height) * 95 / 100;
}

media::PixmapPtr decoded(const std::string& file) {
  media::DecodeResult r = media::decode_image(reinterpret_cast<const uint8_t*>(file.data()), file.size());
  EXPECT_TRUE(r.pixmap) << r.error;
  return std::move(r.pixmap);
}

struct HeifContext {
  heif_context* ctx = heif_context_alloc();
  heif_image_handle* primary = nullptr;
  explicit HeifContext(const std::string& file) {
    if (heif_context_read_from_memory_without_copy(ctx, file.data(), file.size(), nullptr).code == heif_error_Ok)
      heif_context_get_primary_image_handle(ctx, &primary);
  }
  ~HeifContext() {
    if (primary) heif_image_handle_release(primary);
    heif_context_free(ctx);
  }
};

// The thumbnails libheif finds for the primary picture, decoded (those it can decode).
struct Thumbnail {
  Size size;
  bool tinted = false;
};
std::vector<Thumbnail> heif_thumbnails(const std::string& file) {
  HeifContext h(file);
  std::vector<Thumbnail> out;
  if (!h.primary) {
    ADD_FAILURE() << "libheif cannot read the file";
    return out;
  }
  std::vector<heif_item_id> ids(size_t(heif_image_handle_get_number_of_thumbnails(h.primary)));
  heif_image_handle_get_list_of_thumbnail_IDs(h.primary, ids.data(), int(ids.size()));
  for (heif_item_id id : ids) {
    heif_image_handle* t = nullptr;
    heif_image* img = nullptr;
    Thumbnail th;
    if (heif_image_handle_get_thumbnail(h.primary, id, &t).code == heif_error_Ok &&
        heif_decode_image(t, &img, heif_colorspace_RGB, heif_chroma_interleaved_RGB, nullptr).code == heif_error_Ok) {
      th.size = {heif_image_get_width(img, heif_channel_interleaved), heif_image_get_height(img, heif_channel_interleaved)};
      int stride = 0;
      const uint8_t* src = heif_image_get_plane_readonly(img, heif_channel_interleaved, &stride);
      media::PixmapPtr p = media::create_pixmap(th.size.w, th.size.h, media::PF_RGB);
      for (int y = 0; y < th.size.h; ++y) std::copy_n(src + size_t(y) * size_t(stride), size_t(p->pitch), p->row(y));
      th.tinted = tinted(*p);
    }
    if (img) heif_image_release(img);
    if (t) heif_image_handle_release(t);
    out.push_back(th);
  }
  return out;
}

Size ispe(const std::string* box) {
  if (!box) return {};
  const auto [w, h] = heif_boxes::ispe_size(*box);
  return {int(w), int(h)};
}

// What libexif finds in a JPEG: the orientation in the first directory, and the preview.
struct Exif {
  int orientation = 0;
  std::string thumbnail;
};
Exif exif_of(const std::string& jpeg) {
  Exif e;
  std::unique_ptr<ExifData, void (*)(ExifData*)> data(
      exif_data_new_from_data(reinterpret_cast<const unsigned char*>(jpeg.data()), unsigned(std::min<size_t>(jpeg.size(), 1 << 20))),
      exif_data_unref);
  if (!data) return e;
  if (ExifEntry* o = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION))
    e.orientation = exif_get_short(o->data, exif_data_get_byte_order(data.get()));
  if (data->data) e.thumbnail.assign(reinterpret_cast<const char*>(data->data), data->size);
  return e;
}

// ---- Full-size photos, one of each format ----

void heic_is_a_grid_with_a_thumbnail(const std::string& file) {
  const auto f = heif_boxes::read(file);
  ASSERT_TRUE(f);
  EXPECT_EQ(f->major_brand, "heic");
  EXPECT_EQ(f->handler, "pict");
  const heif_boxes::Item* grid = f->item(f->primary);
  ASSERT_TRUE(grid);
  EXPECT_EQ(grid->type, "grid");
  const std::vector<uint32_t> tiles = f->refers_to(grid->id, "dimg");
  EXPECT_EQ(tiles.size(), 48u);
  for (uint32_t id : tiles) {
    const heif_boxes::Item* t = f->item(id);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->type, "hvc1");
    EXPECT_TRUE(t->hidden);
    EXPECT_TRUE(f->property(id, "hvcC"));
    EXPECT_EQ(ispe(f->property(id, "ispe")), (Size{512, 512}));
  }
  // 8 columns, 6 rows, and the canvas cropped to the photo.
  EXPECT_EQ(grid->data, std::string("\0\0\x05\x07\x0f\xc0\x0b\xd0", 8));
  EXPECT_EQ(ispe(f->property(grid->id, "ispe")), (Size{4032, 3024}));
  const std::vector<Thumbnail> thumbs = heif_thumbnails(file);
  ASSERT_EQ(thumbs.size(), 1u);
  EXPECT_EQ(thumbs[0].size, (Size{320, 240}));
}

void jpeg_has_an_exif_preview(const std::string& file) {
  const Exif e = exif_of(file);
  EXPECT_EQ(e.orientation, 1);
  const auto thumb = media::decode_jpeg(reinterpret_cast<const uint8_t*>(e.thumbnail.data()), e.thumbnail.size());
  ASSERT_TRUE(thumb.pixmap) << thumb.error;
  EXPECT_EQ((Size{thumb.pixmap->width, thumb.pixmap->height}), (Size{160, 120}));
}

void webp_is_lossy(const std::string& file) {
  WebPBitstreamFeatures f;
  ASSERT_EQ(WebPGetFeatures(reinterpret_cast<const uint8_t*>(file.data()), file.size(), &f), VP8_STATUS_OK);
  EXPECT_EQ(f.format, 1) << "1 is lossy";
  EXPECT_FALSE(f.has_alpha);
}

void avif_is_8_bit_420(const std::string& file) {
  std::unique_ptr<avifDecoder, void (*)(avifDecoder*)> d(avifDecoderCreate(), avifDecoderDestroy);
  ASSERT_EQ(avifDecoderSetIOMemory(d.get(), reinterpret_cast<const uint8_t*>(file.data()), file.size()), AVIF_RESULT_OK);
  ASSERT_EQ(avifDecoderParse(d.get()), AVIF_RESULT_OK);
  EXPECT_EQ(d->image->depth, 8u);
  EXPECT_EQ(d->image->yuvFormat, AVIF_PIXEL_FORMAT_YUV420);
}

struct FullSize {
  const char* name;
  Format format;
  void (*built_as_phones_build_it)(const std::string&);
};

void PrintTo(const FullSize& c, std::ostream* o) { *o << c.name; }

class MadePhotoFullSize : public ::testing::TestWithParam<FullSize> {};

TEST_P(MadePhotoFullSize, DecodesAtThePhonesSizeAndIsBuiltAsPhonesBuildIt) {
  phone_photos::Options o;
  o.format = GetParam().format;
  const std::string file = phone_photos::make(o);
  {
    const media::PixmapPtr p = decoded(file);
    ASSERT_TRUE(p);
    EXPECT_EQ((Size{p->width, p->height}), (Size{4032, 3024}));
  }
  GetParam().built_as_phones_build_it(file);
}

INSTANTIATE_TEST_SUITE_P(Formats, MadePhotoFullSize,
                         ::testing::Values(FullSize{"heic", Format::Heic, heic_is_a_grid_with_a_thumbnail},
                                           FullSize{"jpeg", Format::Jpeg, jpeg_has_an_exif_preview},
                                           FullSize{"webp", Format::Webp, webp_is_lossy},
                                           FullSize{"avif", Format::Avif, avif_is_8_bit_420}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Previews, on smaller photos ----

struct PreviewCase {
  const char* name;
  Format format;
  Preview preview;
  Size asked;         // 0x0: the kind's own size
  Size stated, coded;  // 0x0: no preview
  bool marked;
};

void PrintTo(const PreviewCase& c, std::ostream* o) { *o << c.name; }

class MadePhotoPreview : public ::testing::TestWithParam<PreviewCase> {};

TEST_P(MadePhotoPreview, IsWhatItSays) {
  const PreviewCase& c = GetParam();
  phone_photos::Options o;
  o.format = c.format, o.preview = c.preview;
  o.width = 1024, o.height = 768;
  o.preview_width = c.asked.w, o.preview_height = c.asked.h;
  const std::string file = phone_photos::make(o);
  {
    const media::PixmapPtr p = decoded(file);
    ASSERT_TRUE(p);
    EXPECT_EQ((Size{p->width, p->height}), (Size{1024, 768}));
    EXPECT_FALSE(tinted(*p)) << "only the preview is marked";
  }
  if (c.format == Format::Heic) {
    const auto f = heif_boxes::read(file);
    ASSERT_TRUE(f);
    const std::vector<uint32_t> thumbs = f->referred_by(f->primary, "thmb");
    const std::vector<Thumbnail> decoded_thumbs = heif_thumbnails(file);
    if (c.stated == Size{}) {
      EXPECT_TRUE(thumbs.empty());
      EXPECT_TRUE(decoded_thumbs.empty());
      return;
    }
    ASSERT_EQ(thumbs.size(), 1u);
    ASSERT_EQ(decoded_thumbs.size(), 1u) << "libheif finds it";
    EXPECT_EQ(f->item(thumbs[0])->type, "hvc1");
    EXPECT_TRUE(f->property(thumbs[0], "hvcC"));
    // What the file says, and what the decoder makes of the coded stream.
    EXPECT_EQ(ispe(f->property(thumbs[0], "ispe")), c.stated);
    EXPECT_EQ(decoded_thumbs[0].size, c.coded);
    EXPECT_EQ(decoded_thumbs[0].tinted, c.marked);
  } else {
    const Exif e = exif_of(file);
    EXPECT_EQ(e.orientation, 1);
    if (c.stated == Size{}) {
      EXPECT_TRUE(e.thumbnail.empty());
      return;
    }
    const auto thumb = media::decode_jpeg(reinterpret_cast<const uint8_t*>(e.thumbnail.data()), e.thumbnail.size());
    ASSERT_TRUE(thumb.pixmap) << thumb.error;
    EXPECT_EQ((Size{thumb.pixmap->width, thumb.pixmap->height}), c.coded);
    EXPECT_EQ(tinted(*thumb.pixmap), c.marked);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, MadePhotoPreview,
    ::testing::Values(
        PreviewCase{"heic_normal", Format::Heic, Preview::Normal, {}, {320, 240}, {320, 240}, false},
        PreviewCase{"heic_sized", Format::Heic, Preview::Normal, {256, 192}, {256, 192}, {256, 192}, false},
        PreviewCase{"heic_none", Format::Heic, Preview::None, {}, {}, {}, false},
        PreviewCase{"heic_tiny", Format::Heic, Preview::Tiny, {}, {96, 72}, {96, 72}, false},
        PreviewCase{"heic_lying_size", Format::Heic, Preview::LyingSize, {}, {320, 240}, {160, 120}, false},
        PreviewCase{"heic_lying_shape", Format::Heic, Preview::LyingShape, {}, {320, 320}, {320, 240}, false},
        PreviewCase{"heic_marked", Format::Heic, Preview::Marked, {}, {320, 240}, {320, 240}, true},
        PreviewCase{"jpeg_normal", Format::Jpeg, Preview::Normal, {}, {160, 120}, {160, 120}, false},
        PreviewCase{"jpeg_sized", Format::Jpeg, Preview::Normal, {320, 240}, {320, 240}, {320, 240}, false},
        PreviewCase{"jpeg_none", Format::Jpeg, Preview::None, {}, {}, {}, false},
        PreviewCase{"jpeg_tiny", Format::Jpeg, Preview::Tiny, {}, {64, 48}, {64, 48}, false},
        PreviewCase{"jpeg_marked", Format::Jpeg, Preview::Marked, {}, {160, 120}, {160, 120}, true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- The picture ----

// The mean difference between neighbouring pixels of the green channel: how much fine detail.
double detail(const phone_photos::Picture& p) {
  double sum = 0;
  for (int y = 0; y < p.height; ++y)
    for (int x = 1; x < p.width; ++x) sum += std::abs(int(p.at(x, y)[1]) - int(p.at(x - 1, y)[1]));
  return sum / (double(p.width) * p.height);
}

TEST(MadePhotoScene, HasFineDetailThatThePreviewScaledUpLacks) {
  const phone_photos::Picture full = phone_photos::picture(1280, 960, 3);
  // The 320x240 preview blown up again, each of its pixels a 4x4 block.
  const phone_photos::Picture back = phone_photos::scaled(phone_photos::scaled(full, 320, 240), 1280, 960);
  EXPECT_GT(detail(full), 4 * detail(back));
}

TEST(MadePhotoScene, ASeedAlwaysGivesTheSamePhotoAndAnotherSeedAnother) {
  phone_photos::Options o;
  o.width = 640, o.height = 480;
  const std::string first = phone_photos::make(o);
  EXPECT_EQ(phone_photos::make(o), first);
  o.seed = 2;
  EXPECT_NE(phone_photos::make(o), first);
  // Another scene, not the same one with other grain: pixels differ by far more than the grain.
  const phone_photos::Picture a = phone_photos::picture(64, 48, 1), b = phone_photos::picture(64, 48, 2);
  double diff = 0;
  for (size_t i = 0; i < a.rgb.size(); ++i) diff += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
  EXPECT_GT(diff / double(a.rgb.size()), 10);
}

}  // namespace
