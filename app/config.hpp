// Start-up configuration: "config.txt" (full screen or window, refresh rate), the choice of display
// mode, and the progress file "pipkin.txt" that keeps the highest unlocked activity.
#pragma once
#include <string>
#include <vector>

#include "media/display.hpp"

namespace app {

struct Config {
  bool windowed = false;
  int hz = 0;
  bool child_lock = false;
};

// Reads the two-line configuration file; a missing file gives full screen at the best rate.
Config read_config(const std::string& path);

// What to open: a full screen (depth > 0), a window (depth 0), or nothing (ok false, with the
// message to show).
struct DisplayChoice {
  bool ok = false;
  int width = 0, height = 0, depth = 0, hz = 0;
  std::string message;
};

DisplayChoice open_window_mode(const std::vector<media::DisplayMode>& modes, int w, int h);
DisplayChoice open_fullscreen_at_rate(const std::vector<media::DisplayMode>& modes, int w, int h, int rate);
DisplayChoice open_fullscreen_best(const std::vector<media::DisplayMode>& modes, int w, int h);
DisplayChoice choose_display(const std::vector<media::DisplayMode>& modes, const Config& cfg, int w, int h);

// The stored level (1 when there is no file, and kept within 1..9).
int load_progress(const std::string& path, int fallback);
// Writes the level as one CR LF line, replacing the old file only once the new one is complete.
bool save_progress(const std::string& path, int level);

}  // namespace app
