// Picture fitting: turning a camera picture upright by its orientation tag, and scaling it to cover
// a given size, centred and cropped (averaging when shrinking, bilinear when growing).
#pragma once
#include "media/decode/pixmap.hpp"

namespace media {

// Orientation 1..8 as in a photo's EXIF tag; 1 (or anything unknown) gives an RGBA copy.
PixmapPtr orient_pixmap(const Pixmap& src, int orientation);
// The orientation that shows a picture as turning it `angle` quarters anticlockwise and then
// mirroring it (`mirror` < 0: not; 0: top and bottom exchanged; 1: left and right) does, as AVIF
// and HEIF files state them.
int orientation_of(int angle, int mirror);
// An RGBA pixmap of width x height covered by src scaled by max(width/w, height/h), centred.
PixmapPtr cover_pixmap(const Pixmap& src, int width, int height);
// A picture fitted to cover width x height at the least cost: a larger src is scaled down with
// cover_pixmap; a src that is not larger is only cropped to the covering window (same format, or
// src itself when nothing is cut off), to be stretched the rest of the way when it is drawn.
PixmapPtr fit_pixmap(const PixmapPtr& src, int width, int height);

}  // namespace media
