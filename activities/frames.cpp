#include "activities/frames.hpp"

#include <string>

#include "app/start/assets.hpp"
#include "app/shell/effects.hpp"
#include "app/shell/furniture.hpp"
#include "media/display/draw.hpp"
#include "media/display/saved_draw_state.hpp"
#include "media/files/log.hpp"

namespace activities {
namespace {

constexpr int kFrameSpots[PictureFrames::kFrames][2] = {{94, 74}, {580, 74}, {94, 406}, {580, 406}};
// Every frame's sensitive rectangle, from its corner.
constexpr int kSensitiveWidth = 352, kSensitiveHeight = 233;

}  // namespace

std::unique_ptr<PictureFrames> PictureFrames::make(const app::Context& context) {
  const app::Assets& a = context.assets;
  std::unique_ptr<PictureFrames> f(new PictureFrames(context));
  const std::string background = a.data_dir + "frames4/bgd.jpg";
  f->background_ = media::load_image(background, media::IMG_DEFAULT);
  if (!f->background_) {
    media::log_error("frames", "cannot start without the background " + background);
    return nullptr;
  }
  for (int i = 0; i < kFrames; ++i) {
    f->frames_[static_cast<size_t>(i)].left = kFrameSpots[i][0];
    f->frames_[static_cast<size_t>(i)].top = kFrameSpots[i][1];
  }
  f->picture_scale_ = 352.0f / static_cast<float>(a.screen_w);
  context.requests.move_pointer(a.screen_w / 2, a.screen_h / 2);
  return f;
}

void PictureFrames::draw() const {
  {
    media::SavedDrawState saved;
    media::set_blend(media::Blend::Solid);
    media::draw_image(background_, 0, 0, 0);
  }
  media::SavedDrawState saved;
  media::set_scale(picture_scale_, picture_scale_);
  for (const PictureFrame& f : frames_)
    if (f.picture) media::draw_image(f.picture, static_cast<float>(f.left), static_cast<float>(f.top), 0);
}

void PictureFrames::clear() {
  for (PictureFrame& f : frames_) {
    f.picture = nullptr;
    f.entered = false;
  }
}

app::Outcome PictureFrames::move(const app::PointerInput& to) {
  const app::Assets& a = ctx_.assets;
  for (int i = 0; i < kFrames; ++i) {
    PictureFrame& f = frames_[static_cast<size_t>(i)];
    if (!app::point_in(to.x, to.y, f.left, f.top, f.left + kSensitiveWidth, f.top + kSensitiveHeight)) continue;
    if (i == under_pointer_) return app::Outcome::Nothing;
    ctx_.effects.play(app::Effect::Ping);
    f.turn = (f.turn + 1) % 4;
    // With fewer than sixteen pictures the indexes wrap round the list; with none the frame stays empty.
    size_t n = a.picture_count();
    f.picture = n ? a.picture(static_cast<size_t>(4 * i + f.turn) % n) : nullptr;
    under_pointer_ = i;
    if (!f.entered) {
      f.entered = true;
      ++first_entries_;
      if (first_entries_ == kFrames) return app::Outcome::Finished;
    }
    return app::Outcome::Nothing;
  }
  under_pointer_ = -1;
  return app::Outcome::Nothing;
}

}  // namespace activities
