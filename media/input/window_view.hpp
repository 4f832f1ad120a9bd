// The window as the input code sees it: where the logical screen (screen.hpp) lands in it,
// letterboxed with its shape kept, and the mapping of places between the two. The display says
// which window is open and how to show it again; the event pump maps every pointer event here.
#pragma once

#include "media/input/screen.hpp"

struct SDL_Window;

namespace media {

// Window pixels per picture pixel, as the letterbox scales the picture now (1 with no window).
float window_scale();
// Tests: with no window open, input is mapped as if the picture were letterboxed into a window of
// w x h (1024x768 until told otherwise).
void assume_window_size(int w, int h);

namespace detail {

// The display's to call: the window it opened (none: it closed), and how it shows its front buffer
// again when the window is uncovered or resized.
void set_view_window(SDL_Window* window, void (*reshow)());
// The largest 4:3 rectangle centred in a w x h area.
void letterbox(int w, int h, int& x, int& y, int& fw, int& fh);
void update_view();    // the letterbox for the window's size now
bool video_active();   // a window is open and SDL's event queue must be pumped
// Window pixels <-> the logical screen. A place on a black bar is put on the picture's nearest
// edge; false says it was on a bar.
bool window_to_logical(int wx, int wy, int& lx, int& ly);
// The window's size in window pixels (as assumed while no window is open: see assume_window_size).
void window_size(int& w, int& h);
void logical_to_window(int lx, int ly, int& wx, int& wy);
void warp_pointer(int wx, int wy);
void window_resized();  // recomputes the letterbox and shows the front buffer again
void reshow_front();

}  // namespace detail
}  // namespace media
