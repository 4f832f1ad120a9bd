#include "app/keys.hpp"

#include "app/activity.hpp"
#include "media/events.hpp"

namespace app {

KeyCommand command_for_key(int code, bool ctrl_down, bool child_lock) {
  // Control itself must still be seen under the lock, or Control+key could never work; it is a safe
  // key for a child to press, since it does nothing visible.
  if (code == media::KEY_LCONTROL || code == media::KEY_RCONTROL) return {Command::ControlDown};
  if (child_lock && !ctrl_down) return {Command::Ignore};
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

}  // namespace app
