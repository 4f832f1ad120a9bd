#include "media/text/words.hpp"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <mutex>

#include "media/files/log.hpp"

namespace media {
namespace {

struct Words {
  Catalogue english;
  std::optional<Catalogue> language;
  std::string code;  // the language's; empty with no language
};

// The words in use, replaced whole so a reader keeps the catalogues it started with.
struct WordsState {
  std::mutex m;
  std::shared_ptr<const Words> current;
};
WordsState& state() {
  static WordsState s;
  return s;
}

std::shared_ptr<const Words> current() {
  WordsState& s = state();
  std::lock_guard<std::mutex> lock(s.m);
  return s.current;
}

// The text in the language, else in English, else nothing (logged once by log_error itself).
template <typename Find>
std::string look_up(std::string_view id, Find find) {
  const std::shared_ptr<const Words> w = current();
  if (w) {
    if (w->language)
      if (auto t = find(*w->language); t && !t->empty()) return std::string(*t);
    if (auto t = find(w->english)) return std::string(*t);
  }
  log_error("words", "no text with the id " + std::string(id));
  return {};
}

}  // namespace

void use_words(Catalogue english, std::optional<Catalogue> language, std::string code) {
  if (!language) code.clear();
  auto w = std::make_shared<const Words>(Words{std::move(english), std::move(language), std::move(code)});
  WordsState& s = state();
  std::lock_guard<std::mutex> lock(s.m);
  s.current = std::move(w);
}

bool load_words(const std::string& locale_dir, std::string_view language) {
  std::string why;
  const std::string english_file = locale_dir + "/" + std::string(kEnglish) + ".mo";
  std::optional<Catalogue> english = Catalogue::load(english_file, &why);
  if (!english) {
    log_error("words", english_file + ": " + why);
    return false;
  }
  std::optional<Catalogue> chosen;
  if (!language.empty() && language != kEnglish) {
    const std::string file = locale_dir + "/" + std::string(language) + ".mo";
    chosen = Catalogue::load(file, &why);
    if (!chosen) log_error("words", file + ": " + why + "; the words are in English");
  }
  use_words(std::move(*english), std::move(chosen), std::string(language));
  return true;
}

std::vector<LanguageName> available_languages(const std::string& locale_dir) {
  std::vector<LanguageName> out;
  std::error_code ec;
  for (const auto& f : std::filesystem::directory_iterator(locale_dir, ec)) {
    const std::string code = f.path().stem().string();
    if (f.path().extension() != ".mo" || code == kPseudoLanguage) continue;
    std::optional<Catalogue> c = Catalogue::load(f.path().string());
    if (!c) continue;
    const std::optional<std::string_view> name = c->find("language.name");
    out.push_back({code, name ? std::string(*name) : code});
  }
  std::sort(out.begin(), out.end(), [](const LanguageName& a, const LanguageName& b) {
    return (a.code != kEnglish) < (b.code != kEnglish) || ((a.code != kEnglish) == (b.code != kEnglish) && a.code < b.code);
  });
  return out;
}

std::string words_language() {
  const std::shared_ptr<const Words> w = current();
  return w && !w->code.empty() ? w->code : std::string(kEnglish);
}

std::string word(std::string_view id) {
  return look_up(id, [id](const Catalogue& c) { return c.find(id); });
}

std::string words(std::string_view id, unsigned long n) {
  return look_up(id, [id, n](const Catalogue& c) { return c.find(id, n); });
}

std::string fill(std::string_view text, std::initializer_list<std::pair<std::string_view, std::string_view>> values) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if ((c == '{' || c == '}') && i + 1 < text.size() && text[i + 1] == c) {
      out += c;
      ++i;
      continue;
    }
    const size_t close = c == '{' ? text.find('}', i) : std::string_view::npos;
    if (close != std::string_view::npos) {
      const std::string_view name = text.substr(i + 1, close - i - 1);
      bool found = false;
      for (const auto& [key, value] : values)
        if (key == name) {
          out += value;
          found = true;
          break;
        }
      if (found) {
        i = close;
        continue;
      }
    }
    out += c;
  }
  return out;
}

}  // namespace media
