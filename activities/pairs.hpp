// Activity 8, pairs: sixteen cards face down in a 4 x 4 grid, eight pictures on two cards each.
// A newly turned card is compared with the card turned just before it; a match stays on show for a
// second, then both cards leave the table. Clearing the table finishes the game.
#pragma once
#include <vector>

#include "app/activity.hpp"
#include "media/draw.hpp"
#include "media/image.hpp"

namespace activities {

struct TCard1 {
  media::ImagePtr img;   // one of the pictures (shared); cards with the same img are a pair
  int x = 0, y = 0;      // top-left corner on screen
  bool visible = false;  // face up
  bool found = false;    // matched and off the table
};

class TPairs : public app::Activity {
 public:
  // Animated only to end the look at a matched pair when its second is up.
  static constexpr app::Traits kTraits{.animated = true,
                                       .again_while_current = app::Again::Restart,
                                       .again_when_finished = app::Again::Restart,
                                       .pictures = 8};

  explicit TPairs(const app::Context& context) : ctx_(context) {}
  TPairs(const TPairs&) = delete;  // first and second point into cards
  TPairs& operator=(const TPairs&) = delete;

  std::vector<TCard1> cards;  // grid order: top row first, each row left to right
  int w = 0, h = 0;           // card size: 215 x 161
  float scale = 0.0f;         // card size as a share of the screen; pictures are drawn at this scale
  media::ImagePtr back, frame;
  int d = 0;                  // the frame's margin around a card, also the click margin
  TCard1* first = nullptr;    // the earlier of the face-up unmatched cards
  TCard1* second = nullptr;   // the later of them
  int ms = 0;                 // how long a matched pair stays on show
  bool complete = false;

  const app::Traits& traits() const override { return kTraits; }
  void init();
  void setup() override;
  void draw() const override;
  app::Outcome click(const app::PointerInput& at) override;
  // Ends the look at a matched pair once its time is up: the pair leaves the table.
  app::Outcome update(int now_ms) override;
  bool finished() const override { return complete; }
  void shuffle();

  // False when there were no pictures to deal: the table then shows only the sky.
  bool dealt() const { return !cards.empty() && cards.front().img != nullptr; }

 private:
  void draw_table() const;
  // A matched pair stays on show for ms while the loop holds the child's input back.
  void look_at_match(TCard1& a, TCard1& b);
  // Takes the pair looked at off the table; Finished when that cleared it (the game is then complete).
  app::Outcome take_pair();

  app::Context ctx_;
  TCard1* match_[2] = {nullptr, nullptr};  // the matched pair on show; none when no look is under way
  int match_until_ms_ = 0;                 // when its look ends
  mutable media::FrameCache drawn_;  // the table as last drawn, while nothing on it changes
};

}  // namespace activities
