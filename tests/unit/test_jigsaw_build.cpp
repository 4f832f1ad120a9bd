// Building jigsaw puzzles without a window: reading cuts (good, odd and broken), dealing the
// pieces per mode, the "where" card's size and place, and the shell's keys 5, 6 and 9.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "activities/jigsaw.hpp"
#include "app/loop.hpp"
#include "tests/unit/test_jigsaw_files.hpp"
#include "tests/unit/test_jigsaw_util.hpp"

using activities::TJigsaw;
using activities::TPiece;

namespace {

int lines_in(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

TJigsaw* slot(int key) { return dynamic_cast<TJigsaw*>(app::shell().activity_slots[key].get()); }

}  // namespace

TEST(JigsawBuild, ReadsThePieceListAndNumbersRowByRow) {
  jt::TempDir tmp("list");
  app::Shell& s = jt::fresh_shell();
  s.data_dir = tmp.dir();
  std::vector<jt::MaskPiece> grid = jt::grid(3, 4, 100, 80);
  jt::write_cut(tmp.dir(), 1, 3, 4, grid, "junk", "-77x");
  jt::write_cut(tmp.dir(), 2, 3, 4, grid, "", "123456");
  // Whole numbers with blanks, a sign and trailing text read as the number.
  std::string list = "  3\r\n+4 rows\r\n0\r\n0\r\n";
  for (const jt::MaskPiece& p : grid) list += " " + std::to_string(p.x0) + "px\r\n+" + std::to_string(p.y0) + "\r\n";
  jt::write_bytes(tmp.dir() + "pieces/2/pieces.txt", list);

  TJigsaw a, b;
  ASSERT_TRUE(a.init(1, 5, "uncover"));
  ASSERT_TRUE(b.init(2, 0, "pj"));
  EXPECT_EQ(a.n, 1);
  EXPECT_EQ(a.ind, 1) << "the picture index wraps round the list";
  EXPECT_EQ(a.pic, s.pictures.image(1));
  EXPECT_EQ(a.mode, "uncover");
  EXPECT_EQ(a.nr, 3);
  EXPECT_EQ(a.nc, 4);
  EXPECT_EQ(a.shadow, 5);
  EXPECT_EQ(a.margin, 15);
  EXPECT_EQ(a.complete, 0);
  ASSERT_EQ(a.pieces.size(), 12u);
  EXPECT_EQ(a.pieces[4]->r, 1);
  EXPECT_EQ(a.pieces[4]->c, 0);
  EXPECT_EQ(a.pieces[11]->r, 2);
  EXPECT_EQ(a.pieces[11]->c, 3);
  ASSERT_EQ(b.pieces.size(), 12u);
  for (size_t i = 0; i < 12; ++i) {
    SCOPED_TRACE(i);
    // Lines 3 and 4 change nothing.
    EXPECT_EQ(a.pieces[i]->x0, grid[i].x0);
    EXPECT_EQ(a.pieces[i]->y0, grid[i].y0);
    EXPECT_EQ(b.pieces[i]->x0, grid[i].x0);
    EXPECT_EQ(b.pieces[i]->r, a.pieces[i]->r);
    EXPECT_EQ(b.pieces[i]->c, a.pieces[i]->c);
    EXPECT_EQ(media::image_width(a.pieces[i]->img), 100);
    EXPECT_EQ(media::image_height(a.pieces[i]->img), 80);
    EXPECT_FLOAT_EQ(a.pieces[i]->img->handle_x, 50.0f);
  }
}

TEST(JigsawBuild, PiecesCutAtTheRightAndBottomEdgesKeepTheirPlace) {
  jt::TempDir tmp("edge");
  app::Shell& s = jt::fresh_shell();
  s.data_dir = tmp.dir();
  // The mask of piece 2 is 100 x 80 around (1000, 750): 26 columns and 22 rows lie off the screen.
  jt::write_cut(tmp.dir(), 3, 1, 2, {{500, 400, 100, 80, nullptr}, {1000, 750, 100, 80, nullptr}});
  TJigsaw j;
  ASSERT_TRUE(j.init(3, 0, "uncover"));
  const media::ImagePtr& img = j.pieces[1]->img;
  EXPECT_EQ(img->width, 74);
  EXPECT_EQ(img->height, 58);
  // Drawn at its home, the piece starts at (950, 710), where it was read from.
  EXPECT_FLOAT_EQ(1000 - img->handle_x, 950.0f);
  EXPECT_FLOAT_EQ(750 - img->handle_y, 710.0f);
  EXPECT_FLOAT_EQ(j.pieces[0]->img->handle_x, 50.0f);
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
    app::Shell& s = jt::fresh_shell();
    s.data_dir = tmp.dir();
    std::string dir = tmp.dir() + "pieces/7/";
    jt::fs::create_directories(dir);
    if (!k.list.empty()) jt::write_bytes(dir + "pieces.txt", k.list);
    for (int i : k.masks)
      jt::write_png(dir + std::to_string(i) + ".png", k.mask_w, k.mask_h,
                    [&](int x, int y) { return jt::framed(x, y, k.mask_w, k.mask_h); });
    testing::internal::CaptureStderr();
    TJigsaw j;
    bool built = j.init(7, 0, "pj");
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(built);
    EXPECT_EQ(lines_in(err), 1) << err;
    EXPECT_NE(err.find("cut 7"), std::string::npos) << err;
    // The shell's maker gives nothing for it.
    activities::register_jigsaw();
    testing::internal::CaptureStderr();
    EXPECT_EQ((*app::activity_maker(9))(7, 0), nullptr);
    testing::internal::GetCapturedStderr();
  }
  // The same folder with a good list and masks builds.
  jt::TempDir tmp("good");
  jt::fresh_shell().data_dir = tmp.dir();
  jt::write_cut(tmp.dir(), 7, 1, 1, {{500, 400, 100, 80, nullptr}});
  TJigsaw j;
  EXPECT_TRUE(j.init(7, 0, "pj"));
}

