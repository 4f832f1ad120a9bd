// Text for the generator's own pages: the font (a freely licensed face for young readers, also
// copied into the data folder), single lines, and a column of wrapped paragraphs.
#pragma once
#include <cairo.h>

#include <string>

#include "tools/kit/colour.hpp"
#include "tools/kit/gen.hpp"

namespace gen {

// The TrueType font the generator draws text with, and that is copied into the data folder.
const fs::path& font_file();
const fs::path& font_licence_file();
// Selects that font at the given pixel size on cr.
void use_font(cairo_t* cr, double size);

// Draws text in the current source with its baseline at (x, y); strong text is thickened a little.
void show(cairo_t* cr, double x, double y, const std::string& text, bool strong);
// Draws strong text with its ink box centred on (x, y).
void show_centred(cairo_t* cr, double x, double y, const std::string& text);
// How far the pen moves over text at the current font and size.
double advance(cairo_t* cr, const std::string& text);

// Lays out wrapped paragraphs in a column from (x, y) down. Words between *stars* are emphasised
// (drawn bolder and in a deeper shade of the accent colour). Spaces are the only break points:
// join words with U+00A0 to keep them together.
class Column {
 public:
  Column(cairo_t* cr, double x, double y, double width, double bottom, Col accent)
      : cr_(cr), x_(x), y_(y), width_(width), bottom_(bottom), accent_(accent) {}

  void heading(const std::string& text, double size = 23);
  void paragraph(const std::string& text, double size = 20, Col colour = kInk);
  void gap(double g) { y_ += g; }
  double y() const { return y_; }
  // False once the text has run past the bottom given at the start.
  bool fits() const { return y_ <= bottom_; }

 private:
  cairo_t* cr_;
  double x_, y_, width_, bottom_;
  Col accent_;
};

}  // namespace gen
