// Activity 8, pairs: sixteen cards face down in a 4 x 4 grid, eight pictures on two cards each.
// A newly turned card is compared with the card turned just before it; a match stays on show for a
// second, then both cards leave the table. Clearing the table finishes the game.
#pragma once
#include <memory>
#include <vector>

#include "app/shell/activity.hpp"
#include "media/display/draw.hpp"
#include "media/display/image.hpp"

namespace activities {

// One card of the pairs table.
struct PairCard {
  media::ImagePtr picture;  // one of the pictures (shared); cards with the same picture are a pair
  int x = 0, y = 0;         // top-left corner on screen
  bool face_up = false;
  bool taken = false;       // matched and off the table
};

class Pairs : public app::Activity {
 public:
  // Animated only to end the look at a matched pair when its second is up.
  static constexpr app::Traits kTraits{.animated = true,
                                       .again_while_current = app::Again::Restart,
                                       .again_when_finished = app::Again::Restart,
                                       .pictures = 8};
  static constexpr int kCards = 16;
  static constexpr int kNoCard = -1;
  static constexpr int kFrameMargin = 5;     // the frame's margin round a card, also the click margin
  static constexpr int kMatchShownMs = 1000;  // how long a matched pair stays on show

  // Dealt and ready to play. With fewer than eight pictures some lie under more than one pair; with
  // none the table stays empty (the sky only) and clicks do nothing.
  static std::unique_ptr<Pairs> make(const app::Context& context);

  const app::Traits& traits() const override { return kTraits; }
  // A new deal of the same pictures, all face down.
  void setup() override;
  void draw() const override;
  app::Outcome click(const app::PointerInput& at) override;
  // Ends the look at a matched pair once its time is up: the pair leaves the table.
  app::Outcome update(int now_ms) override;
  bool finished() const override { return complete_; }
  // Cards lie on the table: there was at least one picture to deal.
  bool dealt() const { return cards_.front().picture != nullptr; }

  // A seam for tests: the table's pictures laid in grid order instead of the shuffled deal (the
  // cards stay as they lie otherwise).
  void lay_pictures(const std::vector<media::ImagePtr>& in_grid_order);

  // In grid order: top row first, each row left to right.
  const std::vector<PairCard>& cards() const { return cards_; }
  int card_width() const { return card_w_; }
  int card_height() const { return card_h_; }
  // The face-up cards still on the table and not looked at as a match, the earlier turned first:
  // their indexes, or kNoCard.
  int earlier_face_up() const { return earlier_; }
  int later_face_up() const { return later_; }
  const media::ImagePtr& card_back() const { return back_; }
  const media::ImagePtr& card_frame() const { return frame_; }

 private:
  explicit Pairs(const app::Context& context);
  void shuffle();
  void draw_table() const;
  // A matched pair stays on show for kMatchShownMs while the loop holds the child's input back.
  void look_at_match(int a, int b);
  // Takes the pair looked at off the table; Finished when that cleared it (the game is then complete).
  app::Outcome take_pair();

  app::Context ctx_;
  std::vector<PairCard> cards_;
  int card_w_ = 0, card_h_ = 0;
  media::ImagePtr back_, frame_;
  int earlier_ = kNoCard;
  int later_ = kNoCard;
  int match_[2] = {kNoCard, kNoCard};  // the matched pair on show; kNoCard when no look is under way
  int match_until_ms_ = 0;             // when its look ends
  bool complete_ = false;
  mutable media::FrameCache drawn_;  // the table as last drawn, while nothing on it changes
};

}  // namespace activities
