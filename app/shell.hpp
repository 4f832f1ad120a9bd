// The shell's state and resources, shared with the activities, and its entry point.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "app/activity.hpp"
#include "app/picture_store.hpp"
#include "media/font.hpp"
#include "media/image.hpp"

namespace app {

struct Shell {
  // Start-up values.
  std::string app_title = "Pipkin";
  std::string app_version = "2.1";
  int screen_w = 1024, screen_h = 768;
  std::string config_dir = "data/";
  std::string data_dir = "data/";
  bool windowed = false;
  int config_hz = 0;
  int default_blend = 1;

  // Shared resources, loaded once at start-up.
  media::FontPtr main_font, big_font;
  media::ImagePtr probe_image, pointer_image, sky_image, title_image, thinking_image, smiley_image;
  std::array<media::ImagePtr, 10> help_pages;
  PictureStore pictures;  // loads in the background; the list grows at its end in folder order

  // Loop state.
  int activity = 0;
  int level = 1;
  bool help_shown = false;
  bool info_shown = false;
  bool sound_on = true;
  bool redraw_needed = true;
  bool ctrl_down = false;
  bool restart_requested = false;
  int last_move_ms = 0;
  int waiting_for_pictures = 0;  // a digit pressed before its pictures were in; chosen once they are
  std::array<ActivityPtr, 10> activity_slots;  // index 1..9
};

Shell& shell();
void reset_shell();  // a fresh state (tests)

// Runs the whole program: start-up, then the loop until the end. Returns the exit status.
int run();

}  // namespace app
