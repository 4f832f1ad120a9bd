#include "media/input/events.hpp"

#include <SDL.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "media/input/clock.hpp"
#include "media/input/desktop_hold_internal.hpp"
#include "media/input/window_view.hpp"

namespace media {
namespace {

// The ring, shared by every thread that posts events and the main thread that takes them.
struct Queue {
  std::mutex m;
  std::condition_variable cv;           // signalled for each event posted
  std::array<Event, kEventRing> ring;
  int head = 0, count = 0;              // the oldest event, and how many are queued
  bool tick_waiting = false;            // a timer tick is in the ring, not yet taken
  // True while the main thread sleeps in SDL's wait for window events. Another thread that posts an
  // event then puts a wake-up into SDL's queue too, so the main thread sleeps until something
  // happens instead of looking every few milliseconds.
  std::atomic<bool> sleeping_in_sdl{false};
};

Queue& queue() {
  static Queue q;
  return q;
}

// The main thread's side of input: what the pump has seen that is not an event in the ring.
struct Input {
  bool quit_requested = false;     // the window system asked to end; taken by take_quit_request
  unsigned escape_presses = 0;     // Escape key-downs seen so far, for EscapeWatch
  std::chrono::steady_clock::time_point last_pump;  // when the window system was last looked at
  bool window_shown = true;        // not hidden or minimised
  bool window_focused = true;      // holds the keyboard focus
};
Input input;

// Takes the oldest queued event.
bool pop(Event& out) {
  Queue& q = queue();
  std::lock_guard<std::mutex> lock(q.m);
  if (q.count == 0) return false;
  out = q.ring[q.head];
  q.head = (q.head + 1) % kEventRing;
  --q.count;
  if (out.kind == EventKind::Tick) q.tick_waiting = false;
  return true;
}

// One Unicode code point per character of a UTF-8 string; malformed bytes stand for themselves.
template <class F>
void each_code_point(const char* s, F f) {
  auto u = reinterpret_cast<const unsigned char*>(s);
  while (*u) {
    unsigned c = *u;
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    unsigned cp = extra == 3 ? c & 0x07 : extra == 2 ? c & 0x0F : extra == 1 ? c & 0x1F : c;
    int i = 1;
    for (; i <= extra && (u[i] & 0xC0) == 0x80; ++i) cp = (cp << 6) | (u[i] & 0x3F);
    if (i <= extra) cp = c, i = 1;  // broken sequence: take the byte alone
    f(static_cast<int>(cp));
    u += i;
  }
}

Button button_from_sdl(int b) {
  switch (b) {
    case SDL_BUTTON_LEFT: return Button::Left;
    case SDL_BUTTON_RIGHT: return Button::Right;
    case SDL_BUTTON_MIDDLE: return Button::Middle;
    default: return Button::Other;
  }
}

// The simulated-touch mode: with SDL's hint to make touches of the mouse on (the environment's
// SDL_MOUSE_TOUCH_EVENTS=1), the left button held and dragged arrives as a finger of its own
// touch device (SDL_MOUSE_TOUCHID), and the mouse's own events arrive as well. In that mode alone
// the mouse is taken as absent and those touches as a finger, so a test on a display without a
// touch screen plays with a finger; otherwise touches made of the mouse are dropped.
bool simulated_touch() { return SDL_GetHintBoolean(SDL_HINT_MOUSE_TOUCH_EVENTS, SDL_FALSE) == SDL_TRUE; }

// A mouse event SDL made up from a touch: the finger reaches the program as itself.
bool made_from_touch(Uint32 which) { return which == SDL_TOUCH_MOUSEID; }

// A finger of a touch screen: SDL gives its place as a share of the window's width and height.
// A finger that comes down on a black bar of the letterbox is not taken: there is nothing there to
// touch (its moves and lift still come, and the loop, having seen no touch, ignores them). One that
// came down on the picture and slides onto a bar is held at the picture's edge, as the mouse is.
// SDL2 reports a finger's pressure but not its size, so a palm is told by counting fingers
// (app/shell/touch.hpp), not by the size of a touch.
void take_finger(const SDL_TouchFingerEvent& f, Uint32 type) {
  if (f.touchId == SDL_MOUSE_TOUCHID && !simulated_touch()) return;
  int w = 0, h = 0, lx = 0, ly = 0;
  detail::window_size(w, h);
  const bool on_picture = detail::window_to_logical(static_cast<int>(f.x * static_cast<float>(w)),
                                                    static_cast<int>(f.y * static_cast<float>(h)), lx, ly);
  const int id = static_cast<int>(f.fingerId);
  if (type == SDL_FINGERMOTION)
    input_pointer_move(lx, ly, PointerKind::Touch, id);
  else if (type == SDL_FINGERUP || on_picture)
    input_pointer_button(Button::Left, type == SDL_FINGERDOWN, lx, ly, PointerKind::Touch, id);
}

}  // namespace

void take_window_event(const SDL_Event& e) {
  int lx = 0, ly = 0;
  switch (e.type) {
    case SDL_QUIT: input_quit(); break;
    case SDL_KEYDOWN: input_key_down(key_from_sdl(e.key.keysym.sym), e.key.repeat != 0); break;
    case SDL_KEYUP: input_key_up(key_from_sdl(e.key.keysym.sym)); break;
    case SDL_TEXTINPUT: input_text(e.text.text); break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (made_from_touch(e.button.which) || simulated_touch()) break;
      detail::window_to_logical(e.button.x, e.button.y, lx, ly);
      input_pointer_button(button_from_sdl(e.button.button), e.type == SDL_MOUSEBUTTONDOWN, lx, ly);
      break;
    case SDL_MOUSEMOTION:
      if (made_from_touch(e.motion.which) || simulated_touch()) break;
      detail::window_to_logical(e.motion.x, e.motion.y, lx, ly);
      input_pointer_move(lx, ly);
      break;
    case SDL_FINGERDOWN:
    case SDL_FINGERUP:
    case SDL_FINGERMOTION: take_finger(e.tfinger, e.type); break;
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) detail::window_resized();
      else if (e.window.event == SDL_WINDOWEVENT_EXPOSED) detail::reshow_front();
      else input_window_change(window_change_from_sdl(e.window.event));
      break;
    default: break;
  }
}

