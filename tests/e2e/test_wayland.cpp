// Pipkin on Wayland end to end: the real program inside a headless sway (one 1920x1080 output, at
// scale 1 and 1.5), through SDL's own Wayland driver and through XWayland; and the child session,
// Pipkin alone in cage, as the login screen's session entry starts it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>
#include <thread>
#include <chrono>

#include "tests/e2e/harness.hpp"
#include "tests/e2e/wayland_harness.hpp"

using e2e::Diff;
using e2e::diff;
using e2e::shot;
using e2e::wait_until;
using e2e::wayland::Box;
using e2e::wayland::Desktop;
using e2e::wayland::lit_box;
using media::read_pixel;

namespace {

#define SKIP_WITHOUT_WAYLAND_TOOLS()                                                                  \
  do {                                                                                               \
    const std::string missing = e2e::wayland::missing_tool();                                        \
    if (!missing.empty()) GTEST_SKIP() << missing << " is not installed (scripts/install-deps installs it)"; \
  } while (0)

constexpr char kNotHeld[] = "keys not held by this desktop";

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

int channel(uint32_t p, int shift) { return static_cast<int>(p >> shift & 255); }

// Every sampled pixel of the area is black.
bool all_black(const media::Pixmap& p, int x0, int y0, int x1, int y1) {
  for (int y = y0; y < y1; y += 3)
    for (int x = x0; x < x1; x += 3)
      if ((read_pixel(p, x, y) & 0xFFFFFF) != 0) return false;
  return true;
}

// The title's sky: a clear blue.
bool sky(uint32_t c) { return channel(c, 0) > 180 && channel(c, 0) > channel(c, 16) + 30; }


// The 1024x768 picture letterboxed on a W x H output: 4:3 at the full height, centred.
struct Frame {
  int x, w, h;
  explicit Frame(int width, int height) : x((width - height * 4 / 3) / 2), w(height * 4 / 3), h(height) {}
  int px(double lx) const { return x + static_cast<int>(lx * w / 1024.0); }
  int py(double ly) const { return static_cast<int>(ly * h / 768.0); }
};

// The title fills the output between black bars, keeping its 4:3 shape: a picture stretched to the
// output's 16:9, or left small in the middle, fails.
bool title_letterboxed(const media::Pixmap& p) {
  const Frame f(p.width, p.height);
  return all_black(p, 0, 0, f.x - 4, p.height) && all_black(p, f.x + f.w + 4, 0, p.width, p.height) &&
         sky(read_pixel(p, p.width / 2, p.height / 2)) && sky(read_pixel(p, f.x + 8, p.height / 2)) &&
         sky(read_pixel(p, f.x + f.w - 8, p.height / 2));
}

void expect_title_letterboxed(const media::Pixmap& p) {
  const Frame f(p.width, p.height);
  const Box b = lit_box(p);
  EXPECT_NEAR(b.x0, f.x, 3) << "left edge of the picture";
  EXPECT_NEAR(b.x1, f.x + f.w - 1, 3) << "right edge of the picture";
  EXPECT_NEAR(b.y0, 0, 2);
  EXPECT_NEAR(b.y1, p.height - 1, 2);
  EXPECT_NEAR(b.width() * 3, b.height() * 4, 12) << "4:3: " << b.width() << "x" << b.height();
  EXPECT_TRUE(all_black(p, 0, 0, f.x - 4, p.height)) << "left bar";
  EXPECT_TRUE(all_black(p, f.x + f.w + 4, 0, p.width, p.height)) << "right bar";
  EXPECT_TRUE(sky(read_pixel(p, p.width / 2, p.height / 2))) << "the title's sky in the middle";
}

std::string read_all(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

// The session entry's key, as written in packaging/.
std::string session_entry(const std::string& key) {
  const std::string path =
      std::string(PIPKIN_TEST_DIR) + "/../packaging/wayland-sessions/pipkin.desktop";
  std::istringstream lines(read_all(path));
  for (std::string line; std::getline(lines, line);)
    if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
  return "";
}

struct Display {
  const char* driver;  // SDL_VIDEODRIVER, "" for the program's own choice
  double scale;
  const char* name;
  const char* shell;  // the window's kind in sway: the native driver's, or XWayland's
};

// Test names and failure messages show the case's name.
void PrintTo(const Display& d, std::ostream* os) { *os << d.name; }

class OnSway : public ::testing::TestWithParam<Display> {};

}  // namespace

// Full screen on a wide output: the title letterboxed at 4:3, and the pointer at the output's centre
// acting at the picture's centre (512, 384). Through the native driver (the default) and XWayland,
// at scale 1 and at 1.5 (where the output is 1280x720 in logical pixels).
TEST_P(OnSway, FullScreenTitleKeepsItsShapeAndThePointerMapsBack) {
  SKIP_WITHOUT_WAYLAND_TOOLS();
  const Display& c = GetParam();
  Desktop d;
  ASSERT_TRUE(d.start_sway(c.scale)) << d.compositor_log();
  d.set_level(1);
  ASSERT_TRUE(d.start_pipkin(c.driver, {"--fullscreen"})) << d.pipkin_stderr() << d.compositor_log();
  EXPECT_TRUE(d.has_view(c.shell)) << "a " << c.shell << " window";

  media::PixmapPtr last;
  const bool letterboxed = d.wait_for(
      [&](const media::Pixmap& p) {
        last = std::make_shared<media::Pixmap>(p);
        return title_letterboxed(p);
      },
      e2e::kDeadlineMs);
  media::PixmapPtr title = d.screenshot(shot(std::string("wayland_") + c.name + "_title"));
  ASSERT_TRUE(title);
  ASSERT_EQ(title->width, 1920);
  ASSERT_EQ(title->height, 1080);
  expect_title_letterboxed(letterboxed ? *title : *last);
  ASSERT_TRUE(letterboxed);

  // Activity 1 draws the pointer image with its tip where the program has the pointer.
  const double lw = 1920 / c.scale, lh = 1080 / c.scale;  // the output in logical pixels
  ASSERT_TRUE(d.key("1"));
  ASSERT_TRUE(d.wait_for([&](const media::Pixmap& p) { return diff(*title, p, 240, 0, 1680, 1080).n > 200000; },
                         e2e::kDeadlineMs))
      << "activity 1 starts";
  // Away to the bottom-right corner first (the picture's (1023, 767)), then a click at the centre.
  media::PixmapPtr start = d.screenshot();
  ASSERT_TRUE(start);
  ASSERT_TRUE(d.pointer_to(lw - 1, lh - 1));
  media::PixmapPtr away;
  ASSERT_TRUE(d.wait_for(
      [&](const media::Pixmap& p) {
        if (diff(*start, p, 700, 300, 1220, 800).n < 100) return false;
        away = std::make_shared<media::Pixmap>(p);
        return true;
      },
      e2e::kDeadlineMs))
      << "the pointer image leaves the middle";
  ASSERT_TRUE(d.click_at(lw / 2, lh / 2));
  Diff at_centre;
  const bool seen = d.wait_for(
      [&](const media::Pixmap& p) {
        at_centre = diff(*away, p, 700, 300, 1220, 800);
        return at_centre.n > 100;
      },
      e2e::kDeadlineMs);
  d.screenshot(shot(std::string("wayland_") + c.name + "_pointer"));
  ASSERT_TRUE(seen) << "the pointer image appears near the centre";
  const Frame f(1920, 1080);
  EXPECT_NEAR(at_centre.x0, f.px(512), 3) << "x of (512, 384) on the output";
  EXPECT_NEAR(at_centre.y0, f.py(384), 3) << "y of (512, 384) on the output";
  // In the left bar the pointer is at the picture's left edge.
  media::PixmapPtr centred = d.screenshot();
  ASSERT_TRUE(centred);
  ASSERT_TRUE(d.pointer_to(50 / c.scale, lh / 2));
  Diff at_edge;
  ASSERT_TRUE(d.wait_for(
      [&](const media::Pixmap& p) {
        at_edge = diff(*centred, p, 0, 300, 700, 800);
        return at_edge.n > 100;
      },
      e2e::kDeadlineMs));
  EXPECT_NEAR(at_edge.x0, f.px(0), 3);
  EXPECT_NEAR(at_edge.y0, f.py(384), 3);

  ASSERT_TRUE(d.key("Escape"));
  ASSERT_TRUE(d.wait_pipkin_exit(e2e::kDeadlineMs)) << "Escape ends the program";
  EXPECT_EQ(d.pipkin_status(), 0) << d.pipkin_stderr();
}

INSTANTIATE_TEST_SUITE_P(Wayland, OnSway,
                         ::testing::Values(Display{"", 1.0, "native_scale1", "xdg_shell"},
                                           Display{"wayland", 1.5, "native_scale1_5", "xdg_shell"},
                                           Display{"x11", 1.0, "xwayland_scale1", "xwayland"},
                                           Display{"x11", 1.5, "xwayland_scale1_5", "xwayland"}),
                         [](const ::testing::TestParamInfo<Display>& i) { return std::string(i.param.name); });

// The child lock in full screen through the native driver: the desktop's shortcuts and every key
// alone reach neither sway nor the program; Control+Escape held ends the program.
// On the native driver the parent's settings page turns a window into the full screen and back while
// the program runs, and saves each choice.
TEST(Wayland, TheSettingsPageSwitchesTheWindowToFullScreenAndBack) {
  SKIP_WITHOUT_WAYLAND_TOOLS();
  Desktop d;
  ASSERT_TRUE(d.start_sway(1.0)) << d.compositor_log();
  d.set_level(1);
  d.set_config("1\n");
  ASSERT_TRUE(d.start_pipkin("", {})) << d.pipkin_stderr() << d.compositor_log();
  ASSERT_TRUE(d.has_view("xdg_shell"));
  ASSERT_FALSE(d.pipkin_fullscreen()) << "a tiled window to begin with";
  // The page opens with "Full screen" under the keyboard.
  ASSERT_TRUE(d.key("ctrl+p"));
  ASSERT_TRUE(d.key("Return"));
  EXPECT_TRUE(e2e::wait_until([&] { return d.pipkin_fullscreen(); }, e2e::kDeadlineMs)) << d.pipkin_stderr();
  EXPECT_TRUE(e2e::wait_until([&] { return d.read_data("config.txt") == "0\n"; }, e2e::kDeadlineMs));
  d.screenshot(shot("wayland_settings_full_screen"));
  ASSERT_TRUE(d.key("Right"));
  ASSERT_TRUE(d.key("Return"));
  EXPECT_TRUE(e2e::wait_until([&] { return !d.pipkin_fullscreen(); }, e2e::kDeadlineMs));
  EXPECT_TRUE(e2e::wait_until([&] { return d.read_data("config.txt") == "1\n"; }, e2e::kDeadlineMs));
  ASSERT_TRUE(d.key("Escape"));  // the page
  ASSERT_TRUE(d.key("Escape"));  // the program
  ASSERT_TRUE(d.wait_pipkin_exit(e2e::kDeadlineMs));
  EXPECT_EQ(d.pipkin_status(), 0) << d.pipkin_stderr();
}

TEST(Wayland, ChildLockHoldsTheDesktopsKeys) {
  SKIP_WITHOUT_WAYLAND_TOOLS();
  Desktop d;
  ASSERT_TRUE(d.start_sway(1.0)) << d.compositor_log();
  d.set_level(2);
  ASSERT_TRUE(d.start_pipkin("wayland", {"--fullscreen", "--child-lock"})) << d.pipkin_stderr();
  // The program knows that sway holds its shortcuts for it.
  EXPECT_TRUE(wait_until([&] { return d.startup_notes().find("lock-held") != std::string::npos; }, e2e::kDeadlineMs))
      << d.startup_notes();
  media::PixmapPtr title = d.screenshot(shot("wayland_lock_title"));
  ASSERT_TRUE(title);

  for (const char* combo : {"logo+x", "alt+Tab", "Escape", "1", "2", "3", "4", "5", "6", "7", "8", "9", "h", "q"})
    ASSERT_TRUE(d.key(combo)) << combo;
  // Super+z is bound to work even while a program holds the keys: once its file is there, sway's
  // bindings run (the keys above have been handled before it, and a binding they triggered has
  // started its command before this one).
  ASSERT_TRUE(d.key("logo+z"));
  ASSERT_TRUE(wait_until([&] { return exists(d.marker("check")); }, e2e::kDeadlineMs)) << d.compositor_log();
  EXPECT_FALSE(exists(d.marker("super-x"))) << "Super+x reached sway";
  EXPECT_FALSE(exists(d.marker("alt-tab"))) << "Alt+Tab reached sway";
  ASSERT_TRUE(d.pipkin_running()) << "Escape alone does not end the program";

  // Keys reach the program in order: once Control+V's label shows, every key before it was seen.
  ASSERT_TRUE(d.key("ctrl+v"));
  const Frame f(1920, 1080);
  ASSERT_TRUE(d.wait_for([&](const media::Pixmap& p) { return diff(*title, p, 240, f.py(330), 1680, f.py(440)).n > 2000; },
                         e2e::kDeadlineMs))
      << "Control+V shows the info label";
  media::PixmapPtr label = d.screenshot(shot("wayland_lock_label"));
  ASSERT_TRUE(label);
  EXPECT_EQ(diff(*title, *label, 240, 0, 1680, f.py(300)).n, 0) << "still the title: no activity, no help page";
  EXPECT_TRUE(sky(read_pixel(*label, 960, 100))) << "on the same screen";
  EXPECT_EQ(d.pipkin_stderr().find(kNotHeld), std::string::npos) << d.pipkin_stderr();

  ASSERT_TRUE(d.hold_until("ctrl+Escape", [&] { return !d.pipkin_running(); }, e2e::kDeadlineMs))
      << "Control+Escape held ends the program";
  EXPECT_EQ(d.pipkin_status(), 0);
  EXPECT_EQ(d.read_data("pipkin.txt"), "2\r\n") << "the progress is saved";
}

// The same keys without the lock: the desktop keeps its shortcuts (so the test above can fail).
TEST(Wayland, WithoutTheLockTheDesktopKeepsItsShortcuts) {
  SKIP_WITHOUT_WAYLAND_TOOLS();
  Desktop d;
  ASSERT_TRUE(d.start_sway(1.0)) << d.compositor_log();
  ASSERT_TRUE(d.start_pipkin("wayland", {"--fullscreen"})) << d.pipkin_stderr();
  ASSERT_TRUE(d.key("logo+x"));
  EXPECT_TRUE(wait_until([&] { return exists(d.marker("super-x")); }, e2e::kDeadlineMs)) << "Super+x reaches sway";
  ASSERT_TRUE(d.pipkin_running());
  ASSERT_TRUE(d.key("Escape"));
  EXPECT_TRUE(d.wait_pipkin_exit(e2e::kDeadlineMs)) << "Escape ends the program without the lock";
}

// Through XWayland, sway keeps its shortcuts whatever an X program grabs: the program says so.
TEST(Wayland, ThroughXWaylandTheLockSaysTheKeysAreNotHeld) {
  SKIP_WITHOUT_WAYLAND_TOOLS();
  Desktop d;
  ASSERT_TRUE(d.start_sway(1.0)) << d.compositor_log();
  ASSERT_TRUE(d.start_pipkin("x11", {"--fullscreen", "--child-lock"})) << d.pipkin_stderr();
  EXPECT_TRUE(wait_until([&] { return d.pipkin_stderr().find(kNotHeld) != std::string::npos; }, e2e::kDeadlineMs))
      << "standard error:\n" << d.pipkin_stderr();
  EXPECT_NE(d.startup_notes().find("lock-not-held"), std::string::npos) << d.startup_notes();
  d.screenshot(shot("wayland_xwayland_lock_title"));  // the title's notice for the parent, to look at
  ASSERT_TRUE(d.pipkin_running());
  ASSERT_TRUE(d.hold_until("ctrl+Escape", [&] { return !d.pipkin_running(); }, e2e::kDeadlineMs));
  EXPECT_EQ(d.pipkin_status(), 0);
}

// Two outputs side by side, Pipkin full screen with the lock on the left one and another program on
// the right one. The parent's page opens only on Control+P held a second (a tap or 0.9 s do
// nothing); moves of the pointer towards and far onto the right output, and a click there, stay
// with Pipkin while the lock holds; on the page the pointer is free and reaches the other program.
TEST(Wayland, OnTwoOutputsTheLockKeepsThePointerAndThePageNeedsAHeldChord) {
  SKIP_WITHOUT_WAYLAND_TOOLS();
  Desktop d;
  ASSERT_TRUE(d.start_sway_two_outputs()) << d.compositor_log();
  ASSERT_TRUE(d.start_witness()) << d.compositor_log();
  ASSERT_TRUE(d.pointer_to(500, 400));
  d.set_level(2);
  ASSERT_TRUE(d.start_pipkin("wayland", {"--fullscreen", "--child-lock"})) << d.pipkin_stderr();
  ASSERT_TRUE(wait_until(
      [&] {
        const std::string notes = d.startup_notes();
        return notes.find("lock-held") != std::string::npos && notes.find("pointer-held") != std::string::npos;
      },
      e2e::kDeadlineMs))
      << d.startup_notes() << d.pipkin_stderr();
  media::PixmapPtr page = media::load_pixmap(d.data("help/settings.png"));
  ASSERT_TRUE(page);
  const int page_x = (1024 - page->width) / 2, page_y = (768 - page->height) / 2;
  auto page_shown = [&](const media::Pixmap& p) { return e2e::shows_page(p, *page, page_x, page_y); };
  media::PixmapPtr title = d.screenshot();
  ASSERT_TRUE(title);
  // Every key before it has been handled once Control+V's label has come and gone.
  auto settled = [&] {
    auto label = [&](const media::Pixmap& p) { return diff(*title, p, 300, 360, 724, 410).n > 2000; };
    return d.key("ctrl+v") && d.wait_for(label, e2e::kDeadlineMs) && d.key("ctrl+v") &&
           d.wait_for([&](const media::Pixmap& p) { return !label(p); }, e2e::kDeadlineMs);
  };

  // From (500, 400) towards the other output in steps and on into the middle of the other program's
  // window (1036..2035 x 34..733), were the pointer free, and a click.
  for (double dx : {300.0, 300.0, 300.0, 700.0}) ASSERT_TRUE(d.pointer_by(dx, 10));
  ASSERT_TRUE(d.pointer_button(true) && d.pointer_button(false));
  ASSERT_TRUE(d.key("ctrl+p"));
  ASSERT_TRUE(d.press("Control_L") && d.press("p"));
  std::this_thread::sleep_for(std::chrono::milliseconds(900));
  ASSERT_TRUE(d.release("p") && d.release("Control_L"));
  ASSERT_TRUE(settled());
  media::PixmapPtr locked = d.screenshot(shot("wayland_two_outputs_locked"));
  ASSERT_TRUE(locked);
  EXPECT_FALSE(page_shown(*locked)) << "a tap, and a chord held 0.9 s, leave the title";
  EXPECT_EQ(diff(*title, *locked, 0, 0, 1024, 300).n, 0) << "still the title";
  ASSERT_TRUE(d.pipkin_running());

  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_TRUE(d.hold_until("ctrl+p", [&] { return d.wait_for(page_shown, 200); }, e2e::kDeadlineMs))
      << "held, the page opens";
  EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count(), 1000);
  ASSERT_TRUE(wait_until([&] { return d.startup_notes().find("pointer-off") != std::string::npos; }, e2e::kDeadlineMs))
      << "the page lets the pointer go: " << d.startup_notes();
  // On the page the pointer goes over, lower down, and its click reaches the other program.
  ASSERT_TRUE(d.pointer_by(0, 150));
  ASSERT_TRUE(d.pointer_by(500, 0));
  ASSERT_TRUE(d.pointer_button(true) && d.pointer_button(false));
  ASSERT_TRUE(wait_until([&] { return d.witness_heard().find("click") != std::string::npos; }, e2e::kDeadlineMs))
      << d.witness_heard();
  // Nothing reached it while the lock held the pointer: those moves and the click were higher up.
  std::istringstream heard(d.witness_heard());
  for (std::string what; heard >> what;) {
    if (what == "shown") continue;
    int x = 0, y = 0;
    heard >> x >> y;
    EXPECT_GE(y, 480) << what << " " << x << " " << y << " came while the lock held the pointer";
  }
  d.end_pipkin();
  ASSERT_TRUE(d.wait_pipkin_exit(e2e::kDeadlineMs));
  EXPECT_EQ(d.pipkin_status(), 0);
}

