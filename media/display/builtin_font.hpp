// Private to the media layer: the bitmap glyphs of the built-in font (characters 32 to 126, seven
// rows of five bits each, the leftmost pixel in bit 4).
#pragma once
#include <cstdint>

namespace media {

constexpr int kBuiltinFirst = 32;
constexpr int kBuiltinScale = 2;
extern const uint8_t kBuiltinGlyphs[95][7];

}  // namespace media
