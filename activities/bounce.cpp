#include "activities/bounce.hpp"

#include <memory>

#include "app/furniture.hpp"
#include "app/shell.hpp"
#include "media/clock.hpp"
#include "media/draw.hpp"

namespace activities {
namespace {

constexpr int kStepMs = 20;  // a step needs strictly more than this since the last one

}  // namespace

int TBounce::init() {
  const app::Shell& s = app::shell();
  scale = 0.17f;
  ms = media::millisecs();
  cards.clear();
  w = static_cast<int>(static_cast<float>(s.screen_w) * scale);
  h = static_cast<int>(static_cast<float>(s.screen_h) * scale);
  return 0;
}

int TBounce::clear() {
  const app::Shell& s = app::shell();
  // The sky goes into both buffers, so the old trails vanish whichever one is shown.
  media::draw_image(s.sky_image, 0, 0, 0);
  media::present(1);
  media::draw_image(s.sky_image, 0, 0, 0);
  cards.clear();
  return 0;
}

int TBounce::draw() {
  // Each position goes into both buffers: drawn, presented, drawn again. Nothing is cleared
  // underneath, which is what leaves the trails.
  media::set_scale(scale, scale);
  for (const TCard& c : cards) media::draw_image(c.img, static_cast<float>(c.x), static_cast<float>(c.y), 0);
  media::present(1);
  for (const TCard& c : cards) media::draw_image(c.img, static_cast<float>(c.x), static_cast<float>(c.y), 0);
  media::set_scale(1, 1);
  return 0;
}

int TBounce::new_card(const std::string& side) {
  const app::Shell& s = app::shell();
  // Without pictures there is nothing to throw.
  if (s.pictures.count() == 0) return 0;
  TCard c;
  c.dy = 6;
  if (side == "left") {
    c.x = -w;
    c.dx = 6;
  } else {
    c.x = s.screen_w;
    c.dx = -6;
  }
  c.y = media::rand(-2 * h, s.screen_h - h - 75);
  c.img = s.pictures.image(static_cast<size_t>(media::rand(0, static_cast<int>(s.pictures.count()) - 1)));
  cards.push_back(c);
  return 0;
}

int TBounce::left_click() { return new_card("left"); }

int TBounce::right_click() { return new_card("right"); }

int TBounce::update() {
  app::Shell& s = app::shell();
  if (media::millisecs() - ms <= kStepMs) return 0;
  std::vector<TCard> kept;
  kept.reserve(cards.size());
  for (TCard& c : cards) {
    if (c.y + h > s.screen_h) {
      c.dy = static_cast<int>(0.8 * -c.dy);
      c.y = s.screen_h - h - c.dy;
      app::play_bounce();
    }
    c.x += c.dx;
    c.y += c.dy;
    bool gone = c.x + w < 0 || c.x > s.screen_w;
    c.dy += 1;
    if (!gone) kept.push_back(std::move(c));
  }
  cards = std::move(kept);
  if (!cards.empty()) s.redraw_needed = true;
  ms = media::millisecs();
  return 0;
}

}  // namespace activities
