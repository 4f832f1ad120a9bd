// The child lock's last doors, end to end on X11: the parent's page opens only on a held chord under
// the lock, the pointer cannot leave for a second monitor, and a second start with the same progress
// brings the first forward instead of running beside it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "app/parent/settings_layout.hpp"
#include "tests/e2e/harness.hpp"

using e2e::Pipkin;
using e2e::shot;
using e2e::wait_until;
using media::read_pixel;
namespace layout = app::layout;

namespace {

using e2e::shows_page;

using Clock = std::chrono::steady_clock;
constexpr int kPageX = (1024 - layout::kPageW) / 2, kPageY = (768 - layout::kPageH) / 2;
const std::string kLocked = "0\n0\n1\n", kUnlocked = "0\n0\n0\n";  // full screen, lock on or off


// The settings ring (green) is filling in the top right corner: its right side is lit.
bool settings_ring_shown(const media::Pixmap& shot) { return e2e::near(read_pixel(shot, 980 + 23, 44), 90, 210, 110, 20); }

// Another program could take the pointer now: nobody holds it.
bool pointer_free(Display* d) {
  const int r = XGrabPointer(d, DefaultRootWindow(d), False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None,
                             None, CurrentTime);
  if (r == GrabSuccess) XUngrabPointer(d, CurrentTime);
  XSync(d, False);
  return r == GrabSuccess;
}

// Every key sent so far has been handled: Control+V's label comes and goes (the label is shown in
// the middle of the screen, where neither the title's pictures nor the page change meanwhile).
bool settled(Pipkin& app) {
  media::PixmapPtr before = app.screenshot();
  if (!before) return false;
  auto label_differs = [&](const media::Pixmap& p) { return e2e::diff(*before, p, 300, 360, 724, 410).n > 2000; };
  app.key("ctrl+v");
  if (!app.wait_for(label_differs)) return false;
  app.key("ctrl+v");
  return app.wait_for([&](const media::Pixmap& p) { return !label_differs(p); });
}

struct Ended {
  int status = -1;  // -1: still running at the deadline (then killed)
  int ms = 0;
  std::string err;
};

// The same program started once more, with the same folders, while the test's copy may be running.
Ended start_again(const Pipkin& app) {
  const std::string err = app.dir() + "/again-stderr.txt";
  const auto t0 = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    if (!freopen(err.c_str(), "w", stderr)) _exit(127);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    for (const auto& [name, value] : app.env()) setenv(name.c_str(), value.c_str(), 1);
    execl(app.program().c_str(), app.program().c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  Ended e;
  int st = 0;
  wait_until([&] { return waitpid(pid, &st, WNOHANG) == pid && (e.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128) >= 0; },
             e2e::kDeadlineMs);
  e.ms = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count());
  if (e.status == -1) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  e.err = e2e::read_file(err);
  return e;
}

}  // namespace

// Under the lock a tapped Control+P, or one held 0.9 s, leaves the title; held a second, the page
// opens over a green ring, and the pointer is let go while it shows. Without the lock a tap opens it.
TEST(LockDoors, TheSettingsPageOpensOnlyOnAHeldChordUnderTheLock) {
  e2e::Desktop desk({"1024x768x24"});
  ASSERT_TRUE(desk.ok());
  Display* d = desk.display();
  for (const std::string& config : {kLocked, kUnlocked}) {
    const bool locked = config == kLocked;
    SCOPED_TRACE(locked ? "locked" : "unlocked");
    e2e::Options opt;
    opt.config = config;
    Pipkin app(opt);
    ASSERT_TRUE(app.start()) << app.stderr_text();
    media::PixmapPtr page = media::load_pixmap(app.data("help/settings.png"));
    ASSERT_TRUE(page);
    if (!locked) {
      app.key("ctrl+p");
      EXPECT_TRUE(app.wait_for([&](const media::Pixmap& s) { return shows_page(s, *page); })) << "a tap opens it";
      continue;
    }
    ASSERT_TRUE(wait_until([&] { return !pointer_free(d); }, e2e::kDeadlineMs)) << "the lock holds the pointer";
    app.key("ctrl+p");
    ASSERT_TRUE(settled(app));
    EXPECT_FALSE(shows_page(*app.screenshot(), *page)) << "a tap";
    // One xdotool for the whole chord, so the 0.9 s is not stretched by starting programs.
    ASSERT_EQ(e2e::sh("xdotool keydown ctrl+p sleep 0.9 keyup p keyup ctrl"), 0);
    ASSERT_TRUE(settled(app));
    EXPECT_FALSE(shows_page(*app.screenshot(), *page)) << "held 0.9 s";

    const auto t0 = Clock::now();
    app.key_down("ctrl p");
    EXPECT_TRUE(app.wait_for(settings_ring_shown)) << "the ring fills while held";
    app.screenshot(shot("lock_settings_ring"));
    const bool opened = app.wait_for([&](const media::Pixmap& s) { return shows_page(s, *page); });
    const auto held = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count();
    app.key_up("p ctrl");
    ASSERT_TRUE(opened) << "held a second";
    EXPECT_GE(held, 1000);
    // A plain key belongs to the page: Tab moves its focus once everything before it was handled.
    media::PixmapPtr open = app.screenshot();
    ASSERT_TRUE(open);
    app.key("Tab");
    EXPECT_TRUE(app.wait_for([&](const media::Pixmap& s) {
      return shows_page(s, *page) && e2e::diff(*open, s, kPageX, kPageY, kPageX + layout::kPageW, kPageY + layout::kPageH).n > 50;
    })) << "letting go leaves it open";
    EXPECT_TRUE(wait_until([&] { return pointer_free(d); }, e2e::kDeadlineMs)) << "the page lets the pointer go";
    app.key("ctrl+p");
    EXPECT_TRUE(app.wait_for([&](const media::Pixmap& s) { return !shows_page(s, *page); })) << "a tap closes it";
    EXPECT_TRUE(wait_until([&] { return !pointer_free(d); }, e2e::kDeadlineMs)) << "and the pointer is held again";
  }
}

