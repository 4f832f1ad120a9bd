// The shared core of the three jigsaw activities: a picture cut into pieces along one of the
// prepared cuts (a piece list, one mask per piece and an outline template). Each activity decides
// what a click does, what is drawn over the background and when a piece is done; the core draws
// the background, finds the end (every piece done: the whole picture and the corner button) and
// deals new games.
//   uncover (key 5) reveals pieces clicked on the dark blue template,
//   where   (key 6) reveals the piece shown on a card when its home is clicked,
//   jigsaw  (key 9) carries scattered pieces home; pieces that meet correctly join into groups.
#pragma once
#include <memory>
#include <vector>

#include "app/activity.hpp"
#include "media/draw.hpp"
#include "media/image.hpp"

namespace activities {

enum class JigsawMode { Uncover, Where, Jigsaw };

struct TPiece {
  int x = 0, y = 0;      // centre now (the where card: its top-left corner)
  int x0 = 0, y0 = 0;    // home: the centre when the picture is whole
  media::ImagePtr img;
  // Where: the whole of the piece's shape, opaque, with img's handle. Its image lacks the picture's
  // pure white (cut away with the mask's), which is still part of the home the child sees. None
  // when the puzzle was not cut from masks.
  media::ImagePtr shape;
  const media::ImagePtr& home_image() const { return shape ? shape : img; }
  bool visible = false;  // uncover and where: revealed
  int r = 0, c = 0;      // row and column in the cut
  int group = 0;         // jigsaw: 0 loose, else the number of its group of joined pieces
  bool fixed = false;    // jigsaw: lies at home for good
};

class TPuzzle : public app::Activity {
 public:
  using Pieces = std::vector<std::unique_ptr<TPiece>>;
  static constexpr int kCuts = 13;    // the prepared cuts, numbered from 1
  static constexpr int kShadow = 5;   // how far shadows fall right and down

  TPuzzle(const app::Context& context, JigsawMode mode) : ctx_(context), mode_(mode) {}
  TPuzzle(const TPuzzle&) = delete;
  TPuzzle& operator=(const TPuzzle&) = delete;

  // Reads the cut and cuts the picture (its index wrapped round the list) into pieces. False,
  // with one line on stderr, when the cut's files are missing or malformed.
  bool init(int cut, int picture);
  // A puzzle of pieces made elsewhere (rows x cols, in row order) over a picture, with the cut's
  // outlines; nothing is read.
  void assemble(int cut, int rows, int cols, media::ImagePtr picture, Pieces pieces,
                media::ImagePtr outlines = nullptr);

  void draw() const override;
  // A left click plays (or, on a finished puzzle, may hit the corner button); a right click is the
  // mode's own.
  app::Outcome click(const app::PointerInput& at) override;
  bool finished() const override { return complete_; }
  // Another cut and, given two pictures or more, another picture, in the same mode.
  app::ActivityPtr new_game() override;

  // True once a click found every piece done (the magic sound played then).
  bool completed() const { return complete_; }
  JigsawMode mode() const { return mode_; }
  int cut_number() const { return cut_; }
  int picture_index() const { return picture_index_; }
  int rows() const { return rows_; }
  int cols() const { return cols_; }
  // Without any picture there is nothing to cut: only the background shows and clicks do nothing.
  bool has_picture() const { return picture_ != nullptr; }
  const media::ImagePtr& picture() const { return picture_; }
  const media::ImagePtr& template_image() const { return template_; }
  const Pieces& pieces() const { return pieces_; }
  TPiece* piece_rc(int row, int col) const;

 protected:
  // A left click at (x, y) on an unfinished puzzle that has a picture.
  virtual void click_at(int x, int y) = 0;
  // A right click (only modes whose traits want them get one).
  virtual app::Outcome right_click() { return app::Outcome::Nothing; }
  // What lies over the background of an unfinished puzzle that has a picture.
  virtual void draw_pieces() const = 0;
  virtual bool piece_done(const TPiece& p) const = 0;

  // Every piece is done (the puzzle may not have said so yet).
  bool all_done() const;
  // Uncover and where: every piece at home and hidden; the revealed ones drawn at home.
  void hide_all_at_home();
  void draw_revealed() const;
  // What draw_pieces shows, as a key for the kept frame: the revealed pieces.
  virtual media::FrameCache::Key frame_key() const;

  const app::Context& context() const { return ctx_; }
  const app::Assets& assets() const { return ctx_.assets; }
  app::Effects& effects() const { return ctx_.effects; }

  // The mode's table: its colour and, except for the jigsaw, the cut's outlines.
  void draw_background() const;

  Pieces pieces_;  // drawing order, last on top

 private:

  app::Context ctx_;
  JigsawMode mode_;
  int cut_ = 0;
  int picture_index_ = 0;
  int rows_ = 0, cols_ = 0;
  media::ImagePtr picture_;
  media::ImagePtr template_;
  bool complete_ = false;
  // Finds whether every piece is done; the first time it is, the magic sound plays.
  bool check_complete();
  mutable media::FrameCache frame_;  // the table as last drawn, under frame_key()
};

// The puzzle object of a mode, not yet init()ed.
std::unique_ptr<TPuzzle> make_puzzle(JigsawMode mode, const app::Context& context);

// Builds a puzzle of the mode with a random cut and picture (another cut when that one cannot be
// read), the thinking image showing meanwhile; none when no cut can be read.
app::ActivityMaker jigsaw_maker(JigsawMode mode);

}  // namespace activities
