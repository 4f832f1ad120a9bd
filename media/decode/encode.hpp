// Encoding pixmaps back into compact bytes: a fitted photo is kept as a JPEG in memory and decoded
// again when it is shown, which costs about a tenth of its pixels; a drawing keeps its exact pixels,
// deflated.
#pragma once
#include <string>

#include "media/decode/pixmap.hpp"

namespace media {

// JPEG bytes of the pixmap's colours (alpha is dropped) at the given quality (1..100); empty on
// failure. Safe to call from several threads at once.
std::string encode_jpeg(const Pixmap& pixmap, int quality = 90);

// A pixmap's exact pixels, deflated with zlib: flat drawings shrink to a few percent, and level 1
// keeps packing and unpacking near the cost of a copy.
struct PackedPixmap {
  std::string bytes;
  int width = 0, height = 0, pitch = 0, format = 0;
};
// Empty bytes on failure. Safe to call from several threads at once.
PackedPixmap pack_pixmap(const Pixmap& pixmap, int level = 1);
// The pixmap again, pixel for pixel; none when the bytes do not unpack to its size.
PixmapPtr unpack_pixmap(const PackedPixmap& packed);

}  // namespace media
