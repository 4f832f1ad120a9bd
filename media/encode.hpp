// Encoding pixmaps back into compact bytes: a fitted picture is kept as a JPEG in memory and decoded
// again when it is shown, which costs about a tenth of its pixels.
#pragma once
#include <string>

#include "media/pixmap.hpp"

namespace media {

// JPEG bytes of the pixmap's colours (alpha is dropped) at the given quality (1..100); empty on
// failure. Safe to call from several threads at once.
std::string encode_jpeg(const Pixmap& pixmap, int quality = 90);

}  // namespace media