namespace {

// Takes in the window system's events when a millisecond has passed since the last look.
void pump_if_due(std::chrono::steady_clock::time_point now, bool force) {
  if (!force && now - input.last_pump < std::chrono::milliseconds(1)) return;
  input.last_pump = now;
  SDL_Event e;
  while (SDL_PollEvent(&e)) take_window_event(e);
  detail::poll_keyboard_hold();
  detail::poll_pointer_hold();
}

void wake_sdl_waiter() {
  static const Uint32 wake_type = SDL_RegisterEvents(1);
  if (wake_type == static_cast<Uint32>(-1)) return;
  SDL_Event wake{};
  wake.type = wake_type;
  SDL_PushEvent(&wake);  // taken in by the next pump and ignored there
}

// Puts e at the end of the ring; false when the ring is full, or when e is a tick and `one_tick`
// and another tick still waits.
bool push(const Event& e, bool one_tick) {
  Queue& q = queue();
  {
    std::lock_guard<std::mutex> lock(q.m);
    if (one_tick && q.tick_waiting) return false;
    // A move right behind another queued move replaces it: only the newest place of a run of moves
    // matters (the loop takes at most one move per few milliseconds anyway), and a program that
    // catches up after a pause would otherwise fill the ring with moves and lose the clicks after.
    if (e.kind == EventKind::PointerMove && q.count > 0) {
      Event& last = q.ring[(q.head + q.count - 1) % kEventRing];
      if (last.kind == EventKind::PointerMove && last.pointer == e.pointer && last.pointer_id == e.pointer_id) {
        last = e;
        return true;
      }
    }
    if (q.count == kEventRing) return false;
    q.ring[(q.head + q.count) % kEventRing] = e;
    ++q.count;
    if (e.kind == EventKind::Tick) q.tick_waiting = true;
  }
  q.cv.notify_one();
  if (q.sleeping_in_sdl.exchange(false)) wake_sdl_waiter();
  return true;
}

}  // namespace

// Stamped as it is queued: the pump queues window input as soon as SDL has it, and the timer its
// tick as it fires.
bool post_event(const Event& e) {
  Event stamped = e;
  if (stamped.time_ms == Event::kUnstamped) stamped.time_ms = millisecs();
  return push(stamped, false);
}

bool post_tick() { return push(Event{.kind = EventKind::Tick, .time_ms = millisecs()}, true); }

int event_time(const Event& e) { return e.time_ms != Event::kUnstamped ? e.time_ms : millisecs(); }

bool poll_event(Event& out) {
  pump_input(true);
  return pop(out);
}

Event wait_event() {
  Queue& q = queue();
  for (;;) {
    pump_input(true);
    Event e;
    if (pop(e)) return e;
    if (detail::video_active()) {
      // Window events arrive in SDL's queue, ticks in ours. Say that we sleep, then look at ours once
      // more: an event posted before this point is seen here, one posted after it wakes SDL's wait.
      // The timeout is only a safety net.
      q.sleeping_in_sdl = true;
      if (pop(e)) {
        q.sleeping_in_sdl = false;
        return e;
      }
      SDL_WaitEventTimeout(nullptr, 250);
      q.sleeping_in_sdl = false;
    } else {
      std::unique_lock<std::mutex> lock(q.m);
      q.cv.wait_for(lock, std::chrono::milliseconds(20), [&] { return q.count > 0; });
    }
  }
}

void flush_events() {
  Queue& q = queue();
  std::lock_guard<std::mutex> lock(q.m);
  q.head = q.count = 0;
  q.tick_waiting = false;
}

bool take_quit_request() {
  const bool asked = input.quit_requested;
  input.quit_requested = false;
  return asked;
}

