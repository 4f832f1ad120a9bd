// Fonts: TrueType faces rendered through FreeType at a pixel size; glyphs are rendered on first use
// and cached as textures. Text is drawn under the drawing state's colour, alpha and transform.
// Text is UTF-8, one line: shaped by HarfBuzz, its right-to-left runs in their visual order, and
// characters the font lacks drawn in a system font that has them. The built-in font (no font set)
// draws the printable ASCII characters only.
#pragma once
#include <memory>
#include <string>
#include <vector>

namespace media {

struct Font;
using FontPtr = std::shared_ptr<Font>;

constexpr int FONT_SMOOTH = 4;

FontPtr load_font(const std::string& path, int pixel_size, int style = FONT_SMOOTH);
void set_font(const FontPtr& font);  // none selects the built-in font
const FontPtr& current_font();       // as last set (none: the built-in font)
void draw_text(const std::string& text, float x, float y);
int text_width(const std::string& text);
int text_height();
// How far below the y it is drawn at the text's ink reaches: beyond text_height() for marks set
// deep under the letters.
int text_ink_bottom(const std::string& text);
// The text in lines no wider than width in the current font (see media/text/wrap.hpp).
std::vector<std::string> wrap_text(const std::string& text, int width);
// The text as it is when it fits width pixels in the current font, else cut short at a whole
// character with "..." so that it does: a cut never splits a character's UTF-8 bytes.
std::string fit_text(std::string text, int width);
// Draws one line within width pixels: as it is when it fits; a longer one (another language, a
// long folder name) narrower, down to four fifths of its size, and past that cut short as fit_text
// cuts, so it never runs out of its place.
void draw_text_within(const std::string& text, float x, float y, int width);
// The characters of the text that neither the current font nor any system font can show.
std::u32string missing_characters(const std::string& text);

// A text that did not show whole, and why.
struct TextProblem {
  std::string text;
  std::string what;
};

// While one lives, every text that does not show whole is listed: one fit_text cut short, one drawn
// past an edge of the screen, one with characters no font can show. The tests draw every screen in
// a long language under one. One at a time, on the drawing thread.
class TextCheck {
 public:
  TextCheck();
  ~TextCheck();
  TextCheck(const TextCheck&) = delete;
  TextCheck& operator=(const TextCheck&) = delete;
  const std::vector<TextProblem>& problems() const { return problems_; }

 private:
  std::vector<TextProblem> problems_;
};

}  // namespace media
