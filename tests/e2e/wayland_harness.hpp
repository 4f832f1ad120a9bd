// Wayland end-to-end harness: a headless compositor (sway, or cage for the child session) run as an
// unprivileged user, with the real pipkin program started inside it, driven through a virtual
// keyboard and pointer and sway's seat commands, and read back with grim.
//
// wlroots refuses to run as root, and tests often run as root: then the compositor, the program and
// every tool that talks to the compositor run as nobody (uid 65534); otherwise as the current user.
// Everything lives in one temporary folder owned by that user: the compositor's runtime folder
// (mode 0700), a home, a copy of the program with its data, and the files the program and the
// compositor's key bindings write.
#pragma once
#include <sys/types.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "media/decode/pixmap.hpp"

namespace e2e::wayland {

// The first program these tests need that is not on PATH, or "" when all are there.
std::string missing_tool();

// A box of screen pixels: x0..x1, y0..y1 inclusive.
struct Box {
  int x0 = 0, y0 = 0, x1 = -1, y1 = -1;
  int width() const { return x1 - x0 + 1; }
  int height() const { return y1 - y0 + 1; }
};

// The box of the pixels that are not black (any channel above 24); an empty box (x1 < x0) when all
// is black.
Box lit_box(const media::Pixmap& p);

class Desktop {
 public:
  Desktop();
  // Ends every process it started (compositor, Xwayland, pipkin, input tools), also after a failed
  // assertion, and removes the folder unless PIPKIN_E2E_KEEP is set.
  ~Desktop();
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;

  const std::string& dir() const { return dir_; }
  // A file in the folder the bindings of the test configuration touch.
  std::string marker(const std::string& name) const { return dir_ + "/" + name; }
  std::string data(const std::string& rel) const { return dir_ + "/app/data/" + rel; }
  std::string read_data(const std::string& rel) const;
  // Written as data/pipkin.txt (level > 0) and data/config.txt (non-empty) before the program starts.
  void set_level(int level);
  void set_config(const std::string& text);

  // sway on one headless 1920x1080 output at the given scale, with XWayland, no bar and no gaps, and
  // these key bindings: Super+x touches marker("super-x"), Alt+Tab touches marker("alt-tab"), and
  // Super+z touches marker("check") even while a program holds the keyboard. Waits until sway answers its IPC and a virtual pointer and
  // keyboard are on its seat. sway's log is in dir()/compositor.log.
  // pointer_constraints false: sway as it comes, which confines no program's pointer.
  bool start_sway(double scale, bool pointer_constraints = true);
  // The same on two headless 1024x768 outputs side by side at scale 1: HEADLESS-1 at 0,0 (focused,
  // where programs open) and HEADLESS-2 at 1024,0. Screenshots show both, 2048x768.
  bool start_sway_two_outputs();
  // pipkin inside sway (started by sway itself, as a launcher would): driver is SDL_VIDEODRIVER
  // ("" leaves it unset). Waits until its first frame is on the output and its pictures are loaded.
  bool start_pipkin(const std::string& driver, const std::vector<std::string>& args);

  // mutter (GNOME's compositor) headless on a virtual 1920x1080 monitor, native Wayland only. It
  // takes no virtual keyboard or pointer and offers no screenshots: tests read the program's notes.
  bool start_mutter();
  // pipkin on mutter's display, with the driver left to the program. Waits until it has started.
  bool start_pipkin_in_mutter(const std::vector<std::string>& args);
  // Asks the program to end (SIGTERM), as closing its window or logging out would.
  void end_pipkin();

  // cage on a headless output running a shell command line, with PATH leading to the copy of the
  // program (so "pipkin" in the command is that copy). Waits until cage answers on its socket.
  bool start_cage(const std::string& command);
  bool cage_running();
  // Asks the program cage runs to end, as the end of a login session does (SIGTERM): cage 0.1.4
  // takes no virtual keyboard, so no key can reach it in a test.
  void end_cage_program();
  bool wait_cage_exit(int ms);
  int cage_status() const { return cage_status_; }