// sway as it comes confines no program's pointer: under the lock the program says so, once on
// standard error, and on the title for the parent.
TEST(Wayland, WhereTheDesktopLetsThePointerGoTheLockSaysSo) {
  SKIP_WITHOUT_WAYLAND_TOOLS();
  Desktop d;
  ASSERT_TRUE(d.start_sway(1.0, false)) << d.compositor_log();
  ASSERT_TRUE(d.start_pipkin("wayland", {"--fullscreen", "--child-lock"})) << d.pipkin_stderr();
  EXPECT_TRUE(wait_until([&] { return d.pipkin_stderr().find("pointer not held by this desktop") != std::string::npos; },
                         e2e::kDeadlineMs))
      << d.pipkin_stderr();
  EXPECT_NE(d.startup_notes().find("pointer-not-held"), std::string::npos) << d.startup_notes();
  EXPECT_NE(d.startup_notes().find("lock-held"), std::string::npos) << "the keys are held all the same";
  const Frame f(1920, 1080);
  // The notice's lettering, white on its dark frame, below the title's name.
  EXPECT_TRUE(d.wait_for(
      [&](const media::Pixmap& p) {
        int white = 0;
        for (int y = f.py(400); y < f.py(480); ++y)
          for (int x = f.px(100); x < f.px(924); ++x) white += e2e::near(read_pixel(p, x, y), 255, 255, 255, 20);
        return white > 500;
      },
      e2e::kDeadlineMs))
      << "the notice for the parent on the title";
  d.keep_last_screenshot(shot("wayland_pointer_not_held"));
  d.end_pipkin();
  ASSERT_TRUE(d.wait_pipkin_exit(e2e::kDeadlineMs));
}

