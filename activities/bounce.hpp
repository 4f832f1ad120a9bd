// Activity 3, bouncing cards: each click throws a small picture card in from the side; cards fall,
// bounce along the floor and leave by the far side. Every step paints the cards where they are into
// a picture of the sky that is never repainted, so every card leaves a trail until the activity is
// cleared; every choice of the activity clears it.
#pragma once
#include <vector>

#include "app/activity.hpp"
#include "media/image.hpp"

namespace activities {

struct TCard {
  media::ImagePtr img;
  int x = 0, y = 0;    // top-left corner on screen
  int dx = 0, dy = 0;  // pixels per step; dy positive downwards
};

class TBounce : public app::Activity {
 public:
  static constexpr app::Traits kTraits{.pointer_shown = false,
                                       .animated = true,
                                       .wants_right_clicks = true,
                                       .thinking_while_made = false,
                                       .clear_when_help_closes = true,
                                       .again_while_current = app::Again::Clear,
                                       .again_coming_back = app::Again::Clear,
                                       .again_when_finished = app::Again::Clear,
                                       .pictures = app::kEveryPicture};

  enum class Side { Left, Right };

  explicit TBounce(const app::Context& context) : ctx_(context) {}

  float scale = 0.0f;        // cards are drawn at 0.17
  int ms = 0;                // clock at the end of the last step
  std::vector<TCard> cards;  // oldest first, so newer cards lie on top
  int w = 0, h = 0;          // card size used by the physics (screen size times scale)
  media::ImagePtr trail;     // the sky with every card painted in at every step so far

  const app::Traits& traits() const override { return kTraits; }
  void init();
  // A new game is an empty sky.
  void setup() override { clear(); }
  void clear() override;
  void draw() const override;
  app::Outcome update(int now_ms) override;
  // A left click throws a card from the left, a right click one from the right.
  app::Outcome click(const app::PointerInput& at) override;
  void new_card(Side side);

 private:
  // Paints every card where it is now into the trail.
  void paint_cards();

  app::Context ctx_;
};

}  // namespace activities
