// The jigsaw: one class for three activities. A picture is cut into pieces along a prepared cut
// (a piece list, one mask per piece and an outline template) and put back together:
//   "uncover" (key 5) reveals pieces clicked on the dark blue template,
//   "where"   (key 6) reveals the piece shown on a card when its home is clicked,
//   "pj"      (key 9) carries scattered pieces home; pieces that meet correctly join into groups.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "app/activity.hpp"
#include "media/image.hpp"

namespace activities {

struct TPiece {
  int x = 0, y = 0;    // centre now (the card: its top-left corner)
  int x0 = 0, y0 = 0;  // home: the centre when the picture is whole
  media::ImagePtr img;
  int visible = 0;  // "uncover" and "where": revealed
  int r = 0, c = 0;
  int group = 0;  // "pj": 0 loose, else the number of its group of joined pieces
  int fixed = 0;  // "pj": lies at home for good
};

class TJigsaw : public app::Activity {
 public:
  static constexpr app::Traits kRevealTraits{.again_while_current = app::Again::NewGame,
                                             .again_when_finished = app::Again::NewGame,
                                             .pictures = 1};
  static constexpr app::Traits kCarryTraits{.wants_right_clicks = true,
                                            .again_while_current = app::Again::NewGame,
                                            .again_when_finished = app::Again::NewGame,
                                            .pictures = 1};

  explicit TJigsaw(const app::Context& context) : ctx_(context) {}

  std::vector<std::unique_ptr<TPiece>> pieces;  // drawing order, last on top
  media::ImagePtr pic;
  int complete = 0;
  media::ImagePtr template_image;
  int n = 0;
  int ind = 0;
  std::string mode;
  int shadow = 5;
  TPiece card;
  TPiece* showpiece = nullptr;
  TPiece* carry = nullptr;
  int dx = 0, dy = 0;
  int next_group = 1;
  int margin = 15;  // joining and fixing need both offsets strictly below this
  int nr = 0, nc = 0;
  int hide = 0;

  // Reads cut n and cuts picture ind (wrapped round the pictures list) into pieces. False, with
  // one line on stderr, when the cut's files are missing or malformed.
  bool init(int cut, int picture, const std::string& how);
  const app::Traits& traits() const override { return mode == "pj" ? kCarryTraits : kRevealTraits; }
  void setup() override;
  void draw() override;
  int make_card();
  app::Outcome left_click() override;
  app::Outcome right_click() override;
  int in_place();
  int align(TPiece& p);
  int to_top(int g);
  TPiece* piece_rc(int row, int col);
  int check_mates(TPiece& p);
  int check(TPiece& a, TPiece& b);
  int completed();
  bool finished() const override { return complete; }
  // Another puzzle in the same mode with another cut and (given two pictures or more) another picture.
  app::ActivityPtr new_game() override;

  // Without any picture there is nothing to cut: only the background shows and clicks do nothing.
  bool has_picture() const { return pic != nullptr; }

 private:
  void draw_background();
  void draw_piece(const TPiece& p) const;
  void draw_carried();
  void uncover_click();
  void where_click();
  void pick_up();
  void put_down();

  app::Context ctx_;
};

// Builds a puzzle of the mode with a random cut and picture (another cut when that one cannot be
// read); none when no cut can be read.
app::ActivityMaker jigsaw_maker(const std::string& mode);

}  // namespace activities
