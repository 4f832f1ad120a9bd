#include "tools/kit/words.hpp"

#include <algorithm>
#include <stdexcept>

namespace gen {
namespace {

media::Catalogue read_catalogue(const fs::path& file) {
  std::string why;
  std::optional<media::Catalogue> c = media::Catalogue::load(file.string(), &why);
  if (!c) throw std::runtime_error(file.string() + ": " + why);
  return std::move(*c);
}

// The text with its {name} places filled with n, and {{ and }} made single braces.
std::string with_value(std::string_view s, long n) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if ((s[i] == '{' || s[i] == '}') && i + 1 < s.size() && s[i + 1] == s[i]) {
      out += s[i++];
    } else if (s[i] == '{' && s.find('}', i) != std::string_view::npos) {
      out += std::to_string(n);
      i = s.find('}', i);
    } else {
      out += s[i];
    }
  }
  return out;
}

}  // namespace

Words Words::english(const fs::path& locale_dir) {
  Words w;
  w.english_ = read_catalogue(locale_dir / "en.mo");
  return w;
}

Words Words::language(const fs::path& locale_dir, const std::string& lang) {
  Words w = english(locale_dir);
  w.lang_ = lang;
  w.language_ = read_catalogue(locale_dir / (lang + ".mo"));
  return w;
}

std::vector<std::string> Words::languages(const fs::path& locale_dir) {
  std::vector<std::string> langs;
  std::error_code ec;
  for (const auto& f : fs::directory_iterator(locale_dir, ec)) {
    const std::string code = f.path().stem().string();
    if (f.path().extension() == ".mo" && code != "en" && code != kPseudo) langs.push_back(code);
  }
  std::sort(langs.begin(), langs.end());
  return langs;
}

void Words::add(const std::string& id, std::vector<std::string> forms) { added_[id] = std::move(forms); }

std::string Words::text(const std::string& id) const {
  if (const auto a = added_.find(id); a != added_.end()) return a->second.front();
  for (const std::optional<media::Catalogue>* c : {&language_, &english_})
    if (*c)
      if (const auto found = (*c)->find(id)) return std::string(*found);
  throw std::out_of_range("no words for \"" + id + "\" in the catalogue");
}

std::string Words::text(const std::string& id, long n) const {
  const unsigned long count = static_cast<unsigned long>(std::max(0L, n));
  if (const auto a = added_.find(id); a != added_.end())
    return with_value(a->second[std::min(a->second.size() - 1, count == 1 ? size_t{0} : size_t{1})], n);
  for (const std::optional<media::Catalogue>* c : {&language_, &english_})
    if (*c)
      if (const auto found = (*c)->find(id, count)) return with_value(*found, n);
  throw std::out_of_range("no words for \"" + id + "\" in the catalogue");
}

fs::path Words::file(const fs::path& out, const std::string& folder, const std::string& english_name,
                     const std::string& id_name) const {
  if (is_english()) return out / folder / english_name;
  return out / folder / lang_ / (id_name + ".webp");
}

}  // namespace gen
