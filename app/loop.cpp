#include "app/loop.hpp"

#include <algorithm>
#include <vector>

#include "app/config.hpp"
#include "app/furniture.hpp"
#include "app/pictures.hpp"
#include "app/shell.hpp"
#include "media/clock.hpp"
#include "media/display.hpp"
#include "media/draw.hpp"
#include "media/log.hpp"

namespace app {
namespace {

constexpr int kCuts = 13;

bool is_jigsaw(int n) { return n == 5 || n == 6 || n == 9; }

Activity* current() {
  Shell& s = shell();
  return s.activity >= 1 && s.activity <= 9 ? s.activity_slots[s.activity].get() : nullptr;
}

int random_picture() {
  int count = static_cast<int>(shell().pictures.count());
  return count > 0 ? media::rand(1, count) - 1 : 0;
}

// Builds a jigsaw with the given cut, or, when that cut cannot be read, with another one (the cuts
// in a random order, never avoid_cut). None when no cut works.
ActivityPtr build_jigsaw(const ActivityMaker& make, int cut, int picture, int avoid_cut) {
  if (ActivityPtr a = make(cut, picture)) return a;
  std::vector<int> others;
  for (int c = 1; c <= kCuts; ++c)
    if (c != cut && c != avoid_cut) others.push_back(c);
  for (int c : shuffle_list(others))
    if (ActivityPtr a = make(c, picture)) return a;
  return nullptr;
}

// A new puzzle for slot n with a different cut and a different picture from the old one (the same
// picture is allowed when there are fewer than two).
void new_jigsaw_game(int n) {
  Shell& s = shell();
  const ActivityMaker* make = activity_maker(n);
  Activity* old = s.activity_slots[n].get();
  int old_cut = old ? old->cut_number() : 0, old_pic = old ? old->picture_index() : -1;
  bool need_new_picture = s.pictures.count() >= 2;
  int cut = 0, pic = 0;
  for (int tries = 0; tries < 1000; ++tries) {
    cut = media::rand(1, kCuts);
    pic = random_picture();
    if (cut != old_cut && (!need_new_picture || pic != old_pic)) break;
  }
  show_thinking();
  if (ActivityPtr a = build_jigsaw(*make, cut, pic, old_cut)) {
    a->setup();
    s.activity_slots[n] = std::move(a);
  }
}

void select_activity(int n) {
  Shell& s = shell();
  if (n >= 2 && s.level < n) return;
  if (!pictures_ready_for(s.pictures, n)) {  // still loading the pictures it starts with
    s.waiting_for_pictures = n;
    return;
  }
  const ActivityMaker* make = activity_maker(n);
  if (!make) return;  // not built yet
  bool was_current = s.activity == n;
  ActivityPtr& slot = s.activity_slots[n];
  if (!slot) {
    if (n != 3) show_thinking();
    if (is_jigsaw(n)) {
      int cut = media::rand(1, kCuts);
      slot = build_jigsaw(*make, cut, random_picture(), 0);
    } else {
      slot = (*make)(0, 0);
    }
    if (!slot) return;  // nothing could be built: the key does nothing
    if (n != 1 && n != 3 && n != 4) slot->setup();
  } else if (n == 1) {
    if (was_current) slot->clear();
  } else if (n == 2 || n == 7) {
    if (was_current) slot->setup();
  } else if (is_jigsaw(n)) {
    if (slot->complete_flag() || was_current) new_jigsaw_game(n);
  } else if (n == 8) {
    if (was_current || slot->complete_flag()) slot->setup();
  }
  if (n == 3) s.activity_slots[3]->clear();
  s.activity = n;
}

void restart_check() {
  Shell& s = shell();
  if (s.restart_requested) {
    on_key('0' + s.activity);
    s.restart_requested = false;
  }
}

}  // namespace

void unlock() {
  Shell& s = shell();
  if (s.level == s.activity && s.level < 9) ++s.level;
}

void draw_screen() {
  Shell& s = shell();
  if (Activity* a = current())
    a->draw();
  else
    draw_title_screen();
  if (s.help_shown) draw_help_page(s.help_pages[s.activity]);
  if (s.info_shown) {
    media::DisplayMode m = media::display_settings();
    std::string text = s.app_title + " " + s.app_version + " " + std::to_string(m.width) + "," +
                       std::to_string(m.height) + "," + std::to_string(m.depth) + "," + std::to_string(m.hz);
    draw_label(text, s.big_font, 0, 0, 20);
  }
  draw_activity_number();
}

void redraw() {
  Shell& s = shell();
  draw_screen();
  int a = s.activity;
  if (a == 1 || a == 2 || (a >= 5 && a <= 9)) media::draw_image(s.pointer_image, media::mouse_x(), media::mouse_y(), 0);
  media::present(1);
}

void update_activity() {
  Shell& s = shell();
  if (s.activity == 3 || s.activity == 4)
    if (Activity* a = current()) a->update();
}

void on_left_click() {
  Shell& s = shell();
  s.help_shown = false;
  Activity* a = current();
  if (!a) return;
  switch (s.activity) {
    case 3:
    case 4:
      a->left_click();
      unlock();
      break;
    case 5:
    case 6:
      a->left_click();
      if (a->completed()) unlock();
      restart_check();
      break;
    case 7: a->left_click(); break;
    case 8:
    case 9:
      a->left_click();
      restart_check();
      break;
    default: break;
  }
}

void on_right_click() {
  Shell& s = shell();
  s.help_shown = false;
  Activity* a = current();
  if (a && (s.activity == 3 || s.activity == 4 || s.activity == 7 || s.activity == 9)) a->right_click();
}

void on_mouse_move() {
  Shell& s = shell();
  Activity* a = current();
  if (a && (s.activity == 1 || s.activity == 2)) a->mouse_move();
}

Turn on_key(int code) {
  Shell& s = shell();
  if (s.ctrl_down && code == media::KEY_Q) {
    save_progress_now();
    return Turn::Quit;
  }
  if (code == media::KEY_H || code == media::KEY_F1) {
    if (s.activity == 3 && s.help_shown && s.activity_slots[3]) s.activity_slots[3]->clear();
    s.help_shown = !s.help_shown;
    return Turn::Continue;
  }
  s.help_shown = false;
  s.waiting_for_pictures = 0;  // any later key replaces a digit still waiting for its pictures
  if (code == media::KEY_S)
    s.sound_on = !s.sound_on;
  else if (code == media::KEY_0)
    s.activity = 0;
  else if (code >= media::KEY_1 && code <= media::KEY_9)
    select_activity(code - media::KEY_0);
  return Turn::Continue;
}

Turn handle_event(const media::Event& e) {
  Shell& s = shell();
  switch (e.id) {
    case media::EV_TERMINATE: save_progress_now(); return Turn::Quit;
    case media::EV_KEY_DOWN:
      s.redraw_needed = true;
      if (e.data == media::KEY_ESCAPE) {
        save_progress_now();
        return Turn::Quit;
      }
      if (e.data == media::KEY_V) {
        s.info_shown = !s.info_shown;
      } else if (e.data == media::KEY_LCONTROL || e.data == media::KEY_RCONTROL) {
        s.ctrl_down = true;
      } else {
        return on_key(e.data);
      }
      return Turn::Continue;
    case media::EV_KEY_UP:
      if (e.data == media::KEY_LCONTROL || e.data == media::KEY_RCONTROL) s.ctrl_down = false;
      return Turn::Continue;
    case media::EV_MOUSE_DOWN:
      s.redraw_needed = true;
      if (e.data == 1) {
        if (s.ctrl_down)
          on_right_click();
        else
          on_left_click();
      } else if (e.data == 2) {
        on_right_click();
      }
      return Turn::Continue;
    case media::EV_MOUSE_MOVE:
      if (media::millisecs() - s.last_move_ms > 10) {
        s.redraw_needed = true;
        on_mouse_move();
        s.last_move_ms = media::millisecs();
      }
      return Turn::Continue;
    default: return Turn::Continue;
  }
}

Turn turn() {
  Shell& s = shell();
  // Pictures still loading join the list here; the title shows how far loading has come.
  if (s.pictures.poll() && s.activity == 0) s.redraw_needed = true;
  if (s.waiting_for_pictures && pictures_ready_for(s.pictures, s.waiting_for_pictures)) {
    on_key(media::KEY_0 + s.waiting_for_pictures);
    s.redraw_needed = true;
  }
  if (s.redraw_needed) {
    redraw();
    s.redraw_needed = false;
  }
  update_activity();
  Turn t = handle_event(media::wait_event());
  if (t == Turn::Continue && media::terminate_requested()) {
    // The window was closed while this turn ran: an orderly end, so the progress is kept too.
    save_progress_now();
    return Turn::Quit;
  }
  return t;
}

void save_progress_now() {
  Shell& s = shell();
  save_progress(s.config_dir + "pipkin.txt", s.level);
}

}  // namespace app
