#include "tools/kit/text.hpp"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <vector>

namespace gen {

const fs::path& font_file() {
  static const fs::path p = [] {
    for (const char* c : {"/usr/share/fonts/truetype/andika/Andika-Regular.ttf",
                          "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"})
      if (fs::exists(c)) return fs::path(c);
    return fs::path();
  }();
  return p;
}

const fs::path& font_licence_file() {
  static const fs::path p = [] {
    const fs::path& f = font_file();
    if (f.string().find("andika") != std::string::npos) return fs::path("/usr/share/doc/fonts-sil-andika/copyright");
    return fs::path("/usr/share/doc/fonts-dejavu-core/copyright");
  }();
  return p;
}

void use_font(cairo_t* cr, double size) {
  static FT_Library lib = nullptr;
  static cairo_font_face_t* face = nullptr;
  if (!face) {
    FT_Face ft = nullptr;
    if (FT_Init_FreeType(&lib) == 0 && FT_New_Face(lib, font_file().c_str(), 0, &ft) == 0) {
      face = cairo_ft_font_face_create_for_ft_face(ft, 0);
    } else {
      std::fprintf(stderr, "pipkin_gen: cannot open font %s\n", font_file().c_str());
    }
  }
  if (face) cairo_set_font_face(cr, face);
  cairo_set_font_size(cr, size);
}

void show(cairo_t* cr, double x, double y, const std::string& text, bool strong) {
  cairo_move_to(cr, x, y);
  cairo_text_path(cr, text.c_str());
  if (strong) {
    cairo_set_line_width(cr, 0.9);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
  }
  cairo_fill(cr);
}

void show_centred(cairo_t* cr, double x, double y, const std::string& text) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  show(cr, x - e.x_bearing - e.width / 2, y - e.y_bearing - e.height / 2, text, true);
}

double advance(cairo_t* cr, const std::string& text) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  return e.x_advance;
}

void Column::heading(const std::string& text, double size) {
  use_font(cr_, size);
  y_ += size;
  set(cr_, mix(accent_, kInk, 0.45));
  show(cr_, x_, y_, text, true);
  y_ += size * 0.45;
}

void Column::paragraph(const std::string& text, double size, Col colour) {
  use_font(cr_, size);
  const double line = size * 1.38, space = advance(cr_, " ");
  std::vector<std::string> words;
  size_t at = 0;
  while (at <= text.size()) {
    size_t end = text.find(' ', at);
    if (end == std::string::npos) end = text.size();
    if (end > at) words.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  double x = 0;
  bool strong = false;
  y_ += size;
  for (std::string w : words) {
    bool starts = w.front() == '*';
    bool ends = w.size() > 1 && w.back() == '*';
    if (starts) w.erase(0, 1);
    // A closing star may sit before trailing punctuation: "*2*."
    size_t close = w.find('*');
    std::string tail;
    if (close != std::string::npos) {
      tail = w.substr(close + 1);
      w = w.substr(0, close);
      ends = true;
    }
    if (starts) strong = true;
    double ww = advance(cr_, w) + advance(cr_, tail);
    if (x > 0 && x + ww > width_) {
      x = 0;
      y_ += line;
    }
    set(cr_, strong ? mix(accent_, kInk, 0.45) : colour);
    show(cr_, x_ + x, y_, w, strong);
    x += advance(cr_, w);
    if (ends) strong = false;
    if (!tail.empty()) {
      set(cr_, colour);
      show(cr_, x_ + x, y_, tail, false);
      x += advance(cr_, tail);
    }
    x += space;
  }
  y_ += line - size + size * 0.5;
}

}  // namespace gen
