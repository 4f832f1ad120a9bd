// The parent's screens over play: the break screen when play time is up, and the settings page
// (Control+P). Both are traps: the child's clicks and keys reach nothing beneath them. What they let
// through to the loop is the parent's own commands: the page, quitting, sound and the version.
#pragma once
#include <functional>

#include "app/parent/parent.hpp"
#include "app/shell/screens.hpp"

namespace app {

// Carries out what the parent's side reported (the loop's to do: progress, the lock, the end).
using ApplyAsk = std::function<Turn(ParentAsk)>;

// The page takes every plain key (Tab, the arrows, Return, Space, Escape) and the left clicks.
class SettingsScreen final : public Screen {
 public:
  SettingsScreen(Parent& parent, ApplyAsk apply) : parent_(parent), apply_(std::move(apply)) {}
  Layer layer() const override { return Layer::Page; }
  bool trap() const override { return true; }
  std::optional<bool> pointer_shown() const override { return true; }
  Reach click(const media::Event& e) override;
  // The pointer moves over the page.
  Reach pointer(const media::Event&) override { return Reach::Redraw; }
  Reach key(const KeyInput& k) override;
  void draw() const override { parent_.draw_page(); }

 private:
  Reach ask(ParentAsk ask);

  Parent& parent_;
  ApplyAsk apply_;
};

// The break picture covers everything, without the pointer; clicks change nothing. Only keys with
// Control reach the loop, and S on its own, which silences the break's tune.
class BreakScreen final : public Screen {
 public:
  explicit BreakScreen(const Parent& parent) : parent_(parent) {}
  Layer layer() const override { return Layer::Break; }
  bool opaque() const override { return true; }
  bool trap() const override { return true; }
  std::optional<bool> pointer_shown() const override { return false; }
  Reach click(const media::Event&) override { return Reach::Handled; }
  Reach pointer(const media::Event&) override { return Reach::Handled; }
  Reach key(const KeyInput& k) override;
  void draw() const override { parent_.draw_break(); }

 private:
  const Parent& parent_;
};

}  // namespace app