class Palm : public ::testing::TestWithParam<const char*> {};

// A palm on the keyboard under the lock: Control with five letters, Q among them, all down at once,
// does not end the program; through either driver.
TEST_P(Palm, OnTheKeyboardLeavesItRunning) {
  SKIP_WITHOUT_WAYLAND_TOOLS();
  Desktop d;
  ASSERT_TRUE(d.start_sway(1.0)) << d.compositor_log();
  ASSERT_TRUE(d.start_pipkin(GetParam(), {"--fullscreen", "--child-lock"})) << d.pipkin_stderr();
  media::PixmapPtr title = d.screenshot();
  ASSERT_TRUE(title);
  for (const char* k : {"Control_L", "a", "s", "q", "w", "e"}) ASSERT_TRUE(d.press(k)) << k;
  for (const char* k : {"q", "a", "e", "w", "s", "Control_L"}) ASSERT_TRUE(d.release(k)) << k;
  // Control+V's label shows once every key before it has been handled.
  ASSERT_TRUE(d.key("ctrl+v"));
  const Frame f(1920, 1080);
  ASSERT_TRUE(d.wait_for([&](const media::Pixmap& p) { return diff(*title, p, 240, f.py(330), 1680, f.py(440)).n > 2000; },
                         e2e::kDeadlineMs))
      << "Control+V shows the info label; the program ran: " << d.pipkin_running() << "\n" << d.pipkin_stderr();
  EXPECT_TRUE(d.pipkin_running()) << "the palm ended the program";
  ASSERT_TRUE(d.hold_until("ctrl+q", [&] { return !d.pipkin_running(); }, e2e::kDeadlineMs))
      << "Control+Q held ends the program";
  EXPECT_EQ(d.pipkin_status(), 0);
}

