#include "activities/pairs.hpp"

#include <string>
#include <utility>

#include "activities/still_frame.hpp"
#include "app/start/assets.hpp"
#include "app/shell/effects.hpp"
#include "app/shell/furniture.hpp"
#include "media/input/clock.hpp"
#include "media/display/draw.hpp"
#include "media/display/saved_draw_state.hpp"
#include "media/files/log.hpp"

namespace activities {
namespace {

constexpr float kCardScale = 0.21f;  // card size as a share of the screen; pictures are drawn at it
constexpr int kPairs = Pairs::kCards / 2;

}  // namespace

Pairs::Pairs(const app::Context& context) : ctx_(context) {
  const app::Assets& s = ctx_.assets;
  frame_ = media::load_image(s.data_dir + "pairs/frame.png", media::IMG_DEFAULT);
  back_ = media::load_image(s.data_dir + "pairs/back.jpg", media::IMG_DEFAULT);
  card_w_ = static_cast<int>(static_cast<double>(kCardScale) * s.screen_w);
  card_h_ = static_cast<int>(static_cast<double>(kCardScale) * s.screen_h);
  const int gap_x = (s.screen_w - 4 * card_w_) / 5, gap_y = (s.screen_h - 4 * card_h_) / 5;

  // Pictures 0 0 1 1 / 2 2 3 3 / ... before shuffling. With fewer than eight pictures the indexes
  // wrap round the list, so every picture still lies under an even number of cards.
  const size_t n = s.picture_count();
  size_t j = 0;
  for (int row = 1; row <= 4; ++row)
    for (int col = 1; col <= 4; ++col) {
      PairCard card;
      card.x = gap_x + (col - 1) * (card_w_ + gap_x);
      card.y = gap_y + (row - 1) * (card_h_ + gap_y);
      card.picture = n ? s.picture(j % n) : nullptr;
      cards_.push_back(std::move(card));
      if (app::is_even(col)) ++j;
    }
}

std::unique_ptr<Pairs> Pairs::make(const app::Context& context) {
  const size_t n = context.assets.picture_count();
  std::unique_ptr<Pairs> pairs(new Pairs(context));
  // Without any picture the sky is shown with no cards on it, so the key still visibly does something.
  if (n < kPairs)
    media::log_error("pairs", "only " + std::to_string(n) + " pictures for eight pairs" +
                                  (n ? "; some are used more than once" : "; the table stays empty"));
  pairs->setup();
  return pairs;
}

void Pairs::setup() {
  for (PairCard& c : cards_) c.face_up = c.taken = false;
  shuffle();
  earlier_ = later_ = kNoCard;
  match_[0] = match_[1] = kNoCard;
  complete_ = false;
}

void Pairs::shuffle() {
  const int n = static_cast<int>(cards_.size());
  for (int i = 0; i < n; ++i) {
    const int a = media::rand(0, n - 1);
    const int b = media::rand(0, n - 1);
    std::swap(cards_[a].picture, cards_[b].picture);
  }
}

void Pairs::lay_pictures(const std::vector<media::ImagePtr>& in_grid_order) {
  for (size_t k = 0; k < cards_.size() && k < in_grid_order.size(); ++k) cards_[k].picture = in_grid_order[k];
}

// The table changes only on a click, but is drawn again for every pointer move: the last drawing is
// kept and copied back while the cards lie as they did. Only a sky covering the screen makes a
// drawing whole enough to keep.
void Pairs::draw() const {
  const media::ImagePtr& sky = ctx_.assets.sky_image;
  if (!covers_screen(sky, ctx_.assets)) {
    drawn_.forget();
    draw_table();
    return;
  }
  auto id = [](const auto& p) { return key_of(p.get()); };
  media::FrameCache::Key key{id(sky), id(back_), id(frame_), dealt(), complete_, key_of(&ctx_.assets),
                             id(ctx_.assets.smiley_image)};
  for (const PairCard& c : cards_) {
    for (std::intptr_t v : {id(c.picture), static_cast<std::intptr_t>(c.x), static_cast<std::intptr_t>(c.y),
                            static_cast<std::intptr_t>(c.face_up), static_cast<std::intptr_t>(c.taken)})
      key.push_back(v);
  }
  if (drawn_.put_back(key)) return;
  draw_table();
  drawn_.keep(std::move(key));
}

void Pairs::draw_table() const {
  media::draw_image(ctx_.assets.sky_image, 0, 0, 0);
  if (!dealt()) return;
  for (const PairCard& c : cards_) {
    if (c.taken) continue;
    media::SavedDrawState saved;
    if (c.face_up) {
      media::SavedDrawState scaled;
      media::set_scale(kCardScale, kCardScale);
      media::draw_image(c.picture, c.x, c.y, 0);
    } else {
      media::set_blend(media::Blend::Solid);
      media::draw_image(back_, c.x, c.y, 0);
    }
    media::set_blend(media::Blend::Alpha);
    media::draw_image(frame_, c.x - kFrameMargin, c.y - kFrameMargin, 0);
  }
  if (complete_) app::draw_corner_button(ctx_.assets);
}

void Pairs::look_at_match(int a, int b) {
  match_[0] = a;
  match_[1] = b;
  match_until_ms_ = media::millisecs() + kMatchShownMs;
  ctx_.requests.hold_input(kMatchShownMs);
}

app::Outcome Pairs::take_pair() {
  cards_[match_[0]].taken = cards_[match_[1]].taken = true;
  match_[0] = match_[1] = kNoCard;
  for (const PairCard& c : cards_)
    if (!c.taken) return app::Outcome::Redraw;
  complete_ = true;
  ctx_.effects.play(app::Effect::Magic);
  return app::Outcome::Finished;
}

app::Outcome Pairs::update(int now_ms) {
  if (match_[0] == kNoCard || now_ms < match_until_ms_) return app::Outcome::Nothing;
  return take_pair();
}

app::Outcome Pairs::click(const app::PointerInput& at) {
  if (!dealt()) return app::Outcome::Nothing;
  // The loop holds clicks back while a pair is looked at; one that comes anyway ends the look first.
  const app::Outcome ended = match_[0] != kNoCard ? take_pair() : app::Outcome::Nothing;
  if (complete_) {
    if (ended == app::Outcome::Finished) return ended;
    return app::corner_button_hit(ctx_.assets, at.x, at.y) ? app::Outcome::Restart : app::Outcome::Nothing;
  }
  int turned = kNoCard;
  for (int k = 0; k < static_cast<int>(cards_.size()); ++k) {
    const PairCard& c = cards_[k];
    if (app::point_in(at.x, at.y, c.x - kFrameMargin, c.y - kFrameMargin, c.x + card_w_ + kFrameMargin,
                      c.y + card_h_ + kFrameMargin)) {
      turned = k;
      break;
    }
  }
  // A gap, a face-up card or a taken card's place (taken cards stay face up).
  if (turned == kNoCard || cards_[turned].face_up) return ended;
  cards_[turned].face_up = true;
  auto same_picture = [this](int a, int b) { return cards_[a].picture == cards_[b].picture; };
  if (earlier_ == kNoCard) {
    earlier_ = turned;
  } else if (later_ == kNoCard) {
    if (same_picture(earlier_, turned)) {
      look_at_match(earlier_, turned);
      earlier_ = kNoCard;
    } else {
      later_ = turned;
    }
  } else {
    cards_[earlier_].face_up = false;  // the older card turns back; the new one is compared with the later one
    earlier_ = later_;
    later_ = turned;
    if (same_picture(earlier_, later_)) {
      look_at_match(earlier_, later_);
      earlier_ = later_ = kNoCard;
    }
  }
  return app::Outcome::Redraw;
}

}  // namespace activities
