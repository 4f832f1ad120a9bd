#include "app/shell/loop.hpp"

#include <algorithm>

#include "app/start/config.hpp"
#include "app/shell/furniture.hpp"
#include "app/shell/keys.hpp"
#include "app/start/version.hpp"
#include "media/input/clock.hpp"
#include "media/display/display.hpp"
#include "media/display/draw.hpp"
#include "media/input/window_view.hpp"

namespace app {
namespace {

constexpr int kMoveGapMs = 10;  // pointer moves are handled only more than this apart
// While pictures load, the title's progress is redrawn at most this often: a full-screen redraw for
// every picture would take the CPU the loading needs.
constexpr int kProgressRedrawMs = 250;

}  // namespace

Loop::Loop(const Assets& assets, ActivityTable table, std::string progress_file, int level, bool child_lock)
    : assets_(assets),
      table_(std::move(table)),
      progress_file_(std::move(progress_file)),
      sounds_(assets.data_dir),
      context_{assets_, sounds_, *this},
      child_lock_(child_lock),
      slots_(static_cast<size_t>(table_.count() + 1)) {
  state_.level = level;
  state_.last_move_ms = media::millisecs();
}

Activity* Loop::slot(int digit) const {
  return table_.has(digit) ? slots_[static_cast<size_t>(digit)].get() : nullptr;
}

void Loop::draw_screen() {
  const bool on_break = parent_ && parent_->on_break();
  if (on_break) {
    // The break screen covers everything; the parent's side draws it below.
  } else if (Activity* a = current()) {
    a->draw();
  } else {
    draw_title_screen(assets_, parent_ ? parent_->folder_lines() : std::vector<std::string>{});
  }
  if (!on_break && !current() && child_lock_ && (media::not_held(lock_answer_) || media::not_held(pointer_answer_)))
    draw_lock_notice(assets_, lock_answer_, pointer_answer_);
  if (state_.help_shown) {
    // Page 0 of the installed program names its own folders, written in at run time.
    const media::ImagePtr installed = state_.activity == 0 && parent_ ? parent_->installed_help_page() : nullptr;
    draw_help_page(assets_, installed ? installed : assets_.help_page(state_.activity));
    if (installed)
      parent_->draw_help_folders((assets_.screen_w - media::image_width(installed)) / 2,
                                 (assets_.screen_h - media::image_height(installed)) / 2);
  }
  if (state_.info_shown) {
    media::DisplayMode m = media::display_settings();
    std::string text = std::string(kAppTitle) + " " + kAppVersion + " " + std::to_string(m.width) + "," +
                       std::to_string(m.height) + "," + std::to_string(m.depth) + "," + std::to_string(m.hz);
    if (child_lock_) text += " " + lock_label(lock_answer_, pointer_answer_);
    draw_label(text, assets_.big_font, 0, 0, 20);
  }
  if (!on_break) draw_activity_number(assets_, state_.activity);
  if (parent_) parent_->draw();
  if (ring_shown(state_.ring_held_ms))
    draw_hold_ring(assets_, state_.ring, static_cast<float>(state_.ring_held_ms) / kChordHoldMs);
}

void Loop::redraw() {
  draw_screen();
  // The parent's page always shows the pointer; the break screen never does. A finger needs no
  // pointer image: it hides while a finger moved the pointer last, and the next mouse move shows it.
  const bool page = parent_ && parent_->page_shown();
  const bool on_break = parent_ && parent_->on_break();
  const bool by_finger = state_.pointer == media::PointerKind::Touch;
  if (Activity* a = current(); !by_finger && (page || (!on_break && a && a->traits().pointer_shown)))
    media::draw_image(assets_.pointer_image, static_cast<float>(state_.pointer_x),
                      static_cast<float>(state_.pointer_y), 0);
  media::present(1);
}

void Loop::redraw_if_needed() {
  if (!state_.redraw_needed) return;
  redraw();
  state_.redraw_needed = false;
}

void Loop::update_activity() {
  if (Activity* a = current(); a && a->traits().animated) dispatch([&] { return a->update(media::millisecs()); });
}

template <class Handler>
void Loop::dispatch(Handler handler) {
  escape_.emplace();
  const Outcome outcome = handler();
  escape_.reset();
  if (warp_to_) {
    const auto [x, y] = *warp_to_;
    warp_to_.reset();
    // Under a finger the mouse stays where it was left: warping it would only move a hidden pointer.
    if (state_.pointer != media::PointerKind::Touch) media::warp_pointer(x, y);
    state_.pointer_x = x;
    state_.pointer_y = y;
    state_.redraw_needed = true;
  }
  report(outcome);
}

void Loop::move_pointer(int x, int y) { warp_to_ = {x, y}; }

void Loop::hold_input(int ms) {
  state_.holding = true;
  state_.hold_until_ms = media::millisecs() + ms;
}

void Loop::show_thinking() {
  draw_thinking(assets_);
  media::present(1);
}

bool Loop::stop_asked() { return escape_ && escape_->pressed(); }

// The one place where what an activity did changes the loop's state.
void Loop::report(Outcome outcome) {
  switch (outcome) {
    case Outcome::Nothing: break;
    case Outcome::Redraw: state_.redraw_needed = true; break;
    case Outcome::Finished:
      state_.redraw_needed = true;  // a game may end on a tick, with no input to redraw for
      // Finishing a game of the highest unlocked activity opens the next one, if the table has one.
      if (state_.level == state_.activity && state_.level < table_.count()) ++state_.level;
      break;
    case Outcome::Restart:
      state_.help_shown = false;
      choose(state_.activity);
      break;
  }
}

PointerInput Loop::pointer_input(media::Button button) const {
  return PointerInput{state_.pointer_x, state_.pointer_y, button, state_.pointer, state_.pointer_id};
}

void Loop::follow_pointer(const media::Event& e) {
  state_.pointer_x = e.x;
  state_.pointer_y = e.y;
  state_.pointer = e.pointer;
  state_.pointer_id = e.pointer_id;
}

// A left click with Control held is a right click; other buttons do nothing.
void Loop::on_pointer_down(const media::Event& e) {
  follow_pointer(e);
  state_.redraw_needed = true;
  media::Button button = e.button;
  if (button == media::Button::Left && state_.ctrl_down) button = media::Button::Right;
  if (button != media::Button::Left && button != media::Button::Right) return;
  state_.help_shown = false;
  Activity* a = current();
  if (!a) return;
  // A finger coming down is the pointer arriving there, then a click, as the mouse would be: what
  // follows the pointer reacts at once, before the click.
  if (e.pointer == media::PointerKind::Touch && button == media::Button::Left) {
    move_now();
    if (current() != a) return;  // the move restarted it
  }
  if (button == media::Button::Right && !a->traits().wants_right_clicks) return;
  dispatch([&] { return a->click(pointer_input(button)); });
}

// A finger lifted: the pointer's last moves are handed on first, then the lift.
void Loop::on_pointer_up(const media::Event& e) {
  follow_pointer(e);
  if (e.pointer != media::PointerKind::Touch) return;
  state_.redraw_needed = true;
  Activity* a = current();
  if (!a) return;
  if (state_.move_pending) move_now();
  if (current() == a) dispatch([&] { return a->release(pointer_input(media::Button::Left)); });
}

void Loop::on_pointer_move() {
  if (Activity* a = current(); a && a->traits().wants_moves)
    dispatch([&] { return a->move(pointer_input(media::Button::None)); });
}

// Moves are taken at most one per kMoveGapMs: the ones in between are dropped at no cost, but the
// last of a burst is kept back and handled on a later tick, at the pointer's latest place. A busy
// program takes in a burst of moves within one millisecond; without this, a pointer that came to
// rest inside a picture frame would leave the frame as if never entered.
void Loop::handle_pending_move() {
  if (state_.move_pending && media::millisecs() - state_.last_move_ms > kMoveGapMs) move_now();
}

void Loop::move_now() {
  state_.move_pending = false;
  // The title screen has nothing that follows the pointer: redrawing it for every move would take
  // the CPU from the pictures loading behind it, while a parent moves the mouse waiting for them.
  if (current()) state_.redraw_needed = true;
  on_pointer_move();
  state_.last_move_ms = media::millisecs();
}

void Loop::choose_when_pictures_ready(int digit) {
  state_.waiting_digit = 0;
  if (state_.level < digit) return;  // still locked
  const ActivityMaker& make = table_[digit];  // empty beyond the table: the digit does nothing
  if (!make) return;
  // Pictures still loading: the digit is remembered and chosen once the pictures it shows are in.
  if (!pictures_ready(*assets_.pictures, make.pictures_to_start())) {
    state_.waiting_digit = digit;
    return;
  }
  choose(digit);
}

void Loop::choose(int digit) {
  if (state_.level < digit) return;  // still locked
  const ActivityMaker& make = table_[digit];
  if (!make) return;
  ActivityPtr& slot = slots_[static_cast<size_t>(digit)];
  if (slot) {
    choose_again(digit, state_.activity == digit);
  } else {
    ActivityPtr made;
    dispatch([&] {
      made = make(context_);
      return Outcome::Nothing;
    });
    if (!made) return;  // nothing could be built: the key does nothing
    slot = std::move(made);
  }
  state_.activity = digit;
}

void Loop::choose_again(int digit, bool was_current) {
  ActivityPtr& slot = slots_[static_cast<size_t>(digit)];
  const Traits& t = slot->traits();
  Again again = was_current ? t.again_while_current
                            : (slot->finished() ? t.again_when_finished : t.again_coming_back);
  dispatch([&] {
    switch (again) {
      case Again::Resume: break;
      case Again::Clear: slot->clear(); break;
      case Again::Restart: slot->setup(); break;
      case Again::NewGame:
        if (ActivityPtr next = slot->new_game()) slot = std::move(next);
        break;
    }
    return Outcome::Nothing;
  });
}

// Without the child lock a key acts as it goes down.
Turn Loop::on_key(media::Key key) { return carry_out(command_for_key(key, state_.ctrl_down)); }

Turn Loop::carry_out(KeyCommand k) {
  // The parent's page and the break screen take only what the parent needs: the page itself,
  // quitting, sound and the version.
  if (parent_ && parent_->has_screen() && k.command != Command::Settings && k.command != Command::Quit &&
      k.command != Command::ToggleSound && k.command != Command::ToggleInfo && k.command != Command::ControlDown)
    return Turn::Continue;
  state_.redraw_needed = true;
  if (closes_help(k.command)) state_.help_shown = false;
  // Any later key replaces a digit still waiting for its pictures (Control is half of a key).
  if (k.command != Command::ControlDown) state_.waiting_digit = 0;
  switch (k.command) {
    case Command::Quit: save_progress(); return Turn::Quit;
    case Command::ToggleInfo: state_.info_shown = !state_.info_shown; break;
    case Command::ControlDown: state_.ctrl_down = true; break;
    case Command::ToggleHelp: {
      Activity* a = current();
      if (a && state_.help_shown && a->traits().clear_when_help_closes) a->clear();
      state_.help_shown = !state_.help_shown;
      break;
    }
    case Command::ToggleSound: sounds_.set_on(!sounds_.on()); break;
    case Command::TitleScreen: state_.activity = 0; break;
    case Command::Choose: choose_when_pictures_ready(k.digit); break;
    case Command::Settings:
      if (parent_) apply(parent_->toggle_page());
      break;
    case Command::Nothing: break;
  }
  return Turn::Continue;
}

// With the child lock a key going down never acts by itself: it starts or spoils a chord. Control
// alone changes nothing to see, so it costs no redraw.
void Loop::on_locked_key_down(media::Key key, int at_ms) {
  if (media::is_control(key)) state_.ctrl_down = true;
  chord_key_down(state_.chord, key, at_ms);
  follow_held_chord(at_ms);
}

// A chord that ends cleanly acts now, as its key would with Control held. A chord that acts only
// when held (quitting, opening the parent's page) let go before its second is up does nothing, and
// its ring goes.
Turn Loop::on_locked_key_up(media::Key key, int at_ms) {
  const HeldChord needs_hold = held_chord();
  const std::optional<media::Key> chord_key = chord_key_up(state_.chord, key);
  follow_held_chord(at_ms);
  if (!chord_key || needs_hold != HeldChord::None) return Turn::Continue;
  return carry_out(command_for_key(*chord_key, true));
}

// Closing the parent's page is never a danger, so on the page Control+P acts as it ends.
HeldChord Loop::held_chord() const {
  if (!child_lock_ || !state_.chord.held || state_.chord.acted) return HeldChord::None;
  switch (command_for_key(state_.chord.key, true).command) {
    case Command::Quit: return HeldChord::Quit;
    case Command::Settings: return parent_ && !parent_->page_shown() ? HeldChord::Settings : HeldChord::None;
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
  return carry_out({Command::Settings});
}

bool Loop::hold_lasts() {
  if (state_.holding && media::millisecs() >= state_.hold_until_ms) state_.holding = false;
  return state_.holding;
}

// The activity gets its turn first, so a look that ends now is over before the input after it.
Turn Loop::hand_on_held_input() {
  if (held_.empty() || hold_lasts()) return Turn::Continue;
  update_activity();
  while (!held_.empty() && !hold_lasts()) {
    const media::Event e = held_.front();
    held_.pop_front();
    if (handle_input(e) == Turn::Quit) return Turn::Quit;
  }
  return Turn::Continue;
}

// Only keys with Control reach the loop's commands here: a child's clicks and keys on the break
// screen change nothing, and on the page plain keys belong to the page.
Turn Loop::on_parent_input(const media::Event& e) {
  using media::EventKind;
  switch (e.kind) {
    case EventKind::PointerDown:
      follow_pointer(e);
      if (!parent_->page_shown()) return Turn::Continue;
      state_.redraw_needed = true;
      return e.button == media::Button::Left ? apply(parent_->page_click(e.x, e.y)) : Turn::Continue;
    case EventKind::PointerMove:
    case EventKind::PointerUp:
      follow_pointer(e);
      if (parent_->page_shown()) state_.redraw_needed = true;  // the pointer moves over the page
      return Turn::Continue;
    case EventKind::KeyDown:
      if (child_lock_) {
        on_locked_key_down(e.key, media::event_time(e));
      } else if (media::is_control(e.key)) {
        state_.ctrl_down = true;
        return Turn::Continue;
      }
      if (media::is_control(e.key)) return Turn::Continue;
      if (!state_.ctrl_down && parent_->page_shown()) return apply(parent_->page_key(e.key));
      if (child_lock_) return Turn::Continue;  // its chord acts when it ends
      // Without the lock: Control with P, Q or Escape; and S on its own silences the break's tune.
      if (state_.ctrl_down || e.key == media::Key::S) return carry_out(command_for_key(e.key, state_.ctrl_down));
      return Turn::Continue;
    case EventKind::KeyUp:
      if (media::is_control(e.key)) state_.ctrl_down = false;
      return child_lock_ ? on_locked_key_up(e.key, media::event_time(e)) : Turn::Continue;
    default: return Turn::Continue;
  }
}

Turn Loop::apply(ParentAsk ask) {
  switch (ask) {
    case ParentAsk::Nothing: return Turn::Continue;
    case ParentAsk::Redraw: break;
    case ParentAsk::StartAgain:
      state_.level = 1;
      if (state_.activity > 1) state_.activity = 0;  // it is locked now: back to the title
      save_progress();
      break;
    case ParentAsk::OpenAll:
      state_.level = std::max(1, table_.count());
      save_progress();
      break;
    case ParentAsk::LockChanged:
      child_lock_ = parent_->child_lock();
      state_.chord = Chord{};
      state_.ring = HeldChord::None;
      state_.ring_held_ms = -1;
      break;
    case ParentAsk::Quit: save_progress(); return Turn::Quit;
  }
  state_.redraw_needed = true;
  return Turn::Continue;
}

Turn Loop::handle_event(const media::Event& e) {
  using media::EventKind;
  if (act_on_held_chord(media::event_time(e)) == Turn::Quit) return Turn::Quit;
  const bool pointer = e.kind == EventKind::PointerDown || e.kind == EventKind::PointerUp ||
                       e.kind == EventKind::PointerMove;
  if (pointer && e.pointer == media::PointerKind::Touch) return on_touch(e);
  if (e.kind == EventKind::Tick && handle_all(touch_.tick(media::millisecs())) == Turn::Quit) return Turn::Quit;
  if (e.kind == EventKind::WindowInactive) touch_.forget();  // its lifts may go elsewhere
  return handle_input(e);
}

Turn Loop::on_touch(const media::Event& e) {
  touch_.set_window_scale(media::window_scale());
  const bool page = parent_ && parent_->has_screen();
  const Activity* a = current();
  touch_.set_each_finger_clicks(!page && a && a->traits().fingers_each_click);
  switch (e.kind) {
    case media::EventKind::PointerDown: return handle_all(touch_.down(e.pointer_id, e.x, e.y, media::millisecs()));
    case media::EventKind::PointerUp: return handle_all(touch_.up(e.pointer_id, e.x, e.y, media::millisecs()));
    default: return handle_all(touch_.move(e.pointer_id, e.x, e.y));
  }
}

Turn Loop::handle_all(const std::vector<media::Event>& events) {
  for (const media::Event& e : events)
    if (handle_input(e) == Turn::Quit) return Turn::Quit;
  return Turn::Continue;
}

Turn Loop::handle_input(const media::Event& e) {
  using media::EventKind;
  const bool input = e.kind == EventKind::KeyDown || e.kind == EventKind::KeyUp || e.kind == EventKind::KeyRepeat ||
                     e.kind == EventKind::Text || e.kind == EventKind::PointerDown || e.kind == EventKind::PointerUp ||
                     e.kind == EventKind::PointerMove;
  if (input && parent_ && parent_->has_screen()) return on_parent_input(e);
  if (input && hold_lasts()) {
    // Kept for later, as many as the event ring holds: a child clicking on meanwhile loses nothing.
    if (held_.size() < static_cast<size_t>(media::kEventRing)) held_.push_back(e);
    return Turn::Continue;
  }
  switch (e.kind) {
    case EventKind::Quit: save_progress(); return Turn::Quit;
    case EventKind::KeyDown:
      if (!child_lock_) return on_key(e.key);
      on_locked_key_down(e.key, media::event_time(e));
      return Turn::Continue;
    case EventKind::KeyUp:
      if (media::is_control(e.key)) state_.ctrl_down = false;
      return child_lock_ ? on_locked_key_up(e.key, media::event_time(e)) : Turn::Continue;
    case EventKind::PointerDown: on_pointer_down(e); return Turn::Continue;
    case EventKind::PointerMove:
      follow_pointer(e);
      state_.move_pending = true;
      handle_pending_move();
      return Turn::Continue;
    case EventKind::Tick:
      on_timer_tick(media::event_time(e));
      handle_pending_move();
      return hand_on_held_input();
    case EventKind::PointerUp: on_pointer_up(e); return Turn::Continue;
    case EventKind::WindowActive:
    case EventKind::WindowInactive:
      state_.window_active = e.kind == EventKind::WindowActive;
      return Turn::Continue;
    case EventKind::KeyRepeat:
    case EventKind::Text:
    case EventKind::None: return Turn::Continue;
  }
  return Turn::Continue;
}

void Loop::on_timer_tick(int now_ms) {
  // The desktop answers the child lock's question some time after the screen opens.
  if (media::Hold answer = media::keyboard_hold(); answer != lock_answer_) {
    lock_answer_ = answer;
    if (child_lock_) state_.redraw_needed = true;
  }
  if (media::Hold answer = media::pointer_hold(); answer != pointer_answer_) {
    pointer_answer_ = answer;
    if (child_lock_) state_.redraw_needed = true;
  }
  follow_held_chord(now_ms);
  if (parent_) {
    const bool was_on_break = parent_->on_break();
    // A look an activity asked for ends before the break begins.
    if (parent_->tick(media::millisecs(), state_.window_active, !state_.holding)) state_.redraw_needed = true;
    if (!was_on_break && parent_->on_break()) state_.help_shown = false;
  }
  if (!loading_) return;
  if (loading_->poll()) progress_unshown_ = true;
  if (loading_->take_shown_replaced()) state_.redraw_needed = true;  // a preview on screen is now the full picture
  const int now = media::millisecs();
  if (progress_unshown_ && state_.activity == 0 &&
      (!loading_->loading() || now - progress_drawn_ms_ >= kProgressRedrawMs)) {
    state_.redraw_needed = true;  // the title's progress
    progress_unshown_ = false;
    progress_drawn_ms_ = now;
  }
  if (state_.waiting_digit && table_[state_.waiting_digit] &&
      pictures_ready(*assets_.pictures, table_[state_.waiting_digit].pictures_to_start())) {
    const int digit = state_.waiting_digit;
    state_.waiting_digit = 0;
    state_.help_shown = false;
    state_.redraw_needed = true;
    choose(digit);
  }
}

Turn Loop::turn() {
  redraw_if_needed();
  update_activity();
  Turn t = handle_event(media::wait_event());
  if (t == Turn::Continue && media::take_quit_request()) {
    // The window was closed while this turn ran: an orderly end, so the progress is kept too.
    save_progress();
    return Turn::Quit;
  }
  return t;
}

void Loop::save_progress() const {
  if (!progress_file_.empty()) app::save_progress(progress_file_, state_.level);  // "": not kept, said at start
}

}  // namespace app
