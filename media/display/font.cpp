#include "media/display/font.hpp"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <unordered_map>

#include "media/display/builtin_font.hpp"
#include "media/display/draw.hpp"
#include "media/display/gl.hpp"
#include "media/display/image.hpp"
#include "media/files/log.hpp"

namespace media {

struct Glyph {
  ImagePtr image;  // coverage in alpha, white colour; none for blank glyphs
  int off_x = 0, off_y = 0;
  int advance = 0;
};

struct Font {
  FT_Face face = nullptr;
  int style = FONT_SMOOTH;
  int height = 0, ascend = 0, descend = 0;
  std::unordered_map<unsigned, Glyph> glyphs;
  ~Font() {
    if (face) FT_Done_Face(face);
  }
};

namespace {

FT_Library library() {
  static FT_Library lib = [] {
    FT_Library l = nullptr;
    if (FT_Init_FreeType(&l) != 0) log_error("font", "FreeType did not start");
    return l;
  }();
  return lib;
}

// The font layer's state; main thread only. (FreeType itself and the built-in font are made once,
// on first use, by the functions that hand them out below.)
struct FontState {
  FontPtr current;  // the font text is drawn in; none: the built-in font
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
      font->glyphs.emplace(static_cast<unsigned>(c + kBuiltinFirst), std::move(g));
    }
    return font;
  }();
  return f;
}

Font& active() { return fonts.current ? *fonts.current : *builtin(); }

// The glyph of a character, rendered and kept in the font on first use.
const Glyph& load_glyph(Font& f, unsigned code) {
  auto it = f.glyphs.find(code);
  if (it != f.glyphs.end()) return it->second;
  Glyph g;
  if (!f.face) {
    g.advance = 6 * kBuiltinScale;  // the built-in font has no glyph for this character
  } else if (FT_Load_Char(f.face, code, FT_LOAD_RENDER) == 0) {
    FT_GlyphSlot slot = f.face->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    g.advance = static_cast<int>(slot->advance.x >> 6);
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
  return f.glyphs.emplace(code, std::move(g)).first->second;
}

}  // namespace

FontPtr load_font(const std::string& path, int pixel_size, int style) {
  FT_Library lib = library();
  if (!lib) return nullptr;
  auto f = std::make_shared<Font>();
  if (FT_New_Face(lib, path.c_str(), 0, &f->face) != 0) {
    f->face = nullptr;
    log_error("font", path + ": cannot open or not a font");
    return nullptr;
  }
  f->style = style;
  // Lower the size until the face accepts it.
  int size = pixel_size;
  while (size > 0 && FT_Set_Pixel_Sizes(f->face, 0, size) != 0) --size;
  if (size <= 0) {
    log_error("font", path + ": no usable size");
    return nullptr;
  }
  const FT_Size_Metrics& m = f->face->size->metrics;
  f->height = static_cast<int>(m.height >> 6);
  f->ascend = static_cast<int>(m.ascender >> 6);
  f->descend = static_cast<int>(m.descender >> 6);
  return f;
}

void set_font(const FontPtr& font) { fonts.current = font; }

const FontPtr& current_font() { return fonts.current; }

void draw_text(const std::string& text, float x, float y) {
  Font& font = active();
  const DrawState& s = draw_state();
  float pen_x = x, pen_y = y;
  for (unsigned char ch : text) {
    const Glyph& g = load_glyph(font, ch);
    if (g.image) {
      float ox, oy;
      transform_point(s, static_cast<float>(g.off_x), static_cast<float>(g.off_y), ox, oy);
      draw_image(g.image, pen_x + ox, pen_y + oy, 0);
    }
    // The pen moves along the transformed x axis.
    pen_x += g.advance * s.ix;
    pen_y += g.advance * s.jx;
  }
}

int text_width(const std::string& text) {
  // Advances are whole pixels (the 26.6 value shifted down), so the running sum stays whole.
  Font& font = active();
  int w = 0;
  for (unsigned char ch : text) w += load_glyph(font, ch).advance;
  return w;
}

int text_height() { return active().height; }

}  // namespace media
