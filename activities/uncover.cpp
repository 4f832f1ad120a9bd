#include "activities/uncover.hpp"

#include "app/shell/furniture.hpp"

namespace activities {

const PuzzleKind Uncover::kKind{.table = {0, 0, 100}, .outlines = true, .deal = &puzzle_on_any_cut<Uncover>};

Uncover::Uncover(const app::Context& context, PuzzleParts parts) : Puzzle(context, kKind, std::move(parts)) {
  hide_all_at_home();
}

// The first hidden piece in the list whose shape lies under the pointer; revealed ones let the
// click through to a hidden one beneath.
void Uncover::click_at(int x, int y) {
  for (auto& p : pieces_) {
    if (!p->visible &&
        app::point_over(assets(), p->picture, static_cast<float>(p->x0), static_cast<float>(p->y0), x, y)) {
      p->visible = true;
      return;
    }
  }
}

}  // namespace activities
