// Activity 4, kaleidoscope: a picture turns slowly about the screen centre, out of sight; a square
// piece cut through a mask just above and left of the pointer is repeated eight times, mirrored and
// turned, inside a ring that serves as the pointer. A left click takes another picture; a right click
// shows or hides the upright picture behind the pattern.
#pragma once
#include <cstdint>

#include "app/activity.hpp"
#include "media/image.hpp"

namespace activities {

class TKaleid : public app::Activity {
 public:
  static constexpr app::Traits kTraits{.pointer_shown = false,
                                       .animated = true,
                                       .wants_moves = true,
                                       .wants_right_clicks = true,
                                       .pictures = app::kEveryPicture};

  explicit TKaleid(const app::Context& context) : ctx_(context) {}

  media::ImagePtr img;   // screen-sized masked copy of the current picture, handle at its centre
  int ind = 0;           // index in pictures of the current picture
  bool taken = false;    // img holds a picture
  media::ImagePtr mask;  // laid over the piece before it is cut; handle top-left
  int r = 0;             // mask width: the side of the square cut out and repeated
  int r2 = 0;
  int ms = 0;            // clock at the last turning step
  int rot = 0;           // angle of the turning picture, 0..359 degrees
  media::ImagePtr ring;  // drawn around the pattern, handle at its centre
  int ring_w = 0;        // margin beyond r kept between the pointer and every screen edge
  bool show = false;     // the upright picture behind the pattern, else black

  const app::Traits& traits() const override { return kTraits; }
  void init();
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

 private:
  void take_picture();
  // Where the upright picture, drawn over the whole screen, lets what is under it show: the box
  // round its transparent pixels (the whole screen when that cannot be known).
  struct Box {
    int x = 0, y = 0, w = 0, h = 0;
  };
  const Box& holes() const;

  int at_x_ = 0, at_y_ = 0;
  // The holes as last found, for the pixels of that generation.
  mutable Box holes_;
  mutable uint64_t holes_of_ = 0;
  mutable const media::Pixmap* holes_source_ = nullptr;

  app::Context ctx_;
};

}  // namespace activities
