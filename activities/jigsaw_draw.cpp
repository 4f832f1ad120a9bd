// Drawing the jigsaw: the template on its dark background with the revealed pieces ("uncover",
// "where" with its card), or the pink table with the pieces where they lie ("pj"), the carried
// piece or group on top with its shadow. A finished puzzle shows the whole picture.
#include "activities/jigsaw.hpp"

#include "app/assets.hpp"
#include "app/furniture.hpp"
#include "media/draw.hpp"
#include "media/events.hpp"

namespace activities {

void TJigsaw::draw_background() {
  {
    media::SavedDrawState saved;
    if (mode == "pj")
      media::set_clear_colour(255, 192, 255);
    else if (mode == "where")
      media::set_clear_colour(150, 0, 0);
    else
      media::set_clear_colour(0, 0, 100);
    media::cls();
  }
  if (mode == "pj") return;
  media::draw_image(template_image, 0, 0, 0);
}

void TJigsaw::draw_piece(const TPiece& p) const {
  media::draw_image(p.img, static_cast<float>(p.x), static_cast<float>(p.y), 0);
}

// The carried piece (or its whole group) under the pointer: everything else first, then the
// shadows, then the carried pieces themselves.
void TJigsaw::draw_carried() {
  carry->x = media::mouse_x() + dx;
  carry->y = media::mouse_y() + dy;
  align(*carry);
  int g = carry->group;
  auto carried = [&](const TPiece& p) { return &p == carry || (g != 0 && p.group == g); };
  for (const auto& p : pieces)
    if (!carried(*p) && (!hide || p->fixed)) draw_piece(*p);
  {
    media::SavedDrawState saved;
    media::set_colour(0, 0, 0);
    media::set_alpha(0.4f);
    media::set_blend(media::ALPHA);
    for (const auto& p : pieces)
      if (carried(*p))
        media::draw_image(p->img, static_cast<float>(p->x + shadow), static_cast<float>(p->y + shadow), 0);
  }
  for (const auto& p : pieces)
    if (carried(*p)) draw_piece(*p);
}

void TJigsaw::draw() {
  if (completed()) {
    media::draw_image(pic, 0, 0, 0);
    app::draw_corner_button(ctx_.assets);
    return;
  }
  draw_background();
  if (!has_picture()) return;
  if (mode != "pj") {
    for (const auto& p : pieces)
      if (p->visible) media::draw_image(p->img, static_cast<float>(p->x0), static_cast<float>(p->y0), 0);
    if (mode == "where") media::draw_image(card.img, static_cast<float>(card.x), static_cast<float>(card.y), 0);
    return;
  }
  if (carry) {
    draw_carried();
    return;
  }
  for (const auto& p : pieces)
    if (!hide || p->fixed) draw_piece(*p);
}

}  // namespace activities
