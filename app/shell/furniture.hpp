// Screen furniture shared by the loop and the activities: title screen, help page, label, activity
// number, quit ring, corner button, thinking image, pointer tests and shuffling.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "app/start/assets.hpp"
#include "app/shell/keys.hpp"
#include "media/input/clock.hpp"
#include "media/display/font.hpp"
#include "media/display/image.hpp"
#include "media/input/desktop_hold.hpp"

namespace app {

struct Point {
  int x = 0, y = 0;
};

// installed_lines: the installed program's own first two lines (the help key and where its pictures
// come from), in place of the portable copy's; none: the portable copy's.
void draw_title_screen(const Assets& assets, const std::vector<std::string>& installed_lines = {});
// While pictures load, the title shows a bar and "37 of 412 pictures" under its name.
void draw_picture_progress(const Assets& assets, size_t done, size_t total);
// Where the desktop does not hold its shortcut keys or the pointer for the child lock, the title
// tells the parent so, and names the way to a full lock; the label says it in a few words.
constexpr int kLockNoticeY = 420;
void draw_lock_notice(const Assets& assets, media::Hold keys, media::Hold pointer);
std::string lock_label(media::Hold keys, media::Hold pointer);
void draw_help_page(const Assets& assets, const media::ImagePtr& page);
// A label centred on (x, y), or on the screen's centre when x is 0; one wider than the screen goes
// on more lines.
void draw_label(const std::string& text, const media::FontPtr& font, int x, int y, int margin);
void draw_activity_number(const Assets& assets, int activity);
// The ring in the top right corner that fills while a parent holds a chord under the child lock: an
// empty track at 0, closed at 1, filling clockwise from the top. Quitting fills it yellow; opening
// the parent's page fills it green around three short bars, so the parent can tell the two apart.
// Where it is:
constexpr int kRingInner = 19, kRingOuter = 28, kRingBack = 34;  // radii
inline int ring_x(const Assets& a) { return a.screen_w - 44; }           // its centre
constexpr int kRingY = 44;
void draw_hold_ring(const Assets& assets, HeldChord chord, float done);
void draw_corner_button(const Assets& assets);
// A click at (px, py) lands on the corner button.
bool corner_button_hit(const Assets& assets, int px, int py);
// The thinking image in the middle of the screen (the loop presents it before long work).
void draw_thinking(const Assets& assets);

// A pointer at (px, py) touches an opaque pixel of the image drawn at (x, y).
bool point_over(const Assets& assets, const media::ImagePtr& image, float x, float y, int px, int py);
// (px, py) lies inside the rectangle, edges included.
bool point_in(int px, int py, int x1, int y1, int x2, int y2);
inline bool is_even(int n) { return (n & 1) == 0; }

// The same objects in random order in a new list; the given list is left empty.
template <class T>
std::vector<T> shuffle_list(std::vector<T>& list) {
  std::vector<T> out;
  out.reserve(list.size());
  size_t n = list.size();
  for (size_t i = 0; i < n; ++i) {
    size_t r = static_cast<size_t>(media::rand(1, static_cast<int>(list.size())));
    out.push_back(std::move(list[r - 1]));
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(r - 1));
  }
  return out;
}

}  // namespace app
