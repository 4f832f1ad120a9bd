// Numbers and boxes written and read byte by byte, for the files tests build and take apart.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace test_bytes {

// Little-endian, as RIFF, BMP and Intel-order EXIF store them.
inline void put16(std::string& s, uint32_t v) { s += char(v & 255), s += char(v >> 8 & 255); }
inline void put32(std::string& s, uint32_t v) { put16(s, v & 0xFFFF), put16(s, v >> 16); }

// Big-endian, as ISO boxes and PNG chunks store them.
inline void put16be(std::string& s, uint32_t v) { s += char(v >> 8 & 255), s += char(v & 255); }
inline void put32be(std::string& s, uint32_t v) {
  for (int sh = 24; sh >= 0; sh -= 8) s += char(v >> sh & 255);
}

inline uint32_t be16_at(const std::string& f, size_t at) {
  return uint32_t(uint8_t(f[at])) << 8 | uint8_t(f[at + 1]);
}
inline uint32_t be32_at(const std::string& f, size_t at) {
  return uint32_t(uint8_t(f[at])) << 24 | uint32_t(uint8_t(f[at + 1])) << 16 | uint32_t(uint8_t(f[at + 2])) << 8 |
         uint8_t(f[at + 3]);
}

// An ISO box: its 32-bit length, its type, its body.
inline std::string box(const std::string& type, const std::string& body) {
  std::string s;
  put32be(s, uint32_t(body.size() + 8));
  return s + type + body;
}

// A full box: version and 24 bits of flags in front of the body.
inline std::string full_box(const std::string& type, int version, uint32_t flags, const std::string& body) {
  std::string head(1, char(version));
  head += char(flags >> 16 & 255), head += char(flags >> 8 & 255), head += char(flags & 255);
  return box(type, head + body);
}

}  // namespace test_bytes
