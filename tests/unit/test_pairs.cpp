// The pairs game's rules without a window: dealing, the click zones, which card a new card is
// compared with, the match pause, completion and the unlock, and tables with too few pictures.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "activities/pairs.hpp"
#include "activities/register.hpp"
#include "app/shell/furniture.hpp"
#include "app/shell/loop.hpp"
#include "media/input/clock.hpp"
#include "media/display/draw.hpp"
#include "media/input/events.hpp"
#include "media/sound/sound.hpp"
#include "tests/unit/test_world.hpp"

using activities::PairCard;
using activities::Pairs;
using app::Outcome;

namespace {

constexpr int kNone = Pairs::kNoCard;

class PairsTable : public testing::Test {
 protected:
  void SetUp() override {
    world.assets.probe_image = media::load_image(world.assets.data_dir + "images/white.bmp", 0);
    world.assets.smiley_image = media::load_image(world.assets.data_dir + "images/smiley.png", -1);
    media::use_manual_clock(true);
    media::set_manual_clock(5000);
    media::seed_random(88);
    media::reset_draw_state();
  }
  void TearDown() override {
    media::use_manual_clock(false);
    media::close_audio();  // the loop's sounds are real
  }

  void add_pictures(int n) {
    std::vector<media::ImagePtr> list = world.pictures();
    for (int i = 0; i < n; ++i) {
      auto img = std::make_shared<media::Image>();
      img->width = 1024;
      img->height = 768;
      list.push_back(img);
    }
    world.set_pictures(std::move(list));
  }
  media::ImagePtr picture(size_t i) const { return world.assets.picture(i); }
  int magic_played() const { return world.effects.count(app::Effect::Magic); }
  // A dealt game whose card k shows picture k % 8, so card k pairs with card k + 8 (or k - 8).
  void known_layout(Pairs& p) {
    std::vector<media::ImagePtr> grid;
    for (int k = 0; k < Pairs::kCards; ++k) grid.push_back(picture(k % 8));
    p.lay_pictures(grid);
  }
  // Clicks at (x, y), and when that turned up a match, lets its look run out as the loop would;
  // counts the clicks that finish a game.
  Outcome click_at(Pairs& p, int x, int y) {
    const size_t holds = world.requests.holds.size();
    Outcome o = p.click(tw::at(x, y));
    if (world.requests.holds.size() > holds) {
      media::advance_manual_clock(world.requests.holds.back());
      o = p.update(media::millisecs());
    }
    if (o == Outcome::Finished) ++finishes;
    return o;
  }
  // Clicks the middle of card k.
  Outcome click_card(Pairs& p, int k) { return click_at(p, p.cards()[k].x + 100, p.cards()[k].y + 80); }
  static int face_up(const Pairs& p) {
    int n = 0;
    for (const PairCard& c : p.cards()) n += c.face_up && !c.taken;
    return n;
  }
  // Another card still on the table with the same picture.
  static int partner(const Pairs& p, int k) {
    for (int j = 0; j < 16; ++j)
      if (j != k && !p.cards()[j].taken && p.cards()[j].picture == p.cards()[k].picture) return j;
    return -1;
  }
  // Makes every match left on the table, in grid order.
  void play_to_end(Pairs& p) {
    for (int k = 0; k < 16; ++k)
      if (!p.cards()[k].taken) click_card(p, k), click_card(p, partner(p, k));
  }
  // How many cards show each picture.
  static std::map<const media::Image*, int> under(const Pairs& p) {
    std::map<const media::Image*, int> count;
    for (const PairCard& c : p.cards()) ++count[c.picture.get()];
    return count;
  }

  // A game made on n more pictures; false when none was made.
  bool deal(int n) {
    add_pictures(n);
    game = Pairs::make(world.context);
    return game != nullptr;
  }

  tw::World world;
  std::unique_ptr<Pairs> game;
  int finishes = 0;
};

}  // namespace

