#include <gtest/gtest.h>

#include <vector>

#include "app/config.hpp"

using app::Config;
using app::DisplayChoice;
using media::DisplayMode;

namespace {

bool fills_desktop(const DisplayChoice& c) { return c.ok && c.fill_desktop; }

bool switches_mode(const DisplayChoice& c, int depth, int hz) {
  return c.ok && !c.fill_desktop && c.width == 1024 && c.height == 768 && c.depth == depth && c.hz == hz;
}

Config full_screen(int hz = 0) {
  Config c;
  c.windowed = false;
  c.hz = hz;
  return c;
}

}  // namespace

TEST(DisplayChoice, FullScreenWithoutAModeFillsTheDesktop) {
  // Wide screens and laptops list only their own size.
  std::vector<DisplayMode> wide = {{1920, 1080, 24, 60}};
  DisplayChoice c = app::choose_display(wide, full_screen(), 1024, 768);
  EXPECT_TRUE(fills_desktop(c));
  EXPECT_EQ(c.width, 1920) << "the window that was chosen before stays the fall-back";
  EXPECT_EQ(c.depth, 0);
  EXPECT_TRUE(fills_desktop(app::choose_display({{3840, 2160, 24, 60}}, full_screen(), 1024, 768)));
  // Virtual displays and some drivers give every rate as 0, even at exactly 1024x768.
  EXPECT_TRUE(fills_desktop(app::choose_display({{1024, 768, 24, 0}}, full_screen(), 1024, 768)));
  EXPECT_TRUE(fills_desktop(app::choose_display({{1920, 1080, 24, 0}}, full_screen(), 1024, 768)));
  // A configured rate that no 1024x768 mode has.
  std::vector<DisplayMode> modes = {{1024, 768, 24, 60}, {1280, 1024, 24, 75}};
  EXPECT_TRUE(fills_desktop(app::choose_display(modes, full_screen(85), 1024, 768)));
  // Laptops of 1366x768 have no mode larger in both directions; the picture still fits.
  EXPECT_TRUE(fills_desktop(app::choose_display({{1366, 768, 24, 60}}, full_screen(), 1024, 768)));
  Config window;
  window.windowed = true;
  EXPECT_FALSE(app::choose_display({{1366, 768, 24, 60}}, window, 1024, 768).ok)
      << "a window that cannot fit is still refused";
}

TEST(DisplayChoice, ExactModesAndWindowsAreAsBefore) {
  std::vector<DisplayMode> modes = {{1280, 1024, 24, 60}, {1024, 768, 24, 60}, {1024, 768, 24, 75}};
  EXPECT_TRUE(switches_mode(app::choose_display(modes, full_screen(), 1024, 768), 24, 75));
  EXPECT_TRUE(switches_mode(app::choose_display(modes, full_screen(60), 1024, 768), 24, 60));
  Config window;
  window.windowed = true;
  DisplayChoice w = app::choose_display(modes, window, 1024, 768);
  EXPECT_TRUE(w.ok && !w.fill_desktop && w.width == 1024 && w.depth == 0 && w.hz == 60);
  // A window request on a wide screen is still a window of the next larger mode, never a full screen.
  DisplayChoice wide = app::choose_display({{1920, 1080, 24, 0}}, window, 1024, 768);
  EXPECT_TRUE(wide.ok && !wide.fill_desktop && wide.width == 1920 && wide.height == 1080);
  // A display too small for the picture still gets the message and nothing opens.
  DisplayChoice small = app::choose_display({{800, 600, 24, 60}}, full_screen(), 1024, 768);
  EXPECT_FALSE(small.ok);
  EXPECT_FALSE(small.fill_desktop);
  EXPECT_EQ(small.message, "Require 1024x768 screen - sorry!");
}
