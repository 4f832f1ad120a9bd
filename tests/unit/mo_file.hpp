// Compiled catalogues made in memory, laid out as msgfmt lays them out (little-endian, no hash
// table): for the catalogue tests and the fuzzer's seeds.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace mo {

// One entry: its id, its English text and its translation (forms separated by '\0').
struct Entry {
  std::string id, english, text;
};

inline std::string catalogue(const std::string& plural_forms, const std::vector<Entry>& entries) {
  std::vector<std::pair<std::string, std::string>> pairs{
      {"", "Content-Type: text/plain; charset=UTF-8\nPlural-Forms: " + plural_forms + "\n"}};
  for (const Entry& e : entries) pairs.push_back({e.id + '\x04' + e.english, e.text});
  const uint32_t n = static_cast<uint32_t>(pairs.size());
  std::string out;
  auto u32 = [&out](uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i));
  };
  const uint32_t originals = 28, translations = originals + 8 * n;
  uint32_t at = translations + 8 * n;
  for (uint32_t v : {0x950412deu, 0u, n, originals, translations, 0u, at}) u32(v);
  std::string strings;
  for (int table = 0; table < 2; ++table)
    for (const auto& [key, value] : pairs) {
      const std::string& s = table == 0 ? key : value;
      u32(static_cast<uint32_t>(s.size()));
      u32(at);
      at += static_cast<uint32_t>(s.size() + 1);
      strings += s;
      strings += '\0';
    }
  return out + strings;
}

}  // namespace mo
