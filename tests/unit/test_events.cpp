#include <gtest/gtest.h>

#include <SDL.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "media/display/display.hpp"
#include "media/input/events.hpp"

using namespace media;

namespace {

std::vector<Event> drain() {
  std::vector<Event> out;
  Event e;
  while (poll_event(e)) out.push_back(e);
  return out;
}

std::vector<EventKind> kinds(const std::vector<Event>& ev) {
  std::vector<EventKind> out;
  for (const Event& e : ev) out.push_back(e.kind);
  return out;
}

Event tick_numbered(int n) { return Event{.kind = EventKind::Tick, .x = n}; }

}  // namespace

TEST(Events, HeldKeyGivesOneDownThenRepeatsWithCharactersThenOneUp) {
  flush_events();
  // What the window system reports for a key held through two auto-repeats.
  input_key_down(Key::A, false);
  input_text("a");
  input_key_down(Key::A, true);
  input_text("a");
  input_key_down(Key::A, true);
  input_text("a");
  input_key_up(Key::A);
  std::vector<Event> ev = drain();
  EXPECT_EQ(kinds(ev), (std::vector<EventKind>{EventKind::KeyDown, EventKind::Text, EventKind::KeyRepeat,
                                               EventKind::Text, EventKind::KeyRepeat, EventKind::Text,
                                               EventKind::KeyUp}));
  EXPECT_EQ(ev[0].key, Key::A);
  EXPECT_EQ(ev[1].character, 'a');
  EXPECT_EQ(ev[6].key, Key::A);
  // One character event per character typed, UTF-8 decoded.
  input_text("\xC3\xA9z");
  ev = drain();
  ASSERT_EQ(ev.size(), 2u);
  EXPECT_EQ(ev[0].character, 0xE9);
  EXPECT_EQ(ev[1].character, 'z');
}

TEST(Events, KeysAreTheSameForBothCasesAndCoverTheShellKeys) {
  EXPECT_EQ(key_from_sdl(SDLK_a), Key::A);
  EXPECT_EQ(key_from_sdl(SDLK_z), Key::Z);
  EXPECT_EQ(key_from_sdl(SDLK_q), Key::Q);
  EXPECT_EQ(key_from_sdl(SDLK_0), Key::Digit0);
  EXPECT_EQ(key_from_sdl(SDLK_9), Key::Digit9);
  EXPECT_EQ(key_from_sdl(SDLK_ESCAPE), Key::Escape);
  EXPECT_EQ(key_from_sdl(SDLK_F1), Key::F1);
  EXPECT_EQ(key_from_sdl(SDLK_F12), Key::F12);
  EXPECT_EQ(key_from_sdl(SDLK_LCTRL), Key::LeftControl);
  EXPECT_EQ(key_from_sdl(SDLK_RCTRL), Key::RightControl);
  EXPECT_EQ(key_from_sdl(SDLK_KP_5), Key::Digit5);
  EXPECT_EQ(key_from_sdl(SDLK_KP_0), Key::Digit0);
  EXPECT_EQ(key_from_sdl(SDLK_CAPSLOCK), Key::None);
  // Digits and their keys go both ways; other keys are no digit.
  for (int d = 0; d <= 9; ++d) EXPECT_EQ(digit_of(digit_key(d)), d);
  EXPECT_EQ(digit_of(Key::A), -1);
  EXPECT_EQ(digit_of(Key::None), -1);
  EXPECT_TRUE(is_control(Key::LeftControl));
  EXPECT_TRUE(is_control(Key::RightControl));
  EXPECT_FALSE(is_control(Key::LeftShift));
}

TEST(Events, RingHoldsTheOldestFirstAndRefusesWhenFull) {
  flush_events();
  for (int i = 0; i < kEventRing; ++i) EXPECT_TRUE(post_event(tick_numbered(i)));
  EXPECT_FALSE(post_event(tick_numbered(999)));
  for (int i = 0; i < kEventRing; ++i) {
    Event e = wait_event();
    EXPECT_EQ(e.kind, EventKind::Tick);
    EXPECT_EQ(e.x, i);
  }
  Event e;
  EXPECT_FALSE(poll_event(e));
}

// A program slower than its timer for a while (a busy machine, a long build of an activity) must
// not find its ring full of stale ticks and lose the click that came after them.
TEST(Events, TicksDoNotPileUpAndCrowdOutInput) {
  flush_events();
  int queued = 0;
  for (int i = 0; i < 1000; ++i) queued += post_tick();
  EXPECT_EQ(queued, 1) << "one tick waits at a time";
  input_pointer_button(Button::Left, true, 20, 30);
  std::vector<Event> ev = drain();
  ASSERT_EQ(ev.size(), 2u);
  EXPECT_EQ(ev[0].kind, EventKind::Tick);
  EXPECT_EQ(ev[1].kind, EventKind::PointerDown);
  EXPECT_EQ(ev[1].x, 20);
  // Once taken, the next tick is queued again; emptying the ring forgets the waiting one.
  EXPECT_TRUE(post_tick());
  EXPECT_FALSE(post_tick());
  flush_events();
  EXPECT_TRUE(post_tick());
  EXPECT_EQ(drain().size(), 1u);
}

