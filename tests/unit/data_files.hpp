// Reading the generated data folder in tests of its files.
#pragma once
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "media/decode/decode.hpp"
#include "media/decode/pixmap.hpp"

namespace data_files {

inline const std::string kData = PIPKIN_DATA_DIR;

inline media::PixmapPtr load(const std::string& name) { return media::load_pixmap(kData + "/" + name); }

inline std::vector<uint8_t> bytes_of(const std::string& name) {
  std::ifstream in(kData + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline int alpha(uint32_t argb) { return static_cast<int>(argb >> 24); }
inline int light(uint32_t argb) { return (argb >> 16 & 255) + (argb >> 8 & 255) + (argb & 255); }

}  // namespace data_files
