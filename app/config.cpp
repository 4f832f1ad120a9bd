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

namespace {

// The smallest screen the picture is shown on, scaled down; below it the cards and pieces are too
// small to play with.
constexpr int kSmallestW = 640, kSmallestH = 480;
// Room left for a window's title bar when a window is fitted into the usable area.
constexpr int kFrameH = 32;

DisplayChoice too_small(int w, int h) {
  DisplayChoice none;
  none.message = "Require " + std::to_string(w) + "x" + std::to_string(h) + " screen - sorry!";
  return none;
}

// The screen's size as the desktop reports it, or else the largest listed mode.
void screen_size(const std::vector<media::DisplayMode>& modes, const media::ScreenArea& screen, int& sw, int& sh) {
  sw = screen.width, sh = screen.height;
  if (sw > 0 && sh > 0) return;
  for (const media::DisplayMode& m : modes) sw = std::max(sw, m.width), sh = std::max(sh, m.height);
}

}  // namespace

DisplayChoice fitted_window(const media::ScreenArea& screen, int w, int h) {
  const int aw = std::min(screen.usable_width > 0 ? screen.usable_width : screen.width, w);
  const int ah = std::min((screen.usable_height > 0 ? screen.usable_height : screen.height) - kFrameH, h);
  DisplayChoice c{true, aw, aw * h / w, 0, 60, ""};
  if (c.height > ah) c.width = ah * w / h, c.height = ah;
  if (c.width < 1 || c.height < 1) return too_small(w, h);
  return c;
}

DisplayChoice choose_display(const std::vector<media::DisplayMode>& modes, const Config& cfg, int w, int h,
                             const media::ScreenArea& screen) {
  int sw = 0, sh = 0;
  screen_size(modes, screen, sw, sh);
  const bool big_enough = sw >= kSmallestW && sh >= kSmallestH;
  // A screen scaled by the desktop (150 % on a laptop) lists its pixels, yet lays windows out in
  // its own smaller units: what fits is decided by those.
  const bool smaller_than_picture = screen.width > 0 && (screen.width < w || screen.height < h);
  if (cfg.windowed) {
    if (!smaller_than_picture) {
      DisplayChoice c = open_window_mode(modes, w, h);
      if (c.ok && (screen.width <= 0 || (c.width <= screen.width && c.height <= screen.height))) return c;
    }
    if (!big_enough) return too_small(w, h);
    media::ScreenArea area = screen;
    if (area.width <= 0) area.width = area.usable_width = sw, area.height = area.usable_height = sh;
    return fitted_window(area, w, h);
  }
  DisplayChoice c = cfg.hz > 0 ? open_fullscreen_at_rate(modes, w, h, cfg.hz) : open_fullscreen_best(modes, w, h);
  // Wide screens, laptops and Wayland list only their own size, and some drivers give every rate as
  // 0: a window there would leave the child with a decorated window and a desktop around it.
  if (c.ok && (c.depth == 0 || smaller_than_picture)) {
    c.fill_desktop = true;
    if (smaller_than_picture) c.width = sw, c.height = sh, c.depth = 0;
  }
  if (c.ok) return c;
  // No mode at the picture's size or larger (a 1366x768 laptop, a 1280x720 scaled screen, an old
  // 800x600 monitor): the whole screen, the picture scaled to fit it.
  if (big_enough) return {true, sw, sh, 0, 60, "", true};
  return too_small(w, h);
}

int load_progress(const std::string& path, int fallback, int activities) {
  media::StreamPtr f = media::read_file(path);
  if (!f) return fallback;
  int level = media::parse_whole_number(media::read_line(*f));
  media::close(f);
  // A damaged file must not lock the child out of everything: keep within the activities there are.
  const int highest = std::max(activities, 1);
  if (level < 1 || level > highest) {
    media::log_error("progress", path + ": level " + std::to_string(level) + " out of range, using " +
                                     std::to_string(std::clamp(level, 1, highest)));
    level = std::clamp(level, 1, highest);
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
