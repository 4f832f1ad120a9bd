#include "media/display/display.hpp"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "media/display/draw.hpp"
#include "media/display/gl.hpp"
#include "media/files/log.hpp"
#include "media/input/desktop_hold_internal.hpp"
#include "media/input/window_view.hpp"
#include "media/sound/sound.hpp"

namespace media {
namespace {

// Everything the display keeps between calls; main thread only.
struct DisplayState {
  // The window
  std::string title = "Pipkin";     // the window's title, kept for windows opened later
  int monitor = -1;                 // SDL display index everything opens on, chosen once (-1: not yet)
  SDL_Window* window = nullptr;     // none while closed
  DisplayMode mode;                 // as opened
  bool covers_screen = false;       // a full screen, not a window
  bool hold_keys = false;           // the keyboard and pointer are to be held while the screen is covered
  bool pointer_free = false;        // but not the pointer: the parent's page shows
  // OpenGL
  SDL_GLContext context = nullptr;  // none while closed
  unsigned generation = 1;          // counts contexts destroyed, so textures know theirs is gone
  GLuint fbo[2] = {0, 0};           // the two offscreen 1024x768 framebuffers: back and front
  GLuint colour[2] = {0, 0};        // their colour textures
  int back = 0;                     // which of the two is drawn into
  int swap_interval = -1;           // vsync as last given to SDL (-1: not yet)
};

DisplayState d;

void choose_monitor();
void reshow_front();

// A Wayland session gets a Wayland window, drawn at the screen's own pixel density and able to ask
// the compositor for the keyboard; X11 (through XWayland there) is the fall-back. A driver the user
// chose is used as chosen.
bool init_video() {
  if (SDL_WasInit(SDL_INIT_VIDEO)) {
    choose_monitor();
    return true;
  }
  const bool user_chose = std::getenv("SDL_VIDEODRIVER") != nullptr;
  // Wayland has no mode switches: the modes it would list besides the screen's own are imitated by
  // stretching a smaller picture over the whole screen, out of shape.
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  SDL_SetHint(SDL_HINT_VIDEO_WAYLAND_MODE_EMULATION, "0");
  // Wayland lets no program move the pointer; imitating it would lock the pointer in place and hide
  // where the child really points.
  SDL_SetHint(SDL_HINT_VIDEO_WAYLAND_EMULATE_MOUSE_WARP, "0");
  // A finger is taken as a finger (media/input/events.cpp), not also as the mouse SDL would make of it.
  SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");
  if (!user_chose && wayland && *wayland) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "wayland");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
      choose_monitor();
      return true;
    }
    log_error("display", std::string("no Wayland video, trying X11: ") + SDL_GetError());
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
  }
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    log_error("display", std::string("no video: ") + SDL_GetError());
    return false;
  }
  choose_monitor();
  return true;
}

bool on_wayland() {
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver && std::string(driver) == "wayland";
}

// Everything opens on the monitor under the pointer when video first starts (the first monitor when
// the pointer is nowhere); once chosen it stays.
void choose_monitor() {
  if (d.monitor >= 0) return;
  d.monitor = 0;
  int px = 0, py = 0;
  SDL_GetGlobalMouseState(&px, &py);
  const SDL_Point p{px, py};
  for (int i = 0, n = SDL_GetNumVideoDisplays(); i < n; ++i) {
    SDL_Rect r;
    if (SDL_GetDisplayBounds(i, &r) == 0 && SDL_PointInRect(&p, &r)) {
      d.monitor = i;
      break;
    }
  }
}

// The monitor chosen when video started.
int monitor() { return std::max(d.monitor, 0); }

void apply_pointer_hold() {
  detail::stop_pointer_hold();
  if (d.window && d.hold_keys && d.covers_screen && !d.pointer_free) detail::start_pointer_hold(d.window);
}

// The child lock in full screen holds the keyboard and the pointer; a window holds neither.
void apply_holds() {
  // SDL itself would still let Alt+Tab minimize a window that holds the keyboard.
  SDL_SetHint(SDL_HINT_ALLOW_ALT_TAB_WHILE_GRABBED, d.hold_keys ? "0" : "1");
  detail::stop_keyboard_hold();
  if (d.window) {
    if (d.hold_keys && d.covers_screen)
      detail::start_keyboard_hold(d.window);
    else if (!on_wayland())  // on Wayland the hold is ours alone: SDL's own would ask a second time
      SDL_SetWindowKeyboardGrab(d.window, SDL_FALSE);
  }
  apply_pointer_hold();
}