INSTANTIATE_TEST_SUITE_P(Wayland, Palm, ::testing::Values("wayland", "x11"),
                         [](const ::testing::TestParamInfo<const char*>& i) {
                           return std::string(i.param) == "x11" ? "xwayland" : "native";
                         });

// The child session: the login screen's "Pipkin (child session)" runs its Exec line; Pipkin starts in
// cage, and its end ends cage, so the session.
TEST(Wayland, ChildSessionRunsPipkinAloneInCage) {
  SKIP_WITHOUT_WAYLAND_TOOLS();
  const std::string exec = session_entry("Exec");
  ASSERT_EQ(session_entry("TryExec"), "cage");
  ASSERT_EQ(exec.rfind("cage ", 0), 0u) << exec;
  Desktop d;
  d.set_level(3);
  ASSERT_TRUE(d.start_cage(exec)) << d.compositor_log();
  ASSERT_TRUE(wait_until([&] { return d.pictures_loaded() || !d.cage_running(); }, 120000))
      << "Pipkin starts and loads its pictures\n" << d.pipkin_stderr() << d.compositor_log();
  ASSERT_TRUE(d.cage_running()) << d.pipkin_stderr();
  // cage has no shortcuts to hold: the session tells no parent that keys are not held.
  ASSERT_TRUE(wait_until([&] { return d.startup_notes().find("lock-held") != std::string::npos; }, e2e::kDeadlineMs))
      << d.startup_notes();
  EXPECT_EQ(d.startup_notes().find("lock-not-held"), std::string::npos);
  EXPECT_EQ(d.pipkin_stderr().find("keys not held"), std::string::npos) << d.pipkin_stderr();
  // cage's headless output is 1280x720: the picture 960x720 between bars of 160. cage 0.1.4 shows a
  // full-screen client on its headless output as black to screenshots once it hands the client's
  // frames to the output directly (a window shows; on real outputs everything does): so a shot is
  // checked until it shows the title or goes black, and black only earns a note.
  media::PixmapPtr last;
  bool black = false;
  const bool letterboxed = d.wait_for(
      [&](const media::Pixmap& p) {
        last = std::make_shared<media::Pixmap>(p);
        black = lit_box(p).x1 < 0;
        return black || title_letterboxed(p);
      },
      e2e::kDeadlineMs) && !black;
  ASSERT_TRUE(last) << "grim takes no screenshot of cage\n" << d.compositor_log();
  EXPECT_EQ(last->width, 1280);
  if (black) {
    std::cout << "note: cage shows the full-screen program as black to screenshots on its headless output\n";
  } else {
    d.keep_last_screenshot(shot("wayland_cage_title"));
    expect_title_letterboxed(*last);
    EXPECT_TRUE(letterboxed) << d.pipkin_stderr();
  }

  d.end_cage_program();
  ASSERT_TRUE(d.wait_cage_exit(e2e::kDeadlineMs)) << "cage ends with the program";
  EXPECT_EQ(d.cage_status(), 0) << d.compositor_log();
  EXPECT_EQ(d.read_data("pipkin.txt"), "3\r\n") << "the progress is saved";
}

