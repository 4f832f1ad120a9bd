// Activity 2, counting balls: numbered balls scattered one per cell of an invisible grid are
// touched with the pointer in order. 9 balls in the first game, one more per finished game, up to 20.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/activity.hpp"
#include "media/draw.hpp"
#include "media/image.hpp"

namespace activities {

struct TBall {
  media::ImagePtr img;   // normal look
  media::ImagePtr glow;  // just counted, or game complete
  media::ImagePtr red;   // touched out of order
  int xc = 0, yc = 0;    // centre on screen
  uint8_t n = 0;         // the ball's number, 1..20

  void init(const std::string& data_dir, int number);
};

class TCount : public app::Activity {
 public:
  static constexpr app::Traits kTraits{.wants_moves = true, .again_while_current = app::Again::Restart};

  explicit TCount(const app::Context& context) : ctx_(context) {}

  std::vector<TBall> balls;  // all twenty, in a random order fixed at init
  uint8_t n = 0;             // balls in play this game, 9..20 (0 before the first setup)
  int radius = 0;            // half of ball 20's width: kept between a centre and its cell's edges
  uint8_t current = 0;       // highest number counted in this attempt; 0 = not started
  bool done = false;         // the game is complete
  int red = 0;               // number of the ball shown red after a wrong touch; 0 = none

  const app::Traits& traits() const override { return kTraits; }
  void init();
  void setup() override;
  void draw() const override;
  app::Outcome move(const app::PointerInput& to) override;

  // The look a ball is drawn with: red after a wrong touch, glowing when just counted or when the
  // game is complete, else normal.
  const media::ImagePtr& look(const TBall& b) const;
  // The ball with that number; none when out of range.
  const TBall* ball(int number) const;

 private:
  void draw_balls() const;

  app::Context ctx_;
  mutable media::FrameCache drawn_;  // the balls as last drawn, while none changes its look or place
};

}  // namespace activities
