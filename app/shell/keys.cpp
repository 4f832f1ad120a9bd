#include "app/shell/keys.hpp"

namespace app {

KeyCommand command_for_key(media::Key key, bool ctrl_down) {
  using media::Key;
  if (media::is_control(key)) return {Command::ControlDown};
  switch (key) {
    case Key::Escape: return {Command::Quit};
    case Key::V: return {Command::ToggleInfo};
    case Key::H:
    case Key::F1: return {Command::ToggleHelp};
    case Key::S: return {Command::ToggleSound};
    case Key::Digit0: return {Command::TitleScreen};
    default: break;
  }
  if (key == Key::Q && ctrl_down) return {Command::Quit};
  if (key == Key::P && ctrl_down) return {Command::Settings};
  // Every digit key chooses: whether its digit has an activity is the loop's table to say.
  if (const int digit = media::digit_of(key); digit >= 1) return {Command::Choose, digit};
  return {Command::Nothing};
}

void chord_key_down(Chord& c, media::Key key, int now_ms) {
  const size_t b = static_cast<size_t>(media::key_index(key));
  if (c.down[b]) return;
  // Only Control is down, and only one of the two: this key starts a chord.
  const bool one_control_alone = c.down.count() == 1 && (c.down[media::key_index(media::Key::LeftControl)] ||
                                                         c.down[media::key_index(media::Key::RightControl)]);
  c.down.set(b);
  if (c.held) {
    c.held = false;  // another key: the chord is spoilt
    return;
  }
  if (one_control_alone && !media::is_control(key)) {
    c.held = true;
    c.key = key;
    c.since_ms = now_ms;
    c.acted = false;
  }
}

std::optional<media::Key> chord_key_up(Chord& c, media::Key key) {
  const size_t b = static_cast<size_t>(media::key_index(key));
  if (!c.down[b]) return std::nullopt;  // never seen going down
  c.down.reset(b);
  // While the chord is clean its Control is the only one down, so any Control let go is its own.
  if (!c.held || (key != c.key && !media::is_control(key))) return std::nullopt;
  c.held = false;
  if (c.acted) return std::nullopt;
  return c.key;
}

}  // namespace app
