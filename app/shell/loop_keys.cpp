// The loop's keys: Control followed in one place, the child lock's chords and their ring, and the
// commands no screen took.
#include "app/shell/loop.hpp"

#include <algorithm>

namespace app {

void Loop::toggle_help() {
  const bool open = !screens_.shown(Layer::Help);
  if (Activity* a = current(); a && !open && a->traits().clear_when_help_closes) a->clear();
  show(Layer::Help, open, [&] { return std::make_unique<HelpScreen>(scene_); });
}

// Control is followed here and nowhere else. With the child lock a key going down never acts by
// itself: it starts or spoils a chord, and only a page takes it as a plain key. Without the lock a
// key acts as it goes down.
Turn Loop::on_key_down(const media::Event& e) {
  if (media::is_control(e.key)) state_.ctrl_down = true;
  if (!state_.child_lock) return route_key({e.key, state_.ctrl_down, command_for_key(e.key, state_.ctrl_down)});
  const int at = media::event_time(e);
  chord_key_down(state_.chord, e.key, at);
  follow_held_chord(at);
  return route_key({e.key, state_.ctrl_down, std::nullopt});
}

// A chord that ends cleanly acts now, as its key would with Control held. A chord that acts only
// when held (quitting, opening the parent's page) let go before its second is up does nothing, and
// its ring goes.
Turn Loop::on_key_up(const media::Event& e) {
  if (media::is_control(e.key)) state_.ctrl_down = false;
  if (!state_.child_lock) return Turn::Continue;
  const HeldChord needs_hold = held_chord();
  const std::optional<media::Key> chord_key = chord_key_up(state_.chord, e.key);
  follow_held_chord(media::event_time(e));
  if (!chord_key || needs_hold != HeldChord::None) return Turn::Continue;
  return route_key({media::Key::None, true, command_for_key(*chord_key, true)});
}

// What no screen takes is the loop's command to carry out.
Turn Loop::route_key(const KeyInput& k) {
  const Reach r = screens_.key(k);
  if (r != Reach::Passed || !k.command) return reach(r);
  return carry_out(*k.command);
}

Turn Loop::reach(Reach r) {
  if (r == Reach::Redraw) state_.redraw_needed = true;
  return r == Reach::Quit ? Turn::Quit : Turn::Continue;
}

Turn Loop::carry_out(KeyCommand k) {
  state_.redraw_needed = true;
  // Any later key replaces a choice still waiting for its pictures (Control is half of a key).
  if (k.command != Command::ControlDown) state_.waiting_place = 0;
  switch (k.command) {
    case Command::Quit: save_progress(); return Turn::Quit;
    case Command::ToggleInfo:
      show(Layer::Label, !screens_.shown(Layer::Label),
           [&] { return std::make_unique<Overlay>(scene_, Layer::Label, draw_info_label); });
      break;
    case Command::ToggleHelp: toggle_help(); break;
    case Command::ToggleSound: sounds_.set_on(!sounds_.on()); break;
    case Command::TitleScreen:
      state_.activity = 0;
      show_play();
      break;
    case Command::Choose: choose_when_pictures_ready(table_.place_of_digit(k.digit)); break;
    case Command::Settings:
      if (parent_) apply(parent_->toggle_page());
      break;
    case Command::ControlDown:
    case Command::Nothing: break;
  }
  return Turn::Continue;
}

// Closing the parent's page is never a danger, so on the page Control+P acts as it ends.
HeldChord Loop::held_chord() const {
  if (!state_.child_lock || !state_.chord.held || state_.chord.acted) return HeldChord::None;
  switch (command_for_key(state_.chord.key, true).command) {
    case Command::Quit: return HeldChord::Quit;
    case Command::Settings: return parent_ && !screens_.shown(Layer::Page) ? HeldChord::Settings : HeldChord::None;
    default: return HeldChord::None;
  }
}

// The ring fills as a held chord goes on; the screen is redrawn only while it shows or as it goes.
void Loop::follow_held_chord(int now_ms) {
  const HeldChord h = held_chord();
  const int held = h != HeldChord::None ? std::clamp(now_ms - state_.chord.since_ms, 0, kChordHoldMs) : -1;
  if (held == state_.ring_held_ms && h == state_.ring) return;
  if (ring_shown(held) || ring_shown(state_.ring_held_ms)) state_.redraw_needed = true;
  state_.ring = h;
  state_.ring_held_ms = held;
  show(Layer::Ring, ring_shown(held), [&] { return std::make_unique<Overlay>(scene_, Layer::Ring, draw_ring); });
}

// Ticks come often enough that a held chord acts within a few milliseconds of its second; any
// event after that second, whatever it is, comes too late to stop it.
Turn Loop::act_on_held_chord(int now_ms) {
  const HeldChord h = held_chord();
  if (h == HeldChord::None || now_ms - state_.chord.since_ms < kChordHoldMs) return Turn::Continue;
  if (h == HeldChord::Quit) {
    save_progress();
    return Turn::Quit;
  }
  state_.chord.acted = true;  // letting go now does nothing more
  follow_held_chord(now_ms);
  return route_key({media::Key::None, true, KeyCommand{Command::Settings}});
}

}  // namespace app
