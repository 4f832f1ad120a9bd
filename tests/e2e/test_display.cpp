// The display end to end: the real program on Xvfb screens of several sizes, with a real window
// manager, checked through the window manager's own properties and screenshots.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/harness.hpp"

using e2e::Diff;
using e2e::diff;
using e2e::Pipkin;
using e2e::shot;
using e2e::wait_until;
using media::read_pixel;

namespace {

struct XCloser {
  void operator()(Display* d) const { XCloseDisplay(d); }
};
using XDisplay = std::unique_ptr<Display, XCloser>;

XDisplay open_x() { return XDisplay(XOpenDisplay(nullptr)); }

Window id_of(const Pipkin& app) { return static_cast<Window>(std::stoul(app.window_id())); }

std::vector<long> long_property(Display* d, Window w, const char* name, Atom type) {
  std::vector<long> out;
  Atom actual;
  int format;
  unsigned long n = 0, after;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, w, XInternAtom(d, name, False), 0, 64, False, type, &actual, &format, &n, &after,
                         &data) == Success &&
      data && format == 32)
    out.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + n);
  if (data) XFree(data);
  return out;
}

bool in_fullscreen_state(Display* d, Window w) {
  Atom full = XInternAtom(d, "_NET_WM_STATE_FULLSCREEN", False);
  for (long a : long_property(d, w, "_NET_WM_STATE", XA_ATOM))
    if (static_cast<Atom>(a) == full) return true;
  return false;
}

struct Placement {
  int x = -1, y = -1, w = 0, h = 0, screen = -1;
};

// Where the window's contents lie on its screen.
Placement placement(Display* d, Window w) {
  Placement p;
  XWindowAttributes a;
  if (!XGetWindowAttributes(d, w, &a)) return p;
  Window child;
  XTranslateCoordinates(d, w, a.root, 0, 0, &p.x, &p.y, &child);
  p.w = a.width;
  p.h = a.height;
  p.screen = XScreenNumberOfScreen(a.screen);
  return p;
}

// True when another client could take the keyboard now (nobody holds it).
bool keyboard_free(Display* d) {
  int r = XGrabKeyboard(d, DefaultRootWindow(d), False, GrabModeAsync, GrabModeAsync, CurrentTime);
  if (r == GrabSuccess) XUngrabKeyboard(d, CurrentTime);
  XSync(d, False);
  return r == GrabSuccess;
}

int channel(uint32_t p, int shift) { return static_cast<int>(p >> shift & 255); }
bool black(uint32_t p) { return (p & 0xFFFFFF) == 0; }

// Every pixel of the area is black.
bool all_black(const media::Pixmap& p, int x0, int y0, int x1, int y1) {
  for (int y = y0; y < y1; y += 3)
    for (int x = x0; x < x1; x += 3)
      if (!black(read_pixel(p, x, y))) return false;
  return true;
}


// A full-screen start on a screen of the given size, with a window manager: the window covers the
// whole screen at (0,0) in the manager's full-screen state, with no frame around it.
void expect_fills_screen(Display* d, Window w, int sw, int sh) {
  EXPECT_TRUE(wait_until([&] { return in_fullscreen_state(d, w); }, 20000)) << "_NET_WM_STATE_FULLSCREEN";
  EXPECT_TRUE(wait_until(
      [&] {
        Placement p = placement(d, w);
        return p.x == 0 && p.y == 0 && p.w == sw && p.h == sh;
      },
      20000));
  Placement p = placement(d, w);
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 0);
  EXPECT_EQ(p.w, sw);
  EXPECT_EQ(p.h, sh);
  std::vector<long> frame = long_property(d, w, "_NET_FRAME_EXTENTS", XA_CARDINAL);
  for (long e : frame) EXPECT_EQ(e, 0) << "no decoration";
}

}  // namespace

