// Activity 2, counting balls: numbered balls scattered one per cell of an invisible grid are
// touched with the pointer in order. 9 balls in the first game, one more per finished game, up to 20.
#pragma once
#include <memory>
#include <vector>

#include "app/shell/activity.hpp"
#include "media/display/draw.hpp"
#include "media/display/image.hpp"

namespace activities {

struct Ball {
  int number = 0;            // 1..20
  media::ImagePtr normal;    // the usual look
  media::ImagePtr glowing;   // just counted, or game complete
  media::ImagePtr wrong;     // touched out of order
  int centre_x = 0, centre_y = 0;  // on screen; (0, 0) until a game first has it in play
};

class CountingBalls : public app::Activity {
 public:
  static constexpr app::Traits kTraits{.wants_moves = true, .again_while_current = app::Again::Restart};
  static constexpr int kBalls = 20;
  static constexpr int kFirstGameBalls = 9;

  // The balls with the first game (nine of them) laid out; none when a ball's looks are missing.
  static std::unique_ptr<CountingBalls> make(const app::Context& context);

  const app::Traits& traits() const override { return kTraits; }
  // A new game: one ball more than the last when that was complete (up to twenty), else as many.
  void setup() override;
  void draw() const override;
  app::Outcome move(const app::PointerInput& to) override;

  // All twenty balls, in a random order fixed when the activity is made.
  const std::vector<Ball>& balls() const { return balls_; }
  // The ball with that number; none when out of range.
  const Ball* ball(int number) const;
  // Balls in play this game, 9..20: numbers 1 to that.
  int balls_in_play() const { return in_play_; }
  // Highest number counted in this attempt; 0 before ball 1.
  int last_counted() const { return last_counted_; }
  bool game_complete() const { return complete_; }
  // The number of the ball shown red after a wrong touch; 0 for none.
  int wrong_ball() const { return wrong_ball_; }
  // Half of ball 20's width: the distance kept between a centre and its cell's edges.
  int ball_radius() const { return ball_radius_; }

  // The look a ball is drawn with.
  const media::ImagePtr& look(const Ball& b) const { return look(b, wrong_ball_, last_counted_, complete_); }
  // Red after a wrong touch, glowing when just counted or when the game is complete, else normal.
  static const media::ImagePtr& look(const Ball& b, int wrong_ball, int last_counted, bool complete);

 private:
  explicit CountingBalls(const app::Context& context) : ctx_(context) {}
  void lay_out();
  void draw_balls() const;

  app::Context ctx_;
  std::vector<Ball> balls_;
  int in_play_ = kFirstGameBalls;
  int ball_radius_ = 0;
  int last_counted_ = 0;
  bool complete_ = false;
  int wrong_ball_ = 0;
  mutable media::FrameCache drawn_;  // the balls as last drawn, while none changes its look or place
};

}  // namespace activities
