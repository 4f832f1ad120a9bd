// The shared core of the three jigsaw activities: a picture cut into pieces along one of the
// prepared cuts (a piece list, one mask per piece and an outline template). Each activity decides
// what a click does, what is drawn over the table and when a piece is done, and describes its table
// to the core (PuzzleKind); the core draws the table, finds the end (every piece done: the whole
// picture and the corner button) and deals new games.
//   uncover (key 5) reveals pieces clicked on the dark blue template,
//   where   (key 6) reveals the piece shown on a card when its home is clicked,
//   jigsaw  (key 9) carries scattered pieces home; pieces that meet correctly join into groups.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/shell/activity.hpp"
#include "media/input/clock.hpp"
#include "media/display/draw.hpp"
#include "media/display/image.hpp"

namespace activities {

struct Piece {
  int x = 0, y = 0;      // centre now
  int x0 = 0, y0 = 0;    // home: the centre when the picture is whole
  media::ImagePtr picture;  // its part of the picture, cut to its shape
  // Where: the whole of the piece's shape, opaque, with the picture's handle. Its image lacks the picture's
  // pure white (cut away with the mask's), which is still part of the home the child sees. None
  // when the puzzle was not cut from masks.
  media::ImagePtr shape;
  const media::ImagePtr& home_image() const { return shape ? shape : picture; }
  bool visible = false;  // uncover and where: revealed
  int row = 0, col = 0;  // place in the cut
  int group = 0;         // jigsaw: 0 loose, else the number of its group of joined pieces
  bool fixed = false;    // jigsaw: lies at home for good
};

using Pieces = std::vector<std::unique_ptr<Piece>>;

// What a puzzle is made of: read from a cut's files (read_parts) or put together elsewhere.
struct PuzzleParts {
  int cut = 0;            // the prepared cut's number
  int rows = 0, cols = 0;
  Pieces pieces;          // rows x cols, in row order, each at its home
  media::ImagePtr picture;
  int picture_index = 0;  // the picture's place in the list
  media::ImagePtr outlines;  // the cut's outline template
};

class Puzzle;

// What sets one kind of puzzle apart where the core is concerned, given by each kind to the core.
struct PuzzleKind {
  struct Colour {
    int red = 0, green = 0, blue = 0;
  };
  Colour table;           // round the pieces
  bool outlines = false;  // the cut's outlines lie on the table
  // Each piece keeps its whole shape too (Piece::shape), for clicks anywhere on its home.
  bool whole_shapes = false;
  // Deals another game of this kind (puzzle_on_any_cut of the kind): what new_game() hands back.
  app::ActivityPtr (*deal)(const app::Context& context, int cut, int picture, int avoid_cut) = nullptr;
};

class Puzzle : public app::Activity {
 public:
  static constexpr int kCuts = 13;    // the prepared cuts, numbered from 1
  static constexpr int kShadow = 5;   // how far shadows fall right and down

  Puzzle(const Puzzle&) = delete;
  Puzzle& operator=(const Puzzle&) = delete;

  void draw() const override;
  // A left click plays (or, on a finished puzzle, may hit the corner button); a right click is the
  // kind's own.
  app::Outcome click(const app::PointerInput& at) override;
  // A finger lifted: the kind may put down what the finger carried (release_at).
  app::Outcome release(const app::PointerInput& at) override;
  // True once a click found every piece done (the magic sound played then).
  bool finished() const override { return completed_; }
  // Another cut and, given two pictures or more, another picture, of the same kind.
  app::ActivityPtr new_game() override;

  const PuzzleKind& kind() const { return kind_; }
  int cut_number() const { return cut_number_; }
  int picture_index() const { return picture_index_; }
  int rows() const { return rows_; }
  int cols() const { return cols_; }
  // Without any picture there is nothing to cut: only the table shows and clicks do nothing.
  bool has_picture() const { return picture_ != nullptr; }
  const media::ImagePtr& picture() const { return picture_; }
  const media::ImagePtr& outlines() const { return outlines_; }
  // In drawing order, last on top.
  const Pieces& pieces() const { return pieces_; }
  // The piece of that row and column; none outside the cut.
  Piece* piece_at(int row, int col) const;