  // True once the program notes that its pictures are loaded (its title is up and every digit
  // works).
  bool pictures_loaded() const;
  // The program's notes of its start: "pictures ...", and the desktop's answers to the child lock
  // as they come ("lock-asked", "lock-held", "lock-not-held").
  std::string startup_notes() const;
  bool pipkin_running() const;
  bool wait_pipkin_exit(int ms);
  int pipkin_status() const;  // the exit status, -1 while it runs
  std::string pipkin_stderr() const;
  std::string compositor_log() const;

  // Keys come from a virtual keyboard with the usual US layout, as a real keyboard's do: each key
  // by its keysym name ("Escape", "Control_L", "x", "1"). A call returns once the compositor has
  // taken the key (and, for sway, run any binding it triggers). False when there is no such key
  // or no keyboard.
  bool press(const std::string& keysym);
  bool release(const std::string& keysym);
  // A key with modifiers, as a person presses it: "ctrl+Escape", "logo+x", "alt+Tab", "5"
  // (modifiers ctrl, alt, logo, shift): the modifiers go down, the key goes down and up, the
  // modifiers go up.
  bool key(const std::string& combo);
  // Presses the combo's modifiers and key and keeps them down until cond holds or timeout_ms passes;
  // then lets go. The result is cond's.
  bool hold_until(const std::string& combo, const std::function<bool()>& cond, int timeout_ms);

  // The pointer, in the output's logical coordinates (the output's pixels divided by its scale).
  bool pointer_to(double x, double y);
  bool click_at(double x, double y);
  // The virtual pointer as a mouse moves it, by (dx, dy): unlike pointer_to, held to any
  // confinement a program has asked for. Its left button down or up.
  bool pointer_by(double dx, double dy);
  bool pointer_button(bool down);
  // Another program on HEADLESS-2: a 1000x700 window in its middle (sway floats a window of fixed
  // size) that writes into a file each pointer move
  // and click it receives. Waits until it is shown, then focuses HEADLESS-1 again.
  bool start_witness();
  std::string witness_heard() const;  // its file: "shown", then "move X Y" and "click X Y" lines

  // The whole output as grim captures it; none when grim fails. save_as (a path) keeps a copy.
  media::PixmapPtr screenshot(const std::string& save_as = "");
  bool wait_for(const std::function<bool(const media::Pixmap&)>& pred, int timeout_ms);
  // Keeps a copy of the last screenshot taken (the one a wait_for ended on) as save_as.
  void keep_last_screenshot(const std::string& save_as) const;
  // The views sway shows: true when a window titled "Pipkin" with this shell ("xdg_shell" or
  // "xwayland") is there.
  bool has_view(const std::string& shell);
  // sway shows the window titled "Pipkin" full screen.
  bool pipkin_fullscreen();
  // Runs swaymsg with these arguments; true when it exited 0.
  bool swaymsg(const std::vector<std::string>& args);

 private:
  // Starts argv as the desktop's user with the given environment, stdout and stderr into out (or
  // /dev/null); returns the process id.
  pid_t spawn(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
              const std::string& out = "");
  // spawn, then waits up to 30 s for the exit; the exit status, or -1.
  int run(const std::vector<std::string>& argv, const std::string& out = "");
  std::map<std::string, std::string> client_env() const;
  void write_start_script(const std::string& driver, const std::vector<std::string>& args);
  bool wait_for_socket(pid_t server, int ms);
  bool start_sway_with(const std::string& outputs, int output_count);
  bool start_input_devices();
  bool send_input(const std::string& command);
  void end_all();

  std::string dir_;
  uid_t uid_;
  gid_t gid_;
  std::string runtime_;        // XDG_RUNTIME_DIR
  std::string wayland_;        // WAYLAND_DISPLAY
  std::string swaysock_;
  pid_t compositor_ = -1;
  int outputs_ = 1;  // side by side, of one size
  pid_t input_ = -1;
  int input_commands_ = -1;  // lines to the input devices' client
  int input_done_ = -1;      // one byte back per line: '1' done, '0' failed
  pid_t cage_ = -1;
  int cage_status_ = -1;
};

}  // namespace e2e::wayland
