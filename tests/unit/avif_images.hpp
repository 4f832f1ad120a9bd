// AVIF test pictures: made in-process with libavif's encoder (turned, mirrored, cropped, lossless or
// not, sequences), and files whose boxes are then made to lie, for the decoder tests, the bounds
// tests, the fuzz seeds and the benchmark.
#pragma once
#include <avif/avif.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace avif_images {

struct Spec {
  // The encoder's quantizer (0 best .. 63 worst); lossless when < 0 (4:4:4 planes holding R, G
  // and B themselves, which needs yuv left at 4:4:4).
  int quantizer = -1;
  avifPixelFormat yuv = AVIF_PIXEL_FORMAT_YUV444;
  int depth = 8;
  int irot = -1;  // quarters anticlockwise to show it; none when < 0
  int imir = -1;  // then mirrored: 0 top and bottom exchanged, 1 left and right; none when < 0
  avifCropRect clap{0, 0, 0, 0};  // the clean aperture; none when its width is 0
  int speed = 9;
  int threads = 1;
};

// Pixels made by fn(x, y, px) with `channels` bytes each.
inline std::vector<uint8_t> pixels(int w, int h, int channels, const std::function<void(int, int, uint8_t*)>& fn) {
  std::vector<uint8_t> v(static_cast<size_t>(w) * h * channels);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) fn(x, y, &v[(static_cast<size_t>(y) * w + x) * channels]);
  return v;
}

struct ImageDeleter {
  void operator()(avifImage* i) const { avifImageDestroy(i); }
};
using ImagePtr = std::unique_ptr<avifImage, ImageDeleter>;

// An avifImage of RGB (channels 3) or RGBA (4) pixels as `spec` says.
inline ImagePtr image(int w, int h, int channels, const std::vector<uint8_t>& px, const Spec& spec) {
  ImagePtr img(avifImageCreate(uint32_t(w), uint32_t(h), uint32_t(spec.depth), spec.yuv));
  img->yuvRange = AVIF_RANGE_FULL;
  if (spec.quantizer < 0) img->matrixCoefficients = AVIF_MATRIX_COEFFICIENTS_IDENTITY;
  avifRGBImage rgb;
  avifRGBImageSetDefaults(&rgb, img.get());
  rgb.depth = 8;
  rgb.format = channels == 4 ? AVIF_RGB_FORMAT_RGBA : AVIF_RGB_FORMAT_RGB;
  rgb.pixels = const_cast<uint8_t*>(px.data());
  rgb.rowBytes = uint32_t(w * channels);
  if (avifImageRGBToYUV(img.get(), &rgb) != AVIF_RESULT_OK) throw std::runtime_error("avifImageRGBToYUV");
  if (spec.irot >= 0) img->transformFlags |= AVIF_TRANSFORM_IROT, img->irot.angle = uint8_t(spec.irot);
  if (spec.imir >= 0) img->transformFlags |= AVIF_TRANSFORM_IMIR, img->imir.mode = uint8_t(spec.imir);
  if (spec.clap.width > 0) {
    avifDiagnostics diag;
    if (!avifCleanApertureBoxConvertCropRect(&img->clap, &spec.clap, uint32_t(w), uint32_t(h), spec.yuv, &diag))
      throw std::runtime_error("clean aperture");
    img->transformFlags |= AVIF_TRANSFORM_CLAP;
  }
  return img;
}

struct EncoderDeleter {
  void operator()(avifEncoder* e) const { avifEncoderDestroy(e); }
};

inline std::unique_ptr<avifEncoder, EncoderDeleter> encoder(const Spec& spec) {
  std::unique_ptr<avifEncoder, EncoderDeleter> enc(avifEncoderCreate());
  enc->codecChoice = AVIF_CODEC_CHOICE_AOM;
  enc->speed = spec.speed;
  enc->maxThreads = spec.threads;
  const int q = spec.quantizer < 0 ? AVIF_QUANTIZER_LOSSLESS : spec.quantizer;
  enc->minQuantizer = enc->maxQuantizer = q;
  enc->minQuantizerAlpha = enc->maxQuantizerAlpha = spec.quantizer < 0 ? AVIF_QUANTIZER_LOSSLESS : 0;
  return enc;
}

