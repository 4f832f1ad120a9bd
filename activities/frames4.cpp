#include "activities/frames4.hpp"

#include <memory>

#include "app/furniture.hpp"
#include "app/shell.hpp"
#include "media/draw.hpp"
#include "media/events.hpp"

namespace activities {
namespace {

constexpr int kFrameSpots[4][2] = {{94, 74}, {580, 74}, {94, 406}, {580, 406}};

}  // namespace

void TFrame::init(int px, int py) {
  x = px;
  y = py;
  pic_n = 0;
  pic = nullptr;
}

int TFrames4::init() {
  const app::Shell& s = app::shell();
  bgd = media::load_image(s.data_dir + "frames4/bgd.jpg", media::IMG_DEFAULT);
  frames.clear();
  for (const auto& spot : kFrameSpots) {
    TFrame f;
    f.init(spot[0], spot[1]);
    frames.push_back(f);
  }
  w = 352;
  h = 233;
  scale = 352.0f / static_cast<float>(s.screen_w);
  current = -1;
  count = 0;
  media::move_pointer(s.screen_w / 2, s.screen_h / 2);
  return 0;
}

int TFrames4::draw() {
  const app::Shell& s = app::shell();
  media::set_blend(media::SOLID);
  media::draw_image(bgd, 0, 0, 0);
  media::set_blend(s.default_blend);
  for (const TFrame& f : frames) {
    if (!f.pic) continue;
    media::set_scale(scale, scale);
    media::draw_image(f.pic, static_cast<float>(f.x), static_cast<float>(f.y), 0);
    media::set_scale(1, 1);
  }
  return 0;
}

int TFrames4::clear() {
  for (TFrame& f : frames) {
    f.pic = nullptr;
    f.visited = 0;
  }
  return 0;
}

int TFrames4::mouse_move() {
  app::Shell& s = app::shell();
  for (int i = 0; i < static_cast<int>(frames.size()); ++i) {
    TFrame& f = frames[i];
    if (!app::mouse_in(f.x, f.y, f.x + w, f.y + h)) continue;
    if (i == current) return 0;
    app::play_ping();
    f.pic_n = static_cast<uint8_t>((f.pic_n + 1) % 4);
    // With fewer than sixteen pictures the indexes wrap round the list; with none the frame stays empty.
    size_t n = s.pictures.count();
    f.pic = n ? s.pictures.image(static_cast<size_t>(4 * i + f.pic_n) % n) : nullptr;
    current = i;
    if (!f.visited) {
      f.visited = 1;
      ++count;
      if (count == 4 && s.activity == s.level) ++s.level;
    }
    return 0;
  }
  current = -1;
  return 0;
}

}  // namespace activities
