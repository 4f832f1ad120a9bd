#include "media/events.hpp"

#include <SDL.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "media/keyboard_hold_internal.hpp"
#include "media/window_internal.hpp"

namespace media {
namespace {

struct Queue {
  std::mutex m;
  std::condition_variable cv;
  std::array<Event, kEventRing> ring;
  int head = 0, count = 0;
  bool tick_waiting = false;  // a timer tick is in the ring, not yet taken
};

Queue& queue() {
  static Queue q;
  return q;
}

Event current;
// True while the current event is a mouse event whose own place the pointer answers.
bool pointer_at_current_event = false;
bool terminate_flag = false;
std::array<int, 256> key_counts{};
int pointer_x = 0, pointer_y = 0;
std::chrono::steady_clock::time_point last_pump;
unsigned pump_calls = 0;  // unforced pump_input calls so far

bool is_mouse_event(int id) { return id == EV_MOUSE_DOWN || id == EV_MOUSE_UP || id == EV_MOUSE_MOVE; }

void make_current(const Event& e) {
  current = e;
  pointer_at_current_event = is_mouse_event(e.id);
}

int pointer_now_x() { return pointer_at_current_event ? current.x : pointer_x; }
int pointer_now_y() { return pointer_at_current_event ? current.y : pointer_y; }

// Takes the oldest queued event and makes it the current one.
bool pop(Event& out) {
  Queue& q = queue();
  std::lock_guard<std::mutex> lock(q.m);
  if (q.count == 0) return false;
  out = q.ring[q.head];
  q.head = (q.head + 1) % kEventRing;
  --q.count;
  if (out.id == EV_TIMER_TICK) q.tick_waiting = false;
  make_current(out);
  return true;
}

void queue_input(int id, int data) { post_event(Event{id, data, pointer_x, pointer_y}); }

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

int sdl_button(int b) {
  switch (b) {
    case SDL_BUTTON_LEFT: return 1;
    case SDL_BUTTON_RIGHT: return 2;
    case SDL_BUTTON_MIDDLE: return 3;
    default: return b;
  }
}

void translate(const SDL_Event& e) {
  int lx = 0, ly = 0;
  switch (e.type) {
    case SDL_QUIT: input_quit(); break;
    case SDL_KEYDOWN: input_key_down(key_code_from_sdl(e.key.keysym.sym), e.key.repeat != 0); break;
    case SDL_KEYUP: input_key_up(key_code_from_sdl(e.key.keysym.sym)); break;
    case SDL_TEXTINPUT: input_text(e.text.text); break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      detail::window_to_logical(e.button.x, e.button.y, lx, ly);
      input_mouse_button(sdl_button(e.button.button), e.type == SDL_MOUSEBUTTONDOWN, lx, ly);
      break;
    case SDL_MOUSEMOTION:
      detail::window_to_logical(e.motion.x, e.motion.y, lx, ly);
      input_mouse_move(lx, ly);
      break;
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) detail::window_resized();
      else if (e.window.event == SDL_WINDOWEVENT_EXPOSED) detail::reshow_front();
      break;
    default: break;
  }
}

// Takes in the window system's events when a millisecond has passed since the last look.
void pump_if_due(std::chrono::steady_clock::time_point now, bool force) {
  if (!force && now - last_pump < std::chrono::milliseconds(1)) return;
  last_pump = now;
  SDL_Event e;
  while (SDL_PollEvent(&e)) translate(e);
  detail::poll_keyboard_hold();
}

int take_count(int code) {
  if (code < 0 || code >= static_cast<int>(key_counts.size())) return 0;
  int n = key_counts[code];
  key_counts[code] = 0;
  return n;
}

}  // namespace

namespace {

// True while the main thread sleeps in SDL's wait for window events. Another thread that posts an
// event then puts a wake-up into SDL's queue too, so the main thread sleeps until something happens
// instead of looking every few milliseconds.
std::atomic<bool> sleeping_in_sdl{false};

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
    if (e.id == EV_MOUSE_MOVE && q.count > 0) {
      Event& last = q.ring[(q.head + q.count - 1) % kEventRing];
      if (last.id == EV_MOUSE_MOVE) {
        last = e;
        return true;
      }
    }
    if (q.count == kEventRing) return false;
    q.ring[(q.head + q.count) % kEventRing] = e;
    ++q.count;
    if (e.id == EV_TIMER_TICK) q.tick_waiting = true;
  }
  q.cv.notify_one();
  if (sleeping_in_sdl.exchange(false)) wake_sdl_waiter();
  return true;
}

}  // namespace

bool post_event(const Event& e) { return push(e, false); }

bool post_tick() { return push(Event{EV_TIMER_TICK, 0}, true); }

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
      sleeping_in_sdl = true;
      if (pop(e)) {
        sleeping_in_sdl = false;
        return e;
      }
      SDL_WaitEventTimeout(nullptr, 250);
      sleeping_in_sdl = false;
    } else {
      std::unique_lock<std::mutex> lock(q.m);
      q.cv.wait_for(lock, std::chrono::milliseconds(20), [&] { return q.count > 0; });
    }
  }
}

