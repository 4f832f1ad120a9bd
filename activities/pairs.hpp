// Activity 8, pairs: sixteen cards face down in a 4 x 4 grid, eight pictures on two cards each.
// A newly turned card is compared with the card turned just before it; a match stays on show for a
// second, then both cards leave the table. Clearing the table finishes the game.
#pragma once
#include <vector>

#include "app/activity.hpp"
#include "media/image.hpp"

namespace activities {

struct TCard1 {
  media::ImagePtr img;  // one of the shell's pictures (shared); cards with the same img are a pair
  int x = 0, y = 0;     // top-left corner on screen
  int visible = 0;      // face up
  int found = 0;        // matched and off the table
};

class TPairs : public app::Activity {
 public:
  TPairs() = default;
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
  int complete = 0;

  int init();
  int setup() override;
  int draw() override;
  int left_click() override;
  int completed() override;
  int shuffle();
  int complete_flag() const override { return complete; }

  // False when there were no pictures to deal: the table then shows only the sky.
  bool dealt() const { return !cards.empty() && cards.front().img != nullptr; }

 private:
  void show_match();
};

}  // namespace activities
