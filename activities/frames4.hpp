// Activity 1, picture frames: four frames on a background; moving the pointer into a frame shows
// that frame's next picture. Entering all four frames once finishes the activity.
#pragma once
#include <cstdint>
#include <vector>

#include "app/activity.hpp"
#include "media/image.hpp"

namespace activities {

struct TFrame {
  int x = 0, y = 0;      // top-left corner of the picture area
  media::ImagePtr pic;   // none: the frame is empty
  bool visited = false;  // entered since the last clear
  uint8_t pic_n = 0;     // which of the frame's four pictures is (or was last) shown

  void init(int px, int py);
};

class TFrames4 : public app::Activity {
 public:
  // Frame i shows pictures 4i + 1, 4i + 2, 4i + 3 and 4i in turn: with the first fourteen in, every
  // frame has its first picture, and the last two come while the child plays. Until then an index
  // wraps round the pictures already in, as it does for a folder of fewer than sixteen.
  static constexpr app::Traits kTraits{
      .wants_moves = true, .again_while_current = app::Again::Clear, .pictures = 16, .pictures_to_start = 14};

  explicit TFrames4(const app::Context& context) : ctx_(context) {}

  media::ImagePtr bgd;
  std::vector<TFrame> frames;  // a frame's position (0..3) selects its pictures
  float scale = 0.0f;          // pictures are drawn at 352 / screen width
  int current = -1;            // position of the frame that held the pointer last time; -1 none
  int w = 0, h = 0;            // every frame's sensitive rectangle
  int count = 0;               // first entries into a frame; clear does not reset it

  const app::Traits& traits() const override { return kTraits; }
  void init();
  void draw() const override;
  void clear() override;
  app::Outcome move(const app::PointerInput& to) override;

 private:
  app::Context ctx_;
};

}  // namespace activities
