#include "media/display/saved_draw_state.hpp"

#include "media/display/font.hpp"

namespace media {

SavedDrawState::SavedDrawState() : saved_(draw_state()), font_(current_font()) {}

SavedDrawState::~SavedDrawState() {
  restore_draw_state(saved_);
  set_font(font_);
}

}  // namespace media
