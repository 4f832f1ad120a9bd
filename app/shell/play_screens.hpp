// The screens of play: the title or the activity at the bottom, and the furniture over them (the
// help page, the info label, the activity's number and the quit ring). They read the loop's state;
// an activity's handlers run through the loop, which applies what they report.
#pragma once
#include <functional>

#include "app/parent/parent.hpp"
#include "app/shell/activity.hpp"
#include "app/shell/loop_state.hpp"
#include "app/shell/screens.hpp"
#include "app/start/assets.hpp"

namespace app {

// What the play's screens see: the assets, the loop's state and the parent's side when there is one.
struct Scene {
  const Assets& assets;
  LoopState& state;
  const ActivityTable& table;  // what each place's help page is called
  const Parent* parent = nullptr;
};

// Runs an activity's handler through the loop, which applies what it reported and asked for.
using RunHandler = std::function<void(const std::function<Outcome()>&)>;

// The title: the program's name, the pictures' progress and, under a child lock the desktop does not
// fully hold, a notice for the parent. Clicks only redraw it; it has nothing that follows the pointer.
class TitleScreen final : public Screen {
 public:
  explicit TitleScreen(const Scene& scene) : scene_(scene) {}
  Layer layer() const override { return Layer::Play; }
  std::optional<bool> pointer_shown() const override { return false; }
  Reach click(const media::Event&) override { return Reach::Redraw; }
  Reach pointer(const media::Event& e) override;
  bool step(int at_ms) override;
  void draw() const override;

 private:
  const Scene& scene_;
};

// An activity being played: clicks, moves and lifts as its traits ask for them.
class ActivityScreen final : public Screen {
 public:
  ActivityScreen(const Scene& scene, Activity& activity, RunHandler run)
      : scene_(scene), activity_(activity), run_(std::move(run)) {}
  Layer layer() const override { return Layer::Play; }
  std::optional<bool> pointer_shown() const override { return activity_.traits().pointer_shown; }
  const Activity& activity() const { return activity_; }
  Reach click(const media::Event& e) override;
  Reach pointer(const media::Event& e) override;
  bool step(int at_ms) override;
  void draw() const override { activity_.draw(); }

 private:
  // Hands the pointer's place on as a move now, whatever the gap since the last one (a finger
  // coming down or lifting must not wait for a later tick).
  void move_now(int at_ms);
  PointerInput input(media::Button button) const;

  const Scene& scene_;
  Activity& activity_;
  RunHandler run_;
};

// The help page of the screen beneath. Every key command but a few, and every click, closes it on
// its way down.
class HelpScreen final : public Screen {
 public:
  explicit HelpScreen(const Scene& scene) : scene_(scene) {}
  Layer layer() const override { return Layer::Help; }
  Reach click(const media::Event& e) override;
  Reach key(const KeyInput& k) override;
  void draw() const override;

 private:
  const Scene& scene_;
};

// Furniture over play that only shows, drawn from the loop's state: the info label, the activity's
// number and the quit ring.
class Overlay final : public Screen {
 public:
  using Draw = void (*)(const Scene&);
  Overlay(const Scene& scene, Layer layer, Draw draw) : scene_(scene), layer_(layer), draw_(draw) {}
  Layer layer() const override { return layer_; }
  void draw() const override { draw_(scene_); }

 private:
  const Scene& scene_;
  Layer layer_;
  Draw draw_;
};

// The version, the display's mode and, under the child lock, what the desktop holds.
void draw_info_label(const Scene& scene);
// The number of the activity in the corner.
void draw_number(const Scene& scene);
// The ring that fills while a chord that needs holding is held.
void draw_ring(const Scene& scene);

}  // namespace app
