#include "activities/count.hpp"

#include <memory>
#include <string>

#include "app/furniture.hpp"
#include "app/shell.hpp"
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
  media::ImagePtr img =
      media::load_image(app::shell().data_dir + folder + "/" + std::to_string(number) + ".png", media::IMG_DEFAULT);
  media::mid_handle(img);
  return img;
}

}  // namespace

void TBall::init(int number) {
  img = load_ball("count", number);
  glow = load_ball("count_glow", number);
  red = load_ball("count_red", number);
  n = static_cast<uint8_t>(number);
}

int TCount::init() {
  balls.clear();
  for (int i = 1; i <= kBalls; ++i) {
    TBall b;
    b.init(i);
    balls.push_back(b);
  }
  radius = media::image_width(balls.back().img) / 2;
  balls = app::shuffle_list(balls);
  done = 0;
  return 0;
}

int TCount::setup() {
  const app::Shell& s = app::shell();
  if (n == 0)
    n = 9;
  else if (n < kBalls && done)
    ++n;
  current = 0;
  done = 0;

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
  return 0;
}

int TCount::draw() {
  const app::Shell& s = app::shell();
  media::draw_image(s.sky_image, 0, 0, 0);
  media::set_blend(media::ALPHA);
  for (const TBall& b : balls)
    if (b.n <= n) media::draw_image(look(b), static_cast<float>(b.xc), static_cast<float>(b.yc), 0);
  media::set_blend(s.default_blend);
  return 0;
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

int TCount::mouse_move() {
  app::Shell& s = app::shell();
  auto touched = [](const TBall& b) { return app::mouse_over(b.img, static_cast<float>(b.xc), static_cast<float>(b.yc)); };
  if (done) {
    for (const TBall& b : balls)
      if (b.n == 1 && touched(b)) {
        setup();
        break;
      }
    return 0;
  }
  for (const TBall& b : balls) {
    if (b.n > n || !touched(b)) continue;
    int k = b.n;
    if (current == 0) {
      if (k == 1) {
        current = 1;
        red = 0;
      }
      return 0;
    }
    if (k == current) return 0;
    if (k == current + 1) {
      current = static_cast<uint8_t>(k);
      if (k == n) {
        done = 1;
        if (s.activity == s.level) ++s.level;
        app::play_magic();
      }
    } else {
      red = k;
      current = 0;
      app::play_pop();
    }
  }
  return 0;
}

}  // namespace activities
