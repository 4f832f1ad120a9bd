// Flood fill: recolours the 4-connected region of equal pixels (whole 32-bit ARGB values, alpha
// included) around a seed. A scan-line fill: each seed's row is scanned left and right at once, and
// one seed is queued per run met in the rows above and below. Escape cuts the row being scanned short;
// pressed between rows it ends the fill.
#pragma once
#include <cstdint>
#include <functional>

#include "media/decode/pixmap.hpp"

namespace activities {

// A seed: a pixel position in a pixmap.
struct Point {
  int x = 0;
  int y = 0;
};

// Asked after every step of the fill whether to stop there (Escape was pressed): true stops it.
// None: the fill always runs to the end.
using StopCheck = std::function<bool()>;

// Recolours the region of the pixmap that holds (x, y). A seed outside the pixmap does nothing, and
// nothing outside the pixmap is ever read or written. In formats that cannot hold the colour (grey,
// alpha-only, 24-bit) a fill that would leave the pixels reading as before does nothing.
void flood_fill(uint32_t colour, int x, int y, media::Pixmap& pixmap, const StopCheck& stop = {});
void flood_fill(uint32_t colour, int x, int y, const media::PixmapPtr& pixmap, const StopCheck& stop = {});

}  // namespace activities