TEST(Display, WideScreenIsFilledAndPointerPositionsMapBack) {
  e2e::Desktop desk({"1920x1080x24"});
  ASSERT_TRUE(desk.ok());
  Display* d = desk.display();
  e2e::Options opt;
  opt.level = 1;
  Pipkin app(opt);
  ASSERT_TRUE(app.start()) << app.stderr_text();
  Window w = id_of(app);
  expect_fills_screen(d, w, 1920, 1080);
  EXPECT_TRUE(keyboard_free(d)) << "without the child lock the keyboard is left alone";

  // The 1024x768 picture is 1440x1080 in the middle, black bars of 240 on either side.
  ASSERT_TRUE(app.wait_for([](const media::Pixmap& p) {
    return p.width == 1920 && !black(read_pixel(p, 250, 540)) && !black(read_pixel(p, 1670, 540));
  }));
  media::PixmapPtr title = app.screenshot(shot("display_1920_title"));
  EXPECT_TRUE(all_black(*title, 0, 0, 240, 1080));
  EXPECT_TRUE(all_black(*title, 1680, 0, 1920, 1080));

  // In activity 1 the pointer image is drawn where the program thinks the pointer is, its tip at
  // the position. A click at the screen's centre puts it at (512, 384): (960, 540) on screen.
  app.key("1");
  ASSERT_TRUE(app.wait_for([](const media::Pixmap& p) {
    return p.width == 1920 && channel(read_pixel(p, 560, 380), 16) > 230;  // a frame's canvas
  }, e2e::kDeadlineMs));
  // Activity 1 starts with the pointer in the middle; a position in the right bar is clamped to
  // (1023, 767), which puts the image almost off the picture.
  media::PixmapPtr start = app.screenshot();
  app.move(1919, 1079);
  media::PixmapPtr away;
  ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) {
    if (diff(*start, p, 700, 300, 1220, 800).n < 100) return false;
    away = std::make_shared<media::Pixmap>(p);
    return true;
  })) << "the pointer image leaves the middle";
  app.click(960, 540);
  Diff at_centre;
  bool seen = app.wait_for([&](const media::Pixmap& p) {
    at_centre = diff(*away, p, 700, 300, 1220, 800);
    return at_centre.n > 100;
  });
  app.screenshot(shot("display_1920_pointer"));
  ASSERT_TRUE(seen) << "the pointer image appears near the centre";
  EXPECT_NEAR(at_centre.x0, 960, 2);
  EXPECT_NEAR(at_centre.y0, 540, 2);
  // A position in the left bar is clamped to the picture's left edge, x = 0: screen x 240.
  media::PixmapPtr centred = app.screenshot();
  app.move(100, 540);
  Diff at_edge;
  ASSERT_TRUE(app.wait_for([&](const media::Pixmap& p) {
    at_edge = diff(*centred, p, 0, 300, 700, 800);
    return at_edge.n > 100;
  }));
  EXPECT_NEAR(at_edge.x0, 240, 2);
  EXPECT_NEAR(at_edge.y0, 540, 2);
  EXPECT_TRUE(all_black(*app.screenshot(), 0, 0, 240, 1080)) << "nothing is drawn into the bars";
  app.key("Escape");
  EXPECT_TRUE(app.wait_exit(20000));
}

TEST(Display, HighDensityScreenIsFilledSmoothly) {
  e2e::Desktop desk({"3840x2160x24"});
  ASSERT_TRUE(desk.ok());
  Display* d = desk.display();
  Pipkin app;
  ASSERT_TRUE(app.start()) << app.stderr_text();
  expect_fills_screen(d, id_of(app), 3840, 2160);
  // The picture is 2880x2160 from x = 480: 2.8125 screen pixels for every pixel of the program.
  ASSERT_TRUE(app.wait_for([](const media::Pixmap& p) {
    return p.width == 3840 && !black(read_pixel(p, 490, 2150)) && !black(read_pixel(p, 3350, 10));
  }, 20000));
  media::PixmapPtr p = app.screenshot(shot("display_3840_title"));
  EXPECT_TRUE(all_black(*p, 0, 0, 480, 2160));
  EXPECT_TRUE(all_black(*p, 3360, 0, 3840, 2160));
  // The sky fills the whole height: where the title screen shows only sky, the screen matches the
  // sky picture at the scaled place, from the top row to the bottom row.
  media::PixmapPtr sky = media::load_pixmap(app.data("images/sky.jpg"));
  ASSERT_TRUE(sky);
  // (Clear of the title, the clouds, the text and the activity number.)
  for (auto [lx, ly] : {std::pair{5, 2}, std::pair{1018, 2}, std::pair{5, 300}, std::pair{1018, 600},
                        std::pair{700, 766}, std::pair{3, 766}}) {
    int sx = 480 + static_cast<int>((lx + 0.5) * 2.8125), sy = static_cast<int>((ly + 0.5) * 2.8125);
    uint32_t want = read_pixel(*sky, lx, ly), got = read_pixel(*p, sx, sy);
    for (int s : {0, 8, 16})
      EXPECT_NEAR(channel(got, s), channel(want, s), 24) << "logical " << lx << "," << ly;
  }
  // Smooth scaling: with nearest-pixel scaling every screen pixel would repeat a neighbour (each
  // picture pixel covers two or three screen pixels); filtering makes in-between shades.
  int in_between = 0, checked = 0;
  for (int y = 100; y < 2100; y += 37)
    for (int x = 500; x < 3340; ++x) {
      uint32_t l = read_pixel(*p, x - 1, y) & 0xFFFFFF, c = read_pixel(*p, x, y) & 0xFFFFFF,
               r = read_pixel(*p, x + 1, y) & 0xFFFFFF;
      ++checked;
      in_between += c != l && c != r;
    }
  EXPECT_GT(in_between, checked / 50) << "of " << checked;
  app.key("Escape");
  EXPECT_TRUE(app.wait_exit(20000));
}

TEST(Display, ExactSizeWithUnknownRateIsAFullScreenToo) {
  // Xvfb gives its only mode a rate of 0, like many virtual machines and remote desktops.
  e2e::Desktop desk({"1024x768x24"});
  ASSERT_TRUE(desk.ok());
  Display* d = desk.display();
  Pipkin app;
  ASSERT_TRUE(app.start()) << app.stderr_text();
  expect_fills_screen(d, id_of(app), 1024, 768);
  app.key("Escape");
  EXPECT_TRUE(app.wait_exit(20000));
}

