// Fonts: TrueType faces rendered through FreeType at a pixel size; glyphs are rendered on first use
// and cached as textures. Text is drawn under the drawing state's colour, alpha and transform.
#pragma once
#include <memory>
#include <string>

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

}  // namespace media
