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
#include "app/furniture.hpp"
#include "app/loop.hpp"
#include "media/clock.hpp"
#include "media/draw.hpp"
#include "media/events.hpp"
#include "media/sound.hpp"
#include "tests/unit/test_world.hpp"

using activities::TCard1;
using activities::TPairs;
using app::Outcome;

namespace {

class Pairs : public testing::Test {
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
  void known_layout(TPairs& p) {
    for (int k = 0; k < 16; ++k) p.cards[k].img = picture(k % 8);
  }
  // Clicks at (x, y), and when that turned up a match, lets its look run out as the loop would;
  // counts the clicks that finish a game.
  Outcome click_at(TPairs& p, int x, int y) {
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
  Outcome click_card(TPairs& p, int k) { return click_at(p, p.cards[k].x + 100, p.cards[k].y + 80); }
  static int face_up(const TPairs& p) {
    int n = 0;
    for (const TCard1& c : p.cards) n += c.visible && !c.found;
    return n;
  }
  // Another card still on the table with the same picture.
  static int partner(const TPairs& p, int k) {
    for (int j = 0; j < 16; ++j)
      if (j != k && !p.cards[j].found && p.cards[j].img == p.cards[k].img) return j;
    return -1;
  }

  tw::World world;
  int finishes = 0;
};

}  // namespace

TEST_F(Pairs, GridAndDeal) {
  add_pictures(10);
  const std::vector<media::ImagePtr> pics = world.pictures();
  TPairs p{world.context};
  p.init();
  EXPECT_EQ(p.w, 215);
  EXPECT_EQ(p.h, 161);
  EXPECT_EQ(p.d, 5);
  EXPECT_EQ(p.ms, 1000);
  ASSERT_EQ(p.cards.size(), 16u);
  const int xs[4] = {32, 279, 526, 773}, ys[4] = {24, 209, 394, 579};
  for (int k = 0; k < 16; ++k) {
    EXPECT_EQ(p.cards[k].x, xs[k % 4]) << k;
    EXPECT_EQ(p.cards[k].y, ys[k / 4]) << k;
    EXPECT_EQ(p.cards[k].img, pics[k / 2]) << "before shuffling, neighbours share a picture";
  }
  EXPECT_TRUE(p.back) << "pairs/back.jpg";
  EXPECT_TRUE(p.frame) << "pairs/frame.png";

  // Every deal: all face down, nothing found, each of the first eight pictures under two cards.
  std::vector<const media::Image*> before;
  for (const TCard1& c : p.cards) before.push_back(c.img.get());
  for (int deal = 0; deal < 3; ++deal) {
    p.cards[3].visible = p.cards[5].found = 1;
    p.complete = 1;
    p.first = &p.cards[3];
    p.setup();
    std::map<const media::Image*, int> under;
    for (const TCard1& c : p.cards) {
      EXPECT_EQ(c.visible, 0);
      EXPECT_EQ(c.found, 0);
      ++under[c.img.get()];
    }
    ASSERT_EQ(under.size(), 8u);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(under[pics[i].get()], 2) << "picture " << i;
    EXPECT_EQ(p.first, nullptr);
    EXPECT_EQ(p.second, nullptr);
    EXPECT_EQ(p.complete, 0);
    std::vector<const media::Image*> now;
    for (const TCard1& c : p.cards) now.push_back(c.img.get());
    EXPECT_NE(now, before) << "each deal moves pictures about";
    before = now;
  }
}

TEST_F(Pairs, ClickMarginAndGaps) {
  add_pictures(8);
  TPairs p{world.context};
  p.init();
  p.setup();
  known_layout(p);
  // Card 0 spans x 32..247, y 24..185; with the margin 27..252, 19..190 (edges included).
  click_at(p, 26, 100);
  click_at(p, 100, 18);
  EXPECT_EQ(face_up(p), 0) << "just outside the margin";
  click_at(p, 27, 19);
  EXPECT_EQ(p.cards[0].visible, 1) << "the margin's top-left corner";
  EXPECT_EQ(p.first, &p.cards[0]);
  // The gap between cards 0 and 1 (margins end at 252 and start at 274) and between rows 1 and 2.
  click_at(p, 253, 100);
  click_at(p, 273, 100);
  click_at(p, 100, 191);
  click_at(p, 100, 203);
  EXPECT_EQ(face_up(p), 1);
  click_at(p, 274, 100);
  EXPECT_EQ(p.cards[1].visible, 1) << "card 1's left margin";
  click_at(p, 400, 204);
  EXPECT_EQ(p.cards[5].visible, 1) << "card 5's top margin";
  click_at(p, 773 + 215 + 5, 579 + 161 + 5);
  EXPECT_EQ(p.cards[15].visible, 1) << "the last card's bottom-right margin corner";
  click_at(p, 1000, 760);
  EXPECT_EQ(face_up(p), 2) << "a click in no card changes nothing";
}

TEST_F(Pairs, NewCardIsComparedWithTheOneTurnedJustBefore) {
  add_pictures(8);
  TPairs p{world.context};
  p.init();

  // A, then a different B, then C: A turns back, B and C stay up, and nothing waits.
  p.setup();
  known_layout(p);
  click_card(p, 0);
  click_card(p, 1);
  EXPECT_EQ(p.first, &p.cards[0]);
  EXPECT_EQ(p.second, &p.cards[1]);
  click_card(p, 2);
  EXPECT_EQ(p.cards[0].visible, 0);
  EXPECT_EQ(p.cards[1].visible, 1);
  EXPECT_EQ(p.cards[2].visible, 1);
  EXPECT_EQ(p.first, &p.cards[1]);
  EXPECT_EQ(p.second, &p.cards[2]);
  EXPECT_EQ(media::millisecs(), 5000);

  // C matches A (card 8 shows A's picture): nothing is removed, A turns back.
  p.setup();
  known_layout(p);
  click_card(p, 0);
  click_card(p, 1);
  click_card(p, 8);
  EXPECT_EQ(p.cards[0].visible, 0);
  EXPECT_EQ(p.cards[0].found + p.cards[8].found, 0);
  EXPECT_EQ(p.first, &p.cards[1]);
  EXPECT_EQ(p.second, &p.cards[8]);
  EXPECT_EQ(media::millisecs(), 5000);

  // C matches B (card 9 shows B's picture): the pause, then B and C are off the table.
  p.setup();
  known_layout(p);
  click_card(p, 0);
  click_card(p, 1);
  click_card(p, 9);
  EXPECT_EQ(media::millisecs(), 6000) << "the match stays on show for one second";
  EXPECT_EQ(p.cards[1].found, 1);
  EXPECT_EQ(p.cards[9].found, 1);
  EXPECT_EQ(p.cards[0].visible, 0);
  EXPECT_EQ(p.cards[0].found, 0);
  EXPECT_EQ(p.first, nullptr);
  EXPECT_EQ(p.second, nullptr);
  EXPECT_EQ(face_up(p), 0);

  // A straight match of two cards, then clicks on the found cards' places and on a face-up card.
  p.setup();
  known_layout(p);
  click_card(p, 3);
  click_card(p, 3);
  EXPECT_EQ(p.first, &p.cards[3]) << "clicking a face-up card again does nothing";
  EXPECT_EQ(p.second, nullptr);
  click_card(p, 11);
  EXPECT_EQ(media::millisecs(), 7000);
  EXPECT_EQ(p.cards[3].found + p.cards[11].found, 2);
  EXPECT_EQ(p.first, nullptr);
  click_card(p, 3);
  click_card(p, 11);
  EXPECT_EQ(p.first, nullptr) << "where a found card was, a click does nothing";
  EXPECT_EQ(p.cards[3].found + p.cards[11].found, 2);
  // A card whose partner is found can still be turned, and then waits as first.
  click_card(p, 4);
  EXPECT_EQ(p.first, &p.cards[4]);
  EXPECT_EQ(p.complete, 0);
  EXPECT_EQ(finishes, 0);
}

TEST_F(Pairs, CompletionOnceWithMagicAndCornerButton) {
  add_pictures(8);
  TPairs p{world.context};
  p.init();
  p.setup();
  EXPECT_FALSE(p.finished());
  for (int k = 0; k < 16; ++k) {
    if (p.cards[k].found) continue;
    click_card(p, k);
    ASSERT_EQ(p.complete, 0) << "not before the last match";
    click_card(p, partner(p, k));
  }
  EXPECT_EQ(media::millisecs(), 5000 + 8 * 1000);
  EXPECT_EQ(p.complete, 1);
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

TEST_F(Pairs, TheLoopDealsAgainOnKeyEightAndOnTheCornerButton) {
  add_pictures(8);
  app::Loop loop(world.assets, activities::activity_table(), testing::TempDir() + "pairs-progress.txt", 8);
  auto key = [&](int digit) { tw::press_digit(loop, digit); };
  key(8);
  ASSERT_EQ(loop.state().activity, 8);
  auto* p = dynamic_cast<TPairs*>(loop.slot(8));
  ASSERT_NE(p, nullptr);
  // A click on card k, and the second's look at a match over before the next.
  auto click = [&](int k) {
    tw::click_at(loop, p->cards[k].x + 100, p->cards[k].y + 80);
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
  EXPECT_EQ(p->first, &p->cards[0]);

  // Finishing at level 8 opens the jigsaw; the corner button of the finished game deals a new one.
  click(partner(*p, 0));
  for (int k = 0; k < 16; ++k)
    if (!p->cards[k].found) click(k), click(partner(*p, k));
  ASSERT_EQ(p->complete, 1);
  EXPECT_EQ(loop.state().level, 9);
  tw::click_at(loop, 55, 768 - 100 - 5 + 50);
  EXPECT_EQ(p->complete, 0);
  EXPECT_EQ(loop.slot(8), p) << "the same object, dealt again";
  EXPECT_EQ(loop.state().activity, 8);
}

TEST_F(Pairs, DrawingLeavesTheStateAsItFoundIt) {
  add_pictures(8);
  TPairs p{world.context};
  p.init();
  p.setup();
  click_card(p, 0);
  click_card(p, 1);
  p.cards[2].found = 1;
  p.draw();
  const media::DrawState& st = media::draw_state();
  EXPECT_EQ(st.blend, media::Blend::Mask);
  EXPECT_EQ(st.scale_x, 1.0f);
  EXPECT_EQ(st.scale_y, 1.0f);
  EXPECT_EQ(st.r + st.g + st.b, 3 * 255);
  EXPECT_EQ(st.alpha, 1.0f);
}

TEST_F(Pairs, FewPicturesWrapRoundAndNoneLeavesAnEmptyTable) {
  for (int n : {1, 3, 7}) {
    SCOPED_TRACE(n);
    world.set_pictures({});
    add_pictures(n);
    finishes = 0;
    TPairs p{world.context};
    p.init();
    for (int k = 0; k < 16; ++k) EXPECT_EQ(p.cards[k].img, picture((k / 2) % n));
    p.setup();
    std::map<const media::Image*, int> under;
    for (const TCard1& c : p.cards) ++under[c.img.get()];
    for (auto& [img, count] : under) EXPECT_EQ(count % 2, 0) << "every picture lies under an even number of cards";
    // The game can still be finished, whatever pairs the child makes.
    for (int k = 0; k < 16; ++k)
      if (!p.cards[k].found) click_card(p, k), click_card(p, partner(p, k));
    EXPECT_EQ(p.complete, 1);
    EXPECT_EQ(finishes, 1);
  }

  world.set_pictures({});
  finishes = 0;
  media::set_manual_clock(5000);
  TPairs p{world.context};
  p.init();
  p.setup();
  EXPECT_FALSE(p.dealt());
  p.draw();
  for (int k = 0; k < 16; ++k) click_card(p, k);
  EXPECT_EQ(face_up(p), 0) << "with no pictures the clicks are ignored";
  EXPECT_FALSE(p.finished());
  EXPECT_EQ(finishes, 0);
  EXPECT_EQ(media::millisecs(), 5000);
}
