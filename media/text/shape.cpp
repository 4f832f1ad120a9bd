#include "media/text/shape.hpp"

#include <fribidi.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <hb-ft.h>
#include <hb.h>

#include <algorithm>

#include "media/files/log.hpp"

namespace media {
namespace {

FT_Library freetype() {
  static FT_Library lib = [] {
    FT_Library l = nullptr;
    if (FT_Init_FreeType(&l) != 0) log_error("font", "FreeType did not start");
    return l;
  }();
  return lib;
}

struct BufferFree {
  void operator()(hb_buffer_t* b) const { hb_buffer_destroy(b); }
};

// More system fonts than this for one font is text in every script at once: the rest show blank.
constexpr size_t kMaxFaces = 16;

// FriBidi's embedding level of each character: even left to right, odd right to left. The
// paragraph's direction is its first strong character's.
std::vector<FriBidiLevel> bidi_levels(std::u32string_view text) {
  const auto n = static_cast<FriBidiStrIndex>(text.size());
  const auto* chars = reinterpret_cast<const FriBidiChar*>(text.data());
  std::vector<FriBidiCharType> types(text.size());
  std::vector<FriBidiBracketType> brackets(text.size());
  std::vector<FriBidiLevel> levels(text.size(), 0);
  fribidi_get_bidi_types(chars, n, types.data());
  fribidi_get_bracket_types(chars, n, types.data(), brackets.data());
  FriBidiParType base = FRIBIDI_PAR_ON;
  if (fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), n, &base, levels.data()) == 0)
    std::fill(levels.begin(), levels.end(), 0);  // out of memory: left to right, as before
  return levels;
}

struct Run {
  size_t start = 0, end = 0;
  int face = 0;
  FriBidiLevel level = 0;
  hb_script_t script = HB_SCRIPT_COMMON;
};

// Runs in visual order (the Unicode bidirectional algorithm's rule L2): from the highest level
// down to the lowest odd one, every stretch of runs at that level or above is reversed.
void visual_order(std::vector<Run>& runs) {
  FriBidiLevel highest = 0, lowest_odd = 255;
  for (const Run& r : runs) {
    highest = std::max(highest, r.level);
    if (r.level % 2) lowest_odd = std::min(lowest_odd, r.level);
  }
  for (int level = highest; level >= lowest_odd; --level)
    for (auto it = runs.begin(); it != runs.end();) {
      if (it->level < level) {
        ++it;
        continue;
      }
      auto stop = std::find_if(it, runs.end(), [level](const Run& r) { return r.level < level; });
      std::reverse(it, stop);
      it = stop;
    }
}

bool invisible(char32_t c) {
  switch (hb_unicode_general_category(hb_unicode_funcs_get_default(), c)) {
    case HB_UNICODE_GENERAL_CATEGORY_CONTROL:
    case HB_UNICODE_GENERAL_CATEGORY_FORMAT:
    case HB_UNICODE_GENERAL_CATEGORY_SPACE_SEPARATOR:
    case HB_UNICODE_GENERAL_CATEGORY_LINE_SEPARATOR:
    case HB_UNICODE_GENERAL_CATEGORY_PARAGRAPH_SEPARATOR: return true;
    default: return false;
  }
}

bool mark(char32_t c) {
  switch (hb_unicode_general_category(hb_unicode_funcs_get_default(), c)) {
    case HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK:
    case HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK:
    case HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK:
    case HB_UNICODE_GENERAL_CATEGORY_FORMAT: return true;  // joiners and selectors stay with their letter
    default: return false;
  }
}

}  // namespace

struct FaceChain::Face {
  FontFile file;
  FT_Face ft = nullptr;
  hb_font_t* hb = nullptr;
  ~Face() {
    if (hb) hb_font_destroy(hb);
    if (ft) FT_Done_Face(ft);
  }
  // Opens the face at the largest size up to pixel_size it takes; false when it takes none.
  bool open(int pixel_size) {
    if (!freetype() || FT_New_Face(freetype(), file.path.c_str(), file.index, &ft) != 0) {
      ft = nullptr;
      return false;
    }
    int size = pixel_size;
    while (size > 0 && FT_Set_Pixel_Sizes(ft, 0, static_cast<FT_UInt>(size)) != 0) --size;
    if (size <= 0) return false;
    hb = hb_ft_font_create_referenced(ft);
    // Hinted advances, whole pixels, as the glyphs are rendered.
    hb_ft_font_set_load_flags(hb, FT_LOAD_DEFAULT);
    return hb != nullptr;
  }
};

