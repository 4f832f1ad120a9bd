// Start-up configuration: "config.txt" (full screen or window, refresh rate, child lock, sound at the
// start, play-time limit), read whole and changed one setting at a time; and the choice of display
// mode. The progress file is app/shell/progress.hpp's.
#pragma once
#include <string>
#include <vector>

#include "media/display/display.hpp"

namespace app {

struct Config {
  bool windowed = false;
  int hz = 0;
  bool child_lock = false;  // keys work only with Control held; the keyboard is kept from the desktop
  bool sound_at_start = true;
  int play_limit_minutes = 0;  // 0: no limit
  std::string language = "";   // chosen on the parent's page ("de", "pt_BR"); empty: none chosen
};

// The longest play-time limit the file may set: ten hours.
constexpr int kMaxPlayLimitMinutes = 600;

// Reads the configuration file, one setting a line:
//   1: "0" for full screen, anything else (an empty line too) a window;
//   2: the refresh rate in hertz, "0" or missing for the best;
//   3: "1" for the child lock;
//   4: "0" to start with sound off, anything else or missing on;
//   5: the play-time limit in whole minutes (0 to kMaxPlayLimitMinutes), "0" or missing for none;
//   6: the language chosen on the parent's page, a code such as "de" or "pt_BR"; empty, missing or
//      not a code (letters and '_', at most 15): none.
// Carriage returns are ignored and lines past the sixth are not read. A missing (or unreadable)
// file gives full screen at the best rate, no lock, sound on and no limit.
Config read_config(const std::string& path);

// The lines of the configuration file, numbered as above.
enum class ConfigLine { Screen = 1, Rate, ChildLock, SoundAtStart, PlayLimit, Language };

// The outcome of saving a setting: ok, or why not in a few words for a parent ("the disk is full").
struct ConfigWrite {
  bool ok = false;
  std::string problem;
  explicit operator bool() const { return ok; }
};

// Why a file could not be written, in a few plain words for a parent ("the disk is full"), from
// errno's value.
std::string plain_write_problem(int error_number);

// Puts `value` as the given line of the configuration file and changes nothing else: the other lines
// (those past the sixth too) and their line ends stay byte for byte. Lines missing before it are
// filled with text that reads as their absence did; the new line ends as the file's first line
// does (CR LF or LF; LF in a new file). The folder (and its parents) is made when missing. The file
// is replaced whole, through a flushed temporary file beside it, so a failure leaves it as it was.
ConfigWrite write_config_line(const std::string& path, ConfigLine line, const std::string& value);

// The text that stores cfg's value of a line ("0"/"1", or a number).
std::string config_line_text(const Config& cfg, ConfigLine line);
// write_config_line with cfg's value of that line: the parent's page changes one setting and saves it.
ConfigWrite save_setting(const std::string& path, const Config& cfg, ConfigLine line);

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

}  // namespace app
