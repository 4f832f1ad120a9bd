#include "app/keys.hpp"

#include "media/events.hpp"

namespace app {

KeyAction key_action(int code, bool control_held, bool child_lock) {
  if (code == media::KEY_LCONTROL || code == media::KEY_RCONTROL) return KeyAction::ControlDown;
  // Under the lock a key counts only while Control is held; Control itself is a safe key for a
  // child to press, since it does nothing visible.
  if (child_lock && !control_held) return KeyAction::Ignore;
  if (code == media::KEY_ESCAPE) return KeyAction::Quit;
  if (code == media::KEY_Q && control_held) return KeyAction::Quit;
  if (code == media::KEY_V) return KeyAction::ToggleInfo;
  if (code == media::KEY_H || code == media::KEY_F1) return KeyAction::ToggleHelp;
  if (code == media::KEY_S) return KeyAction::ToggleSound;
  if (code == media::KEY_0) return KeyAction::TitleScreen;
  if (code >= media::KEY_1 && code <= media::KEY_9) return KeyAction::SelectActivity;
  return KeyAction::CloseHelp;
}

}  // namespace app
