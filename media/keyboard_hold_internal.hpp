// Private to the media layer: the display starts and ends the keyboard hold, the event pump takes
// in the desktop's answer.
#pragma once
#include <SDL.h>

namespace media::detail {

void start_keyboard_hold(SDL_Window* window);  // the window covers the screen and the lock is on
void stop_keyboard_hold();                     // before the window goes, or when the lock goes off
void poll_keyboard_hold();                     // after each pump of the window system's events
void set_whole_session(bool alone);            // nothing around the program: no shortcuts to hold

}  // namespace media::detail