// After a pause (an activity being built) the window system hands over every move made meanwhile;
// a run of moves becomes its newest one, so the ring has room for the click that ends it.
TEST(Events, ARunOfMovesKeepsItsNewestPlaceAndLeavesRoomForTheClick) {
  flush_events();
  for (int i = 0; i < 1000; ++i) input_pointer_move(i % 1024, i % 768);
  input_pointer_button(Button::Left, true, 999, 231);
  input_pointer_move(5, 6);
  std::vector<Event> ev = drain();
  ASSERT_EQ(ev.size(), 3u);
  EXPECT_EQ(ev[0].kind, EventKind::PointerMove);
  EXPECT_EQ(ev[0].x, 999);
  EXPECT_EQ(ev[0].y, 999 % 768);
  EXPECT_EQ(ev[1].kind, EventKind::PointerDown);
  EXPECT_EQ(ev[2].x, 5) << "a move after the click is its own";
}

// Two fingers moving at once are two pointers: the newest place of one never replaces the other's.
TEST(Events, MovesOfDifferentPointersStayApart) {
  flush_events();
  input_pointer_move(10, 10, PointerKind::Touch, 1);
  input_pointer_move(20, 20, PointerKind::Touch, 2);
  input_pointer_move(11, 11, PointerKind::Touch, 1);
  input_pointer_move(12, 12, PointerKind::Touch, 1);
  input_pointer_move(30, 30);
  std::vector<Event> ev = drain();
  ASSERT_EQ(ev.size(), 4u);
  EXPECT_EQ(ev[0].pointer_id, 1);
  EXPECT_EQ(ev[1].pointer_id, 2);
  EXPECT_EQ(ev[2].pointer_id, 1);
  EXPECT_EQ(ev[2].x, 12) << "a run of one finger's moves keeps its newest";
  EXPECT_EQ(ev[3].pointer, PointerKind::Mouse);
  EXPECT_EQ(ev[3].x, 30);
}

// Every pointer event carries its own place, button and pointer: a busy program that takes in a
// burst of input at once still hands each event over with where it happened.
TEST(Events, PointerEventsCarryWhereTheyHappenedAndQuitIsSaidOnce) {
  flush_events();
  input_pointer_move(300, 200);
  input_pointer_button(Button::Right, true, 310, 205);
  input_pointer_button(Button::Right, false, 312, 207);
  input_pointer_button(Button::Left, true, 400, 500, PointerKind::Pen, 3);
  std::vector<Event> ev = drain();
  ASSERT_EQ(ev.size(), 4u);
  EXPECT_EQ(ev[0].kind, EventKind::PointerMove);
  EXPECT_EQ(ev[0].x, 300);
  EXPECT_EQ(ev[0].y, 200);
  EXPECT_EQ(ev[1].kind, EventKind::PointerDown);
  EXPECT_EQ(ev[1].button, Button::Right);
  EXPECT_EQ(ev[1].x, 310);
  EXPECT_EQ(ev[1].y, 205);
  EXPECT_EQ(ev[2].kind, EventKind::PointerUp);
  EXPECT_EQ(ev[2].x, 312);
  EXPECT_EQ(ev[3].pointer, PointerKind::Pen);
  EXPECT_EQ(ev[3].pointer_id, 3);
  EXPECT_EQ(ev[0].pointer, PointerKind::Mouse);

  EXPECT_FALSE(take_quit_request());
  input_quit();
  EXPECT_TRUE(take_quit_request());
  EXPECT_FALSE(take_quit_request());  // once per request
  EXPECT_EQ(drain().back().kind, EventKind::Quit);
}

TEST(Events, WaitWakesForAnEventFromAnotherThread) {
  flush_events();
  std::thread t([] { post_event(tick_numbered(42)); });
  Event e = wait_event();
  t.join();
  EXPECT_EQ(e.x, 42);
}

