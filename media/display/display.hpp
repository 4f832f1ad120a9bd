// The display: the list of screen modes, opening a window or a full screen, the message box and the
// system pointer. Whatever is opened, the program draws into a fixed 1024x768 logical screen.
#pragma once
#include <string>
#include <vector>

#include "media/input/screen.hpp"

namespace media {

struct DisplayMode {
  int width = 0;
  int height = 0;
  int depth = 24;
  int hz = 0;
};

// The monitor's size in the desktop's own units (a screen scaled to 150 % reports its pixels divided
// by 1.5), and the part of it left to windows by panels and docks. 0 when unknown.
struct ScreenArea {
  int width = 0, height = 0;
  int usable_width = 0, usable_height = 0;
};

void set_app_title(const std::string& title);  // the window title; set before the display opens
const std::string& app_title();

// Asking for the modes or the screen area starts the video system if it is not running yet. Everything
// opens on the monitor that holds the pointer when video starts; the mode list is that monitor's.
std::vector<DisplayMode> graphics_modes();
// depth 0 opens a window of width x height; any other depth covers the screen in that mode.
// Returns false on failure (reported on stderr).
bool open_graphics(int width, int height, int depth, int hz);
// A borderless full screen at the monitor's own size, without a mode switch; the 1024x768 screen is
// scaled to fit (smoothly unless exact), centred between black bars. False on failure.
bool open_desktop_fullscreen();
// The display as opened: for a desktop full screen the monitor's size and rate (0 when the system
// does not know it). depth reads 24 for every display.
DisplayMode display_settings();
ScreenArea screen_area();
// The open display switched while it runs, without a new window or context: a full screen is the
// monitor as it is (no mode switch); a window is window_w x window_h, resizable, centred. False when
// nothing is open or the window system refuses (reported on stderr; the display stays as it was).
bool set_fullscreen(bool on, int window_w, int window_h);
// The display covers the whole screen (a full screen, not a window).
bool covers_screen();
// While on and the display covers the screen, keys go to the program only, not to the window
// system's shortcuts, and the pointer stays on the program's screen, as far as the desktop agrees
// (media/input/desktop_hold.hpp tells). A window holds neither.
// alone: the program is the whole session (a kiosk compositor runs nothing else and has no
// shortcuts), so a desktop that cannot hold its shortcuts holds the keys all the same.
void hold_keyboard(bool on, bool alone = false);
// While free, the pointer is not held even where hold_keyboard would hold it (the parent's page).
void free_pointer(bool free);
// Asks the desktop to show the window in front of the others, restored if it was minimised; a
// desktop may only mark it as wanting attention.
void bring_to_front();
void close_graphics();

// Shows a modal notice (and prints it to stderr). serious selects the error style.
void message_box(const std::string& text, bool serious);

void hide_pointer();

}  // namespace media
