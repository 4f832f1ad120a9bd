// The pointer kept on the program's screen for the child lock. Native Wayland: our own confinement
// of the pointer to the window's surface (the pointer-constraints protocol), on a queue of our own,
// through a pointer object of our own on the seat; the compositor says when it is in force. X11 (and
// XWayland): the window system's pointer grab confined to the window, which it renews as the focus
// comes back, checked by taking it again from the same connection.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <wayland-client.h>

#include <cstring>
#include <string>

#include "media/input/desktop_hold.hpp"
#include "media/input/desktop_hold_internal.hpp"
#include "media/files/log.hpp"
#include "pointer-constraints-unstable-v1-client-protocol.h"

namespace media {
namespace {

struct WaylandConfine {
  detail::OwnWaylandQueue own;
  zwp_pointer_constraints_v1* constraints = nullptr;
  wl_seat* seat = nullptr;
  uint32_t capabilities = 0;  // the seat's, as it says them
  wl_pointer* pointer = nullptr;
  zwp_confined_pointer_v1* confined = nullptr;
};

struct X11Confine {
  Display* display = nullptr;
  Window window = 0;
};

struct PointerHoldState {
  detail::HoldAnswer answer{"pointer"};
  WaylandConfine wl;
  X11Confine x11;
  SDL_Window* grabbed = nullptr;  // the window whose X11 grab the window system keeps
};

PointerHoldState p;

void answer(Hold a, const char* why) { p.answer.set(a, why); }

void on_global(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
  if (std::strcmp(interface, zwp_pointer_constraints_v1_interface.name) == 0 && !p.wl.constraints)
    p.wl.constraints = static_cast<zwp_pointer_constraints_v1*>(
        wl_registry_bind(registry, name, &zwp_pointer_constraints_v1_interface, 1));
  else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !p.wl.seat)
    p.wl.seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
}
void on_global_remove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener registry_listener = {on_global, on_global_remove};

void on_capabilities(void*, wl_seat*, uint32_t caps) { p.wl.capabilities = caps; }
void on_seat_name(void*, wl_seat*, const char*) {}
const wl_seat_listener seat_listener = {on_capabilities, on_seat_name};

// Our pointer object hears everything the seat's pointer does over our window; none of it is ours
// to act on (the window system's own pointer object brings the same to the program).
void on_enter(void*, wl_pointer*, uint32_t, wl_surface*, wl_fixed_t, wl_fixed_t) {}
void on_leave(void*, wl_pointer*, uint32_t, wl_surface*) {}
void on_motion(void*, wl_pointer*, uint32_t, wl_fixed_t, wl_fixed_t) {}
void on_button(void*, wl_pointer*, uint32_t, uint32_t, uint32_t, uint32_t) {}
void on_axis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
// A pointer of the seat's first version, which sends only these (the later events stay unset).
const wl_pointer_listener pointer_listener = [] {
  wl_pointer_listener l{};
  l.enter = on_enter, l.leave = on_leave, l.motion = on_motion, l.button = on_button, l.axis = on_axis;
  return l;
}();

void on_confined(void*, zwp_confined_pointer_v1*) { answer(Hold::Held, "held"); }
// Also sent while the program has lost the focus to something the compositor did itself; the
// confinement lasts and comes back with the focus, so the answer stands.
void on_unconfined(void*, zwp_confined_pointer_v1*) {}
const zwp_confined_pointer_v1_listener confined_listener = {on_confined, on_unconfined};

void ask_wayland(wl_display* display, wl_surface* surface) {
  WaylandConfine& w = p.wl;
  w.own.open(display, &registry_listener, nullptr);
  if (!w.constraints || !w.seat) {
    answer(Hold::NotOffered, "the compositor offers no way to keep the pointer on a screen");
    return;
  }
  wl_seat_add_listener(w.seat, &seat_listener, nullptr);
  w.own.roundtrip();  // the seat's capabilities
  if (!(w.capabilities & WL_SEAT_CAPABILITY_POINTER)) {
    // A touch screen alone: no pointer to wander off.
    answer(Hold::Held, "no pointer");
    return;
  }
  w.pointer = wl_seat_get_pointer(w.seat);
  wl_pointer_add_listener(w.pointer, &pointer_listener, nullptr);
  w.confined = zwp_pointer_constraints_v1_confine_pointer(w.constraints, surface, w.pointer, nullptr,
                                                          ZWP_POINTER_CONSTRAINTS_V1_LIFETIME_PERSISTENT);
  zwp_confined_pointer_v1_add_listener(w.confined, &confined_listener, nullptr);
  wl_display_flush(display);
  p.answer.ask();
}

void end_wayland() {
  WaylandConfine& w = p.wl;
  if (w.confined) zwp_confined_pointer_v1_destroy(w.confined);
  if (w.pointer) wl_pointer_destroy(w.pointer);
  if (w.constraints) zwp_pointer_constraints_v1_destroy(w.constraints);
  if (w.seat) wl_seat_destroy(w.seat);
  w.own.close();
  w = WaylandConfine{};
}

// The window system's own grab (with the same events it asks for) confines the pointer to the
// window; taking it again from the same connection tells whether it holds. It cannot be taken
// before the window is on screen, nor while another program holds the pointer: then it is tried
// again on the next poll.
void check_x11() {
  X11Confine& x = p.x11;
  const unsigned mask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask | FocusChangeMask;
  if (XGrabPointer(x.display, x.window, True, mask, GrabModeAsync, GrabModeAsync, x.window, None, CurrentTime) ==
      GrabSuccess)
    answer(Hold::Held, "held");
}

}  // namespace

Hold pointer_hold() { return p.answer.answer; }

void set_pointer_hold_answer(Hold a) { p.answer.answer = a; }

namespace detail {

void start_pointer_hold(SDL_Window* window) {
  stop_pointer_hold();
  SDL_SysWMinfo info;
  if (!window_system(window, info, p.answer)) return;
  switch (info.subsystem) {
    case SDL_SYSWM_WAYLAND: ask_wayland(info.info.wl.display, info.info.wl.surface); break;
    case SDL_SYSWM_X11:
      SDL_SetWindowMouseGrab(window, SDL_TRUE);
      p.grabbed = window;
      p.x11 = {info.info.x11.display, info.info.x11.window};
      p.answer.ask();
      break;
    default: answer(Hold::NotOffered, "the window system cannot keep the pointer on a screen"); break;
  }
}

void stop_pointer_hold() {
  end_wayland();
  if (p.grabbed) SDL_SetWindowMouseGrab(p.grabbed, SDL_FALSE);  // also lets go of the grab taken again
  p.grabbed = nullptr;
  p.x11 = X11Confine{};
  p.answer.stop();
}

void poll_pointer_hold() {
  if (p.answer.answer == Hold::Off) return;
  p.wl.own.dispatch();
  if (p.answer.answer != Hold::Asked) return;
  if (p.x11.display) check_x11();
  p.answer.time_out();
}

}  // namespace detail
}  // namespace media
