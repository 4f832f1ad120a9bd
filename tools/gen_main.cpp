// pipkin_gen OUT [--locale DIR] [--pseudo] [--lang LANG] [FAMILY...]: writes the data folder into OUT
// (every family, or the named ones). Worded pictures are drawn in English and in every language of
// the compiled catalogues (DIR, the build's data/locale); --pseudo adds the pseudo-language; --lang
// LANG draws only the worded pictures, only in LANG ("qps": the pseudo-language). Every text box that overflows, is clipped or
// lacks glyphs is listed at the end and fails the run.
#include <cstdio>
#include <cstring>
#include <exception>
#include <set>

#include "tools/kit/gen.hpp"
#include "tools/kit/text.hpp"
#include "tools/kit/words.hpp"

namespace {

gen::Words words_of(const gen::fs::path& locale, const std::string& lang) {
  return lang.empty() ? gen::Words::english(locale) : gen::Words::language(locale, lang);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: pipkin_gen OUT [--locale DIR] [--pseudo] [--lang LANG] [FAMILY...]\n");
    return 2;
  }
  const gen::fs::path out = argv[1];
  gen::fs::path locale = PIPKIN_LOCALE_DIR;
  bool pseudo = false;
  std::string only_lang;
  std::set<std::string> only;
  for (int i = 2; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--pseudo")) pseudo = true;
    else if (!std::strcmp(argv[i], "--locale") && i + 1 < argc) locale = argv[++i];
    else if (!std::strcmp(argv[i], "--lang") && i + 1 < argc) only_lang = argv[++i];
    else only.insert(argv[i]);
  }
  std::vector<std::string> langs;
  if (!only_lang.empty()) {
    langs = {only_lang == "en" ? "" : only_lang};
  } else {
    langs = {""};
    for (const std::string& l : gen::Words::languages(locale)) langs.push_back(l);
    if (pseudo) langs.push_back(gen::Words::kPseudo);
  }
  std::error_code ec;
  gen::fs::create_directories(out, ec);
  int failed = 0;
  try {
    for (const std::string& lang : langs) {
      const gen::Words words = words_of(locale, lang);
      for (const auto& f : gen::families()) {
        if (!only.empty() && !only.count(f.name)) continue;
        if (!f.make_worded && (!lang.empty() || !only_lang.empty())) continue;
        if (!(f.make_worded ? f.make_worded(out, words) : f.make(out))) {
          std::fprintf(stderr, "pipkin_gen: %s%s%s failed\n", f.name.c_str(), lang.empty() ? "" : " in ", lang.c_str());
          ++failed;
        }
      }
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pipkin_gen: %s\n", e.what());
    return 1;
  }
  for (const gen::TextProblem& p : gen::text_problems())
    std::fprintf(stderr, "pipkin_gen: %s: \"%s\" %s\n", p.picture.c_str(), p.text.c_str(), p.what.c_str());
  return failed || !gen::text_problems().empty() ? 1 : 0;
}