bool create_window(int width, int height, Uint32 flags) {
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
  int m = monitor();
  d.window = SDL_CreateWindow(d.title.c_str(), SDL_WINDOWPOS_CENTERED_DISPLAY(m), SDL_WINDOWPOS_CENTERED_DISPLAY(m),
                              width, height, flags | SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI);
  if (!d.window) {
    log_error("display", std::string("cannot open a window: ") + SDL_GetError());
    return false;
  }
  detail::set_view_window(d.window, reshow_front);
  return true;
}

void show_front() {
  int dw = 0, dh = 0;
  SDL_GL_GetDrawableSize(d.window, &dw, &dh);
  int x, y, w, h;
  detail::letterbox(dw, dh, x, y, w, h);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, d.fbo[1 - d.back]);
  glDisable(GL_SCISSOR_TEST);  // the drawing state's clip is for drawing, not for showing
  glViewport(0, 0, dw, dh);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  bool exact = (w == kScreenW && h == kScreenH);
  // The framebuffer's rows run bottom-up; so do the window's, so no flip is needed.
  glBlitFramebuffer(0, 0, kScreenW, kScreenH, x, dh - y - h, x + w, dh - y, GL_COLOR_BUFFER_BIT,
                    exact ? GL_NEAREST : GL_LINEAR);
  SDL_GL_SwapWindow(d.window);
  detail::bind_drawing_buffer();
}

// Shows the front buffer again, as it was last presented (the window was uncovered or resized).
void reshow_front() {
  if (d.context) show_front();
}

bool make_buffers() {
  glGenFramebuffers(2, d.fbo);
  glGenTextures(2, d.colour);
  for (int i = 0; i < 2; ++i) {
    glBindTexture(GL_TEXTURE_2D, d.colour[i]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kScreenW, kScreenH, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindFramebuffer(GL_FRAMEBUFFER, d.fbo[i]);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, d.colour[i], 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
      log_error("display", "offscreen framebuffer incomplete");
      return false;
    }
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  glBindTexture(GL_TEXTURE_2D, 0);
  d.back = 0;
  return true;
}

// The part shared by every kind of display once its window exists.
bool finish_open(const DisplayMode& mode) {
  d.context = SDL_GL_CreateContext(d.window);
  if (!d.context || !make_buffers()) {
    log_error("display", std::string("no OpenGL context: ") + SDL_GetError());
    close_graphics();
    return false;
  }
  d.mode = mode;
  d.swap_interval = -1;
  detail::update_view();
  reset_draw_state();
  detail::bind_drawing_buffer();
  apply_holds();
  open_audio();
  return true;
}

}  // namespace

void set_app_title(const std::string& t) {
  d.title = t;
  if (d.window) SDL_SetWindowTitle(d.window, d.title.c_str());
}

const std::string& app_title() { return d.title; }

std::vector<DisplayMode> graphics_modes() {
  std::vector<DisplayMode> modes;
  if (!init_video()) return modes;
  int mon = monitor();
  int n = SDL_GetNumDisplayModes(mon);
  for (int i = 0; i < n; ++i) {
    SDL_DisplayMode m;
    if (SDL_GetDisplayMode(mon, i, &m) == 0) modes.push_back({m.w, m.h, 24, m.refresh_rate});
  }
  return modes;
}

bool open_graphics(int width, int height, int depth, int hz) {
  if (d.window) close_graphics();
  if (!init_video()) return false;
  // No mode switch exists there: a full screen is the screen as it is.
  if (depth != 0 && on_wayland()) return open_desktop_fullscreen();
  if (!create_window(width, height, depth == 0 ? SDL_WINDOW_RESIZABLE : 0)) return false;
  d.covers_screen = false;
  if (depth != 0) {
    SDL_DisplayMode want{SDL_PIXELFORMAT_UNKNOWN, width, height, hz, nullptr};
    SDL_DisplayMode got;
    if (SDL_GetClosestDisplayMode(monitor(), &want, &got)) SDL_SetWindowDisplayMode(d.window, &got);
    if (SDL_SetWindowFullscreen(d.window, SDL_WINDOW_FULLSCREEN) != 0)
      log_error("display", std::string("full screen refused, staying in a window: ") + SDL_GetError());
    else
      d.covers_screen = true;
  }
  return finish_open({width, height, 24, depth == 0 ? 60 : hz});
}