// A watch sees only the Escape presses made after it began; repeats and other keys are none, and
// the presses stay queued as events for the loop.
TEST(Events, EscapeWatchSeesPressesFromItsStartOnly) {
  flush_events();
  input_key_down(Key::Escape, false);
  EscapeWatch watch;
  EXPECT_FALSE(watch.pressed()) << "a press before the watch began";
  input_key_down(Key::Escape, true);
  input_key_down(Key::A, false);
  EXPECT_FALSE(watch.pressed());
  input_key_down(Key::Escape, false);
  EXPECT_TRUE(watch.pressed());
  EXPECT_TRUE(watch.pressed()) << "it stays seen";
  EscapeWatch later;
  EXPECT_FALSE(later.pressed());
  EXPECT_EQ(drain().size(), 4u) << "every key still reaches the loop";
}

// With a window, a press reaches the watch once the window system has been looked at: within the
// 64 questions after the millisecond has passed.
TEST(Events, EscapeWatchTakesInAWindowPress) {
  if (!std::getenv("DISPLAY") || !open_graphics(1024, 768, 0, 60)) GTEST_SKIP() << "no display";
  flush_events();
  EscapeWatch watch;
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.keysym.sym = SDLK_ESCAPE;
  SDL_PushEvent(&e);
  // The millisecond between two looks has passed by the time the deadline is: waiting on the
  // condition itself, not on time.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  int asked = 0;
  while (!watch.pressed() && std::chrono::steady_clock::now() < deadline) ++asked;
  EXPECT_TRUE(watch.pressed());
  std::vector<Event> ev = drain();
  ASSERT_FALSE(ev.empty());
  EXPECT_EQ(ev.front().kind, EventKind::KeyDown);
  EXPECT_EQ(ev.front().key, Key::Escape);
  close_graphics();
  flush_events();
}

// The window is active while it is shown and holds the keyboard focus; an event says so each time
// that changes, and only then, whichever way it changed.
TEST(Events, WindowActiveIsShownAndFocusedPostedOnlyOnChange) {
  input_window_change(WindowChange::Shown);
  input_window_change(WindowChange::Focused);
  flush_events();
  ASSERT_TRUE(window_active());

  input_window_change(WindowChange::Shown);  // already so: nothing
  input_window_change(WindowChange::Focused);
  EXPECT_TRUE(drain().empty());

  input_window_change(WindowChange::Unfocused);  // another window in front
  input_window_change(WindowChange::Hidden);     // then minimised too
  input_window_change(WindowChange::Focused);    // focused while still minimised: not active yet
  EXPECT_FALSE(window_active());
  input_window_change(WindowChange::Shown);
  EXPECT_TRUE(window_active());
  input_window_change(WindowChange::Hidden);
  input_window_change(WindowChange::None);
  input_window_change(WindowChange::Shown);
  EXPECT_EQ(kinds(drain()), (std::vector<EventKind>{EventKind::WindowInactive, EventKind::WindowActive,
                                                    EventKind::WindowInactive, EventKind::WindowActive}));

  // In order with the input around it, so the loop sees the click before the window went away.
  input_pointer_button(Button::Left, true, 10, 20);
  input_window_change(WindowChange::Unfocused);
  input_key_down(Key::A, false);
  EXPECT_EQ(kinds(drain()), (std::vector<EventKind>{EventKind::PointerDown, EventKind::WindowInactive,
                                                    EventKind::KeyDown}));
  input_window_change(WindowChange::Focused);
  flush_events();
}

TEST(Events, WindowEventsOfTheWindowSystem) {
  EXPECT_EQ(window_change_from_sdl(SDL_WINDOWEVENT_SHOWN), WindowChange::Shown);
  EXPECT_EQ(window_change_from_sdl(SDL_WINDOWEVENT_RESTORED), WindowChange::Shown);
  EXPECT_EQ(window_change_from_sdl(SDL_WINDOWEVENT_MAXIMIZED), WindowChange::Shown);
  EXPECT_EQ(window_change_from_sdl(SDL_WINDOWEVENT_HIDDEN), WindowChange::Hidden);
  EXPECT_EQ(window_change_from_sdl(SDL_WINDOWEVENT_MINIMIZED), WindowChange::Hidden);
  EXPECT_EQ(window_change_from_sdl(SDL_WINDOWEVENT_FOCUS_GAINED), WindowChange::Focused);
  EXPECT_EQ(window_change_from_sdl(SDL_WINDOWEVENT_FOCUS_LOST), WindowChange::Unfocused);
  // The pointer entering or leaving, moves and exposes say nothing about being played with.
  for (int other : {SDL_WINDOWEVENT_ENTER, SDL_WINDOWEVENT_LEAVE, SDL_WINDOWEVENT_MOVED, SDL_WINDOWEVENT_EXPOSED,
                    SDL_WINDOWEVENT_SIZE_CHANGED, SDL_WINDOWEVENT_TAKE_FOCUS})
    EXPECT_EQ(window_change_from_sdl(other), WindowChange::None) << other;
}
