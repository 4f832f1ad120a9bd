// Activity 9, jigsaw: the pieces lie scattered on a pink table. A click picks up the topmost loose
// piece under the pointer (with its whole group) and the next click puts it down; a finger picks a
// piece up as it touches it, carries it and puts it down as it is lifted. Pieces put down
// within 14 pixels of their home spacing to a neighbour join it into a group, and pieces within 14
// pixels of home are fixed there. A right click hides or shows the loose pieces (not while a
// finger carries a piece: a child who holds a piece still long enough to make a long press is
// thinking where it goes). Fixing every piece finishes the puzzle.
#pragma once
#include "activities/jigsaw_core.hpp"
#include "media/display/draw.hpp"

namespace activities {

class Jigsaw : public Puzzle {
 public:
  static constexpr app::Traits kTraits{.wants_moves = true,
                                       .wants_right_clicks = true,
                                       .again_while_current = app::Again::NewGame,
                                       .again_when_finished = app::Again::NewGame,
                                       .pictures = 1};
  static const PuzzleKind kKind;
  static constexpr int kMargin = 15;  // joining and fixing need both offsets strictly below this

  // The pieces scattered.
  Jigsaw(const app::Context& context, PuzzleParts parts);
  const app::Traits& traits() const override { return kTraits; }
  // Scatters the pieces: each centre at random, the piece's right and bottom halves on the screen.
  void setup() override;
  void draw() const override;
  // The carried piece and its group follow the pointer.
  app::Outcome move(const app::PointerInput& to) override;
  // Notes whether a finger or the mouse picks up or puts down, then plays the click.
  app::Outcome click(const app::PointerInput& at) override;

  // Fixes the loose pieces near home (a click sound each), then sends every fixed piece home and
  // to the bottom of the pile.
  void fix_near_home();
  // Moves group g (0: none) to the top of the pile, keeping its order.
  void raise_group(int g);
  // Joins p with each of its four neighbours that lies within the margin of its home spacing.
  void join_neighbours(Piece& p);

  const Piece* carried() const { return carried_; }
  bool carried_by_finger() const { return carried_ && by_finger_; }
  int carry_dx() const { return carry_dx_; }  // from the pointer to the carried piece's centre
  int carry_dy() const { return carry_dy_; }
  bool hiding() const { return hiding_loose_; }  // only fixed pieces are drawn
  int next_group() const { return next_group_; }

 protected:
  void click_at(int x, int y) override;
  bool release_at(int x, int y) override;
  app::Outcome right_click() override;
  void draw_pieces() const override;
  bool piece_done(const Piece& p) const override { return p.fixed; }

 private:
  void pick_up(int x, int y);
  void put_down(int x, int y);
  // Moves the rest of p's group to where p's place puts them.
  void align_group(const Piece& p);
  // Joins a and b (their groups, or a new one) when they lie within the margin of their home spacing.
  void join_if_fitting(Piece& a, Piece& b);
  // The carried piece and its group to where a pointer at (x, y) holds them.
  void place_carried(int x, int y);
  bool is_carried(const Piece& p) const {
    return carried_ && (&p == carried_ || (carried_->group != 0 && p.group == carried_->group));
  }
  // The pieces lying still (all but the carried ones; only fixed ones while hiding), in order.
  void draw_still() const;
  // The carried pieces' shadows, then the carried pieces.
  void draw_carried() const;

  mutable media::FrameCache kept_still_;  // the table with the pieces lying still, as last drawn

  Piece* carried_ = nullptr;
  bool by_finger_ = false;  // the click under way, or the one that picked up the carried piece, is a finger's
  int carry_dx_ = 0, carry_dy_ = 0;
  int next_group_ = 1;
  bool hiding_loose_ = false;
};

}  // namespace activities
