// Activity 9, jigsaw: the pieces lie scattered on a pink table. A click picks up the topmost loose
// piece under the pointer (with its whole group) and the next click puts it down; pieces put down
// within 14 pixels of their home spacing to a neighbour join it into a group, and pieces within 14
// pixels of home are fixed there. A right click hides or shows the loose pieces. Fixing every piece
// finishes the puzzle.
#pragma once
#include "activities/jigsaw_core.hpp"
#include "media/draw.hpp"

namespace activities {

class TJigsaw : public TPuzzle {
 public:
  static constexpr app::Traits kTraits{.wants_moves = true,
                                       .wants_right_clicks = true,
                                       .again_while_current = app::Again::NewGame,
                                       .again_when_finished = app::Again::NewGame,
                                       .pictures = 1};
  static constexpr int kMargin = 15;  // joining and fixing need both offsets strictly below this

  explicit TJigsaw(const app::Context& context) : TPuzzle(context, JigsawMode::Jigsaw) {}
  const app::Traits& traits() const override { return kTraits; }
  // Scatters the pieces: each centre at random, the piece's right and bottom halves on the screen.
  void setup() override;
  void draw() const override;
  // The carried piece and its group follow the pointer.
  app::Outcome move(const app::PointerInput& to) override;

  // Fixes the loose pieces near home (a click sound each), then sends every fixed piece home and
  // to the bottom of the pile.
  void in_place();
  // Moves the rest of p's group to where p's place puts them.
  void align(const TPiece& p);
  // Moves group g (0: none) to the top of the pile, keeping its order.
  void to_top(int g);
  // Joins p with each of its four neighbours that lies within the margin of its home spacing.
  void check_mates(TPiece& p);
  void check(TPiece& a, TPiece& b);

  const TPiece* carried() const { return carry_; }
  int carry_dx() const { return dx_; }  // from the pointer to the carried piece's centre
  int carry_dy() const { return dy_; }
  bool hiding() const { return hide_; }  // only fixed pieces are drawn
  int next_group() const { return next_group_; }

 protected:
  void click_at(int x, int y) override;
  app::Outcome right_click() override;
  void draw_pieces() const override;
  bool piece_done(const TPiece& p) const override { return p.fixed; }

 private:
  void pick_up(int x, int y);
  void put_down(int x, int y);
  // The carried piece and its group to where a pointer at (x, y) holds them.
  void place_carried(int x, int y);
  bool is_carried(const TPiece& p) const {
    return carry_ && (&p == carry_ || (carry_->group != 0 && p.group == carry_->group));
  }
  // The pieces lying still (all but the carried ones; only fixed ones while hiding), in order.
  void draw_still() const;
  // The carried pieces' shadows, then the carried pieces.
  void draw_carried() const;

  mutable media::FrameCache still_;  // the table with the pieces lying still, as last drawn

  TPiece* carry_ = nullptr;
  int dx_ = 0, dy_ = 0;
  int next_group_ = 1;
  bool hide_ = false;
};

}  // namespace activities
