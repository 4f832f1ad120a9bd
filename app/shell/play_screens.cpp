#include "app/shell/play_screens.hpp"

#include <string>

#include "app/shell/furniture.hpp"
#include "app/start/version.hpp"
#include "media/display/display.hpp"
#include "media/display/draw.hpp"

namespace app {
namespace {

bool is_move(const media::Event& e) { return e.kind == media::EventKind::PointerMove; }
bool by_finger(const media::Event& e) { return e.pointer == media::PointerKind::Touch; }

}  // namespace

// The title has nothing that follows the pointer: redrawing it for every move would take the CPU
// from the pictures loading behind it, while a parent moves the mouse waiting for them.
Reach TitleScreen::pointer(const media::Event& e) {
  if (!is_move(e)) return by_finger(e) ? Reach::Redraw : Reach::Handled;
  MoveGap& moves = scene_.state.moves;
  moves.pending = true;
  if (moves.due(media::event_time(e))) moves.taken(media::event_time(e));
  return Reach::Handled;
}

bool TitleScreen::step(int at_ms) {
  if (scene_.state.moves.due(at_ms)) scene_.state.moves.taken(at_ms);
  return false;
}

void TitleScreen::draw() const {
  const LoopState& s = scene_.state;
  draw_title_screen(scene_.assets, scene_.parent ? scene_.parent->folder_lines() : std::vector<std::string>{});
  if (s.child_lock && (media::not_held(s.lock_answer) || media::not_held(s.pointer_answer)))
    draw_lock_notice(scene_.assets, s.lock_answer, s.pointer_answer);
}

PointerInput ActivityScreen::input(media::Button button) const {
  const LoopState& s = scene_.state;
  return PointerInput{s.pointer_x, s.pointer_y, button, s.pointer, s.pointer_id};
}

void ActivityScreen::move_now(int at_ms) {
  scene_.state.moves.taken(at_ms);
  if (activity_.traits().wants_moves) run_([&] { return activity_.move(input(media::Button::None)); });
}

// A left click with Control held is a right click; other buttons do nothing.
Reach ActivityScreen::click(const media::Event& e) {
  media::Button button = e.button;
  if (button == media::Button::Left && scene_.state.ctrl_down) button = media::Button::Right;
  if (button != media::Button::Left && button != media::Button::Right) return Reach::Redraw;
  // A finger coming down is the pointer arriving there, then a click, as the mouse would be: what
  // follows the pointer reacts at once, before the click.
  if (by_finger(e) && button == media::Button::Left) {
    move_now(media::event_time(e));
    if (gone()) return Reach::Redraw;  // the move restarted it
  }
  if (button == media::Button::Right && !activity_.traits().wants_right_clicks) return Reach::Redraw;
  run_([&] { return activity_.click(input(button)); });
  return Reach::Redraw;
}

// A move is handed on once the gap allows; a finger lifted hands on the pointer's last move first,
// then the lift.
Reach ActivityScreen::pointer(const media::Event& e) {
  const int at = media::event_time(e);
  MoveGap& moves = scene_.state.moves;
  if (is_move(e)) {
    moves.pending = true;
    if (!moves.due(at)) return Reach::Handled;
    move_now(at);
    return Reach::Redraw;
  }
  if (!by_finger(e)) return Reach::Handled;
  if (moves.pending) move_now(at);
  if (!gone()) run_([&] { return activity_.release(input(media::Button::Left)); });
  return Reach::Redraw;
}

bool ActivityScreen::step(int at_ms) {
  if (!scene_.state.moves.due(at_ms)) return false;
  move_now(at_ms);
  return true;
}

Reach HelpScreen::click(const media::Event& e) {
  if (e.button == media::Button::Left || e.button == media::Button::Right) leave();
  return Reach::Passed;
}

Reach HelpScreen::key(const KeyInput& k) {
  if (k.command && closes_help(k.command->command)) leave();
  return Reach::Passed;
}

void HelpScreen::draw() const {
  const Parent* parent = scene_.parent;
  const int activity = scene_.state.activity;
  // Page 0 of the installed program names its own folders, written in at run time.
  const media::ImagePtr installed = activity == 0 && parent ? parent->installed_help_page() : nullptr;
  draw_help_page(scene_.assets, installed ? installed : scene_.assets.help_page(scene_.table.id_of(activity), scene_.table.digit_of(activity)));
  if (installed)
    parent->draw_help_folders((scene_.assets.screen_w - media::image_width(installed)) / 2,
                              (scene_.assets.screen_h - media::image_height(installed)) / 2);
}

void draw_info_label(const Scene& scene) {
  const LoopState& s = scene.state;
  media::DisplayMode m = media::display_settings();
  std::string text = std::string(kAppTitle) + " " + kAppVersion + " " + std::to_string(m.width) + "," +
                     std::to_string(m.height) + "," + std::to_string(m.depth) + "," + std::to_string(m.hz);
  if (s.child_lock) text += " " + lock_label(s.lock_answer, s.pointer_answer);
  draw_label(text, scene.assets.big_font, 0, 0, 20);
}

void draw_number(const Scene& scene) { draw_activity_number(scene.assets, scene.state.activity); }

void draw_ring(const Scene& scene) {
  const LoopState& s = scene.state;
  if (ring_shown(s.ring_held_ms))
    draw_hold_ring(scene.assets, s.ring, static_cast<float>(s.ring_held_ms) / kChordHoldMs);
}

}  // namespace app
