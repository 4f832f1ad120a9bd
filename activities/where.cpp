#include "activities/where.hpp"

#include <algorithm>

#include "activities/still_frame.hpp"
#include "app/start/assets.hpp"
#include "app/shell/furniture.hpp"
#include "media/input/clock.hpp"
#include "media/display/draw.hpp"
#include "media/display/saved_draw_state.hpp"
#include "media/input/events.hpp"

namespace activities {
namespace {

// How many pixels of the piece's home a card of w x h with its top-left corner at (x, y) would hide.
long home_hidden(const Piece& p, int x, int y, int w, int h) {
  const media::ImagePtr& home = p.home_image();
  if (!home || !home->source) return 0;
  const media::Pixmap& px = *home->source;
  const int left = p.x0 - static_cast<int>(home->handle_x), top = p.y0 - static_cast<int>(home->handle_y);
  const int x0 = std::max(x, left), x1 = std::min(x + w, left + px.width);
  const int y0 = std::max(y, top), y1 = std::min(y + h, top + px.height);
  long hidden = 0;
  for (int sy = y0; sy < y1; ++sy) {
    const uint8_t* row = px.row(sy - top);
    for (int sx = x0; sx < x1; ++sx) hidden += row[static_cast<size_t>(sx - left) * 4 + 3] >= 128;
  }
  return hidden;
}

}  // namespace

const PuzzleKind Where::kKind{
    .table = {150, 0, 0}, .outlines = true, .whole_shapes = true, .deal = &puzzle_on_any_cut<Where>};

Where::Where(const app::Context& context, PuzzleParts parts) : Puzzle(context, kKind, std::move(parts)) {
  Where::setup();
}

void Where::setup() {
  hide_all_at_home();
  make_card();
}

void Where::make_card() {
  const app::Assets& s = assets();
  if (!has_picture()) return;
  Piece* chosen = nullptr;
  int count = static_cast<int>(pieces_.size());
  // Drawn at random until a hidden one comes up; after many misses the first hidden one is taken,
  // and with none hidden the card stays as it is.
  for (int tries = 0; tries < 10000 && !chosen; ++tries) {
    Piece* p = pieces_[static_cast<size_t>(media::rand(count, 1) - 1)].get();
    if (!p->visible) chosen = p;
  }
  for (size_t i = 0; i < pieces_.size() && !chosen; ++i)
    if (!pieces_[i]->visible) chosen = pieces_[i].get();
  if (!chosen) return;

  int w = media::image_width(chosen->picture), h = media::image_height(chosen->picture);
  card_.image = media::create_image(w + 50, h + 50, media::IMG_DEFAULT);
  // The piece's centre in the card; a piece cut at the screen's edge keeps its own handle, so
  // its image still starts 25 pixels in.
  int cx = w / 2 + 25, cy = h / 2 + 25;
  if (chosen->picture) {
    cx += static_cast<int>(chosen->picture->handle_x) - w / 2;
    cy += static_cast<int>(chosen->picture->handle_y) - h / 2;
  }
  {
    media::SavedDrawState saved;
    media::set_colour(255, 255, 255);
    media::draw_rect(0, 0, static_cast<float>(w + 50), static_cast<float>(h + 50));
    media::set_colour(255, 192, 255);
    media::draw_rect(5, 5, static_cast<float>(w + 40), static_cast<float>(h + 40));
    media::set_colour(0, 0, 0);
    media::set_alpha(0.2f);
    media::set_blend(media::Blend::Alpha);
    media::draw_image(chosen->picture, static_cast<float>(cx + kShadow), static_cast<float>(cy + kShadow), 0);
  }
  media::draw_image(chosen->picture, static_cast<float>(cx), static_cast<float>(cy), 0);
  media::grab_image(card_.image, 0, 0);

  // The card goes 10 pixels from the screen's edges, to the other side, left or right, from the
  // piece's home and to the same side, top or bottom. A large piece reaches well into the other
  // half, though, and the card would then hide part of the home it asks the child to find: it
  // takes the corner that hides the least of it, the usual one when that hides no more.
  const int card_w = w + 50, card_h = h + 50;
  const int near_x = chosen->x >= s.screen_w / 2 ? 10 : s.screen_w - card_w - 10;
  const int near_y = chosen->y <= s.screen_h / 2 ? 10 : s.screen_h - card_h - 10;
  const int far_x = near_x == 10 ? s.screen_w - card_w - 10 : 10;
  const int far_y = near_y == 10 ? s.screen_h - card_h - 10 : 10;
  const int corners[4][2] = {{near_x, near_y}, {near_x, far_y}, {far_x, near_y}, {far_x, far_y}};
  long least = home_hidden(*chosen, near_x, near_y, card_w, card_h);
  card_.left = near_x;
  card_.top = near_y;
  for (int i = 1; i < 4 && least > 0; ++i) {
    const long hidden = home_hidden(*chosen, corners[i][0], corners[i][1], card_w, card_h);
    if (hidden < least) {
      least = hidden;
      card_.left = corners[i][0];
      card_.top = corners[i][1];
    }
  }
  shown_piece_ = chosen;
}

Where::ClickAction Where::action_at(int x, int y) const {
  const app::Assets& s = assets();
  if (app::point_over(s, card_.image, static_cast<float>(card_.left), static_cast<float>(card_.top), x, y))
    return ClickAction::NewCard;
  // Anywhere on the shown piece's home places it: the whole of its shape, whichever piece comes
  // before it in the list there (neighbours share the pixels along their seam) and however much of
  // its picture is white. A click on any other piece, revealed or hidden, does nothing.
  if (shown_piece_ && !shown_piece_->visible &&
      app::point_over(s, shown_piece_->home_image(), static_cast<float>(shown_piece_->x0), static_cast<float>(shown_piece_->y0), x, y))
    return ClickAction::Place;
  return ClickAction::Nothing;
}

void Where::click_at(int x, int y) {
  switch (action_at(x, y)) {
    case ClickAction::NewCard: make_card(); break;
    case ClickAction::Place:
      shown_piece_->visible = true;
      if (!all_done()) make_card();
      break;
    case ClickAction::Nothing: break;
  }
}

// The card is made anew for each piece shown, so the piece and the card's place say what it shows.
media::FrameCache::Key Where::frame_key() const {
  media::FrameCache::Key key = Puzzle::frame_key();
  key.insert(key.end(), {-1, key_of(shown_piece_), card_.left, card_.top});
  return key;
}

void Where::draw_pieces() const {
  draw_revealed();
  media::draw_image(card_.image, static_cast<float>(card_.left), static_cast<float>(card_.top), 0);
}

}  // namespace activities
