#include <gtest/gtest.h>

#include <vector>

#include "app/start/config.hpp"

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
}

Config window_request() {
  Config c;
  c.windowed = true;
  return c;
}

TEST(DisplayChoice, ScreensSmallerThanThePictureShowItScaledDown) {
  // Laptops scaled by the desktop: 1920x1080 at 150 % (and 125 %, 175 %), 1366x768 at 125 %. The
  // mode list holds the panel's pixels; the desktop lays out in its own units.
  const std::vector<std::pair<media::ScreenArea, std::vector<DisplayMode>>> laptops = {
      {{1280, 720, 1280, 720}, {{1920, 1080, 24, 60}}},
      {{1536, 864, 1536, 834}, {{1920, 1080, 24, 60}}},
      {{1097, 617, 1097, 617}, {{1920, 1080, 24, 60}}},
      {{1093, 614, 1093, 590}, {{1366, 768, 24, 60}}},
      {{800, 600, 800, 600}, {{800, 600, 24, 60}}},
      {{640, 480, 640, 480}, {{640, 480, 24, 60}}},
  };
  for (const auto& [screen, modes] : laptops) {
    SCOPED_TRACE(std::to_string(screen.width) + "x" + std::to_string(screen.height));
    DisplayChoice c = app::choose_display(modes, full_screen(), 1024, 768, screen);
    EXPECT_TRUE(fills_desktop(c));
    EXPECT_EQ(c.depth, 0) << "no mode switch";
    // The fall-back window is the screen's size in the desktop's units, never the panel's pixels.
    if (screen.width < 1024 || screen.height < 768) {
      EXPECT_EQ(c.width, screen.width);
      EXPECT_EQ(c.height, screen.height);
    }
    // A window: the largest of the picture's shape that fits the usable area, room for a title bar.
    DisplayChoice w = app::choose_display(modes, window_request(), 1024, 768, screen);
    ASSERT_TRUE(w.ok);
    EXPECT_FALSE(w.fill_desktop);
    EXPECT_EQ(w.depth, 0);
    EXPECT_LE(w.width, screen.usable_width);
    EXPECT_LE(w.height + 32, screen.usable_height);
    EXPECT_NEAR(w.width * 3, w.height * 4, 4) << w.width << "x" << w.height << " keeps 4:3";
    EXPECT_TRUE(w.width == 1024 || w.width == screen.usable_width || w.height + 32 == screen.usable_height)
        << "the largest";
  }
  // Windows are never larger than the picture, whatever room there is.
  DisplayChoice big = app::fitted_window({3840, 2160, 3840, 2100}, 1024, 768);
  EXPECT_EQ(big.width, 1024);
  EXPECT_EQ(big.height, 768);
  // A 1366x768 screen lists no larger mode and its height leaves no room for a title bar.
  DisplayChoice w = app::choose_display({{1366, 768, 24, 60}}, window_request(), 1024, 768, {1366, 768, 1366, 740});
  EXPECT_TRUE(w.ok && w.height == 708 && w.width == 944) << w.width << "x" << w.height;
  // Without the desktop's own figures, the modes tell the size.
  EXPECT_TRUE(fills_desktop(app::choose_display({{800, 600, 24, 60}}, full_screen(), 1024, 768)));
}

TEST(DisplayChoice, OnlyScreensBelow640x480AreRefused) {
  for (media::ScreenArea small : {media::ScreenArea{639, 480, 639, 480}, media::ScreenArea{800, 479, 800, 479},
                                  media::ScreenArea{320, 240, 320, 240}}) {
    for (const Config& cfg : {full_screen(), window_request()}) {
      DisplayChoice c = app::choose_display({{small.width, small.height, 24, 60}}, cfg, 1024, 768, small);
      EXPECT_FALSE(c.ok) << small.width << "x" << small.height;
      EXPECT_FALSE(c.fill_desktop);
      EXPECT_EQ(c.message, "Require 1024x768 screen - sorry!");
    }
  }
  DisplayChoice c = app::choose_display({{640, 400, 24, 60}}, full_screen(), 1024, 768);
  EXPECT_EQ(c.message, "Require 1024x768 screen - sorry!");
}

TEST(DisplayChoice, LargeScreensKeepTheirModesAndWindows) {
  // With the desktop's own figures given, a screen of 1024x768 or more chooses as before.
  std::vector<DisplayMode> modes = {{1280, 1024, 24, 60}, {1024, 768, 24, 60}, {1024, 768, 24, 75}};
  media::ScreenArea screen{1280, 1024, 1280, 1000};
  EXPECT_TRUE(switches_mode(app::choose_display(modes, full_screen(), 1024, 768, screen), 24, 75));
  DisplayChoice w = app::choose_display(modes, window_request(), 1024, 768, screen);
  EXPECT_TRUE(w.ok && !w.fill_desktop && w.width == 1024 && w.height == 768);
  DisplayChoice exact = app::choose_display({{1024, 768, 24, 60}}, full_screen(), 1024, 768, {1024, 768, 1024, 768});
  EXPECT_TRUE(switches_mode(exact, 24, 60));
}