// Two monitors side by side, Pipkin full screen on the left one. With the lock, moves towards and
// far onto the right monitor leave the pointer on Pipkin's, and a click there reaches no other
// program; without it the pointer goes over and the other program gets the click.
TEST(LockDoors, OnTwoMonitorsThePointerStaysOnPipkinsScreen) {
  e2e::Desktop desk(e2e::XServer::TwoMonitors{});
  ASSERT_TRUE(desk.ok()) << "Xorg with the dummy video driver and xrandr (scripts/install-deps installs them)";
  Display* d = desk.display();
  // Another program's window on the right monitor, listening for the pointer.
  XSetWindowAttributes attrs{};
  attrs.override_redirect = True;
  attrs.background_pixel = WhitePixel(d, DefaultScreen(d));
  const Window other = XCreateWindow(d, DefaultRootWindow(d), 1024 + 50, 50, 900, 600, 0, CopyFromParent, InputOutput,
                                     CopyFromParent, CWOverrideRedirect | CWBackPixel, &attrs);
  XSelectInput(d, other, ButtonPressMask | EnterWindowMask);
  XMapRaised(d, other);
  XSync(d, False);
  auto other_heard = [&] {
    XSync(d, False);
    XEvent e;
    bool heard = false;
    while (XCheckWindowEvent(d, other, ButtonPressMask | EnterWindowMask, &e)) heard = true;
    return heard;
  };
  auto pointer_x = [&] {
    Window root, child;
    int rx = 0, ry = 0, wx, wy;
    unsigned mask;
    XQueryPointer(d, DefaultRootWindow(d), &root, &child, &rx, &ry, &wx, &wy, &mask);
    return rx;
  };
  for (const std::string& config : {kLocked, kUnlocked}) {
    const bool locked = config == kLocked;
    SCOPED_TRACE(locked ? "locked" : "unlocked");
    ASSERT_EQ(e2e::sh("xdotool mousemove 400 300"), 0);  // Pipkin opens on the monitor with the pointer
    e2e::Options opt;
    opt.config = config;
    Pipkin app(opt);
    ASSERT_TRUE(app.start()) << app.stderr_text();
    if (locked) {
      ASSERT_TRUE(wait_until([&] { return app.startup_notes().find("pointer-held") != std::string::npos; },
                             e2e::kDeadlineMs))
          << app.startup_notes();
    }
    other_heard();  // whatever came before
    // Towards the right monitor in steps, as a hand moves a mouse, then far onto it, then a click.
    ASSERT_EQ(e2e::sh("xdotool mousemove 900 300 mousemove_relative 200 0 mousemove_relative 800 0 "
                      "mousemove_relative 3000 40 click 1"),
              0);
    const int px = pointer_x();
    if (locked) {
      EXPECT_LT(px, 1024) << "the pointer stays on Pipkin's monitor";
      EXPECT_GE(px, 1000) << "at its right edge";
      EXPECT_FALSE(other_heard()) << "the other program hears no pointer and no click";
      EXPECT_TRUE(app.running());
    } else {
      EXPECT_GE(px, 1024) << "without the lock the pointer goes over";
      EXPECT_TRUE(other_heard());
    }
  }
  XDestroyWindow(d, other);
}

// A second start with the same progress file ends at once with one line and status 0, while the
// first plays on and keeps its progress; a crash of the first leaves nothing that keeps the next
// start out; another portable copy runs beside it.
TEST(LockDoors, ASecondStartWithTheSameProgressLeavesTheFirstToPlay) {
  e2e::Desktop desk({"1024x768x24"});
  ASSERT_TRUE(desk.ok());
  e2e::Options opt;
  opt.level = 4;
  Pipkin app(opt);
  ASSERT_TRUE(app.start()) << app.stderr_text();
  media::PixmapPtr title = app.screenshot();
  ASSERT_TRUE(title);

  const Ended again = start_again(app);
  EXPECT_EQ(again.status, 0);
  EXPECT_LT(again.ms, 2000);
  EXPECT_NE(again.err.find("already running"), std::string::npos) << again.err;
  EXPECT_EQ(std::count(again.err.begin(), again.err.end(), '\n'), 1) << again.err;
  ASSERT_TRUE(app.running());
  EXPECT_EQ(app.read_text("pipkin.txt"), "4\r\n");
  app.key("4");
  EXPECT_TRUE(app.wait_for([&](const media::Pixmap& p) { return e2e::diff(*title, p, 0, 0, 1024, 768).n > 20000; }))
      << "the first plays on";

  app.kill_hard();
  ASSERT_TRUE(app.start()) << "after a crash the next start runs: " << app.stderr_text();
  Pipkin beside;
  ASSERT_TRUE(beside.start()) << "another copy, with progress of its own, runs beside it: " << beside.stderr_text();
  EXPECT_TRUE(app.running());
  beside.key("Escape");  // it has the focus
  ASSERT_TRUE(beside.wait_exit());
  ASSERT_EQ(e2e::sh("xdotool windowactivate --sync " + app.window_id()), 0);
  app.key("Escape");
  ASSERT_TRUE(app.wait_exit());
  EXPECT_EQ(app.exit_status(), 0);
  EXPECT_EQ(app.read_text("pipkin.txt"), "4\r\n");
}
