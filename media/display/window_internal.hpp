// Private to the media layer: what the input code needs from the window.
#pragma once

namespace media::detail {

bool video_active();  // a window is open and SDL's event queue must be pumped
// Window pixels <-> the 1024x768 logical screen (letterboxed, aspect kept). A place on a black bar
// is put on the picture's nearest edge; false says it was on a bar.
bool window_to_logical(int wx, int wy, int& lx, int& ly);
// The window's size in window pixels (as assumed while no window is open: see assume_window_size).
void window_size(int& w, int& h);
void logical_to_window(int lx, int ly, int& wx, int& wy);
void warp_pointer(int wx, int wy);
void window_resized();  // recomputes the letterbox and shows the front buffer again
void reshow_front();

}  // namespace media::detail
