// Holding the keyboard for the child lock: keys go to the program, not to the desktop's shortcuts,
// and the program knows whether the desktop agreed. Asked only in full screen; a window never holds
// the keyboard.
#pragma once

namespace media {

enum class KeyboardHold {
  Off,         // not asked: the lock is off, or the display is a window
  Asked,       // asked; the desktop has not answered yet
  Held,        // the desktop's shortcuts are held back while the program has the keyboard
  Refused,     // the desktop said no, or gave no answer in time
  NotOffered,  // this desktop has no way to hold its shortcuts for a program
};

// The desktop's answer so far. Taken in with the window system's events.
KeyboardHold keyboard_hold();

// For tests: as if the desktop had answered so.
void set_keyboard_hold_answer(KeyboardHold a);

// What the answer means for a parent: true when keys may still reach the desktop's shortcuts.
inline bool keys_not_held(KeyboardHold h) { return h == KeyboardHold::Refused || h == KeyboardHold::NotOffered; }

}  // namespace media
