// Building jigsaw puzzles without a window: reading cuts (good, odd and broken), dealing the
// pieces per kind, the "where" card's size and place, and the shell's keys 5, 6 and 9.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "activities/jigsaw.hpp"
#include "app/shell/loop.hpp"
#include "media/decode/decode.hpp"
#include "media/sound/sound.hpp"
#include "tests/unit/test_jigsaw_files.hpp"
#include "tests/unit/test_jigsaw_util.hpp"

using activities::Jigsaw;
using activities::Piece;
using activities::Puzzle;
using activities::PuzzleParts;
using activities::Uncover;
using activities::Where;
using activities::puzzle_on_cut;

namespace {

int lines_in(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

std::unique_ptr<app::Loop> loop;
Puzzle* slot(int key) { return dynamic_cast<Puzzle*>(loop->slot(key)); }
Jigsaw* jigsaw() { return dynamic_cast<Jigsaw*>(loop->slot(9)); }
Where* where() { return dynamic_cast<Where*>(loop->slot(6)); }
void key(char digit) { tw::press_digit(*loop, digit - '0'); }
// Where the next clicks go.
int point_x = 0, point_y = 0;
void point(int x, int y) {
  point_x = x;
  point_y = y;
}
void left_click() { tw::click_at(*loop, point_x, point_y); }
void right_click() { tw::click_at(*loop, point_x, point_y, media::Button::Right); }
int activity() { return loop->state().activity; }

// Tests through a loop, whose sounds are real: they are dropped at the end.
class JigsawShell : public testing::Test {
 protected:
  void TearDown() override {
    loop.reset();
    media::close_audio();
  }
};

}  // namespace

TEST(JigsawBuild, ReadsThePieceListAndNumbersRowByRow) {
  jt::TempDir tmp("list");
  app::Assets& s = jt::fresh_world().assets;
  s.data_dir = tmp.dir();
  std::vector<jt::MaskPiece> grid = jt::grid(3, 4, 100, 80);
  jt::write_cut(tmp.dir(), 1, 3, 4, grid, "junk", "-77x");
  jt::write_cut(tmp.dir(), 2, 3, 4, grid, "", "123456");
  // Whole numbers with blanks, a sign and trailing text read as the number.
  std::string list = "  3\r\n+4 rows\r\n0\r\n0\r\n";
  for (const jt::MaskPiece& p : grid) list += " " + std::to_string(p.x0) + "px\r\n+" + std::to_string(p.y0) + "\r\n";
  jt::write_bytes(tmp.dir() + "pieces/2/pieces.txt", list);

  std::unique_ptr<Uncover> a = puzzle_on_cut<Uncover>(jt::context(), 1, 5);
  std::unique_ptr<Jigsaw> b = puzzle_on_cut<Jigsaw>(jt::context(), 2, 0);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(a->cut_number(), 1);
  EXPECT_EQ(a->picture_index(), 1) << "the picture index wraps round the list";
  EXPECT_EQ(a->picture(), s.picture(1));
  EXPECT_EQ(a->rows(), 3);
  EXPECT_EQ(a->cols(), 4);
  EXPECT_EQ(Uncover::kShadow, 5);
  EXPECT_EQ(Jigsaw::kMargin, 15);
  EXPECT_EQ(a->finished(), 0);
  ASSERT_EQ(a->pieces().size(), 12u);
  EXPECT_EQ(a->pieces()[4]->row, 1);
  EXPECT_EQ(a->pieces()[4]->col, 0);
  EXPECT_EQ(a->pieces()[11]->row, 2);
  EXPECT_EQ(a->pieces()[11]->col, 3);
  ASSERT_EQ(b->pieces().size(), 12u);
  for (size_t i = 0; i < 12; ++i) {
    SCOPED_TRACE(i);
    // Lines 3 and 4 change nothing.
    EXPECT_EQ(a->pieces()[i]->x0, grid[i].x0);
    EXPECT_EQ(a->pieces()[i]->y0, grid[i].y0);
    EXPECT_EQ(b->pieces()[i]->x0, grid[i].x0);
    EXPECT_EQ(b->pieces()[i]->row, a->pieces()[i]->row);
    EXPECT_EQ(b->pieces()[i]->col, a->pieces()[i]->col);
    EXPECT_EQ(media::image_width(a->pieces()[i]->picture), 100);
    EXPECT_EQ(media::image_height(a->pieces()[i]->picture), 80);
    EXPECT_FLOAT_EQ(a->pieces()[i]->picture->handle_x, 50.0f);
    EXPECT_EQ(a->pieces()[i]->shape, nullptr) << "only where needs the pieces' whole shapes";
    EXPECT_EQ(b->pieces()[i]->shape, nullptr);
  }
  // Where keeps each piece's whole shape beside its image, on the same handle.
  std::unique_ptr<Where> w = puzzle_on_cut<Where>(jt::context(), 1, 0);
  ASSERT_NE(w, nullptr);
  for (const auto& p : w->pieces()) {
    ASSERT_NE(p->shape, nullptr);
    EXPECT_EQ(p->shape->width, p->picture->width);
    EXPECT_FLOAT_EQ(p->shape->handle_x, p->picture->handle_x);
  }
}

TEST(JigsawBuild, PiecesCutAtTheRightAndBottomEdgesKeepTheirPlace) {
  jt::TempDir tmp("edge");
  app::Assets& s = jt::fresh_world().assets;
  s.data_dir = tmp.dir();
  // The mask of piece 2 is 100 x 80 around (1000, 750): 26 columns and 22 rows lie off the screen.
  jt::write_cut(tmp.dir(), 3, 1, 2, {{500, 400, 100, 80, nullptr}, {1000, 750, 100, 80, nullptr}});
  std::unique_ptr<Uncover> j = puzzle_on_cut<Uncover>(jt::context(), 3, 0);
  ASSERT_NE(j, nullptr);
  const media::ImagePtr& img = j->pieces()[1]->picture;
  EXPECT_EQ(img->width, 74);
  EXPECT_EQ(img->height, 58);
  // Drawn at its home, the piece starts at (950, 710), where it was read from.
  EXPECT_FLOAT_EQ(1000 - img->handle_x, 950.0f);
  EXPECT_FLOAT_EQ(750 - img->handle_y, 710.0f);
  EXPECT_FLOAT_EQ(j->pieces()[0]->picture->handle_x, 50.0f);
}

TEST(JigsawBuild, BrokenCutsAreRefusedWithOneLine) {
  struct Case {
    const char* what;
    std::string list;         // the piece list; "" writes none
    std::vector<int> masks;   // pieces whose mask is written
    int mask_w = 100, mask_h = 80;
  } cases[] = {
      {"no piece list", "", {1}},
      {"empty piece list", "\r\n", {1}},
      {"zero rows", "0\r\n1\r\n0\r\n0\r\n500\r\n400\r\n", {1}},
      {"thirteen rows", "13\r\n1\r\n0\r\n0\r\n", {1}},
      {"thirteen columns", "1\r\n13\r\n0\r\n0\r\n", {1}},
      {"negative columns", "1\r\n-2\r\n0\r\n0\r\n", {1}},
      {"a missing mask", "1\r\n2\r\n0\r\n0\r\n200\r\n200\r\n400\r\n200\r\n", {1}},
      {"a mask off the left edge", "1\r\n1\r\n0\r\n0\r\n49\r\n400\r\n", {1}},
      {"a mask off the top edge", "1\r\n1\r\n0\r\n0\r\n500\r\n39\r\n", {1}},
      {"a mask past the right edge", "1\r\n1\r\n0\r\n0\r\n1074\r\n400\r\n", {1}},
      {"a mask below the screen", "1\r\n1\r\n0\r\n0\r\n500\r\n808\r\n", {1}},
      {"homes missing from the list", "1\r\n1\r\n0\r\n0\r\n", {1}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    jt::TempDir tmp("broken");
    app::Assets& s = jt::fresh_world().assets;
    s.data_dir = tmp.dir();
    std::string dir = tmp.dir() + "pieces/7/";
    jt::fs::create_directories(dir);
    if (!k.list.empty()) jt::write_bytes(dir + "pieces.txt", k.list);
    for (int i : k.masks)
      jt::write_png(dir + std::to_string(i) + ".png", k.mask_w, k.mask_h,
                    [&](int x, int y) { return jt::framed(x, y, k.mask_w, k.mask_h); });
    testing::internal::CaptureStderr();
    bool built = puzzle_on_cut<Jigsaw>(jt::context(), 7, 0) != nullptr;
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(built);
    EXPECT_EQ(lines_in(err), 1) << err;
    EXPECT_NE(err.find("cut 7"), std::string::npos) << err;
    // A new game asked of a puzzle on cut 7 tries every other cut and gives nothing.
    PuzzleParts parts;
    parts.cut = 7;
    parts.rows = parts.cols = 1;
    parts.picture = s.picture(0);
    Jigsaw old{jt::context(), std::move(parts)};
    testing::internal::CaptureStderr();
    EXPECT_EQ(old.new_game(), nullptr);
    testing::internal::GetCapturedStderr();
  }
  // The same folder with a good list and masks builds.
  jt::TempDir tmp("good");
  jt::fresh_world().assets.data_dir = tmp.dir();
  jt::write_cut(tmp.dir(), 7, 1, 1, {{500, 400, 100, 80, nullptr}});
  EXPECT_NE(puzzle_on_cut<Jigsaw>(jt::context(), 7, 0), nullptr);
}

// The one way a puzzle is built from files: a ready puzzle, its first game dealt, on the cut asked
// for or another that can be read (never the one to avoid); none when no cut can be read.
TEST(JigsawBuild, FactoryYieldsAReadyPuzzleOrNone) {
  jt::TempDir tmp("factory");
  jt::fresh_world().assets.data_dir = tmp.dir();
  testing::internal::CaptureStderr();
  EXPECT_EQ(activities::puzzle_on_any_cut<Uncover>(jt::context(), 2, 0, 0), nullptr);
  EXPECT_EQ(lines_in(testing::internal::GetCapturedStderr()), 13) << "every cut was tried";
  testing::internal::CaptureStderr();
  EXPECT_EQ(activities::puzzle_on_any_cut<Where>(jt::context(), 2, 0, 0), nullptr);
  EXPECT_EQ(activities::puzzle_on_any_cut<Jigsaw>(jt::context(), 2, 0, 0), nullptr);
  testing::internal::GetCapturedStderr();

  jt::write_cut(tmp.dir(), 4, 2, 2, jt::grid(2, 2, 100, 80));
  testing::internal::CaptureStderr();
  EXPECT_EQ(activities::puzzle_on_any_cut<Jigsaw>(jt::context(), 2, 0, 4), nullptr) << "the one cut to avoid";
  app::ActivityPtr u = activities::puzzle_on_any_cut<Uncover>(jt::context(), 2, 1, 0);
  app::ActivityPtr w = activities::puzzle_on_any_cut<Where>(jt::context(), 2, 1, 0);
  app::ActivityPtr j = activities::puzzle_on_any_cut<Jigsaw>(jt::context(), 2, 1, 0);
  testing::internal::GetCapturedStderr();
  ASSERT_NE(dynamic_cast<Uncover*>(u.get()), nullptr);
  ASSERT_NE(dynamic_cast<Where*>(w.get()), nullptr);
  ASSERT_NE(dynamic_cast<Jigsaw*>(j.get()), nullptr);
  for (const app::ActivityPtr* a : {&u, &w, &j}) {
    const Puzzle& p = dynamic_cast<const Puzzle&>(**a);
    EXPECT_EQ(p.cut_number(), 4) << "the only cut that can be read";
    EXPECT_EQ(p.picture_index(), 1);
    EXPECT_EQ(p.pieces().size(), 4u);
    EXPECT_FALSE(p.finished());
  }
  // Each kind's first game: uncover and where hide every piece at home, where shows one of them
  // on a card, and the jigsaw scatters them, every one showing.
  for (const auto& p : dynamic_cast<Uncover&>(*u).pieces()) EXPECT_FALSE(p->visible);
  const Where& where = dynamic_cast<Where&>(*w);
  ASSERT_NE(where.shown_piece(), nullptr);
  EXPECT_FALSE(where.shown_piece()->visible);
  EXPECT_NE(where.card().image, nullptr);
  int at_home = 0;
  for (const auto& p : dynamic_cast<Jigsaw&>(*j).pieces()) {
    EXPECT_TRUE(p->visible);
    at_home += p->x == p->x0 && p->y == p->y0;
  }
  EXPECT_LT(at_home, 4) << "the pieces were scattered";
}

TEST(JigsawBuild, EveryGeneratedCutBuilds) {
  jt::fresh_world();
  for (int n = 1; n <= 13; ++n) {
    SCOPED_TRACE(n);
    testing::internal::CaptureStderr();
    std::unique_ptr<Jigsaw> puzzle = puzzle_on_cut<Jigsaw>(jt::context(), n, 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_NE(puzzle, nullptr);
    const Jigsaw& j = *puzzle;
    ASSERT_EQ(static_cast<int>(j.pieces().size()), j.rows() * j.cols());
    EXPECT_GE(j.rows() * j.cols(), 4);
    EXPECT_LE(j.rows() * j.cols(), 30);
    for (int i = 0; i < j.rows() * j.cols(); ++i) {
      const Piece& p = *j.pieces()[static_cast<size_t>(i)];
      EXPECT_EQ(p.row, i / j.cols());
      EXPECT_EQ(p.col, i % j.cols());
      media::PixmapPtr mask = media::load_pixmap(jt::kData + "pieces/" + std::to_string(n) + "/" + std::to_string(i + 1) + ".png");
      ASSERT_TRUE(mask);
      EXPECT_EQ(p.picture->width, mask->width) << "generated masks lie wholly on the screen";
      EXPECT_EQ(p.picture->height, mask->height);
    }
    EXPECT_NE(j.outlines(), nullptr);
  }
}

TEST(JigsawBuild, SetupDealsPerKind) {
  jt::fresh_world();
  // The jigsaw: a 120 x 90 piece starts with its centre at x 0..964 and y 0..723.
  auto j = jt::hand_made<Jigsaw>(1, 1);
  j->pieces()[0]->picture = jt::solid(120, 90);
  int min_x = 9999, max_x = -1, min_y = 9999, max_y = -1;
  for (int i = 0; i < 3000; ++i) {
    j->pieces()[0]->group = 3;
    j->pieces()[0]->fixed = 1;
    j->click(tw::right_at(0, 0));
    ASSERT_TRUE(j->hiding());
    j->setup();
    const Piece& p = *j->pieces()[0];
    min_x = std::min(min_x, p.x), max_x = std::max(max_x, p.x);
    min_y = std::min(min_y, p.y), max_y = std::max(max_y, p.y);
    ASSERT_EQ(p.visible, 1);
    ASSERT_EQ(p.group, 0);
    ASSERT_EQ(p.fixed, 0);
  }
  EXPECT_GE(min_x, 0);
  EXPECT_LE(max_x, 964);
  EXPECT_GE(min_y, 0);
  EXPECT_LE(max_y, 723);
  EXPECT_LT(min_x, 20);
  EXPECT_GT(max_x, 944);
  EXPECT_LT(min_y, 20);
  EXPECT_GT(max_y, 703);
  EXPECT_EQ(j->carried(), nullptr);
  EXPECT_EQ(j->next_group(), 1);
  EXPECT_EQ(j->hiding(), 0);

  // A real cut: every piece within its own range, the list in the cut's order.
  std::unique_ptr<Jigsaw> k = puzzle_on_cut<Jigsaw>(jt::context(), 13, 0);
  ASSERT_NE(k, nullptr);
  for (size_t i = 0; i < k->pieces().size(); ++i) {
    const Piece& p = *k->pieces()[i];
    EXPECT_EQ(p.row * k->cols() + p.col, static_cast<int>(i));
    EXPECT_LE(p.x, 1024 - p.picture->width / 2);
    EXPECT_LE(p.y, 768 - p.picture->height / 2);
    EXPECT_GE(std::min(p.x, p.y), 0);
  }

  // "uncover": every piece at home and hidden.
  auto u = jt::hand_made<Uncover>(2, 2);
  for (auto& p : u->pieces()) p->visible = 1, p->x += 7;
  u->setup();
  for (auto& p : u->pieces()) {
    EXPECT_EQ(p->visible, 0);
    EXPECT_EQ(p->x, p->x0);
  }
}

TEST(JigsawBuild, WhereCardSizeAndPlace) {
  jt::fresh_world();
  auto j = jt::hand_made<Where>(1, 2);
  j->pieces()[0]->picture = jt::solid(100, 80);
  media::mid_handle(j->pieces()[0]->picture);
  // Home (300, 500): the card goes to the other side, at the bottom.
  j->pieces()[0]->x = j->pieces()[0]->x0 = 300;
  j->pieces()[0]->y = j->pieces()[0]->y0 = 500;
  j->pieces()[1]->visible = 1;
  j->make_card();
  EXPECT_EQ(j->shown_piece(), j->pieces()[0].get());
  EXPECT_EQ(j->card().image->width, 150);
  EXPECT_EQ(j->card().image->height, 130);
  EXPECT_EQ(j->card().left, 864);
  EXPECT_EQ(j->card().top, 628);
  // Home (600, 384): left, and at the top since the middle line counts as top.
  j->pieces()[0]->x = 600;
  j->pieces()[0]->y = 384;
  j->make_card();
  EXPECT_EQ(j->card().left, 10);
  EXPECT_EQ(j->card().top, 10);
  // Every hidden piece comes up in time; revealed ones never.
  j->pieces()[1]->visible = 0;
  j->pieces()[0]->visible = 1;
  for (int i = 0; i < 20; ++i) {
    j->make_card();
    EXPECT_EQ(j->shown_piece(), j->pieces()[1].get());
  }
  // With nothing hidden the card stays as it is.
  j->pieces()[1]->visible = 1;
  media::ImagePtr before = j->card().image;
  j->make_card();
  EXPECT_EQ(j->card().image, before);
}

TEST(JigsawBuild, WhereCardTakesTheCornerThatHidesLeastOfTheHome) {
  jt::fresh_world();
  auto j = jt::hand_made<Where>(1, 2);
  Piece& a = *j->pieces()[0];
  j->pieces()[1]->visible = 1;
  // 600 x 300 at (320, 160): the usual corner, right and at the top (364..1014 x 10..360), would
  // hide a wide strip of it; right at the bottom hides none.
  a.picture = jt::solid(600, 300);
  media::mid_handle(a.picture);
  a.x = a.x0 = 320;
  a.y = a.y0 = 160;
  j->make_card();
  EXPECT_EQ(j->card().left, 1024 - 650 - 10);
  EXPECT_EQ(j->card().top, 768 - 350 - 10);
  // 640 x 500 at (500, 384) whose left half is clear: the piece lies right of its rectangle's
  // centre. Every corner hides some of it; the left ones least (200 columns, not 320), and of
  // those the top, as the middle line counts as top.
  a.picture = jt::solid(640, 500);
  for (int y = 0; y < 500; ++y)
    for (int x = 0; x < 320; ++x) media::write_pixel(*a.picture->source, x, y, 0);
  media::mid_handle(a.picture);
  a.x = a.x0 = 500;
  a.y = a.y0 = 384;
  j->make_card();
  EXPECT_EQ(j->card().left, 10);
  EXPECT_EQ(j->card().top, 10);
  // The shape, where there is one, is what counts: the same piece whole in shape goes to the
  // usual corner again (right: 320 columns hidden there against 520 at the left).
  a.shape = jt::solid(640, 500);
  media::mid_handle(a.shape);
  j->make_card();
  EXPECT_EQ(j->card().left, 1024 - 690 - 10);
  EXPECT_EQ(j->card().top, 10);
}

TEST_F(JigsawShell, KeysBuildResumeAndReplacePuzzles) {
  jt::fresh_world();
  loop = jt::make_loop(9);
  key('9');
  ASSERT_EQ(activity(), 9);
  Jigsaw* j = jigsaw();
  ASSERT_NE(j, nullptr) << "key 9 makes a jigsaw";
  EXPECT_EQ(j->pieces().size(), static_cast<size_t>(j->rows() * j->cols()));
  // Pick up the topmost piece by its centre and leave with it carried.
  Piece* top = j->pieces().back().get();
  point(top->x, top->y);
  left_click();
  ASSERT_EQ(j->carried(), top);
  int dx = j->carry_dx(), dy = j->carry_dy();
  key('5');
  ASSERT_EQ(activity(), 5);
  EXPECT_NE(dynamic_cast<Uncover*>(slot(5)), nullptr) << "key 5 makes an uncover puzzle";
  key('6');
  ASSERT_NE(where(), nullptr) << "key 6 makes a where puzzle";
  EXPECT_NE(where()->shown_piece(), nullptr);
  // Back again: the same puzzle, the piece still carried with the same offset.
  key('9');
  EXPECT_EQ(slot(9), j);
  EXPECT_EQ(j->carried(), top);
  EXPECT_EQ(j->carry_dx(), dx);
  EXPECT_EQ(j->carry_dy(), dy);
  // Pressed again while current: a new puzzle with another cut and another picture.
  int cut = j->cut_number(), pic = j->picture_index();
  key('9');
  ASSERT_NE(slot(9), nullptr);
  EXPECT_NE(slot(9)->cut_number(), cut);
  EXPECT_NE(slot(9)->picture_index(), pic);
  EXPECT_EQ(jigsaw()->carried(), nullptr);
}

TEST_F(JigsawShell, FinishingUncoverUnlocksOnceAndTheCornerButtonDealsAgain) {
  const app::Assets& s = jt::fresh_world().assets;
  loop = jt::make_loop(5);
  key('5');
  Puzzle* j = slot(5);
  ASSERT_NE(j, nullptr);
  // Without a window every piece is an opaque rectangle; clicking the homes over and over
  // reveals them all.
  for (int round = 0; round < 40 && !j->finished(); ++round)
    for (size_t i = 0; i < j->pieces().size() && !j->finished(); ++i) {
      point(j->pieces()[i]->x0, j->pieces()[i]->y0);
      left_click();
    }
  EXPECT_EQ(j->finished(), 1);
  EXPECT_EQ(loop->state().level, 6);
  point(500, 300);
  left_click();
  EXPECT_EQ(loop->state().level, 6) << "unlocked once";
  EXPECT_EQ(slot(5), j);
  // The corner button deals a new puzzle.
  point(5 + s.smiley_image->width / 2, s.screen_h - s.smiley_image->width - 5 + s.smiley_image->height / 2);
  left_click();
  ASSERT_NE(slot(5), nullptr);
  EXPECT_NE(slot(5), j);
  EXPECT_EQ(slot(5)->finished(), 0);
  EXPECT_EQ(activity(), 5);
}

TEST_F(JigsawShell, NoPicturesShowsTheBackgroundAndIgnoresClicks) {
  jt::fresh_world(0);
  loop = jt::make_loop(9);
  for (int k : {5, 6, 9}) {
    SCOPED_TRACE(k);
    key('0' + k);
    ASSERT_EQ(activity(), k);
    Puzzle* j = slot(k);
    ASSERT_NE(j, nullptr);
    EXPECT_FALSE(j->has_picture());
    for (auto& p : j->pieces()) {
      point(p->x, p->y);
      left_click();
      right_click();
    }
    EXPECT_EQ(j->finished(), 0);
    if (k == 9) {
      EXPECT_EQ(jigsaw()->carried(), nullptr);
      EXPECT_EQ(jigsaw()->hiding(), 0);
    }
    j->draw();
    // Pressing the key again builds another puzzle without hanging.
    key('0' + k);
    EXPECT_NE(slot(k), nullptr);
  }
  // One picture: a new puzzle may use it again.
  jt::fresh_world(1);
  loop = jt::make_loop(9);
  key('6');
  int cut = slot(6)->cut_number();
  key('6');
  EXPECT_NE(slot(6)->cut_number(), cut);
  EXPECT_EQ(slot(6)->picture_index(), 0);
}

TEST_F(JigsawShell, ACutThatCannotBeReadIsReplacedOrTheKeyDoesNothing) {
  jt::TempDir tmp("shell");
  jt::fresh_world().assets.data_dir = tmp.dir();
  loop = jt::make_loop(9);
  testing::internal::CaptureStderr();
  key('5');
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(activity(), 0) << "no cut works: the key does nothing";
  EXPECT_EQ(slot(5), nullptr);
  EXPECT_EQ(lines_in(err), 13) << err;
  // Only cut 4 can be read: every puzzle uses it.
  jt::write_cut(tmp.dir(), 4, 2, 2, jt::grid(2, 2, 100, 80));
  testing::internal::CaptureStderr();
  for (int i = 0; i < 5; ++i) {
    key('0');
    key('9');
    ASSERT_EQ(activity(), 9);
    EXPECT_EQ(slot(9)->cut_number(), 4);
  }
  testing::internal::GetCapturedStderr();
}
