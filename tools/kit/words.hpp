// The generator's words: every sentence it draws comes from the program's own compiled catalogues
// (data/locale/<lang>.mo, made by the build from po/), read by the program's own reader, by id (a
// PO entry's msgctxt). English is en.mo; another language is its catalogue over English, so what
// it has not translated stays English. Sentences may hold *stars* around emphasised words and a
// {name} place for a number (po/README.md).
#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "media/text/catalogue.hpp"
#include "tools/kit/gen.hpp"

namespace gen {

class Words {
 public:
  // English, from locale_dir/en.mo. Throws std::runtime_error when it cannot be read.
  static Words english(const fs::path& locale_dir);
  // A language: locale_dir/<lang>.mo over English. Throws when either cannot be read.
  static Words language(const fs::path& locale_dir, const std::string& lang);
  // The pseudo-language the build makes from the template (accented, about 40 % longer, bracketed),
  // which shows what a translation does to the layout.
  static Words pseudo(const fs::path& locale_dir) { return language(locale_dir, kPseudo); }
  static constexpr const char* kPseudo = "qps";
  // The translated languages of locale_dir (its <lang>.mo files but English and the pseudo-language), sorted.
  static std::vector<std::string> languages(const fs::path& locale_dir);

  // Adds (or replaces) a sentence, over the catalogues: for activities the catalogue does not know
  // yet. forms: one, or one per plural form.
  void add(const std::string& id, std::vector<std::string> forms);

  const std::string& lang() const { return lang_; }
  bool is_english() const { return lang_.empty(); }
  // The sentence of an id; throws std::out_of_range naming a missing id.
  std::string text(const std::string& id) const;
  // The sentence of an id with its {name} place filled with n (the generator's entries take one
  // value each); a counted entry takes the form for n by the language's rule.
  std::string text(const std::string& id, long n) const;
  // Where a worded picture goes: English keeps its own name in folder, another language's picture
  // goes under folder/<lang>/, named by its id, as lossless WebP (a third of a PNG's size).
  fs::path file(const fs::path& out, const std::string& folder, const std::string& english_name,
                const std::string& id_name) const;

 private:
  Words() = default;
  std::string lang_;
  std::optional<media::Catalogue> english_, language_;
  std::map<std::string, std::vector<std::string>, std::less<>> added_;
};

}  // namespace gen
