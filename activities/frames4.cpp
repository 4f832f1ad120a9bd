#include "activities/frames4.hpp"

#include "app/assets.hpp"
#include "app/effects.hpp"
#include "app/furniture.hpp"
#include "media/draw.hpp"

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

void TFrames4::init() {
  const app::Assets& a = ctx_.assets;
  bgd = media::load_image(a.data_dir + "frames4/bgd.jpg", media::IMG_DEFAULT);
  frames.clear();
  for (const auto& spot : kFrameSpots) {
    TFrame f;
    f.init(spot[0], spot[1]);
    frames.push_back(f);
  }
  w = 352;
  h = 233;
  scale = 352.0f / static_cast<float>(a.screen_w);
  current = -1;
  count = 0;
  ctx_.requests.move_pointer(a.screen_w / 2, a.screen_h / 2);
}

void TFrames4::draw() const {
  {
    media::SavedDrawState saved;
    media::set_blend(media::Blend::Solid);
    media::draw_image(bgd, 0, 0, 0);
  }
  media::SavedDrawState saved;
  media::set_scale(scale, scale);
  for (const TFrame& f : frames)
    if (f.pic) media::draw_image(f.pic, static_cast<float>(f.x), static_cast<float>(f.y), 0);
}

void TFrames4::clear() {
  for (TFrame& f : frames) {
    f.pic = nullptr;
    f.visited = false;
  }
}

app::Outcome TFrames4::move(const app::PointerInput& to) {
  const app::Assets& a = ctx_.assets;
  for (int i = 0; i < static_cast<int>(frames.size()); ++i) {
    TFrame& f = frames[i];
    if (!app::point_in(to.x, to.y, f.x, f.y, f.x + w, f.y + h)) continue;
    if (i == current) return app::Outcome::Nothing;
    ctx_.effects.play(app::Effect::Ping);
    f.pic_n = static_cast<uint8_t>((f.pic_n + 1) % 4);
    // With fewer than sixteen pictures the indexes wrap round the list; with none the frame stays empty.
    size_t n = a.picture_count();
    f.pic = n ? a.picture(static_cast<size_t>(4 * i + f.pic_n) % n) : nullptr;
    current = i;
    if (!f.visited) {
      f.visited = true;
      ++count;
      if (count == 4) return app::Outcome::Finished;
    }
    return app::Outcome::Nothing;
  }
  current = -1;
  return app::Outcome::Nothing;
}

}  // namespace activities
