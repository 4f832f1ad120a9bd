// The jigsaw's play rules without a window: carrying, joining, fixing, drawing order, the hide
// toggle, revealing in "uncover" and "where", and the end of a puzzle.
#include <gtest/gtest.h>

#include <typeinfo>
#include <vector>

#include "app/shell/furniture.hpp"
#include "tests/unit/test_jigsaw_util.hpp"

using activities::Jigsaw;
using activities::Piece;
using jt::at;
using jt::carry_to;
using jt::click_at;

namespace {

std::vector<Piece*> order(Jigsaw& j) {
  std::vector<Piece*> out;
  for (auto& p : j.pieces()) out.push_back(p.get());
  return out;
}

// A jigsaw of rows x cols whose pieces lie loose far from home and from each other.
std::unique_ptr<Jigsaw> scattered(int rows, int cols) {
  auto j = jt::hand_made<Jigsaw>(rows, cols);
  int k = 0;
  for (auto& p : j->pieces()) {
    p->visible = 1;
    p->x = 100 + 130 * (k % 7);
    p->y = 560 + 130 * (k / 7);
    ++k;
  }
  return j;
}

}  // namespace

TEST(JigsawPlay, FixesWithin14PixelsOfHomeNot15) {
  jt::fresh_world();
  struct Case {
    int ox, oy;
    bool fixed;
  } cases[] = {{14, 14, true}, {-14, -14, true}, {0, 0, true}, {15, 0, false}, {0, 15, false}, {-15, 3, false}};
  for (const Case& k : cases) {
    SCOPED_TRACE(std::to_string(k.ox) + "," + std::to_string(k.oy));
    auto j = scattered(1, 2);
    Piece& a = at(*j, 0, 0);
    int before = jt::sounds_played();
    carry_to(*j, a, a.x0 + k.ox, a.y0 + k.oy);
    EXPECT_EQ(j->carried(), nullptr);
    EXPECT_EQ(a.fixed, k.fixed ? 1 : 0);
    EXPECT_EQ(jt::sounds_played() - before, k.fixed ? 1 : 0) << "one click per piece fixed";
    if (k.fixed) {
      EXPECT_EQ(a.x, a.x0);
      EXPECT_EQ(a.y, a.y0);
      EXPECT_EQ(j->pieces().front().get(), &a) << "fixed pieces go to the bottom";
    } else {
      EXPECT_EQ(a.x, a.x0 + k.ox);
      EXPECT_EQ(j->pieces().back().get(), &a) << "a piece put down lies on top";
    }
    EXPECT_EQ(a.group, 0);
    // A fixed piece can no longer be picked up.
    click_at(*j, a.x, a.y);
    EXPECT_EQ(j->carried() == &a, !k.fixed);
  }
}

TEST(JigsawPlay, JoinsWithin14PixelsOfHomeSpacing) {
  jt::fresh_world();
  // A put down left of its right-hand neighbour B, off the fitting spot by (ox, oy).
  struct Case {
    int ox, oy;
    bool joined;
  } cases[] = {{10, 0, true}, {-14, 14, true}, {0, -14, true}, {15, 0, false}, {0, 15, false}, {-15, -2, false}};
  for (const Case& k : cases) {
    SCOPED_TRACE(std::to_string(k.ox) + "," + std::to_string(k.oy));
    auto j = scattered(1, 2);
    Piece& a = at(*j, 0, 0);
    Piece& b = at(*j, 0, 1);
    b.x = 700;
    b.y = 300;
    int ax = b.x - (b.x0 - a.x0) + k.ox, ay = b.y - (b.y0 - a.y0) + k.oy;
    carry_to(*j, a, ax, ay);
    EXPECT_EQ(a.x, ax) << "the piece put down stays where it was put";
    EXPECT_EQ(a.y, ay);
    EXPECT_EQ(a.fixed + b.fixed, 0);
    if (k.joined) {
      EXPECT_EQ(a.group, 1);
      EXPECT_EQ(b.group, 1);
      EXPECT_EQ(j->next_group(), 2);
      EXPECT_EQ(b.x - a.x, b.x0 - a.x0) << "B lines up with A";
      EXPECT_EQ(b.y - a.y, b.y0 - a.y0);
    } else {
      EXPECT_EQ(a.group + b.group, 0);
      EXPECT_EQ(j->next_group(), 1);
      EXPECT_EQ(b.x, 700);
    }
  }
}