TEST_F(PairsTable, GridAndDeal) {
  add_pictures(10);
  const std::vector<media::ImagePtr> pics = world.pictures();
  std::unique_ptr<Pairs> p = Pairs::make(world.context);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->card_width(), 215);
  EXPECT_EQ(p->card_height(), 161);
  ASSERT_EQ(p->cards().size(), 16u);
  const int xs[4] = {32, 279, 526, 773}, ys[4] = {24, 209, 394, 579};
  for (int k = 0; k < 16; ++k) {
    EXPECT_EQ(p->cards()[k].x, xs[k % 4]) << k;
    EXPECT_EQ(p->cards()[k].y, ys[k / 4]) << k;
  }
  EXPECT_TRUE(p->card_back()) << "pairs/back.jpg";
  EXPECT_TRUE(p->card_frame()) << "pairs/frame.png";

  // Every deal, the first as made and each new one whatever state the table was left in (a card
  // waiting; a pair off the table and a card waiting; the game finished): all face down, nothing
  // taken, nothing waiting, each of the first eight pictures under two cards.
  std::vector<const media::Image*> before;
  for (int deal = 0; deal < 4; ++deal) {
    SCOPED_TRACE(deal);
    if (deal == 1) click_card(*p, 3);
    if (deal == 2) {
      click_card(*p, 3);
      click_card(*p, partner(*p, 3));
      ASSERT_TRUE(p->cards()[3].taken);
      click_card(*p, p->cards()[4].taken ? 5 : 4);
    }
    if (deal == 1 || deal == 2) {
      ASSERT_NE(p->earlier_face_up(), kNone);
    }
    if (deal == 3) {
      play_to_end(*p);
      ASSERT_TRUE(p->finished());
    }
    if (deal > 0) p->setup();
    for (const PairCard& c : p->cards()) {
      EXPECT_FALSE(c.face_up);
      EXPECT_FALSE(c.taken);
    }
    std::map<const media::Image*, int> count = under(*p);
    ASSERT_EQ(count.size(), 8u);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(count[pics[i].get()], 2) << "picture " << i;
    EXPECT_EQ(p->earlier_face_up(), kNone);
    EXPECT_EQ(p->later_face_up(), kNone);
    EXPECT_FALSE(p->finished());
    std::vector<const media::Image*> now;
    for (const PairCard& c : p->cards()) now.push_back(c.picture.get());
    if (deal > 0) {
      EXPECT_NE(now, before) << "each deal moves pictures about";
    }
    before = now;
  }
}

TEST_F(PairsTable, ClickMarginAndGaps) {
  ASSERT_TRUE(deal(8));
  Pairs& p = *game;
  known_layout(p);
  // Card 0 spans x 32..247, y 24..185; with the margin 27..252, 19..190 (edges included).
  click_at(p, 26, 100);
  click_at(p, 100, 18);
  EXPECT_EQ(face_up(p), 0) << "just outside the margin";
  click_at(p, 27, 19);
  EXPECT_TRUE(p.cards()[0].face_up) << "the margin's top-left corner";
  EXPECT_EQ(p.earlier_face_up(), 0);
  // The gap between cards 0 and 1 (margins end at 252 and start at 274) and between rows 1 and 2.
  click_at(p, 253, 100);
  click_at(p, 273, 100);
  click_at(p, 100, 191);
  click_at(p, 100, 203);
  EXPECT_EQ(face_up(p), 1);
  click_at(p, 274, 100);
  EXPECT_TRUE(p.cards()[1].face_up) << "card 1's left margin";
  click_at(p, 400, 204);
  EXPECT_TRUE(p.cards()[5].face_up) << "card 5's top margin";
  click_at(p, 773 + 215 + 5, 579 + 161 + 5);
  EXPECT_TRUE(p.cards()[15].face_up) << "the last card's bottom-right margin corner";
  click_at(p, 1000, 760);
  EXPECT_EQ(face_up(p), 2) << "a click in no card changes nothing";
}

