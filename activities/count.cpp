#include "activities/count.hpp"

#include <memory>
#include <string>

#include "activities/still_frame.hpp"
#include "app/assets.hpp"
#include "app/effects.hpp"
#include "app/furniture.hpp"
#include "media/clock.hpp"
#include "media/draw.hpp"

namespace activities {
namespace {

constexpr int kBalls = 20;

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

void TBall::init(const std::string& data_dir, int number) {
  img = load_ball(data_dir + "count", number);
  glow = load_ball(data_dir + "count_glow", number);
  red = load_ball(data_dir + "count_red", number);
  n = static_cast<uint8_t>(number);
}

void TCount::init() {
  balls.clear();
  for (int i = 1; i <= kBalls; ++i) {
    TBall b;
    b.init(ctx_.assets.data_dir, i);
    balls.push_back(b);
  }
  radius = media::image_width(balls.back().img) / 2;
  balls = app::shuffle_list(balls);
  done = false;
}

void TCount::setup() {
  const app::Assets& s = ctx_.assets;
  if (n == 0)
    n = 9;
  else if (n < kBalls && done)
    ++n;
  current = 0;
  done = false;

  Grid g = grid_for(n);
  int cw = s.screen_w / g.cols, ch = s.screen_h / g.rows;
  std::vector<app::TPoint> candidates;
  for (int row = 0; row < g.rows; ++row)
    for (int col = 0; col < g.cols; ++col) {
      int x0 = col * cw, y0 = row * ch;
      app::TPoint p;
      int px = media::rand(x0 + radius, x0 + cw - radius);
      int py = media::rand(y0 + radius, y0 + ch - radius);
      p.init(px, py);
      candidates.push_back(p);
    }
  candidates = app::shuffle_list(candidates);

  size_t next = 0;
  for (TBall& b : balls) {
    if (b.n > n || next >= candidates.size()) continue;
    b.xc = candidates[next].x;
    b.yc = candidates[next].y;
    ++next;
  }
  red = 0;
}

// Drawn again for every pointer move; the balls change only now and then, so the last drawing is
// kept and copied back while every ball keeps its look and place.
void TCount::draw() const {
  const media::ImagePtr& sky = ctx_.assets.sky_image;
  if (!covers_screen(sky, ctx_.assets)) {
    drawn_.forget();
    draw_balls();
    return;
  }
  media::FrameCache::Key key{key_of(sky.get())};
  for (const TBall& b : balls) {
    if (b.n > n) continue;
    key.push_back(key_of(look(b).get()));
    key.push_back(b.xc);
    key.push_back(b.yc);
  }
  if (drawn_.put_back(key)) return;
  draw_balls();
  drawn_.keep(std::move(key));
}

void TCount::draw_balls() const {
  media::draw_image(ctx_.assets.sky_image, 0, 0, 0);
  media::SavedDrawState saved;
  media::set_blend(media::Blend::Alpha);
  for (const TBall& b : balls)
    if (b.n <= n) media::draw_image(look(b), static_cast<float>(b.xc), static_cast<float>(b.yc), 0);
}

const media::ImagePtr& TCount::look(const TBall& b) const {
  if (b.n == red) return b.red;
  if (b.n == current || done) return b.glow;
  return b.img;
}

const TBall* TCount::ball(int number) const {
  for (const TBall& b : balls)
    if (b.n == number) return &b;
  return nullptr;
}

app::Outcome TCount::move(const app::PointerInput& to) {
  auto touched = [&](const TBall& b) {
    return app::point_over(ctx_.assets, b.img, static_cast<float>(b.xc), static_cast<float>(b.yc), to.x, to.y);
  };
  if (done) {
    for (const TBall& b : balls)
      if (b.n == 1 && touched(b)) {
        setup();
        break;
      }
    return app::Outcome::Nothing;
  }
  for (const TBall& b : balls) {
    if (b.n > n || !touched(b)) continue;
    int k = b.n;
    if (current == 0) {
      if (k == 1) {
        current = 1;
        red = 0;
      }
      return app::Outcome::Nothing;
    }
    if (k == current) return app::Outcome::Nothing;
    if (k == current + 1) {
      current = static_cast<uint8_t>(k);
      if (k == n) {
        done = true;
        ctx_.effects.play(app::Effect::Magic);
        return app::Outcome::Finished;
      }
    } else {
      red = k;
      current = 0;
      ctx_.effects.play(app::Effect::Pop);
    }
  }
  return app::Outcome::Nothing;
}

}  // namespace activities
