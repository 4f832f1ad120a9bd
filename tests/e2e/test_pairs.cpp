// The pairs game end to end: the real program under Xvfb. The test learns the cards' pictures by
// turning them and comparing screenshot regions, plays the whole game to the end, and checks the
// match pause, the corner button, the new deal and the unlock.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "tests/e2e/harness.hpp"

using e2e::Pipkin;
using media::read_pixel;

namespace {

constexpr int kCols[4] = {32, 279, 526, 773}, kRows[4] = {24, 209, 394, 579};
int card_x(int k) { return kCols[k % 4]; }
int card_y(int k) { return kRows[k / 4]; }

// Pixels sampled inside a card, clear of the frame and of the pointer (which rests at the click
// point near the card's bottom-right corner and hangs down and to the right of it).
using Sig = std::vector<uint32_t>;
Sig signature(const media::Pixmap& shot, int k) {
  Sig s;
  for (int y = card_y(k) + 8; y < card_y(k) + 140; y += 6)
    for (int x = card_x(k) + 8; x < card_x(k) + 190; x += 6) s.push_back(read_pixel(shot, x, y));
  return s;
}
// Mean difference per channel between two signatures.
double distance(const Sig& a, const Sig& b) {
  long sum = 0;
  for (size_t i = 0; i < a.size(); ++i)
    for (int sh = 0; sh < 24; sh += 8)
      sum += std::abs(static_cast<int>((a[i] >> sh) & 255) - static_cast<int>((b[i] >> sh) & 255));
  return static_cast<double>(sum) / (3.0 * a.size());
}
bool same(const Sig& a, const Sig& b) { return distance(a, b) < 6; }

// The game's rules, kept beside the real game so the test knows which clicks make a match.
struct Model {
  bool visible[16] = {}, found[16] = {};
  int first = -1, second = -1;
  // Turns card k; true when it makes a match (the program then pauses for a second).
  bool turn(int k, const std::vector<int>& pic) {
    if (visible[k] || found[k]) return false;
    visible[k] = true;
    if (first < 0) {
      first = k;
      return false;
    }
    if (second >= 0) {
      visible[first] = false;
      first = second;
    }
    if (pic[first] == pic[k]) {
      found[first] = found[k] = true;
      first = second = -1;
      return true;
    }
    second = k;
    return false;
  }
  int latest() const { return second >= 0 ? second : first; }
};

constexpr int kParkX = 1012, kParkY = 8;

// A click near the card's bottom-right corner and at once a move away, in one burst: the click must
// turn the card it was made on even when the program takes in the move first.
void click_card(Pipkin& app, int k) { app.click_then_move(card_x(k) + 205, card_y(k) + 150, kParkX, kParkY); }

}  // namespace

