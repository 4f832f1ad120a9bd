// The loop's state, which the loop and its screens change and tests read.
#pragma once
#include "app/shell/keys.hpp"
#include "media/input/desktop_hold.hpp"
#include "media/input/events.hpp"

namespace app {

// Pointer moves reach an activity only more than this apart.
constexpr int kMoveGapMs = 10;

// Moves are taken at most one per kMoveGapMs, timed by the events' own stamps: the ones in between
// are dropped at no cost, but the last of a burst is kept back and handed on by a later tick, at
// the pointer's latest place. A busy program takes in a burst of moves within one millisecond;
// without this, a pointer that came to rest inside a picture frame would leave the frame as if
// never entered.
struct MoveGap {
  int last_ms = 0;  // when the last handed-on move happened
  // A move came too soon after the last handed-on one and nothing handed on since.
  bool pending = false;
  bool due(int at_ms) const { return pending && at_ms - last_ms > kMoveGapMs; }
  // A move is handed on now, whatever the gap.
  void taken(int at_ms) {
    pending = false;
    last_ms = at_ms;
  }
};

struct LoopState {
  int activity = 0;  // the current activity; 0 is the title screen
  int level = 1;     // the highest unlocked activity
  bool redraw_needed = true;
  bool ctrl_down = false;  // a Control key is down: a left click is a right click
  int pointer_x = 0, pointer_y = 0;  // where the pointer is, as of the last pointer event or warp
  media::PointerKind pointer = media::PointerKind::Mouse;  // what moved it last
  int pointer_id = 0;
  MoveGap moves;
  int waiting_place = 0;  // an activity chosen before its pictures were in; chosen once they are
  // With the child lock keys work only as clean Control chords (app/shell/keys.hpp), and quitting
  // and opening the parent's page need their chord held for kChordHoldMs.
  bool child_lock = false;
  // What the desktop said of the keys and of the pointer when last looked at.
  media::Hold lock_answer = media::Hold::Off;
  media::Hold pointer_answer = media::Hold::Off;
  // Child lock only: the keys down and the Control chord under way.
  Chord chord;
  // Child lock only: the chord under way that acts only when held (quitting, or opening the parent's
  // page), and how long it has been held, up to the second it takes, as of the last event; -1 when
  // none is held. Drawn as a ring filling up, each in its own colour.
  HeldChord ring = HeldChord::None;
  int ring_held_ms = -1;
  // An activity asked for a moment to be looked at: input waits until then (see Requests::hold_input).
  int hold_until_ms = 0;
  bool holding = false;
  // The window is shown and has the keyboard's focus: play time counts only then.
  bool window_active = true;
};

// Under the child lock, quitting and opening the parent's page need their chord held this long.
constexpr int kChordHoldMs = 1000;
// The ring shows once the chord has been held this long: a palm that lands Control and Q first has
// spoilt the chord by then, so it does not flash the ring.
constexpr int kRingShowsMs = 100;
inline bool ring_shown(int held_ms) { return held_ms >= kRingShowsMs; }

}  // namespace app
