#include "media/display/font.hpp"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <unordered_map>
#include <utility>

#include "media/text/shape.hpp"
#include "media/text/utf8.hpp"
#include "media/text/wrap.hpp"

#include "media/display/builtin_font.hpp"
#include "media/display/draw.hpp"
#include "media/display/gl.hpp"
#include "media/display/image.hpp"
#include "media/files/log.hpp"
#include "media/input/screen.hpp"

namespace media {

struct Glyph {
  ImagePtr image;  // coverage in alpha, white colour; none for blank glyphs
  int off_x = 0, off_y = 0;
  int advance = 0;  // the built-in font's only
};

struct Font {
  std::unique_ptr<FaceChain> chain;  // none: the built-in font
  int style = FONT_SMOOTH;
  int height = 0, ascend = 0, descend = 0;
  // Glyphs by face (high bits) and glyph number in it; the built-in font's by character.
  std::unordered_map<uint64_t, Glyph> glyphs;
  // Lines shaped lately: the same few texts are drawn on every frame.
  std::unordered_map<std::string, Line> lines;
};

namespace {

constexpr size_t kKeptLines = 256;

// The font layer's state; main thread only. (The built-in font is made once, on first use, by the
// function that hands it out below.)
struct FontState {
  FontPtr current;  // the font text is drawn in; none: the built-in font
  std::vector<TextProblem>* checked = nullptr;  // the live TextCheck's list, if any
};
FontState fonts;

// The built-in font: every glyph made at once from the bitmap table; other characters are blank.
const FontPtr& builtin() {
  static FontPtr f = [] {
    auto font = std::make_shared<Font>();
    const int s = kBuiltinScale;
    font->height = 9 * s;
    font->ascend = 8 * s;
    font->descend = -s;
    for (int c = 0; c < 95; ++c) {
      Glyph g;
      g.advance = 6 * s;
      g.off_y = s;
      PixmapPtr p = create_pixmap(5 * s, 7 * s, PF_RGBA);
      bool ink = false;
      for (int y = 0; y < 7 * s; ++y)
        for (int x = 0; x < 5 * s; ++x)
          if (kBuiltinGlyphs[c][y / s] & (0x10 >> (x / s))) {
            write_pixel(*p, x, y, 0xFFFFFFFF);
            ink = true;
          }
      if (ink) g.image = image_from_pixmap(p, 0);
      font->glyphs.emplace(static_cast<uint64_t>(c + kBuiltinFirst), std::move(g));
    }
    return font;
  }();
  return f;
}

Font& active() { return fonts.current ? *fonts.current : *builtin(); }

// The built-in font's glyph of a byte; blank past its table.
const Glyph& builtin_glyph(Font& f, unsigned char code) {
  auto it = f.glyphs.find(code);
  if (it != f.glyphs.end()) return it->second;
  Glyph g;
  g.advance = 6 * kBuiltinScale;
  return f.glyphs.emplace(code, std::move(g)).first->second;
}

// A shaped glyph, rendered and kept in the font on first use. Every face of the chain sits on the
// main face's baseline.
const Glyph& load_glyph(Font& f, int face_index, unsigned glyph) {
  const uint64_t key = uint64_t(unsigned(face_index)) << 32 | glyph;
  auto it = f.glyphs.find(key);
  if (it != f.glyphs.end()) return it->second;
  Glyph g;
  FT_Face face = f.chain->face(face_index);
  if (FT_Load_Glyph(face, glyph, FT_LOAD_RENDER) == 0) {
    FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    g.off_x = slot->bitmap_left;
    g.off_y = f.ascend - slot->bitmap_top;
    int pad = (f.style & FONT_SMOOTH) ? 1 : 0;
    if (bm.width > 0 && bm.rows > 0 && bm.pixel_mode == FT_PIXEL_MODE_GRAY) {
      PixmapPtr p = create_pixmap(bm.width + 2 * pad, bm.rows + 2 * pad, PF_RGBA);
      if (p) {
        for (unsigned y = 0; y < bm.rows; ++y) {
          const unsigned char* src = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
          uint8_t* dst = p->row(y + pad) + pad * 4;
          for (unsigned x = 0; x < bm.width; ++x) {
            dst[4 * x] = dst[4 * x + 1] = dst[4 * x + 2] = 255;
            dst[4 * x + 3] = src[x];
          }
        }
        g.image = image_from_pixmap(p, IMG_FILTERED);
        g.off_x -= pad;
        g.off_y -= pad;
      }
    }
  }
  return f.glyphs.emplace(key, std::move(g)).first->second;
}

const Line& shaped(Font& f, const std::string& text) {
  auto it = f.lines.find(text);
  if (it != f.lines.end()) return it->second;
  if (f.lines.size() >= kKeptLines) f.lines.clear();
  return f.lines.emplace(text, f.chain->shape(utf8_to_code_points(text))).first->second;
}

// Whole pixels from 1/64 pixels, to the nearest.
int pixels(long sixty_fourths) { return static_cast<int>((sixty_fourths + 32) >> 6); }

std::string hex(char32_t c) {
  char s[16];
  std::snprintf(s, sizeof s, "U+%04X", static_cast<unsigned>(c));
  return s;
}

// Under a TextCheck: whether a text about to be drawn has characters no font shows.
void check_characters(const std::string& text) {
  std::u32string missing = missing_characters(text);
  if (missing.empty()) return;
  std::string what = "has characters no font shows:";
  for (char32_t c : missing) what += " " + hex(c);
  fonts.checked->push_back({text, what});
}

// Under a TextCheck: whether a glyph's picture, drawn at (x, y), lies on the screen.
bool on_screen(const ImagePtr& image, float x, float y) {
  const DrawState& s = draw_state();
  const float w = static_cast<float>(image_width(image)), h = static_cast<float>(image_height(image));
  for (const auto& [u, v] : {std::pair{0.0f, 0.0f}, {w, 0.0f}, {0.0f, h}, {w, h}}) {
    float ox, oy;
    transform_point(s, u, v, ox, oy);
    if (x + ox < -0.5f || y + oy < -0.5f || x + ox > kScreenW + 0.5f || y + oy > kScreenH + 0.5f) return false;
  }
  return true;
}

}  // namespace

TextCheck::TextCheck() { fonts.checked = &problems_; }
TextCheck::~TextCheck() { fonts.checked = nullptr; }

FontPtr load_font(const std::string& path, int pixel_size, int style) {
  auto f = std::make_shared<Font>();
  f->chain = FaceChain::open({path, 0}, pixel_size);
  if (!f->chain) {
    log_error("font", path + ": cannot open or not a font");
    return nullptr;
  }
  f->style = style;
  const FT_Size_Metrics& m = f->chain->main()->size->metrics;
  f->height = static_cast<int>(m.height >> 6);
  f->ascend = static_cast<int>(m.ascender >> 6);
  f->descend = static_cast<int>(m.descender >> 6);
  return f;
}

void set_font(const FontPtr& font) { fonts.current = font; }

const FontPtr& current_font() { return fonts.current; }

void draw_text(const std::string& text, float x, float y) {
  if (fonts.checked) check_characters(text);
  Font& font = active();
  const DrawState& s = draw_state();
  // Each glyph's place on the line, turned and scaled with the drawing state: the line runs along
  // the transformed x axis.
  bool off_screen = false;
  auto place = [&s, &off_screen, &text, x, y](float along, float down, const ImagePtr& image) {
    float ox, oy;
    transform_point(s, along, down, ox, oy);
    if (fonts.checked && !off_screen && !on_screen(image, x + ox, y + oy)) {
      off_screen = true;
      fonts.checked->push_back({text, "runs past the screen's edge"});
    }
    draw_image(image, x + ox, y + oy, 0);
  };
  if (!font.chain) {
    int pen = 0;
    for (unsigned char ch : text) {
      const Glyph& g = builtin_glyph(font, ch);
      if (g.image) place(static_cast<float>(pen + g.off_x), static_cast<float>(g.off_y), g.image);
      pen += g.advance;
    }
    return;
  }
  for (const PlacedGlyph& pg : shaped(font, text).glyphs) {
    const Glyph& g = load_glyph(font, pg.face, pg.glyph);
    if (g.image) place(static_cast<float>(pixels(pg.x) + g.off_x), static_cast<float>(pixels(pg.y) + g.off_y), g.image);
  }
}

int text_width(const std::string& text) {
  Font& font = active();
  if (font.chain) return pixels(shaped(font, text).width);
  int w = 0;
  for (unsigned char ch : text) w += builtin_glyph(font, ch).advance;
  return w;
}

int text_height() { return active().height; }

int text_ink_bottom(const std::string& text) {
  Font& font = active();
  if (!font.chain) return font.height;
  int bottom = 0;
  for (const PlacedGlyph& pg : shaped(font, text).glyphs) {
    const Glyph& g = load_glyph(font, pg.face, pg.glyph);
    if (g.image) bottom = std::max(bottom, pixels(pg.y) + g.off_y + image_height(g.image));
  }
  return bottom;
}

std::vector<std::string> wrap_text(const std::string& text, int width) { return wrap_lines(text, width, text_width); }

std::string fit_text(std::string text, int width) {
  if (text_width(text) <= width) return text;
  if (fonts.checked) fonts.checked->push_back({text, "cut short to fit " + std::to_string(width) + " pixels"});
  while (!text.empty() && text_width(text + "...") > width) {
    // Drop the last whole character: its continuation bytes (10xxxxxx), then its lead byte.
    while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) text.pop_back();
    if (!text.empty()) text.pop_back();
  }
  return text + "...";
}

void draw_text_within(const std::string& text, float x, float y, int width) {
  const int w = text_width(text);
  if (w <= width) {
    draw_text(text, x, y);
    return;
  }
  constexpr float kNarrowest = 0.8f;
  const float s = std::max(kNarrowest, static_cast<float>(width) / static_cast<float>(w));
  const DrawState saved = draw_state();
  set_scale(saved.scale_x * s, saved.scale_y * s);
  draw_text(fit_text(text, static_cast<int>(static_cast<float>(width) / s)), x, y);
  restore_draw_state(saved);
}

std::u32string missing_characters(const std::string& text) {
  Font& font = active();
  if (!font.chain) {
    std::u32string out;
    for (char32_t c : utf8_to_code_points(text))
      if ((c < 0x20 || c > 0x7E) && out.find(c) == std::u32string::npos) out += c;
    return out;
  }
  return font.chain->missing(utf8_to_code_points(text));
}

}  // namespace media
