// End-to-end harness: runs a copy of the real pipkin program with its data folder on the current X
// display (Xvfb in tests), drives it with xdotool and reads screenshots and files back.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "media/decode/decode.hpp"
#include "media/decode/pixmap.hpp"

struct _XDisplay;  // Xlib's Display

namespace e2e {

struct Options {
  int level = 0;              // > 0: written as the progress file before the start
  std::string config;         // non-empty: written as data/config.txt
  bool keep_pictures = true;  // false: the pics folder starts empty
  // Set in the program's environment over the defaults (which give it a silent sound driver).
  std::vector<std::pair<std::string, std::string>> env;
  // start() also waits until the pictures have loaded in the background, so that every digit
  // works at once (false: a test that watches the loading itself).
  bool wait_for_pictures = true;
  // Laid out as the package installs it (usr/bin/pipkin, usr/share/pipkin) and run with HOME and the
  // XDG folders in a home of its own: level goes to its state folder, config to its configuration
  // folder, and keep_pictures false empties the bundled pictures.
  bool installed = false;
};

// How long a test waits for what it expects before it gives up: generous, because a busy machine
// may be slow, and a wait ends as soon as the condition holds.
constexpr int kDeadlineMs = 30000;

// Input is sent with xdotool and returns at once: the program takes it in order, and each click acts
// where it was made. A test that must know the program has handled something waits for a visible
// change (wait_for, move_and_see), never for a fixed time.
class Pipkin {
 public:
  explicit Pipkin(const Options& opt = {});
  ~Pipkin();
  Pipkin(const Pipkin&) = delete;
  Pipkin& operator=(const Pipkin&) = delete;

  const std::string& dir() const { return dir_; }     // the copy's folder (program + data/)
  std::string data(const std::string& rel) const { return data_ + rel; }
  // Installed: its home folder (HOME), where the parent's folders are.
  std::string home() const { return dir_ + "/home"; }

  // Starts the program and waits until its window is mapped and (when wait_for_frame) its first
  // frame is on screen. `args` go on its command line (test hooks such as --test-minute-ms=MS).
  // False on failure.
  bool start(bool wait_for_frame = true, const std::vector<std::string>& args = {});
  bool running();
  // Waits for the program to end; false when it is still running after ms. The exit status is kept.
  bool wait_exit(int ms = kDeadlineMs);
  int exit_status() const { return status_; }
  std::string stderr_text() const;

  void key(const std::string& keysym);        // e.g. "2", "h", "Escape", "ctrl+q"
  // Keys pressed one after the other and left down, or let go in the order given: "ctrl a s q".
  void key_down(const std::string& keysyms);
  void key_up(const std::string& keysyms);
  void move(int x, int y);                    // in the 1024x768 screen
  void click(int x, int y, int button = 1);   // 1 left, 3 right: a move there and a click, at once
  // One burst with no pause: a move to (x, y), a click, and a move on to (to_x, to_y).
  void click_then_move(int x, int y, int to_x, int to_y, int button = 1);
  void close_window();                        // as the window manager's close button does

  // Moves the pointer to (x, y) and waits until the program draws its pointer there (in the
  // activities that draw it): everything sent before has then been handled. A move that does not
  // show within a second (one that an activity starting meanwhile overrode by putting the pointer
  // in the middle) is sent again, one pixel aside.
  bool move_and_see(int x, int y, int timeout_ms = kDeadlineMs);
  // True when the program's pointer image is drawn with its tip at (x, y) or one pixel right of it.
  bool pointer_at(const media::Pixmap& shot, int x, int y);
  // True when the thinking image (shown while an activity builds something, its corner at the
  // screen's centre) is on the shot.
  bool thinking_shown(const media::Pixmap& shot);

  // The window's pixels now (1024x768, or the window's size); none only when no screenshot could be
  // taken before the deadline. save_as also saves a capture of the window as that PNG file, to look at.
  media::PixmapPtr screenshot(const std::string& save_as = "");
  // Polls screenshots until pred holds; false after timeout_ms.
  bool wait_for(const std::function<bool(const media::Pixmap&)>& pred, int timeout_ms = kDeadlineMs);