 protected:
  // Each kind deals its first game in its own constructor.
  Puzzle(const app::Context& context, const PuzzleKind& kind, PuzzleParts parts);

  // A left click at (x, y) on an unfinished puzzle that has a picture.
  virtual void click_at(int x, int y) = 0;
  // A finger lifted at (x, y) on an unfinished puzzle that has a picture: true when that put
  // something down.
  virtual bool release_at(int /*x*/, int /*y*/) { return false; }
  // A right click (only kinds whose traits want them get one).
  virtual app::Outcome right_click() { return app::Outcome::Nothing; }
  // What lies over the table of an unfinished puzzle that has a picture.
  virtual void draw_pieces() const = 0;
  virtual bool piece_done(const Piece& p) const = 0;

  // Every piece is done (the puzzle may not have said so yet).
  bool all_done() const;
  // Uncover and where: every piece at home and hidden; the revealed ones drawn at home.
  void hide_all_at_home();
  void draw_revealed() const;
  // What draw_pieces shows, as a key for the kept frame: the revealed pieces.
  virtual media::FrameCache::Key frame_key() const;

  const app::Context& context() const { return context_; }
  const app::Assets& assets() const { return context_.assets; }
  app::Effects& effects() const { return context_.effects; }

  // The kind's table: its colour and, where the kind has them, the cut's outlines.
  void draw_table() const;

  Pieces pieces_;  // drawing order, last on top; each kind moves and reorders them as it plays

 private:
  // Finds whether every piece is done; the first time it is, the magic sound plays.
  bool check_complete();

  app::Context context_;
  const PuzzleKind& kind_;
  int cut_number_ = 0;
  int picture_index_ = 0;
  int rows_ = 0, cols_ = 0;
  media::ImagePtr picture_;
  media::ImagePtr outlines_;
  bool completed_ = false;
  mutable media::FrameCache kept_table_;  // the table as last drawn, under frame_key()
};

// Reads cut `cut` and cuts the picture (its index wrapped round the list) into pieces, each with
// its whole shape when asked. None, with one line on stderr, when the cut's files are missing or
// malformed. Draws on the back buffer while it cuts.
std::optional<PuzzleParts> read_parts(const app::Assets& assets, int cut, int picture, bool whole_shapes);

// The first of `cut` and, in a random order, the other cuts but avoid_cut, that `make` turns into
// a puzzle; none when no cut does.
app::ActivityPtr first_cut_that_builds(int cut, int avoid_cut, const std::function<app::ActivityPtr(int)>& make);

// A puzzle of kind P on the cut and picture, its first game dealt; none when the cut cannot be read.
template <class P>
std::unique_ptr<P> puzzle_on_cut(const app::Context& context, int cut, int picture) {
  std::optional<PuzzleParts> parts = read_parts(context.assets, cut, picture, P::kKind.whole_shapes);
  if (!parts) return nullptr;
  return std::make_unique<P>(context, std::move(*parts));
}

// A puzzle of kind P on the cut or, when that cut cannot be read, on another one (never
// avoid_cut), its first game dealt; none when no cut can be read.
template <class P>
app::ActivityPtr puzzle_on_any_cut(const app::Context& context, int cut, int picture, int avoid_cut) {
  return first_cut_that_builds(cut, avoid_cut,
                               [&](int c) -> app::ActivityPtr { return puzzle_on_cut<P>(context, c, picture); });
}

// A random picture's index (0 without pictures).
int random_picture(const app::Assets& assets);

// Builds a puzzle of kind P with a random cut and picture (another cut when that one cannot be
// read), the thinking image showing meanwhile; none when no cut can be read.
template <class P>
app::ActivityMaker puzzle_maker() {
  return app::ActivityMaker(
      [](const app::Context& context) -> app::ActivityPtr {
        context.requests.show_thinking();
        const int cut = media::rand(1, Puzzle::kCuts);
        return puzzle_on_any_cut<P>(context, cut, random_picture(context.assets), 0);
      },
      P::kTraits.pictures);
}

}  // namespace activities
