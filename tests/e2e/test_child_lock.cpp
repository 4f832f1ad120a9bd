// The child lock end to end: the real program in full screen with a real window manager; keys
// without Control change nothing, Control+key works, a hand laid flat on the keyboard changes
// nothing, quitting needs Control+Q or Control+Escape held, and the keyboard stays with the program.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/harness.hpp"

using e2e::Pipkin;
using e2e::shot;
using e2e::wait_until;
using media::read_pixel;

namespace {

int channel(uint32_t p, int shift) { return static_cast<int>(p >> shift & 255); }

// Pixels of rows y0..y1 that differ from another shot by more than 30 on some channel.
int changed_rows(const media::Pixmap& a, const media::Pixmap& b, int y0, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = 0; x < 1024; ++x) {
      uint32_t p = read_pixel(a, x, y), q = read_pixel(b, x, y);
      bool differs = false;
      for (int s : {0, 8, 16}) differs |= std::abs(channel(p, s) - channel(q, s)) > 30;
      n += differs;
    }
  return n;
}

bool keyboard_held_by_other(Display* d) {
  int r = XGrabKeyboard(d, DefaultRootWindow(d), False, GrabModeAsync, GrabModeAsync, CurrentTime);
  if (r == GrabSuccess) XUngrabKeyboard(d, CurrentTime);
  XSync(d, False);
  return r == AlreadyGrabbed;
}

// What a child at the keyboard presses: every key the program knows, desktop shortcuts, and a
// burst of others (a fixed seed, so every run presses the same).
std::vector<std::string> child_keys() {
  std::vector<std::string> keys = {"Escape", "h", "F1", "s", "v", "q", "0", "space", "Return", "Tab",
                                   "alt+Tab", "Super_L", "alt+F4", "BackSpace", "Delete"};
  for (char c = '1'; c <= '9'; ++c) keys.emplace_back(1, c);
  const std::vector<std::string> pool = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m",
                                         "n", "o", "p", "q", "r", "s", "t", "u", "v", "w", "x", "y", "z",
                                         "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "Escape", "F1",
                                         "F5", "Left", "Up", "Right", "Down", "Home", "End", "Prior",
                                         "Next", "comma", "period", "minus", "shift+a", "alt+x", "Menu"};
  std::mt19937 rng(20261207);
  for (int i = 0; i < 60; ++i) keys.push_back(pool[rng() % pool.size()]);
  return keys;
}

}  // namespace

TEST(ChildLock, KeysAloneDoNothingControlKeysWork) {
  e2e::Desktop desk({"1024x768x24"});
  ASSERT_TRUE(desk.ok());
  Display* d = desk.display();
  e2e::Options opt;
  opt.level = 2;
  opt.config = "0\r\n0\r\n1\r\n";
  Pipkin app(opt);
  ASSERT_TRUE(app.start()) << app.stderr_text();
  // In full screen the window system's shortcuts cannot take the keyboard away.
  EXPECT_TRUE(wait_until([&] { return keyboard_held_by_other(d); }, 20000)) << "the keyboard is held";
  media::PixmapPtr title = app.screenshot(shot("lock_title"));
  ASSERT_TRUE(title);

  std::string burst;
  for (const std::string& k : child_keys()) burst += " " + k;
  ASSERT_EQ(e2e::sh("xdotool key --clearmodifiers --delay 20" + burst), 0);
  ASSERT_TRUE(app.running()) << "Escape alone does not end the program";

  // Keys are handled in order: once Control+V's label shows, every key before it has been seen.
  app.key("ctrl+v");
  ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) { return changed_rows(*title, p, 330, 440) > 2000; }, 20000))
      << "Control+V shows the info label";
  media::PixmapPtr label = app.screenshot(shot("lock_label"));
  EXPECT_EQ(changed_rows(*title, *label, 0, 300), 0) << "still the title screen: no help page, no activity";
  EXPECT_EQ(changed_rows(*title, *label, 470, 768), 0);
  EXPECT_TRUE(app.running());

  // Control+2 at level 2 opens counting balls; Control+Escape held ends the program and keeps the
  // level.
  app.key("ctrl+v");
  app.key("ctrl+2");
  ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) { return changed_rows(*title, p, 0, 768) > 20000; }, 20000))
      << "Control+2 leaves the title screen";
  app.screenshot(shot("lock_activity2"));
  app.key_down("ctrl Escape");
  const bool ended = app.wait_exit();
  app.key_up("Escape ctrl");
  ASSERT_TRUE(ended) << "Control+Escape held ends the program";
  EXPECT_EQ(app.exit_status(), 0);
  EXPECT_EQ(app.read_text("pipkin.txt"), "2\r\n");
}

// Hands laid flat on the keyboard: Control with letters and Q, with Escape and digits, all down at
// once and then all let go. The program keeps running on the same screen.
TEST(ChildLock, PalmsChangeNothing) {
  e2e::Desktop desk({"1024x768x24"});
  ASSERT_TRUE(desk.ok());
  e2e::Options opt;
  opt.level = 2;
  opt.config = "0\n0\n1\n";
  Pipkin app(opt);
  ASSERT_TRUE(app.start()) << app.stderr_text();
  media::PixmapPtr title = app.screenshot(shot("palm_title"));
  ASSERT_TRUE(title);
  const std::pair<const char*, const char*> palms[] = {
      {"ctrl a s q w z", "a s q w z ctrl"},  // the left side of the keyboard
      {"ctrl Escape 1 2 3", "ctrl Escape 1 2 3"},
      {"ctrl 1 Escape", "Escape 1 ctrl"},
      {"ctrl q a", "a q ctrl"},  // Control and Q left down together after the rest is gone
      {"ctrl 2 s v h", "h v s 2 ctrl"},
  };
  for (const auto& [down, up] : palms) {
    app.key_down(down);
    app.key_up(up);
  }
  // Keys are handled in order: once Control+V's label shows, every palm before it has been seen.
  app.key("ctrl+v");
  ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) { return changed_rows(*title, p, 330, 440) > 2000; }))
      << "still running: Control+V shows the info label";
  media::PixmapPtr label = app.screenshot(shot("palm_label"));
  EXPECT_EQ(changed_rows(*title, *label, 0, 300), 0) << "still the title screen: no help page, no activity";
  EXPECT_EQ(changed_rows(*title, *label, 470, 768), 0);
  EXPECT_TRUE(app.running());
  // Quick Control+Q and Control+Escape do not quit either: the label goes again after them.
  app.key("ctrl+q");
  app.key("ctrl+Escape");
  app.key("ctrl+v");
  ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) { return changed_rows(*title, p, 0, 768) == 0; }))
      << "Control+V hides the label";
  EXPECT_TRUE(app.running());
}

TEST(ChildLock, ControlQHeldQuitsAndSavesToo) {
  e2e::XServer x({"1024x768x24"});
  ASSERT_TRUE(x.ok());
  e2e::Options opt;
  opt.level = 3;
  opt.config = "0\n0\n1\n";
  Pipkin app(opt);
  ASSERT_TRUE(app.start()) << app.stderr_text();
  app.key("q");
  app.key_down("ctrl q");
  const bool ended = app.wait_exit();
  app.key_up("q ctrl");
  ASSERT_TRUE(ended) << "Control+Q held ends the program";
  EXPECT_EQ(app.exit_status(), 0);
  EXPECT_EQ(app.read_text("pipkin.txt"), "3\r\n");
}