FaceChain::FaceChain() = default;
FaceChain::~FaceChain() = default;

std::unique_ptr<FaceChain> FaceChain::open(const FontFile& file, int pixel_size) {
  std::unique_ptr<FaceChain> chain(new FaceChain);
  auto face = std::make_unique<Face>();
  face->file = file;
  if (!face->open(pixel_size)) return nullptr;
  chain->size_ = pixel_size;
  chain->faces_.push_back(std::move(face));
  return chain;
}

FT_Face FaceChain::face(int index) const { return faces_[static_cast<size_t>(index)]->ft; }

int FaceChain::face_for(char32_t c) {
  for (size_t i = 0; i < faces_.size(); ++i)
    if (FT_Get_Char_Index(faces_[i]->ft, c) != 0) return static_cast<int>(i);
  const std::optional<FontFile> file = system_font_with(c);
  if (!file || faces_.size() >= kMaxFaces) return -1;
  for (const auto& f : faces_)
    if (f->file == *file) return -1;  // open already, and without the character after all
  auto face = std::make_unique<Face>();
  face->file = *file;
  if (!face->open(size_) || FT_Get_Char_Index(face->ft, c) == 0) return -1;
  faces_.push_back(std::move(face));
  return static_cast<int>(faces_.size() - 1);
}

Line FaceChain::shape(std::u32string_view text) {
  Line line;
  if (text.empty()) return line;
  const std::vector<FriBidiLevel> levels = bidi_levels(text);
  hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
  // Runs of one level, one face and one script; marks, spaces and punctuation join the run they follow.
  std::vector<Run> runs;
  for (size_t i = 0; i < text.size(); ++i) {
    const char32_t c = text[i];
    const bool follows = !runs.empty() && (mark(c) || invisible(c));
    int face = follows && FT_Get_Char_Index(faces_[static_cast<size_t>(runs.back().face)]->ft, c) != 0
                   ? runs.back().face
                   : std::max(face_for(c), 0);
    hb_script_t script = hb_unicode_script(unicode, c);
    if (!runs.empty() && (script == HB_SCRIPT_COMMON || script == HB_SCRIPT_INHERITED)) script = runs.back().script;
    if (runs.empty() || runs.back().level != levels[i] || runs.back().face != face || runs.back().script != script) {
      // A run of common characters only takes the script of the letters after it.
      if (!runs.empty() && runs.back().script == HB_SCRIPT_COMMON && runs.back().level == levels[i] &&
          runs.back().face == face)
        runs.back().script = script;
      else
        runs.push_back({i, i, face, levels[i], script});
    }
    runs.back().end = i + 1;
  }
  visual_order(runs);
  long pen = 0;
  for (const Run& r : runs) {
    std::unique_ptr<hb_buffer_t, BufferFree> buf(hb_buffer_create());
    hb_buffer_add_utf32(buf.get(), reinterpret_cast<const uint32_t*>(text.data()), static_cast<int>(text.size()),
                        static_cast<unsigned>(r.start), static_cast<int>(r.end - r.start));
    hb_buffer_set_direction(buf.get(), r.level % 2 ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
    hb_buffer_set_script(buf.get(), r.script);
    hb_buffer_guess_segment_properties(buf.get());
    hb_shape(faces_[static_cast<size_t>(r.face)]->hb, buf.get(), nullptr, 0);
    unsigned count = 0;
    const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buf.get(), &count);
    const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buf.get(), &count);
    for (unsigned g = 0; g < count; ++g) {
      line.glyphs.push_back({r.face, info[g].codepoint, pen + pos[g].x_offset, -static_cast<long>(pos[g].y_offset)});
      pen += pos[g].x_advance;
    }
  }
  line.width = pen;
  return line;
}

std::u32string FaceChain::missing(std::u32string_view text) {
  std::u32string out;
  for (char32_t c : text)
    if (!invisible(c) && face_for(c) < 0 && out.find(c) == std::u32string::npos) out += c;
  return out;
}

}  // namespace media
