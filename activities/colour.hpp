// Activity 7, colouring: a grey panel on the left with the palette near its bottom and a round
// indicator of the current colour near its top; the turtle's line drawing fills the square on the
// right. A click on the palette picks its colour, a click into the drawing floods the area under the
// pointer with it, and a right click brings the next of the seven drawings, uncoloured.
#pragma once
#include <cstdint>
#include <memory>
#include <utility>

#include "activities/turtle.hpp"
#include "app/shell/activity.hpp"
#include "media/display/image.hpp"
#include "media/decode/pixmap.hpp"

namespace activities {

class Colouring : public app::Activity {
 public:
  static constexpr app::Traits kTraits{.wants_right_clicks = true, .again_while_current = app::Again::Restart};

  // Ready on the first drawing, with the near-white start colour. Its pictures are not needed to
  // play (without the palette every fill takes the start colour); none only when the drawing
  // itself cannot be made.
  static std::unique_ptr<Colouring> make(const app::Context& context);

  const app::Traits& traits() const override { return kTraits; }
  // The drawing shown, made afresh and uncoloured; the colour and what was done stay.
  void setup() override;
  void draw() const override;
  // A left click picks a colour or fills; a right click brings the next drawing.
  app::Outcome click(const app::PointerInput& at) override;

  // A seam for tests: colours this drawing (screen_h x screen_h) instead of the turtle's, until
  // the next drawing is made.
  void colour_instead(media::PixmapPtr drawing) { drawing_ = std::move(drawing); }

  int drawing_number() const { return drawing_number_; }  // 1 to Turtle::kPatterns
  const media::PixmapPtr& drawing() const { return drawing_; }
  uint32_t colour() const { return colour_; }             // ARGB
  const media::PixmapPtr& palette() const { return palette_; }
  int palette_x() const { return palette_x_; }  // its top-left corner on screen
  int palette_y() const { return palette_y_; }
  int palette_width() const { return palette_w_; }
  int palette_height() const { return palette_h_; }
  // The indicator's top left corner on screen; its ring lies one pixel up and left.
  int indicator_x() const { return palette_x_; }
  static constexpr int kIndicatorY = 18;
  const media::PixmapPtr& indicator() const { return indicator_; }
  const media::ImagePtr& indicator_ring() const { return ring_; }
  // Once both are true, every click finishes the game.
  bool colour_picked() const { return picked_; }
  bool drawing_filled() const { return filled_; }

 private:
  explicit Colouring(const app::Context& context);
  app::Outcome colour_at(int x, int y);
  app::Outcome next_drawing();

  app::Context ctx_;
  Turtle turtle_;
  int drawing_number_ = 1;
  media::PixmapPtr drawing_;  // the turtle's drawing being coloured
  media::PixmapPtr palette_;
  int palette_x_ = 0, palette_y_ = 0;  // palette_x_ is the indicator's too
  int palette_w_ = 0, palette_h_ = 0;
  uint32_t colour_ = 0;
  media::PixmapPtr indicator_;  // recoloured on every pick
  media::ImagePtr ring_;        // drawn over the indicator
  bool picked_ = false;
  bool filled_ = false;
};

}  // namespace activities
