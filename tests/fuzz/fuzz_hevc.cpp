// Fuzz target for HEVC decoding by libavcodec through libheif (media/decode/heif_libavcodec.cpp): the input
// is the coded data of one picture, its units each after a 4-byte length with the parameter sets
// among them, as libheif hands a decoder its units. The target puts it in a file of one picture
// whose size, chroma format and depth are what the first parameter set gives (or 64 x 48, 4:2:0,
// 8 bits), its decoder configuration holding no units, so that the fuzzer works on the coding
// rather than on the boxes around it, which fuzz_heif covers. Any bytes give a picture or a
// reason, within the memory the decode reserved.
#include <cstddef>
#include <cstdint>
#include <string>

#include "media/decode/decode_heif.hpp"
#include "media/decode/hevc_sps.hpp"
#include "tests/fuzz/fuzz_result.hpp"
#include "tests/unit/heif_grid.hpp"

namespace {

// The first sequence parameter set that reads, if any.
void first_sps(const std::string& units, media::heif::HevcFrame& frame) {
  for (size_t pos = 0; units.size() - pos >= 4;) {
    const size_t n = heif_samples::be32_at(units, pos);
    pos += 4;
    if (n > units.size() - pos) return;
    media::heif::HevcFrame f;
    const auto* nal = reinterpret_cast<const uint8_t*>(units.data() + pos);
    if (n >= 2 && (nal[0] >> 1 & 63) == 33 && media::heif::read_hevc_sps(nal, n, f) == media::heif::SpsRead::Ok) {
      frame = f;
      return;
    }
    pos += n;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  heif_grid::Coded picture;
  picture.data.assign(reinterpret_cast<const char*>(data), size);
  media::heif::HevcFrame frame;
  frame.width = 64, frame.height = 48;
  first_sps(picture.data, frame);
  picture.hvcc = heif_grid::empty_hvcc(int(frame.chroma_format), int(frame.bit_depth));
  const std::string file = heif_grid::picture_file(frame.width, frame.height, picture);
  fuzz::check_decode([&] {
    return media::heif::decode_heif(reinterpret_cast<const uint8_t*>(file.data()), file.size(),
                                    {media::heif::HevcDecoder::Libavcodec, 1});
  });
  return 0;
}
