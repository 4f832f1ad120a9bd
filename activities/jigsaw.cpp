#include "activities/jigsaw.hpp"

#include <algorithm>
#include <cstdlib>

#include "activities/still_frame.hpp"
#include "app/start/assets.hpp"
#include "app/shell/effects.hpp"
#include "app/shell/furniture.hpp"
#include "media/input/clock.hpp"
#include "media/display/draw.hpp"
#include "media/display/saved_draw_state.hpp"
#include "media/input/events.hpp"

namespace activities {

// A plain pink table: the pieces are carried home over it, with no outlines to show the way.
const PuzzleKind Jigsaw::kKind{.table = {255, 192, 255}, .deal = &puzzle_on_any_cut<Jigsaw>};

Jigsaw::Jigsaw(const app::Context& context, PuzzleParts parts) : Puzzle(context, kKind, std::move(parts)) {
  Jigsaw::setup();
}

void Jigsaw::setup() {
  const app::Assets& s = assets();
  for (auto& p : pieces_) {
    p->x = media::rand(0, s.screen_w - media::image_width(p->picture) / 2);
    p->y = media::rand(0, s.screen_h - media::image_height(p->picture) / 2);
    p->visible = true;
    p->group = 0;
    p->fixed = false;
  }
  carried_ = nullptr;
  next_group_ = 1;
  hiding_loose_ = false;
}

app::Outcome Jigsaw::right_click() {
  if (has_picture() && !carried_by_finger()) hiding_loose_ = !hiding_loose_;
  return app::Outcome::Nothing;
}

app::Outcome Jigsaw::click(const app::PointerInput& at) {
  if (at.button == media::Button::Left && !carried_) by_finger_ = at.pointer == media::PointerKind::Touch;
  return Puzzle::click(at);
}

void Jigsaw::click_at(int x, int y) {
  if (carried_)
    put_down(x, y);
  else
    pick_up(x, y);
}

bool Jigsaw::release_at(int x, int y) {
  if (!carried_by_finger()) return false;
  put_down(x, y);
  return true;
}

app::Outcome Jigsaw::move(const app::PointerInput& to) {
  if (!carried_) return app::Outcome::Nothing;
  place_carried(to.x, to.y);
  return app::Outcome::Redraw;
}

void Jigsaw::pick_up(int x, int y) {
  for (auto it = pieces_.rbegin(); it != pieces_.rend(); ++it) {
    Piece& p = **it;
    if (p.fixed || !app::point_over(assets(), p.picture, static_cast<float>(p.x), static_cast<float>(p.y), x, y))
      continue;
    carried_ = &p;
    carry_dx_ = p.x - x;
    carry_dy_ = p.y - y;
    align_group(p);
    raise_group(p.group);
    return;
  }
}

void Jigsaw::put_down(int x, int y) {
  Piece* p = carried_;
  p->x = x + carry_dx_;
  p->y = y + carry_dy_;
  auto at = std::find_if(pieces_.begin(), pieces_.end(), [p](const auto& q) { return q.get() == p; });
  std::unique_ptr<Piece> owned = std::move(*at);
  pieces_.erase(at);
  pieces_.push_back(std::move(owned));
  carried_ = nullptr;
  join_neighbours(*p);
  if (p->group > 0) {
    for (size_t i = 0; i < pieces_.size(); ++i)
      if (pieces_[i]->group == p->group) join_neighbours(*pieces_[i]);
    raise_group(p->group);
    align_group(*p);
  }
  fix_near_home();
}

void Jigsaw::fix_near_home() {
  for (auto& p : pieces_) {
    if (p->fixed || std::abs(p->x - p->x0) >= kMargin || std::abs(p->y - p->y0) >= kMargin) continue;
    p->fixed = true;
    effects().play(app::Effect::Click);
  }
  // Every fixed piece goes home and to the front, each in turn, so the last one visited ends
  // first; a piece moved to the front is not visited again.
  for (size_t i = 0; i < pieces_.size(); ++i) {
    if (!pieces_[i]->fixed) continue;
    Piece& p = *pieces_[i];
    p.x = p.x0;
    p.y = p.y0;
    std::rotate(pieces_.begin(), pieces_.begin() + static_cast<std::ptrdiff_t>(i),
                pieces_.begin() + static_cast<std::ptrdiff_t>(i) + 1);
  }
}

void Jigsaw::align_group(const Piece& p) {
  if (p.group == 0) return;
  for (auto& q : pieces_) {
    if (q.get() == &p || q->group != p.group) continue;
    q->x = q->x0 + (p.x - p.x0);
    q->y = q->y0 + (p.y - p.y0);
  }
}

void Jigsaw::raise_group(int g) {
  if (g == 0) return;
  std::stable_partition(pieces_.begin(), pieces_.end(), [g](const auto& p) { return p->group != g; });
}

void Jigsaw::join_neighbours(Piece& p) {
  int r = p.row, c = p.col;
  auto try_with = [&](bool exists, int row, int col) {
    if (!exists) return;
    if (Piece* q = piece_at(row, col)) join_if_fitting(p, *q);
  };
  try_with(r > 0, r - 1, c);
  try_with(r < rows() - 1, r + 1, c);
  try_with(c > 0, r, c - 1);
  try_with(c < cols() - 1, r, c + 1);
}

void Jigsaw::join_if_fitting(Piece& a, Piece& b) {
  if (a.group == b.group && b.group > 0) return;
  int ex = (a.x0 - b.x0) - (a.x - b.x);
  int ey = (a.y0 - b.y0) - (a.y - b.y);
  if (std::abs(ex) >= kMargin || std::abs(ey) >= kMargin) return;
  if (a.group == 0 && b.group == 0) {
    a.group = b.group = next_group_++;
  } else if (a.group == 0) {
    a.group = b.group;
  } else if (b.group == 0) {
    b.group = a.group;
  } else {
    int old = a.group;
    for (auto& q : pieces_)
      if (q->group == old) q->group = b.group;
  }
}

// Redrawn for every pointer move while a piece is carried: the table with the pieces lying still
// is kept and copied back while none of them moves, and only the carried ones are drawn anew.
void Jigsaw::draw() const {
  if (finished() || !has_picture()) {
    Puzzle::draw();
    return;
  }
  media::FrameCache::Key key;
  key.reserve(3 * pieces_.size());
  for (const auto& p : pieces_) {
    if (is_carried(*p) || (hiding_loose_ && !p->fixed)) continue;
    key.push_back(key_of(p->picture.get()));
    key.push_back(p->x);
    key.push_back(p->y);
  }
  if (!kept_still_.put_back(key)) {
    draw_table();
    draw_still();
    kept_still_.keep(std::move(key));
  }
  if (carried_) draw_carried();
}

void Jigsaw::draw_pieces() const {
  draw_still();
  if (carried_) draw_carried();
}

void Jigsaw::place_carried(int x, int y) {
  carried_->x = x + carry_dx_;
  carried_->y = y + carry_dy_;
  align_group(*carried_);
}

void Jigsaw::draw_still() const {
  for (const auto& p : pieces_)
    if (!is_carried(*p) && (!hiding_loose_ || p->fixed))
      media::draw_image(p->picture, static_cast<float>(p->x), static_cast<float>(p->y), 0);
}

// The carried piece (or its whole group) under the pointer, over everything else: the shadows
// first, then the carried pieces themselves.
void Jigsaw::draw_carried() const {
  auto draw_at = [](const Piece& p, int shift) {
    media::draw_image(p.picture, static_cast<float>(p.x + shift), static_cast<float>(p.y + shift), 0);
  };
  {
    media::SavedDrawState saved;
    media::set_colour(0, 0, 0);
    media::set_alpha(0.4f);
    media::set_blend(media::Blend::Alpha);
    for (const auto& p : pieces_)
      if (is_carried(*p)) draw_at(*p, kShadow);
  }
  for (const auto& p : pieces_)
    if (is_carried(*p)) draw_at(*p, 0);
}

}  // namespace activities
