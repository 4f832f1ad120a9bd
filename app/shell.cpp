#include "app/shell.hpp"

#include <cstdlib>

#include "app/config.hpp"
#include "app/furniture.hpp"
#include "app/loop.hpp"
#include "app/pictures.hpp"
#include "media/clock.hpp"
#include "media/display.hpp"
#include "media/draw.hpp"
#include "media/files.hpp"
#include "media/log.hpp"

namespace app {
namespace {

// Opens the display chosen from the mode list and the configuration. False when the program must end.
bool open_display(const Config& cfg) {
  Shell& s = shell();
  DisplayChoice c = choose_display(media::graphics_modes(), cfg, s.screen_w, s.screen_h);
  if (!c.ok) {
    media::message_box(c.message, true);
    return false;
  }
  if (media::open_graphics(c.width, c.height, c.depth, c.hz)) return true;
  // A mode that was listed but would not open: fall back to a plain window.
  if (c.depth != 0 && media::open_graphics(s.screen_w, s.screen_h, 0, 60)) return true;
  media::message_box("Pipkin cannot open its screen on this display - sorry!", true);
  return false;
}

void load_resources() {
  Shell& s = shell();
  const std::string& d = s.data_dir;
  s.main_font = media::load_font(d + "fonts/Tahoma.ttf", 20, media::FONT_SMOOTH);
  s.big_font = media::load_font(d + "fonts/Tahoma.ttf", 48, media::FONT_SMOOTH);
  s.probe_image = media::load_image(d + "images/white.bmp", 0);
  s.pointer_image = media::load_image(d + "images/pointer.png", -1);
  s.sky_image = media::load_image(d + "images/sky.jpg", 0);
  s.title_image = media::load_image(d + "images/title.png", -1);
  s.thinking_image = media::load_image(d + "images/thinking.png", -1);
  media::mid_handle(s.thinking_image);
  s.smiley_image = media::load_image(d + "images/smiley.png", -1);
  for (int i = 0; i < 10; ++i) s.help_pages[i] = media::load_image(d + "help/" + std::to_string(i) + ".png", 0);
}

}  // namespace

Shell& shell() {
  static Shell the_shell;
  return the_shell;
}

void reset_shell() {
  shell() = Shell{};
}

int run() {
  if (!media::chdir_to_executable()) media::log_error("start", "cannot find the program's own folder");
  Shell& s = shell();
  media::set_app_title(s.app_title);
  // Seeded from the wall clock: the time since start-up is nearly the same on every run, which would
  // deal the same puzzles and cards every time.
  media::seed_random(media::wall_millisecs());
  Config cfg = read_config(s.config_dir + "config.txt");
  s.windowed = cfg.windowed;
  s.config_hz = cfg.hz;
  if (!open_display(cfg)) return 0;
  media::hide_pointer();
  s.default_blend = media::get_blend();
  media::create_timer(50);
  load_resources();
  start_pictures(s.pictures, s.data_dir + "pics", s.screen_w, s.screen_h);
  s.level = load_progress(s.config_dir + "pipkin.txt", 1);
  s.last_move_ms = media::millisecs();
  // For the start-up benchmark: end right after the first frame is on screen.
  if (std::getenv("PIPKIN_QUIT_AFTER_FIRST_FRAME")) {
    redraw();
    return 0;
  }
  // For the start-up benchmark: end once every picture is loaded, noting when the title and the
  // last picture were ready.
  const bool quit_when_loaded = std::getenv("PIPKIN_QUIT_AFTER_PICTURES") != nullptr;
  if (quit_when_loaded) {
    redraw();
    s.redraw_needed = false;
    note_startup_time("title");
  }
  while (turn() == Turn::Continue) {
    if (quit_when_loaded && !s.pictures.loading()) {
      note_startup_time("pictures");
      break;
    }
  }
  media::stop_timer();
  return 0;
}

}  // namespace app
