#include "app/shell/parent_screens.hpp"

namespace app {
namespace {

// The commands a parent's screen lets through to the loop.
bool parents_command(const KeyInput& k) {
  if (!k.command) return false;
  switch (k.command->command) {
    case Command::Settings:
    case Command::Quit:
    case Command::ToggleSound:
    case Command::ToggleInfo: return true;
    default: return false;
  }
}

}  // namespace

Reach SettingsScreen::ask(ParentAsk ask) { return apply_(ask) == Turn::Quit ? Reach::Quit : Reach::Handled; }

Reach SettingsScreen::click(const media::Event& e) {
  if (e.button != media::Button::Left) return Reach::Redraw;
  return ask(parent_.page_click(e.x, e.y)) == Reach::Quit ? Reach::Quit : Reach::Redraw;
}

// A plain key belongs to the page, even under the child lock.
Reach SettingsScreen::key(const KeyInput& k) {
  if (k.plain()) return ask(parent_.page_key(k.pressed));
  return parents_command(k) ? Reach::Passed : Reach::Handled;
}

Reach BreakScreen::key(const KeyInput& k) {
  return parents_command(k) && (k.ctrl || k.pressed == media::Key::S) ? Reach::Passed : Reach::Handled;
}

}  // namespace app
