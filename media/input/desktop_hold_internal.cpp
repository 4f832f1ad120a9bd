// What the desktop holds share: the answer's bookkeeping, the window system's handles, and a
// Wayland queue of our own.
#include <SDL_syswm.h>
#include <wayland-client.h>

#include <string>

#include "media/input/desktop_hold_internal.hpp"
#include "media/files/log.hpp"

namespace media::detail {
namespace {

// A desktop that has not answered within this time is taken to have said no.
constexpr Uint64 kAnswerMs = 3000;

}  // namespace

void HoldAnswer::ask() {
  answer = Hold::Asked;
  asked_at = SDL_GetTicks64();
}

void HoldAnswer::set(Hold a, const char* why) {
  // A kiosk compositor has no shortcuts to hold and no other screen to go to, and so offers no way
  // to hold either.
  if (whole_session() && a == Hold::NotOffered) a = Hold::Held;
  answer = a;
  if (not_held(a) && !told) {
    told = true;
    log_error("lock", std::string(what) + " not held by this desktop (" + why +
                          "); for a full lock, choose \"Pipkin (child session)\" at the login screen");
  }
}

void HoldAnswer::time_out() {
  if (answer == Hold::Asked && SDL_GetTicks64() - asked_at > kAnswerMs) set(Hold::Refused, "no answer from the desktop");
}

bool window_system(SDL_Window* window, SDL_SysWMinfo& info, HoldAnswer& answer) {
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info)) return true;
  answer.set(Hold::NotOffered, "the window system is unknown");
  return false;
}

void OwnWaylandQueue::open(wl_display* d, const wl_registry_listener* listener, void* data) {
  display = d;
  queue = wl_display_create_queue(d);
  wrapper = static_cast<wl_display*>(wl_proxy_create_wrapper(d));
  wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapper), queue);
  registry = wl_display_get_registry(wrapper);
  wl_registry_add_listener(registry, listener, data);
  roundtrip();
}

void OwnWaylandQueue::dispatch() {
  if (queue) wl_display_dispatch_queue_pending(display, queue);
}

void OwnWaylandQueue::roundtrip() {
  if (queue) wl_display_roundtrip_queue(display, queue);
}

void OwnWaylandQueue::close() {
  if (registry) wl_registry_destroy(registry);
  if (wrapper) wl_proxy_wrapper_destroy(wrapper);
  if (display) wl_display_flush(display);
  if (queue) wl_event_queue_destroy(queue);
  *this = OwnWaylandQueue{};
}

}  // namespace media::detail