TEST(JigsawPlay, GroupsJoinMoveTogetherAndFix) {
  jt::fresh_world();
  auto j = scattered(2, 2);
  Piece& a = at(*j, 0, 0);
  Piece& b = at(*j, 0, 1);
  Piece& c = at(*j, 1, 0);
  Piece& d = at(*j, 1, 1);
  // Two resting groups: the top row and the bottom row.
  carry_to(*j, b, a.x + 100, a.y + 3);
  ASSERT_EQ(a.group, 1);
  ASSERT_EQ(b.group, 1);
  carry_to(*j, d, 600, 300);
  carry_to(*j, c, 500, 300);
  ASSERT_EQ(c.group, 2);
  ASSERT_EQ(d.group, 2);

  // Carrying A carries B, keeping their home spacing wherever the pointer goes.
  click_at(*j, a.x, a.y);
  ASSERT_EQ(j->carried(), &a);
  EXPECT_EQ(j->pieces().back().get(), &b) << "the carried group goes on top";
  j->move(tw::at(333, 111));
  EXPECT_EQ(a.x, 333);
  EXPECT_EQ(b.x - a.x, 100);
  EXPECT_EQ(b.y - a.y, 0);

  // Put down 12 pixels above where it fits on the bottom row: the two groups become one, and
  // the resting group shifts to line up with the piece just put down.
  j->move(tw::at(500, 300 - 100 - 12));
  j->click(tw::at(500, 300 - 100 - 12));
  EXPECT_EQ(a.y, 188);
  for (Piece* p : {&a, &b, &c, &d}) {
    EXPECT_EQ(p->group, 2) << "every piece of the first group took the other group's number";
    EXPECT_EQ(p->x - a.x, p->x0 - a.x0);
    EXPECT_EQ(p->y - a.y, p->y0 - a.y0);
  }
  // Picking up any one of them carries all four.
  click_at(*j, d.x, d.y);
  ASSERT_EQ(j->carried(), &d);
  j->move(tw::at(d.x0 + 9, d.y0 - 9));
  EXPECT_EQ(a.x, a.x0 + 9);
  int before = jt::sounds_played();
  EXPECT_EQ(j->click(tw::at(d.x0 + 9, d.y0 - 9)), app::Outcome::Finished) << "the click that fixes the last piece ends the puzzle";
  EXPECT_EQ(jt::world().effects.count(app::Effect::Click), 4) << "one click per piece fixed";
  for (Piece* p : {&a, &b, &c, &d}) {
    EXPECT_EQ(p->fixed, 1);
    EXPECT_EQ(p->x, p->x0);
    EXPECT_EQ(p->y, p->y0);
  }
  EXPECT_EQ(j->finished(), 1);
  j->draw();
  j->draw();
  EXPECT_EQ(jt::sounds_played() - before, 5) << "and the magic plays once";
}

TEST(JigsawPlay, JoiningALoosePieceToAGroupAndToAFixedNeighbour) {
  jt::fresh_world();
  auto j = scattered(1, 3);
  Piece& a = at(*j, 0, 0);
  Piece& b = at(*j, 0, 1);
  Piece& c = at(*j, 0, 2);
  // B and C rest as a group; A put down 14 pixels off joins it and the group moves to A.
  carry_to(*j, c, 600, 300);
  carry_to(*j, b, 500, 300);
  ASSERT_EQ(b.group, 1);
  carry_to(*j, a, 400 - 14, 300 + 14);
  EXPECT_EQ(a.group, 1);
  EXPECT_EQ(b.x, 486);
  EXPECT_EQ(c.y, 314);
  EXPECT_EQ(j->next_group(), 2);

  // A piece lining up with a fixed neighbour is within reach of its own home, so it is fixed too.
  auto k = scattered(1, 2);
  Piece& f = at(*k, 0, 0);
  Piece& g = at(*k, 0, 1);
  carry_to(*k, f, f.x0, f.y0);
  ASSERT_EQ(f.fixed, 1);
  carry_to(*k, g, g.x0 + 11, g.y0 - 13);
  EXPECT_EQ(g.fixed, 1);
  EXPECT_EQ(g.x, g.x0);
  EXPECT_EQ(f.group, g.group);
}

