#include "app/config.hpp"

#include <algorithm>

#include "media/files.hpp"
#include "media/log.hpp"

namespace app {

Config read_config(const std::string& path) {
  Config cfg;
  media::StreamPtr f = media::read_file(path);
  if (!f) return cfg;
  std::string first = media::read_line(*f);
  cfg.windowed = first != "0";
  std::string second = media::read_line(*f);
  if (second != "0") cfg.hz = media::parse_whole_number(second);
  cfg.child_lock = media::read_line(*f) == "1";
  media::close(f);
  return cfg;
}

DisplayChoice open_window_mode(const std::vector<media::DisplayMode>& modes, int w, int h) {
  int best_w = 100000, best_h = 100000;
  bool larger = false;
  for (const media::DisplayMode& m : modes) {
    if (m.width == w && m.height == h) return {true, w, h, 0, 60, ""};
    if (m.width > w && m.height > h && m.width < best_w && m.height < best_h) {
      best_w = m.width;
      best_h = m.height;
      larger = true;
    }
  }
  if (larger) return {true, best_w, best_h, 0, 60, ""};
  DisplayChoice none;
  none.message = "Require " + std::to_string(w) + "x" + std::to_string(h) + " screen - sorry!";
  return none;
}

DisplayChoice open_fullscreen_at_rate(const std::vector<media::DisplayMode>& modes, int w, int h, int rate) {
  int depth = 0;
  for (const media::DisplayMode& m : modes)
    if (m.width == w && m.height == h && m.hz == rate) depth = std::max(depth, m.depth);
  if (depth > 0) return {true, w, h, depth, rate, ""};
  return open_window_mode(modes, w, h);
}

DisplayChoice open_fullscreen_best(const std::vector<media::DisplayMode>& modes, int w, int h) {
  for (int depth : {32, 24, 16}) {
    int rate = 0;
    for (const media::DisplayMode& m : modes)
      if (m.width == w && m.height == h && m.depth == depth) rate = std::max(rate, m.hz);
    if (rate > 0) return {true, w, h, depth, rate, ""};
  }
  return open_window_mode(modes, w, h);
}

DisplayChoice choose_display(const std::vector<media::DisplayMode>& modes, const Config& cfg, int w, int h) {
  if (cfg.windowed) return open_window_mode(modes, w, h);
  DisplayChoice c = cfg.hz > 0 ? open_fullscreen_at_rate(modes, w, h, cfg.hz) : open_fullscreen_best(modes, w, h);
  // Wide screens, laptops and Wayland list only their own size, and some drivers give every rate as
  // 0: a window there would leave the child with a decorated window and a desktop around it.
  if (c.ok && c.depth == 0) c.fill_desktop = true;
  // A laptop of 1366x768 lists no mode larger in both directions, yet the picture fits its height
  // exactly: filling it beats refusing to start.
  if (!c.ok)
    for (const media::DisplayMode& m : modes)
      if (m.width >= w && m.height >= h) return {true, m.width, m.height, 0, 60, "", true};
  return c;
}

int load_progress(const std::string& path, int fallback) {
  media::StreamPtr f = media::read_file(path);
  if (!f) return fallback;
  int level = media::parse_whole_number(media::read_line(*f));
  media::close(f);
  // A damaged file must not lock the child out of everything: keep within the nine activities.
  if (level < 1 || level > 9) {
    media::log_error("progress", path + ": level " + std::to_string(level) + " out of range, using " +
                                     std::to_string(std::clamp(level, 1, 9)));
    level = std::clamp(level, 1, 9);
  }
  return level;
}

bool save_progress(const std::string& path, int level) {
  std::string line = std::to_string(level);
  if (media::replace_file_lines(path, &line, 1)) return true;
  media::log_error("progress", path + ": cannot be written");
  return false;
}

}  // namespace app
