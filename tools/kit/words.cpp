#include "tools/kit/words.hpp"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace gen {

namespace {

std::string read_file(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

// The string of a PO line's quoted part, its escapes undone.
std::string unquote(const std::string& line, size_t from) {
  const size_t open = line.find('"', from), close = line.rfind('"');
  if (open == std::string::npos || close <= open) throw std::runtime_error("PO: no quoted string in: " + line);
  std::string s;
  for (size_t i = open + 1; i < close; ++i) {
    if (line[i] != '\\' || i + 1 >= close) {
      s += line[i];
      continue;
    }
    const char e = line[++i];
    s += e == 'n' ? '\n' : e == 't' ? '\t' : e;
  }
  return s;
}

// The plural rule of a PO header's "Plural-Forms: nplurals=N; plural=EXPR;" line.
std::string plural_rule_of(const std::string& header) {
  const size_t at = header.find("plural=", header.find("Plural-Forms:"));
  if (header.find("Plural-Forms:") == std::string::npos || at == std::string::npos) return "";
  const size_t end = header.find_first_of(";\n", at);
  return header.substr(at + 7, end == std::string::npos ? std::string::npos : end - at - 7);
}

// A recursive-descent reading of a Plural-Forms expression, evaluated as it is read.
class PluralRule {
 public:
  PluralRule(const std::string& rule, long n) : s_(rule), n_(n) {}
  long value() {
    const long v = ternary();
    skip();
    if (at_ != s_.size()) fail();
    return v;
  }

 private:
  [[noreturn]] void fail() const { throw std::invalid_argument("bad plural rule: " + s_); }
  void skip() {
    while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\t')) ++at_;
  }
  bool take(const char* op) {
    skip();
    const std::string o(op);
    if (s_.compare(at_, o.size(), o) != 0) return false;
    // "<" must not take the "<" of "<=", nor "!" the "!" of "!=".
    if (o.size() == 1 && at_ + 1 < s_.size() && s_[at_ + 1] == '=' && std::string("<>!=").find(o[0]) != std::string::npos)
      return false;
    at_ += o.size();
    return true;
  }
  long ternary() {
    const long c = either();
    if (!take("?")) return c;
    const long a = ternary();
    if (!take(":")) fail();
    const long b = ternary();
    return c ? a : b;
  }
  long either() {
    long v = both();
    while (take("||")) v = both() || v;
    return v;
  }
  long both() {
    long v = equality();
    while (take("&&")) v = equality() && v;
    return v;
  }
  long equality() {
    long v = order();
    for (;;) {
      if (take("==")) v = v == order();
      else if (take("!=")) v = v != order();
      else return v;
    }
  }
  long order() {
    long v = sum();
    for (;;) {
      if (take("<=")) v = v <= sum();
      else if (take(">=")) v = v >= sum();
      else if (take("<")) v = v < sum();
      else if (take(">")) v = v > sum();
      else return v;
    }
  }
  long sum() {
    long v = product();
    for (;;) {
      if (take("+")) v += product();
      else if (take("-")) v -= product();
      else return v;
    }
  }
  long product() {
    long v = unary();
    for (;;) {
      if (take("*")) {
        v *= unary();
      } else if (take("/") || take("%")) {
        const bool divide = s_[at_ - 1] == '/';
        const long d = unary();
        if (d == 0) fail();
        v = divide ? v / d : v % d;
      } else {
        return v;
      }
    }
  }
  long unary() {
    if (take("!")) return !unary();
    if (take("(")) {
      const long v = ternary();
      if (!take(")")) fail();
      return v;
    }
    skip();
    if (at_ < s_.size() && s_[at_] == 'n') {
      ++at_;
      return n_;
    }
    if (at_ >= s_.size() || s_[at_] < '0' || s_[at_] > '9') fail();
    long v = 0;
    while (at_ < s_.size() && s_[at_] >= '0' && s_[at_] <= '9') v = v * 10 + (s_[at_++] - '0');
    return v;
  }

  const std::string& s_;
  long n_;
  size_t at_ = 0;
};

// The text with its {name} places filled with n, and {{ and }} made single braces.
std::string with_value(const std::string& s, long n) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if ((s[i] == '{' || s[i] == '}') && i + 1 < s.size() && s[i + 1] == s[i]) {
      out += s[i++];
    } else if (s[i] == '{' && s.find('}', i) != std::string::npos) {
      out += std::to_string(n);
      i = s.find('}', i);
    } else {
      out += s[i];
    }
  }
  return out;
}

}  // namespace

long plural_index(const std::string& rule, long n) { return PluralRule(rule, n).value(); }

