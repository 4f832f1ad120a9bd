#include "media/text/catalogue.hpp"

#include <cstdint>
#include <fstream>

namespace media {
namespace {

constexpr uint32_t kMagic = 0x950412de;
constexpr char kContextEnd = '\x04';  // msgfmt's separator between msgctxt and msgid

struct Reader {
  std::string_view bytes;
  bool swapped = false;
  uint32_t u32(size_t at) const {  // callers check at + 4 <= size
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
      const uint32_t b = static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
      v |= swapped ? b << (8 * (3 - i)) : b << (8 * i);
    }
    return v;
  }
  // The string the table entry at `at` describes; none when it runs past the file or lacks the
  // NUL msgfmt ends every string with.
  std::optional<std::string_view> text(size_t at) const {
    const uint64_t len = u32(at), off = u32(at + 4);
    if (off + len + 1 > bytes.size() || bytes[off + len] != '\0') return std::nullopt;
    return bytes.substr(off, len);
  }
};

// Form number `form` of a counted text (forms are separated by NUL); the first when it has fewer.
std::string_view nth_form(std::string_view forms, unsigned long form) {
  size_t start = 0;
  for (unsigned long i = 0; i < form; ++i) {
    const size_t end = forms.find('\0', start);
    if (end == std::string_view::npos) return forms.substr(0, forms.find('\0'));
    start = end + 1;
  }
  return forms.substr(start, forms.find('\0', start) - start);
}

// The Plural-Forms value of a catalogue's header entry (the translation of the empty msgid).
std::string_view plural_forms(std::string_view header) {
  constexpr std::string_view kKey = "Plural-Forms:";
  const size_t at = header.find(kKey);
  if (at == std::string_view::npos) return {};
  const size_t end = header.find('\n', at);
  return header.substr(at + kKey.size(), end == std::string_view::npos ? std::string_view::npos : end - at - kKey.size());
}

std::optional<Catalogue> refuse(std::string* error, const char* why) {
  if (error) *error = why;
  return std::nullopt;
}

}  // namespace

std::optional<Catalogue> Catalogue::parse(std::string_view bytes, std::string* error) {
  if (bytes.size() > kMaxBytes) return refuse(error, "too large for a catalogue");
  if (bytes.size() < 28) return refuse(error, "too short for a catalogue");
  auto kept = std::make_shared<const std::string>(bytes);
  bytes = *kept;
  Reader r{bytes};
  if (r.u32(0) != kMagic) {
    r.swapped = true;
    if (r.u32(0) != kMagic) return refuse(error, "not a compiled catalogue");
  }
  if ((r.u32(4) >> 16) > 1) return refuse(error, "a catalogue of an unknown revision");
  const uint64_t count = r.u32(8), originals = r.u32(12), translations = r.u32(16);
  if (originals + count * 8 > bytes.size() || translations + count * 8 > bytes.size())
    return refuse(error, "its tables run past the end");
  Catalogue c;
  c.bytes_ = kept;
  for (uint64_t i = 0; i < count; ++i) {
    const auto key = r.text(static_cast<size_t>(originals + 8 * i));
    const auto value = r.text(static_cast<size_t>(translations + 8 * i));
    if (!key || !value) return refuse(error, "a text runs past the end");
    if (key->empty()) {
      c.rule_.parse(plural_forms(*value));  // an unreadable rule keeps English's
      continue;
    }
    const size_t ctx = key->find(kContextEnd);
    if (ctx == std::string_view::npos || ctx == 0) continue;  // no id: not one of ours
    c.texts_.insert_or_assign(key->substr(0, ctx), *value);
  }
  return c;
}

std::optional<Catalogue> Catalogue::load(const std::string& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return refuse(error, "cannot be read");
  std::string bytes(kMaxBytes + 1, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  return parse(bytes, error);
}

std::optional<std::string_view> Catalogue::find(std::string_view id) const {
  const auto it = texts_.find(id);
  if (it == texts_.end()) return std::nullopt;
  return nth_form(it->second, 0);
}

std::optional<std::string_view> Catalogue::find(std::string_view id, unsigned long n) const {
  const auto it = texts_.find(id);
  if (it == texts_.end()) return std::nullopt;
  return nth_form(it->second, rule_.form(n));
}

}  // namespace media
