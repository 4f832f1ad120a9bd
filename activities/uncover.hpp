// Activity 5, uncover: the cut's outlines on dark blue; a click on a hidden piece's place reveals
// that piece of the picture. Revealing every piece finishes the puzzle.
#pragma once
#include "activities/jigsaw_core.hpp"

namespace activities {

class Uncover : public Puzzle {
 public:
  static constexpr app::Traits kTraits{.again_while_current = app::Again::NewGame,
                                       .again_when_finished = app::Again::NewGame,
                                       .pictures = 1};
  static const PuzzleKind kKind;

  // Every piece hidden at home.
  Uncover(const app::Context& context, PuzzleParts parts);
  const app::Traits& traits() const override { return kTraits; }
  void setup() override { hide_all_at_home(); }

 protected:
  void click_at(int x, int y) override;
  void draw_pieces() const override { draw_revealed(); }
  bool piece_done(const Piece& p) const override { return p.visible; }
};

}  // namespace activities