// GNOME's compositor, headless: it takes no virtual keyboard, so what is checked is the question and
// its answer. A full screen with the lock asks for the keyboard through the shortcuts inhibitor, and
// the program hears that it is held (a bare mutter grants it at once; GNOME Shell first asks the user).
TEST(Wayland, OnGnomesCompositorTheLockIsAskedForAndHeld) {
  SKIP_WITHOUT_WAYLAND_TOOLS();
  Desktop d;
  d.set_level(2);
  ASSERT_TRUE(d.start_mutter()) << d.compositor_log();
  ASSERT_TRUE(d.start_pipkin_in_mutter({"--child-lock", "--fullscreen"})) << d.compositor_log();
  ASSERT_TRUE(wait_until(
      [&] {
        const std::string notes = d.startup_notes();
        return notes.find("lock-held") != std::string::npos || notes.find("lock-not-held") != std::string::npos ||
               !d.pipkin_running();
      },
      60000))
      << d.startup_notes() << d.pipkin_stderr() << d.compositor_log();
  ASSERT_TRUE(d.pipkin_running()) << d.pipkin_stderr() << d.compositor_log();
  EXPECT_NE(d.startup_notes().find("title "), std::string::npos) << "the title was drawn";
  EXPECT_NE(d.startup_notes().find("lock-held"), std::string::npos) << d.startup_notes();
  EXPECT_EQ(d.pipkin_stderr().find(kNotHeld), std::string::npos) << d.pipkin_stderr();
  d.end_pipkin();
  ASSERT_TRUE(d.wait_pipkin_exit(e2e::kDeadlineMs));
  EXPECT_EQ(d.pipkin_status(), 0);
  EXPECT_EQ(d.read_data("pipkin.txt"), "2\r\n") << "the progress is saved";
}