TEST_F(PairsTable, NewCardIsComparedWithTheOneTurnedJustBefore) {
  ASSERT_TRUE(deal(8));
  Pairs& p = *game;

  // A, then a different B, then C: A turns back, B and C stay up, and nothing waits.
  known_layout(p);
  click_card(p, 0);
  click_card(p, 1);
  EXPECT_EQ(p.earlier_face_up(), 0);
  EXPECT_EQ(p.later_face_up(), 1);
  click_card(p, 2);
  EXPECT_FALSE(p.cards()[0].face_up);
  EXPECT_TRUE(p.cards()[1].face_up);
  EXPECT_TRUE(p.cards()[2].face_up);
  EXPECT_EQ(p.earlier_face_up(), 1);
  EXPECT_EQ(p.later_face_up(), 2);
  EXPECT_EQ(media::millisecs(), 5000);
  EXPECT_TRUE(world.requests.holds.empty()) << "no input held back";

  // C matches A (card 8 shows A's picture): nothing is removed, A turns back.
  p.setup();
  known_layout(p);
  click_card(p, 0);
  click_card(p, 1);
  click_card(p, 8);
  EXPECT_FALSE(p.cards()[0].face_up);
  EXPECT_FALSE(p.cards()[0].taken || p.cards()[8].taken);
  EXPECT_EQ(p.earlier_face_up(), 1);
  EXPECT_EQ(p.later_face_up(), 8);
  EXPECT_EQ(media::millisecs(), 5000);

  // C matches B (card 9 shows B's picture): the pause, then B and C are off the table.
  p.setup();
  known_layout(p);
  click_card(p, 0);
  click_card(p, 1);
  click_card(p, 9);
  EXPECT_EQ(media::millisecs(), 6000) << "the match stays on show for one second";
  EXPECT_EQ(world.requests.holds, std::vector<int>{1000}) << "the child's input is held back meanwhile";
  EXPECT_TRUE(p.cards()[1].taken);
  EXPECT_TRUE(p.cards()[9].taken);
  EXPECT_FALSE(p.cards()[0].face_up);
  EXPECT_FALSE(p.cards()[0].taken);
  EXPECT_EQ(p.earlier_face_up(), kNone);
  EXPECT_EQ(p.later_face_up(), kNone);
  EXPECT_EQ(face_up(p), 0);

  // A straight match of two cards, then clicks on the taken cards' places and on a face-up card.
  p.setup();
  known_layout(p);
  click_card(p, 3);
  click_card(p, 3);
  EXPECT_EQ(p.earlier_face_up(), 3) << "clicking a face-up card again does nothing";
  EXPECT_EQ(p.later_face_up(), kNone);
  click_card(p, 11);
  EXPECT_EQ(media::millisecs(), 7000);
  EXPECT_TRUE(p.cards()[3].taken && p.cards()[11].taken);
  EXPECT_EQ(p.earlier_face_up(), kNone);
  click_card(p, 3);
  click_card(p, 11);
  EXPECT_EQ(p.earlier_face_up(), kNone) << "where a taken card was, a click does nothing";
  EXPECT_TRUE(p.cards()[3].taken && p.cards()[11].taken);
  // A card whose partner is taken can still be turned, and then waits as the earlier.
  click_card(p, 4);
  EXPECT_EQ(p.earlier_face_up(), 4);
  EXPECT_FALSE(p.finished());
  EXPECT_EQ(finishes, 0);
}

TEST_F(PairsTable, CompletionOnceWithMagicAndCornerButton) {
  ASSERT_TRUE(deal(8));
  Pairs& p = *game;
  EXPECT_FALSE(p.finished());
  for (int k = 0; k < 16; ++k) {
    if (p.cards()[k].taken) continue;
    click_card(p, k);
    ASSERT_FALSE(p.finished()) << "not before the last match";
    click_card(p, partner(p, k));
  }
  EXPECT_EQ(media::millisecs(), 5000 + 8 * 1000);
  EXPECT_TRUE(p.finished());
  EXPECT_EQ(finishes, 1) << "the last match finishes the game";
  EXPECT_EQ(magic_played(), 1) << "the magic sound, once";
  p.draw();
  EXPECT_EQ(magic_played(), 1);

  // After the game only the corner button counts (the smiley's middle; it is 100 px wide).
  EXPECT_EQ(click_at(p, 500, 400), Outcome::Nothing);
  EXPECT_EQ(click_at(p, 8, 666), Outcome::Nothing) << "inside the button's square, outside its round face";
  EXPECT_EQ(face_up(p), 0);
  EXPECT_EQ(click_at(p, 55, 768 - 100 - 5 + 50), Outcome::Restart);
  EXPECT_EQ(finishes, 1);
  EXPECT_EQ(magic_played(), 1);
}

TEST_F(PairsTable, TheLoopDealsAgainOnKeyEightAndOnTheCornerButton) {
  add_pictures(8);
  app::Loop loop(world.assets, activities::activity_table(), testing::TempDir() + "pairs-progress.txt", 8);
  auto key = [&](int digit) { tw::press_digit(loop, digit); };
  key(8);
  ASSERT_EQ(loop.state().activity, 8);
  auto* p = dynamic_cast<Pairs*>(loop.slot(8));
  ASSERT_NE(p, nullptr);
  // A click on card k, and the second's look at a match over before the next.
  auto click = [&](int k) {
    tw::click_at(loop, p->cards()[k].x + 100, p->cards()[k].y + 80);
    media::advance_manual_clock(1000);
    tw::tick(loop);
  };
  click(0);
  EXPECT_EQ(face_up(*p), 1);
  key(8);
  EXPECT_EQ(face_up(*p), 0) << "key 8 in activity 8 deals again";

  // Leaving an unfinished game and coming back resumes it.
  click(0);
  key(0);
  key(8);
  EXPECT_EQ(p->earlier_face_up(), 0);

  // Finishing at level 8 opens the jigsaw; the corner button of the finished game deals a new one.
  click(partner(*p, 0));
  for (int k = 0; k < 16; ++k)
    if (!p->cards()[k].taken) click(k), click(partner(*p, k));
  ASSERT_TRUE(p->finished());
  EXPECT_EQ(loop.state().level, 9);
  tw::click_at(loop, 55, 768 - 100 - 5 + 50);
  EXPECT_FALSE(p->finished());
  EXPECT_EQ(loop.slot(8), p) << "the same object, dealt again";
  EXPECT_EQ(loop.state().activity, 8);
}

