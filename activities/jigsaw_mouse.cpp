// Playing the jigsaw: revealing pieces ("uncover", "where"), carrying pieces by click and click
// ("pj"), joining pieces that meet within 14 pixels of their home spacing into groups, fixing
// pieces put down within 14 pixels of home, and the corner button of a finished puzzle.
#include <algorithm>
#include <cstdlib>

#include "activities/jigsaw.hpp"
#include "app/assets.hpp"
#include "app/effects.hpp"
#include "app/furniture.hpp"
#include "media/events.hpp"

namespace activities {

app::Outcome TJigsaw::left_click() {
  if (!has_picture()) return app::Outcome::Nothing;
  if (completed())
    return app::corner_button_hit(ctx_.assets) ? app::Outcome::Restart : app::Outcome::Nothing;
  if (mode == "uncover")
    uncover_click();
  else if (mode == "where")
    where_click();
  else if (carry)
    put_down();
  else
    pick_up();
  return completed() ? app::Outcome::Finished : app::Outcome::Nothing;
}

void TJigsaw::uncover_click() {
  for (auto& p : pieces) {
    if (!p->visible && app::mouse_over(ctx_.assets, p->img, static_cast<float>(p->x0), static_cast<float>(p->y0))) {
      p->visible = 1;
      return;
    }
  }
}

void TJigsaw::where_click() {
  if (app::mouse_over(ctx_.assets, card.img, static_cast<float>(card.x), static_cast<float>(card.y))) {
    make_card();
    return;
  }
  for (auto& p : pieces) {
    if (!app::mouse_over(ctx_.assets, p->img, static_cast<float>(p->x0), static_cast<float>(p->y0))) continue;
    if (!p->visible && p.get() == showpiece) {
      p->visible = 1;
      if (!completed()) make_card();
    }
    return;
  }
}

void TJigsaw::pick_up() {
  for (auto it = pieces.rbegin(); it != pieces.rend(); ++it) {
    TPiece& p = **it;
    if (p.fixed || !app::mouse_over(ctx_.assets, p.img, static_cast<float>(p.x), static_cast<float>(p.y))) continue;
    carry = &p;
    dx = p.x - media::mouse_x();
    dy = p.y - media::mouse_y();
    align(p);
    to_top(p.group);
    return;
  }
}

void TJigsaw::put_down() {
  TPiece* p = carry;
  p->x = media::mouse_x() + dx;
  p->y = media::mouse_y() + dy;
  auto at = std::find_if(pieces.begin(), pieces.end(), [p](const auto& q) { return q.get() == p; });
  std::unique_ptr<TPiece> owned = std::move(*at);
  pieces.erase(at);
  pieces.push_back(std::move(owned));
  carry = nullptr;
  check_mates(*p);
  if (p->group > 0) {
    for (size_t i = 0; i < pieces.size(); ++i)
      if (pieces[i]->group == p->group) check_mates(*pieces[i]);
    to_top(p->group);
    align(*p);
  }
  in_place();
}

app::Outcome TJigsaw::right_click() {
  if (has_picture()) hide = hide ? 0 : 1;
  return app::Outcome::Nothing;
}

int TJigsaw::in_place() {
  for (auto& p : pieces) {
    if (p->fixed || std::abs(p->x - p->x0) >= margin || std::abs(p->y - p->y0) >= margin) continue;
    p->fixed = 1;
    ctx_.effects.play(app::Effect::Click);
  }
  // Every fixed piece goes home and to the front, each in turn, so the last one visited ends
  // first; a piece moved to the front is not visited again.
  for (size_t i = 0; i < pieces.size(); ++i) {
    if (!pieces[i]->fixed) continue;
    TPiece& p = *pieces[i];
    p.x = p.x0;
    p.y = p.y0;
    std::rotate(pieces.begin(), pieces.begin() + static_cast<std::ptrdiff_t>(i),
                pieces.begin() + static_cast<std::ptrdiff_t>(i) + 1);
  }
  return 0;
}

int TJigsaw::to_top(int g) {
  if (g == 0) return 0;
  std::stable_partition(pieces.begin(), pieces.end(), [g](const auto& p) { return p->group != g; });
  return 0;
}

TPiece* TJigsaw::piece_rc(int row, int col) {
  for (auto& p : pieces)
    if (p->r == row && p->c == col) return p.get();
  return nullptr;
}

int TJigsaw::check_mates(TPiece& p) {
  int r = p.r, c = p.c;
  auto try_with = [&](bool exists, int row, int col) {
    if (!exists) return;
    if (TPiece* q = piece_rc(row, col)) check(p, *q);
  };
  try_with(r > 0, r - 1, c);
  try_with(r < nr - 1, r + 1, c);
  try_with(c > 0, r, c - 1);
  try_with(c < nc - 1, r, c + 1);
  return 0;
}

int TJigsaw::check(TPiece& a, TPiece& b) {
  if (a.group == b.group && b.group > 0) return 0;
  int ex = (a.x0 - b.x0) - (a.x - b.x);
  int ey = (a.y0 - b.y0) - (a.y - b.y);
  if (std::abs(ex) >= margin || std::abs(ey) >= margin) return 0;
  if (a.group == 0 && b.group == 0) {
    a.group = b.group = next_group++;
  } else if (a.group == 0) {
    a.group = b.group;
  } else if (b.group == 0) {
    b.group = a.group;
  } else {
    int old = a.group;
    for (auto& q : pieces)
      if (q->group == old) q->group = b.group;
  }
  return 0;
}

}  // namespace activities
