#include "activities/bounce.hpp"

#include "app/assets.hpp"
#include "app/effects.hpp"
#include "media/clock.hpp"
#include "media/draw.hpp"

namespace activities {
namespace {

constexpr int kStepMs = 20;  // a step needs strictly more than this since the last one

}  // namespace

void TBounce::init() {
  const app::Assets& a = ctx_.assets;
  scale = 0.17f;
  ms = media::millisecs();
  cards.clear();
  w = static_cast<int>(static_cast<float>(a.screen_w) * scale);
  h = static_cast<int>(static_cast<float>(a.screen_h) * scale);
  trail = media::create_image(a.screen_w, a.screen_h, 0);
}

void TBounce::clear() {
  media::ScopedTarget into(trail);
  media::draw_image(ctx_.assets.sky_image, 0, 0, 0);
  cards.clear();
}

void TBounce::paint_cards() {
  media::ScopedTarget into(trail);
  media::SavedDrawState saved;
  media::set_scale(scale, scale);
  for (const TCard& c : cards) media::draw_image(c.img, static_cast<float>(c.x), static_cast<float>(c.y), 0);
}

void TBounce::draw() const {
  media::SavedDrawState saved;
  media::set_blend(media::Blend::Solid);
  media::draw_image(trail, 0, 0, 0);
}

void TBounce::new_card(Side side) {
  const app::Assets& a = ctx_.assets;
  // Without pictures there is nothing to throw.
  if (a.picture_count() == 0) return;
  TCard c;
  c.dy = 6;
  if (side == Side::Left) {
    c.x = -w;
    c.dx = 6;
  } else {
    c.x = a.screen_w;
    c.dx = -6;
  }
  c.y = media::rand(-2 * h, a.screen_h - h - 75);
  c.img = a.picture(static_cast<size_t>(media::rand(0, static_cast<int>(a.picture_count()) - 1)));
  cards.push_back(c);
}

// Every throw from the left counts as a finished game.
app::Outcome TBounce::click(const app::PointerInput& at) {
  if (at.button == media::Button::Right) {
    new_card(Side::Right);
    return app::Outcome::Nothing;
  }
  new_card(Side::Left);
  return app::Outcome::Finished;
}

app::Outcome TBounce::update(int now_ms) {
  const app::Assets& a = ctx_.assets;
  if (now_ms - ms <= kStepMs) return app::Outcome::Nothing;
  std::vector<TCard> kept;
  kept.reserve(cards.size());
  for (TCard& c : cards) {
    if (c.y + h > a.screen_h) {
      c.dy = static_cast<int>(0.8 * -c.dy);
      c.y = a.screen_h - h - c.dy;
      ctx_.effects.play(app::Effect::Bounce);
    }
    c.x += c.dx;
    c.y += c.dy;
    bool gone = c.x + w < 0 || c.x > a.screen_w;
    c.dy += 1;
    if (!gone) kept.push_back(std::move(c));
  }
  cards = std::move(kept);
  ms = now_ms;
  paint_cards();
  return cards.empty() ? app::Outcome::Nothing : app::Outcome::Redraw;
}

}  // namespace activities
