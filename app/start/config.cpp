#include "app/start/config.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "media/decode/decode.hpp"
#include "media/files/files.hpp"
#include "media/files/log.hpp"
#include "media/text/words.hpp"

namespace app {

namespace {

// Enough for any configuration file a person writes; a larger one is not taken for one.
constexpr size_t kMaxConfigBytes = size_t{1} << 20;

// One line of the file as it is: its bytes, and what ended it ("\n", "\r\n", or "" at the end of
// the file). A zero byte ends a line too, as media::read_line has it.
struct RawLine {
  std::string body, end;
};

std::vector<RawLine> split_lines(const std::string& bytes) {
  std::vector<RawLine> lines;
  size_t start = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\n' && bytes[i] != '\0') continue;
    size_t body_end = i;
    if (bytes[i] == '\n' && body_end > start && bytes[body_end - 1] == '\r') --body_end;
    lines.push_back({bytes.substr(start, body_end - start), bytes.substr(body_end, i + 1 - body_end)});
    start = i + 1;
  }
  if (start < bytes.size()) lines.push_back({bytes.substr(start), ""});
  return lines;
}

// What a line says: its bytes without carriage returns; "" for a line the file does not have.
std::string line_value(const std::vector<RawLine>& lines, ConfigLine line) {
  const size_t i = static_cast<size_t>(line) - 1;
  if (i >= lines.size()) return "";
  std::string v = lines[i].body;
  v.erase(std::remove(v.begin(), v.end(), '\r'), v.end());
  return v;
}

// The file's lines; false when it cannot be read (error says why; missing says it is not there).
bool read_config_lines(const std::string& path, std::vector<RawLine>& lines, bool& missing, std::string& error) {
  struct stat st {};
  // Not there, or a file stands where a folder of its path should be: nothing to read either way.
  missing = ::stat(path.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR);
  std::string bytes;
  if (missing || !media::read_whole_file(path, bytes, error, kMaxConfigBytes)) return false;
  lines = split_lines(bytes);
  return true;
}

// The text standing for a line the file does not have, reading as its absence did. Only a missing
// file means full screen; a file without a first line gives a window.
std::string absent_line_text(ConfigLine line, bool new_file) {
  switch (line) {
    case ConfigLine::Screen: return new_file ? "0" : "1";
    case ConfigLine::SoundAtStart: return "1";
    default: return "0";
  }
}

ConfigWrite refused(std::string problem) { return {false, std::move(problem)}; }

}  // namespace

Config read_config(const std::string& path) {
  Config cfg;
  std::vector<RawLine> lines;
  bool missing = false;
  std::string error;
  if (!read_config_lines(path, lines, missing, error)) return cfg;
  cfg.windowed = line_value(lines, ConfigLine::Screen) != "0";
  const std::string rate = line_value(lines, ConfigLine::Rate);
  if (rate != "0") cfg.hz = media::parse_whole_number(rate);
  cfg.child_lock = line_value(lines, ConfigLine::ChildLock) == "1";
  cfg.sound_at_start = line_value(lines, ConfigLine::SoundAtStart) != "0";
  cfg.play_limit_minutes =
      std::clamp(media::parse_whole_number(line_value(lines, ConfigLine::PlayLimit)), 0, kMaxPlayLimitMinutes);
  const std::string language = line_value(lines, ConfigLine::Language);
  const bool code = language.size() <= 15 && std::all_of(language.begin(), language.end(), [](char c) {
                      return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
                    });
  if (code) cfg.language = language;
  return cfg;
}

std::string plain_write_problem(int error_number) {
  switch (error_number) {
    case ENOSPC:
    case EDQUOT: return media::word("files.disk_full");
    case EROFS: return media::word("files.read_only");
    case EACCES:
    case EPERM: return media::word("files.not_writable");
    case ENOENT: return media::word("files.folder_missing");
    case EISDIR: return media::word("files.folder_in_the_way");
    case ENOTDIR:
    case EEXIST: return media::word("files.file_in_the_way");
    case ENAMETOOLONG: return media::word("files.name_too_long");
    case EIO: return media::word("files.disk_error");
    default: return media::fill(media::word("files.cannot_write"), {{"why", std::strerror(error_number)}});
  }
}

ConfigWrite write_config_line(const std::string& path, ConfigLine line, const std::string& value) {
  if (line < ConfigLine::Screen || line > ConfigLine::Language) return refused(media::word("config.no_such_setting"));
  if (value.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) return refused(media::word("config.not_one_line"));
  std::vector<RawLine> lines;
  bool missing = false;
  std::string error;
  if (!read_config_lines(path, lines, missing, error) && !missing) {
    media::log_error("config", path + ": cannot be read (" + error + "); not changed");
    return refused(media::word("config.cannot_read"));
  }
  if (missing) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code ec;
    if (!folder.empty()) std::filesystem::create_directories(folder, ec);
    if (ec) {
      media::log_error("config", folder.string() + ": cannot be made (" + ec.message() + ")");
      return refused(plain_write_problem(ec.value()));
    }
  }
  const std::string newline = !lines.empty() && lines[0].end == "\r\n" ? "\r\n" : "\n";
  const size_t index = static_cast<size_t>(line) - 1;
  while (lines.size() <= index) {
    // The last line so far gets its end, so that the lines after it stay lines of their own.
    if (!lines.empty() && lines.back().end.empty()) lines.back().end = newline;
    lines.push_back({absent_line_text(static_cast<ConfigLine>(lines.size() + 1), missing), newline});
  }
  lines[index] = {value, newline};
  std::string bytes;
  for (const RawLine& l : lines) bytes += l.body + l.end;
  int error_number = 0;
  if (!media::replace_file(path, bytes, &error_number)) return refused(plain_write_problem(error_number));
  return {true, ""};
}

std::string config_line_text(const Config& cfg, ConfigLine line) {
  switch (line) {
    case ConfigLine::Screen: return cfg.windowed ? "1" : "0";
    case ConfigLine::Rate: return std::to_string(std::max(cfg.hz, 0));
    case ConfigLine::ChildLock: return cfg.child_lock ? "1" : "0";
    case ConfigLine::SoundAtStart: return cfg.sound_at_start ? "1" : "0";
    case ConfigLine::PlayLimit: return std::to_string(std::clamp(cfg.play_limit_minutes, 0, kMaxPlayLimitMinutes));
    case ConfigLine::Language: return cfg.language;
  }
  return "";
}

ConfigWrite save_setting(const std::string& path, const Config& cfg, ConfigLine line) {
  return write_config_line(path, line, config_line_text(cfg, line));
}

namespace {

// The message when no mode is large enough for a w by h picture.
std::string screen_too_small(int w, int h) {
  return media::fill(media::word("display.require"), {{"width", std::to_string(w)}, {"height", std::to_string(h)}});
}

}  // namespace

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
  none.message = screen_too_small(w, h);
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
  none.message = screen_too_small(w, h);
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

}  // namespace app
