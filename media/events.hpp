// Events and input: a ring of 256 events fed by the window system (and by tests), handed out one at
// a time by wait_event; key-down counts per key; the pointer position in 1024x768 coordinates.
#pragma once
#include <cstdint>

namespace media {

enum EventId : int {
  EV_NONE = 0,
  EV_TERMINATE = 259,
  EV_KEY_DOWN = 513,
  EV_KEY_UP = 514,
  EV_KEY_CHAR = 515,
  EV_KEY_REPEAT = 516,
  EV_MOUSE_DOWN = 1025,
  EV_MOUSE_UP = 1026,
  EV_MOUSE_MOVE = 1027,
  EV_TIMER_TICK = 2049,
};

enum KeyCode : int {
  KEY_ESCAPE = 27,
  KEY_0 = 48, KEY_1 = 49, KEY_9 = 57,
  KEY_A = 65, KEY_H = 72, KEY_Q = 81, KEY_S = 83, KEY_V = 86, KEY_Z = 90,
  KEY_F1 = 112,
  KEY_LCONTROL = 162,
  KEY_RCONTROL = 163,
};

struct Event {
  int id = EV_NONE;
  int data = 0;
  int x = 0, y = 0;  // pointer position when the event happened
};

constexpr int kEventRing = 256;

// Queues an event (thread-safe). When the ring is full the event is dropped and false returned. A
// pointer move right behind another queued move takes its place.
bool post_event(const Event& e);
// Queues a timer tick unless one is still waiting to be taken (false then, or when the ring is
// full). A tick says only "time has passed": while the program is slower than its timer, stale
// ticks would pile up, fill the ring and crowd out the clicks and keys behind them.
bool post_tick();
// Blocks until an event is queued, removes the oldest and makes it the current event.
Event wait_event();
// Removes the oldest event if there is one and makes it the current event; false when the queue
// is empty.
bool poll_event(Event& out);
int event_id();
int event_data();
void flush_events();  // empties the ring (tests)

// True once since the last call when termination was asked for.
bool terminate_requested();
// Key-downs of that key since the previous call for it; resets the count.
int key_hit(int code);
// The same as asking key_hit(code) up to `asks` times in a row, stopping at the first non-zero
// answer: returns the number (from 1) of the call that saw a press, 0 when none did, and leaves the
// key counts and the pump's state as those calls would. The calls are taken to be made in one
// instant, so the clock is read at most once; calls that cannot take in new input are skipped.
int key_hit_within(int code, int asks);
void flush_keys();

// The pointer position. While the current event is a mouse event (button or move), the place that
// event happened: a click acts where it was made even when the pointer has moved on since, as
// happens when a busy program takes in a burst of input at once. Otherwise (other events, or after
// move_pointer) the latest position known.
int mouse_x();
int mouse_y();
// Warps the pointer; from then on mouse_x and mouse_y answer (x, y) until the next input moves it.
void move_pointer(int x, int y);

// Takes in pending window-system events (at most once a millisecond unless forced).
void pump_input(bool force = false);

// What a window-system key event becomes: the key code (0 for keys the program does not know).
int key_code_from_sdl(int sdl_keycode);

// Feeds one translated window-system event into the queue and the key and pointer state. Used by
// the SDL pump and directly by tests (no window needed).
void input_key_down(int code, bool repeat);
void input_key_up(int code);
void input_text(const char* utf8);
void input_mouse_button(int button, bool down, int x, int y);
void input_mouse_move(int x, int y);
void input_quit();

}  // namespace media