TEST(JigsawPlay, ToTopAndInPlaceOrder) {
  jt::fresh_world();
  auto j = scattered(1, 5);
  std::vector<Piece*> p = order(*j);
  int groups[] = {1, 2, 0, 2, 1};
  for (int i = 0; i < 5; ++i) p[i]->group = groups[i];
  j->raise_group(0);
  EXPECT_EQ(order(*j), p);
  j->raise_group(2);
  EXPECT_EQ(order(*j), (std::vector<Piece*>{p[0], p[2], p[4], p[1], p[3]}));
  j->raise_group(1);
  EXPECT_EQ(order(*j), (std::vector<Piece*>{p[2], p[1], p[3], p[0], p[4]}));

  // fix_near_home: pieces 1 and 3 already fixed (away from home), piece 4 newly near home. Every fixed
  // piece goes home and to the front in turn, so the last one met ends first.
  auto k = scattered(1, 5);
  std::vector<Piece*> q = order(*k);
  q[1]->fixed = 1;
  q[3]->fixed = 1;
  q[4]->x = q[4]->x0 - 14;
  q[4]->y = q[4]->y0 + 14;
  q[2]->x = q[2]->x0 + 15;
  q[2]->y = q[2]->y0;
  int before = jt::sounds_played();
  k->fix_near_home();
  EXPECT_EQ(jt::sounds_played() - before, 1) << "only the newly fixed piece clicks";
  EXPECT_EQ(order(*k), (std::vector<Piece*>{q[4], q[3], q[1], q[0], q[2]}));
  for (int i : {1, 3, 4}) {
    EXPECT_EQ(q[i]->fixed, 1);
    EXPECT_EQ(q[i]->x, q[i]->x0);
    EXPECT_EQ(q[i]->y, q[i]->y0);
  }
  EXPECT_EQ(q[2]->fixed, 0);
}

TEST(JigsawPlay, PieceByRowAndColumnAndNeighbours) {
  jt::fresh_world();
  auto j = scattered(3, 4);
  EXPECT_EQ(j->piece_at(1, 0), j->pieces()[4].get());
  EXPECT_EQ(j->piece_at(2, 3), j->pieces()[11].get());
  EXPECT_EQ(j->piece_at(3, 0), nullptr);
  EXPECT_EQ(j->piece_at(-1, 2), nullptr);
  // A corner piece tries only its two neighbours; lining up all four around (1, 1) joins them all.
  Piece& mid = at(*j, 1, 1);
  mid.x = 500;
  mid.y = 400;
  for (auto [r, c] : {std::pair{0, 1}, {2, 1}, {1, 0}, {1, 2}}) {
    Piece& q = at(*j, r, c);
    q.x = 500 + (q.x0 - mid.x0) + 3;
    q.y = 400 + (q.y0 - mid.y0) - 3;
  }
  j->join_neighbours(mid);
  for (auto [r, c] : {std::pair{0, 1}, {2, 1}, {1, 0}, {1, 2}}) EXPECT_EQ(at(*j, r, c).group, 1);
  EXPECT_EQ(at(*j, 0, 0).group, 0);
  EXPECT_EQ(j->next_group(), 2);
}