TEST(Pairs, AWholeGameToTheCornerButton) {
  e2e::Options opt;
  opt.level = 8;
  Pipkin app(opt);
  media::PixmapPtr sky = media::load_pixmap(app.data("images/sky.jpg"));
  ASSERT_TRUE(sky);
  ASSERT_TRUE(app.start()) << app.stderr_text();
  media::PixmapPtr title = app.screenshot();
  ASSERT_TRUE(title);
  app.key("8");
  ASSERT_TRUE(app.move_and_see(kParkX, kParkY)) << "the table with the pointer";
  // Dealing brings the cards' pictures back from their compact form, which takes a while on a busy
  // machine: wait for sixteen card backs, all alike, where the title was.
  EXPECT_TRUE(app.wait_for([&](const media::Pixmap& p) {
    Sig b = signature(p, 0);
    if (same(b, signature(*title, 0))) return false;
    for (int k = 1; k < 16; ++k)
      if (!same(signature(p, k), b)) return false;
    return true;
  })) << "the table is dealt";
  media::PixmapPtr table = app.screenshot("/tmp/pipkin_pairs_table.png");
  ASSERT_TRUE(table);
  // Sixteen card backs, all alike, and sky between them.
  Sig back = signature(*table, 0);
  for (int k = 1; k < 16; ++k) EXPECT_TRUE(same(signature(*table, k), back)) << "card " << k << " shows its back";
  uint32_t gap = read_pixel(*table, 263, 100), frame = read_pixel(*table, card_x(0) - 3, 100);
  EXPECT_NE(gap & 0xFFFFFF, frame & 0xFFFFFF) << "sky in the gap, a frame round the card";
  // A card that has left the table shows the sky in its place (but where the corner button of a
  // finished game covers it).
  media::PixmapPtr smiley = media::load_pixmap(app.data("images/smiley.png"));
  ASSERT_TRUE(smiley);
  const int button_x1 = 5 + smiley->width, button_y0 = 768 - 5 - smiley->height;
  auto gone = [&](const media::Pixmap& p, int k) {
    Sig a = signature(p, k), b = signature(*sky, k);
    size_t i = 0;
    for (int y = card_y(k) + 8; y < card_y(k) + 140; y += 6)
      for (int x = card_x(k) + 8; x < card_x(k) + 190; x += 6, ++i)
        if (x < button_x1 && y >= button_y0) a[i] = b[i];
    return same(a, b);
  };

  // Learn every card by turning the cards in order, following the rules in the model. A card that
  // makes a match shows for a second only: if the screenshot comes too late to see it, its picture
  // is the one it matched, the latest card turned.
  Model m;
  std::vector<int> pic(16, -1);
  std::vector<Sig> looks;  // one per distinct picture
  for (int k = 0; k < 16; ++k) {
    if (m.found[k]) continue;
    click_card(app, k);
    media::PixmapPtr seen;
    ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) {
      if (same(signature(p, k), back)) return false;
      seen = std::make_shared<media::Pixmap>(p);
      return true;
    })) << "card " << k << " turns face up";
    Sig s = signature(*seen, k);
    bool seen_gone = gone(*seen, k);
    if (seen_gone) {
      ASSERT_GE(m.latest(), 0) << "card " << k << " left the table without a match";
      pic[k] = pic[m.latest()];
    }
    for (size_t i = 0; i < looks.size() && pic[k] < 0; ++i)
      if (same(looks[i], s)) pic[k] = static_cast<int>(i);
    if (pic[k] < 0) {
      pic[k] = static_cast<int>(looks.size());
      looks.push_back(s);
    }
    bool matched = m.turn(k, pic);
    EXPECT_TRUE(matched || !seen_gone) << "card " << k << " left the table without a match";
    if (matched) {
      // The match stays on show, then both cards leave the table.
      ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) { return gone(p, k); })) << "matched card " << k << " vanishes";
    }
  }
  ASSERT_EQ(looks.size(), 8u) << "eight different pictures";
  for (int i = 0; i < 8; ++i) EXPECT_EQ(std::count(pic.begin(), pic.end(), i), 2) << "picture " << i;

  // The older of two face-up cards is face down again on screen; the later ones are up.
  media::PixmapPtr now = app.screenshot();
  for (int k = 0; k < 16; ++k) {
    if (m.found[k]) continue;
    EXPECT_EQ(same(signature(*now, k), back), !m.visible[k]) << "card " << k;
  }

  // Find every remaining pair. Once, the click after a match is made at once, likely during the
  // pause that shows the match: it waits in the queue and turns its card afterwards.
  bool queued_click_seen = false;
  for (int a = 0; a < 16; ++a) {
    if (m.found[a]) continue;
    int b = 0;
    while (b == a || pic[b] != pic[a]) ++b;
    while (!m.found[a]) {
      int k = m.latest() == a ? b : m.latest() == b ? a : !m.visible[a] ? a : b;
      click_card(app, k);
      ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) { return !same(signature(p, k), back); }))
          << "card " << k << " turns (or has already gone with its pair)";
      if (m.turn(k, pic)) {
        int c = -1;
        for (int j = 0; j < 16 && c < 0; ++j)
          if (!m.found[j] && !m.visible[j]) c = j;
        if (c >= 0 && !queued_click_seen) {
          click_card(app, c);
          m.turn(c, pic);
          ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) {
            return same(signature(p, c), looks[pic[c]]) && gone(p, k);
          })) << "the queued click turns card " << c << " once the pair " << a << ", " << b << " has gone";
          queued_click_seen = true;
        } else {
          ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) { return gone(p, k); })) << "matched card " << k << " vanishes";
        }
      } else {
        ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) { return same(signature(p, k), looks[pic[k]]); }))
            << "card " << k << " shows its picture";
      }
    }
  }
  // The table is empty and the corner button shows.
  uint32_t want = read_pixel(*smiley, 50, 20);
  ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) {
    return e2e::near(read_pixel(p, 55, 663 + 20), want >> 16 & 255, want >> 8 & 255, want & 255, 24);
  })) << "the corner button";
  media::PixmapPtr done = app.screenshot("/tmp/pipkin_pairs_done.png");
  for (int k = 0; k < 16; ++k) EXPECT_TRUE(gone(*done, k)) << "card " << k << " has gone";

  // A click off the button changes nothing (seen once the pointer has been drawn somewhere new,
  // so the click has been handled); a click on it deals a new game.
  click_card(app, 5);
  ASSERT_TRUE(app.move_and_see(600, 390));
  media::PixmapPtr still = app.screenshot();
  EXPECT_TRUE(gone(*still, 5));
  app.click_then_move(55, 713, kParkX, kParkY);
  ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) {
    for (int k = 0; k < 16; ++k)
      if (!same(signature(p, k), back)) return false;
    return true;
  })) << "a new deal: sixteen backs again";

  app.key("Escape");
  ASSERT_TRUE(app.wait_exit());
  EXPECT_EQ(app.read_text("pipkin.txt"), "9\r\n") << "finishing the pairs opened the jigsaw";
}
