#include "media/input/desktop_hold.hpp"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <wayland-client.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "keyboard-shortcuts-inhibit-unstable-v1-client-protocol.h"
#include "media/input/desktop_hold_internal.hpp"
#include "media/files/log.hpp"

namespace media {
namespace {

// Native Wayland: the compositor is asked through its keyboard-shortcuts inhibitor, on a queue of
// our own.
struct WaylandAsk {
  detail::OwnWaylandQueue own;
  zwp_keyboard_shortcuts_inhibit_manager_v1* manager = nullptr;
  wl_seat* seat = nullptr;
  zwp_keyboard_shortcuts_inhibitor_v1* inhibitor = nullptr;
};

// X11, also through XWayland: the window's keyboard grab, made by the window system's code and
// checked here on the same connection.
struct X11Ask {
  Display* display = nullptr;
  Window window = 0;
  bool xwayland = false;
};

struct HoldState {
  detail::HoldAnswer answer{"keys"};
  bool alone = false;  // the program is the whole session: no desktop, no shortcuts, no other screen
  WaylandAsk wl;
  X11Ask x11;
};

HoldState h;

void answer(Hold a, const char* why) { h.answer.set(a, why); }

void on_global(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
  if (std::strcmp(interface, zwp_keyboard_shortcuts_inhibit_manager_v1_interface.name) == 0 && !h.wl.manager)
    h.wl.manager = static_cast<zwp_keyboard_shortcuts_inhibit_manager_v1*>(
        wl_registry_bind(registry, name, &zwp_keyboard_shortcuts_inhibit_manager_v1_interface, 1));
  else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !h.wl.seat)
    h.wl.seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
}
void on_global_remove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener registry_listener = {on_global, on_global_remove};

void on_active(void*, zwp_keyboard_shortcuts_inhibitor_v1*) { answer(Hold::Held, "held"); }
// Also sent when the compositor takes the keys back (a shortcut of its own that cannot be held).
void on_inactive(void*, zwp_keyboard_shortcuts_inhibitor_v1*) {
  answer(Hold::Refused, "the compositor does not hold its shortcuts for Pipkin");
}
const zwp_keyboard_shortcuts_inhibitor_v1_listener inhibitor_listener = {on_active, on_inactive};

void ask_wayland(wl_display* display, wl_surface* surface) {
  WaylandAsk& w = h.wl;
  w.own.open(display, &registry_listener, nullptr);
  if (!w.manager || !w.seat) {
    answer(Hold::NotOffered, "the compositor offers no way to hold its shortcuts");
    return;
  }
  w.inhibitor = zwp_keyboard_shortcuts_inhibit_manager_v1_inhibit_shortcuts(w.manager, surface, w.seat);
  zwp_keyboard_shortcuts_inhibitor_v1_add_listener(w.inhibitor, &inhibitor_listener, nullptr);
  wl_display_flush(display);
  h.answer.ask();
}

void end_wayland() {
  WaylandAsk& w = h.wl;
  if (w.inhibitor) zwp_keyboard_shortcuts_inhibitor_v1_destroy(w.inhibitor);
  if (w.manager) zwp_keyboard_shortcuts_inhibit_manager_v1_destroy(w.manager);
  if (w.seat) wl_seat_destroy(w.seat);
  w.own.close();
  w = WaylandAsk{};
}

// A desktop that passes an XWayland client's keyboard grab on to the compositor: GNOME's does, for
// a client that has asked with the message below first; others keep their own shortcuts.
bool xwayland_grab_reaches_compositor() {
  const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
  return desktop && std::strstr(desktop, "GNOME");
}

// XWayland names itself by an extension from version 23 on; before that, only by the names of the
// screens it shows.
bool is_xwayland(Display* display, Window window) {
  int opcode = 0, event = 0, error = 0;
  if (XQueryExtension(display, "XWAYLAND", &opcode, &event, &error)) return true;
  if (!XQueryExtension(display, "RANDR", &opcode, &event, &error)) return false;
  bool found = false;
  if (XRRScreenResources* res = XRRGetScreenResourcesCurrent(display, window)) {
    for (int i = 0; i < res->noutput && !found; ++i)
      if (XRROutputInfo* out = XRRGetOutputInfo(display, res, res->outputs[i])) {
        found = out->name && std::strncmp(out->name, "XWAYLAND", 8) == 0;
        XRRFreeOutputInfo(out);
      }
    XRRFreeScreenResources(res);
  }
  return found;
}

void ask_x11(Display* display, Window window) {
  X11Ask& x = h.x11;
  x.display = display;
  x.window = window;
  x.xwayland = is_xwayland(display, window);
  if (x.xwayland) {
    // Asks the compositor to let this window's grab hold its shortcuts too.
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(display, "_XWAYLAND_MAY_GRAB_KEYBOARD", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = 1;
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureNotifyMask | SubstructureRedirectMask, &e);
    XFlush(display);
  }
  h.answer.ask();
}

// The grab is the window system's; taking it again from the same connection tells whether it holds
// (it cannot be taken before the window is on screen).
void check_x11() {
  X11Ask& x = h.x11;
  int r = XGrabKeyboard(x.display, x.window, True, GrabModeAsync, GrabModeAsync, CurrentTime);
  if (r != GrabSuccess) return;  // not on screen yet, or another program holds the keyboard: asked again
  if (!x.xwayland)
    answer(Hold::Held, "held");
  else if (xwayland_grab_reaches_compositor())
    answer(Hold::Held, "held");
  else
    answer(Hold::NotOffered, "an X11 program's keyboard grab does not reach this Wayland compositor");
}

}  // namespace

Hold keyboard_hold() { return h.answer.answer; }

void set_keyboard_hold_answer(Hold a) { h.answer.answer = a; }

namespace detail {

void start_keyboard_hold(SDL_Window* window) {
  stop_keyboard_hold();
  SDL_SysWMinfo info;
  if (!window_system(window, info, h.answer)) return;
  switch (info.subsystem) {
    case SDL_SYSWM_WAYLAND:
      ask_wayland(info.info.wl.display, info.info.wl.surface);
      break;
    case SDL_SYSWM_X11:
      // The window system's own grab follows the window's focus; it is checked below.
      SDL_SetWindowKeyboardGrab(window, SDL_TRUE);
      ask_x11(info.info.x11.display, info.info.x11.window);
      break;
    default: answer(Hold::NotOffered, "the window system cannot hold the keyboard"); break;
  }
}

void set_whole_session(bool alone) { h.alone = alone; }
bool whole_session() { return h.alone; }

void stop_keyboard_hold() {
  end_wayland();
  if (h.x11.display) {
    XUngrabKeyboard(h.x11.display, CurrentTime);
    XFlush(h.x11.display);
  }
  h.x11 = X11Ask{};
  h.answer.stop();
}

void poll_keyboard_hold() {
  if (h.answer.answer == Hold::Off) return;
  h.wl.own.dispatch();
  if (h.answer.answer != Hold::Asked) return;
  if (h.x11.display) check_x11();
  h.answer.time_out();
}

}  // namespace detail
}  // namespace media
