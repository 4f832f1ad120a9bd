// The letterbox of the logical screen in the window, and the mapping of places through it.
#include "media/input/window_view.hpp"

#include <SDL.h>

#include <algorithm>

namespace media {
namespace {

// What the input code knows of the window; main thread only.
struct View {
  SDL_Window* window = nullptr;  // the display's, none while closed
  void (*reshow)() = nullptr;    // the display's way to show its front buffer again
  // Where the logical screen lands in the window, in window pixels.
  int x = 0, y = 0, w = kScreenW, h = kScreenH;
  int assumed_w = kScreenW, assumed_h = kScreenH;  // the window's size while none is open (tests)
};
View view;

}  // namespace

void assume_window_size(int w, int h) {
  view.assumed_w = w;
  view.assumed_h = h;
  if (!view.window) detail::update_view();
}

float window_scale() { return static_cast<float>(view.w) / kScreenW; }

namespace detail {

void set_view_window(SDL_Window* window, void (*reshow)()) {
  view.window = window;
  view.reshow = reshow;
}

void letterbox(int w, int h, int& x, int& y, int& fw, int& fh) {
  if (w * kScreenH >= h * kScreenW) {
    fh = h;
    fw = h * kScreenW / kScreenH;
  } else {
    fw = w;
    fh = w * kScreenH / kScreenW;
  }
  x = (w - fw) / 2;
  y = (h - fh) / 2;
}

void update_view() {
  int w = 0, h = 0;
  window_size(w, h);
  letterbox(w, h, view.x, view.y, view.w, view.h);
}

bool video_active() { return view.window != nullptr; }

bool window_to_logical(int wx, int wy, int& lx, int& ly) {
  if (view.w <= 0 || view.h <= 0) {
    lx = wx, ly = wy;
    return true;
  }
  lx = std::clamp((wx - view.x) * kScreenW / view.w, 0, kScreenW - 1);
  ly = std::clamp((wy - view.y) * kScreenH / view.h, 0, kScreenH - 1);
  return wx >= view.x && wx < view.x + view.w && wy >= view.y && wy < view.y + view.h;
}

void window_size(int& w, int& h) {
  w = view.assumed_w;
  h = view.assumed_h;
  if (view.window) SDL_GetWindowSize(view.window, &w, &h);
}

void logical_to_window(int lx, int ly, int& wx, int& wy) {
  wx = view.x + (lx * view.w + kScreenW / 2) / kScreenW;
  wy = view.y + (ly * view.h + kScreenH / 2) / kScreenH;
}

void warp_pointer(int wx, int wy) {
  if (view.window) SDL_WarpMouseInWindow(view.window, wx, wy);
}

void window_resized() {
  update_view();
  reshow_front();
}

void reshow_front() {
  if (view.reshow) view.reshow();
}

}  // namespace detail
}  // namespace media