TEST(JigsawPlay, HideAndPickingUpTheTopmostPiece) {
  jt::fresh_world();
  auto j = scattered(1, 3);
  Piece& a = at(*j, 0, 0);
  Piece& b = at(*j, 0, 1);
  Piece& c = at(*j, 0, 2);
  // A and B overlap; B is later in the list, so on top.
  a.x = 300;
  a.y = 300;
  b.x = 340;
  b.y = 300;
  click_at(*j, 320, 300);
  EXPECT_EQ(j->carried(), &b);
  EXPECT_EQ(j->carry_dx(), 20);
  EXPECT_EQ(j->carry_dy(), 0);
  // The right button toggles hide, even while carrying; the carried piece stays carried.
  j->click(tw::right_at(0, 0));
  EXPECT_EQ(j->hiding(), 1);
  click_at(*j, 700, 600);
  EXPECT_EQ(j->carried(), nullptr);
  EXPECT_EQ(b.x, 720);
  // Hidden pieces can still be picked up; a fixed one on top is passed over.
  c.x = 300;
  c.y = 300;
  c.fixed = 1;
  click_at(*j, 300, 300);
  EXPECT_EQ(j->carried(), &a);
  j->click(tw::right_at(0, 0));
  EXPECT_EQ(j->hiding(), 0);
  // A click where no loose piece lies picks up nothing.
  click_at(*j, 310, 300);  // puts A down
  click_at(*j, 1000, 20);
  EXPECT_EQ(j->carried(), nullptr);
}

TEST(JigsawPlay, UncoverRevealsTheFirstHiddenPieceUnderThePointer) {
  jt::fresh_world();
  auto j = jt::hand_made<activities::Uncover>(1, 2);
  Piece& a = at(*j, 0, 0);
  Piece& b = at(*j, 0, 1);
  // A's shape is only its left half; B is made to overlap A's right half.
  a.picture = jt::solid(100, 100, 0);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 50; ++x) media::write_pixel(a.picture->source, x, y, 0xFF808080u);
  media::mid_handle(a.picture);
  b.x0 = b.x = 260;
  click_at(*j, a.x0 + 5, a.y0);  // in A's rectangle, outside its shape, outside B
  EXPECT_EQ(a.visible + b.visible, 0);
  click_at(*j, a.x0 - 20, a.y0);
  EXPECT_EQ(a.visible, 1);
  EXPECT_EQ(j->finished(), 0);
  int before = jt::sounds_played();
    // B only
  EXPECT_EQ(j->click(tw::at(215, 200)), app::Outcome::Finished);
  EXPECT_EQ(b.visible, 1);
  EXPECT_EQ(j->finished(), 1);
  EXPECT_EQ(j->finished(), 1);
  EXPECT_EQ(jt::sounds_played() - before, 1) << "magic exactly once";
  EXPECT_EQ(j->finished(), 1);

  // Over a revealed piece the click goes on to a hidden one beneath it.
  auto k = jt::hand_made<activities::Uncover>(1, 2);
  at(*k, 0, 1).x0 = 250;
  at(*k, 0, 0).visible = 1;
  click_at(*k, 230, 200);
  EXPECT_EQ(at(*k, 0, 1).visible, 1);
}

// Without a window the card's pixels read back transparent; this one lets the test make them opaque.
struct OpaqueCardWhere : activities::Where {
  using Where::Where;
  void make_card_opaque() { card_.image = jt::solid(card_.image->width, card_.image->height); }
};

TEST(JigsawPlay, WhereRevealsOnlyTheShownPiece) {
  jt::fresh_world();
  auto j = jt::hand_made<OpaqueCardWhere>(2, 2);
  int rounds = 0;
  while (!j->finished() && rounds++ < 10) {
    const Piece* shown = j->shown_piece();
    ASSERT_NE(shown, nullptr);
    ASSERT_EQ(shown->visible, 0) << "the card shows a hidden piece";
    // A wrong hidden piece, a revealed piece and the background do nothing.
    for (auto& p : j->pieces()) {
      if (p.get() == shown) continue;
      bool was = p->visible;
      click_at(*j, p->x0, p->y0);
      EXPECT_EQ(p->visible, was);
      EXPECT_EQ(j->shown_piece(), shown);
    }
    click_at(*j, 900, 700);
    EXPECT_EQ(j->shown_piece(), shown);
    // The card itself deals again among the hidden pieces.
    j->make_card_opaque();
    media::ImagePtr old_card = j->card().image;
    click_at(*j, j->card().left + 3, j->card().top + 3);
    EXPECT_NE(j->card().image, old_card) << "a new card was dealt";
    shown = j->shown_piece();
    ASSERT_EQ(shown->visible, 0);
    click_at(*j, shown->x0 + 30, shown->y0 - 30);
    EXPECT_EQ(shown->visible, 1);
  }
  EXPECT_EQ(rounds, 4);
  EXPECT_EQ(j->finished(), 1);
}

