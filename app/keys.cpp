#include "app/keys.hpp"

#include "app/activity.hpp"
#include "media/events.hpp"

namespace app {

KeyCommand command_for_key(int code, bool ctrl_down) {
  switch (code) {
    case media::KEY_ESCAPE: return {Command::Quit};
    case media::KEY_V: return {Command::ToggleInfo};
    case media::KEY_LCONTROL:
    case media::KEY_RCONTROL: return {Command::ControlDown};
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
