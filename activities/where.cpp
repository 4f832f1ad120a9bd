#include "activities/where.hpp"

#include "activities/still_frame.hpp"
#include "app/assets.hpp"
#include "app/furniture.hpp"
#include "media/clock.hpp"
#include "media/draw.hpp"
#include "media/events.hpp"

namespace activities {

void TWhere::setup() {
  hide_all_at_home();
  make_card();
}

void TWhere::make_card() {
  const app::Assets& s = assets();
  if (!has_picture()) return;
  TPiece* chosen = nullptr;
  int count = static_cast<int>(pieces_.size());
  // Drawn at random until a hidden one comes up; after many misses the first hidden one is taken,
  // and with none hidden the card stays as it is.
  for (int tries = 0; tries < 10000 && !chosen; ++tries) {
    TPiece* p = pieces_[static_cast<size_t>(media::rand(count, 1) - 1)].get();
    if (!p->visible) chosen = p;
  }
  for (size_t i = 0; i < pieces_.size() && !chosen; ++i)
    if (!pieces_[i]->visible) chosen = pieces_[i].get();
  if (!chosen) return;

  int w = media::image_width(chosen->img), h = media::image_height(chosen->img);
  card_.img = media::create_image(w + 50, h + 50, media::IMG_DEFAULT);
  // The piece's centre in the card; a piece cut at the screen's edge keeps its own handle, so
  // its image still starts 25 pixels in.
  int cx = w / 2 + 25, cy = h / 2 + 25;
  if (chosen->img) {
    cx += static_cast<int>(chosen->img->handle_x) - w / 2;
    cy += static_cast<int>(chosen->img->handle_y) - h / 2;
  }
  {
    media::SavedDrawState saved;
    media::set_colour(255, 255, 255);
    media::draw_rect(0, 0, static_cast<float>(w + 50), static_cast<float>(h + 50));
    media::set_colour(255, 192, 255);
    media::draw_rect(5, 5, static_cast<float>(w + 40), static_cast<float>(h + 40));
    media::set_colour(0, 0, 0);
    media::set_alpha(0.2f);
    media::set_blend(media::ALPHA);
    media::draw_image(chosen->img, static_cast<float>(cx + kShadow), static_cast<float>(cy + kShadow), 0);
  }
  media::draw_image(chosen->img, static_cast<float>(cx), static_cast<float>(cy), 0);
  media::grab_image(card_.img, 0, 0);

  int card_w = w + 50, card_h = h + 50;
  card_.x = chosen->x >= s.screen_w / 2 ? 10 : s.screen_w - card_w - 10;
  card_.y = chosen->y <= s.screen_h / 2 ? 10 : s.screen_h - card_h - 10;
  shown_ = chosen;
}

TWhere::ClickAction TWhere::action_at(int x, int y) const {
  const app::Assets& s = assets();
  if (app::point_over(s, card_.img, static_cast<float>(card_.x), static_cast<float>(card_.y), x, y))
    return ClickAction::NewCard;
  // The first piece in list order whose image at home lies there decides, revealed or not.
  for (const auto& p : pieces_) {
    if (!app::point_over(s, p->img, static_cast<float>(p->x0), static_cast<float>(p->y0), x, y)) continue;
    return !p->visible && p.get() == shown_ ? ClickAction::Place : ClickAction::Nothing;
  }
  return ClickAction::Nothing;
}

void TWhere::click() {
  switch (action_at(media::mouse_x(), media::mouse_y())) {
    case ClickAction::NewCard: make_card(); break;
    case ClickAction::Place:
      shown_->visible = true;
      if (!completed()) make_card();
      break;
    case ClickAction::Nothing: break;
  }
}

// The card is made anew for each piece shown, so the piece and the card's place say what it shows.
media::FrameCache::Key TWhere::frame_key() const {
  media::FrameCache::Key key = TPuzzle::frame_key();
  key.insert(key.end(), {-1, key_of(shown_), card_.x, card_.y});
  return key;
}

void TWhere::draw_pieces() {
  draw_revealed();
  media::draw_image(card_.img, static_cast<float>(card_.x), static_cast<float>(card_.y), 0);
}

}  // namespace activities