inline std::string take(avifRWData& out) {
  std::string s(reinterpret_cast<const char*>(out.data), out.size);
  avifRWDataFree(&out);
  return s;
}

// A still picture.
inline std::string encode(int w, int h, int channels, const std::vector<uint8_t>& px, const Spec& spec = {}) {
  ImagePtr img = image(w, h, channels, px, spec);
  auto enc = encoder(spec);
  avifRWData out = AVIF_DATA_EMPTY;
  if (avifEncoderWrite(enc.get(), img.get(), &out) != AVIF_RESULT_OK) throw std::runtime_error(enc->diag.error);
  return take(out);
}

// A sequence of frames, each w x h of `channels` bytes a pixel, a tenth of a second each.
inline std::string sequence(int w, int h, int channels, const std::vector<std::vector<uint8_t>>& frames,
                            const Spec& spec = {}) {
  auto enc = encoder(spec);
  enc->timescale = 10;
  enc->keyframeInterval = 1;
  for (const auto& px : frames) {
    ImagePtr img = image(w, h, channels, px, spec);
    if (avifEncoderAddImage(enc.get(), img.get(), 1, AVIF_ADD_IMAGE_FLAG_NONE) != AVIF_RESULT_OK)
      throw std::runtime_error(enc->diag.error);
  }
  avifRWData out = AVIF_DATA_EMPTY;
  if (avifEncoderFinish(enc.get(), &out) != AVIF_RESULT_OK) throw std::runtime_error(enc->diag.error);
  return take(out);
}

// A still picture of cols x rows cells, each w x h of the whole picture's `channels`-byte pixels,
// stored as a grid of separately coded cells.
inline std::string grid(int cols, int rows, int w, int h, int channels, const std::vector<uint8_t>& px,
                        const Spec& spec = {}) {
  const int whole_w = cols * w;
  std::vector<ImagePtr> cells;
  std::vector<const avifImage*> order;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      std::vector<uint8_t> cell(size_t(w) * h * channels);
      for (int y = 0; y < h; ++y)
        std::copy_n(&px[((size_t(r) * h + y) * whole_w + size_t(c) * w) * channels], size_t(w) * channels,
                    &cell[size_t(y) * w * channels]);
      cells.push_back(image(w, h, channels, cell, spec));
      order.push_back(cells.back().get());
    }
  auto enc = encoder(spec);
  if (avifEncoderAddImageGrid(enc.get(), uint32_t(cols), uint32_t(rows), order.data(), AVIF_ADD_IMAGE_FLAG_SINGLE) !=
      AVIF_RESULT_OK)
    throw std::runtime_error(enc->diag.error);
  avifRWData out = AVIF_DATA_EMPTY;
  if (avifEncoderFinish(enc.get(), &out) != AVIF_RESULT_OK) throw std::runtime_error(enc->diag.error);
  return take(out);
}

inline void put32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = char((v >> (24 - 8 * i)) & 255);
}

// The file with every image spatial extents box (the size the container gives a picture and its
// alpha plane) saying w x h.
inline std::string with_ispe(std::string file, uint32_t w, uint32_t h) {
  for (size_t at = file.find("ispe"); at != std::string::npos; at = file.find("ispe", at + 4)) {
    put32(file, at + 8, w);  // after the box type: version and flags, then width and height
    put32(file, at + 12, h);
  }
  return file;
}

// A photo-like picture (as samples::photo_pixel) for sizes too large to write pixel by pixel here.
inline std::string photo(int w, int h, int quantizer, const std::function<void(int, int, uint8_t*)>& pixel) {
  Spec s;
  s.quantizer = quantizer;
  s.yuv = AVIF_PIXEL_FORMAT_YUV420;
  return encode(w, h, 3, pixels(w, h, 3, pixel), s);
}

}  // namespace avif_images
