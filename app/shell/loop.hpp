// The event loop: redraw when needed, step the animated activity, then one event at a time. The
// loop owns its state and the activity objects; it knows the activities only through the activity
// table and their traits, and changes its state from what their handlers report. Each piece is
// callable on its own, so tests drive the loop event by event.
#pragma once
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/parent/parent.hpp"
#include "app/pictures/picture_store.hpp"
#include "app/shell/activity.hpp"
#include "app/shell/effects.hpp"
#include "app/shell/keys.hpp"
#include "app/shell/loop_state.hpp"
#include "app/shell/play_screens.hpp"
#include "app/shell/screens.hpp"
#include "app/shell/touch.hpp"
#include "app/start/assets.hpp"
#include "media/input/desktop_hold.hpp"
#include "media/input/events.hpp"

namespace app {

class Loop final : private Requests {
 public:
  // The table says which activities there are, in order (the first nine are the digit keys). The level is the stored progress; it is written
  // back to progress_file when the program ends.
  // With the child lock, keys work only as clean Control chords (app/shell/keys.hpp), and quitting and
  // opening the parent's page need their chord held for kChordHoldMs.
  Loop(const Assets& assets, ActivityTable table, std::string progress_file, int level, bool child_lock = false);
  Loop(const Loop&) = delete;
  Loop& operator=(const Loop&) = delete;

  // Pictures still loading in the background: the loop publishes what is done on every timer tick,
  // redraws the title's progress and chooses an activity that was waiting for its pictures.
  void poll_pictures_from(PictureStore& store) { loading_ = &store; }
  // The parent's settings page and play-time limit (app/parent/parent.hpp): Control+P reaches it, and
  // its page and break screen go over play as they show (app/shell/parent_screens.hpp).
  void attach_parent(Parent& parent) {
    parent_ = &parent;
    scene_.parent = &parent;
  }
  void set_sound_on(bool on) { sounds_.set_on(on); }
  bool child_lock() const { return state_.child_lock; }

  const LoopState& state() const { return state_; }
  // What shows over play: the help page (Layer::Help), the info label (Layer::Label) and so on.
  bool shown(Layer layer) const { return screens_.shown(layer); }
  bool sound_on() const { return sounds_.on(); }
  const SoundEffects& sounds() const { return sounds_; }
  Effects& effects() { return sounds_; }  // for the parent's side: S silences its tune too
  Activity* slot(int place) const;
  Activity* current() const { return slot(state_.activity); }

  // One full turn: redraw if needed, update, wait for and handle one event.
  Turn turn();
  void redraw_if_needed();
  void redraw();       // the screens, the loop's pointer, present
  void draw_screen();  // the screens, bottom to top
  void update_activity();
  // An event as the platform queues it. A finger's touch, move and lift first become what they
  // mean (app/shell/touch.hpp); ticks also time its long press.
  Turn handle_event(const media::Event& e);
  void on_timer_tick(int now_ms);
  void save_progress() const;

 private:
  // Requests, carried out for the activity that asks.
  void move_pointer(int x, int y) override;
  void hold_input(int ms) override;
  void show_thinking() override;
  bool stop_asked() override;

  // Fingers turned into pointer events, then handled as the mouse's are.
  Turn on_touch(const media::Event& e);
  Turn handle_all(const std::vector<media::Event>& events, int at_ms);
  // The one way input goes: a finger's already turned into pointer events, a key into what it means
  // under the key rules; then to the screens, top first, and what none takes to the loop's commands.
  Turn handle_input(const media::Event& e);
  Turn on_key_down(const media::Event& e);
  Turn on_key_up(const media::Event& e);
  Turn route_key(const KeyInput& k);
  Turn reach(Reach r);
  Turn carry_out(KeyCommand k);
  Turn apply(ParentAsk ask);
  HeldChord held_chord() const;
  void follow_held_chord(int now_ms);
  // A held chord whose second is up at now_ms acts (the page opens, or the program ends).
  Turn act_on_held_chord(int now_ms);
  void follow_pointer(const media::Event& e);
  // Input that came while an activity's hold lasted, handed on in order once it is over.
  bool hold_lasts();
  Turn hand_on_held_input();
  // The screens in their layers as the loop's state and the parent's side say; make() gives the
  // layer's screen when it comes to show.
  template <class Make>
  void show(Layer layer, bool on, Make make);
  void show_play();
  void show_parent();
  void toggle_help();
  // Runs an activity's handler and applies what it reported and asked for.
  void dispatch(const std::function<Outcome()>& handler);
  void report(Outcome outcome);
  void choose(int place);
  void choose_when_pictures_ready(int place);
  void choose_again(int place, bool was_current);

  const Assets& assets_;
  ActivityTable table_;
  std::string progress_file_;
  SoundEffects sounds_;
  Context context_;
  PictureStore* loading_ = nullptr;
  Parent* parent_ = nullptr;
  std::optional<std::pair<int, int>> warp_to_;  // a pointer warp asked for by the running handler
  std::optional<media::EscapeWatch> escape_;    // Escape presses since the running handler began
  std::deque<media::Event> held_;               // input that came during a hold, oldest first
  TouchGestures touch_;                         // what the fingers on a touch screen do
  bool progress_unshown_ = false;  // pictures came in since the title last showed the progress
  int progress_drawn_ms_ = -(1 << 30);  // when it last did; long ago at first
  LoopState state_;
  std::vector<ActivityPtr> slots_;  // by place, one per activity of the table; 0 stays empty
  Scene scene_{assets_, state_, table_};
  ScreenStack screens_;
  const Activity* playing_ = nullptr;  // the activity the play layer shows; none: the title
};

template <class Make>
void Loop::show(Layer layer, bool on, Make make) {
  if (on == screens_.shown(layer)) return;
  if (on)
    screens_.push(make());
  else
    screens_.remove(layer);
}

}  // namespace app
