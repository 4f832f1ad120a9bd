#include "activities/bounce.hpp"

#include "app/start/assets.hpp"
#include "app/shell/effects.hpp"
#include "media/input/clock.hpp"
#include "media/display/draw.hpp"
#include "media/display/target.hpp"
#include "media/display/saved_draw_state.hpp"
#include "media/files/log.hpp"

namespace activities {
namespace {

constexpr float kCardScale = 0.17f;
constexpr int kStepMs = 20;  // a step needs strictly more than this since the last one

}  // namespace

std::unique_ptr<BouncingCards> BouncingCards::make(const app::Context& context) {
  const app::Assets& a = context.assets;
  std::unique_ptr<BouncingCards> b(new BouncingCards(context));
  b->last_step_ms_ = media::millisecs();
  b->card_w_ = static_cast<int>(static_cast<float>(a.screen_w) * kCardScale);
  b->card_h_ = static_cast<int>(static_cast<float>(a.screen_h) * kCardScale);
  b->trail_ = media::create_image(a.screen_w, a.screen_h, 0);
  if (!b->trail_) {
    media::log_error("bouncing cards", "cannot start without a screen-sized picture to keep the trails in");
    return nullptr;
  }
  b->clear();
  return b;
}

float BouncingCards::card_scale() const { return kCardScale; }

void BouncingCards::clear() {
  media::ScopedTarget into(trail_);
  media::draw_image(ctx_.assets.sky_image, 0, 0, 0);
  cards_.clear();
}

void BouncingCards::paint_cards() {
  media::ScopedTarget into(trail_);
  media::SavedDrawState saved;
  media::set_scale(kCardScale, kCardScale);
  for (const FlyingCard& c : cards_)
    media::draw_image(c.picture, static_cast<float>(c.left), static_cast<float>(c.top), 0);
}

void BouncingCards::draw() const {
  media::SavedDrawState saved;
  media::set_blend(media::Blend::Solid);
  media::draw_image(trail_, 0, 0, 0);
}

void BouncingCards::throw_from(Side side) {
  const app::Assets& a = ctx_.assets;
  // Without pictures there is nothing to throw.
  if (a.picture_count() == 0) return;
  FlyingCard c;
  c.speed_y = 6;
  if (side == Side::Left) {
    c.left = -card_w_;
    c.speed_x = 6;
  } else {
    c.left = a.screen_w;
    c.speed_x = -6;
  }
  c.top = media::rand(-2 * card_h_, a.screen_h - card_h_ - 75);
  c.picture = a.picture(static_cast<size_t>(media::rand(0, static_cast<int>(a.picture_count()) - 1)));
  throw_card(c);
}

// Every throw from the left counts as a finished game.
app::Outcome BouncingCards::click(const app::PointerInput& at) {
  Side side = at.button == media::Button::Right ? Side::Right : Side::Left;
  if (at.pointer == media::PointerKind::Touch) {
    if (at.button == media::Button::Right) return app::Outcome::Nothing;
    side = at.x < ctx_.assets.screen_w / 2 ? Side::Left : Side::Right;
  }
  throw_from(side);
  return side == Side::Left ? app::Outcome::Finished : app::Outcome::Nothing;
}

app::Outcome BouncingCards::update(int now_ms) {
  const app::Assets& a = ctx_.assets;
  if (now_ms - last_step_ms_ <= kStepMs) return app::Outcome::Nothing;
  std::vector<FlyingCard> kept;
  kept.reserve(cards_.size());
  for (FlyingCard& c : cards_) {
    if (c.top + card_h_ > a.screen_h) {
      c.speed_y = static_cast<int>(0.8 * -c.speed_y);
      c.top = a.screen_h - card_h_ - c.speed_y;
      ctx_.effects.play(app::Effect::Bounce);
    }
    c.left += c.speed_x;
    c.top += c.speed_y;
    bool gone = c.left + card_w_ < 0 || c.left > a.screen_w;
    c.speed_y += 1;
    if (!gone) kept.push_back(std::move(c));
  }
  cards_ = std::move(kept);
  last_step_ms_ = now_ms;
  paint_cards();
  return cards_.empty() ? app::Outcome::Nothing : app::Outcome::Redraw;
}

}  // namespace activities
