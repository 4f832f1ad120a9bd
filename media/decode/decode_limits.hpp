// The limits every decoder keeps to: the largest picture, the working memory beside its pixels, and
// the memory budget all decodes share (decode_budget.hpp), with its foreground share.
#pragma once
#include <cstddef>
#include <cstdint>

namespace media {

constexpr int kMaxImageSide = 16384;
constexpr int64_t kMaxImagePixels = 64'000'000;
// Working memory a codec may use beside the pixels (row buffers, zlib, tables, metadata). A
// multi-scan JPEG also keeps all its coefficients, which are counted on top.
constexpr size_t kDecodeWorkBytes = size_t{16} << 20;
// All decodes running at once together, and so any single decode, stay below this.
constexpr size_t kDecodeBudgetBytes = size_t{300} << 20;
// The part of that budget kept for the foreground (the thread that draws), so that bringing a
// picture back or loading an activity's image never waits for the background's decodes: one
// screen-sized decode (1024x768x4 bytes of pixels plus kDecodeWorkBytes, 19 MB) fits with room to
// spare. The background keeps 276 MB, enough for the largest decode the limits allow (64 million
// pixels x 4 bytes plus kDecodeWorkBytes, 260 MB) with at least 8 MB of its file's bytes beside it.
// Together they still hold at most kDecodeBudgetBytes (decode_budget.hpp says how).
constexpr size_t kDecodeForegroundBytes = size_t{24} << 20;
static_assert(size_t{1024} * 768 * 4 + kDecodeWorkBytes <= kDecodeForegroundBytes);
static_assert(kDecodeBudgetBytes - kDecodeForegroundBytes >=
              static_cast<size_t>(kMaxImagePixels) * 4 + kDecodeWorkBytes + (size_t{8} << 20));

// True when w x h is within the limits above.
constexpr bool image_size_ok(int64_t w, int64_t h) {
  return w > 0 && h > 0 && w <= kMaxImageSide && h <= kMaxImageSide && w * h <= kMaxImagePixels;
}

}  // namespace media