void Words::add(const std::string& po_text, bool translated) {
  // One entry's fields as they are read; a field's continuation lines append to the last one named.
  struct Reading {
    bool fuzzy = false;
    bool has_context = false;
    std::string context, id, plural;
    std::map<int, std::string> strs;
  } r;
  std::string* field = nullptr;
  auto finish = [&] {
    if (r.has_context) {
      Entry e;
      if (!translated) {
        e.forms.push_back(r.id);
        if (!r.plural.empty()) e.forms.push_back(r.plural);
      } else {
        for (const auto& [index, s] : r.strs) e.forms.push_back(s);
      }
      const bool empty = std::all_of(e.forms.begin(), e.forms.end(), [](const std::string& s) { return s.empty(); });
      if (!(translated && (r.fuzzy || empty || e.forms.empty()))) entries_[r.context] = e;
    } else if (r.id.empty() && r.strs.count(0)) {
      const std::string rule = plural_rule_of(r.strs[0]);
      if (translated && !rule.empty()) plural_rule_ = rule;
    }
    r = Reading{};
    field = nullptr;
  };
  std::istringstream in(po_text);
  std::string line;
  bool seen_str = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t lead = line.find_first_not_of(" \t");
    if (lead == std::string::npos) continue;
    line.erase(0, lead);
    const bool starts_entry = line.rfind("msgctxt", 0) == 0 || (line.rfind("msgid ", 0) == 0 && !r.has_context);
    if (seen_str && (starts_entry || line.rfind("#", 0) == 0)) {
      finish();
      seen_str = false;
    }
    if (line.rfind("#,", 0) == 0) {
      r.fuzzy = r.fuzzy || line.find("fuzzy") != std::string::npos;
    } else if (line[0] == '#') {
      continue;
    } else if (line.rfind("msgctxt", 0) == 0) {
      r.has_context = true;
      field = &r.context;
      *field = unquote(line, 7);
    } else if (line.rfind("msgid_plural", 0) == 0) {
      field = &r.plural;
      *field = unquote(line, 12);
    } else if (line.rfind("msgid", 0) == 0) {
      field = &r.id;
      *field = unquote(line, 5);
    } else if (line.rfind("msgstr", 0) == 0) {
      int index = 0;
      if (line.size() > 6 && line[6] == '[') index = std::stoi(line.substr(7));
      field = &r.strs[index];
      *field = unquote(line, 6);
      seen_str = true;
    } else if (line[0] == '"' && field) {
      *field += unquote(line, 0);
    } else {
      throw std::runtime_error("PO: cannot read the line: " + line);
    }
  }
  if (seen_str) finish();
}

Words Words::english(const fs::path& po_dir) {
  Words w;
  w.add(read_file(po_dir / "pipkin.pot"), false);
  return w;
}

Words Words::language(const fs::path& po_dir, const std::string& lang) {
  Words w = english(po_dir);
  w.lang_ = lang;
  w.add(read_file(po_dir / (lang + ".po")), true);
  return w;
}

Words Words::pseudo(const fs::path& po_dir) {
  Words w = english(po_dir);
  w.lang_ = kPseudo;
  for (auto& [id, e] : w.entries_)
    for (std::string& form : e.forms) form = pseudo_text(form);
  return w;
}

std::vector<std::string> Words::languages(const fs::path& po_dir) {
  std::vector<std::string> langs;
  std::error_code ec;
  for (const auto& f : fs::directory_iterator(po_dir, ec))
    if (f.path().extension() == ".po") langs.push_back(f.path().stem().string());
  std::sort(langs.begin(), langs.end());
  return langs;
}

const Words::Entry& Words::entry(const std::string& id) const {
  const auto e = entries_.find(id);
  if (e == entries_.end()) throw std::out_of_range("no words for \"" + id + "\" in the catalogue");
  return e->second;
}

int Words::plural_form(long n) const {
  // English and the pseudo-language keep the template's two forms.
  return static_cast<int>(plural_index(is_english() || lang_ == kPseudo ? "n != 1" : plural_rule_, n));
}

std::string Words::text(const std::string& id) const { return entry(id).forms.front(); }

std::string Words::text(const std::string& id, long n) const {
  const Entry& e = entry(id);
  const size_t form = std::min(static_cast<size_t>(plural_form(n)), e.forms.size() - 1);
  return with_value(e.forms[e.forms.size() > 1 ? form : 0], n);
}

fs::path Words::file(const fs::path& out, const std::string& folder, const std::string& english_name,
                     const std::string& id_name) const {
  if (is_english()) return out / folder / english_name;
  return out / folder / lang_ / (id_name + ".png");
}

std::string pseudo_text(const std::string& english) {
  // As po/pseudo.py makes the program's: every ASCII letter accented, {name} places and doubled
  // braces kept, then a space and tildes to make it about 40 % longer, all in brackets.
  static const char* const kLower[26] = {"á", "ƀ", "ç", "đ", "é", "ƒ", "ĝ", "ĥ", "î", "ĵ", "ķ", "ĺ", "ɱ",
                                         "ñ", "ö", "þ", "ǫ", "ŕ", "š", "ţ", "û", "ṽ", "ŵ", "ẋ", "ý", "ž"};
  static const char* const kUpper[26] = {"Å", "Ɓ", "Ç", "Đ", "É", "Ƒ", "Ĝ", "Ĥ", "Î", "Ĵ", "Ķ", "Ĺ", "Ṁ",
                                         "Ñ", "Ö", "Þ", "Ǫ", "Ŕ", "Š", "Ţ", "Û", "Ṽ", "Ŵ", "Ẋ", "Ý", "Ž"};
  std::string out = "[";
  long characters = 0;
  for (size_t i = 0; i < english.size(); ++i) {
    const char c = english[i];
    const size_t close = english.find('}', i);
    const bool doubled = (c == '{' || c == '}') && i + 1 < english.size() && english[i + 1] == c;
    const bool place = c == '{' && close != std::string::npos && english.find('{', i + 1) > close;
    if (doubled || place) {
      const size_t end = doubled ? i + 1 : close;
      out += english.substr(i, end - i + 1);
      characters += static_cast<long>(end - i + 1);
      i = end;
      continue;
    }
    characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    if (c >= 'a' && c <= 'z') out += kLower[c - 'a'];
    else if (c >= 'A' && c <= 'Z') out += kUpper[c - 'A'];
    else out += c;
  }
  const long tildes = std::max(1L, static_cast<long>(std::ceil(0.4 * static_cast<double>(characters))) - 3);
  return out + " " + std::string(static_cast<size_t>(tildes), '~') + "]";
}

}  // namespace gen
