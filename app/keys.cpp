#include "app/keys.hpp"

#include "app/activity.hpp"

namespace app {

KeyCommand command_for_key(int code, bool ctrl_down) {
  if (is_control(code)) return {Command::ControlDown};
  switch (code) {
    case media::KEY_ESCAPE: return {Command::Quit};
    case media::KEY_V: return {Command::ToggleInfo};
    case media::KEY_H:
    case media::KEY_F1: return {Command::ToggleHelp};
    case media::KEY_S: return {Command::ToggleSound};
    case media::KEY_0: return {Command::TitleScreen};
    default: break;
  }
  if (code == media::KEY_Q && ctrl_down) return {Command::Quit};
  if (code > media::KEY_0 && code <= media::KEY_0 + kActivities) return {Command::Choose, code - media::KEY_0};
  return {Command::Nothing};
}

namespace {

// Codes out of range are keys the program has no code for.
size_t bit(int code) { return code >= 0 && code < kKeyCodes ? static_cast<size_t>(code) : 0; }

}  // namespace

void chord_key_down(Chord& c, int code, int now_ms) {
  const size_t b = bit(code);
  if (c.down[b]) return;
  // Only Control is down, and only one of the two: this key starts a chord.
  const bool one_control_alone = c.down.count() == 1 && (c.down[media::KEY_LCONTROL] || c.down[media::KEY_RCONTROL]);
  c.down.set(b);
  if (c.held) {
    c.held = false;  // another key: the chord is spoilt
    return;
  }
  if (one_control_alone && !is_control(code)) {
    c.held = true;
    c.key = static_cast<int>(b);
    c.since_ms = now_ms;
  }
}

std::optional<int> chord_key_up(Chord& c, int code) {
  const size_t b = bit(code);
  if (!c.down[b]) return std::nullopt;  // never seen going down
  c.down.reset(b);
  // While the chord is clean its Control is the only one down, so any Control let go is its own.
  if (!c.held || (static_cast<int>(b) != c.key && !is_control(code))) return std::nullopt;
  c.held = false;
  return c.key;
}

}  // namespace app