bool open_desktop_fullscreen() {
  if (d.window) close_graphics();
  if (!init_video()) return false;
  SDL_DisplayMode desk;
  if (SDL_GetDesktopDisplayMode(monitor(), &desk) != 0) {
    log_error("display", std::string("no desktop mode: ") + SDL_GetError());
    return false;
  }
  // Created at the monitor's size, so nothing is drawn at a wrong size while the switch is made.
  if (!create_window(desk.w, desk.h, SDL_WINDOW_FULLSCREEN_DESKTOP)) return false;
  d.covers_screen = true;
  return finish_open({desk.w, desk.h, 24, desk.refresh_rate});
}

DisplayMode display_settings() { return d.mode; }

bool set_fullscreen(bool on, int window_w, int window_h) {
  if (!d.window) return false;
  if (on == d.covers_screen) return true;
  if (SDL_SetWindowFullscreen(d.window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
    log_error("display", std::string(on ? "full screen refused: " : "cannot leave the full screen: ") + SDL_GetError());
    return false;
  }
  d.covers_screen = on;
  if (on) {
    SDL_DisplayMode desk;
    if (SDL_GetDesktopDisplayMode(monitor(), &desk) == 0) d.mode = {desk.w, desk.h, 24, desk.refresh_rate};
  } else {
    SDL_SetWindowResizable(d.window, SDL_TRUE);
    SDL_SetWindowSize(d.window, window_w, window_h);
    const int m = monitor();
    SDL_SetWindowPosition(d.window, SDL_WINDOWPOS_CENTERED_DISPLAY(m), SDL_WINDOWPOS_CENTERED_DISPLAY(m));
    d.mode = {window_w, window_h, 24, 60};
  }
  // A window never holds the keyboard; a full screen does when the child lock asks for it.
  apply_holds();
  detail::update_view();
  reshow_front();
  return true;
}

bool covers_screen() { return d.covers_screen; }

ScreenArea screen_area() {
  ScreenArea a;
  if (!init_video()) return a;
  SDL_Rect r;
  if (SDL_GetDisplayBounds(monitor(), &r) == 0) a.width = r.w, a.height = r.h;
  if (SDL_GetDisplayUsableBounds(monitor(), &r) == 0) a.usable_width = r.w, a.usable_height = r.h;
  if (a.usable_width <= 0 || a.usable_height <= 0) a.usable_width = a.width, a.usable_height = a.height;
  return a;
}

void hold_keyboard(bool on, bool alone) {
  d.hold_keys = on;
  detail::set_whole_session(alone);
  apply_holds();
}

void free_pointer(bool free) {
  if (free == d.pointer_free) return;
  d.pointer_free = free;
  apply_pointer_hold();
}

void bring_to_front() {
  if (!d.window) return;
  if (SDL_GetWindowFlags(d.window) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(d.window);
  SDL_RaiseWindow(d.window);
}

void close_graphics() {
  detail::stop_keyboard_hold();
  detail::stop_pointer_hold();
  if (d.context) {
    glDeleteFramebuffers(2, d.fbo);
    glDeleteTextures(2, d.colour);
    SDL_GL_DeleteContext(d.context);
    ++d.generation;
  }
  if (d.window) SDL_DestroyWindow(d.window);
  detail::set_view_window(nullptr, nullptr);
  d.context = nullptr;
  d.window = nullptr;
  d.covers_screen = false;
}

void message_box(const std::string& text, bool serious) {
  std::fprintf(stderr, "pipkin: %s\n", text.c_str());
  SDL_ShowSimpleMessageBox(serious ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION, d.title.c_str(),
                           text.c_str(), d.window);
}

void hide_pointer() {
  if (init_video()) SDL_ShowCursor(SDL_DISABLE);
}

void present(int vsync) {
  if (!d.context) return;
  int want = vsync ? 1 : 0;
  if (want != d.swap_interval) {
    SDL_GL_SetSwapInterval(want);
    d.swap_interval = want;
  }
  d.back = 1 - d.back;
  show_front();
}

namespace detail {

bool gl_ready() { return d.context != nullptr; }
unsigned gl_generation() { return d.generation; }

void bind_drawing_buffer() {
  const GLuint target = target_buffer();
  glBindFramebuffer(GL_FRAMEBUFFER, target ? target : d.fbo[d.back]);
  glViewport(0, 0, kScreenW, kScreenH);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, kScreenW, kScreenH, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  // The back buffer's alpha (and a target's) stays opaque: grabs read 255 like a screen would.
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glDisable(GL_DITHER);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  apply_blend(draw_state().blend);
  apply_clip();
}

}  // namespace detail
}  // namespace media
