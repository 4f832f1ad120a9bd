// A compiled message catalogue (a gettext .mo file, made by msgfmt from po/) read into texts by id.
// The id is the entry's msgctxt; an entry has one text, or one per plural form of its language.
// Read from compiled files rather than PO text: msgfmt checks the sources at build time, and the
// binary layout is small enough to bound-check completely, so a damaged file is only refused.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "media/text/plural.hpp"

namespace media {

class Catalogue {
 public:
  // At most this many bytes are read as a catalogue; larger files are refused.
  static constexpr size_t kMaxBytes = size_t{8} << 20;

  // The texts of a compiled catalogue, or none with the reason in *error.
  static std::optional<Catalogue> parse(std::string_view bytes, std::string* error = nullptr);
  static std::optional<Catalogue> load(const std::string& path, std::string* error = nullptr);

  // The text for the id (the first form of a counted one); none when the catalogue lacks it.
  std::optional<std::string_view> find(std::string_view id) const;
  // The text for the id counted n times, by the catalogue's plural rule.
  std::optional<std::string_view> find(std::string_view id, unsigned long n) const;
  size_t size() const { return texts_.size(); }

 private:
  // The texts point into the file's bytes, kept whole: nothing is copied per entry, so a file that
  // points many entries at one long text costs no more memory than its own size.
  std::shared_ptr<const std::string> bytes_;
  std::unordered_map<std::string_view, std::string_view> texts_;  // id -> forms, each ended by NUL
  PluralRule rule_;
};

}  // namespace media
