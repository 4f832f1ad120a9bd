// Text laid out in a line: characters shaped by HarfBuzz in the font and, for characters it lacks,
// in system fonts found through fontconfig; runs of right-to-left text put in their visual order
// by FriBidi's reading of the paragraph.
#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "media/text/fallback.hpp"

typedef struct FT_FaceRec_* FT_Face;

namespace media {

// One glyph placed on the line, in left-to-right order: `face` is an index into the chain's faces.
// Places are in 1/64 pixel from the line's start, y downwards.
struct PlacedGlyph {
  int face = 0;
  unsigned glyph = 0;
  long x = 0, y = 0;
};

struct Line {
  std::vector<PlacedGlyph> glyphs;
  long width = 0;  // 1/64 pixel
};

// A font file at one pixel size with the system fonts it falls back on, opened as they are needed.
class FaceChain {
 public:
  // None when the file cannot be opened as a font or takes no size up to pixel_size.
  static std::unique_ptr<FaceChain> open(const FontFile& file, int pixel_size);
  ~FaceChain();
  FaceChain(const FaceChain&) = delete;
  FaceChain& operator=(const FaceChain&) = delete;

  Line shape(std::u32string_view text);
  // The characters of the text that neither this font nor any system font has (not counting
  // spaces, line ends and other invisible characters), each once, in order.
  std::u32string missing(std::u32string_view text);

  FT_Face face(int index) const;
  FT_Face main() const { return face(0); }
  int pixel_size() const { return size_; }

 private:
  struct Face;
  FaceChain();
  // The face to draw c in: the font's own when it has it, else a system font's; -1 for none.
  int face_for(char32_t c);
  std::vector<std::unique_ptr<Face>> faces_;
  int size_ = 0;
};

}  // namespace media
