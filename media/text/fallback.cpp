#include "media/text/fallback.hpp"

#include <fontconfig/fontconfig.h>

#include <memory>
#include <unordered_map>

namespace media {
namespace {

struct PatternFree {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct CharSetFree {
  void operator()(FcCharSet* c) const { FcCharSetDestroy(c); }
};
struct FontSetFree {
  void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};

// Fontconfig's configuration, read once (reading it scans the font folders).
FcConfig* config() {
  static FcConfig* c = FcInitLoadConfigAndFonts();
  return c;
}

std::optional<FontFile> look_up(char32_t c) {
  if (!config()) return std::nullopt;
  std::unique_ptr<FcPattern, PatternFree> pattern(FcPatternCreate());
  std::unique_ptr<FcCharSet, CharSetFree> wanted(FcCharSetCreate());
  if (!pattern || !wanted || !FcCharSetAddChar(wanted.get(), c)) return std::nullopt;
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
  FcPatternAddCharSet(pattern.get(), FC_CHARSET, wanted.get());
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config(), pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  // Sorted by closeness to the pattern; the first that really has the character wins (a match
  // alone is the closest font, whether it has the character or not).
  std::unique_ptr<FcFontSet, FontSetFree> fonts(FcFontSort(config(), pattern.get(), FcFalse, nullptr, &result));
  if (!fonts) return std::nullopt;
  for (int i = 0; i < fonts->nfont; ++i) {
    FcPattern* font = fonts->fonts[i];
    FcCharSet* has = nullptr;
    FcChar8* file = nullptr;
    FcBool scalable = FcFalse;
    if (FcPatternGetCharSet(font, FC_CHARSET, 0, &has) != FcResultMatch || !FcCharSetHasChar(has, c)) continue;
    if (FcPatternGetBool(font, FC_SCALABLE, 0, &scalable) == FcResultMatch && !scalable) continue;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) continue;
    int index = 0;
    FcPatternGetInteger(font, FC_INDEX, 0, &index);
    return FontFile{reinterpret_cast<const char*>(file), index};
  }
  return std::nullopt;
}

}  // namespace

std::optional<FontFile> system_font_with(char32_t c) {
  static std::unordered_map<char32_t, std::optional<FontFile>> known;
  if (known.size() > 4096) known.clear();  // text of every script at once: start again, stay small
  auto it = known.find(c);
  if (it == known.end()) it = known.emplace(c, look_up(c)).first;
  return it->second;
}

}  // namespace media
