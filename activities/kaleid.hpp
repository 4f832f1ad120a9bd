// Activity 4, kaleidoscope: a picture turns slowly about the screen centre, out of sight; a square
// piece cut through a mask just above and left of the pointer is repeated eight times, mirrored and
// turned, inside a ring that serves as the pointer. A left click takes another picture; a right click
// shows or hides the upright picture behind the pattern.
#pragma once
#include <cstdint>
#include <memory>

#include "app/shell/activity.hpp"
#include "media/display/image.hpp"

namespace activities {

class Kaleidoscope : public app::Activity {
 public:
  static constexpr app::Traits kTraits{.pointer_shown = false,
                                       .animated = true,
                                       .wants_moves = true,
                                       .wants_right_clicks = true,
                                       .pictures = app::kEveryPicture};

  // A picture taken (when there is one) and the pattern and the pointer in the middle; none
  // without the mask and the ring, or a screen-sized image to hold the picture.
  static std::unique_ptr<Kaleidoscope> make(const app::Context& context);

  const app::Traits& traits() const override { return kTraits; }
  void draw() const override;
  app::Outcome update(int now_ms) override;
  // A left click takes another picture; a right click shows or hides the one behind.
  app::Outcome click(const app::PointerInput& at) override;
  // The pattern follows the pointer, kept a ring's width inside the screen: a pointer beyond that
  // is put back at the limit.
  app::Outcome move(const app::PointerInput& to) override;

  // Where the pattern is drawn (the pointer, kept inside its limits).
  int pattern_x() const { return at_x_; }
  int pattern_y() const { return at_y_; }
  // Which picture of the list is taken, and whether one is (none with an empty list).
  int picture_index() const { return picture_index_; }
  bool has_picture() const { return has_picture_; }
  // The screen-sized masked copy of the taken picture that turns, handle at its centre.
  const media::ImagePtr& turning_picture() const { return turning_; }
  // The angle the picture is turned by, 0..359 degrees.
  int turn_degrees() const { return turn_degrees_; }
  // The clock at the last turning step (when the activity was made, before the first).
  int last_turn_ms() const { return last_turn_ms_; }
  // The upright picture shows behind the pattern; else black.
  bool shows_picture_behind() const { return show_behind_; }
  // Laid over the piece before it is cut (handle top-left); its width is the side of the square cut.
  const media::ImagePtr& mask() const { return mask_; }
  int cut_size() const { return cut_size_; }
  // Drawn around the pattern, handle at its centre.
  const media::ImagePtr& ring() const { return ring_; }

 private:
  explicit Kaleidoscope(const app::Context& context) : ctx_(context) {}
  void take_picture();
  // Where the upright picture, drawn over the whole screen, lets what is under it show: the box
  // round its transparent pixels (the whole screen when that cannot be known).
  struct Box {
    int x = 0, y = 0, w = 0, h = 0;
  };
  const Box& holes() const;

  app::Context ctx_;
  media::ImagePtr turning_;
  int picture_index_ = 0;
  bool has_picture_ = false;
  media::ImagePtr mask_;
  int cut_size_ = 0;
  int last_turn_ms_ = 0;
  int turn_degrees_ = 0;
  media::ImagePtr ring_;
  bool show_behind_ = false;
  int at_x_ = 0, at_y_ = 0;
  // The holes as last found, for the pixels of that generation.
  mutable Box holes_;
  mutable uint64_t holes_of_ = 0;
  mutable const media::Pixmap* holes_source_ = nullptr;
};

}  // namespace activities
