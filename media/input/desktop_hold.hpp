// Holding the keyboard and the pointer for the child lock: keys go to the program, not to the
// desktop's shortcuts, and the pointer stays on the program's screen (a second monitor is out of a
// child's reach); the program knows whether the desktop agreed to each. Asked only in full screen;
// a window never holds either, and the pointer is let go while the parent's page shows.
#pragma once

namespace media {

enum class Hold {
  Off,         // not asked: the lock is off, the display is a window, or (the pointer) the page shows
  Asked,       // asked; the desktop has not answered yet
  Held,        // held while the program has the focus
  Refused,     // the desktop said no, or gave no answer in time
  NotOffered,  // this desktop has no way to hold it for a program
};

// The desktop's answers so far. Taken in with the window system's events.
Hold keyboard_hold();
Hold pointer_hold();

// For tests: as if the desktop had answered so.
void set_keyboard_hold_answer(Hold a);
void set_pointer_hold_answer(Hold a);

// What an answer means for a parent: true when the child can still get past it.
inline bool not_held(Hold h) { return h == Hold::Refused || h == Hold::NotOffered; }

}  // namespace media
