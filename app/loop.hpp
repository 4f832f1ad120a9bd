// The event loop: redraw when needed, step the animated activities, then one event at a time
// dispatched by activity number. Each piece is callable on its own so tests can drive the loop
// event by event.
#pragma once
#include "media/events.hpp"

namespace app {

enum class Turn { Continue, Quit };

void redraw();           // the activity (or title screen), help, label, number, pointer, present
void draw_screen();      // the first four of those
void update_activity();  // lets activities 3 and 4 step
Turn handle_event(const media::Event& e);
Turn on_key(int code);
void on_left_click();
void on_right_click();
void on_mouse_move();
void unlock();  // the highest unlocked activity was finished: open the next one

// One full turn of the loop (redraw if needed, update, wait for and handle one event).
Turn turn();
// Saves the progress file at the end of the program.
void save_progress_now();

}  // namespace app
