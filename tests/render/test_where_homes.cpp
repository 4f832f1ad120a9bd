// "Where" on every prepared cut: for each piece the card dealt for it, and every point of the piece's
// home that the card leaves in sight, asked what a click there does through the rule the program's
// clicks run (Where::action_at). A child who clicks where the piece belongs must place it.
//
// The home is read here from the cut's own files, as the child sees it on the table: the shape its
// mask gives (everything the mask does not cut away as opaque pure white), centred on the home in
// the piece list. Two pictures: a generated one, and a drawing on white paper, whose white the
// pieces lose (it is cut away with the mask's white) although the home is the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "activities/where.hpp"
#include "app/pictures/picture_store.hpp"
#include "tests/render/render_util.hpp"
#include "tests/unit/test_jigsaw_util.hpp"

using activities::Where;

namespace {

constexpr int kW = 1024, kH = 768;
constexpr int kStep = 2;  // every second pixel in both directions

// A piece's home as the cut's files give it.
struct Home {
  int left = 0, top = 0;
  media::ImagePtr mask;  // loaded as the program loads it
  bool has(int x, int y) const {
    const int u = x - left, v = y - top;
    if (u < 0 || v < 0 || u >= mask->width || v >= mask->height) return false;
    const uint32_t m = media::read_pixel(*mask->source, u, v);
    return (m >> 24) < 128 || (m & 0xFFFFFF) != 0xFFFFFF;  // not cut away
  }
};

std::vector<Home> read_homes(int cut) {
  const std::string dir = jt::kData + "pieces/" + std::to_string(cut) + "/";
  std::ifstream list(dir + "pieces.txt");
  std::vector<int> v;
  for (std::string line; std::getline(list, line);) v.push_back(std::atoi(line.c_str()));
  std::vector<Home> out;
  if (v.size() < 4) return out;
  for (int i = 1; i <= v[0] * v[1] && 3 + 2 * i < static_cast<int>(v.size()); ++i) {
    Home h;
    h.mask = media::load_image(dir + std::to_string(i) + ".png");
    if (!h.mask || !h.mask->source) return {};
    h.left = v[2 + 2 * i] - h.mask->width / 2;
    h.top = v[3 + 2 * i] - h.mask->height / 2;
    out.push_back(h);
  }
  return out;
}

// Deals the card for piece i: with every other piece revealed it is the only one the card can
// show. The others are hidden again afterwards, as at the start of a game.
void deal_for(Where& j, size_t i) {
  for (size_t k = 0; k < j.pieces().size(); ++k) j.pieces()[k]->visible = k != i;
  j.make_card();
  for (auto& p : j.pieces()) p->visible = false;
}

bool under_card(const Where& j, int x, int y) {
  const Where::Card& c = j.card();
  const int u = x - c.left, v = y - c.top;
  if (!c.image || u < 0 || v < 0 || u >= c.image->width || v >= c.image->height) return false;
  return (media::read_pixel(*c.image->source, u, v) >> 24) >= 128;
}

// Points of the home (every one) under a card of w x h whose top-left corner is (cx, cy).
int home_under(const Home& h, int cx, int cy, int w, int h_) {
  int n = 0;
  for (int y = std::max(cy, h.top); y < std::min(cy + h_, h.top + h.mask->height); ++y)
    for (int x = std::max(cx, h.left); x < std::min(cx + w, h.left + h.mask->width); ++x) n += h.has(x, y);
  return n;
}

struct Tally {
  int home = 0;     // points of the home (sampled)
  int visible = 0;  // of those, not under the card
  int places = 0;   // of those, a click there places the piece
};

Tally tally(const Where& j, const Home& h) {
  Tally t;
  for (int y = h.top; y < h.top + h.mask->height; ++y)
    for (int x = h.left; x < h.left + h.mask->width; ++x) {
      if (x % kStep || y % kStep || !h.has(x, y)) continue;
      ++t.home;
      if (under_card(j, x, y)) continue;
      ++t.visible;
      t.places += j.action_at(x, y) == Where::ClickAction::Place;
    }
  return t;
}

// Plays the check on every cut with the world's first picture.
void every_home_places_its_piece(const std::string& picture) {
  SCOPED_TRACE(picture);
  for (int cut = 1; cut <= activities::Puzzle::kCuts; ++cut) {
    SCOPED_TRACE("cut " + std::to_string(cut));
    const std::vector<Home> homes = read_homes(cut);
    auto made_j = activities::puzzle_on_cut<activities::Where>(jt::context(), cut, 0);
    ASSERT_NE(made_j, nullptr);
    activities::Where& j = *made_j;
    ASSERT_EQ(homes.size(), j.pieces().size());
    std::ostringstream few, some_missed, card_not_best, much_hidden;
    for (size_t i = 0; i < homes.size(); ++i) {
      deal_for(j, i);
      ASSERT_EQ(j.shown_piece(), j.pieces()[i].get());
      const Tally t = tally(j, homes[i]);
      ASSERT_GT(t.home, 0) << "piece " << i + 1;
      // The card lies in the corner that hides the least of the home.
      const int w = j.card().image->width, h = j.card().image->height;
      const int chosen = home_under(homes[i], j.card().left, j.card().top, w, h);
      for (int cx : {10, kW - w - 10})
        for (int cy : {10, kH - h - 10})
          if (home_under(homes[i], cx, cy, w, h) < chosen)
            card_not_best << " " << i + 1 << " (" << chosen << " under the card at " << j.card().left << ","
                          << j.card().top << ", " << home_under(homes[i], cx, cy, w, h) << " at " << cx << "," << cy
                          << ")";
      // No corner keeps a card for the largest pieces clear of their home, but the best one hides
      // well under a quarter of it on every cut (a fifth at most).
      if ((t.home - t.visible) * 4 >= t.home)
        much_hidden << " " << i + 1 << " (" << t.home - t.visible << " of " << t.home << ")";
      if (t.visible == 0 || t.places * 10 < t.visible * 3)
        few << " " << i + 1 << " (" << t.places << " of " << t.visible << ")";
      else if (t.places < t.visible)
        some_missed << " " << i + 1 << " (" << t.visible - t.places << " of " << t.visible << ")";
    }
    EXPECT_EQ(few.str(), "") << "pieces placed by fewer than 30% of the points of their home in sight";
    EXPECT_EQ(some_missed.str(), "") << "pieces not placed by a click on some points of their home in sight";
    EXPECT_EQ(card_not_best.str(), "") << "cards hiding more of their piece's home than another corner would";
    EXPECT_EQ(much_hidden.str(), "") << "cards hiding a quarter of their piece's home or more";
  }
}

}  // namespace

TEST(WhereHomes, EveryHomeInSightPlacesItsPieceOnAGeneratedPicture) {
  jt::fresh_world(0);
  app::PictureStore store;
  store.start(jt::kData + "pics", {"05_fire_engine.jpg"}, app::screen_codec(kW, kH), 1);
  store.wait();
  ASSERT_EQ(store.count(), 1u);
  jt::world().set_pictures({store.at(0)});
  rt::fresh();
  every_home_places_its_piece("fire engine");
}

TEST(WhereHomes, EveryHomeInSightPlacesItsPieceOnADrawingOnWhitePaper) {
  jt::fresh_world(0);
  // Pure white paper with a few strokes and a filled circle: most pieces are white through and
  // through, so their images are little more than their edge lines.
  jt::world().set_pictures({rt::make_image(
      kW, kH,
      [](int x, int y) {
        const bool ink = std::abs(x - 300) < 3 || std::abs(y - 500) < 3 ||
                         (x - 700) * (x - 700) + (y - 300) * (y - 300) < 90 * 90;
        return ink ? 0xFF2040C0u : 0xFFFFFFFFu;
      },
      0)});
  rt::fresh();
  every_home_places_its_piece("white paper");
}
