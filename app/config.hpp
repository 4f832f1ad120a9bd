// Start-up configuration: "config.txt" (full screen or window, refresh rate, child lock), the choice of display
// mode, and the progress file "pipkin.txt" that keeps the highest unlocked activity.
#pragma once
#include <string>
#include <vector>

#include "media/display.hpp"

namespace app {

struct Config {
  bool windowed = false;
  int hz = 0;
  bool child_lock = false;  // keys work only with Control held; the keyboard is kept from the desktop
};

// Reads the configuration file (line 1: "0" for full screen, line 2: the rate, line 3: "1" for the
// child lock); a missing file gives full screen at the best rate without the lock.
Config read_config(const std::string& path);

// What to open: a full screen (depth > 0), a window (depth 0), or nothing (ok false, with the
// message to show). fill_desktop: a borderless full screen at the display's own size instead of
// the window described, the 1024x768 picture scaled into it; the window is the fall-back.
struct DisplayChoice {
  bool ok = false;
  int width = 0, height = 0, depth = 0, hz = 0;
  std::string message;
  bool fill_desktop = false;
};

DisplayChoice open_window_mode(const std::vector<media::DisplayMode>& modes, int w, int h);
DisplayChoice open_fullscreen_at_rate(const std::vector<media::DisplayMode>& modes, int w, int h, int rate);
DisplayChoice open_fullscreen_best(const std::vector<media::DisplayMode>& modes, int w, int h);
// A full-screen request that the mode list cannot meet at exactly w x h (no such mode, or only at an
// unknown rate) fills the desktop rather than becoming a window, on any screen of 640x480 or more;
// a window request opens a window, on a screen too small for w x h the largest of its shape that
// fits the usable area. Only a screen below 640x480 gives the "Require" message. screen: the
// monitor as the desktop reports it (unknown: taken from the modes).
DisplayChoice choose_display(const std::vector<media::DisplayMode>& modes, const Config& cfg, int w, int h,
                             const media::ScreenArea& screen = {});
// The largest window of w x h's shape (and no larger) that fits the screen's usable area with a
// title bar.
DisplayChoice fitted_window(const media::ScreenArea& screen, int w, int h);

// The stored level (fallback when there is no file), kept within 1 and the number of activities.
int load_progress(const std::string& path, int fallback, int activities);
// Writes the level as one CR LF line, replacing the old file only once the new one is complete.
bool save_progress(const std::string& path, int level);

}  // namespace app
