#include "media/text/utf8.hpp"

namespace media {

std::u32string utf8_to_code_points(std::string_view text) {
  constexpr char32_t kReplacement = 0xFFFD;
  std::u32string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    const int len = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
    char32_t c = len == 1 ? b : len == 2 ? b & 0x1F : len == 3 ? b & 0x0F : b & 0x07;
    bool ok = len > 0 && i + static_cast<size_t>(len) <= text.size();
    for (int k = 1; ok && k < len; ++k) {
      const auto cont = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
      ok = (cont & 0xC0) == 0x80;
      c = (c << 6) | (cont & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not characters either.
    static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    ok = ok && c >= kLeast[len] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
    out += ok ? c : kReplacement;
    i += ok ? static_cast<size_t>(len) : 1;
  }
  return out;
}

}  // namespace media
