// Activity 3, bouncing cards: each click (or finger) throws a small picture card in from the side; cards fall,
// bounce along the floor and leave by the far side. Every step paints the cards where they are into
// a picture of the sky that is never repainted, so every card leaves a trail until the activity is
// cleared; every choice of the activity clears it.
#pragma once
#include <memory>
#include <vector>

#include "app/shell/activity.hpp"
#include "media/display/image.hpp"

namespace activities {

struct FlyingCard {
  media::ImagePtr picture;
  int left = 0, top = 0;           // top-left corner on screen
  int speed_x = 0, speed_y = 0;    // pixels per step; speed_y positive downwards
};

class BouncingCards : public app::Activity {
 public:
  static constexpr app::Traits kTraits{.pointer_shown = false,
                                       .animated = true,
                                       .wants_right_clicks = true,
                                       .thinking_while_made = false,
                                       .clear_when_help_closes = true,
                                       .fingers_each_click = true,
                                       .again_while_current = app::Again::Clear,
                                       .again_coming_back = app::Again::Clear,
                                       .again_when_finished = app::Again::Clear,
                                       .pictures = app::kEveryPicture};

  // An empty sky, its steps timed from now; none when there is no picture to keep the trails in.
  static std::unique_ptr<BouncingCards> make(const app::Context& context);

  const app::Traits& traits() const override { return kTraits; }
  // An empty sky.
  void clear() override;
  void draw() const override;
  app::Outcome update(int now_ms) override;
  // A left click throws a card from the left, a right click one from the right. A finger throws
  // from the side of the screen it touches, each finger its own card; a finger held still throws
  // no second one (its long press, a right click, is nothing here).
  app::Outcome click(const app::PointerInput& at) override;
  // Puts a card in flight where and as fast as it says; the next step moves it and paints it.
  void throw_card(const FlyingCard& card) { cards_.push_back(card); }

  // The cards in flight, oldest first, so newer cards lie on top.
  const std::vector<FlyingCard>& cards() const { return cards_; }
  // A card's size as the flight knows it: the screen's times the scale cards are drawn at.
  int card_width() const { return card_w_; }
  int card_height() const { return card_h_; }
  float card_scale() const;
  // The clock at the end of the last step (when the activity was made, before the first).
  int last_step_ms() const { return last_step_ms_; }

 private:
  enum class Side { Left, Right };

  explicit BouncingCards(const app::Context& context) : ctx_(context) {}
  void throw_from(Side side);
  // Paints every card where it is now into the trail.
  void paint_cards();

  app::Context ctx_;
  int last_step_ms_ = 0;
  std::vector<FlyingCard> cards_;
  int card_w_ = 0, card_h_ = 0;
  media::ImagePtr trail_;  // the sky with every card painted in at every step so far
};

}  // namespace activities
