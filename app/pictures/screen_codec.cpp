#include "app/pictures/screen_codec.hpp"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "media/decode/decode.hpp"
#include "media/decode/decode_budget.hpp"
#include "media/decode/resample.hpp"

namespace app {

namespace {

// JPEG quality of the kept pictures: at 1024x768 no difference can be seen on screen, and a photo
// takes about 150 to 300 KB. (Changing how pictures are fitted or kept changes the fitted copies
// too: raise kFittingVersion in app/pictures/picture_cache.cpp with it.)
constexpr int kKeptQuality = 90;
// A JPEG may be decoded this much short of covering the screen; the rest is stretched when drawn
// (4000x3000 at 1/4 is 1000x750, 2.4% short of 1024x768).
constexpr double kStretchSlack = 0.03;
// A picture file is read whole before it is decoded; larger ones are refused (a camera photo is a
// few MB, an uncompressed 64-megapixel BMP about 190 MB).
constexpr size_t kMaxPictureFileBytes = size_t{200} << 20;

// The start of the errors that load_fitted gives itself, as left_out_reason knows them.
const std::string kCannotRead = "cannot be read: ";
const std::string kTooBig = "too big for a picture";

bool has_transparency(const media::Pixmap& p) {
  if (!media::format_has_alpha(p.format)) return false;
  if (p.format == media::PF_ALPHA) return true;
  for (int y = 0; y < p.height; ++y) {
    const uint8_t* r = p.row(y);
    for (int x = 0; x < p.width; ++x)
      if (r[x * 4 + 3] != 255) return true;  // alpha is the fourth byte of RGBA and BGRA
  }
  return false;
}

// Pictures that were photos already (JPEG, lossy WebP, HEIC, AVIF) are kept as JPEGs again; the
// rest keep their exact pixels. A lossy WebP holds a "VP8 " chunk (with a space), on its own or
// after the extended header. HEIC and AVIF files (an ISO "ftyp" box first) come from phones and
// cameras, coded lossily in all but rare cases, so they count as photos.
bool is_photo(const std::string& bytes) {
  if (bytes.size() >= 2 && uint8_t(bytes[0]) == 0xFF && uint8_t(bytes[1]) == 0xD8) return true;
  if (bytes.size() >= 12 && bytes.compare(4, 4, "ftyp") == 0) return true;
  if (bytes.size() < 16 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WEBP") != 0) return false;
  return bytes.compare(12, 4, "VP8 ") == 0 ||
         (bytes.compare(12, 4, "VP8X") == 0 && bytes.find("VP8 ", 12) < std::min<size_t>(bytes.size(), 4096));
}

// Reads a picture file whole; its bytes count against the decode budget while `lease` holds them.
bool read_picture(const std::string& path, std::string& bytes, media::BudgetLease& lease, std::string& error) {
  std::error_code size_error;
  const uintmax_t size = std::filesystem::file_size(path, size_error);
  if (!size_error && size > kMaxPictureFileBytes) {
    error = kTooBig + " (" + std::to_string(size >> 20) + " MB; at most " +
            std::to_string(kMaxPictureFileBytes >> 20) + " MB are read)";
    return false;
  }
  if (!size_error && size > 0) lease = media::decode_budget().acquire(static_cast<size_t>(size));
  if (!media::read_whole_file(path, bytes, error, kMaxPictureFileBytes)) {
    error = kCannotRead + error;
    return false;
  }
  return true;
}

bool load_fitted(const std::string& path, int width, int height, CompactPicture& out, std::string& error) {
  media::PixmapPtr fitted;
  int orientation = 1;
  bool lossless = true;
  {
    media::BudgetLease file_lease;
    std::string bytes;
    if (!read_picture(path, bytes, file_lease, error)) return false;
    media::DecodeOptions opt{width, height};
    opt.eighths = true;
    opt.slack = kStretchSlack;
    opt.upright = true;
    media::DecodeResult d =
        media::decode_image(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), opt);
    if (!d.pixmap) {
      error = d.error;
      return false;
    }
    orientation = d.orientation;
    lossless = !is_photo(bytes);
    // Fitted in the file's own frame (a turned photo has its width and height swapped), then the
    // small result is turned upright.
    bool turned = orientation >= 5 && orientation <= 8;
    fitted = media::fit_pixmap(d.pixmap, turned ? height : width, turned ? width : height);
  }
  if (fitted && orientation >= 2 && orientation <= 8) fitted = media::orient_pixmap(*fitted, orientation);
  if (!fitted) {
    error = "cannot be scaled";
    return false;
  }
  // PNG, BMP and lossless WebP pictures keep their exact pixels (drawings, codes); only photos become
  // JPEGs again.
  if (lossless || has_transparency(*fitted)) {
    out.packed = media::pack_pixmap(*fitted);
    if (out.packed.bytes.empty()) {
      error = "cannot be kept";
      return false;
    }
    return true;
  }
  out.jpeg = media::encode_jpeg(*fitted, kKeptQuality);
  if (out.jpeg.empty()) {
    error = "cannot be kept";
    return false;
  }
  return true;
}

// A preview must be at least this share of the screen's size on each side to stand in for the
// photo: 320x240 for 1024x768, a phone's usual thumbnail, a little short of a picture frame.
constexpr int kPreviewShareOf16 = 5;
// Kept previews are small and shown for a short while only.
constexpr int kPreviewQuality = 85;

bool load_preview(const std::string& path, int width, int height, CompactPicture& out) {
  // Only a HEIC carries a preview worth the look; its type box is in the first bytes.
  const std::string head = media::read_file_head(path, 32);
  if (!media::is_heif_file(reinterpret_cast<const uint8_t*>(head.data()), head.size())) return false;
  std::string bytes, error;
  media::BudgetLease file_lease;
  if (!read_picture(path, bytes, file_lease, error)) return false;  // load() reports it
  media::DecodeResult d =
      media::decode_heif_preview(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                 width * kPreviewShareOf16 / 16, height * kPreviewShareOf16 / 16);
  if (!d.pixmap) return false;
  // Cut to the screen's shape at the preview's own size; restore_fitted stretches it to the screen.
  const int pw = d.pixmap->width, ph = d.pixmap->height;
  int fw = pw, fh = static_cast<int>(int64_t(pw) * height / width);
  if (fh > ph) fh = ph, fw = static_cast<int>(int64_t(ph) * width / height);
  media::PixmapPtr fitted = media::fit_pixmap(d.pixmap, fw, fh);
  if (!fitted) return false;
  out = CompactPicture{};
  out.jpeg = media::encode_jpeg(*fitted, kPreviewQuality);
  out.preview = !out.jpeg.empty();
  return out.preview;
}

media::ImagePtr restore_fitted(const CompactPicture& c, int width, int height) {
  media::PixmapPtr p = media::unpack_pixmap(c.packed);
  if (!p && !c.jpeg.empty())
    p = media::decode_jpeg(reinterpret_cast<const uint8_t*>(c.jpeg.data()), c.jpeg.size()).pixmap;
  if (!p) return nullptr;
  media::ImagePtr img = media::image_stretched(p, width, height, 0);
  media::release_pixels(img);  // drawn only: video memory holds it
  return img;
}

}  // namespace

size_t CompactPicture::bytes() const { return jpeg.size() + packed.bytes.size(); }

LeftOutReason left_out_reason(const std::string& e) {
  auto starts = [&e](std::string_view s) { return e.compare(0, s.size(), s) == 0; };
  auto has = [&e](std::string_view s) { return e.find(s) != std::string::npos; };
  if (starts(kCannotRead)) return LeftOutReason::CannotRead;
  // The decoders' own words (media/decode*.cpp): "truncated" wherever a file ends early, "too
  // large: WxH" past the limits, "not a ... file" for other contents, "unsupported ..." and "not an
  // 8-bit JPEG" for kinds of picture they do not read; all else is damage.
  if (starts(kTooBig) || starts("too large") || starts("out of memory")) return LeftOutReason::TooLarge;
  if (starts("truncated") || starts("empty file")) return LeftOutReason::CutShort;
  if ((starts("not a") && has(" file")) || starts("unsupported") || starts("not an 8-bit"))
    return LeftOutReason::NotAPicture;
  return LeftOutReason::Damaged;
}

PictureCodec screen_codec(int width, int height) {
  PictureCodec c;
  c.load = [width, height](const std::string& path, CompactPicture& out, std::string& error) {
    return load_fitted(path, width, height, out, error);
  };
  c.restore = [width, height](const CompactPicture& p) { return restore_fitted(p, width, height); };
  c.preview = [width, height](const std::string& path, CompactPicture& out) {
    return load_preview(path, width, height, out);
  };
  return c;
}

}  // namespace app
