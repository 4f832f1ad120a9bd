#include "activities/jigsaw.hpp"

#include <algorithm>
#include <cstdlib>

#include "activities/still_frame.hpp"
#include "app/assets.hpp"
#include "app/effects.hpp"
#include "app/furniture.hpp"
#include "media/clock.hpp"
#include "media/draw.hpp"
#include "media/events.hpp"

namespace activities {

void TJigsaw::setup() {
  const app::Assets& s = assets();
  for (auto& p : pieces_) {
    p->x = media::rand(0, s.screen_w - media::image_width(p->img) / 2);
    p->y = media::rand(0, s.screen_h - media::image_height(p->img) / 2);
    p->visible = true;
    p->group = 0;
    p->fixed = false;
  }
  carry_ = nullptr;
  next_group_ = 1;
  hide_ = false;
}

app::Outcome TJigsaw::right_click() {
  if (has_picture()) hide_ = !hide_;
  return app::Outcome::Nothing;
}

void TJigsaw::click_at(int x, int y) {
  if (carry_)
    put_down(x, y);
  else
    pick_up(x, y);
}

app::Outcome TJigsaw::move(const app::PointerInput& to) {
  if (!carry_) return app::Outcome::Nothing;
  place_carried(to.x, to.y);
  return app::Outcome::Redraw;
}

void TJigsaw::pick_up(int x, int y) {
  for (auto it = pieces_.rbegin(); it != pieces_.rend(); ++it) {
    TPiece& p = **it;
    if (p.fixed || !app::point_over(assets(), p.img, static_cast<float>(p.x), static_cast<float>(p.y), x, y))
      continue;
    carry_ = &p;
    dx_ = p.x - x;
    dy_ = p.y - y;
    align(p);
    to_top(p.group);
    return;
  }
}

void TJigsaw::put_down(int x, int y) {
  TPiece* p = carry_;
  p->x = x + dx_;
  p->y = y + dy_;
  auto at = std::find_if(pieces_.begin(), pieces_.end(), [p](const auto& q) { return q.get() == p; });
  std::unique_ptr<TPiece> owned = std::move(*at);
  pieces_.erase(at);
  pieces_.push_back(std::move(owned));
  carry_ = nullptr;
  check_mates(*p);
  if (p->group > 0) {
    for (size_t i = 0; i < pieces_.size(); ++i)
      if (pieces_[i]->group == p->group) check_mates(*pieces_[i]);
    to_top(p->group);
    align(*p);
  }
  in_place();
}

void TJigsaw::in_place() {
  for (auto& p : pieces_) {
    if (p->fixed || std::abs(p->x - p->x0) >= kMargin || std::abs(p->y - p->y0) >= kMargin) continue;
    p->fixed = true;
    effects().play(app::Effect::Click);
  }
  // Every fixed piece goes home and to the front, each in turn, so the last one visited ends
  // first; a piece moved to the front is not visited again.
  for (size_t i = 0; i < pieces_.size(); ++i) {
    if (!pieces_[i]->fixed) continue;
    TPiece& p = *pieces_[i];
    p.x = p.x0;
    p.y = p.y0;
    std::rotate(pieces_.begin(), pieces_.begin() + static_cast<std::ptrdiff_t>(i),
                pieces_.begin() + static_cast<std::ptrdiff_t>(i) + 1);
  }
}

void TJigsaw::align(const TPiece& p) {
  if (p.group == 0) return;
  for (auto& q : pieces_) {
    if (q.get() == &p || q->group != p.group) continue;
    q->x = q->x0 + (p.x - p.x0);
    q->y = q->y0 + (p.y - p.y0);
  }
}

void TJigsaw::to_top(int g) {
  if (g == 0) return;
  std::stable_partition(pieces_.begin(), pieces_.end(), [g](const auto& p) { return p->group != g; });
}

void TJigsaw::check_mates(TPiece& p) {
  int r = p.r, c = p.c;
  auto try_with = [&](bool exists, int row, int col) {
    if (!exists) return;
    if (TPiece* q = piece_rc(row, col)) check(p, *q);
  };
  try_with(r > 0, r - 1, c);
  try_with(r < rows() - 1, r + 1, c);
  try_with(c > 0, r, c - 1);
  try_with(c < cols() - 1, r, c + 1);
}

void TJigsaw::check(TPiece& a, TPiece& b) {
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
void TJigsaw::draw() const {
  if (completed() || !has_picture()) {
    TPuzzle::draw();
    return;
  }
  media::FrameCache::Key key;
  key.reserve(3 * pieces_.size());
  for (const auto& p : pieces_) {
    if (is_carried(*p) || (hide_ && !p->fixed)) continue;
    key.push_back(key_of(p->img.get()));
    key.push_back(p->x);
    key.push_back(p->y);
  }
  if (!still_.put_back(key)) {
    draw_background();
    draw_still();
    still_.keep(std::move(key));
  }
  if (carry_) draw_carried();
}

void TJigsaw::draw_pieces() const {
  draw_still();
  if (carry_) draw_carried();
}

void TJigsaw::place_carried(int x, int y) {
  carry_->x = x + dx_;
  carry_->y = y + dy_;
  align(*carry_);
}

void TJigsaw::draw_still() const {
  for (const auto& p : pieces_)
    if (!is_carried(*p) && (!hide_ || p->fixed))
      media::draw_image(p->img, static_cast<float>(p->x), static_cast<float>(p->y), 0);
}

// The carried piece (or its whole group) under the pointer, over everything else: the shadows
// first, then the carried pieces themselves.
void TJigsaw::draw_carried() const {
  auto draw_at = [](const TPiece& p, int shift) {
    media::draw_image(p.img, static_cast<float>(p.x + shift), static_cast<float>(p.y + shift), 0);
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
