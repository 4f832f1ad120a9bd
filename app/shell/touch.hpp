// What fingers on a touch screen mean, the same in every activity. Fed the fingers' touches, moves
// and lifts with their own times, it yields the pointer events to hand on, as the mouse would make
// them (a finger's own number as the pointer's):
//   - a finger coming down is a left click there (the loop first brings the pointer there, so that
//     what follows the pointer reacts at once, then clicks);
//   - a finger moving moves the pointer with it;
//   - a finger held still for kLongPressMs (wandering no more than kLongPressSlack window pixels) is
//     a right click where it is. It comes after the left click its touch made: a child who holds a
//     finger on the drawing sees it filled, then the next drawing; nothing is taken back;
//   - two fingers that touch and lift together (within kTwoFingerTapMs, neither wandering) are a
//     right click where the first one touched, and the second finger makes no click of its own;
//   - lifting the finger that clicked is a pointer going up: the jigsaw puts a carried piece down;
//   - a third finger at once is a palm: from then on nothing is clicked or moved until every finger
//     has left the screen (a lift still goes up, so nothing stays carried). A touch larger than a
//     fingertip would count as a palm too, but the window system reports only the pressure of a
//     touch, not its size, so fingers are counted instead.
// With each finger its own pointer (set_each_finger_clicks, for an activity where two children may
// play at once) every finger coming down clicks, and two fingers are no right click. The unit has no
// clock of its own: the long press is found by tick(), which the loop calls with each tick's time.
#pragma once
#include <vector>

#include "media/input/events.hpp"

namespace app {

constexpr int kLongPressMs = 600;
constexpr int kLongPressSlack = 12;   // window pixels, not picture pixels: a finger is as wide on any screen
constexpr int kTwoFingerTapMs = 500;  // from the second finger's touch to the last lift
constexpr int kMostFingers = 2;       // fingers that count at once; one more is a palm

class TouchGestures {
 public:
  // Window pixels per picture pixel (the letterbox's scale): the slack is measured on the screen.
  void set_window_scale(float window_per_picture) { scale_ = window_per_picture > 0 ? window_per_picture : 1.0f; }
  // Every finger is a pointer of its own: each one coming down clicks, and two fingers are no right
  // click. Changed only while no finger is down.
  void set_each_finger_clicks(bool on) {
    if (fingers_.empty()) each_finger_clicks_ = on;
  }

  // A finger's touch, move and lift at (x, y) in picture coordinates; a move or lift of a finger
  // whose touch was not taken (it came down on a black bar) yields nothing.
  std::vector<media::Event> down(int finger, int x, int y, int now_ms);
  std::vector<media::Event> move(int finger, int x, int y);
  std::vector<media::Event> up(int finger, int x, int y, int now_ms);
  // Time has passed: a finger held still long enough is a right click.
  std::vector<media::Event> tick(int now_ms);
  // Every finger forgotten, as if lifted without a word (the window lost the touch screen).
  void forget();

  int fingers_down() const { return static_cast<int>(fingers_.size()); }
  bool palm() const { return palm_; }

 private:
  enum class Role {
    Pointer,  // moves the pointer and clicked as it came down
    Second,   // the other finger of a two-finger tap; no click of its own
    Ignored,  // a palm's, or one more while the pointer's finger is lifted and the second's is not
  };
  struct Finger {
    int id = 0;
    int start_x = 0, start_y = 0;  // where it came down
    int x = 0, y = 0;
    int down_ms = 0;
    Role role = Role::Pointer;
    bool wandered = false;     // moved beyond the slack: no long press, no tap
    bool long_pressed = false; // its long press has clicked (or may no longer)
  };

  Finger* find(int id);
  media::Event event(media::EventKind kind, media::Button button, const Finger& f) const;

  float scale_ = 1.0f;
  bool each_finger_clicks_ = false;
  std::vector<Finger> fingers_;
  bool palm_ = false;          // a third finger came: nothing more until every finger is up
  bool two_fingers_ = false;   // a second finger came while the first was down
  bool tap_spoilt_ = false;    // a finger of the two wandered
  int second_down_ms_ = 0;
  int tap_x_ = 0, tap_y_ = 0, tap_id_ = 0;  // where and which the first of the two was
};

}  // namespace app