TEST(JigsawBuild, EveryGeneratedCutBuilds) {
  jt::fresh_shell();
  for (int n = 1; n <= 13; ++n) {
    SCOPED_TRACE(n);
    TJigsaw j;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(j.init(n, 0, "pj"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_EQ(static_cast<int>(j.pieces.size()), j.nr * j.nc);
    EXPECT_GE(j.nr * j.nc, 4);
    EXPECT_LE(j.nr * j.nc, 30);
    for (int i = 0; i < j.nr * j.nc; ++i) {
      const TPiece& p = *j.pieces[static_cast<size_t>(i)];
      EXPECT_EQ(p.r, i / j.nc);
      EXPECT_EQ(p.c, i % j.nc);
      media::PixmapPtr mask = media::load_pixmap(jt::kData + "pieces/" + std::to_string(n) + "/" + std::to_string(i + 1) + ".png");
      ASSERT_TRUE(mask);
      EXPECT_EQ(p.img->width, mask->width) << "generated masks lie wholly on the screen";
      EXPECT_EQ(p.img->height, mask->height);
    }
    EXPECT_NE(j.template_image, nullptr);
  }
}

TEST(JigsawBuild, SetupDealsPerMode) {
  jt::fresh_shell();
  // "pj": a 120 x 90 piece starts with its centre at x 0..964 and y 0..723.
  auto j = jt::hand_made(1, 1, "pj");
  j->pieces[0]->img = jt::solid(120, 90);
  int min_x = 9999, max_x = -1, min_y = 9999, max_y = -1;
  for (int i = 0; i < 3000; ++i) {
    j->pieces[0]->group = 3;
    j->pieces[0]->fixed = 1;
    j->hide = 1;
    j->next_group = 5;
    j->setup();
    const TPiece& p = *j->pieces[0];
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
  EXPECT_EQ(j->carry, nullptr);
  EXPECT_EQ(j->next_group, 1);
  EXPECT_EQ(j->hide, 0);

  // A real cut: every piece within its own range, the list in the cut's order.
  TJigsaw k;
  ASSERT_TRUE(k.init(13, 0, "pj"));
  k.setup();
  for (size_t i = 0; i < k.pieces.size(); ++i) {
    const TPiece& p = *k.pieces[i];
    EXPECT_EQ(p.r * k.nc + p.c, static_cast<int>(i));
    EXPECT_LE(p.x, 1024 - p.img->width / 2);
    EXPECT_LE(p.y, 768 - p.img->height / 2);
    EXPECT_GE(std::min(p.x, p.y), 0);
  }

  // "uncover": every piece at home and hidden.
  auto u = jt::hand_made(2, 2, "uncover");
  for (auto& p : u->pieces) p->visible = 1, p->x += 7;
  u->setup();
  for (auto& p : u->pieces) {
    EXPECT_EQ(p->visible, 0);
    EXPECT_EQ(p->x, p->x0);
  }
  EXPECT_EQ(u->showpiece, nullptr);
}

TEST(JigsawBuild, WhereCardSizeAndPlace) {
  jt::fresh_shell();
  auto j = jt::hand_made(1, 2, "where");
  j->pieces[0]->img = jt::solid(100, 80);
  media::mid_handle(j->pieces[0]->img);
  // Home (300, 500): the card goes to the other side, at the bottom.
  j->pieces[0]->x = j->pieces[0]->x0 = 300;
  j->pieces[0]->y = j->pieces[0]->y0 = 500;
  j->pieces[1]->visible = 1;
  j->make_card();
  EXPECT_EQ(j->showpiece, j->pieces[0].get());
  EXPECT_EQ(j->card.img->width, 150);
  EXPECT_EQ(j->card.img->height, 130);
  EXPECT_EQ(j->card.x, 864);
  EXPECT_EQ(j->card.y, 628);
  // Home (600, 384): left, and at the top since the middle line counts as top.
  j->pieces[0]->x = 600;
  j->pieces[0]->y = 384;
  j->make_card();
  EXPECT_EQ(j->card.x, 10);
  EXPECT_EQ(j->card.y, 10);
  // Every hidden piece comes up in time; revealed ones never.
  j->pieces[1]->visible = 0;
  j->pieces[0]->visible = 1;
  for (int i = 0; i < 20; ++i) {
    j->make_card();
    EXPECT_EQ(j->showpiece, j->pieces[1].get());
  }
  // With nothing hidden the card stays as it is.
  j->pieces[1]->visible = 1;
  media::ImagePtr before = j->card.img;
  j->make_card();
  EXPECT_EQ(j->card.img, before);
}

TEST(JigsawShell, KeysBuildResumeAndReplacePuzzles) {
  app::Shell& s = jt::fresh_shell();
  activities::register_jigsaw();
  s.level = 9;
  app::on_key('9');
  ASSERT_EQ(s.activity, 9);
  TJigsaw* j = slot(9);
  ASSERT_NE(j, nullptr);
  EXPECT_EQ(j->mode, "pj");
  EXPECT_EQ(j->pieces.size(), static_cast<size_t>(j->nr * j->nc));
  // Pick up the topmost piece by its centre and leave with it carried.
  TPiece* top = j->pieces.back().get();
  media::move_pointer(top->x, top->y);
  app::on_left_click();
  ASSERT_EQ(j->carry, top);
  int dx = j->dx, dy = j->dy;
  app::on_key('5');
  ASSERT_EQ(s.activity, 5);
  EXPECT_EQ(slot(5)->mode, "uncover");
  app::on_key('6');
  EXPECT_EQ(slot(6)->mode, "where");
  EXPECT_NE(slot(6)->showpiece, nullptr);
  // Back again: the same puzzle, the piece still carried with the same offset.
  app::on_key('9');
  EXPECT_EQ(slot(9), j);
  EXPECT_EQ(j->carry, top);
  EXPECT_EQ(j->dx, dx);
  EXPECT_EQ(j->dy, dy);
  // Pressed again while current: a new puzzle with another cut and another picture.
  int cut = j->n, pic = j->ind;
  app::on_key('9');
  ASSERT_NE(slot(9), nullptr);
  EXPECT_NE(slot(9)->n, cut);
  EXPECT_NE(slot(9)->ind, pic);
  EXPECT_EQ(slot(9)->carry, nullptr);
}

TEST(JigsawShell, FinishingUncoverUnlocksOnceAndTheCornerButtonDealsAgain) {
  app::Shell& s = jt::fresh_shell();
  activities::register_jigsaw();
  s.level = 5;
  app::on_key('5');
  TJigsaw* j = slot(5);
  ASSERT_NE(j, nullptr);
  // Without a window every piece is an opaque rectangle; clicking the homes over and over
  // reveals them all.
  for (int round = 0; round < 40 && !j->complete; ++round)
    for (size_t i = 0; i < j->pieces.size() && !j->complete; ++i) {
      media::move_pointer(j->pieces[i]->x0, j->pieces[i]->y0);
      app::on_left_click();
    }
  EXPECT_EQ(j->complete, 1);
  EXPECT_EQ(s.level, 6);
  media::move_pointer(500, 300);
  app::on_left_click();
  EXPECT_EQ(s.level, 6) << "unlocked once";
  EXPECT_EQ(slot(5), j);
  // The corner button deals a new puzzle.
  media::move_pointer(5 + s.smiley_image->width / 2, s.screen_h - s.smiley_image->width - 5 + s.smiley_image->height / 2);
  app::on_left_click();
  EXPECT_FALSE(s.restart_requested);
  ASSERT_NE(slot(5), nullptr);
  EXPECT_NE(slot(5), j);
  EXPECT_EQ(slot(5)->complete, 0);
  EXPECT_EQ(s.activity, 5);
}

TEST(JigsawShell, NoPicturesShowsTheBackgroundAndIgnoresClicks) {
  app::Shell& s = jt::fresh_shell(0);
  activities::register_jigsaw();
  s.level = 9;
  for (int key : {5, 6, 9}) {
    SCOPED_TRACE(key);
    app::on_key('0' + key);
    ASSERT_EQ(s.activity, key);
    TJigsaw* j = slot(key);
    ASSERT_NE(j, nullptr);
    EXPECT_FALSE(j->has_picture());
    for (auto& p : j->pieces) {
      media::move_pointer(p->x, p->y);
      app::on_left_click();
      app::on_right_click();
    }
    EXPECT_EQ(j->completed(), 0);
    EXPECT_EQ(j->carry, nullptr);
    EXPECT_EQ(j->hide, 0);
    j->draw();
    // Pressing the key again builds another puzzle without hanging.
    app::on_key('0' + key);
    EXPECT_NE(slot(key), nullptr);
  }
  // One picture: a new puzzle may use it again.
  jt::fresh_shell(1);
  activities::register_jigsaw();
  app::shell().level = 9;
  app::on_key('6');
  int cut = slot(6)->n;
  app::on_key('6');
  EXPECT_NE(slot(6)->n, cut);
  EXPECT_EQ(slot(6)->ind, 0);
}

TEST(JigsawShell, ACutThatCannotBeReadIsReplacedOrTheKeyDoesNothing) {
  jt::TempDir tmp("shell");
  app::Shell& s = jt::fresh_shell();
  activities::register_jigsaw();
  s.level = 9;
  s.data_dir = tmp.dir();
  testing::internal::CaptureStderr();
  app::on_key('5');
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(s.activity, 0) << "no cut works: the key does nothing";
  EXPECT_EQ(slot(5), nullptr);
  EXPECT_EQ(lines_in(err), 13) << err;
  // Only cut 4 can be read: every puzzle uses it.
  jt::write_cut(tmp.dir(), 4, 2, 2, jt::grid(2, 2, 100, 80));
  testing::internal::CaptureStderr();
  for (int i = 0; i < 5; ++i) {
    app::on_key('0');
    app::on_key('9');
    ASSERT_EQ(s.activity, 9);
    EXPECT_EQ(slot(9)->n, 4);
  }
  testing::internal::GetCapturedStderr();
}
