// What a key press does. Without the child lock every key of the program works on its own; with the
// lock a key works only while Control is held, so a child pressing everything changes nothing.
#pragma once

namespace app {

enum class KeyAction {
  Ignore,          // nothing at all: no redraw, no sound, the help page stays
  ControlDown,     // a Control key: remembered, so Control+key and Control+click can be told apart
  Quit,            // save the progress and end
  ToggleHelp,      // H or F1
  ToggleSound,     // S
  ToggleInfo,      // V
  TitleScreen,     // 0
  SelectActivity,  // 1..9 (the activity is key - '0')
  CloseHelp,       // any other key: closes the help page and redraws
};

// The action of a key-down (a media key code) given whether Control is held and the lock is on.
KeyAction key_action(int code, bool control_held, bool child_lock);

}  // namespace app
