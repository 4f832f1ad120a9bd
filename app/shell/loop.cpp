#include "app/shell/loop.hpp"

#include <algorithm>

#include "app/shell/furniture.hpp"
#include "app/shell/parent_screens.hpp"
#include "app/shell/progress.hpp"
#include "app/start/config.hpp"
#include "media/display/display.hpp"
#include "media/display/draw.hpp"
#include "media/input/clock.hpp"
#include "media/input/window_view.hpp"

namespace app {
namespace {

// While pictures load, the title's progress is redrawn at most this often: a full-screen redraw for
// every picture would take the CPU the loading needs.
constexpr int kProgressRedrawMs = 250;

bool is_input(const media::Event& e) {
  using media::EventKind;
  return e.kind == EventKind::KeyDown || e.kind == EventKind::KeyUp || e.kind == EventKind::KeyRepeat ||
         e.kind == EventKind::Text || e.kind == EventKind::PointerDown || e.kind == EventKind::PointerUp ||
         e.kind == EventKind::PointerMove;
}

}  // namespace

Loop::Loop(const Assets& assets, ActivityTable table, std::string progress_file, int level, bool child_lock)
    : assets_(assets),
      table_(std::move(table)),
      progress_file_(std::move(progress_file)),
      sounds_(assets.data_dir),
      context_{assets_, sounds_, *this},
      slots_(static_cast<size_t>(table_.count() + 1)) {
  state_.level = level;
  state_.child_lock = child_lock;
  state_.moves.last_ms = media::millisecs();
  show_play();
  screens_.push(std::make_unique<Overlay>(scene_, Layer::Number, draw_number));
}

Activity* Loop::slot(int place) const {
  return table_.has(place) ? slots_[static_cast<size_t>(place)].get() : nullptr;
}

void Loop::draw_screen() { screens_.draw(); }

void Loop::redraw() {
  draw_screen();
  // A finger needs no pointer image: it hides while a finger moved the pointer last, and the next
  // mouse move shows it. Otherwise the screens say.
  if (state_.pointer != media::PointerKind::Touch && screens_.pointer_shown())
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

void Loop::dispatch(const std::function<Outcome()>& handler) {
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
      screens_.remove(Layer::Help);
      choose(state_.activity);
      break;
  }
}

void Loop::follow_pointer(const media::Event& e) {
  state_.pointer_x = e.x;
  state_.pointer_y = e.y;
  state_.pointer = e.pointer;
  state_.pointer_id = e.pointer_id;
}

// The play layer shows the current activity, or the title; a new object (a new game, another
// activity) gets a screen of its own, and the one it replaces stops where it is.
void Loop::show_play() {
  Activity* a = current();
  if (screens_.shown(Layer::Play) && a == playing_) return;
  playing_ = a;
  if (a)
    screens_.push(std::make_unique<ActivityScreen>(scene_, *a, [this](const auto& handler) { dispatch(handler); }));
  else
    screens_.push(std::make_unique<TitleScreen>(scene_));
}

void Loop::show_parent() {
  if (!parent_) return;
  show(Layer::Break, parent_->on_break(), [&] { return std::make_unique<BreakScreen>(*parent_); });
  show(Layer::Page, parent_->page_shown(),
       [&] { return std::make_unique<SettingsScreen>(*parent_, [this](ParentAsk ask) { return apply(ask); }); });
}

void Loop::choose_when_pictures_ready(int place) {
  state_.waiting_place = 0;
  if (state_.level < place) return;  // still locked
  const ActivityMaker& make = table_[place];  // empty beyond the table: the key does nothing
  if (!make) return;
  // Pictures still loading: the choice is remembered and chosen once the pictures it shows are in.
  if (!pictures_ready(*assets_.pictures, make.pictures_to_start())) {
    state_.waiting_place = place;
    return;
  }
  choose(place);
}

void Loop::choose(int place) {
  if (state_.level < place) return;  // still locked
  const ActivityMaker& make = table_[place];
  if (!make) return;
  ActivityPtr& slot = slots_[static_cast<size_t>(place)];
  if (slot) {
    choose_again(place, state_.activity == place);
  } else {
    ActivityPtr made;
    dispatch([&] {
      made = make(context_);
      return Outcome::Nothing;
    });
    if (!made) return;  // nothing could be built: the key does nothing
    slot = std::move(made);
  }
  state_.activity = place;
  show_play();
}

void Loop::choose_again(int place, bool was_current) {
  ActivityPtr& slot = slots_[static_cast<size_t>(place)];
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

Turn Loop::apply(ParentAsk ask) {
  show_parent();
  switch (ask) {
    case ParentAsk::Nothing: return Turn::Continue;
    case ParentAsk::Redraw: break;
    case ParentAsk::StartAgain:
      state_.level = 1;
      if (state_.activity > 1) state_.activity = 0;  // it is locked now: back to the title
      show_play();
      save_progress();
      break;
    case ParentAsk::OpenAll:
      state_.level = std::max(1, table_.count());
      save_progress();
      break;
    case ParentAsk::LockChanged:
      state_.child_lock = parent_->child_lock();
      state_.chord = Chord{};
      state_.ring = HeldChord::None;
      state_.ring_held_ms = -1;
      screens_.remove(Layer::Ring);
      break;
    case ParentAsk::Quit: save_progress(); return Turn::Quit;
  }
  state_.redraw_needed = true;
  return Turn::Continue;
}

Turn Loop::handle_event(const media::Event& e) {
  using media::EventKind;
  const int at = media::event_time(e);
  if (act_on_held_chord(at) == Turn::Quit) return Turn::Quit;
  const bool pointer = e.kind == EventKind::PointerDown || e.kind == EventKind::PointerUp ||
                       e.kind == EventKind::PointerMove;
  if (pointer && e.pointer == media::PointerKind::Touch) return on_touch(e);
  if (e.kind == EventKind::Tick && handle_all(touch_.tick(at), at) == Turn::Quit) return Turn::Quit;
  if (e.kind == EventKind::WindowInactive) touch_.forget();  // its lifts may go elsewhere
  return handle_input(e);
}

// A finger is timed by its events' own stamps, so a long press taken in late still counts as held.
Turn Loop::on_touch(const media::Event& e) {
  const int at = media::event_time(e);
  touch_.set_window_scale(media::window_scale());
  const Activity* a = current();
  touch_.set_each_finger_clicks(!screens_.trapped() && a && a->traits().fingers_each_click);
  switch (e.kind) {
    case media::EventKind::PointerDown: return handle_all(touch_.down(e.pointer_id, e.x, e.y, at), at);
    case media::EventKind::PointerUp: return handle_all(touch_.up(e.pointer_id, e.x, e.y, at), at);
    default: return handle_all(touch_.move(e.pointer_id, e.x, e.y), at);
  }
}

// What the fingers mean happened when the finger did, or at the tick that found a long press.
Turn Loop::handle_all(const std::vector<media::Event>& events, int at_ms) {
  for (media::Event e : events) {
    if (e.time_ms == media::Event::kUnstamped) e.time_ms = at_ms;
    if (handle_input(e) == Turn::Quit) return Turn::Quit;
  }
  return Turn::Continue;
}

Turn Loop::handle_input(const media::Event& e) {
  using media::EventKind;
  // An activity's hold keeps input from play, not from the parent's screens over it. What comes
  // meanwhile is kept for later, as many as the event ring holds: a child clicking on loses nothing.
  if (is_input(e) && !screens_.trapped() && hold_lasts()) {
    if (held_.size() < static_cast<size_t>(media::kEventRing)) held_.push_back(e);
    return Turn::Continue;
  }
  switch (e.kind) {
    case EventKind::Quit: save_progress(); return Turn::Quit;
    case EventKind::KeyDown: return on_key_down(e);
    case EventKind::KeyUp: return on_key_up(e);
    case EventKind::PointerDown: follow_pointer(e); return reach(screens_.click(e));
    case EventKind::PointerMove:
    case EventKind::PointerUp: follow_pointer(e); return reach(screens_.pointer(e));
    case EventKind::Tick: {
      const int at = media::event_time(e);
      on_timer_tick(at);
      if (screens_.step(at)) state_.redraw_needed = true;
      return hand_on_held_input();
    }
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
  if (media::Hold answer = media::keyboard_hold(); answer != state_.lock_answer) {
    state_.lock_answer = answer;
    if (state_.child_lock) state_.redraw_needed = true;
  }
  if (media::Hold answer = media::pointer_hold(); answer != state_.pointer_answer) {
    state_.pointer_answer = answer;
    if (state_.child_lock) state_.redraw_needed = true;
  }
  follow_held_chord(now_ms);
  if (parent_) {
    const bool was_on_break = parent_->on_break();
    // A look an activity asked for ends before the break begins.
    if (parent_->tick(media::millisecs(), state_.window_active, !state_.holding)) state_.redraw_needed = true;
    if (!was_on_break && parent_->on_break()) screens_.remove(Layer::Help);
    show_parent();
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
  if (state_.waiting_place && table_[state_.waiting_place] &&
      pictures_ready(*assets_.pictures, table_[state_.waiting_place].pictures_to_start())) {
    const int place = state_.waiting_place;
    state_.waiting_place = 0;
    screens_.remove(Layer::Help);
    state_.redraw_needed = true;
    choose(place);
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
  if (!progress_file_.empty()) app::save_progress(progress_file_, state_.level, table_);  // "": not kept, said at start
}

}  // namespace app
