// Text for the generator's pictures, laid out by Pango (shaped by HarfBuzz, fonts found through
// fontconfig) so that every script's words come out right: the font (a freely licensed face for
// young readers, also copied into the data folder), lines that shrink to fit their box, columns of
// wrapped paragraphs, and glyph outlines for the big lettering. Every box drawn is checked: words
// laid out past their box, ink past the picture's edge and characters no font has are noted in
// text_problems() under the picture they were drawn for.
#pragma once
#include <cairo.h>

#include <memory>
#include <string>
#include <vector>

#include "tools/kit/colour.hpp"
#include "tools/kit/gen.hpp"

namespace gen {

// The TrueType font copied into the data folder for the program's own words, and its licence.
const fs::path& font_file();
const fs::path& font_licence_file();

// Whether a text (a language's own name) is written right to left.
bool right_to_left(cairo_t* cr, const std::string& text);
// Mirrors the rest of a picture width wide, for a right-to-left language: shapes and the places of
// the words swap sides, the words themselves still read in their own direction.
void mirror(cairo_t* cr, double width);

// A rectangle of a picture.
struct Box {
  double x, y, w, h;
};

// Words shrink to fit their box down to this share of their size; smaller still, they do not fit.
constexpr double kMinTextScale = 0.7;

// Draws a line of text in the current source with its baseline at (x, y); strong: bold.
void show(cairo_t* cr, double x, double y, const std::string& text, double size, bool strong);
// Draws strong text with its ink box centred on (x, y).
void show_centred(cairo_t* cr, double x, double y, const std::string& text, double size);
// How wide a line of text is.
double advance(cairo_t* cr, const std::string& text, double size, bool strong);
// The largest size up to `size` (and not below kMinTextScale of it) at which the line fits `width`.
double fitting_size(cairo_t* cr, const std::string& text, double size, bool strong, double width);
// Draws a line that shrinks to fit `width`, its left end at x (or its middle, when centred) and
// its baseline at y; returns the size drawn at. Noted as overflowing when it cannot fit.
double show_fitted(cairo_t* cr, double x, double y, const std::string& text, double size, bool strong,
                   double width, bool centred = false);
// Draws text wrapped to the box's width with its top at the box's top, shrinking (down to
// kMinTextScale) until its lines fit the box's height. Noted as overflowing when they cannot.
void show_wrapped(cairo_t* cr, const Box& box, const std::string& text, double size, bool strong);
// Appends the outline of text at size to the current path, its baseline's left end at
// the current point.
void text_path(cairo_t* cr, const std::string& text, double size);

// One glyph of a line of big lettering, to be placed on its own (tilted, lifted) with its path.
struct Letter {
  double x, w;      // its pen position on the line and its advance
  bool blank;       // a space: nothing to draw
  int glyph_index;  // within the shaped line
};
// A line shaped once for lettering; letters keep the shaping of the whole line (joined scripts).
class Lettering {
 public:
  Lettering(cairo_t* cr, const std::string& text, double size);
  ~Lettering();
  Lettering(const Lettering&) = delete;
  Lettering& operator=(const Lettering&) = delete;
  const std::vector<Letter>& letters() const { return letters_; }
  double width() const { return width_; }
  // Appends letter i's outline with its pen position at (0, 0).
  void path(cairo_t* cr, size_t i) const;

 private:
  struct Shaped;
  std::unique_ptr<Shaped> shaped_;
  std::vector<Letter> letters_;
  double width_ = 0;
};

// Lays out wrapped paragraphs in a column box, from its top down, and draws them once all are
// given: when they do not fit, every line shrinks alike (down to kMinTextScale) until they do.
// Words between *stars* are emphasised (bold, in a deeper shade of the accent colour). Lines break
// at spaces (and inside a word only when it is wider than the column): join words with U+00A0 to
// keep them together.
class Column {
 public:
  Column(cairo_t* cr, const Box& box, Col accent) : cr_(cr), box_(box), accent_(accent) {}

  void heading(const std::string& text, double size = 23);
  void paragraph(const std::string& text, double size = 20, Col colour = kInk);
  void gap(double g) { items_.push_back({Kind::Gap, "", g, kInk, 0}); }
  // The text above must end by `clear`; the column then goes on at `resume`.
  void skip_to(double clear, double resume) { items_.push_back({Kind::Skip, "", clear, kInk, resume}); }
  // Draws the column; noted when it does not fit even at the smallest size.
  void draw();

 private:
  enum class Kind { Heading, Paragraph, Gap, Skip };
  struct Item {
    Kind kind;
    std::string text;
    double size;  // of the text; a gap's height; a skip's clear line
    Col colour;
    double resume;
  };
  // Lays the items out at scale; how far past the box's bottom (or a skip's line) they run.
  double lay_out(double scale, bool draw);

  cairo_t* cr_;
  Box box_;
  Col accent_;
  std::vector<Item> items_;
};

// What the check found wrong in one text box.
struct TextProblem {
  std::string picture;  // the file it was drawn for
  std::string text;     // the box's words
  std::string what;     // "overflows its box by 12 px", "is clipped", "has 2 missing glyphs"
};
// Every problem found so far; a picture's problems are named when it is saved (Canvas::save_*).
std::vector<TextProblem>& text_problems();
// Names the problems noted since the last picture was saved after the file they were drawn for.
void name_text_problems(const fs::path& file);

}  // namespace gen
