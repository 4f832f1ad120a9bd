// Activity 6, where: the cut's outlines on dark red and a card showing one hidden piece, placed in
// the corner that hides least of that piece's home. A click anywhere on the piece's home (its whole
// shape) reveals it and deals the next card; a click on the card deals another. Revealing every
// piece finishes the puzzle.
#pragma once
#include "activities/jigsaw_core.hpp"

namespace activities {

class Where : public Puzzle {
 public:
  static constexpr app::Traits kTraits{.again_while_current = app::Again::NewGame,
                                       .again_when_finished = app::Again::NewGame,
                                       .pictures = 1};
  static const PuzzleKind kKind;

  // The card showing the piece to find: its picture and where its top-left corner lies.
  struct Card {
    media::ImagePtr image;
    int left = 0, top = 0;
  };

  // Every piece hidden at home and a card dealt.
  Where(const app::Context& context, PuzzleParts parts);
  const app::Traits& traits() const override { return kTraits; }
  void setup() override;
  // Shows a hidden piece drawn at random on a new card; with none hidden the card stays as it is.
  void make_card();
  const Card& card() const { return card_; }
  const Piece* shown_piece() const { return shown_piece_; }  // the piece on the card

  // What a left click at (x, y) does; click() asks this at the pointer, and tests anywhere.
  enum class ClickAction { NewCard, Place, Nothing };
  ClickAction action_at(int x, int y) const;

 protected:
  void click_at(int x, int y) override;
  void draw_pieces() const override;
  media::FrameCache::Key frame_key() const override;
  bool piece_done(const Piece& p) const override { return p.visible; }

  Card card_;  // protected: without a window its pixels read back clear, and tests make them opaque

 private:
  Piece* shown_piece_ = nullptr;
};

}  // namespace activities
