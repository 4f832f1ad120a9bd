#include "activities/count.hpp"

#include <memory>
#include <string>

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

struct Grid {
  int rows, cols;
};

Grid grid_for(int balls) {
  if (balls <= 9) return {3, 3};
  if (balls <= 12) return {3, 4};
  if (balls <= 16) return {4, 4};
  return {4, 5};
}

media::ImagePtr load_ball(const std::string& folder, int number) {
  media::ImagePtr img = media::load_image(folder + "/" + std::to_string(number) + ".png", media::IMG_DEFAULT);
  media::mid_handle(img);
  return img;
}

}  // namespace

std::unique_ptr<CountingBalls> CountingBalls::make(const app::Context& context) {
  const std::string& data = context.assets.data_dir;
  std::unique_ptr<CountingBalls> c(new CountingBalls(context));
  for (int i = 1; i <= kBalls; ++i) {
    Ball b;
    b.number = i;
    b.normal = load_ball(data + "count", i);
    b.glowing = load_ball(data + "count_glow", i);
    b.wrong = load_ball(data + "count_red", i);
    // A ball without one of its looks would vanish or could not be touched: the game could not end.
    if (!b.normal || !b.glowing || !b.wrong) {
      media::log_error("counting", "cannot start without the three looks of ball " + std::to_string(i) + " in " +
                                       data + "count, count_glow and count_red");
      return nullptr;
    }
    c->balls_.push_back(b);
  }
  c->ball_radius_ = media::image_width(c->balls_.back().normal) / 2;
  c->balls_ = app::shuffle_list(c->balls_);
  c->lay_out();
  return c;
}

void CountingBalls::setup() {
  if (in_play_ < kBalls && complete_) ++in_play_;
  lay_out();
}

// Starts a game of in_play_ balls: every ball in play gets a cell of its own.
void CountingBalls::lay_out() {
  const app::Assets& s = ctx_.assets;
  last_counted_ = 0;
  complete_ = false;

  Grid g = grid_for(in_play_);
  int cw = s.screen_w / g.cols, ch = s.screen_h / g.rows;
  std::vector<app::Point> candidates;
  for (int row = 0; row < g.rows; ++row)
    for (int col = 0; col < g.cols; ++col) {
      int x0 = col * cw, y0 = row * ch;
      // Two statements: x is drawn before y.
      const int px = media::rand(x0 + ball_radius_, x0 + cw - ball_radius_);
      const int py = media::rand(y0 + ball_radius_, y0 + ch - ball_radius_);
      candidates.push_back(app::Point{px, py});
    }
  candidates = app::shuffle_list(candidates);

  size_t next = 0;
  for (Ball& b : balls_) {
    if (b.number > in_play_ || next >= candidates.size()) continue;
    b.centre_x = candidates[next].x;
    b.centre_y = candidates[next].y;
    ++next;
  }
  wrong_ball_ = 0;
}

// Drawn again for every pointer move; the balls change only now and then, so the last drawing is
// kept and copied back while every ball keeps its look and place.
void CountingBalls::draw() const {
  const media::ImagePtr& sky = ctx_.assets.sky_image;
  if (!covers_screen(sky, ctx_.assets)) {
    drawn_.forget();
    draw_balls();
    return;
  }
  media::FrameCache::Key key{key_of(sky.get())};
  for (const Ball& b : balls_) {
    if (b.number > in_play_) continue;
    key.push_back(key_of(look(b).get()));
    key.push_back(b.centre_x);
    key.push_back(b.centre_y);
  }
  if (drawn_.put_back(key)) return;
  draw_balls();
  drawn_.keep(std::move(key));
}

void CountingBalls::draw_balls() const {
  media::draw_image(ctx_.assets.sky_image, 0, 0, 0);
  media::SavedDrawState saved;
  media::set_blend(media::Blend::Alpha);
  for (const Ball& b : balls_)
    if (b.number <= in_play_)
      media::draw_image(look(b), static_cast<float>(b.centre_x), static_cast<float>(b.centre_y), 0);
}

const media::ImagePtr& CountingBalls::look(const Ball& b, int wrong_ball, int last_counted, bool complete) {
  if (b.number == wrong_ball) return b.wrong;
  if (b.number == last_counted || complete) return b.glowing;
  return b.normal;
}

const Ball* CountingBalls::ball(int number) const {
  for (const Ball& b : balls_)
    if (b.number == number) return &b;
  return nullptr;
}

app::Outcome CountingBalls::move(const app::PointerInput& to) {
  auto touched = [&](const Ball& b) {
    return app::point_over(ctx_.assets, b.normal, static_cast<float>(b.centre_x), static_cast<float>(b.centre_y),
                           to.x, to.y);
  };
  if (complete_) {
    for (const Ball& b : balls_)
      if (b.number == 1 && touched(b)) {
        setup();
        break;
      }
    return app::Outcome::Nothing;
  }
  for (const Ball& b : balls_) {
    if (b.number > in_play_ || !touched(b)) continue;
    int k = b.number;
    if (last_counted_ == 0) {
      if (k == 1) {
        last_counted_ = 1;
        wrong_ball_ = 0;
      }
      return app::Outcome::Nothing;
    }
    if (k == last_counted_) return app::Outcome::Nothing;
    if (k == last_counted_ + 1) {
      last_counted_ = k;
      if (k == in_play_) {
        complete_ = true;
        ctx_.effects.play(app::Effect::Magic);
        return app::Outcome::Finished;
      }
    } else {
      wrong_ball_ = k;
      last_counted_ = 0;
      ctx_.effects.play(app::Effect::Pop);
    }
  }
  return app::Outcome::Nothing;
}

}  // namespace activities
