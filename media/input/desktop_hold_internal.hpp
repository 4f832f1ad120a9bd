// Private to the media layer: the display starts and ends the holds, the event pump takes in the
// desktop's answers.
#pragma once
#include <SDL.h>
#include <wayland-client.h>

#include "media/input/desktop_hold.hpp"

struct SDL_SysWMinfo;

namespace media::detail {

void start_keyboard_hold(SDL_Window* window);  // the window covers the screen and the lock is on
void stop_keyboard_hold();                     // before the window goes, or when the lock goes off
void start_pointer_hold(SDL_Window* window);   // the same, and the parent's page is not shown
void stop_pointer_hold();
void poll_keyboard_hold();                     // after each pump of the window system's events
void poll_pointer_hold();
void set_whole_session(bool alone);            // nothing around the program: nothing to hold it from
bool whole_session();

// One hold's answer as it comes. A desktop that has not answered a while after the question is
// taken to have said no; the first answer that is not "held" is told once on standard error.
struct HoldAnswer {
  const char* what;          // what is held, for that line: "keys", "pointer"
  Hold answer = Hold::Off;
  Uint64 asked_at = 0;       // SDL ticks when the question went out
  bool told = false;
  void ask();                // asked now; the answer is to come
  void set(Hold a, const char* why);
  void time_out();           // still asked after the time an answer may take: refused
  void stop() { answer = Hold::Off; }
};

// The window system under the window, and its handles; false (said as NotOffered) when unknown.
// (Its header is X11's too, whose macros the rest of the media layer keeps away from.)
bool window_system(SDL_Window* window, SDL_SysWMinfo& info, HoldAnswer& answer);

// A queue of our own on the window system's Wayland connection: the window system's dispatching
// never runs our listeners and ours never runs its. Requests made through the wrapper put their
// answers and new objects on the queue.
struct OwnWaylandQueue {
  wl_display* display = nullptr;
  wl_event_queue* queue = nullptr;
  wl_display* wrapper = nullptr;
  wl_registry* registry = nullptr;
  // Opens it and lists the globals: the listener hears of each during the first round trip.
  void open(wl_display* display, const wl_registry_listener* listener, void* data);
  void dispatch();  // runs our listeners for what has come in
  void roundtrip();
  void close();     // after the caller destroyed the objects it made
};

}  // namespace media::detail
