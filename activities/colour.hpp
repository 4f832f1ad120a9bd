// Activity 7, colouring: a grey panel on the left with the palette near its bottom and a round
// indicator of the current colour near its top; the turtle's line drawing fills the square on the
// right. A click on the palette picks its colour, a click into the drawing floods the area under the
// pointer with it, and a right click brings the next of the seven drawings, uncoloured.
#pragma once
#include <cstdint>

#include "activities/turtle.hpp"
#include "app/activity.hpp"
#include "media/image.hpp"
#include "media/pixmap.hpp"

namespace activities {

class TColour : public app::Activity {
 public:
  static constexpr app::Traits kTraits{.wants_right_clicks = true, .again_while_current = app::Again::Restart};

  explicit TColour(const app::Context& context) : ctx_(context) {}

  int pattern = 0;          // the drawing shown, 1..7
  TTurtle turtle;           // its screen pixmap is the drawing being coloured
  media::PixmapPtr swatch;  // the palette
  int sx = 0, sy = 0;       // palette's top-left corner on screen (sx is the indicator's too)
  int sw = 0, sh = 0;       // palette size
  uint32_t rgb = 0;         // the current colour, ARGB
  media::PixmapPtr circle;  // the indicator, recoloured on every pick
  media::ImagePtr ring;     // drawn over the indicator
  bool picked = false;      // a colour was picked from the palette
  bool filled = false;      // the drawing was clicked

  const app::Traits& traits() const override { return kTraits; }
  void init();
  void setup() override;
  void draw() const override;
  // A left click picks a colour or fills; a right click brings the next drawing.
  app::Outcome click(const app::PointerInput& at) override;

 private:
  app::Outcome colour_at(int x, int y);
  app::Outcome next_drawing();

  app::Context ctx_;
};

}  // namespace activities
