// What a key does: the one place where key codes are interpreted. The loop carries the command out.
// With the child lock on, a key works only while Control is held, so a child pressing everything
// changes nothing.
#pragma once

namespace app {

enum class Command {
  Quit,         // Escape, or Q with Control held: save the progress and end
  ToggleInfo,   // V: the version and display label
  ControlDown,  // either Control key
  ToggleHelp,   // H or F1: the help page of the current screen
  ToggleSound,  // S
  TitleScreen,  // 0
  Choose,       // 1 to 9: choose that activity
  Nothing,      // any other key: it only closes the help page
  Ignore,       // child lock, no Control held: nothing at all (no redraw, the help page stays)
};

struct KeyCommand {
  Command command = Command::Nothing;
  int digit = 0;  // for Choose: the activity's digit
};

KeyCommand command_for_key(int code, bool ctrl_down, bool child_lock = false);

// Every command but these closes the help page before it is carried out.
inline bool closes_help(Command c) {
  return c != Command::Quit && c != Command::ToggleInfo && c != Command::ControlDown && c != Command::ToggleHelp &&
         c != Command::Ignore;
}

}  // namespace app
