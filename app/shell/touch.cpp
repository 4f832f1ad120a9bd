#include "app/shell/touch.hpp"

#include <algorithm>

namespace app {

TouchGestures::Finger* TouchGestures::find(int id) {
  auto it = std::find_if(fingers_.begin(), fingers_.end(), [id](const Finger& f) { return f.id == id; });
  return it == fingers_.end() ? nullptr : &*it;
}

media::Event TouchGestures::event(media::EventKind kind, media::Button button, const Finger& f) const {
  return media::Event{
      .kind = kind, .button = button, .pointer = media::PointerKind::Touch, .pointer_id = f.id, .x = f.x, .y = f.y};
}

void TouchGestures::forget() {
  fingers_.clear();
  palm_ = two_fingers_ = tap_spoilt_ = false;
}

std::vector<media::Event> TouchGestures::down(int finger, int x, int y, int now_ms) {
  if (find(finger)) return {};  // a touch repeated without a lift between: nothing new
  Finger f{.id = finger, .start_x = x, .start_y = y, .x = x, .y = y, .down_ms = now_ms};
  if (palm_ || fingers_down() >= kMostFingers) {
    // A palm: the long press and the tap under way are off, and so is everything else until the
    // screen is clear.
    palm_ = true;
    f.role = Role::Ignored;
    fingers_.push_back(f);
    return {};
  }
  if (each_finger_clicks_ || fingers_.empty()) {
    fingers_.push_back(f);
    return {event(media::EventKind::PointerDown, media::Button::Left, f)};
  }
  Finger& first = fingers_.front();
  if (first.role != Role::Pointer) {
    f.role = Role::Ignored;
    fingers_.push_back(f);
    return {};
  }
  // A second finger: maybe a two-finger tap. The first finger no longer long-presses, and its
  // wandering counts from here.
  two_fingers_ = true;
  second_down_ms_ = now_ms;
  first.long_pressed = true;
  first.wandered = false;
  first.start_x = first.x;
  first.start_y = first.y;
  tap_x_ = first.x;
  tap_y_ = first.y;
  tap_id_ = first.id;
  f.role = Role::Second;
  fingers_.push_back(f);
  return {};
}

std::vector<media::Event> TouchGestures::move(int finger, int x, int y) {
  Finger* f = find(finger);
  if (!f) return {};
  f->x = x;
  f->y = y;
  const float dx = static_cast<float>(x - f->start_x) * scale_, dy = static_cast<float>(y - f->start_y) * scale_;
  if (!f->wandered && dx * dx + dy * dy > static_cast<float>(kLongPressSlack * kLongPressSlack)) {
    f->wandered = true;
    if (two_fingers_) tap_spoilt_ = true;
  }
  if (f->role != Role::Pointer || palm_) return {};
  if (f->id == tap_id_) {
    tap_x_ = x;
    tap_y_ = y;
  }
  return {event(media::EventKind::PointerMove, media::Button::None, *f)};
}

std::vector<media::Event> TouchGestures::up(int finger, int x, int y, int now_ms) {
  std::vector<media::Event> out = move(finger, x, y);
  Finger* f = find(finger);
  if (!f) return out;
  // The finger that clicked goes up even after a palm: a piece it carries is put down.
  if (f->role == Role::Pointer) out.push_back(event(media::EventKind::PointerUp, media::Button::Left, *f));
  fingers_.erase(fingers_.begin() + (f - fingers_.data()));
  if (!fingers_.empty()) return out;
  if (two_fingers_ && !tap_spoilt_ && !palm_ && now_ms - second_down_ms_ <= kTwoFingerTapMs) {
    const Finger at{.id = tap_id_, .x = tap_x_, .y = tap_y_};
    out.push_back(event(media::EventKind::PointerDown, media::Button::Right, at));
  }
  forget();
  return out;
}

std::vector<media::Event> TouchGestures::tick(int now_ms) {
  std::vector<media::Event> out;
  if (palm_) return out;
  for (Finger& f : fingers_) {
    if (f.role != Role::Pointer || f.long_pressed || f.wandered || now_ms - f.down_ms < kLongPressMs) continue;
    f.long_pressed = true;
    out.push_back(event(media::EventKind::PointerDown, media::Button::Right, f));
  }
  return out;
}

}  // namespace app
