// Activity 3, bouncing cards: each click throws a small picture card in from the side; cards fall,
// bounce along the floor and leave by the far side. Nothing is repainted behind them, so every card
// leaves a trail until the activity is cleared.
#pragma once
#include <string>
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
  float scale = 0.0f;        // cards are drawn at 0.17
  int ms = 0;                // clock at the end of the last step
  std::vector<TCard> cards;  // oldest first, so newer cards lie on top
  int w = 0, h = 0;          // card size used by the physics (screen size times scale)

  int init();
  int clear() override;
  int draw() override;
  int update() override;
  int left_click() override;
  int right_click() override;
  int new_card(const std::string& side);
};

}  // namespace activities
