// Screen furniture shared by the shell and the activities: title screen, help page, label, activity
// number, corner button, thinking image, pointer tests, shuffling, and the five sound effects.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "media/clock.hpp"
#include "media/font.hpp"
#include "media/image.hpp"

namespace app {

struct TPoint {
  int x = 0, y = 0;
  void init(int px, int py) {
    x = px;
    y = py;
  }
};

void draw_title_screen();
// While pictures load, the title shows a bar and "37 of 412 pictures" under its name.
void draw_picture_progress(size_t done, size_t total);
void draw_help_page(const media::ImagePtr& page);
void draw_label(const std::string& text, const media::FontPtr& font, int x, int y, int margin);
void draw_activity_number();
void draw_corner_button();
bool corner_button_hit();
void show_thinking();

// The pointer touches an opaque pixel of the image drawn at (x, y).
bool mouse_over(const media::ImagePtr& image, float x, float y, int frame = 0);
// The pointer lies inside the rectangle, edges included.
bool mouse_in(int x1, int y1, int x2, int y2);
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

void play_bounce();
void play_pop();
void play_magic();
void play_ping();
void play_click();
void forget_sounds();  // empties the sound slots (tests)
bool sound_loaded(int which);  // 0 bounce .. 4 click (tests)

}  // namespace app
