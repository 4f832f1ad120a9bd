// How a picture file becomes the compact picture the store keeps between showings, and that an
// image again: read whole, turned upright and fitted to cover the screen, then kept as a JPEG (a
// photo) or as its deflated exact pixels (a drawing).
#pragma once
#include <cstddef>
#include <functional>
#include <string>

#include "app/pictures/left_out.hpp"
#include "media/decode/encode.hpp"
#include "media/display/image.hpp"

namespace app {

// A picture as the store keeps it between showings: JPEG bytes for a photo, or the fitted pixels
// of a PNG or BMP deflated (exact pixels, and transparency, which JPEG would lose).
struct CompactPicture {
  std::string jpeg;
  media::PackedPixmap packed;
  bool preview = false;  // the photo's own small preview; its full picture is still to come
  size_t bytes() const;
};

// How a file becomes a compact picture (called on worker threads, several at once) and how a
// compact picture becomes an image again (main thread). Tests put in their own.
struct PictureCodec {
  std::function<bool(const std::string& path, CompactPicture& out, std::string& error)> load;
  std::function<media::ImagePtr(const CompactPicture& picture)> restore;
  // Optional, on worker threads: a quick stand-in for the picture, true when the file carries one
  // worth showing (out.preview set). load() still runs for the full picture later; a file with no
  // preview goes to load() at once.
  std::function<bool(const std::string& path, CompactPicture& out)> preview;
};

// The real codec: pictures fitted to cover width x height.
PictureCodec screen_codec(int width, int height);

// Why the real codec left a file out, from the error it gave (its own, or a decoder's).
LeftOutReason left_out_reason(const std::string& load_error);

}  // namespace app