TEST_F(PairsTable, DrawingLeavesTheStateAsItFoundIt) {
  ASSERT_TRUE(deal(8));
  Pairs& p = *game;
  known_layout(p);
  // Cards off the table, face up and face down.
  click_card(p, 2);
  click_card(p, 10);
  click_card(p, 0);
  click_card(p, 1);
  ASSERT_TRUE(p.cards()[2].taken);
  ASSERT_EQ(face_up(p), 2);
  p.draw();
  const media::DrawState& st = media::draw_state();
  EXPECT_EQ(st.blend, media::Blend::Mask);
  EXPECT_EQ(st.scale_x, 1.0f);
  EXPECT_EQ(st.scale_y, 1.0f);
  EXPECT_EQ(st.r + st.g + st.b, 3 * 255);
  EXPECT_EQ(st.alpha, 1.0f);
}

TEST_F(PairsTable, FewPicturesWrapRoundAndNoneLeavesAnEmptyTable) {
  for (int n : {1, 3, 7}) {
    SCOPED_TRACE(n);
    world.set_pictures({});
    add_pictures(n);
    finishes = 0;
    std::unique_ptr<Pairs> made = Pairs::make(world.context);
    ASSERT_TRUE(made);
    Pairs& p = *made;
    // Pictures 0 0 1 1 2 2 ... in grid order before shuffling, wrapping round the list: picture i
    // lies under two cards for each pair number (0 to 7) that leaves i when divided by n.
    std::map<const media::Image*, int> count = under(p);
    ASSERT_EQ(count.size(), static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
      int pairs_of_i = 0;
      for (int pair = 0; pair < 8; ++pair) pairs_of_i += pair % n == i;
      EXPECT_EQ(count[picture(i).get()], 2 * pairs_of_i) << "picture " << i;
    }
    // The game can still be finished, whatever pairs the child makes.
    play_to_end(p);
    EXPECT_TRUE(p.finished());
    EXPECT_EQ(finishes, 1);
  }

  // Nothing to deal: the sky with no cards, where clicks change nothing and take no time.
  world.set_pictures({});
  finishes = 0;
  media::set_manual_clock(5000);
  testing::internal::CaptureStderr();
  std::unique_ptr<Pairs> empty = Pairs::make(world.context);
  const std::string err = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(empty);
  EXPECT_NE(err.find("the table stays empty"), std::string::npos) << err;
  EXPECT_FALSE(empty->dealt());
  empty->draw();
  for (int k = 0; k < 16; ++k) click_card(*empty, k);
  EXPECT_EQ(face_up(*empty), 0) << "with no pictures the clicks are ignored";
  EXPECT_FALSE(empty->finished());
  EXPECT_EQ(finishes, 0);
  EXPECT_EQ(media::millisecs(), 5000);
  app::Loop loop(world.assets, activities::activity_table(), testing::TempDir() + "pairs-none.txt", 8);
  tw::press_digit(loop, 8);
  EXPECT_EQ(loop.state().activity, 8);
}

// The maker deals a game ready to play, with the thinking image shown meanwhile.
TEST_F(PairsTable, TheMakerYieldsADealtGame) {
  add_pictures(8);
  const app::ActivityMaker make = activities::activity_table()[8];
  ASSERT_TRUE(make);
  EXPECT_EQ(make.pictures(), 8);
  app::ActivityPtr a = make(world.context);
  ASSERT_TRUE(a);
  EXPECT_EQ(world.requests.thinking, 1);
  auto* p = dynamic_cast<Pairs*>(a.get());
  ASSERT_TRUE(p);
  EXPECT_EQ(under(*p).size(), 8u);
  EXPECT_EQ(face_up(*p), 0);
  EXPECT_FALSE(p->finished());
  // Shuffled: the pictures do not lie in pairs of neighbours as they are laid out.
  int neighbours = 0;
  for (int k = 0; k < 16; k += 2) neighbours += p->cards()[k].picture == p->cards()[k + 1].picture;
  EXPECT_LT(neighbours, 8);
  click_card(*p, 0);
  EXPECT_EQ(face_up(*p), 1) << "it takes clicks at once";
}
