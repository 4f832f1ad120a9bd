// The drawing state and the current font kept for the length of a scope. It stands above both
// the drawing state (draw.hpp) and the fonts (font.hpp), which know nothing of each other.
#pragma once
#include <memory>

#include "media/display/draw.hpp"

namespace media {

struct Font;  // media/display/font.hpp

// Saves the drawing state and the current font and puts them back at the end of the scope, so no
// change of colour, alpha, blend, rotation, scale, clear colour, clip or font made inside leaks into
// later draws.
class SavedDrawState {
 public:
  SavedDrawState();
  ~SavedDrawState();
  SavedDrawState(const SavedDrawState&) = delete;
  SavedDrawState& operator=(const SavedDrawState&) = delete;

 private:
  DrawState saved_;
  std::shared_ptr<Font> font_;
};

}  // namespace media
