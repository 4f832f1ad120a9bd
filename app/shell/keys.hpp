// What a key does: the one place where key codes are interpreted. The loop carries the command out.
// Without the child lock a key acts as it goes down. With the lock, a key works only as a clean
// Control chord (see Chord below), so a child pressing everything, or a hand laid flat on the
// keyboard, changes nothing.
#pragma once
#include <bitset>
#include <optional>

#include "media/input/events.hpp"

namespace app {

enum class Command {
  Quit,         // Escape, or Q with Control held: save the progress and end
  ToggleInfo,   // V: the version and display label
  ControlDown,  // either Control key
  ToggleHelp,   // H or F1: the help page of the current screen
  ToggleSound,  // S
  TitleScreen,  // 0
  Choose,       // 1 to 9: choose that activity (a digit beyond the table does nothing)
  Settings,     // P with Control held: the parent's settings page, opened or closed
  Nothing,      // any other key: it only closes the help page
};

// Under the child lock, the chords that act only once held for a second: a child who taps Control
// and a key does not reach them.
enum class HeldChord : uint8_t {
  None,
  Quit,      // Control+Q or Control+Escape: save and end
  Settings,  // Control+P while the parent's page is closed: open it
};

struct KeyCommand {
  Command command = Command::Nothing;
  int digit = 0;  // for Choose: the activity's digit
};

KeyCommand command_for_key(media::Key key, bool ctrl_down);

// Every command but these closes the help page before it is carried out.
inline bool closes_help(Command c) {
  return c != Command::Quit && c != Command::ToggleInfo && c != Command::ControlDown && c != Command::ToggleHelp;
}

// The child lock's keys. A chord is one Control key and one other key, and nothing else down, from
// the moment that key goes down until either of the two is let go: then it has ended cleanly and the
// key acts as with Control held. A key that goes down meanwhile spoils it, so a palm (Control among
// many keys at once) does nothing; acting on the end rather than on the press means a palm that lands
// Control and 1 first has done nothing yet when the rest of it arrives. How long a chord has been
// held is the loop's to judge (quitting and the parent's page want a long hold): a chord that acted
// while still held does nothing more as it ends.
struct Chord {
  std::bitset<media::kKeyCount> down;  // the keys down now, by key_index (Key::None: keys without a name)
  bool held = false;                   // a clean chord is under way
  media::Key key = media::Key::None;   // its key (never Control)
  int since_ms = 0;                    // when its key went down
  bool acted = false;                  // it was held long enough and has acted already
};

// A key went down at now_ms. A key that is already down is not a new key: it changes nothing.
void chord_key_down(Chord& chord, media::Key key, int now_ms);
// A key was let go: the key of the clean chord this ends, if it ends one.
std::optional<media::Key> chord_key_up(Chord& chord, media::Key key);

}  // namespace app
