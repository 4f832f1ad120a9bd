#include "activities/pairs.hpp"

#include <memory>
#include <string>
#include <utility>

#include "app/furniture.hpp"
#include "app/loop.hpp"
#include "app/shell.hpp"
#include "media/clock.hpp"
#include "media/draw.hpp"
#include "media/log.hpp"

namespace activities {

int TPairs::init() {
  const app::Shell& s = app::shell();
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
  size_t n = s.pictures.count();
  if (n < 8)
    media::log_error("pairs", "only " + std::to_string(n) + " pictures for eight pairs" +
                                  (n ? "; some are used more than once" : "; the table stays empty"));
  size_t j = 0;
  for (int r = 1; r <= 4; ++r)
    for (int c = 1; c <= 4; ++c) {
      TCard1 card;
      card.x = gx + (c - 1) * (w + gx);
      card.y = gy + (r - 1) * (h + gy);
      card.img = n ? s.pictures.image(j % n) : nullptr;
      cards.push_back(std::move(card));
      if (app::is_even(c)) ++j;
    }
  return 0;
}

int TPairs::setup() {
  for (TCard1& c : cards) c.visible = c.found = 0;
  shuffle();
  first = second = nullptr;
  complete = 0;
  return 0;
}

int TPairs::shuffle() {
  int n = static_cast<int>(cards.size());
  for (int i = 0; i < n; ++i) {
    int a = media::rand(0, n - 1);
    int b = media::rand(0, n - 1);
    std::swap(cards[a].img, cards[b].img);
  }
  return 0;
}

int TPairs::draw() {
  const app::Shell& s = app::shell();
  media::draw_image(s.sky_image, 0, 0, 0);
  if (!dealt()) return 0;
  media::set_colour(255, 255, 255);
  for (const TCard1& c : cards) {
    if (c.found) continue;
    if (c.visible) {
      media::set_scale(scale, scale);
      media::draw_image(c.img, c.x, c.y, 0);
      media::set_scale(1, 1);
    } else {
      media::set_blend(media::SOLID);
      media::draw_image(back, c.x, c.y, 0);
    }
    media::set_blend(media::ALPHA);
    media::draw_image(frame, c.x - d, c.y - d, 0);
    media::set_blend(s.default_blend);
  }
  if (completed()) app::draw_corner_button();
  return 0;
}

// The table with the newly turned card face up, held on screen while the program waits.
void TPairs::show_match() {
  draw();
  media::present(1);
  media::delay(ms);
}

int TPairs::left_click() {
  if (!dealt()) return 0;
  if (completed()) {
    app::shell().restart_requested = app::corner_button_hit();
    return 0;
  }
  TCard1* card = nullptr;
  for (TCard1& c : cards)
    if (app::mouse_in(c.x - d, c.y - d, c.x + w + d, c.y + h + d)) {
      card = &c;
      break;
    }
  if (!card || card->visible) return 0;  // a gap, a face-up card or a found card's place
  card->visible = 1;
  if (!first) {
    first = card;
  } else if (!second) {
    if (card->img == first->img) {
      show_match();
      first->found = card->found = 1;
      first = nullptr;
      completed();
    } else {
      second = card;
    }
  } else {
    first->visible = 0;  // the older card turns back; the new one is compared with the later one
    first = second;
    second = card;
    if (first->img == second->img) {
      show_match();
      first->found = second->found = 1;
      first = second = nullptr;
      completed();
    }
  }
  return 0;
}

int TPairs::completed() {
  if (complete) return 1;
  if (!dealt()) return 0;
  for (const TCard1& c : cards)
    if (!c.found) return 0;
  complete = 1;
  app::play_magic();
  app::unlock();
  return 1;
}

}  // namespace activities
