#include "activities/pairs.hpp"

#include <string>
#include <utility>

#include "activities/still_frame.hpp"
#include "app/assets.hpp"
#include "app/effects.hpp"
#include "app/furniture.hpp"
#include "media/clock.hpp"
#include "media/draw.hpp"
#include "media/log.hpp"

namespace activities {

void TPairs::init() {
  const app::Assets& s = ctx_.assets;
  frame = media::load_image(s.data_dir + "pairs/frame.png", media::IMG_DEFAULT);
  back = media::load_image(s.data_dir + "pairs/back.jpg", media::IMG_DEFAULT);
  cards.clear();
  first = second = nullptr;
  scale = 0.21f;
  d = 5;
  ms = 1000;
  w = static_cast<int>(static_cast<double>(scale) * s.screen_w);
  h = static_cast<int>(static_cast<double>(scale) * s.screen_h);
  int gx = (s.screen_w - 4 * w) / 5, gy = (s.screen_h - 4 * h) / 5;

  // Pictures 0 0 1 1 / 2 2 3 3 / ... before shuffling. With fewer than eight pictures the indexes
  // wrap round the list, so every picture still lies under an even number of cards.
  size_t n = s.picture_count();
  if (n < 8)
    media::log_error("pairs", "only " + std::to_string(n) + " pictures for eight pairs" +
                                  (n ? "; some are used more than once" : "; the table stays empty"));
  size_t j = 0;
  for (int r = 1; r <= 4; ++r)
    for (int c = 1; c <= 4; ++c) {
      TCard1 card;
      card.x = gx + (c - 1) * (w + gx);
      card.y = gy + (r - 1) * (h + gy);
      card.img = n ? s.picture(j % n) : nullptr;
      cards.push_back(std::move(card));
      if (app::is_even(c)) ++j;
    }
}

void TPairs::setup() {
  for (TCard1& c : cards) c.visible = c.found = false;
  shuffle();
  first = second = nullptr;
  match_[0] = match_[1] = nullptr;
  complete = false;
}

void TPairs::shuffle() {
  int n = static_cast<int>(cards.size());
  for (int i = 0; i < n; ++i) {
    int a = media::rand(0, n - 1);
    int b = media::rand(0, n - 1);
    std::swap(cards[a].img, cards[b].img);
  }
}

// The table changes only on a click, but is drawn again for every pointer move: the last drawing is
// kept and copied back while the cards lie as they did. Only a sky covering the screen makes a
// drawing whole enough to keep.
void TPairs::draw() const {
  const media::ImagePtr& sky = ctx_.assets.sky_image;
  if (!covers_screen(sky, ctx_.assets)) {
    drawn_.forget();
    draw_table();
    return;
  }
  auto id = [](const auto& p) { return key_of(p.get()); };
  media::FrameCache::Key key{id(sky), id(back), id(frame), dealt(), complete, d, static_cast<std::intptr_t>(scale * 1e6f),
                             key_of(&ctx_.assets), id(ctx_.assets.smiley_image)};
  for (const TCard1& c : cards) {
    for (std::intptr_t v : {id(c.img), static_cast<std::intptr_t>(c.x), static_cast<std::intptr_t>(c.y),
                            static_cast<std::intptr_t>(c.visible), static_cast<std::intptr_t>(c.found)})
      key.push_back(v);
  }
  if (drawn_.put_back(key)) return;
  draw_table();
  drawn_.keep(std::move(key));
}

void TPairs::draw_table() const {
  media::draw_image(ctx_.assets.sky_image, 0, 0, 0);
  if (!dealt()) return;
  for (const TCard1& c : cards) {
    if (c.found) continue;
    media::SavedDrawState saved;
    if (c.visible) {
      media::SavedDrawState scaled;
      media::set_scale(scale, scale);
      media::draw_image(c.img, c.x, c.y, 0);
    } else {
      media::set_blend(media::Blend::Solid);
      media::draw_image(back, c.x, c.y, 0);
    }
    media::set_blend(media::Blend::Alpha);
    media::draw_image(frame, c.x - d, c.y - d, 0);
  }
  if (complete) app::draw_corner_button(ctx_.assets);
}

void TPairs::look_at_match(TCard1& a, TCard1& b) {
  match_[0] = &a;
  match_[1] = &b;
  match_until_ms_ = media::millisecs() + ms;
  ctx_.requests.hold_input(ms);
}

app::Outcome TPairs::take_pair() {
  match_[0]->found = match_[1]->found = true;
  match_[0] = match_[1] = nullptr;
  for (const TCard1& c : cards)
    if (!c.found) return app::Outcome::Redraw;
  complete = true;
  ctx_.effects.play(app::Effect::Magic);
  return app::Outcome::Finished;
}

app::Outcome TPairs::update(int now_ms) {
  if (!match_[0] || now_ms < match_until_ms_) return app::Outcome::Nothing;
  return take_pair();
}

app::Outcome TPairs::click(const app::PointerInput& at) {
  if (!dealt()) return app::Outcome::Nothing;
  // The loop holds clicks back while a pair is looked at; one that comes anyway ends the look first.
  app::Outcome ended = match_[0] ? take_pair() : app::Outcome::Nothing;
  if (complete) {
    if (ended == app::Outcome::Finished) return ended;
    return app::corner_button_hit(ctx_.assets, at.x, at.y) ? app::Outcome::Restart : app::Outcome::Nothing;
  }
  TCard1* card = nullptr;
  for (TCard1& c : cards)
    if (app::point_in(at.x, at.y, c.x - d, c.y - d, c.x + w + d, c.y + h + d)) {
      card = &c;
      break;
    }
  if (!card || card->visible) return ended;  // a gap, a face-up card or a found card's place
  card->visible = true;
  if (!first) {
    first = card;
  } else if (!second) {
    if (card->img == first->img) {
      look_at_match(*first, *card);
      first = nullptr;
    } else {
      second = card;
    }
  } else {
    first->visible = false;  // the older card turns back; the new one is compared with the later one
    first = second;
    second = card;
    if (first->img == second->img) {
      look_at_match(*first, *second);
      first = second = nullptr;
    }
  }
  return app::Outcome::Redraw;
}

}  // namespace activities
