// Activity 1, picture frames: four frames on a background; moving the pointer into a frame shows
// that frame's next picture. Entering all four frames once finishes the activity.
#pragma once
#include <array>
#include <memory>

#include "app/shell/activity.hpp"
#include "media/display/image.hpp"

namespace activities {

struct PictureFrame {
  int left = 0, top = 0;    // top-left corner of the picture area
  media::ImagePtr picture;  // none: the frame is empty
  bool entered = false;     // entered since the last clear
  int turn = 0;             // which of the frame's four pictures is (or was last) shown, 0..3
};

class PictureFrames : public app::Activity {
 public:
  // Frame i shows pictures 4i + 1, 4i + 2, 4i + 3 and 4i in turn. The frames open once the first
  // frame's first picture is in: the pictures load in folder order while the child plays, a few
  // a second even from a camera's slowest files, and until a frame's own picture is in its index
  // wraps round the pictures already there, as it does for a folder of fewer than sixteen.
  static constexpr app::Traits kTraits{
      .wants_moves = true, .again_while_current = app::Again::Clear, .pictures = 16, .pictures_to_start = 2};
  static constexpr int kFrames = 4;

  // The frames, empty, with the pointer asked to the middle between them; none without the
  // background, which is what the frames are drawn on.
  static std::unique_ptr<PictureFrames> make(const app::Context& context);

  const app::Traits& traits() const override { return kTraits; }
  void draw() const override;
  void clear() override;
  app::Outcome move(const app::PointerInput& to) override;

  // A frame by its position (0..3): top left, top right, bottom left, bottom right.
  const PictureFrame& frame(int position) const { return frames_[static_cast<size_t>(position)]; }
  // The position of the frame that held the pointer last time; -1 for none.
  int frame_under_pointer() const { return under_pointer_; }
  // First entries into a frame so far; clearing does not forget them.
  int first_entries() const { return first_entries_; }
  // Pictures are drawn at 352 / screen width.
  float picture_scale() const { return picture_scale_; }

 private:
  explicit PictureFrames(const app::Context& context) : ctx_(context) {}

  app::Context ctx_;
  media::ImagePtr background_;
  std::array<PictureFrame, kFrames> frames_;  // a frame's position selects its pictures
  float picture_scale_ = 0.0f;
  int under_pointer_ = -1;
  int first_entries_ = 0;
};

}  // namespace activities
