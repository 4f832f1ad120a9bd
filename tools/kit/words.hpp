// The generator's words: every sentence it draws comes from the message catalogue by id (a PO
// entry's msgctxt), English being po/pipkin.pot's msgids and every other language its po/<lang>.po.
// Sentences may hold *stars* around emphasised words and a {name} place for a number (po/README.md).
#pragma once
#include <map>
#include <string>
#include <vector>

#include "tools/kit/gen.hpp"

namespace gen {

class Words {
 public:
  // English, from the catalogue's template in po_dir.
  static Words english(const fs::path& po_dir);
  // A language: its file's translations over English; untranslated and fuzzy entries stay English.
  static Words language(const fs::path& po_dir, const std::string& lang);
  // The pseudo-language that shows what a translation does to the layout: every sentence accented,
  // about 40 % longer and in brackets (pseudo_text).
  static Words pseudo(const fs::path& po_dir);
  static constexpr const char* kPseudo = "qps";
  // The languages of po_dir: its <lang>.po files, sorted.
  static std::vector<std::string> languages(const fs::path& po_dir);

  // Adds (or replaces) entries from PO text; translated: msgstr over msgid. Throws on a malformed file.
  void add(const std::string& po_text, bool translated);

  const std::string& lang() const { return lang_; }
  bool is_english() const { return lang_.empty(); }
  // The sentence of an id; throws std::out_of_range naming a missing id.
  std::string text(const std::string& id) const;
  // The sentence of an id with its {name} place filled with n (the generator's entries take one
  // value each); a plural entry takes the form for n.
  std::string text(const std::string& id, long n) const;
  // Where a worded picture goes: English keeps its own name in folder, another language's picture
  // goes under folder/<lang>/ and is named by its id.
  fs::path file(const fs::path& out, const std::string& folder, const std::string& english_name,
                const std::string& id_name) const;

 private:
  struct Entry {
    std::vector<std::string> forms;  // one, or one per plural form
  };
  const Entry& entry(const std::string& id) const;
  int plural_form(long n) const;

  std::string lang_;
  std::string plural_rule_ = "n != 1";
  std::map<std::string, Entry> entries_;
};

// The pseudo-language's form of an English sentence; its stars and {name} places stay.
std::string pseudo_text(const std::string& english);

// The plural form a gettext Plural-Forms expression picks for n (C syntax over n: ?:, ||, &&,
// comparisons, + - * / %, parentheses). Throws std::invalid_argument on a malformed expression.
long plural_index(const std::string& rule, long n);

}  // namespace gen