int event_id() { return current.id; }
int event_data() { return current.data; }

void flush_events() {
  Queue& q = queue();
  std::lock_guard<std::mutex> lock(q.m);
  q.head = q.count = 0;
  q.tick_waiting = false;
}

bool terminate_requested() {
  pump_input();
  bool t = terminate_flag;
  terminate_flag = false;
  return t;
}

int key_hit(int code) {
  pump_input();
  return take_count(code);
}

int key_hit_within(int code, int asks) {
  if (asks <= 0) return 0;
  if (key_hit(code)) return 1;
  // The counts change only when pump_input looks at the window system: never without a window,
  // and otherwise only on every 64th unforced call. In one instant only the first such call can
  // find its millisecond passed; the calls before it and after it answer 0.
  if (asks == 1 || !detail::video_active()) return 0;
  const unsigned first = 64 - (pump_calls & 63);  // calls after the first until the next look
  if (first >= static_cast<unsigned>(asks)) {
    pump_calls += static_cast<unsigned>(asks - 1);
    return 0;
  }
  pump_calls += first;
  pump_if_due(std::chrono::steady_clock::now(), false);
  if (take_count(code)) return static_cast<int>(first) + 1;
  pump_calls += static_cast<unsigned>(asks - 1) - first;
  return 0;
}

void flush_keys() { key_counts.fill(0); }

int mouse_x() {
  pump_input();
  return pointer_now_x();
}

int mouse_y() {
  pump_input();
  return pointer_now_y();
}

void move_pointer(int x, int y) {
  pointer_x = x;
  pointer_y = y;
  pointer_at_current_event = false;
  if (detail::video_active()) {
    int wx = 0, wy = 0;
    detail::logical_to_window(x, y, wx, wy);
    detail::warp_pointer(wx, wy);
    // The warp's own motion event must not move the pointer back to a stale place.
    SDL_PumpEvents();
    SDL_FlushEvent(SDL_MOUSEMOTION);
  }
}

void pump_input(bool force) {
  if (!detail::video_active()) return;
  // key_hit may be asked once per pixel of a fill: look at the clock only every 64th unforced call,
  // and at the window system at most once a millisecond.
  if (!force && (++pump_calls & 63) != 0) return;
  pump_if_due(std::chrono::steady_clock::now(), force);
}

int key_code_from_sdl(int k) {
  if (k >= SDLK_a && k <= SDLK_z) return 'A' + (k - SDLK_a);
  if (k >= SDLK_0 && k <= SDLK_9) return '0' + (k - SDLK_0);
  if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return '1' + (k - SDLK_KP_1);
  if (k >= SDLK_F1 && k <= SDLK_F12) return 112 + (k - SDLK_F1);
  switch (k) {
    case SDLK_KP_0: return '0';
    case SDLK_ESCAPE: return KEY_ESCAPE;
    case SDLK_BACKSPACE: return 8;
    case SDLK_TAB: return 9;
    case SDLK_RETURN: case SDLK_KP_ENTER: return 13;
    case SDLK_SPACE: return 32;
    case SDLK_PAGEUP: return 33;
    case SDLK_PAGEDOWN: return 34;
    case SDLK_END: return 35;
    case SDLK_HOME: return 36;
    case SDLK_LEFT: return 37;
    case SDLK_UP: return 38;
    case SDLK_RIGHT: return 39;
    case SDLK_DOWN: return 40;
    case SDLK_INSERT: return 45;
    case SDLK_DELETE: return 46;
    case SDLK_LSHIFT: return 160;
    case SDLK_RSHIFT: return 161;
    case SDLK_LCTRL: return KEY_LCONTROL;
    case SDLK_RCTRL: return KEY_RCONTROL;
    case SDLK_LALT: return 164;
    case SDLK_RALT: return 165;
    default: return 0;
  }
}

void input_key_down(int code, bool repeat) {
  if (repeat) {
    queue_input(EV_KEY_REPEAT, code);
    return;
  }
  if (code >= 0 && code < static_cast<int>(key_counts.size())) ++key_counts[code];
  queue_input(EV_KEY_DOWN, code);
}

void input_key_up(int code) { queue_input(EV_KEY_UP, code); }

void input_text(const char* utf8) {
  each_code_point(utf8, [](int cp) { queue_input(EV_KEY_CHAR, cp); });
}

void input_mouse_button(int button, bool down, int x, int y) {
  pointer_x = x;
  pointer_y = y;
  queue_input(down ? EV_MOUSE_DOWN : EV_MOUSE_UP, button);
}

void input_mouse_move(int x, int y) {
  pointer_x = x;
  pointer_y = y;
  queue_input(EV_MOUSE_MOVE, 0);
}

void input_quit() {
  terminate_flag = true;
  queue_input(EV_TERMINATE, 0);
}

}  // namespace media
