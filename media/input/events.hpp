// Events and input: the window system's input (and the timer's ticks) become typed events in a ring
// of 256, handed out one at a time by wait_event. Every pointer event carries its own place in
// 1024x768 picture coordinates, its button and which pointer made it, so nothing downstream asks a
// global pointer where it is. The one switch from SDL's codes to these enums is in events.cpp.
#pragma once
#include <cstdint>

union SDL_Event;

namespace media {

enum class EventKind : uint8_t {
  None,
  Quit,         // the window was closed or the session ends
  KeyDown,      // a key went down (not a repeat)
  KeyUp,
  KeyRepeat,    // a key held down repeats
  Text,         // one character typed
  PointerDown,  // a button went down, or a finger or pen touched
  PointerUp,
  PointerMove,
  Tick,         // the timer: time has passed
  // The window became active (shown and holding the keyboard focus) or stopped being so: hidden,
  // minimised or left for another window. Posted only when that changes.
  WindowActive,
  WindowInactive,
};

// The keys the program knows. The values are small so that a key can index a table (key_index).
enum class Key : uint8_t {
  None = 0,  // any key the program has no name for
  Backspace = 8, Tab = 9, Return = 13, Escape = 27, Space = 32,
  PageUp = 33, PageDown, End, Home, Left, Up, Right, Down,
  Insert = 45, Delete = 46,
  Digit0 = 48, Digit1, Digit2, Digit3, Digit4, Digit5, Digit6, Digit7, Digit8, Digit9,
  A = 65, B, C, D, E, F, G, H, I, J, K, L, M, N, O, P, Q, R, S, T, U, V, W, X, Y, Z,
  F1 = 112, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
  LeftShift = 160, RightShift, LeftControl, RightControl, LeftAlt, RightAlt,
};
constexpr int kKeyCount = 256;  // key_index is always below this
constexpr int key_index(Key k) { return static_cast<int>(k); }
// The digit keys 0 to 9 (the keypad's too); -1 for any other key.
constexpr int digit_of(Key k) {
  return k >= Key::Digit0 && k <= Key::Digit9 ? key_index(k) - key_index(Key::Digit0) : -1;
}
constexpr Key digit_key(int digit) { return static_cast<Key>(key_index(Key::Digit0) + digit); }
constexpr bool is_control(Key k) { return k == Key::LeftControl || k == Key::RightControl; }

enum class Button : uint8_t { None, Left, Right, Middle, Other };

// What made a pointer event. A finger or pen carries its own number (Event::pointer_id).
enum class PointerKind : uint8_t { Mouse, Touch, Pen };

struct Event {
  EventKind kind = EventKind::None;
  Key key = Key::None;                       // KeyDown, KeyUp, KeyRepeat
  int character = 0;                         // Text: a Unicode code point
  Button button = Button::None;              // PointerDown, PointerUp
  PointerKind pointer = PointerKind::Mouse;  // pointer events
  int pointer_id = 0;                        // which finger or pen; 0 for the mouse
  int x = 0, y = 0;                          // pointer events: where, in picture coordinates
  // When it happened, on millisecs()'s clock: stamped as the window system's input is taken in (or
  // the timer ticks), so a key held while the program was busy is timed as the child held it.
  int time_ms = kUnstamped;
  static constexpr int kUnstamped = -2147483647 - 1;
};
// When an event happened: its stamp, or now for one that was never queued (tests build those).
int event_time(const Event& e);

constexpr int kEventRing = 256;

// Queues an event (thread-safe). When the ring is full the event is dropped and false returned. A
// pointer move right behind another move of the same pointer takes its place.
bool post_event(const Event& e);
// Queues a timer tick unless one is still waiting to be taken (false then, or when the ring is
// full). A tick says only "time has passed": while the program is slower than its timer, stale
// ticks would pile up, fill the ring and crowd out the clicks and keys behind them.
bool post_tick();
// Takes in window input, then blocks until an event is queued and removes the oldest.
Event wait_event();
// Takes in window input, then removes the oldest event if there is one; false when none is queued.
bool poll_event(Event& out);
void flush_events();  // empties the ring (tests)

// True once after the window system asked the program to end (also queued as EventKind::Quit, which
// a full ring could drop). Looks at nothing new: input is taken in by wait_event and poll_event.
bool take_quit_request();

// Warps the pointer to a place in picture coordinates. The loop's to call: only it knows where
// the pointer is meant to be. A no-op without a window, and where the window system forbids it.
void warp_pointer(int x, int y);

// Takes in pending window-system events (at most once a millisecond unless forced).
void pump_input(bool force = false);

// Lets long work on the main thread (a flood fill) stop when Escape is pressed, without running a
// loop of its own: the watch counts Escape presses from its making on, taking in window input when
// asked, at most once a millisecond (and reading the clock only on every 64th question, as it may
// be asked once per pixel). The events taken in stay queued for the loop.
class EscapeWatch {
 public:
  EscapeWatch();
  // True once an Escape press came after the watch was made.
  bool pressed();

 private:
  unsigned seen_;       // Escape presses counted when the watch was made
  unsigned asks_ = 0;   // questions so far
};

// Takes in one window-system event as the pump does: keys, text, the mouse (none that SDL made up
// from a touch), fingers and window changes become queued events, each pointer event mapped once
// through the letterbox into picture coordinates. Tests hand it events they build.
void take_window_event(const SDL_Event& e);

// What a window-system key becomes (Key::None for keys the program does not know).
Key key_from_sdl(int sdl_keycode);

// Feeds one translated window-system event into the queue. Used by the SDL pump and directly by
// tests (no window needed).
void input_key_down(Key key, bool repeat);
void input_key_up(Key key);
void input_text(const char* utf8);
void input_pointer_button(Button button, bool down, int x, int y, PointerKind pointer = PointerKind::Mouse,
                          int pointer_id = 0);
void input_pointer_move(int x, int y, PointerKind pointer = PointerKind::Mouse, int pointer_id = 0);
void input_quit();

// What happened to the window, as far as being active goes.
enum class WindowChange : uint8_t { None, Shown, Hidden, Focused, Unfocused };
// A window-system window event (SDL_WINDOWEVENT_*): minimised counts as hidden, restored and
// maximised as shown; None for the rest.
WindowChange window_change_from_sdl(int sdl_window_event);
// Takes in a change of the window (used by the SDL pump and directly by tests) and posts
// WindowActive or WindowInactive when "shown and focused" changes with it. A new window is taken to
// be shown and focused until told otherwise.
void input_window_change(WindowChange change);
// Whether the window is shown and focused, as the changes taken in so far say.
bool window_active();

}  // namespace media