  std::string read_text(const std::string& rel) const;  // a file of the data folder, "" if none
  const std::string& window_id() const { return window_; }  // the X window, as xdotool prints it
  const std::string& program() const { return program_; }    // the copy's executable
  // The environment the program runs with (over the test's own).
  const std::vector<std::pair<std::string, std::string>>& env() const { return env_; }
  // Ends the program as a crash or a power cut would, with no chance to save or tidy up.
  void kill_hard();
  // The program's notes of its start (--test-startup-times): "title ...", "pictures ...", and the
  // desktop's answers to the child lock ("lock-held", "pointer-held", "pointer-not-held", ...).
  std::string startup_notes() const;

 private:
  void xdotool(const std::string& args);
  media::PixmapPtr grab();

  std::string dir_;
  std::string program_;  // the copy's executable
  std::string data_;     // its data folder, ending in '/'
  std::vector<std::pair<std::string, std::string>> env_;
  bool wait_for_pictures_ = true;
  std::string window_;
  media::PixmapPtr pointer_;   // the program's pointer image, read from its data on first use
  media::PixmapPtr thinking_;  // and its thinking image
  void* display_ = nullptr;  // the X connection screenshots are read through (a Display*)
  int pid_ = -1;
  int status_ = -1;
};

// A private X server (Xvfb) for tests that need their own screen size or several screens.
// DISPLAY names it while the object lives, so the program and xdotool use it.
class XServer {
 public:
  // screens: "WxHxD" per X screen; extra: more server arguments.
  explicit XServer(const std::vector<std::string>& screens, const std::string& extra = "");
  // Two 1024x768 monitors side by side on one screen, as a laptop with a second monitor has them:
  // the X server with the dummy video driver and its outputs set with xrandr (Xvfb shows one
  // monitor per screen at most).
  struct TwoMonitors {};
  explicit XServer(TwoMonitors);
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;
  bool ok() const { return !display_.empty(); }
  const std::string& display() const { return display_; }  // ":N"

 private:
  // Starts the server (args after the program's name, -displayfd added) and takes its display.
  void launch(std::vector<std::string> args);

  int pid_ = -1;
  std::string display_;
  std::string old_display_;
  bool had_display_ = false;
  std::string dir_;  // the dummy server's configuration and log
};

// A real window manager (openbox) on the current display; start() waits until it has announced
// itself on the root window.
class WindowManager {
 public:
  WindowManager() = default;
  ~WindowManager();
  bool start(int timeout_ms = 30000);

 private:
  int pid_ = -1;
};

// A private X server with a window manager on it and a connection of the test's own, closed with it:
// for tests of how the program's window is treated. ok() once all three are there.
class Desktop {
 public:
  explicit Desktop(const std::vector<std::string>& screens) : x_(screens) { open(); }
  explicit Desktop(XServer::TwoMonitors two) : x_(two) { open(); }
  ~Desktop();
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;
  bool ok() const { return display_ != nullptr; }
  _XDisplay* display() const { return display_; }

 private:
  void open();
  XServer x_;
  WindowManager wm_;
  _XDisplay* display_ = nullptr;
};

// The parent's settings page (its picture: page) is on a screenshot with its top left corner at
// (x, y): its header is there as the picture has it.
bool shows_page(const media::Pixmap& shot, const media::Pixmap& page, int x, int y);
// The same on a 1024x768 screenshot of the program, the page in the middle, where the program shows it.
bool shows_page(const media::Pixmap& shot, const media::Pixmap& page);

// A whole file, "" when it cannot be read.
std::string read_file(const std::string& path);

// Polls cond every 50 ms until it holds; false after timeout_ms.
bool wait_until(const std::function<bool()>& cond, int timeout_ms);

// True when the pixel's colour is within tol of (r, g, b) on every channel.
bool near(uint32_t argb, int r, int g, int b, int tol = 12);

// Pixels of the area x0..x1-1, y0..y1-1 that differ between two shots by more than 30 on some
// channel, and their box.
struct Diff {
  int n = 0, x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
};
Diff diff(const media::Pixmap& a, const media::Pixmap& b, int x0, int y0, int x1, int y1);

// Takes screenshots until one satisfies pred or timeout_ms has passed.
bool wait_for_screenshot(const std::function<media::PixmapPtr()>& take,
                         const std::function<bool(const media::Pixmap&)>& pred, int timeout_ms);
// Where a test keeps a named screenshot: in the folder PIPKIN_E2E_SHOTS names, or "" (not kept).
std::string shot(const std::string& name);
// The build's folder (the program and its data).
std::string build_dir();
// Runs a shell command; returns its exit status.
int sh(const std::string& cmd);

}  // namespace e2e