void warp_pointer(int x, int y) {
  if (!detail::video_active()) return;
  int wx = 0, wy = 0;
  detail::logical_to_window(x, y, wx, wy);
  detail::warp_pointer(wx, wy);
  // The warp's own motion event must not move the pointer back to a stale place.
  SDL_PumpEvents();
  SDL_FlushEvent(SDL_MOUSEMOTION);
}

void pump_input(bool force) {
  if (!detail::video_active()) return;
  pump_if_due(std::chrono::steady_clock::now(), force);
}

EscapeWatch::EscapeWatch() : seen_(input.escape_presses) {}

bool EscapeWatch::pressed() {
  if (detail::video_active() && (++asks_ & 63) == 0) pump_if_due(std::chrono::steady_clock::now(), false);
  return input.escape_presses != seen_;
}

Key key_from_sdl(int k) {
  if (k >= SDLK_a && k <= SDLK_z) return static_cast<Key>(key_index(Key::A) + (k - SDLK_a));
  if (k >= SDLK_0 && k <= SDLK_9) return digit_key(k - SDLK_0);
  if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return digit_key(1 + (k - SDLK_KP_1));
  if (k >= SDLK_F1 && k <= SDLK_F12) return static_cast<Key>(key_index(Key::F1) + (k - SDLK_F1));
  switch (k) {
    case SDLK_KP_0: return Key::Digit0;
    case SDLK_ESCAPE: return Key::Escape;
    case SDLK_BACKSPACE: return Key::Backspace;
    case SDLK_TAB: return Key::Tab;
    case SDLK_RETURN: case SDLK_KP_ENTER: return Key::Return;
    case SDLK_SPACE: return Key::Space;
    case SDLK_PAGEUP: return Key::PageUp;
    case SDLK_PAGEDOWN: return Key::PageDown;
    case SDLK_END: return Key::End;
    case SDLK_HOME: return Key::Home;
    case SDLK_LEFT: return Key::Left;
    case SDLK_UP: return Key::Up;
    case SDLK_RIGHT: return Key::Right;
    case SDLK_DOWN: return Key::Down;
    case SDLK_INSERT: return Key::Insert;
    case SDLK_DELETE: return Key::Delete;
    case SDLK_LSHIFT: return Key::LeftShift;
    case SDLK_RSHIFT: return Key::RightShift;
    case SDLK_LCTRL: return Key::LeftControl;
    case SDLK_RCTRL: return Key::RightControl;
    case SDLK_LALT: return Key::LeftAlt;
    case SDLK_RALT: return Key::RightAlt;
    default: return Key::None;
  }
}

void input_key_down(Key key, bool repeat) {
  if (!repeat && key == Key::Escape) ++input.escape_presses;
  post_event(Event{.kind = repeat ? EventKind::KeyRepeat : EventKind::KeyDown, .key = key});
}

void input_key_up(Key key) { post_event(Event{.kind = EventKind::KeyUp, .key = key}); }

void input_text(const char* utf8) {
  each_code_point(utf8, [](int cp) { post_event(Event{.kind = EventKind::Text, .character = cp}); });
}

void input_pointer_button(Button button, bool down, int x, int y, PointerKind pointer, int pointer_id) {
  post_event(Event{.kind = down ? EventKind::PointerDown : EventKind::PointerUp,
                   .button = button,
                   .pointer = pointer,
                   .pointer_id = pointer_id,
                   .x = x,
                   .y = y});
}

void input_pointer_move(int x, int y, PointerKind pointer, int pointer_id) {
  post_event(Event{.kind = EventKind::PointerMove, .pointer = pointer, .pointer_id = pointer_id, .x = x, .y = y});
}

void input_quit() {
  input.quit_requested = true;
  post_event(Event{.kind = EventKind::Quit});
}

WindowChange window_change_from_sdl(int sdl_window_event) {
  switch (sdl_window_event) {
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED: return WindowChange::Shown;
    case SDL_WINDOWEVENT_HIDDEN:
    case SDL_WINDOWEVENT_MINIMIZED: return WindowChange::Hidden;
    case SDL_WINDOWEVENT_FOCUS_GAINED: return WindowChange::Focused;
    case SDL_WINDOWEVENT_FOCUS_LOST: return WindowChange::Unfocused;
    default: return WindowChange::None;
  }
}

void input_window_change(WindowChange change) {
  const bool was_active = window_active();
  switch (change) {
    case WindowChange::Shown: input.window_shown = true; break;
    case WindowChange::Hidden: input.window_shown = false; break;
    case WindowChange::Focused: input.window_focused = true; break;
    case WindowChange::Unfocused: input.window_focused = false; break;
    case WindowChange::None: return;
  }
  if (window_active() != was_active)
    post_event(Event{.kind = window_active() ? EventKind::WindowActive : EventKind::WindowInactive});
}

bool window_active() { return input.window_shown && input.window_focused; }

}  // namespace media