TEST(Display, AWindowWhenAskedForIsAsBefore) {
  e2e::Desktop desk({"1024x768x24"});
  ASSERT_TRUE(desk.ok());
  Display* d = desk.display();
  e2e::Options opt;
  opt.config = "1\r\n";
  Pipkin app(opt);
  // The framed window reaches past the bottom of this screen, where the server cannot read its pixels
  // back: wait for the window alone, then for the manager's frame.
  ASSERT_TRUE(app.start(false)) << app.stderr_text();
  Window w = id_of(app);
  // The manager frames it: a title bar above the 1024x768 contents.
  ASSERT_TRUE(wait_until([&] { return long_property(d, w, "_NET_FRAME_EXTENTS", XA_CARDINAL).size() == 4; },
                         20000));
  std::vector<long> frame = long_property(d, w, "_NET_FRAME_EXTENTS", XA_CARDINAL);
  EXPECT_GT(frame[2], 0) << "a title bar";
  EXPECT_FALSE(in_fullscreen_state(d, w));
  Placement p = placement(d, w);
  EXPECT_EQ(p.w, 1024);
  EXPECT_EQ(p.h, 768);
  app.key("Escape");
  EXPECT_TRUE(app.wait_exit(20000));
}

// The parent's settings page switches a running program between a window and the full screen, and
// the choice is saved in the installed program's configuration file for the next start.
TEST(Display, TheSettingsPageSwitchesToFullScreenAndBackAndSavesIt) {
  e2e::Desktop desk({"1024x768x24"});
  ASSERT_TRUE(desk.ok());
  Display* d = desk.display();
  e2e::Options opt;
  opt.installed = true;
  opt.config = "1\n";
  Pipkin app(opt);
  const std::string config = app.home() + "/.config/pipkin/config.txt";
  // The framed window reaches past the bottom of this screen: wait for the window alone.
  ASSERT_TRUE(app.start(false)) << app.stderr_text();
  Window w = id_of(app);
  auto framed = [&] {
    std::vector<long> frame = long_property(d, w, "_NET_FRAME_EXTENTS", XA_CARDINAL);
    return frame.size() == 4 && frame[2] > 0 && !in_fullscreen_state(d, w);
  };
  auto full = [&] {
    Placement p = placement(d, w);
    return in_fullscreen_state(d, w) && p.x == 0 && p.y == 0 && p.w == 1024 && p.h == 768;
  };
  ASSERT_TRUE(wait_until(framed, 20000)) << "a window with a title bar";
  // The page opens with its first control, "Full screen", under the keyboard.
  app.key("ctrl+p");
  app.key("Return");
  EXPECT_TRUE(wait_until(full, 20000)) << app.stderr_text();
  EXPECT_TRUE(wait_until([&] { return e2e::read_file(config) == "0\n"; }, 20000)) << e2e::read_file(config);
  EXPECT_TRUE(app.wait_for([](const media::Pixmap& p) {
    return p.width == 1024 && e2e::near(read_pixel(p, 700, 150), 255, 254, 246, 8);  // the page's cream
  }));
  app.screenshot(shot("parent_settings_full_screen"));
  // "Window", one to the right.
  app.key("Right");
  app.key("Return");
  EXPECT_TRUE(wait_until(framed, 20000));
  EXPECT_EQ(placement(d, w).w, 1024);
  EXPECT_TRUE(wait_until([&] { return e2e::read_file(config) == "1\n"; }, 20000)) << e2e::read_file(config);
  app.key("Escape");  // the page
  app.key("Escape");  // the program
  EXPECT_TRUE(app.wait_exit(20000));
  EXPECT_EQ(app.exit_status(), 0);
}

TEST(Display, OpensOnTheScreenThatHoldsThePointer) {
  // Xvfb cannot put two monitors side by side in one screen, but two screens of one server are
  // listed as two displays. Both start at (0,0), so the pointer (and the middle of the full screen,
  // which is where the window is placed) is put where only the intended screen reaches.
  e2e::XServer x({"1024x768x24", "2560x1440x24"});
  ASSERT_TRUE(x.ok());
  XDisplay d = open_x();
  ASSERT_TRUE(d);
  ASSERT_EQ(ScreenCount(d.get()), 2);
  for (int screen : {1, 0}) {
    ASSERT_EQ(e2e::sh("xdotool mousemove --screen " + std::to_string(screen) + " 2000 1200"), 0);
    Pipkin app;
    ASSERT_TRUE(app.start(false)) << app.stderr_text();
    Window w = id_of(app);
    int sw = screen ? 2560 : 1024, sh = screen ? 1440 : 768;
    EXPECT_TRUE(wait_until(
        [&] {
          Placement p = placement(d.get(), w);
          return p.screen == screen && p.w == sw && p.h == sh;
        },
        20000))
        << "screen " << screen;
    Placement p = placement(d.get(), w);
    EXPECT_EQ(p.screen, screen);
    EXPECT_EQ(p.w, sw);
    EXPECT_EQ(p.h, sh);
  }
}
