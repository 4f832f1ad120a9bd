// The event loop: redraw when needed, step the animated activity, then one event at a time. The
// loop owns its state and the activity objects; it knows the activities only through the digit
// table and their traits, and changes its state from what their handlers report. Each piece is
// callable on its own, so tests drive the loop event by event.
#pragma once
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/shell/activity.hpp"
#include "app/start/assets.hpp"
#include "app/shell/effects.hpp"
#include "app/shell/keys.hpp"
#include "app/parent/parent.hpp"
#include "app/pictures/picture_store.hpp"
#include "app/shell/touch.hpp"
#include "media/input/events.hpp"
#include "media/input/desktop_hold.hpp"

namespace app {

enum class Turn { Continue, Quit };


// The loop's own state, changed only by the loop.
struct LoopState {
  int activity = 0;  // the current activity; 0 is the title screen
  int level = 1;     // the highest unlocked activity
  bool help_shown = false;
  bool info_shown = false;
  bool redraw_needed = true;
  bool ctrl_down = false;  // a Control key is down: a left click is a right click
  int pointer_x = 0, pointer_y = 0;  // where the pointer is, as of the last pointer event or warp
  media::PointerKind pointer = media::PointerKind::Mouse;  // what moved it last
  int pointer_id = 0;
  int last_move_ms = 0;  // when the last handled pointer move was
  // A move came too soon after the last handled one and nothing handled since: it is handled once
  // the gap has passed, so the place where the pointer comes to rest is never missed.
  bool move_pending = false;
  int waiting_digit = 0;  // a digit pressed before its pictures were in; chosen once they are
  // Child lock only: the keys down and the Control chord under way.
  Chord chord;
  // Child lock only: the chord under way that acts only when held (quitting, or opening the parent's
  // page), and how long it has been held, up to the second it takes, as of the last event; -1 when
  // none is held. Drawn as a ring filling up, each in its own colour.
  HeldChord ring = HeldChord::None;
  int ring_held_ms = -1;
  // An activity asked for a moment to be looked at: input waits until then (see Requests::hold_input).
  int hold_until_ms = 0;
  bool holding = false;
  // The window is shown and has the keyboard's focus: play time counts only then.
  bool window_active = true;
};

// Under the child lock, quitting and opening the parent's page need their chord held this long.
constexpr int kChordHoldMs = 1000;
// The ring shows once the chord has been held this long: a palm that lands Control and Q first has
// spoilt the chord by then, so it does not flash the ring.
constexpr int kRingShowsMs = 100;
inline bool ring_shown(int held_ms) { return held_ms >= kRingShowsMs; }

class Loop final : private Requests {
 public:
  // The table says which digits choose an activity. The level is the stored progress; it is written
  // back to progress_file when the program ends.
  // With the child lock, keys work only as clean Control chords (app/shell/keys.hpp), and quitting and
  // opening the parent's page need their chord held for kChordHoldMs.
  Loop(const Assets& assets, ActivityTable table, std::string progress_file, int level, bool child_lock = false);
  Loop(const Loop&) = delete;
  Loop& operator=(const Loop&) = delete;

  // Pictures still loading in the background: the loop publishes what is done on every timer tick,
  // redraws the title's progress and chooses a digit that was waiting for its pictures.
  void poll_pictures_from(PictureStore& store) { loading_ = &store; }
  // The parent's settings page and play-time limit (app/parent/parent.hpp): Control+P reaches it, and while
  // its page or break screen has the screen it sees the input instead of the activity.
  void attach_parent(Parent& parent) { parent_ = &parent; }
  void set_sound_on(bool on) { sounds_.set_on(on); }
  bool child_lock() const { return child_lock_; }

  const LoopState& state() const { return state_; }
  bool sound_on() const { return sounds_.on(); }
  const SoundEffects& sounds() const { return sounds_; }
  Effects& effects() { return sounds_; }  // for the parent's side: S silences its tune too
  Activity* slot(int digit) const;
  Activity* current() const { return slot(state_.activity); }

  // One full turn: redraw if needed, update, wait for and handle one event.
  Turn turn();
  void redraw_if_needed();
  void redraw();       // the screen, the loop's pointer, present
  void draw_screen();  // the activity (or title screen), help page, label, number, quit ring
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
  Turn handle_all(const std::vector<media::Event>& events);
  // Input as it means to the loop (a finger's already turned into pointer events).
  Turn handle_input(const media::Event& e);
  Turn on_key(media::Key key);
  // Input while the parent's page or break screen has the screen.
  Turn on_parent_input(const media::Event& e);
  Turn apply(ParentAsk ask);
  Turn carry_out(KeyCommand k);
  void on_locked_key_down(media::Key key, int at_ms);
  Turn on_locked_key_up(media::Key key, int at_ms);
  HeldChord held_chord() const;
  void follow_held_chord(int now_ms);
  // A held chord whose second is up at now_ms acts (the page opens, or the program ends).
  Turn act_on_held_chord(int now_ms);
  void on_pointer_down(const media::Event& e);
  void on_pointer_move();
  void on_pointer_up(const media::Event& e);
  void follow_pointer(const media::Event& e);
  PointerInput pointer_input(media::Button button) const;
  void handle_pending_move();
  // Hands the pointer's place on as a move now, whatever the gap since the last one (a finger
  // coming down or lifting must not wait for a later tick).
  void move_now();
  // Input that came while an activity's hold lasted, handed on in order once it is over.
  bool hold_lasts();
  Turn hand_on_held_input();
  // Runs an activity's handler and applies what it reported and asked for.
  template <class Handler>
  void dispatch(Handler handler);
  void report(Outcome outcome);
  void choose(int digit);
  void choose_when_pictures_ready(int digit);
  void choose_again(int digit, bool was_current);

  const Assets& assets_;
  ActivityTable table_;
  std::string progress_file_;
  SoundEffects sounds_;
  Context context_;
  bool child_lock_;
  media::Hold lock_answer_ = media::Hold::Off;     // what the desktop said of the keys when last looked at
  media::Hold pointer_answer_ = media::Hold::Off;  // and of the pointer
  PictureStore* loading_ = nullptr;
  Parent* parent_ = nullptr;
  std::optional<std::pair<int, int>> warp_to_;  // a pointer warp asked for by the running handler
  std::optional<media::EscapeWatch> escape_;    // Escape presses since the running handler began
  std::deque<media::Event> held_;               // input that came during a hold, oldest first
  TouchGestures touch_;                         // what the fingers on a touch screen do
  bool progress_unshown_ = false;  // pictures came in since the title last showed the progress
  int progress_drawn_ms_ = -(1 << 30);  // when it last did; long ago at first
  LoopState state_;
  std::vector<ActivityPtr> slots_;  // by digit, one per activity of the table; 0 stays empty
};

}  // namespace app
