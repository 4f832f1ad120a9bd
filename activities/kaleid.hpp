// Activity 4, kaleidoscope: a picture turns slowly about the screen centre, out of sight; a square
// piece cut through a mask just above and left of the pointer is repeated eight times, mirrored and
// turned, inside a ring that serves as the pointer. A left click takes another picture; a right click
// shows or hides the upright picture behind the pattern.
#pragma once
#include <cstdint>

#include "app/activity.hpp"
#include "media/events.hpp"
#include "media/image.hpp"

namespace activities {

class TKaleid : public app::Activity {
 public:
  static constexpr app::Traits kTraits{
      .pointer_shown = false, .animated = true, .wants_right_clicks = true, .pictures = app::kEveryPicture};

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
  int passes = 0;        // how many times the last draw drew the frame

  // Warps the pointer; a seam so that tests can play a platform that ignores warps.
  void (*warp)(int x, int y) = media::move_pointer;

  const app::Traits& traits() const override { return kTraits; }
  void init();
  void draw() override;
  app::Outcome update() override;
  app::Outcome left_click() override;
  app::Outcome right_click() override;

 private:
  void take_picture();
  bool draw_once(bool last_pass);
  // Where the upright picture, drawn over the whole screen, lets what is under it show: the box
  // round its transparent pixels (the whole screen when that cannot be known).
  void find_holes();

  struct Box {
    int x = 0, y = 0, w = 0, h = 0;
  };
  Box holes_;
  uint64_t holes_of_ = 0;  // the generation of the pixels the box was found in
  const media::Pixmap* holes_source_ = nullptr;

  app::Context ctx_;
};

}  // namespace activities