// The piece on the card takes a click anywhere on its home: where a piece before it in the list
// reaches over it (as neighbours do along their seam), and where its picture was white and cut
// away from its image, since its shape is whole there.
TEST(JigsawPlay, WhereShownPieceTakesEveryClickOnItsHome) {
  jt::fresh_world();
  auto j = jt::hand_made<activities::Where>(1, 3);  // homes 100 wide at x 200, 300 and 400
  Piece& a = at(*j, 0, 0);
  Piece& b = at(*j, 0, 1);
  Piece& c = at(*j, 0, 2);
  a.picture = jt::solid(160, 100);  // 120..280: 30 pixels into b's home
  media::mid_handle(a.picture);
  b.picture = jt::solid(100, 100);
  for (int y = 40; y < 60; ++y)
    for (int x = 40; x < 60; ++x) media::write_pixel(*b.picture->source, x, y, 0);  // 290..310 cut away
  media::mid_handle(b.picture);
  b.shape = jt::solid(100, 100);
  media::mid_handle(b.shape);
  for (bool a_revealed : {false, true}) {
    SCOPED_TRACE(a_revealed ? "a revealed" : "a hidden");
    a.visible = a_revealed;
    b.visible = false;
    c.visible = true;
    j->make_card();
    for (int deals = 0; deals < 200 && j->shown_piece() != &b; ++deals) j->make_card();  // a may come up first
    ASSERT_EQ(j->shown_piece(), &b);
    EXPECT_EQ(j->action_at(265, 200), activities::Where::ClickAction::Place) << "where a reaches over b";
    EXPECT_EQ(j->action_at(300, 200), activities::Where::ClickAction::Place) << "where b's picture was white";
    EXPECT_EQ(j->action_at(200, 200), activities::Where::ClickAction::Nothing) << "on a alone";
    EXPECT_EQ(j->action_at(400, 200), activities::Where::ClickAction::Nothing) << "on c";
    EXPECT_EQ(j->action_at(600, 200), activities::Where::ClickAction::Nothing) << "on no piece";
    click_at(*j, 300, 200);
    EXPECT_EQ(b.visible, 1);
    EXPECT_EQ(a.visible, a_revealed);
  }
}

TEST(JigsawPlay, FinishedPuzzleWaitsForTheCornerButton) {
  const app::Assets& s = jt::fresh_world().assets;
  std::unique_ptr<activities::Puzzle> puzzles[] = {jt::hand_made<activities::Uncover>(1, 2),
                                                     jt::hand_made<activities::Where>(1, 2),
                                                     jt::hand_made<Jigsaw>(1, 2)};
  for (auto& j : puzzles) {
    SCOPED_TRACE(typeid(*j).name());
    for (auto& p : j->pieces()) p->visible = p->fixed = true;
    EXPECT_EQ(j->finished(), 0) << "drawing and asking decide nothing";
    j->draw();
    EXPECT_EQ(click_at(*j, 200, 200), app::Outcome::Nothing) << "the next click finds every piece done";
    ASSERT_EQ(j->finished(), 1);
    EXPECT_TRUE(j->finished());
    int corner_y = s.screen_h - media::image_width(s.smiley_image) - 5;
    EXPECT_EQ(click_at(*j, 200, 200), app::Outcome::Nothing) << "on a piece: nothing";
    EXPECT_EQ(click_at(*j, 5 + media::image_width(s.smiley_image) / 2, corner_y + media::image_height(s.smiley_image) / 2),
              app::Outcome::Restart);
  }
  // A carried piece stays where it was on a finished jigsaw.
  EXPECT_EQ(static_cast<Jigsaw&>(*puzzles[2]).carried(), nullptr);
}
